#pragma once

// The editor window's Print and Export commands: they count the data in use, run the print dialog or the
// export window, and export singly on the GUI thread or as a batch on a worker thread with the progress
// sheet and its Stop button. The export-finished window always gets the true result.

#include "data/DataBinding.h"
#include "output/ImageExport.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class LongJobGuard;
class ExportWindow;
class OutputHost;
class Print_Wnd;
class QThread;
class QTimer;

class OutputCommands : public QObject {
    Q_OBJECT
public:
    explicit OutputCommands(OutputHost& host, QObject* parent = nullptr);
    ~OutputCommands() override;

    // Counts the data in use; "List is empty." when bound data has no rows, else the print dialog.
    void Print_Button();
    void Print_method();
    // The export window, then a single export to a chosen file or a batch into a chosen folder.
    void Export_Button();

    // A single export of the design to path; asks before replacing existing files. Shows the result.
    ExportResult exportSingle(const QString& path, const QString& side, bool combined,
                              int dpi = kDefaultExportDpi, const QString& type = QString());
    // Starts a batch for the rows in use (Use_Data_Sheet_Values / Use_Excel_Binding_Values) into the folder
    // "NAVU Photo Frame" of chosenFolder; asks before replacing existing files. False when not started.
    bool startBatchExport(const QString& chosenFolder, const QString& side, bool combined,
                          const QString& type, int dpi = kDefaultExportDpi);
    bool batchRunning() const { return _thread != nullptr; }

    // A new or opened design: the print dialog starts from its defaults again.
    void designReplaced();

    Print_Wnd* printWindow();
    ExportWindow* exportWindow();
    SeriesBindingTable& series() { return _series; }

    // Replaceable for tests: the export window's modal run, the save panel (given the file type) and the
    // folder panel; an empty path means cancelled.
    std::function<int(ExportWindow& window)> runExportWindow;
    std::function<QString(const QString& type)> chooseSaveFile;
    std::function<QString()> chooseFolder;

signals:
    // A batch has ended and its result was shown.
    void batchFinished(const ExportResult& result);

private:
    void batchEnded();
    void updateProgress();

    OutputHost& _host;
    SeriesBindingTable _series;
    QPointer<Print_Wnd> _printWnd;
    QPointer<ExportWindow> _exportWnd;

    // The running batch.
    QThread* _thread = nullptr;
    std::unique_ptr<LongJobGuard> _busy; // while the run goes on, the windows under its sheet take no input
    QTimer* _progressTimer = nullptr;
    std::shared_ptr<ExportBatchJob> _job;
    std::shared_ptr<ExportResult> _result;
    std::shared_ptr<std::atomic<int>> _done;
    bool _closing = false;
};
