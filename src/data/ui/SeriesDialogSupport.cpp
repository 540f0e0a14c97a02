#include "data/ui/SeriesDialogSupport.h"

#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/UiHelpers.h"
#include "common/ui/WaitSheet.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace SeriesDialogs {

namespace {
DialogRunner& runnerSlot() {
    static DialogRunner runner;
    return runner;
}
InUseTest& inUseSlot() {
    static InUseTest test;
    return test;
}
ExportFinished& exportSlot() {
    static ExportFinished handler;
    return handler;
}
LongMessage& longMessageSlot() {
    static LongMessage handler;
    return handler;
}
std::function<void()>& changedSlot() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

void setDialogRunner(DialogRunner runner) {
    runnerSlot() = std::move(runner);
}

int runModal(QDialog* dialog) {
    if (!dialog)
        return 0;
    if (runnerSlot())
        return runnerSlot()(dialog);
    return dialog->exec();
}

void setInUseTest(InUseTest test) {
    inUseSlot() = std::move(test);
}
bool seriesInUse(const QString& name) {
    return inUseSlot() ? inUseSlot()(name) : false;
}

void setExportFinishedHandler(ExportFinished handler) {
    exportSlot() = std::move(handler);
}

void exportFinished(const QString& path, const QString& message, bool written) {
    if (exportSlot())
        exportSlot()(path, message, written);
    else
        Show_MessageBox(message + u'\n' + path);
}

void setLongMessage(LongMessage handler) {
    longMessageSlot() = std::move(handler);
}

int longMessage(const QString& title, const QString& text, bool showApplyAll) {
    if (longMessageSlot())
        return longMessageSlot()(title, text, showApplyAll);
    return Long_SMS_Dlg::defaultInstance()->Open_Long_sms_Dialog(title, text, showApplyAll);
}

void setSeriesChangedHandler(std::function<void()> handler) {
    changedSlot() = std::move(handler);
}

void seriesChanged() {
    if (changedSlot())
        changedSlot()();
}

void runWithWait(QWidget* window, const std::function<void()>& work) {
    const auto guarded = [&work] {
        try {
            work();
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        }
    };
    if (!QCoreApplication::instance() || !isGuiThread()) {
        guarded();
        return;
    }
    const LongJobGuard guard;
    Show_Create_Modeless(window);
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create(guarded));
    // Queued, so a worker that ends before the loop starts still ends it.
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    Hide_Destroy_Modeless(window);
}

void runStoppable(QWidget* window, const std::function<void(const std::atomic<bool>& stop)>& work,
                  const std::atomic<int>* progress) {
    ::runStoppable(window, work, progress);
}

SeriesImport::SheetRead readSheetWithWait(QWidget* window, const QString& path, int sheetIndex) {
    SeriesImport::SheetRead read;
    SeriesDialogs::runStoppable(window, [&](const std::atomic<bool>& stop) {
        read = SeriesImport::readWorkbookSheet(path, sheetIndex, &stop);
    });
    if (!read.error.isEmpty())
        Show_NSLog_Message(read.error);
    return read;
}

QString sheetReadMessage(const SeriesImport::SheetRead& read) {
    if (read.stopped)
        return {};
    if (!read.sheet)
        return read.error;
    return read.sheet->warnings.join(u'\n');
}

} // namespace SeriesDialogs
