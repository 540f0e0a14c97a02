#include "barcode/ui/Barcode_Gen.h"

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/twod/DataMatrixCode.h"
#include "barcode/ui/BarcodeDesignerLogic.h"
#include "barcode/ui/BarcodeItemEditing.h"
#include "barcode/ui/BarcodeStyleCommand.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/FontPicking.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/UiHelpers.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

Barcode_Gen* Barcode_Gen_Var = nullptr;
QImage Barcode_output_image;

using namespace BarcodeDesigner;

namespace {

QString formatNumber(double v, bool integer) {
    if (integer)
        return QString::number(qRound64(v));
    return QString::number(v, 'g', 6);
}

QLabel* makeLabel(const QString& text, const QString& name = QString()) {
    auto* l = new QLabel(text);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QComboBox* makeCombo(const QString& name, const QStringList& entries) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItems(entries);
    return c;
}

QCheckBox* makeCheck(const QString& name, const QString& text) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    return c;
}

int checkState(const QCheckBox* c) {
    return c->isChecked() ? 1 : 0;
}

} // namespace

// ---------------------------------------------------------------- colour button

BarcodeColorButton::BarcodeColorButton(QWidget* parent) : QPushButton(parent) {
    setFixedSize(44, 24);
    setColor(Qt::black);
}

void BarcodeColorButton::setColor(const QColor& color) {
    m_color = color;
    QPixmap swatch(28, 14);
    swatch.fill(color);
    QPainter p(&swatch);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    setToolTip(color.name(QColor::HexArgb));
}

// ---------------------------------------------------------------- instance

Barcode_Gen* Barcode_Gen::defaultInstance() {
    // Widgets are made on the GUI thread only; a worker gets the designer if it exists.
    if (!Barcode_Gen_Var && isGuiThread())
        new Barcode_Gen(mainWindow());
    return Barcode_Gen_Var;
}

Barcode_Gen::Barcode_Gen(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Barcode_Gen"));
    setWindowTitle(tr("Barcode Designer"));
    applyDialogBackground(this);
    fontPicker = [this](const QFont& current, const QString& title) -> std::optional<QFont> {
        return pickFont(this, current, title);
    };
    colorPicker = [this](const QColor& current, const QString& title) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this, title, QColorDialog::ShowAlphaChannel);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    buildUi();
    if (!Barcode_Gen_Var)
        Barcode_Gen_Var = this;
    loadStyle(BarcodeStyle());
    setLoadedStyle(BarcodeStyle());
}

Barcode_Gen::~Barcode_Gen() {
    if (Barcode_Gen_Var == this)
        Barcode_Gen_Var = nullptr;
}

// ---------------------------------------------------------------- building

BarcodeNumberPair Barcode_Gen::makePair(const QString& textName, const QString& stepperName, double min,
                                        double max, double step, bool integer) {
    BarcodeNumberPair p;
    p.integer = integer;
    p.text = new QLineEdit;
    p.text->setObjectName(textName);
    p.text->setAlignment(Qt::AlignRight);
    p.text->setMaximumWidth(80);
    if (integer)
        p.text->setValidator(new QIntValidator(int(min), int(max), p.text));
    else {
        auto* v = new QDoubleValidator(min, max, 4, p.text);
        v->setNotation(QDoubleValidator::StandardNotation);
        v->setLocale(QLocale::c());
        p.text->setValidator(v);
    }
    p.stepper = new QDoubleSpinBox;
    p.stepper->setObjectName(stepperName);
    p.stepper->setDecimals(integer ? 0 : 6);
    p.stepper->setRange(min, max);
    p.stepper->setSingleStep(step);
    p.stepper->setLocale(QLocale::c());
    // Only the arrows show: the number itself is in the field beside it.
    p.stepper->setFixedWidth(22);
    p.stepper->setAlignment(Qt::AlignRight);
    QPalette pal = p.stepper->palette();
    for (auto role : {QPalette::Text, QPalette::HighlightedText, QPalette::Highlight})
        pal.setColor(role, Qt::transparent);
    p.stepper->setPalette(pal);
    p.stepper->setFocusPolicy(Qt::NoFocus);
    setPairValue(p, min);
    return p;
}

void Barcode_Gen::connectPair(const BarcodeNumberPair& pair, const std::function<void()>& after) {
    connect(pair.stepper, &QDoubleSpinBox::valueChanged, this, [this, pair, after](double v) {
        pair.text->setText(formatNumber(v, pair.integer));
        if (!m_loading)
            after();
    });
    connect(pair.text, &QLineEdit::editingFinished, this, [this, pair, after] {
        bool ok = false;
        const double typed = QLocale::c().toDouble(pair.text->text().trimmed(), &ok);
        const double before = pair.stepper->value();
        if (ok && std::isfinite(typed)) {
            QSignalBlocker block(pair.stepper);
            pair.stepper->setValue(typed);
        }
        pair.text->setText(formatNumber(pair.stepper->value(), pair.integer));
        if (!m_loading && pair.stepper->value() != before)
            after();
    });
}

void Barcode_Gen::setPairValue(const BarcodeNumberPair& pair, double value) {
    QSignalBlocker block(pair.stepper);
    if (!std::isfinite(value))
        value = pair.stepper->minimum();
    pair.stepper->setValue(value);
    pair.text->setText(formatNumber(pair.stepper->value(), pair.integer));
}

double Barcode_Gen::pairValue(const BarcodeNumberPair& pair) {
    return pair.stepper->value();
}

QPushButton* Barcode_Gen::helpButton(const QString& key) {
    auto* b = new QPushButton(QStringLiteral("?"));
    b->setObjectName(key + QStringLiteral("_help_btn"));
    b->setFixedSize(22, 22);
    b->setToolTip(helpTitle(key));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [key] {
        Long_SMS_Dlg::defaultInstance()->showExplanation(helpTitle(key), helpText(key));
    });
    return b;
}

static QWidget* pairRow(const BarcodeNumberPair& p, QWidget* extra = nullptr) {
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(p.text);
    h->addWidget(p.stepper);
    if (extra)
        h->addWidget(extra);
    h->addStretch(1);
    return w;
}

void Barcode_Gen::buildUi() {
    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->setSpacing(12);

    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    left->addWidget(buildTopPart());

    sett_tab = new QTabWidget;
    sett_tab->setObjectName(QStringLiteral("sett_tab"));
    sett_tab->addTab(buildOptionsTab(), tr("Barcode"));
    sett_tab->addTab(buildTextsTab(), tr("Texts"));
    sett_tab->addTab(buildColoursTab(), tr("Colours && Margins"));
    dpi_tab_item = buildResolutionTab();
    sett_tab->addTab(dpi_tab_item, tr("Resolution"));
    left->addWidget(sett_tab, 1);

    auto* leftWidget = new QWidget;
    leftWidget->setLayout(left);
    leftWidget->setFixedWidth(470);
    root->addWidget(leftWidget);

    auto* right = new QVBoxLayout;
    right->addWidget(buildPreview(), 1);
    auto* buttons = new QDialogButtonBox;
    OK_btn = buttons->addButton(QDialogButtonBox::Ok);
    OK_btn->setObjectName(QStringLiteral("OK_btn"));
    Cancel_btn = buttons->addButton(QDialogButtonBox::Cancel);
    Cancel_btn->setObjectName(QStringLiteral("Cancel_btn"));
    connect(OK_btn, &QPushButton::clicked, this, &Barcode_Gen::OK_Btn_Clicked);
    connect(Cancel_btn, &QPushButton::clicked, this, &Barcode_Gen::Cancel_Btn_Clicked);
    right->addWidget(buttons);
    root->addLayout(right, 1);

    resize(1000, 600);
    setMinimumSize(880, 560);
}

