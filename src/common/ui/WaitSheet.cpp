#include "common/ui/WaitSheet.h"

#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/UiHelpers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <memory>

namespace {

// One sheet per window; QPointer notices a sheet destroyed with its window.
QHash<QWidget*, QPointer<WaitSheet>>& sheets()
{
    static QHash<QWidget*, QPointer<WaitSheet>> map;
    return map;
}

QWidget* windowOrMain(QWidget* window) { return window ? window : mainWindow(); }

} // namespace

WaitSheet::WaitSheet(QWidget* window)
    : QDialog(window, Qt::Sheet)
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Please wait"));
    applyDialogBackground(this);
    auto* layout = new QVBoxLayout(this);
    label = new QLabel(QStringLiteral("It may take a while, Please wait.."), this);
    label->setAlignment(Qt::AlignCenter);
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0); // busy indicator
    busy->setTextVisible(false);
    layout->addWidget(label);
    layout->addWidget(busy);
    setMinimumWidth(300);
}

QString WaitSheet::text() const { return label->text(); }

void Show_Create_Modeless(QWidget* window)
{
    runOnGuiThreadAndWait([window] {
        try {
            QWidget* over = windowOrMain(window);
            QPointer<WaitSheet>& sheet = sheets()[over];
            if (!sheet)
                sheet = new WaitSheet(over);
            sheet->show();
            sheet->raise();
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        }
    });
}

void Hide_Destroy_Modeless(QWidget* window)
{
    runOnGuiThreadAndWait([window] {
        try {
            QWidget* over = windowOrMain(window);
            QPointer<WaitSheet> sheet = sheets().take(over);
            if (sheet) {
                sheet->hide();
                sheet->deleteLater();
            }
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        }
    });
}

WaitSheet* waitSheetOf(QWidget* window)
{
    const QPointer<WaitSheet> sheet = sheets().value(windowOrMain(window));
    return sheet.data();
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
    // Before the sheet: the sheet itself takes input, the windows under it take none.
    const LongJobGuard guard;
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
