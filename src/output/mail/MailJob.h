#pragma once

// One run of e-mail sending, on a worker thread. Card images come from a BatchFillJob snapshot (never the
// live design); attachments are written to a private temporary folder that is removed when the run ends.
// Stop_SMS_Sending_Now is polled between mails and during pauses.

#include "data/RowProblems.h"
#include "output/mail/MailPlan.h"
#include "output/mail/MailScript.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class BatchFillJob;

struct MailRequest {
    MailMessage account;    // sender, password, server, port, ssl, subject and body; no recipient
    QStringList recipients; // kept recipients, lower case
    bool cardMode = true;
    QString side = QStringLiteral("F"); // "BOTH", "F" or "B"
    QString baseName = QStringLiteral("NAVUFrame");
    bool batch = false;
    bool allToEvery = true;
    QString plainAttachment; // plain mode: the one file; a path that names no file stops the run
    bool delayed = false;
    int pauseEvery = 1; // mails between pauses
    qint64 pauseMs = 0; // length of a pause
};

struct MailRunResult {
    int planned = 0; // mails the run would send without failures or Stop (mails skipped not counted)
    int sent = 0;
    int refused = 0; // mails the server refused
    int failed = 0;  // mails not sent for another reason: no script, no connection, ... (not those ended by Stop)
    bool stopped = false;
    bool rowsGoOn = false;        // every row to every recipient: a refusal or failure ends only its row's mails
    QString problem;              // a run that could not start or go on (no temporary folder, no card image)
    QString reason;               // why the last mail not sent was not sent, with the server's reply
    int rowsWithoutImage = 0;     // data rows skipped because no card image could be made
    int mailsWithoutImage = 0;    // the mails of those rows
    int rowsWithoutRecipient = 0; // row i to recipient i: rows past the last recipient
    int recipientsWithoutRow = 0; // row i to recipient i: recipients past the last row
    int rows = 0;                 // data rows whose cards were made (0 without data)
    RowProblems problems;         // what went wrong in the rows that were filled
    QStringList unsent;           // each mail refused or failed, and each row left out, with its reason
    QStringList notes;            // 2-D barcodes that cannot keep whole-pixel modules in their frames, a side each

    // Mails never attempted: after a refusal or failure that ends the run (or its row), or after Stop (a
    // mail Stop cut off included).
    int notTried() const { return qMax(0, planned - sent - refused - failed); }
    // Mails that could not be made: rows without a recipient, recipients without a row, rows without a card.
    int skipped() const { return rowsWithoutRecipient + recipientsWithoutRow + mailsWithoutImage; }
};

// The message shown when sending ends: a first line that says everything was sent only when it was, the
// reason the last unsent mail gave (the server's reply for a refusal), then what happened to the mails
// (sent, refused, failed, not tried, skipped) and the rows whose cards had a problem.
QString mailFinishedMessage(const MailRunResult& result);
// The message's details: every mail not sent and every row with a problem, when the message cannot name
// them all; else empty.
QString mailFinishedDetails(const MailRunResult& result);

// The file a plain-mode attachment text names: the text as it stands when that is a file (its name may end
// in a blank or a line break), else the text without the blanks around it.
QString plainAttachmentPath(const QString& text);
// The problem of a plain-mode attachment path, or empty: a typed path must name an existing file.
QString plainAttachmentProblem(const QString& path);

class MailJob {
public:
    struct Progress {
        std::function<void(int total)> start;
        std::function<void(int current, int total)> step;
        std::function<void(const QString& text)> pause; // empty text: the pause is over
    };

    // renderer may be null in plain mode.
    MailJob(MailRequest request, std::unique_ptr<BatchFillJob> renderer);
    ~MailJob();

    void setSender(MailSender sender) { _sender = std::move(sender); }
    void setProgress(Progress progress) { _progress = std::move(progress); }
    // Folder in which the private attachment folder is made (the system's temporary folder by default).
    void setTempRoot(const QString& folder) { _tempRoot = folder; }

    MailRunResult run();
    BatchFillJob* renderer() const { return _renderer.get(); }

private:
    bool sendOne(int row, const QString& recipient, const QStringList& attachments, MailRunResult& result);
    bool pauseFor(qint64 ms);

    MailRequest _request;
    std::unique_ptr<BatchFillJob> _renderer;
    MailSender _sender;
    Progress _progress;
    QString _tempRoot;
};