QWidget* Barcode_Gen::buildTopPart() {
    auto* box = new QGroupBox(tr("Barcode"));
    auto* g = new QGridLayout(box);
    g->setColumnStretch(1, 1);

    barcodeTypePopup = new QComboBox;
    barcodeTypePopup->setObjectName(QStringLiteral("barcodeTypePopup"));
    barcodeTypePopup->addItems(BarcodeSymbologies::linearTitles());
    barcodeTypePopup->insertSeparator(popupSeparatorPosition());
    barcodeTypePopup->addItems(BarcodeSymbologies::twoDTitles());
    barcodeTypePopup->setMaxVisibleItems(popupCount());
    g->addWidget(makeLabel(tr("Type :")), 0, 0);
    g->addWidget(barcodeTypePopup, 0, 1, 1, 2);

    Data_source_type = makeCombo(QStringLiteral("Data_source_type"), dataSourceTitles());
    Batch_Series = new QComboBox;
    Batch_Series->setObjectName(QStringLiteral("Batch_Series"));
    Batch_Series->setMinimumContentsLength(12);
    Batch_Series->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    view_series_btn = new QPushButton(tr("View"));
    view_series_btn->setObjectName(QStringLiteral("view_series_btn"));
    view_series_btn->setAutoDefault(false);
    auto* src = new QHBoxLayout;
    src->setSpacing(6);
    src->addWidget(Data_source_type);
    src->addWidget(Batch_Series, 1);
    src->addWidget(view_series_btn);
    g->addWidget(makeLabel(tr("Data source :")), 1, 0);
    g->addLayout(src, 1, 1, 1, 2);

    dataText = new QLineEdit;
    dataText->setObjectName(QStringLiteral("dataText"));
    dataText->setMaxLength(kMaxBarcodeTextLength);
    dataText_2D = new QPlainTextEdit;
    dataText_2D->setObjectName(QStringLiteral("dataText_2D"));
    dataText_2D->setTabChangesFocus(true);
    dataText_2D_scl_v = new QWidget;
    dataText_2D_scl_v->setObjectName(QStringLiteral("dataText_2D_scl_v"));
    auto* scl = new QVBoxLayout(dataText_2D_scl_v);
    scl->setContentsMargins(0, 0, 0, 0);
    scl->addWidget(dataText_2D);
    dataText_2D_scl_v->setFixedHeight(64);
    encode_btn = new QPushButton(tr("Encode"));
    encode_btn->setObjectName(QStringLiteral("encode_btn"));
    encode_btn->setAutoDefault(false);
    auto* valueLabel = makeLabel(tr("Value :"));
    valueLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* content = new QVBoxLayout;
    content->setSpacing(0);
    content->addWidget(dataText);
    content->addWidget(dataText_2D_scl_v);
    g->addWidget(valueLabel, 2, 0);
    g->addLayout(content, 2, 1);
    g->addWidget(encode_btn, 2, 2, Qt::AlignTop);

    connect(barcodeTypePopup, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            barcodeTypeChanged();
    });
    connect(Data_source_type, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            Data_source_type_Changed();
    });
    connect(Batch_Series, &QComboBox::activated, this, [this] {
        if (!m_loading)
            Batch_Series_Changed();
    });
    connect(view_series_btn, &QPushButton::clicked, this, &Barcode_Gen::View_batch_Series_Button);
    connect(encode_btn, &QPushButton::clicked, this, &Barcode_Gen::goButtonActionPerformed);
    connect(dataText, &QLineEdit::textChanged, this, [this] {
        if (!m_loading && m_mode == 0)
            goButtonActionPerformed();
    });
    connect(dataText_2D, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading && m_mode != 0)
            goButtonActionPerformed();
    });
    return box;
}

