#include "output/mail/MailJob.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "barcode/BarcodeItemDrawing.h"
#include "data/BatchFillJob.h"
#include "output/ImageExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

namespace {
const QString kFailureText = QStringLiteral(
    "Could not send email message.\nPlease make sure that:\n1. Entered E-mail settings are correct.\n"
    "2. Internet connectivity to E-mail server is not interrupted and E-mail server is not down.\n"
    "3. Your Firewall or Security software (if any) is not blocking the software to communicate with your "
    "E-mail server.");
} // namespace

QString mailFinishedMessage(const MailRunResult& r) {
    const int notTried = r.notTried();
    const int skipped = r.skipped();
    QString text;
    if (!r.problem.isEmpty())
        text = r.problem;
    else if (r.refused + r.failed > 0)
        text = kFailureText;
    else if (r.stopped && notTried > 0)
        text = QStringLiteral("Sending was stopped.");
    else if (r.sent == 0 && skipped == 0)
        text = kFailureText; // nothing was attempted
    else if (skipped > 0)
        text = QStringLiteral("Not every card could be sent.");
    else if (!r.problems.isEmpty())
        text = QStringLiteral("Every e-mail has been sent, but not every card is as designed.");
    else
        text = QStringLiteral("E-mail has been sent successfully.");
    if (r.refused + r.failed > 0 && !r.reason.isEmpty())
        text += QStringLiteral("\n\nReason: ") + r.reason;
    text += QStringLiteral("\n\nSent: %1, refused: %2, failed: %3, not tried: %4, skipped: %5.")
                .arg(r.sent)
                .arg(r.refused)
                .arg(r.failed)
                .arg(notTried)
                .arg(skipped);
    if (notTried > 0) {
        if (r.stopped)
            text += QStringLiteral("\nNot tried because sending was stopped: %1.").arg(notTried);
        else if (r.rowsGoOn)
            text += QStringLiteral("\nNot tried because a refusal or failure ended their row's mails: %1.")
                        .arg(notTried);
        else
            text += QStringLiteral("\nNot tried because the run ended at a %1: %2.")
                        .arg(r.failed > 0 ? QStringLiteral("failure") : QStringLiteral("refusal"))
                        .arg(notTried);
    }
    if (r.rowsWithoutImage > 0)
        text += QStringLiteral("\nRows skipped because they had no card image: %1.").arg(r.rowsWithoutImage);
    if (r.rowsWithoutRecipient > 0)
        text +=
            QStringLiteral("\nRows skipped because they had no recipient: %1.").arg(r.rowsWithoutRecipient);
    if (r.recipientsWithoutRow > 0)
        text += QStringLiteral("\nRecipients without a data row: %1.").arg(r.recipientsWithoutRow);
    if (!r.unsent.isEmpty()) {
        text += QStringLiteral("\n\nNot sent:\n") + r.unsent.mid(0, RowProblems::Listed).join(QLatin1Char('\n'));
        if (r.unsent.size() > RowProblems::Listed)
            text += QStringLiteral("\n... and %1 more.").arg(r.unsent.size() - RowProblems::Listed);
    }
    if (!r.problems.isEmpty())
        text += QStringLiteral("\n\n") + r.problems.summary(r.rows);
    if (!r.notes.isEmpty())
        text += QStringLiteral("\n\n") + r.notes.join(QLatin1Char('\n'));
    return text;
}

