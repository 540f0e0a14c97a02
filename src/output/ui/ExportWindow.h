#pragma once

// The export window: which side(s) to export, the file type, whether both sides go into one combined
// picture, and whether bound series or table data make one card per row.

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;

class ExportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ExportWindow(QWidget* parent = nullptr);

    // The file types offered; each is the extension of the files written and their format.
    static QStringList fileTypes();

    // Side "F" front, row 1 selected; first file type; first resolution (300 dpi), enabled; combined box
    // unticked and disabled; the batch boxes enabled and ticked exactly when their source is in use.
    void reset(bool seriesInUse, bool tableInUse);

    QString export_card_side() const;
    QString fileType() const;
    // Dots per inch chosen in saveDPIText.
    int dpi() const;
    bool combined() const;
    bool useSeries() const;
    bool useTable() const;

    void exportOkay();
    void exportCancel();
    void export_card_side_CellClick(int row);

    QButtonGroup* matrix_export_card_side; // ids 0 both sides, 1 front, 2 back
    QComboBox* fileFormatPopup;
    QComboBox* saveDPIText; // resolution of the pictures, for every file type
    QCheckBox* export_combined_image_chk;
    QCheckBox* Export_with_batch_chk;
    QCheckBox* Export_with_excel_chk;
};
