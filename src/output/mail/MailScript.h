#pragma once

// One mail through our mail script "pyth_mail.py", run by python3 in isolated mode (-I) as a child process.
// The password and every text of the mail go to the child's standard input, never onto its command line,
// where any user of the machine could read them; the child's environment holds only an empty PYTHONPATH and
// a fixed PATH.

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

struct MailMessage {
    QString sender;
    QString password;
    QString server;
    QString port;
    QString ssl; // "Y": implicit TLS; anything else: STARTTLS, and nothing is sent without it
    QString recipient;
    QString subject;
    QString body;
    QStringList attachments; // paths, in order
};

struct MailSendResult {
    bool sent = false;
    QString error;        // why the mail was not sent, in the script's own words (one line)
    bool stopped = false; // ended by Stop while it was being sent
    bool refused = false; // the server itself refused the mail (error holds its reply)
};

// How mails are sent; tests replace it.
using MailSender = std::function<MailSendResult(const MailMessage&)>;

// The script: NAVU_MAIL_SCRIPT when set; else the copy installed with the program
// ("../share/navu-photo-frame/resources" beside the executable); else, for a program run from its build tree,
// that tree's copy. Nothing is searched for above the program. Empty when none exists, or when the script or
// a folder above it could be changed by another user (the reason then in *problem).
QString mailScriptPath(QString* problem = nullptr);
// python3 on "/bin:/usr/bin:/usr/local/bin", else on the user's PATH. Empty when there is none.
QString pythonInterpreter();

// Why a text of a one-line field cannot go into a mail (a line break or a NUL character), naming the field
// as given ("The subject holds a line break."); empty when it can.
QString singleLineTextProblem(const QString& field, const QString& text);
// The same for the message body, where line breaks belong: only a NUL character is refused.
QString bodyTextProblem(const QString& text);
// The first such problem of a whole mail; empty when it can be sent.
QString mailTextProblem(const MailMessage& message);

// What the script reads on its standard input: the password, a line break, then the mail's fields as one
// JSON object.
QByteArray mailScriptInput(const MailMessage& message);

// Runs the script for one mail and waits for it (at most timeoutMs; a child still running then is killed).
// When stop is given and becomes true the child is killed at once and the mail counts as not sent.
// Exit status 0 is the only success; status 3 is the server's own refusal. Any thread.
// The child's environment holds only PYTHONPATH and PATH, plus the NAVU_MAIL_TEST_* variables when the
// test suite has set them in ours (an extra test certificate authority, a short timeout).
MailSendResult sendEmail_pyth(const MailMessage& message, int timeoutMs = 120000,
                              const std::atomic<bool>* stop = nullptr);
