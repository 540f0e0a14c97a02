#include "output/ui/Print_Wnd.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "output/Printing_View.h"
#include "output/ui/LabelPageSetup.h"
#include "output/ui/LabelPreview.h"
#include "output/ui/OutputHost.h"
#include "output/ui/PrintQueue.h"
#include "output/ui/Sample_Preview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

#include <cerrno>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A small picture of the sheet with the label block at position `code` (1..9, row by row).
QIcon alignmentIcon(int code) {
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2.5, 21, 23));
    const int col = (code - 1) % 3, row = (code - 1) / 3;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 200));
    p.drawRect(QRectF(6 + col * 6, 5 + row * 7, 4, 4));
    p.end();
    return QIcon(pm);
}

QString mm(double points) {
    return QString::asprintf("%0.2f", double(Points_to_MM_Convert(points)));
}

QDoubleSpinBox* mmBox(QWidget* parent, double max) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0, max);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setKeyboardTracking(false);
    return box;
}

// The wait cursor while a job is drawn (thousands of sheets take a moment).
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Sizes a window to `wanted`, or smaller where the screen is smaller (a 1366 x 768 laptop).
void fitToScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.parentWidget() ? window.parentWidget()->screen() : window.screen();
    if (screen) {
        const QSize room = screen->availableGeometry().size() - QSize(40, 70); // frame and title bar
        wanted = wanted.boundedTo(room).expandedTo(window.minimumSizeHint());
    }
    window.resize(wanted);
}