QString mailFinishedDetails(const MailRunResult& r) {
    const QString problems = r.problems.details();
    if (r.unsent.size() <= RowProblems::Listed && problems.isEmpty())
        return {};
    QStringList lines = r.unsent;
    lines << (problems.isEmpty() ? r.problems.firstLines().join(QLatin1Char('\n')) : problems);
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

QString plainAttachmentPath(const QString& text) {
    return !text.isEmpty() && QFileInfo(text).isFile() ? text : text.trimmed();
}

QString plainAttachmentProblem(const QString& path) {
    const QString file = plainAttachmentPath(path);
    if (file.isEmpty() || QFileInfo(file).isFile())
        return {};
    return QStringLiteral("The file to attach does not exist:\n%1").arg(file);
}

MailJob::MailJob(MailRequest request, std::unique_ptr<BatchFillJob> renderer)
    : _request(std::move(request)), _renderer(std::move(renderer)),
      _sender([](const MailMessage& m) { return sendEmail_pyth(m, 120000, &Stop_SMS_Sending_Now); }) {
    // Rows only check their barcode values; the attachments draw the symbols at their own resolution.
    BarcodeItemDrawing::install();
    if (_renderer) {
        _renderer->setDrawBarcodesFromValues(true);
        _renderer->setOutputScale(150.0 / 72.0); // the attachments' resolution, below
    }
}

MailJob::~MailJob() = default;

bool MailJob::sendOne(int row, const QString& recipient, const QStringList& attachments, MailRunResult& result) {
    MailMessage message = _request.account;
    message.recipient = recipient;
    message.attachments = attachments;
    Show_NSLog_Message(QStringLiteral("Sending e-mail to %1").arg(recipient));
    const MailSendResult sent = _sender(message);
    if (sent.sent) {
        ++result.sent;
        return true;
    }
    if (sent.stopped || Stop_SMS_Sending_Now) {
        // Ended by Stop: not sent, but no fault of the server's.
        Show_NSLog_Message(QStringLiteral("Mail to %1 stopped before it was sent").arg(recipient));
        return false;
    }
    ++(sent.refused ? result.refused : result.failed);
    result.reason = sent.error;
    const QString line = QStringLiteral("%1 %2: %3").arg(recipient, sent.refused ? QStringLiteral("refused")
                                                                                  : QStringLiteral("failed"),
                                                      sent.error);
    result.unsent << (row >= 0 ? QStringLiteral("Row %1, to ").arg(row + 1) + line : QStringLiteral("To ") + line);
    Show_NSLog_Message(QStringLiteral("error in mail: %1").arg(sent.error));
    return false;
}

// Waits ms unless Stop is pressed, counting the pause text down once a second. False when stopped.
bool MailJob::pauseFor(qint64 ms) {
    QElapsedTimer clock;
    clock.start();
    qint64 shownSecond = -1;
    while (clock.elapsed() < ms) {
        if (Stop_SMS_Sending_Now)
            return false;
        const qint64 left = ms - clock.elapsed();
        const qint64 second = (left + 999) / 1000;
        if (second != shownSecond && _progress.pause) {
            shownSecond = second;
            _progress.pause(Calculate_Pause_Time(second * 1000));
        }
        QThread::msleep(quint32(qMin<qint64>(left, 100)));
    }
    return !Stop_SMS_Sending_Now;
}

MailRunResult MailJob::run() {
    Stop_SMS_Sending_Now = false;
    MailRunResult result;
    const MailRequest& req = _request;
    const bool batch = req.cardMode && req.batch && _renderer;
    const int rows = batch ? _renderer->Total_Batch_Excel_Card() : 0;
    const MailPlanResult plan =
        planMailPasses({req.cardMode, batch, req.allToEvery, rows, int(req.recipients.size())});
    for (const MailPass& pass : plan.passes)
        result.planned += pass.recipients.size();

    result.rowsWithoutRecipient = plan.rowsWithoutRecipient;
    result.recipientsWithoutRow = plan.recipientsWithoutRow;
    if (!req.cardMode) {
        result.problem = plainAttachmentProblem(req.plainAttachment);
        if (!result.problem.isEmpty())
            return result;
    }

    QTemporaryDir folder((_tempRoot.isEmpty() ? QDir::tempPath() : _tempRoot) +
                         QStringLiteral("/navu-mail-XXXXXX"));
    QString front, back;
    if (req.cardMode) {
        QString why;
        front = folder.isValid() ? safeFilePath(folder.path(), req.baseName, QStringLiteral(".png"), &why)
                                 : QString();
        back = front.isEmpty() ? QString() : Create_Back_Card_Path(front);
        if (front.isEmpty() || !_renderer) {
            result.problem = folder.isValid() ? QStringLiteral("Please enter valid file name.")
                                              : QStringLiteral("No temporary folder for the attachments.");
            return result;
        }
    }
    const bool wantBack = req.side != QLatin1String("F");
    const bool wantFront = req.side != QLatin1String("B");
    QStringList cardFiles;
    if (wantBack)
        cardFiles << back;
    if (wantFront)
        cardFiles << front;

    // Renders the row's sides (back first) into the attachment files.
    enum class Cards { Written, NoImage, WriteFailed };
    int rowsMade = 0;
    auto writeCards = [&](int row) {
        ++rowsMade;
        for (const bool isBack : {true, false}) {
            if (isBack ? !wantBack : !wantFront)
                continue;
            // Attachments at 150 dpi: sharp on screen and on paper, modest in size.
            const QImage image = _renderer->Set_data_table_value_to_card(
                row, isBack ? QStringLiteral("B") : QStringLiteral("F"), false, 150.0 / 72.0);
            if (image.isNull())
                return Cards::NoImage;
            if (!Save_gen_image(image, isBack ? back : front))
                return Cards::WriteFailed;
        }
        return Cards::Written;
    };

    if (_progress.start)
        _progress.start(plan.total);
    int sincePause = 0; // mails since the last pause
    for (int i = 0; i < plan.passes.size() && !Stop_SMS_Sending_Now; ++i) {
        const MailPass& pass = plan.passes[i];
        QStringList attachments;
        if (req.cardMode) {
            if (batch || i == 0) {
                const Cards cards = writeCards(batch ? pass.row : 0);
                if (cards == Cards::WriteFailed) {
                    // Already reported with its reason; the next rows would fail the same way.
                    result.problem = QStringLiteral("The card images could not be written.");
                    break;
                }
                if (cards == Cards::NoImage) {
                    if (!batch) {
                        result.problem = QStringLiteral("The card image could not be made.");
                        break;
                    }
                    Show_NSLog_Message(QStringLiteral("No card image for row %1; its mails are left out.")
                                           .arg(pass.row + 1));
                    ++result.rowsWithoutImage;
                    result.unsent << QStringLiteral("Row %1: no card image could be made; its mails were left out.")
                                         .arg(pass.row + 1);
                    result.mailsWithoutImage += pass.recipients.size();
                    result.planned -= pass.recipients.size();
                    if (_progress.step)
                        _progress.step(i + 1, plan.total);
                    continue;
                }
            }
            attachments = cardFiles;
        } else {
            const QString path = plainAttachmentPath(req.plainAttachment);
            if (!path.isEmpty())
                attachments << path;
        }

        bool leave = false;
        for (int r : pass.recipients) {
            if (Stop_SMS_Sending_Now)
                break;
            // The pause comes between mails, never after the last one.
            if (req.delayed && sincePause >= qMax(1, req.pauseEvery)) {
                sincePause = 0;
                const bool going = pauseFor(req.pauseMs);
                if (_progress.pause)
                    _progress.pause(QString());
                if (!going)
                    break;
            }
            ++sincePause;
            if (!sendOne(batch ? pass.row : -1, req.recipients.at(r), attachments, result)) {
                // Every-row-to-every-recipient goes on with the next row; the other modes stop.
                leave = !(batch && req.allToEvery) || Stop_SMS_Sending_Now;
                break;
            }
        }
        if (_progress.step)
            _progress.step(i + 1, plan.total);
        if (leave)
            break;
    }
    if (_progress.step && plan.passes.size() < plan.total && !Stop_SMS_Sending_Now &&
        result.refused + result.failed == 0)
        _progress.step(plan.total, plan.total);
    result.stopped = Stop_SMS_Sending_Now;
    result.rowsGoOn = batch && req.allToEvery;
    if (batch) {
        result.rows = rowsMade;
        result.problems = _renderer->rowProblems();
        result.notes = _renderer->fitNotes();
    }
    // The attachment folder goes with `folder`; the files are removed first so that nothing is left even
    // when the folder itself cannot be removed.
    if (req.cardMode) {
        Delete_File(front);
        Delete_File(back);
    }
    return result;
}