QWidget* Barcode_Gen::buildOptionsTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    // Linear settings.
    linear_sett_box = new QGroupBox(tr("Linear barcode"));
    linear_sett_box->setObjectName(QStringLiteral("linear_sett_box"));
    auto* lf = new QFormLayout(linear_sett_box);
    height = makePair(QStringLiteral("HeightText"), QStringLiteral("HeightStepper"), 0.05, 100, 0.1, false);
    width = makePair(QStringLiteral("widthText"), QStringLiteral("widthStepper"), 1, 1000, 1, false);
    barHeightLabel = makeLabel(QString(), QStringLiteral("barHeightLabel"));
    barWidthLabel = makeLabel(QString(), QStringLiteral("barWidthLabel"));
    lf->addRow(barHeightLabel, pairRow(height));
    lf->addRow(barWidthLabel, pairRow(width));
    captionCheckbox = makeCheck(QStringLiteral("captionCheckbox"), tr("Hide value text"));
    showinTopCheckbox = makeCheck(QStringLiteral("showinTopCheckbox"), tr("Value text above the bars"));
    kerning_value_Checkbox = makeCheck(QStringLiteral("kerning_value_Checkbox"), tr("Spread value text"));
    lf->addRow(captionCheckbox);
    lf->addRow(showinTopCheckbox);
    kerning_value_Checkbox->setToolTip(tr("Spreads a value text of one piece over the width of the bars."));
    lf->addRow(kerning_value_Checkbox);
    bar_align_combo = makeCombo(QStringLiteral("bar_align_combo"), previewAlignmentTitles());
    bar_orient_combo = makeCombo(QStringLiteral("bar_orient_combo"), {QStringLiteral("Horizontal")});
    lf->addRow(tr("Preview alignment :"), bar_align_combo);
    lf->addRow(tr("Orientation :"), bar_orient_combo);
    v->addWidget(linear_sett_box);

    // QR Code.
    two_d_sett_box = new QGroupBox(tr("QR Code"));
    two_d_sett_box->setObjectName(QStringLiteral("two_d_sett_box"));
    auto* qf = new QFormLayout(two_d_sett_box);
    qrSize = makePair(QStringLiteral("HeightText_2D"), QStringLiteral("HeightStepper_2D"), 21, 2000, 1, true);
    qf->addRow(tr("Size (pt) :"), pairRow(qrSize));
    qr_enc_mode_ComboBox = makeCombo(QStringLiteral("qr_enc_mode_ComboBox"), {QStringLiteral("Auto")});
    qf->addRow(tr("Encoding :"), qr_enc_mode_ComboBox);
    qr_version_ComboBox = makeCombo(QStringLiteral("qr_version_ComboBox"), qrVersionTitles());
    auto* vrow = new QHBoxLayout;
    vrow->addWidget(qr_version_ComboBox, 1);
    vrow->addWidget(helpButton(QStringLiteral("qr_version")));
    qf->addRow(tr("Version :"), vrow);
    qr_ec_lvl_ComboBox = makeCombo(QStringLiteral("qr_ec_lvl_ComboBox"), qrErrorCorrectionTitles());
    auto* erow = new QHBoxLayout;
    erow->addWidget(qr_ec_lvl_ComboBox, 1);
    erow->addWidget(helpButton(QStringLiteral("qr_ec")));
    qf->addRow(tr("EC level :"), erow);
    v->addWidget(two_d_sett_box);

    // PDF417.
    pdf_2d_sett_box = new QGroupBox(tr("PDF417"));
    pdf_2d_sett_box->setObjectName(QStringLiteral("pdf_2d_sett_box"));
    auto* pf = new QFormLayout(pdf_2d_sett_box);
    pdfWidth = makePair(QStringLiteral("Pdf_widthText_2D"), QStringLiteral("Pdf_widthStepper_2D"), 10, 4000,
                        1, true);
    pdfHeight = makePair(QStringLiteral("pdf_HeightText_2D"), QStringLiteral("pdf_HeightStepper_2D"), 5, 2000,
                         1, true);
    // 0 rows or columns: the encoder chooses from the data.
    pdfRows = makePair(QStringLiteral("pdf_row_Text"), QStringLiteral("pdf_row_Stepper"), 0, 90, 1, true);
    pdfColumns = makePair(QStringLiteral("pdf_col_Text"), QStringLiteral("pdf_col_Stepper"), 0, 30, 1, true);
    pdfEcLevel =
        makePair(QStringLiteral("pdf_ec_lvl_Text"), QStringLiteral("pdf_ec_lvl_Stepper"), 0, 8, 1, true);
    pf->addRow(tr("Width (pt) :"), pairRow(pdfWidth));
    pf->addRow(tr("Height (pt) :"), pairRow(pdfHeight));
    pf->addRow(tr("Rows (0 auto) :"), pairRow(pdfRows, helpButton(QStringLiteral("pdf_row"))));
    pf->addRow(tr("Columns (0 auto) :"), pairRow(pdfColumns, helpButton(QStringLiteral("pdf_col"))));
    pf->addRow(tr("EC level :"), pairRow(pdfEcLevel, helpButton(QStringLiteral("pdf_ec"))));
    v->addWidget(pdf_2d_sett_box);

    // Data Matrix.
    dm_2d_sett_box = new QGroupBox(tr("Data Matrix"));
    dm_2d_sett_box->setObjectName(QStringLiteral("dm_2d_sett_box"));
    auto* df = new QFormLayout(dm_2d_sett_box);
    dmModule =
        makePair(QStringLiteral("dm_moduleText_2D"), QStringLiteral("dm_moduleStepper_2D"), 1, 100, 1, true);
    dmWidth =
        makePair(QStringLiteral("dm_widthText_2D"), QStringLiteral("dm_widthStepper_2D"), 1, 4000, 1, true);
    dmHeight =
        makePair(QStringLiteral("dm_HeightText_2D"), QStringLiteral("dm_HeightStepper_2D"), 1, 4000, 1, true);
    df->addRow(tr("Module size (pt) :"), pairRow(dmModule));
    df->addRow(tr("Width (pt) :"), pairRow(dmWidth));
    df->addRow(tr("Height (pt) :"), pairRow(dmHeight));
    dm_format_ComboBox = makeCombo(QStringLiteral("dm_format_ComboBox"), dataMatrixFormats());
    auto* frow = new QHBoxLayout;
    frow->addWidget(dm_format_ComboBox, 1);
    frow->addWidget(helpButton(QStringLiteral("dm_format")));
    df->addRow(tr("Format :"), frow);
    dm_encoding_ComboBox = makeCombo(QStringLiteral("dm_encoding_ComboBox"), dataMatrixEncodings());
    auto* nrow = new QHBoxLayout;
    nrow->addWidget(dm_encoding_ComboBox, 1);
    nrow->addWidget(helpButton(QStringLiteral("dm_encoding")));
    df->addRow(tr("Encoding :"), nrow);
    v->addWidget(dm_2d_sett_box);
    v->addStretch(1);

    const auto refresh = [this] { refreshForChange(); };
    connectPair(height, refresh);
    connectPair(width, refresh);
    connectPair(qrSize, refresh);
    connectPair(pdfWidth, refresh);
    connectPair(pdfHeight, refresh);
    connectPair(pdfRows, refresh);
    connectPair(pdfColumns, refresh);
    connectPair(pdfEcLevel, refresh);
    connectPair(dmWidth, [this] { DM_Area_Changed(); });
    connectPair(dmHeight, [this] { DM_Area_Changed(); });
    connectPair(dmModule, [this] { DM_Format_Changed(); });
    connect(captionCheckbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            captionChanged();
    });
    connect(showinTopCheckbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            linearReRender();
    });
    connect(kerning_value_Checkbox, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            linearReRender();
    });
    connect(bar_align_combo, &QComboBox::currentIndexChanged, this, &Barcode_Gen::Bar_Align_Changed);
    for (QComboBox* c : {qr_enc_mode_ComboBox, qr_ec_lvl_ComboBox, dm_encoding_ComboBox})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_loading)
                reCompose2D();
        });
    connect(qr_version_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            QR_Version_Changed();
    });
    connect(dm_format_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            DM_Format_Changed();
    });
    return page;
}

QWidget* Barcode_Gen::buildTextsTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    const auto fontRow = [this](QLabel*& value, QPushButton*& button, const QString& valueName,
                                const QString& buttonName) {
        value = makeLabel(QString(), valueName);
        value->setFrameShape(QFrame::StyledPanel);
        value->setMinimumWidth(200);
        button = new QPushButton(tr("Font…"));
        button->setObjectName(buttonName);
        button->setAutoDefault(false);
        auto* w = new QWidget;
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(value, 1);
        h->addWidget(button);
        return w;
    };

    auto* header = new QGroupBox(tr("Header"));
    auto* hf = new QFormLayout(header);
    HeaderText = new QLineEdit;
    HeaderText->setObjectName(QStringLiteral("HeaderText"));
    HeaderText->setMaxLength(kMaxBarcodeTextLength);
    hf->addRow(tr("Text :"), HeaderText);
    hideHeaderCheckbox = makeCheck(QStringLiteral("hideHeaderCheckbox"), tr("Hide header"));
    align_hdr_combo = makeCombo(QStringLiteral("align_hdr_combo"), alignmentTitles());
    hf->addRow(tr("Alignment :"), align_hdr_combo);
    hf->addRow(tr("Font :"), fontRow(header_font_value, hdr_font_btn, QStringLiteral("header_font_value"),
                                     QStringLiteral("hdr_font_btn")));
    hf->addRow(hideHeaderCheckbox);
    v->addWidget(header);

    auto* footer = new QGroupBox(tr("Footer"));
    auto* ff = new QFormLayout(footer);
    FooterText = new QLineEdit;
    FooterText->setObjectName(QStringLiteral("FooterText"));
    FooterText->setMaxLength(kMaxBarcodeTextLength);
    ff->addRow(tr("Text :"), FooterText);
    hideFooterCheckbox = makeCheck(QStringLiteral("hideFooterCheckbox"), tr("Hide footer"));
    align_ftr_combo = makeCombo(QStringLiteral("align_ftr_combo"), alignmentTitles());
    ff->addRow(tr("Alignment :"), align_ftr_combo);
    ff->addRow(tr("Font :"), fontRow(footer_font_value, ftr_font_btn, QStringLiteral("footer_font_value"),
                                     QStringLiteral("ftr_font_btn")));
    ff->addRow(hideFooterCheckbox);
    v->addWidget(footer);

    auto* value = new QGroupBox(tr("Value text"));
    auto* vf = new QFormLayout(value);
    val_font_label = makeLabel(tr("Font :"), QStringLiteral("val_font_label"));
    vf->addRow(val_font_label, fontRow(value_font_value, val_font_btn, QStringLiteral("value_font_value"),
                                       QStringLiteral("val_font_btn")));
    v->addWidget(value);
    v->addStretch(1);

    connect(val_font_btn, &QPushButton::clicked, this, [this] { chooseFont(0); });
    connect(hdr_font_btn, &QPushButton::clicked, this, [this] { chooseFont(1); });
    connect(ftr_font_btn, &QPushButton::clicked, this, [this] { chooseFont(2); });
    for (QLineEdit* e : {HeaderText, FooterText})
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_loading)
                goButtonActionPerformed();
        });
    for (QCheckBox* c : {hideHeaderCheckbox, hideFooterCheckbox})
        connect(c, &QCheckBox::toggled, this, [this] {
            if (!m_loading)
                refreshForChange();
        });
    for (QComboBox* c : {align_hdr_combo, align_ftr_combo})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_loading)
                refreshForChange();
        });
    return page;
}

