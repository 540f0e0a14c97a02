// The barcode designer dialog: its layout, the style it loads into and reads from its controls, the modal
// edit of one item and the preview. Its pages are built in BarcodeDesignerPages and act in
// BarcodeDesignerActions.

#include "barcode/ui/Barcode_Gen.h"

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/ui/BarcodeDesignerLogic.h"
#include "barcode/ui/BarcodeItemEditing.h"
#include "barcode/ui/BarcodeStyleCommand.h"
#include "common/Prompt.h"
#include "common/ui/FontPicking.h"
#include "common/ui/UiHelpers.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

Barcode_Gen* Barcode_Gen_Var = nullptr;
QImage Barcode_output_image;

using namespace BarcodeDesigner;

namespace {

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

// ---------------------------------------------------------------- layout

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
    QStringList warnings{BarcodeItemDrawing::quietZoneWarning(style, style.content()),
                         BarcodeItemDrawing::cardWidthWarning(points.width(), cardWidth)};
    warnings.removeAll(QString());
    const QString warning = warnings.join(QLatin1Char('\n'));
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
