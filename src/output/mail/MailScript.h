#pragma once

// One mail through our mail script "pyth_mail.py", run by python3 as a child process. The password goes to
// the child's standard input, never onto its command line; the child's environment holds only an empty
// PYTHONPATH and a fixed PATH.

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

struct MailMessage {
    QString sender;
    QString password;
    QString server;
    QString port;
    QString ssl; // "Y": implicit TLS; anything else: plain, upgraded with STARTTLS when offered
    QString recipient;
    QString subject;
    QString body;
    QStringList attachments; // paths, in order
};

struct MailSendResult {
    bool sent = false;
    QString error;        // why the mail was not sent, in the script's own words (one line)
    bool stopped = false; // ended by Stop while it was being sent
};

// How mails are sent; tests replace it.
using MailSender = std::function<MailSendResult(const MailMessage&)>;

// The script: NAVU_MAIL_SCRIPT when set, else "pyth_mail.py" of the shipped resources, else of
// Resource_Path. Empty when none exists.
QString mailScriptPath();
// python3 on "/bin:/usr/bin:/usr/local/bin", else on the user's PATH. Empty when there is none.
QString pythonInterpreter();

// The script's arguments after its own path, in the order the script takes them.
QStringList mailScriptArguments(const MailMessage& message);

// Runs the script for one mail and waits for it (at most timeoutMs; a child still running then is killed).
// When stop is given and becomes true the child is killed at once and the mail counts as not sent.
// Exit status 0 is the only success. Any thread.
// The child's environment holds only PYTHONPATH and PATH, plus the NAVU_MAIL_TEST_* variables when the
// test suite has set them in ours (an extra test certificate authority, a short timeout).
MailSendResult sendEmail_pyth(const MailMessage& message, int timeoutMs = 120000,
                              const std::atomic<bool>* stop = nullptr);