QWidget* Barcode_Gen::buildColoursTab() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* colours = new QGroupBox(tr("Colours"));
    auto* g = new QGridLayout(colours);
    const auto well = [this](const QString& name) {
        auto* b = new BarcodeColorButton;
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    barcode_clr = well(QStringLiteral("barcode_clr"));
    bar_back_clr = well(QStringLiteral("bar_back_clr"));
    bar_val_clr = well(QStringLiteral("bar_val_clr"));
    bar_hdr_clr = well(QStringLiteral("bar_hdr_clr"));
    bar_ftr_clr = well(QStringLiteral("bar_ftr_clr"));
    bar_clr_label = makeLabel(tr("Bars :"), QStringLiteral("bar_clr_label"));
    bar_bk_clr_label = makeLabel(tr("Background :"), QStringLiteral("bar_bk_clr_label"));
    val_clr_label = makeLabel(tr("Value text :"), QStringLiteral("val_clr_label"));
    g->addWidget(bar_clr_label, 0, 0);
    g->addWidget(barcode_clr, 0, 1);
    g->addWidget(bar_bk_clr_label, 1, 0);
    g->addWidget(bar_back_clr, 1, 1);
    g->addWidget(val_clr_label, 2, 0);
    g->addWidget(bar_val_clr, 2, 1);
    g->addWidget(makeLabel(tr("Header :")), 0, 2);
    g->addWidget(bar_hdr_clr, 0, 3);
    g->addWidget(makeLabel(tr("Footer :")), 1, 2);
    g->addWidget(bar_ftr_clr, 1, 3);
    g->setColumnStretch(4, 1);
    g->setHorizontalSpacing(12);
    v->addWidget(colours);

    const QList<std::pair<BarcodeColorButton*, QString>> wells = {{barcode_clr, tr("Bar colour")},
                                                                  {bar_back_clr, tr("Background colour")},
                                                                  {bar_val_clr, tr("Value text colour")},
                                                                  {bar_hdr_clr, tr("Header colour")},
                                                                  {bar_ftr_clr, tr("Footer colour")}};
    for (const auto& [button, title] : wells) {
        connect(button, &QPushButton::clicked, this, [this, b = button, t = title] { chooseColor(b, t); });
        connect(button, &BarcodeColorButton::colorChosen, this, [this] { refreshForChange(); });
    }

    margin_box = new QGroupBox;
    margin_box->setObjectName(QStringLiteral("margin_box"));
    auto* mf = new QFormLayout(margin_box);
    hdrMargin =
        makePair(QStringLiteral("hdr_mar_Text"), QStringLiteral("hdr_mar_Stepper"), 0, 50, 0.1, false);
    ftrMargin =
        makePair(QStringLiteral("ftr_mar_Text"), QStringLiteral("ftr_mar_Stepper"), 0, 50, 0.1, false);
    valMargin =
        makePair(QStringLiteral("val_mar_Text"), QStringLiteral("val_mar_Stepper"), 0, 50, 0.1, false);
    tbMargin = makePair(QStringLiteral("TB_mar_Text"), QStringLiteral("TB_mar_Stepper"), 0, 50, 0.1, false);
    lrMargin = makePair(QStringLiteral("LR_mar_Text"), QStringLiteral("LR_mar_Stepper"), 0, 50, 0.1, false);
    Hdr_Mar_Label = makeLabel(tr("Header :"), QStringLiteral("Hdr_Mar_Label"));
    Ftr_Mar_Label = makeLabel(tr("Footer :"), QStringLiteral("Ftr_Mar_Label"));
    Val_Mar_Label = makeLabel(tr("Value text :"), QStringLiteral("Val_Mar_Label"));
    TB_Mar_Label = makeLabel(tr("Top and bottom :"), QStringLiteral("TB_Mar_Label"));
    LR_Mar_Label = makeLabel(tr("Left and right :"), QStringLiteral("LR_Mar_Label"));
    mf->addRow(Hdr_Mar_Label, pairRow(hdrMargin));
    mf->addRow(Ftr_Mar_Label, pairRow(ftrMargin));
    mf->addRow(Val_Mar_Label, pairRow(valMargin));
    mf->addRow(TB_Mar_Label, pairRow(tbMargin));
    mf->addRow(LR_Mar_Label, pairRow(lrMargin));
    v->addWidget(margin_box);
    v->addStretch(1);

    for (const BarcodeNumberPair& p : {hdrMargin, ftrMargin, valMargin, tbMargin, lrMargin})
        connectPair(p, [this] { refreshForChange(); });
    return page;
}

QWidget* Barcode_Gen::buildResolutionTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("dpi_tab_item"));
    auto* v = new QVBoxLayout(page);
    auto* box = new QGroupBox(tr("Output resolution"));
    auto* f = new QFormLayout(box);
    DPI_ComboBox = makeCombo(QStringLiteral("DPI_ComboBox"), resolutionTitles());
    auto* row = new QHBoxLayout;
    row->addWidget(DPI_ComboBox, 1);
    row->addWidget(helpButton(QStringLiteral("dpi")));
    f->addRow(tr("Dots per inch :"), row);
    dpi = makePair(QStringLiteral("dpi_Text"), QStringLiteral("dpi_Stepper"), 1, 2400, 1, true);
    setPairValue(dpi, 600);
    f->addRow(tr("Custom :"), pairRow(dpi));
    v->addWidget(box);
    auto* note = new QLabel(tr("The resolution of the barcode image the card uses when it is printed or "
                               "exported."));
    note->setWordWrap(true);
    v->addWidget(note);
    v->addStretch(1);

    connect(DPI_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            DPI_ComboBox_Changed();
    });
    connectPair(dpi, [this] {
        m_dpiCustomText = formatNumber(pairValue(dpi), true);
        refreshForChange();
    });
    return page;
}

