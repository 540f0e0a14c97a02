#pragma once

// Pure rules of a mail run: which recipients are kept, which data row goes to whom, and the pause text.

#include <QList>
#include <QString>
#include <QStringList>

// The recipient text split at "," and lower-cased; pieces that fail the address test are dropped.
// Pieces keep their inner text as written (each is trimmed).
QStringList keptRecipients(const QString& recipientText);

// The message that refuses the recipient text, or empty: "Please specify the Recipient E-mail address." for
// an empty text; "Recipient E-mail address is invalid or incomplete." when a piece between commas fails the
// address test (a typo never silently drops a recipient) or no address is left. Empty pieces are ignored.
QString recipientProblem(const QString& recipientText);

struct MailPlanInput {
    bool cardMode = true;   // card images attached (else plain mode)
    bool batch = false;     // card mode with data rows
    bool allToEvery = true; // with data: every row's card to every recipient (else row i to recipient i)
    int rows = 0;           // data rows of the run
    int recipients = 0;     // kept recipients
};

struct MailPass {
    int row = -1;          // data row rendered for this pass; -1 without data
    QList<int> recipients; // indices into the kept recipients, in sending order
};

struct MailPlanResult {
    int total = 0; // what the progress counts: rows for every-row-to-every-recipient, else recipients
    QList<MailPass> passes;
    int rowsWithoutRecipient = 0; // row i to recipient i: rows past the last recipient
    int recipientsWithoutRow = 0; // row i to recipient i: recipients past the last row
};

MailPlanResult planMailPasses(const MailPlanInput& in);

// "Pausing the process for ..." for a pause of ms milliseconds.
QString Calculate_Pause_Time(qint64 ms);

