#include "common/ui/WaitSheet.h"

#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"

#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>
#include <exception>

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
