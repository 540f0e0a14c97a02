#pragma once

// The print dialog: prints the design as labels, rows x columns of cards per sheet, on a printer or into a
// PDF file (always offered, and the only choice when the machine has no printer). A live sheet preview
// follows every change; Preview shows the real pages, Print prints them.

#include "data/BatchFillJob.h"
#include "output/LabelLayout.h"

#include <QDialog>
#include <QPageLayout>

#include <atomic>
#include <functional>
#include <optional>

class LabelPageSetup;
class OutputHost;
class Printing_View;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;
class Sample_Preview;
class SeriesBindingTable;

class Print_Wnd : public QDialog {
    Q_OBJECT
public:
    Print_Wnd(OutputHost& host, SeriesBindingTable& series, QWidget* parent = nullptr);
    ~Print_Wnd() override;

    // Title of the printer entry that writes a PDF file.
    static QString pdfEntryTitle();

    // Resets the dialog for the current design and runs it modally; 0 when it closes (it has no OK).
    int Open_Print_Wnd();
    // The opening steps without running the window.
    void resetForOpening();

    void Set_values_From_Printer();
    void Refresh_Preview();
    // The layout rule applied to the controls.
    void Check_Max_Cell_Value();
    // Starts a preview or a print job; false when nothing was started or the job failed.
    bool Execute_Printing(bool preview);
    // Recounts the data rows after a batch box changed.
    void Verify_Card_Count(QCheckBox* toggled);

    bool printsToPdf() const;
    const PrintLayout& currentLayout() const { return _layout; }
    int totalLabels() const;
    QPageLayout pageLayout() const { return _pageLayout; }
    void setPageLayout(const QPageLayout& layout);

    // The job's pages as the dialog stands (tests and the preview); null when there is no card.
    std::unique_ptr<Printing_View> makePrintingView();
    // Draws a job: work draws the sheets, counting them in `done`, and gives its result.
    using JobWork = std::function<bool(std::atomic<int>& done)>;
    using JobRunner = std::function<bool(int pages, const JobWork& work)>;
    // Prints into a PDF file atomically (the old file stays until the new one is complete). With a runner
    // the drawing goes through it and stops when Stop_SMS_Sending_Now is set; a stopped job writes nothing
    // and shows no message.
    static bool printToPdfFile(Printing_View& view, const QPageLayout& page, const QString& path,
                               const JobRunner& runner = nullptr);
    // Runs work on a worker thread under the progress sheet (shown when the work takes more than a moment,
    // with Stop); the dialog's buttons wait meanwhile. Gives the work's result.
    bool drawBehindProgress(int pages, const JobWork& work);

    // Replaceable for tests: the PDF file name (empty: cancelled), the preview window (true: print the job
    // from it) and the page setup window (its exec() result).
    std::function<QString()> choosePdfPath;
    std::function<bool(Printing_View& view, int pages, QPrinter& printer)> runPreview;
    std::function<int(LabelPageSetup& dialog)> runPageSetup;

    QComboBox* Printer_ComboBox;
    QLabel* printerNote;
    QComboBox* Orient_ComboBox;
    QLabel* Paper_id;
    QLabel* Size_id;
    QLabel* l_mar_id;
    QLabel* r_mar_id;
    QLabel* t_mar_id;
    QLabel* b_mar_id;
    QDoubleSpinBox* width_Text;
    QDoubleSpinBox* height_Text;
    QDoubleSpinBox* horz_mar_Text;
    QDoubleSpinBox* vert_mar_Text;
    QSpinBox* Row_Text;
    QSpinBox* Col_Text;
    QSpinBox* Total_Text;
    QSpinBox* Copies_Text;
    QButtonGroup* matrix_card_side; // ids 0 "BOTH", 1 "F", 2 "B"
    QComboBox* print_alignment;     // 0 front above back, 1 front left of back
    QCheckBox* Auto_Center_chk_bx;
    QCheckBox* Show_Margins;
    QGroupBox* align_Gp_Bx;
    QToolButton* alignButtons[9];
    QCheckBox* print_with_batch_chk;
    QCheckBox* print_with_excel_chk;
    Sample_Preview* PrintView;
    QPushButton* previewButton;
    QPushButton* printButton;
    QPushButton* pageSetupButton;
    QPushButton* closeButton;
    QLabel* statusNote; // where the last job went
    QScrollArea* controlsArea;

    void pagesetup();

    // Closing keeps the sheet, rows, columns, gaps, alignment and centring for the next opening in this
    // session; a new or opened design starts from the defaults again.
    void reject() override;
    void rememberSettings();
    void forgetSettings();

private:
    void buildUi();
    bool runJob(bool preview);
    bool printToPrinter(Printing_View& view);
    void applyLayoutRule(bool setTotal);
    void setStatus(const QString& text);
    void printerChanged();
    void orientationChanged();
    void sideChanged();
    void alignmentClicked(int code);
    void autoCenterChanged();
    void Set_Reset_Alignemnt_Image();
    QString card_side_str() const;

    struct Remembered {
        QString printer;
        QPageLayout page;
        QSizeF card;    // the card size the label size was typed for
        QSizeF labelMm; // width, height
        QSizeF gapsMm;  // column gap, row gap
        int rows = 1;
        int cols = 1;
        int align = 1;
        bool autoCenter = false;
    };
    void restoreSettings(const Remembered& r);

    OutputHost& _host;
    SeriesBindingTable& _series;
    std::optional<Remembered> _remembered;
    BatchFillJob::Design _design;
    QPageLayout _pageLayout;
    PrintLayout _layout;
    bool loading = false;
    bool _jobRunning = false;
};
