#include "common/ui/GuiPrompt.h"

#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/UiHelpers.h"

#include <QApplication>
#include <QPushButton>
#include <exception>

namespace {

void prepare(QMessageBox& box, const QString& text)
{
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setTextFormat(Qt::PlainText); // paths and names may hold '<'
    box.setText(QStringLiteral("\n") + text);
    box.setWindowModality(Qt::ApplicationModal);
}

// Without a running GUI (no application, or one shutting down) nobody could answer: log instead.
bool canShow()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && !QCoreApplication::closingDown();
}

} // namespace

QMessageBox::StandardButton GuiPromptHandler::run(QMessageBox& box)
{
    if (boxRunner)
        return boxRunner(box);
    box.exec();
    return box.standardButton(box.clickedButton());
}

void GuiPromptHandler::message(const QString& text)
{
    if (!canShow()) {
        Show_NSLog_Message(text);
        return;
    }
    runOnGuiThreadAndWait([&] {
        try {
            QMessageBox box(mainWindow());
            prepare(box, text);
            box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            run(box);
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        } catch (...) {
            Show_NSLog_Message(QStringLiteral("The message could not be shown: %1").arg(text));
        }
    });
}

void GuiPromptHandler::messageWithDetails(const QString& text, const QString& details) {
    if (!canShow()) {
        Show_NSLog_Message(text);
        Show_NSLog_Message(details);
        return;
    }
    runOnGuiThreadAndWait([&] {
        bool showDetails = false;
        try {
            QMessageBox box(mainWindow());
            prepare(box, text);
            box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            QPushButton* more = box.addButton(QStringLiteral("Show Details..."), QMessageBox::ActionRole);
            box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            run(box);
            showDetails = box.clickedButton() == more;
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        } catch (...) {
            Show_NSLog_Message(QStringLiteral("The message could not be shown: %1").arg(text));
        }
        if (showDetails)
            showMessageDetails(text, details);
    });
}

bool GuiPromptHandler::yesNo(const QString& question)
{
    if (!canShow()) {
        Show_NSLog_Message(question);
        return false;
    }
    bool yes = false;
    runOnGuiThreadAndWait([&] {
        try {
            QMessageBox box(mainWindow());
            prepare(box, question);
            box.addButton(QMessageBox::Yes)->setText(QStringLiteral("Yes"));
            box.addButton(QMessageBox::No)->setText(QStringLiteral("No"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            yes = run(box) == QMessageBox::Yes;
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        } catch (...) {
            Show_NSLog_Message(QStringLiteral("The question could not be shown: %1").arg(question));
        }
    });
    return yes;
}

PromptAnswer GuiPromptHandler::yesNoCancel(const QString& question)
{
    if (!canShow()) {
        Show_NSLog_Message(question);
        return PromptAnswer::Cancel;
    }
    PromptAnswer answer = PromptAnswer::Cancel;
    runOnGuiThreadAndWait([&] {
        try {
            QMessageBox box(mainWindow());
            prepare(box, question);
            box.addButton(QMessageBox::Yes)->setText(QStringLiteral("Yes"));
            box.addButton(QMessageBox::No)->setText(QStringLiteral("No"));
            box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            const QMessageBox::StandardButton b = run(box);
            answer = b == QMessageBox::Yes ? PromptAnswer::Yes
                     : b == QMessageBox::No ? PromptAnswer::No
                                            : PromptAnswer::Cancel;
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        } catch (...) {
            Show_NSLog_Message(QStringLiteral("The question could not be shown: %1").arg(question));
        }
    });
    return answer;
}

void installGuiPrompt(QWidget* window)
{
    static GuiPromptHandler handler;
    setMainWindow(window);
    setPromptHandler(&handler);
}

void showMessageDetails(const QString& text, const QString& details) {
    runOnGuiThreadAndWait([&] {
        Long_SMS_Dlg* dlg = Long_SMS_Dlg::defaultInstance();
        // Room for a long list; the dialog's other callers keep their size.
        const QSize before = dlg->size();
        dlg->resize(before.expandedTo(QSize(640, 420)));
        dlg->showExplanation(text.trimmed().section(QLatin1Char('\n'), 0, 0), details);
        dlg->resize(before);
    });
}