QWidget* Barcode_Gen::buildPreview() {
    auto* box = new QGroupBox(tr("Preview"));
    auto* v = new QVBoxLayout(box);
    image_scroll = new QScrollArea;
    image_scroll->setObjectName(QStringLiteral("image_scroll"));
    image_scroll->setWidgetResizable(true);
    image_scroll->setFrameShape(QFrame::StyledPanel);
    barcodeImage = new QLabel;
    barcodeImage->setObjectName(QStringLiteral("barcodeImage"));
    barcodeImage->setAlignment(Qt::AlignCenter);
    barcodeImage->setStyleSheet(QStringLiteral("QLabel#barcodeImage { background: #e6e8ec; }"));
    image_scroll->setWidget(barcodeImage);
    v->addWidget(image_scroll, 1);
    barcode_error_label = makeLabel(QString(), QStringLiteral("barcode_error_label"));
    barcode_error_label->setWordWrap(true);
    barcode_error_label->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    barcode_error_label->hide();
    v->addWidget(barcode_error_label);
    barcode_size_label = makeLabel(QString(), QStringLiteral("barcode_size_label"));
    barcode_size_label->setStyleSheet(QStringLiteral("color: #555;"));
    v->addWidget(barcode_size_label);
    barcode_quiet_label = makeLabel(QString(), QStringLiteral("barcode_quiet_label"));
    barcode_quiet_label->setWordWrap(true);
    barcode_quiet_label->setStyleSheet(QStringLiteral("color: #9a5b00;"));
    barcode_quiet_label->hide();
    v->addWidget(barcode_quiet_label);
    return box;
}

// ---------------------------------------------------------------- style <-> controls

BarcodeStyle Barcode_Gen::styleFromControls() const {
    BarcodeStyle s = m_base;
    int mode = 0, index = 0;
    if (popupEntry(barcodeTypePopup->currentIndex(), &mode, &index)) {
        s.linear_or_2d = mode;
        s.barcode_font_index = index;
    }
    s.linear_font_val = dataText->text();
    s.two_d_font_val = dataText_2D->toPlainText();
    s.header_val = HeaderText->text();
    s.footer_val = FooterText->text();
    s.show_hide_hdr = checkState(hideHeaderCheckbox);
    s.show_hide_ftr = checkState(hideFooterCheckbox);
    s.show_hide_val = checkState(captionCheckbox);
    s.show_val_on_top = checkState(showinTopCheckbox);
    s.align_hdr_index = align_hdr_combo->currentIndex();
    s.align_ftr_index = align_ftr_combo->currentIndex();
    s.linear_height_val = float(pairValue(height));
    s.linear_width_val = float(pairValue(width));
    s.qr_size_val = int(pairValue(qrSize));
    s.qr_version_index = qr_version_ComboBox->currentIndex();
    s.qr_ec_index = qr_ec_lvl_ComboBox->currentIndex();
    s.pdf_hgt_val = int(pairValue(pdfHeight));
    s.pdf_wdt_val = int(pairValue(pdfWidth));
    s.pdf_ec_val = int(pairValue(pdfEcLevel));
    s.pdf_row_val = int(pairValue(pdfRows));
    s.pdf_col_val = int(pairValue(pdfColumns));
    s.dm_module_val = int(pairValue(dmModule));
    s.dm_format_index = dm_format_ComboBox->currentIndex();
    s.dm_encoding_index = dm_encoding_ComboBox->currentIndex();
    s.hdr_margin_val = float(pairValue(hdrMargin));
    s.ftr_margin_val = float(pairValue(ftrMargin));
    s.val_margin_val = float(pairValue(valMargin));
    s.TB_marging_val = float(pairValue(tbMargin));
    s.LR_margin_val = float(pairValue(lrMargin));
    s.value_font_val = m_valueFont;
    s.header_font_val = m_headerFont;
    s.footer_font_val = m_footerFont;
    s.barcode_hdr_clr_val = bar_hdr_clr->color();
    s.barcode_ftr_clr_val = bar_ftr_clr->color();
    s.barcode_val_clr_val = bar_val_clr->color();
    s.barcode_back_clr_val = bar_back_clr->color();
    s.barcode_clr_val = barcode_clr->color();
    s.dpi_val_index = DPI_ComboBox->currentIndex();
    s.dpi_custom_val = m_dpiCustomText;
    s.kerning_value = checkState(kerning_value_Checkbox);
    s.dpi = resolutionDpi(s.dpi_val_index, s.dpi_custom_val);
    return s;
}

void Barcode_Gen::removeUnknownSymbologyEntry() {
    while (barcodeTypePopup->count() > popupCount())
        barcodeTypePopup->removeItem(popupCount());
}

void Barcode_Gen::loadStyle(const BarcodeStyle& style) {
    m_loading = true;
    m_base = style;
    m_mode = style.linear_or_2d == 0 ? 0 : 1;
    m_shownIndex = style.barcode_font_index;
    removeUnknownSymbologyEntry();
    if (symbologyInPopup(m_mode, style.barcode_font_index)) {
        barcodeTypePopup->setCurrentIndex(popupPosition(m_mode, style.barcode_font_index));
    } else {
        // Shown as it is stored; OK keeps it unless another type is chosen.
        barcodeTypePopup->addItem(unknownSymbologyTitle(m_mode, style.barcode_font_index));
        barcodeTypePopup->setCurrentIndex(barcodeTypePopup->count() - 1);
    }
    dataText->setText(style.linear_font_val);
    dataText_2D->setPlainText(style.two_d_font_val);
    HeaderText->setText(style.header_val);
    FooterText->setText(style.footer_val);
    hideHeaderCheckbox->setChecked(style.show_hide_hdr == 1);
    hideFooterCheckbox->setChecked(style.show_hide_ftr == 1);
    captionCheckbox->setChecked(style.show_hide_val == 1);
    showinTopCheckbox->setChecked(style.show_val_on_top == 1);
    kerning_value_Checkbox->setChecked(style.kerning_value == 1);
    const auto index = [](QComboBox* c, int i) { c->setCurrentIndex(i >= 0 && i < c->count() ? i : 0); };
    index(align_hdr_combo, style.align_hdr_index);
    index(align_ftr_combo, style.align_ftr_index);
    setPairValue(height, style.linear_height_val);
    setPairValue(width, style.linear_width_val);
    index(qr_version_ComboBox, style.qr_version_index);
    qrSize.stepper->setMinimum(qrSizeFloor(qr_version_ComboBox->currentIndex()));
    setPairValue(qrSize, style.qr_size_val);
    index(qr_ec_lvl_ComboBox, style.qr_ec_index);
    setPairValue(pdfHeight, style.pdf_hgt_val);
    setPairValue(pdfWidth, style.pdf_wdt_val);
    setPairValue(pdfEcLevel, style.pdf_ec_val);
    setPairValue(pdfRows, style.pdf_row_val);
    setPairValue(pdfColumns, style.pdf_col_val);
    setPairValue(dmModule, style.dm_module_val);
    index(dm_format_ComboBox, style.dm_format_index);
    index(dm_encoding_ComboBox, style.dm_encoding_index);
    setPairValue(hdrMargin, style.hdr_margin_val);
    setPairValue(ftrMargin, style.ftr_margin_val);
    setPairValue(valMargin, style.val_margin_val);
    setPairValue(tbMargin, style.TB_marging_val);
    setPairValue(lrMargin, style.LR_margin_val);
    m_valueFont = style.value_font_val;
    m_headerFont = style.header_font_val;
    m_footerFont = style.footer_font_val;
    value_font_value->setText(fontLabelText(m_valueFont));
    header_font_value->setText(fontLabelText(m_headerFont));
    footer_font_value->setText(fontLabelText(m_footerFont));
    bar_hdr_clr->setColor(style.barcode_hdr_clr_val);
    bar_ftr_clr->setColor(style.barcode_ftr_clr_val);
    bar_val_clr->setColor(style.barcode_val_clr_val);
    bar_back_clr->setColor(style.barcode_back_clr_val);
    barcode_clr->setColor(style.barcode_clr_val);
    index(DPI_ComboBox, style.dpi_val_index);
    // The custom resolution is the item's own; a text that is no number keeps the stepper where it was.
    m_dpiCustomText = style.dpi_custom_val;
    bool ok = false;
    const int custom = style.dpi_custom_val.trimmed().toInt(&ok);
    if (ok && custom >= 1 && custom <= 2400)
        setPairValue(dpi, custom);
    DPI_ComboBox_Changed();
    keepDataMatrixArea();
    applyModePanels();
    Get_Print_State();
    m_loading = false;
}

