#pragma once

// The preview window of a label job: the sheets as they will print (at most the preview's limit), with
// zoom and sheet navigation. Its Print button hands the job back to the print dialog, which prints every
// sheet as its own Print button does.

#include <QDialog>

#include <functional>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;

class LabelPreview : public QDialog {
    Q_OBJECT
public:
    // paint draws the previewed sheets on the printer it is given.
    LabelPreview(QPrinter& printer, std::function<void(QPrinter&)> paint, QWidget* parent = nullptr);

    // Result codes of exec().
    enum { Closed = 0, PrintRequested = 1 };

    QPrintPreviewWidget* view;
    QPushButton* printButton;

private:
    void updatePageLabel();
    QLabel* _pageLabel;
};
