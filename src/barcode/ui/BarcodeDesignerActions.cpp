// What the barcode designer's pages do: the linear and 2-D panels, the option handlers, fonts and colours,
// and the data source of the value.

#include "barcode/ui/Barcode_Gen.h"

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/twod/DataMatrixCode.h"
#include "barcode/ui/BarcodeDesignerLogic.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace BarcodeDesigner;

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
        // Newly bound to the sheet: its first column, not the row number.
        if (previous.type != 2)
            m_binding.column = titles.size() > 1 ? 1 : 0;
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