void Barcode_Gen::Set_Barcode_Prop_To_Control(const SKTGraphic& item) {
    const BarcodeStyle style = BarcodeStyle::fromItem(item);
    setLoadedStyle(style);
    if (!isGuiThread())
        return; // a worker only needs the style for Get_Image_From_Val
    loadStyle(style);
    loadBinding(item);
}

void Barcode_Gen::setLoadedStyle(const BarcodeStyle& style) {
    QMutexLocker lock(&m_loadedMutex);
    m_loadedStyle = style;
}

BarcodeStyle Barcode_Gen::loadedStyle() const {
    QMutexLocker lock(&m_loadedMutex);
    return m_loadedStyle;
}

BarcodeResult Barcode_Gen::Get_Image_From_Val(const QString& value, const QString& header,
                                              const QString& footer) const {
    return generateBarcode(loadedStyle(), value, header, footer);
}

// ---------------------------------------------------------------- modal edit

GraphicPtr Barcode_Gen::Open_Wnd(const GraphicPtr& item, QUndoStack* undo) {
    m_lastEditChanged = false;
    if (!item)
        return item;
    Set_Barcode_Prop_To_Control(*item);
    sett_tab->setCurrentIndex(0);
    goButtonActionPerformed();
    const int code = exec();
    if (code == QDialog::Accepted) {
        BarcodeStyleCommand::Change change{item, BarcodeItemState::of(*item), {}};
        change.after = change.before;
        const int unit = change.after.style.barcode_unit_val;
        change.after.style = styleFromControls();
        change.after.style.barcode_unit_val = unit;
        change.after.data_source_type = m_binding.type;
        change.after.batch_list_name = m_binding.name;
        change.after.batch_list_index = m_binding.index;
        change.after.excel_col_indx = m_binding.column;
        m_lastEditChanged = applyBarcodeChanges({change}, tr("Barcode"), undo);
        setLoadedStyle(BarcodeStyle::fromItem(*item));
    }
    return item;
}

void Barcode_Gen::OK_Btn_Clicked() {
    const OkDecision d = decideOk(styleFromControls());
    if (!d.accept) {
        Set_Blank_Image(d.message);
        Show_MessageBox(d.message);
        return;
    }
    Barcode_output_image = d.image;
    done(QDialog::Accepted);
}

void Barcode_Gen::Cancel_Btn_Clicked() {
    done(QDialog::Rejected);
}

// ---------------------------------------------------------------- refreshes

QString Barcode_Gen::currentContent() const {
    return m_mode == 0 ? dataText->text() : dataText_2D->toPlainText();
}

void Barcode_Gen::setCurrentContent(const QString& value) {
    if (m_mode == 0)
        dataText->setText(value);
    else
        dataText_2D->setPlainText(value);
}

void Barcode_Gen::goButtonActionPerformed() {
    QString reason;
    if (!contentAcceptable(currentContent(), m_mode != 0, &reason)) {
        Set_Blank_Image(reason);
        return;
    }
    const BarcodeStyle s = styleFromControls();
    if (m_mode != 0 && s.barcode_font_index == BarcodeSymbologies::DataMatrix && s.dm_format_index == 0)
        keepDataMatrixArea();
    const BarcodeResult r = generateBarcode(s, s.content(), s.header_val, s.footer_val);
    QImage screen;
    if (r.ok()) {
        BarcodeStyle onScreen = s;
        onScreen.dpi = screenDpi();
        screen = onScreen.dpi == s.dpi
                     ? r.image
                     : generateBarcode(onScreen, s.content(), s.header_val, s.footer_val).image;
    }
    showResult(r, screen);
}

int Barcode_Gen::screenDpi() const {
    return std::max(1, qRound(72.0 * devicePixelRatioF()));
}

void Barcode_Gen::linearReRender() {
    if (m_mode == 0)
        goButtonActionPerformed();
}

void Barcode_Gen::reCompose2D() {
    if (m_mode != 0)
        goButtonActionPerformed();
}

void Barcode_Gen::refreshForChange() {
    if (m_loading)
        return;
    goButtonActionPerformed();
}

void Barcode_Gen::showResult(const BarcodeResult& result, const QImage& screen) {
    if (!result.ok()) {
        Set_Blank_Image(result.reason);
        return;
    }
    m_preview = {result.image, screen, QString()};
    // A new picture is centred again, whatever preview alignment was chosen.
    {
        QSignalBlocker block(bar_align_combo);
        bar_align_combo->setCurrentIndex(0);
    }
    barcodeImage->setAlignment(Qt::AlignCenter);
    barcode_error_label->hide();
    barcode_error_label->clear();
    displayPreview();
    const QSizeF points = BarcodeRenderer::pictureSizePoints(result.image);
    barcode_size_label->setText(drawingSizeText(points, m_base.barcode_unit_val));
    const BarcodeStyle style = styleFromControls();
    const QString warning = BarcodeItemDrawing::quietZoneWarning(style, style.content());
    barcode_quiet_label->setText(warning);
    barcode_quiet_label->setVisible(!warning.isEmpty());
}

void Barcode_Gen::displayPreview() {
    if (m_preview.image.isNull()) {
        barcodeImage->clear();
        return;
    }
    // One point of the drawing to one pixel of the screen, unscaled: the drawing made at the screen's
    // resolution, or (when the symbol needs more pixels than that) the item's image reduced to that size.
    QImage shown = m_preview.screen;
    if (shown.isNull()) {
        const QSizeF points = BarcodeRenderer::pictureSizePoints(m_preview.image);
        const QSize target = (points * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
        shown = m_preview.image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(shown);
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    barcodeImage->setPixmap(pixmap);
}

QPixmap Barcode_Gen::previewPixmap() const {
    return barcodeImage->pixmap();
}

void Barcode_Gen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    displayPreview();
}

void Barcode_Gen::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    displayPreview();
}