QSpinBox* countBox(QWidget* parent, int min, int max) {
    auto* box = new QSpinBox(parent);
    box->setRange(min, max);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

Print_Wnd::Print_Wnd(OutputHost& host, SeriesBindingTable& series, QWidget* parent)
    : QDialog(parent), _host(host), _series(series) {
    setWindowTitle(tr("Print Labels"));
    applyDialogBackground(this);
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    const QPageSize size =
        def.isNull() || !def.defaultPageSize().isValid() ? QPageSize(QPageSize::A4) : def.defaultPageSize();
    _pageLayout = QPageLayout(size, QPageLayout::Portrait, QMarginsF());
    buildUi();

    choosePdfPath = [this] {
        return rememberDialogPath(QFileDialog::getSaveFileName(
            this, tr("Save Labels as PDF"), dialogStartPath(tr("Labels.pdf")), tr("PDF files (*.pdf)")));
    };
    runPreview = [this](Printing_View& view, int pages, QPrinter& printer) {
        LabelPreview dialog(
            printer, [&view, pages](QPrinter& p) { view.print(p, pages); }, this);
        fitToScreen(dialog, QSize(900, 700));
        return dialog.exec() == LabelPreview::PrintRequested;
    };
    runPageSetup = [](LabelPageSetup& dialog) { return dialog.exec(); };
}

Print_Wnd::~Print_Wnd() = default;

QString Print_Wnd::pdfEntryTitle() {
    return tr("PDF file");
}

void Print_Wnd::buildUi() {
    // --- printer ---
    auto* printerBox = new QGroupBox(tr("Printer"), this);
    Printer_ComboBox = new QComboBox(printerBox);
    printerNote = new QLabel(printerBox);
    printerNote->setStyleSheet(QStringLiteral("color: #8a4b00;"));
    Orient_ComboBox = new QComboBox(printerBox);
    Orient_ComboBox->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    Paper_id = new QLabel(printerBox);
    Size_id = new QLabel(printerBox);
    l_mar_id = new QLabel(printerBox);
    r_mar_id = new QLabel(printerBox);
    t_mar_id = new QLabel(printerBox);
    b_mar_id = new QLabel(printerBox);
    pageSetupButton = new QPushButton(tr("Page Setup..."), printerBox);
    auto* margins = new QHBoxLayout;
    for (auto [caption, label] :
         {std::pair{"Left", l_mar_id}, {"Right", r_mar_id}, {"Top", t_mar_id}, {"Bottom", b_mar_id}}) {
        margins->addWidget(new QLabel(tr(caption), printerBox));
        margins->addWidget(label);
    }
    margins->addStretch();
    auto* pf = new QFormLayout(printerBox);
    pf->addRow(tr("Printer:"), Printer_ComboBox);
    pf->addRow(QString(), printerNote);
    pf->addRow(tr("Orientation:"), Orient_ComboBox);
    pf->addRow(tr("Paper:"), Paper_id);
    pf->addRow(tr("Size (mm):"), Size_id);
    pf->addRow(tr("Margins (mm):"), margins);
    pf->addRow(QString(), pageSetupButton);

    // --- labels ---
    auto* labelBox = new QGroupBox(tr("Labels"), this);
    width_Text = mmBox(labelBox, 2000);
    height_Text = mmBox(labelBox, 2000);
    width_Text->setMinimum(1);
    height_Text->setMinimum(1);
    horz_mar_Text = mmBox(labelBox, 1000);
    vert_mar_Text = mmBox(labelBox, 1000);
    Row_Text = countBox(labelBox, 1, 999);
    Col_Text = countBox(labelBox, 1, 999);
    Total_Text = countBox(labelBox, 0, 999999);
    Copies_Text = countBox(labelBox, 1, 999);
    auto* lf = new QGridLayout(labelBox);
    auto addPair = [&](int row, int col, const QString& caption, QWidget* w) {
        lf->addWidget(new QLabel(caption, labelBox), row, col * 2);
        lf->addWidget(w, row, col * 2 + 1);
    };
    addPair(0, 0, tr("Width:"), width_Text);
    addPair(0, 1, tr("Height:"), height_Text);
    addPair(1, 0, tr("Column gap:"), horz_mar_Text);
    addPair(1, 1, tr("Row gap:"), vert_mar_Text);
    addPair(2, 0, tr("Rows:"), Row_Text);
    addPair(2, 1, tr("Columns:"), Col_Text);
    addPair(3, 0, tr("Labels:"), Total_Text);
    addPair(3, 1, tr("Copies:"), Copies_Text);

    // --- sides ---
    auto* sideBox = new QGroupBox(tr("Card side"), this);
    matrix_card_side = new QButtonGroup(this);
    auto* sideRow = new QHBoxLayout;
    const char* sideTitles[] = {"Both sides", "Front", "Back"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(tr(sideTitles[i]), sideBox);
        matrix_card_side->addButton(r, i);
        sideRow->addWidget(r);
    }
    sideRow->addStretch();
    print_alignment = new QComboBox(sideBox);
    print_alignment->addItems({tr("Front above back"), tr("Front left of back")});
    auto* sf = new QVBoxLayout(sideBox);
    sf->addLayout(sideRow);
    auto* arr = new QHBoxLayout;
    arr->addWidget(new QLabel(tr("Both sides:"), sideBox));
    arr->addWidget(print_alignment, 1);
    sf->addLayout(arr);

    // --- position ---
    auto* posBox = new QGroupBox(tr("Position on the sheet"), this);
    align_Gp_Bx = new QGroupBox(posBox);
    align_Gp_Bx->setFlat(true);
    auto* grid = new QGridLayout(align_Gp_Bx);
    grid->setSpacing(2);
    auto* alignGroup = new QButtonGroup(this);
    alignGroup->setExclusive(true);
    const char* tips[] = {"Top left",     "Top centre",  "Top right",     "Middle left", "Middle centre",
                          "Middle right", "Bottom left", "Bottom centre", "Bottom right"};
    for (int i = 0; i < 9; ++i) {
        auto* b = new QToolButton(align_Gp_Bx);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(alignmentIcon(i + 1));
        b->setIconSize(QSize(28, 28));
        b->setToolTip(tr(tips[i]));
        alignButtons[i] = b;
        alignGroup->addButton(b, i + 1);
        grid->addWidget(b, i / 3, i % 3);
    }
    Auto_Center_chk_bx = new QCheckBox(tr("Centre with equal spacing"), posBox);
    Show_Margins = new QCheckBox(tr("Show outlines"), posBox);
    auto* pv = new QHBoxLayout(posBox);
    pv->addWidget(align_Gp_Bx);
    auto* checks = new QVBoxLayout;
    checks->addWidget(Auto_Center_chk_bx);
    checks->addWidget(Show_Margins);
    checks->addStretch();
    pv->addLayout(checks, 1);

    // --- data ---
    auto* dataBox = new QGroupBox(tr("Data"), this);
    print_with_batch_chk = new QCheckBox(tr("Fill labels from the series"), dataBox);
    print_with_excel_chk = new QCheckBox(tr("Fill labels from the data table"), dataBox);
    auto* dv = new QVBoxLayout(dataBox);
    dv->addWidget(print_with_batch_chk);
    dv->addWidget(print_with_excel_chk);

    PrintView = new Sample_Preview(this);

    previewButton = new QPushButton(tr("Preview..."), this);
    printButton = new QPushButton(tr("Print..."), this);
    printButton->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(previewButton, QDialogButtonBox::ActionRole);
    buttons->addButton(printButton, QDialogButtonBox::ActionRole);
    closeButton = buttons->addButton(QDialogButtonBox::Close);

    // The controls scroll when the screen is too low for them; the preview takes the rest.
    auto* controls = new QWidget;
    auto* left = new QVBoxLayout(controls);
    left->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w :
         {static_cast<QWidget*>(printerBox), static_cast<QWidget*>(labelBox), static_cast<QWidget*>(sideBox),
          static_cast<QWidget*>(posBox), static_cast<QWidget*>(dataBox)}) {
        w->setParent(controls);
        left->addWidget(w);
    }
    left->addStretch();
    controlsArea = new QScrollArea(this);
    controlsArea->setWidget(controls);
    controlsArea->setWidgetResizable(true);
    controlsArea->setFrameShape(QFrame::NoFrame);
    controlsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controlsArea->setMinimumWidth(controls->sizeHint().width() + 20);
    controlsArea->setMinimumHeight(200);
    statusNote = new QLabel(this);
    statusNote->setWordWrap(true);
    statusNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* top = new QHBoxLayout;
    top->addWidget(controlsArea);
    top->addWidget(PrintView, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(statusNote, 1);
    bottom->addWidget(buttons);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(bottom);
    fitToScreen(*this, QSize(980, 780));

    // --- wiring ---
    auto rule = [this] {
        if (!loading)
            Check_Max_Cell_Value();
    };
    for (QDoubleSpinBox* b : {width_Text, height_Text, horz_mar_Text, vert_mar_Text})
        connect(b, &QDoubleSpinBox::valueChanged, this, rule);
    for (QSpinBox* b : {Row_Text, Col_Text})
        connect(b, &QSpinBox::valueChanged, this, rule);
    connect(Printer_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!loading)
            printerChanged();
    });
    connect(Orient_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!loading)
            orientationChanged();
    });
    connect(print_alignment, &QComboBox::currentIndexChanged, this, rule);
    connect(matrix_card_side, &QButtonGroup::idClicked, this, [this] { sideChanged(); });
    connect(alignGroup, &QButtonGroup::idClicked, this, [this](int code) { alignmentClicked(code); });
    connect(Auto_Center_chk_bx, &QCheckBox::toggled, this, [this] { autoCenterChanged(); });
    connect(Show_Margins, &QCheckBox::toggled, this, [this] { Refresh_Preview(); });
    connect(print_with_batch_chk, &QCheckBox::clicked, this,
            [this] { Verify_Card_Count(print_with_batch_chk); });
    connect(print_with_excel_chk, &QCheckBox::clicked, this,
            [this] { Verify_Card_Count(print_with_excel_chk); });
    connect(pageSetupButton, &QPushButton::clicked, this, [this] { pagesetup(); });
    connect(previewButton, &QPushButton::clicked, this, [this] { Execute_Printing(true); });
    connect(printButton, &QPushButton::clicked, this, [this] { Execute_Printing(false); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int Print_Wnd::Open_Print_Wnd() {
    try {
        resetForOpening();
    } catch (const std::exception& e) {
        const QString reason = QString::fromLocal8Bit(e.what());
        Show_NSLog_Message(reason);
        Show_MessageBox(reason);
        return 0;
    }
    exec();
    hide();
    rememberSettings();
    return 0;
}

void Print_Wnd::resetForOpening() {
    loading = true;
    _design = _host.design();
    matrix_card_side->button(1)->setChecked(true);
    print_alignment->setCurrentIndex(0);
    print_alignment->setEnabled(false);
    Auto_Center_chk_bx->setChecked(false);
    Show_Margins->setChecked(true);
    Row_Text->setValue(1);
    Col_Text->setValue(1);

    const bool series = Use_Data_Sheet_Values, table = Use_Excel_Binding_Values;
    print_with_batch_chk->setEnabled(series);
    print_with_batch_chk->setChecked(series);
    print_with_excel_chk->setEnabled(table);
    print_with_excel_chk->setChecked(table);
    if (series || table) {
        Total_Text->setMaximum(qMax(1, Total_Batch_Excel_Card));
        Total_Text->setValue(Total_Batch_Excel_Card);
    } else {
        Total_Text->setMaximum(999999);
        Total_Text->setValue(1);
    }
    Copies_Text->setValue(1);

    const QSizeF card = _design.frontProp.Card_Size;
    width_Text->setValue(Points_to_MM_Convert(card.width()));
    height_Text->setValue(Points_to_MM_Convert(card.height()));
    horz_mar_Text->setValue(0);
    vert_mar_Text->setValue(0);
    horz_mar_Text->setEnabled(true);
    vert_mar_Text->setEnabled(true);
    SetObjEnabled(align_Gp_Bx, true);
    _layout.align = 1;
    Set_Reset_Alignemnt_Image();

    setStatus(QString());
    Printer_ComboBox->clear();
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    Printer_ComboBox->addItems(printers);
    Printer_ComboBox->addItem(pdfEntryTitle());
    const QString def = QPrinterInfo::defaultPrinterName();
    Printer_ComboBox->setCurrentIndex(printers.contains(def) ? printers.indexOf(def) : 0);
    printerNote->setText(tr("No printer found.") + QLatin1Char('\n') +
                         tr("The labels can be saved as a PDF file."));
    printerNote->setVisible(printers.isEmpty());
    Copies_Text->setEnabled(!printsToPdf());

    Set_values_From_Printer();
    loading = false;

    _layout.card = card;
    _layout.label = card;
    _layout.rows = _layout.cols = 1;
    _layout.hgap = _layout.vgap = 0;
    _layout.autoCenter = false;
    _layout.side = QStringLiteral("F");
    _layout.arrangement = QStringLiteral("U");
    // The same design opens with the sheet it was last printed with in this session.
    if (_remembered)
        restoreSettings(*_remembered);
    else
        Refresh_Preview();
}

void Print_Wnd::rememberSettings() {
    Remembered r;
    r.printer = Printer_ComboBox->currentText();
    r.page = _pageLayout;
    r.card = _design.frontProp.Card_Size;
    r.labelMm = QSizeF(width_Text->value(), height_Text->value());
    r.gapsMm = QSizeF(horz_mar_Text->value(), vert_mar_Text->value());
    r.rows = Row_Text->value();
    r.cols = Col_Text->value();
    r.align = _layout.align;
    r.autoCenter = Auto_Center_chk_bx->isChecked();
    _remembered = r;
}

void Print_Wnd::forgetSettings() {
    _remembered.reset();
}

void Print_Wnd::restoreSettings(const Remembered& r) {
    loading = true;
    if (const int i = Printer_ComboBox->findText(r.printer); i >= 0)
        Printer_ComboBox->setCurrentIndex(i);
    Copies_Text->setEnabled(!printsToPdf());
    _pageLayout = r.page;
    // The label size was typed for the card as it was then.
    if (r.card == _design.frontProp.Card_Size) {
        width_Text->setValue(r.labelMm.width());
        height_Text->setValue(r.labelMm.height());
    }
    horz_mar_Text->setValue(r.gapsMm.width());
    vert_mar_Text->setValue(r.gapsMm.height());
    Row_Text->setValue(r.rows);
    Col_Text->setValue(r.cols);
    Auto_Center_chk_bx->setChecked(r.autoCenter);
    _layout.align = r.align;
    Set_Reset_Alignemnt_Image();
    Set_values_From_Printer();
    loading = false;
    applyLayoutRule(true);
}

bool Print_Wnd::printsToPdf() const {
    return Printer_ComboBox->currentIndex() == Printer_ComboBox->count() - 1;
}

int Print_Wnd::totalLabels() const {
    return Total_Text->value();
}

void Print_Wnd::setPageLayout(const QPageLayout& layout) {
    _pageLayout = layout;
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

namespace {

// Paper and orientation of the dialog; the pages are laid out from the paper's corner, whatever margins the
// printer itself keeps (a layout with smaller margins than the printer's would be refused).
void usePaper(QPrinter& printer, const QPageLayout& page) {
    printer.setFullPage(true);
    printer.setPageSize(page.pageSize());
    printer.setPageOrientation(page.orientation());
}

} // namespace

void Print_Wnd::Set_values_From_Printer() {
    const QRectF full = _pageLayout.fullRect(QPageLayout::Point);
    _layout.paper = full.size();
    _layout.margins = LabelPageSetup::printerMargins(
        printsToPdf() ? QString() : Printer_ComboBox->currentText(), _pageLayout);
    Paper_id->setText(_pageLayout.pageSize().name());
    const QSizeF paperMm = _pageLayout.fullRect(QPageLayout::Millimeter).size();
    Size_id->setText(QString::asprintf("%.2f x %.2f", paperMm.width(), paperMm.height()));
    {
        const QSignalBlocker block(Orient_ComboBox);
        Orient_ComboBox->setCurrentIndex(_pageLayout.orientation() == QPageLayout::Portrait ? 0 : 1);
    }
    l_mar_id->setText(mm(_layout.margins.left()));
    r_mar_id->setText(mm(_layout.margins.right()));
    t_mar_id->setText(mm(_layout.margins.top()));
    b_mar_id->setText(mm(_layout.margins.bottom()));
    Refresh_Preview();
}

void Print_Wnd::Refresh_Preview() {
    if (loading)
        return;
    PrintView->setSheet(_layout, Show_Margins->isChecked(), !_layout.card.isEmpty());
}

QString Print_Wnd::card_side_str() const {
    switch (matrix_card_side->checkedId()) {
    case 0:
        return QStringLiteral("BOTH");
    case 1:
        return QStringLiteral("F");
    default:
        return QStringLiteral("B");
    }
}

void Print_Wnd::Check_Max_Cell_Value() {
    applyLayoutRule(true);
}

void Print_Wnd::applyLayoutRule(bool setTotal) {
    _layout.label =
        QSizeF(MM_to_Points_Convert(width_Text->value()), MM_to_Points_Convert(height_Text->value()));
    _layout.hgap = MM_to_Points_Convert(horz_mar_Text->value());
    _layout.vgap = MM_to_Points_Convert(vert_mar_Text->value());
    _layout.rows = Row_Text->value();
    _layout.cols = Col_Text->value();
    _layout.side = card_side_str();
    _layout.arrangement = print_alignment->currentIndex() == 0 ? QStringLiteral("U") : QStringLiteral("L");
    _layout.autoCenter = Auto_Center_chk_bx->isChecked();
    _layout = ::Check_Max_Cell_Value(_layout);
    {
        const QSignalBlocker r(Row_Text), c(Col_Text);
        Row_Text->setValue(_layout.rows);
        Col_Text->setValue(_layout.cols);
    }
    if (setTotal && !Use_Data_Sheet_Values && !Use_Excel_Binding_Values)
        Total_Text->setValue(_layout.rows * _layout.cols);
    Refresh_Preview();
}

void Print_Wnd::printerChanged() {
    Copies_Text->setEnabled(!printsToPdf());
    Set_values_From_Printer();
    // Other margins may leave room for fewer labels; the total typed for the job stays.
    applyLayoutRule(false);
}

void Print_Wnd::orientationChanged() {
    _pageLayout.setOrientation(Orient_ComboBox->currentIndex() == 0 ? QPageLayout::Portrait
                                                                    : QPageLayout::Landscape);
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

void Print_Wnd::pagesetup() {
    LabelPageSetup dialog(printsToPdf() ? QString() : Printer_ComboBox->currentText(), _pageLayout, this);
    if (!runPageSetup || runPageSetup(dialog) != QDialog::Accepted)
        return;
    _pageLayout = dialog.pageLayout();
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

void Print_Wnd::sideChanged() {
    print_alignment->setEnabled(matrix_card_side->checkedId() == 0);
    Check_Max_Cell_Value();
}

void Print_Wnd::alignmentClicked(int code) {
    _layout.align = code;
    Set_Reset_Alignemnt_Image();
    Refresh_Preview();
}

void Print_Wnd::Set_Reset_Alignemnt_Image() {
    for (int i = 0; i < 9; ++i)
        alignButtons[i]->setChecked(i + 1 == _layout.align);
}

void Print_Wnd::autoCenterChanged() {
    const bool on = Auto_Center_chk_bx->isChecked();
    horz_mar_Text->setEnabled(!on);
    vert_mar_Text->setEnabled(!on);
    SetObjEnabled(align_Gp_Bx, !on);
    if (!loading)
        Check_Max_Cell_Value();
}

void Print_Wnd::Verify_Card_Count(QCheckBox* toggled) {
    Check_Series_Or_Excel_Use_or_not(_design.front, _design.back, _design.twoSided, _host.dataTable(),
                                     _series);
    if (Use_Data_Sheet_Values && !print_with_batch_chk->isChecked())
        Use_Data_Sheet_Values = false;
    if (Use_Excel_Binding_Values && !print_with_excel_chk->isChecked())
        Use_Excel_Binding_Values = false;
    Get_total_Card_count(_series, _host.dataTable());
    QCheckBox* other = toggled == print_with_batch_chk ? print_with_excel_chk : print_with_batch_chk;
    const bool data = toggled->isChecked() || other->isChecked();
    // Without data the total is a number of labels like at an opening without data, not capped by rows.
    Total_Text->setMaximum(data ? qMax(1, Total_Batch_Excel_Card) : 999999);
    Total_Text->setValue(data ? Total_Batch_Excel_Card : 1);
}

std::unique_ptr<Printing_View> Print_Wnd::makePrintingView() {
    auto fill = BatchFillJob::create(_design, _series, _host.dataTable());
    return std::make_unique<Printing_View>(_layout, totalLabels(), std::move(fill), _design);
}

bool Print_Wnd::printToPdfFile(Printing_View& view, const QPageLayout& page, const QString& path,
                               const JobRunner& runner) {
    auto failed = [&path](const QString& reason) {
        QString text =
            QStringLiteral("The PDF file could not be written.\n\n%1").arg(QDir::toNativeSeparators(path));
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        Show_MessageBox(text);
        return false;
    };
    SaveFile file(path);
    errno = 0;
    if (!openSaveFile(file))
        return failed(writeErrorText(file, path, errno));
    bool ok;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("NAVU Photo Frame"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setPageLayout(QPageLayout(page.pageSize(), page.orientation(), QMarginsF()));
        if (runner) {
            ok = runner(view.numberOfPages(false), [&view, &writer](std::atomic<int>& done) {
                return view.print(writer, -1, &Stop_SMS_Sending_Now, &done);
            });
        } else {
            const BusyCursor busy;
            ok = view.print(writer);
        }
    }
    if (runner && Stop_SMS_Sending_Now) {
        file.cancelWriting();
        return false;
    }
    if (!ok) {
        const int e = errno;
        const QString why = file.error() != QFileDevice::NoError ? writeErrorText(file, path, e) : QString();
        file.cancelWriting();
        return failed(why);
    }
    QString why;
    return commitSaveFile(file, &why) || failed(why);
}

bool Print_Wnd::drawBehindProgress(int pages, const JobWork& work) {
    const LongJobGuard guard;
    Send_Modeless* sheet = Send_Modeless::defaultInstance();
    auto countText = [pages](int n) { return tr("%1 / %2 sheets").arg(n).arg(pages); };
    sheet->resetProgress(pages, countText(0));
    _jobRunning = true;
    for (QPushButton* b : {previewButton, printButton, pageSetupButton, closeButton})
        b->setEnabled(false);
    std::atomic<int> done{0};
    bool result = false;
    QThread* worker = QThread::create([&] { result = work(done); });
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    bool shown = false;
    QTimer tick;
    tick.setInterval(250);
    connect(&tick, &QTimer::timeout, this, [&] {
        if (!shown) {
            Show_One_By_One_Modeless(this);
            shown = true;
        }
        sheet->setProgressValue(done.load(), countText(done.load()));
    });
    worker->start();
    tick.start();
    loop.exec();
    worker->wait();
    delete worker;
    tick.stop();
    if (shown)
        Hide_One_By_One_Modeless();
    for (QPushButton* b : {previewButton, printButton, pageSetupButton, closeButton})
        b->setEnabled(true);
    _jobRunning = false;
    return result;
}

void Print_Wnd::reject() {
    // Closing waits for a job being drawn (its Stop is on the progress sheet).
    if (_jobRunning)
        return;
    rememberSettings();
    QDialog::reject();
}

bool Print_Wnd::Execute_Printing(bool preview) {
    const QString refusal = labelSizeProblem(_layout);
    if (!refusal.isEmpty()) {
        Show_MessageBox(tr("The labels cannot be printed.") + QStringLiteral("\n\n") + refusal);
        return false;
    }
    const QSizeF cell = _layout.cell();
    if (cell.width() + _layout.margins.left() + _layout.margins.right() + _layout.hgap >
            _layout.paper.width() ||
        cell.height() + _layout.margins.top() + _layout.margins.bottom() + _layout.vgap >
            _layout.paper.height()) {
        if (!Show_YES_NO_MessageBox(QStringLiteral(
                "'Frame Size' is bigger than selected 'Paper Size' or drawn label may be out of "
                "margin area.\n\nDo you want to continue?")))
            return false;
    }
    if (totalLabels() <= 0) {
        Show_MessageBox(QStringLiteral("There is no barcode to print."));
        return false;
    }
    return runJob(preview);
}

void Print_Wnd::setStatus(const QString& text) {
    statusNote->setText(text);
}

bool Print_Wnd::runJob(bool preview) {
    setStatus(QString());
    Stop_SMS_Sending_Now = false; // a Stop of an earlier run is not this job's
    std::unique_ptr<Printing_View> view = makePrintingView();
    bool ok = true;
    bool printNow = false;
    if (preview) {
        const int pages = view->numberOfPages(true);
        QPrinter printer(QPrinter::HighResolution);
        if (printsToPdf()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
        } else {
            const QString name = Printer_ComboBox->currentText();
            printer.setPrinterName(name);
            view->setPrinterDpi(printerDpi(name, printQueueState(name)));
        }
        usePaper(printer, _pageLayout);
        printNow = runPreview && runPreview(*view, pages, printer);
    } else if (printsToPdf()) {
        const JobRunner runner = [this](int pages, const JobWork& work) {
            return drawBehindProgress(pages, work);
        };
        const QString path = choosePdfPath ? choosePdfPath() : QString();
        if (path.isEmpty())
            ok = false;
        else if ((ok = printToPdfFile(*view, _pageLayout, path, runner)))
            setStatus(view->numberOfPages(false) == 1
                          ? tr("Saved 1 page to %1.").arg(QDir::toNativeSeparators(path))
                          : tr("Saved %1 pages to %2.")
                                .arg(view->numberOfPages(false))
                                .arg(QDir::toNativeSeparators(path)));
        else if (Stop_SMS_Sending_Now)
            setStatus(tr("Stopped. The PDF file was not written."));
    } else {
        ok = printToPrinter(*view);
    }
    // A job that went out with cards that are not as designed says so, row by row, and with the barcodes
    // that do not fit their frames on the printer's dots, as exports do.
    const RowProblems problems = view->isDataJob() ? view->fill()->rowProblems() : RowProblems();
    const QStringList fit = ok && !preview ? view->fitWarnings() : QStringList();
    if (ok && !preview && (!problems.isEmpty() || !fit.isEmpty())) {
        setStatus(statusNote->text() + QLatin1Char(' ') + tr("Not every card is as designed."));
        QString text = printsToPdf() ? tr("The labels have been saved, but not every card is as designed.")
                                     : tr("The labels have been sent to the printer, but not every card is "
                                          "as designed.");
        if (!problems.isEmpty())
            text += QStringLiteral("\n\n") +
                    problems.summary(qMin(view->totalLabels(), view->fill()->Total_Batch_Excel_Card()));
        if (!fit.isEmpty())
            text += QStringLiteral("\n\n") + fit.join(QLatin1Char('\n'));
        Show_MessageBox(text, problems.details());
    }
    if (view->isDataJob())
        _host.restoreFirstRow(*view->fill());
    // Printing from the preview is the same job as the Print button's: every sheet, the copies, the title.
    if (printNow)
        return runJob(false);
    return ok;
}

bool Print_Wnd::printToPrinter(Printing_View& view) {
    const QString name = Printer_ComboBox->currentText();
    const QString failed = QStringLiteral("The labels could not be printed.");
    const PrintQueueState queue = printQueueState(name);
    const QString refusal = queue.refusal(name);
    if (!refusal.isEmpty()) {
        Show_MessageBox(failed + QStringLiteral("\n\n") + refusal);
        return false;
    }
    // A paused queue (the print system pauses one by itself after a paper jam) keeps the job for later.
    const QString paused = queue.pausedQuestion(name);
    if (!paused.isEmpty() && !Show_YES_NO_MessageBox(paused))
        return false;
    // Barcode modules go on whole dots of the printer (Qt's own resolution here is that of the PDF it sends).
    view.setPrinterDpi(printerDpi(name, queue));
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    usePaper(printer, _pageLayout);
    // Label sheets are one-sided whatever the queue's default: the back of a sheet has no labels.
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setCopyCount(Copies_Text->value());
    printer.setDocName(tr("Labels"));
    const int pages = view.numberOfPages(false);
    const int lastJob = queue.known ? newestPrintJob(name) : 0;
    // Qt hands the job over without saying whether the queue took it; the print system knows, per thread.
    QString reason;
    const bool ok = drawBehindProgress(pages, [&](std::atomic<int>& done) {
        const bool drawn = view.print(printer, -1, &Stop_SMS_Sending_Now, &done);
        if (drawn && queue.known)
            reason = lastPrintRequestError();
        return drawn;
    });
    if (Stop_SMS_Sending_Now) {
        // Qt cannot abort a job being drawn: what was drawn has been handed over, so it is cancelled there.
        if (queue.known && reason.isEmpty() && cancelPrintJobsAfter(name, lastJob))
            setStatus(tr("Stopped. The job was cancelled on %1.").arg(name));
        else if (reason.isEmpty())
            Show_MessageBox(tr("Stopped. The sheets drawn so far were sent to %1 and may print.").arg(name));
        return false;
    }
    if (!ok || !reason.isEmpty()) {
        QString text = failed;
        const QString state = printQueueState(name).message;
        if (!reason.isEmpty())
            text += QStringLiteral("\n\n") + reason;
        if (!state.isEmpty() && !reason.contains(state))
            text += QStringLiteral("\n") + tr("%1: %2").arg(name, state);
        Show_MessageBox(text);
        return false;
    }
    setStatus(
        (pages == 1 ? tr("Sent 1 page to %1.").arg(name) : tr("Sent %1 pages to %2.").arg(pages).arg(name)) +
        (paused.isEmpty() ? QString()
                          : QLatin1Char(' ') + tr("They will print when the printer is resumed.")));
    return true;
}
