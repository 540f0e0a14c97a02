#include "output/ui/OutputCommands.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchState.h"
#include "output/ImageFileWriter.h"
#include "output/ui/ExportWindow.h"
#include "output/ui/OutputHost.h"
#include "output/ui/Print_Wnd.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

OutputCommands::OutputCommands(OutputHost& host, QObject* parent) : QObject(parent), _host(host) {
    runExportWindow = [](ExportWindow& w) { return w.exec(); };
    chooseSaveFile = [this](const QString& type) {
        QFileDialog dialog(_host.window(), tr("Export Image"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Replacing files is asked for all files an export writes, not only the one named here.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        const QString extension = ImageFileWriter::fileExtension(type);
        dialog.setNameFilter(QStringLiteral("%1 (*.%2 *.%3 *.%4)").arg(type, extension, type.toLower(), type));
        dialog.setDefaultSuffix(extension);
        dialog.setDirectory(dialogStartPath());
        dialog.selectFile(QStringLiteral("Card.%1").arg(extension));
        return rememberDialogPath(dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                                      ? dialog.selectedFiles().first()
                                      : QString());
    };
    chooseFolder = [this] {
        const QString caption = tr("Choose a Folder for the Cards");
        return rememberDialogPath(
            QFileDialog::getExistingDirectory(_host.window(), caption, dialogStartPath()), true);
    };
}

OutputCommands::~OutputCommands() {
    // The worker may be waiting for a message box on this thread: serve the events while it winds down
    // (but show no finish window).
    _closing = true;
    if (!_thread)
        return;
    while (!_thread->wait(20)) {
        Stop_SMS_Sending_Now = true;
        QCoreApplication::processEvents();
    }
    delete _thread;
    _thread = nullptr;
    Hide_One_By_One_Modeless();
}

void OutputCommands::designReplaced() {
    if (_printWnd)
        _printWnd->forgetSettings();
}

Print_Wnd* OutputCommands::printWindow() {
    if (!_printWnd)
        _printWnd = new Print_Wnd(_host, _series, _host.window());
    return _printWnd;
}

ExportWindow* OutputCommands::exportWindow() {
    if (!_exportWnd)
        _exportWnd = new ExportWindow(_host.window());
    return _exportWnd;
}

void OutputCommands::Print_Button() {
    if (batchRunning() || LongJobGuard::active()) {
        Show_MessageBox(LongJobGuard::busyMessage());
        return;
    }
    // From a shortcut no field was left: what is typed in one is printed too.
    landTypedEdit();
    const BatchFillJob::Design d = _host.design();
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, d.twoSided, _host.dataTable(), _series);
    if ((Use_Data_Sheet_Values || Use_Excel_Binding_Values) && Total_Batch_Excel_Card == 0) {
        Show_MessageBox(QStringLiteral("List is empty."));
        return;
    }
    Print_method();
}

void OutputCommands::Print_method() {
    // Without a printer the dialog says "No printer found." and prints into a PDF file instead.
    try {
        printWindow()->Open_Print_Wnd();
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void OutputCommands::Export_Button() {
    if (batchRunning() || LongJobGuard::active()) {
        Show_MessageBox(LongJobGuard::busyMessage());
        return;
    }
    landTypedEdit();
    const BatchFillJob::Design d = _host.design();
    ExportWindow* w = exportWindow();
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, d.twoSided, _host.dataTable(), _series);
    w->reset(Use_Data_Sheet_Values, Use_Excel_Binding_Values);
    if (runExportWindow(*w) != 1)
        return;
    if (!w->useSeries())
        Use_Data_Sheet_Values = false;
    if (!w->useTable())
        Use_Excel_Binding_Values = false;
    Get_total_Card_count(_series, _host.dataTable());

    const QString side = w->export_card_side();
    const QString type = w->fileType();
    if (!Use_Data_Sheet_Values && !Use_Excel_Binding_Values) {
        QString path = chooseSaveFile(type);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + ImageFileWriter::fileExtension(type);
        exportSingle(path, side, w->combined(), w->dpi(), type);
    } else {
        const QString folder = chooseFolder();
        if (!folder.isEmpty())
            startBatchExport(folder, side, w->combined(), type, w->dpi());
    }
}

ExportResult OutputCommands::exportSingle(const QString& path, const QString& side, bool combined, int dpi,
                                          const QString& type) {
    const QString question = overwriteQuestion(singleExportFiles(path, side, combined));
    if (!question.isEmpty() && !Show_YES_NO_MessageBox(question))
        return ExportResult();
    ExportResult result;
    try {
        result = Export_Single_File(_host.design(), path, side, combined, dpi, type);
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return result;
    }
    _host.showExportFinished(result.path, result.message(), !result.written.isEmpty(), result.details());
    return result;
}

bool OutputCommands::startBatchExport(const QString& chosenFolder, const QString& side, bool combined,
                                      const QString& type, int dpi) {
    if (batchRunning() || LongJobGuard::active()) {
        Show_MessageBox(LongJobGuard::busyMessage());
        return false;
    }
    auto job =
        std::make_shared<ExportBatchJob>(BatchFillJob::create(_host.design(), _series, _host.dataTable()),
                                         chosenFolder, side, combined, type, dpi);
    if (job->total() <= 0) {
        Show_MessageBox(QStringLiteral("List is empty."));
        return false;
    }
    // Asked once: a first card that fails usually means every card does.
    if (const QString first = firstRowQuestion(job->fill(), side);
        !first.isEmpty() && !Show_YES_NO_MessageBox(first))
        return false;
    const QString question = overwriteQuestion(job->existingFiles());
    if (!question.isEmpty() && !Show_YES_NO_MessageBox(question))
        return false;

    _job = job;
    _result = std::make_shared<ExportResult>();
    _done = std::make_shared<std::atomic<int>>(0);
    const int total = job->total();
    Send_Modeless* sheet = Send_Modeless::defaultInstance();
    sheet->resetProgress(total, QStringLiteral("%1 / %2 Frame").arg(0).arg(total));
    _busy = std::make_unique<LongJobGuard>();
    Show_One_By_One_Modeless(_host.window());

    _progressTimer = new QTimer(this);
    _progressTimer->setInterval(500);
    connect(_progressTimer, &QTimer::timeout, this, &OutputCommands::updateProgress);
    _progressTimer->start();

    auto result = _result;
    auto done = _done;
    // The worker sees only its snapshot; progress goes through an atomic the GUI polls.
    _thread = QThread::create([job, result, done] {
        try {
            *result = job->run(Stop_SMS_Sending_Now, [done](int n) { done->store(n); });
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
            result->path = job->folder();
            result->total = job->total();
            result->cards = done->load();
            result->stopped = true;
        }
    });
    connect(_thread, &QThread::finished, this, &OutputCommands::batchEnded, Qt::QueuedConnection);
    _thread->start();
    return true;
}

void OutputCommands::updateProgress() {
    if (!_done || !_job)
        return;
    const int n = _done->load();
    Send_Modeless::defaultInstance()->setProgressValue(n,
                                                       QStringLiteral("%1 / %2 ").arg(n).arg(_job->total()));
}

void OutputCommands::batchEnded() {
    if (!_thread || _closing)
        return;
    _thread->wait();
    delete _thread;
    _thread = nullptr;
    delete _progressTimer;
    _progressTimer = nullptr;
    updateProgress();
    Hide_One_By_One_Modeless();
    _busy.reset();
    std::shared_ptr<ExportBatchJob> job = std::move(_job);
    const ExportResult result = *_result;
    _host.restoreFirstRow(job->fill());
    // A folder that could not be made has been reported already.
    if (!result.folderFailed)
        _host.showExportFinished(result.path, result.message(), !result.written.isEmpty(), result.details());
    emit batchFinished(result);
}