void Barcode_Gen::Set_Blank_Image(const QString& reason) {
    m_preview = {QImage(), QImage(), reason};
    barcodeImage->clear();
    barcode_error_label->setText(reason.isEmpty() ? tr("No barcode can be made.") : reason);
    barcode_error_label->show();
    barcode_size_label->clear();
    barcode_quiet_label->clear();
    barcode_quiet_label->hide();
}

// ---------------------------------------------------------------- panels and labels

void Barcode_Gen::applyModePanels() {
    const bool linear = m_mode == 0;
    int mode = 0, index = -1;
    popupEntry(barcodeTypePopup->currentIndex(), &mode, &index);
    dataText->setVisible(linear);
    dataText->setEnabled(linear);
    dataText_2D_scl_v->setVisible(!linear);
    for (QWidget* w : std::initializer_list<QWidget*>{
             showinTopCheckbox, captionCheckbox, valMargin.text, valMargin.stepper, Val_Mar_Label,
             val_font_label, val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr,
             val_clr_label, bar_clr_label, bar_bk_clr_label, linear_sett_box})
        w->setVisible(linear);
    val_font_label->parentWidget()->setVisible(linear);
    two_d_sett_box->setVisible(!linear && index == BarcodeSymbologies::QRCode);
    pdf_2d_sett_box->setVisible(!linear && index == BarcodeSymbologies::PDF417);
    dm_2d_sett_box->setVisible(!linear && index == BarcodeSymbologies::DataMatrix);
    BarcodeStyle probe;
    probe.linear_or_2d = m_mode;
    probe.barcode_font_index = index;
    kerning_value_Checkbox->setEnabled(kerningApplies(probe));
    // The resolution tab belongs to the 2-D kinds.
    const int dpiTab = sett_tab->indexOf(dpi_tab_item);
    if (linear && dpiTab >= 0)
        sett_tab->removeTab(dpiTab);
    else if (!linear && dpiTab < 0)
        sett_tab->insertTab(3, dpi_tab_item, tr("Resolution"));
    setLabels();
}

void Barcode_Gen::Liner_Barcode_Opt_Select() {
    m_mode = 0;
    applyModePanels();
    sett_tab->setCurrentIndex(0);
}

void Barcode_Gen::two_d_barcode_Opt_Select() {
    m_mode = 1;
    applyModePanels();
}

void Barcode_Gen::setLabels() {
    const int unit = m_base.barcode_unit_val;
    barHeightLabel->setText(barHeightLabelText(m_mode != 0, unit));
    barWidthLabel->setText(barWidthLabelText(m_mode != 0));
    margin_box->setTitle(marginBoxTitle(unit));
}

// ---------------------------------------------------------------- handlers

void Barcode_Gen::barcodeTypeChanged() {
    int mode = 0, index = 0;
    const bool known = popupEntry(barcodeTypePopup->currentIndex(), &mode, &index);
    if (!known) {
        if (barcodeTypePopup->currentIndex() < popupCount())
            return;                              // the separator
        mode = m_base.linear_or_2d == 0 ? 0 : 1; // back to the stored type outside the lists
    }
    const QString before = currentContent();
    BarcodeStyle previous = styleFromControls();
    previous.linear_or_2d = m_mode;
    previous.barcode_font_index = m_shownIndex;
    if (mode != 0)
        two_d_barcode_Opt_Select();
    else
        Liner_Barcode_Opt_Select();
    m_shownIndex = known ? index : m_base.barcode_font_index;
    // The typed value goes with the user to the other kind's field when that one is empty or when the new
    // symbology takes the value.
    const QString now = currentContent();
    if (!before.isEmpty() && now != before) {
        bool carry = now.isEmpty();
        if (!carry && known && contentAcceptable(before, mode != 0)) {
            BarcodeStyle probe = styleFromControls();
            (mode == 0 ? probe.linear_font_val : probe.two_d_font_val) = before;
            carry = generateBarcode(probe, before, probe.header_val, probe.footer_val).ok();
        }
        if (carry) {
            m_loading = true;
            setCurrentContent(before);
            m_loading = false;
        }
    }
    // Margins still at the quiet zone of the previous symbology follow the new one's.
    BarcodeStyle current = styleFromControls();
    BarcodeStyle stored = previous;
    stored.linear_font_val = m_base.linear_font_val;
    stored.two_d_font_val = m_base.two_d_font_val;
    if (BarcodeItemDrawing::followQuietZoneMargins(current, previous) ||
        BarcodeItemDrawing::followQuietZoneMargins(current, stored)) {
        setPairValue(lrMargin, current.LR_margin_val);
        setPairValue(tbMargin, current.TB_marging_val);
        setPairValue(hdrMargin, current.hdr_margin_val);
        setPairValue(ftrMargin, current.ftr_margin_val);
    }
    if (currentContent().isEmpty()) {
        Set_Blank_Image(tr("Please enter barcode value"));
        Show_MessageBox(QStringLiteral("Please enter barcode value"));
        return;
    }
    goButtonActionPerformed();
}

bool Barcode_Gen::Get_Print_State() {
    if (!captionCheckbox->isEnabled())
        return false;
    const bool prints = !captionCheckbox->isChecked();
    showinTopCheckbox->setEnabled(prints);
    return prints;
}

void Barcode_Gen::captionChanged() {
    Get_Print_State();
    refreshForChange();
}

void Barcode_Gen::QR_Version_Changed() {
    const int floor = qrSizeFloor(qr_version_ComboBox->currentIndex());
    qrSize.stepper->setMinimum(floor);
    if (pairValue(qrSize) < floor)
        setPairValue(qrSize, floor);
    else
        setPairValue(qrSize, pairValue(qrSize)); // the field follows a stepper the minimum moved
    reCompose2D();
}

void Barcode_Gen::DM_Format_Changed() {
    keepDataMatrixArea();
    if (!m_loading)
        reCompose2D();
}

// Width and height show at least the chosen size; with "Auto" they show the symbol the value takes.
void Barcode_Gen::keepDataMatrixArea() {
    const int m = int(pairValue(dmModule));
    const QSize floor = dataMatrixSizeFloor(dm_format_ComboBox->currentText(), m);
    if (floor.isValid()) {
        if (pairValue(dmWidth) < floor.width())
            setPairValue(dmWidth, floor.width());
        if (pairValue(dmHeight) < floor.height())
            setPairValue(dmHeight, floor.height());
    } else if (dm_format_ComboBox->currentIndex() == 0) {
        const QSize modules =
            dataMatrixSymbolSize(currentContent().toUtf8(), 0, dm_encoding_ComboBox->currentIndex());
        if (modules.isValid()) {
            setPairValue(dmWidth, modules.width() * m);
            setPairValue(dmHeight, modules.height() * m);
        }
    }
    m_dmArea = QSizeF(pairValue(dmWidth), pairValue(dmHeight));
}

