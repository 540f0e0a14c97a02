#include "output/ui/ExportWindow.h"

#include "common/ui/UiHelpers.h"
#include "output/ImageExport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ExportWindow::ExportWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Export Image"));
    applyDialogBackground(this);

    auto* sideBox = new QGroupBox(tr("Card side"), this);
    matrix_export_card_side = new QButtonGroup(this);
    auto* sv = new QVBoxLayout(sideBox);
    const char* titles[] = {"Both sides", "Front", "Back"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(tr(titles[i]), sideBox);
        matrix_export_card_side->addButton(r, i);
        sv->addWidget(r);
    }
    export_combined_image_chk = new QCheckBox(tr("Front and back in one picture"), sideBox);
    export_combined_image_chk->setContentsMargins(20, 0, 0, 0);
    sv->addWidget(export_combined_image_chk);

    auto* typeBox = new QGroupBox(tr("File"), this);
    fileFormatPopup = new QComboBox(typeBox);
    fileFormatPopup->addItems(fileTypes());
    saveDPIText = new QComboBox(typeBox);
    for (int dpi : exportResolutions())
        saveDPIText->addItem(tr("%1 dpi").arg(dpi), dpi);
    auto* tf = new QFormLayout(typeBox);
    tf->addRow(tr("Type:"), fileFormatPopup);
    tf->addRow(tr("Resolution:"), saveDPIText);

    auto* dataBox = new QGroupBox(tr("Data"), this);
    Export_with_batch_chk = new QCheckBox(tr("One card per row of the series"), dataBox);
    Export_with_excel_chk = new QCheckBox(tr("One card per row of the data table"), dataBox);
    auto* dv = new QVBoxLayout(dataBox);
    dv->addWidget(Export_with_batch_chk);
    dv->addWidget(Export_with_excel_chk);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportWindow::exportOkay);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportWindow::exportCancel);
    connect(matrix_export_card_side, &QButtonGroup::idClicked, this,
            &ExportWindow::export_card_side_CellClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sideBox);
    layout->addWidget(typeBox);
    layout->addWidget(dataBox);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

QStringList ExportWindow::fileTypes() {
    return {QStringLiteral("PNG"), QStringLiteral("JPEG"), QStringLiteral("TIFF"), QStringLiteral("BMP"),
            QStringLiteral("GIF")};
}

void ExportWindow::reset(bool seriesInUse, bool tableInUse) {
    fileFormatPopup->setCurrentIndex(0);
    saveDPIText->setCurrentIndex(0);
    saveDPIText->setEnabled(true);
    export_combined_image_chk->setChecked(false);
    matrix_export_card_side->button(1)->setChecked(true);
    export_card_side_CellClick(1);
    Export_with_batch_chk->setEnabled(seriesInUse);
    Export_with_batch_chk->setChecked(seriesInUse);
    Export_with_excel_chk->setEnabled(tableInUse);
    Export_with_excel_chk->setChecked(tableInUse);
}

QString ExportWindow::export_card_side() const {
    switch (matrix_export_card_side->checkedId()) {
    case 0:
        return QStringLiteral("BOTH");
    case 1:
        return QStringLiteral("F");
    default:
        return QStringLiteral("B");
    }
}

QString ExportWindow::fileType() const {
    return fileFormatPopup->currentText();
}
int ExportWindow::dpi() const {
    const int dpi = saveDPIText->currentData().toInt();
    return dpi > 0 ? dpi : kDefaultExportDpi;
}
bool ExportWindow::combined() const {
    return export_combined_image_chk->isChecked() && export_card_side() == "BOTH";
}
bool ExportWindow::useSeries() const {
    return Export_with_batch_chk->isChecked();
}
bool ExportWindow::useTable() const {
    return Export_with_excel_chk->isChecked();
}

void ExportWindow::exportOkay() {
    hide();
    done(1);
}

void ExportWindow::exportCancel() {
    hide();
    done(0);
}

void ExportWindow::export_card_side_CellClick(int row) {
    // The tick stays; it only counts while both sides are chosen.
    export_combined_image_chk->setEnabled(row == 0);
}
