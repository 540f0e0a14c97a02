#include "data/ui/SeriesDialogSupport.h"

#include "common/Prompt.h"
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
    std::atomic<bool> stop{false};
    const auto guarded = [&work, &stop] {
        try {
            work(stop);
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        }
    };
    if (!QCoreApplication::instance() || !isGuiThread()) {
        guarded();
        return;
    }
    QWidget* over = window ? window : mainWindow();
    QDialog sheet(over, Qt::Sheet);
    sheet.setObjectName(QStringLiteral("StopWaitSheet"));
    sheet.setWindowModality(over ? Qt::WindowModal : Qt::ApplicationModal);
    sheet.setWindowTitle(QStringLiteral("Please wait"));
    applyDialogBackground(&sheet);
    auto* layout = new QVBoxLayout(&sheet);
    auto* label = new QLabel(QStringLiteral("It may take a while, Please wait.."), &sheet);
    label->setAlignment(Qt::AlignCenter);
    auto* busy = new QProgressBar(&sheet);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    auto* stopButton = new QPushButton(QStringLiteral("Stop"), &sheet);
    stopButton->setObjectName(QStringLiteral("Stop"));
    QObject::connect(stopButton, &QPushButton::clicked, &sheet, [&stop, stopButton] {
        stop = true;
        stopButton->setEnabled(false);
    });
    // Escape stops too, instead of only closing the sheet.
    QObject::connect(&sheet, &QDialog::rejected, &sheet, [&stop] { stop = true; });
    layout->addWidget(label);
    layout->addWidget(busy);
    layout->addWidget(stopButton, 0, Qt::AlignRight);
    sheet.setMinimumWidth(300);

    QTimer percent;
    if (progress) {
        QObject::connect(&percent, &QTimer::timeout, busy, [busy, progress] {
            const int p = progress->load();
            if (p <= 0)
                return;
            busy->setRange(0, 100);
            busy->setValue(qMin(p, 100));
        });
        percent.start(100);
    }

    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create(guarded));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    // Short reads end before the sheet would only flicker.
    QTimer::singleShot(150, &sheet, [&sheet, &thread] {
        if (thread->isRunning())
            sheet.show();
    });
    loop.exec();
    thread->wait();
    sheet.hide();
}

SeriesImport::SheetRead readSheetWithWait(QWidget* window, const QString& path, int sheetIndex) {
    SeriesImport::SheetRead read;
    runStoppable(window, [&](const std::atomic<bool>& stop) {
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
