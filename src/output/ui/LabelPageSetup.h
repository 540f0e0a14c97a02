#pragma once

// Page Setup of the print dialog: the paper and its orientation, from the sizes the printer offers (any
// standard size, or a custom one, for a PDF file). The printer's unprintable margins for the chosen paper
// are shown; they are the printer's, so they are not typed here.

#include <QDialog>
#include <QPageLayout>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;

class LabelPageSetup : public QDialog {
    Q_OBJECT
public:
    // printer: a queue name; empty for a PDF file.
    LabelPageSetup(const QString& printer, const QPageLayout& current, QWidget* parent = nullptr);

    // The chosen paper and orientation, without margins.
    QPageLayout pageLayout() const;

    // A printer's unprintable margins in points for a paper and orientation; none for a PDF file (empty
    // name) or an unknown printer.
    static QMarginsF printerMargins(const QString& printer, const QPageLayout& page);

    QComboBox* paperCombo;
    QDoubleSpinBox* customWidth;
    QDoubleSpinBox* customHeight;
    QRadioButton* portrait;
    QRadioButton* landscape;
    QLabel* marginsLabel;

private:
    QPageSize chosenSize() const;
    void updateFields();

    QString _printer;
    QList<QPageSize> _sizes;
};