// Width and height choose the largest symbol inside them; one too small for the value is refused and the
// previous width and height come back.
void Barcode_Gen::DM_Area_Changed() {
    const DataMatrixAreaChoice choice =
        dataMatrixFormatForArea(currentContent().toUtf8(), dm_encoding_ComboBox->currentIndex(), pairValue(dmWidth),
                                pairValue(dmHeight), int(pairValue(dmModule)));
    if (choice.formatIndex < 0) {
        setPairValue(dmWidth, m_dmArea.width());
        setPairValue(dmHeight, m_dmArea.height());
        barcode_error_label->setText(choice.reason);
        barcode_error_label->show();
        return;
    }
    m_dmArea = QSizeF(pairValue(dmWidth), pairValue(dmHeight));
    {
        const QSignalBlocker block(dm_format_ComboBox);
        dm_format_ComboBox->setCurrentIndex(choice.formatIndex);
    }
    reCompose2D();
}

void Barcode_Gen::DPI_ComboBox_Changed() {
    const bool custom = DPI_ComboBox->currentIndex() == 1;
    dpi.text->setEnabled(custom);
    dpi.stepper->setEnabled(custom);
    if (custom && !m_loading)
        m_dpiCustomText = formatNumber(pairValue(dpi), true);
    refreshForChange();
}

void Barcode_Gen::Bar_Align_Changed() {
    barcodeImage->setAlignment(previewAlignment(bar_align_combo->currentText()));
}

void Barcode_Gen::chooseFont(int which) {
    QFont* font = which == 0 ? &m_valueFont : which == 1 ? &m_headerFont : &m_footerFont;
    const QString title = which == 0   ? tr("Value Text Font")
                          : which == 1 ? tr("Header Font")
                                       : tr("Footer Font");
    if (!fontPicker)
        return;
    const std::optional<QFont> chosen = fontPicker(*font, title);
    if (!chosen)
        return;
    if (which == 0)
        setValueFont(*chosen);
    else if (which == 1)
        setHeaderFont(*chosen);
    else
        setFooterFont(*chosen);
}

void Barcode_Gen::setValueFont(const QFont& font) {
    m_valueFont = font;
    value_font_value->setText(fontLabelText(font));
    refreshForChange();
}

void Barcode_Gen::setHeaderFont(const QFont& font) {
    m_headerFont = font;
    header_font_value->setText(fontLabelText(font));
    refreshForChange();
}

void Barcode_Gen::setFooterFont(const QFont& font) {
    m_footerFont = font;
    footer_font_value->setText(fontLabelText(font));
    refreshForChange();
}

void Barcode_Gen::chooseColor(BarcodeColorButton* button, const QString& title) {
    if (!colorPicker)
        return;
    const std::optional<QColor> chosen = colorPicker(button->color(), title);
    if (!chosen || *chosen == button->color())
        return;
    button->setColor(*chosen);
    emit button->colorChosen(*chosen);
}

// ---------------------------------------------------------------- data source

void Barcode_Gen::setContentEditable(bool editable) {
    dataText->setReadOnly(!editable);
    dataText_2D->setReadOnly(!editable);
}

void Barcode_Gen::loadBinding(const SKTGraphic& item) {
    m_binding = {item.data_source_type, item.batch_list_name, item.batch_list_index, item.excel_col_indx};
    m_loading = true;
    const int source = m_binding.type >= 0 && m_binding.type <= 2 ? m_binding.type : 0;
    Data_source_type->setCurrentIndex(source);
    fillBatchSeriesForSource(source, false);
    m_loading = false;
}

// Fills the series combo for a source and selects the bound entry; the binding is left as it is.
void Barcode_Gen::fillBatchSeriesForSource(int source, bool interactive) {
    Q_UNUSED(interactive);
    const bool bound = source != 0;
    view_series_btn->setEnabled(source == 1);
    Batch_Series->setEnabled(bound);
    setContentEditable(!bound);
    Batch_Series->clear();
    if (source == 1) {
        Batch_Series->addItems(dataSources.seriesNames ? dataSources.seriesNames() : QStringList());
        Batch_Series->setCurrentIndex(Batch_Series->findText(m_binding.name));
    } else if (source == 2) {
        Batch_Series->addItems(dataSources.columnTitles ? dataSources.columnTitles() : QStringList());
        Batch_Series->setCurrentIndex(
            m_binding.column >= 0 && m_binding.column < Batch_Series->count() ? m_binding.column : -1);
    }
}

void Barcode_Gen::Data_source_type_Changed() {
    const int source = Data_source_type->currentIndex();
    const Binding previous = m_binding;
    if (source == 1) {
        const QStringList names = dataSources.seriesNames ? dataSources.seriesNames() : QStringList();
        if (names.isEmpty()) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            m_loading = true;
            Data_source_type->setCurrentIndex(previous.type >= 0 && previous.type <= 2 ? previous.type : 0);
            m_loading = false;
            return;
        }
    } else if (source == 2) {
        const QStringList titles = dataSources.columnTitles ? dataSources.columnTitles() : QStringList();
        if (titles.isEmpty()) {
            Show_MessageBox(QStringLiteral("Please import the Excel data first."));
            m_loading = true;
            Data_source_type->setCurrentIndex(previous.type >= 0 && previous.type <= 2 ? previous.type : 0);
            m_loading = false;
            return;
        }
    }
    m_binding.type = source;
    m_loading = true;
    fillBatchSeriesForSource(source, true);
    m_loading = false;
    if (source != 0) {
        // Bound without a choice yet: take the first entry, so the item is never bound to nothing.
        if (Batch_Series->currentIndex() < 0 && Batch_Series->count() > 0) {
            m_loading = true;
            Batch_Series->setCurrentIndex(0);
            m_loading = false;
        }
        Batch_Series_Changed();
        return;
    }
    goButtonActionPerformed();
}

void Barcode_Gen::Batch_Series_Changed() {
    const int index = Batch_Series->currentIndex();
    const QString text = Trim_Str(Batch_Series->currentText());
    if (index < 0 || text.isEmpty())
        return;
    QString value;
    if (Data_source_type->currentIndex() == 2) {
        m_binding.column = index;
        value = dataSources.firstValueOfColumn ? dataSources.firstValueOfColumn(index) : QString();
    } else {
        m_binding.name = text;
        m_binding.index = index;
        value = dataSources.firstValueOfSeries ? dataSources.firstValueOfSeries(text) : QString();
    }
    m_loading = true;
    setCurrentContent(value);
    m_loading = false;
    goButtonActionPerformed();
}

void Barcode_Gen::View_batch_Series_Button() {
    const QString name = Trim_Str(Batch_Series->currentText());
    if (name.isEmpty() || Data_source_type->currentIndex() != 1) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
    }
    const QStringList values = dataSources.seriesValues ? dataSources.seriesValues(name) : QStringList();
    QDialog viewer(this);
    viewer.setObjectName(QStringLiteral("View_Data_Series"));
    viewer.setWindowTitle(tr("View Series"));
    applyDialogBackground(&viewer);
    auto* v = new QVBoxLayout(&viewer);
    auto* nameField = new QLineEdit(name);
    nameField->setReadOnly(true);
    v->addWidget(nameField);
    auto* list = new QListWidget;
    list->addItems(values);
    v->addWidget(list, 1);
    v->addWidget(new QLabel(QStringLiteral("Total Rows : %1").arg(values.size())));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, &viewer, &QDialog::accept);
    v->addWidget(buttons);
    viewer.resize(320, 420);
    viewer.exec();
}
