#pragma once

// The stored mail account: "com.navu.card.plist" in Resource_Path, one dictionary of strings, and the
// globals the mail worker reads. The file holds the password, so it is written for its owner only (0600).

#include <QHash>
#include <QString>

// Filled by Get_Email_Details on the GUI thread; the mail worker copies them before it starts.
extern QString sender_email;
extern QString sender_pwd;
extern QString sending_server;
extern QString sending_port;
extern QString send_enable_ssl; // "Y", "N", or null before the settings were first saved

class Preferences {
public:
    static inline const QString FileName = QStringLiteral("com.navu.card.plist");
    static inline const QString SenderKey = QStringLiteral("SendEmailSender");
    static inline const QString PasswordKey = QStringLiteral("SendEmailPwd");
    static inline const QString ServerKey = QStringLiteral("SendEmailSMTP");
    static inline const QString PortKey = QStringLiteral("SendEmailPORT");
    static inline const QString SslKey = QStringLiteral("SendEnableSSL");
    static inline const QString RecipientKey = QStringLiteral("SendEmailRecipient");

    // A new store read afresh from Resource_Path's settings file.
    static Preferences sharedInstance();
    // A store of the file at path. A missing or unreadable file gives the defaults (nothing is written
    // until flush).
    explicit Preferences(const QString& path);

    QString path() const { return mPreferencesPath; }
    // Writes the whole dictionary atomically as an XML property list with mode 0600. False on failure
    // (logged); the old file then stays as it was.
    bool flush(QString* why = nullptr) const; // *why: the reason it could not be saved

    QString send_email_SenderEmail() const { return value(SenderKey); }
    QString send_email_Password() const { return value(PasswordKey); }
    QString send_email_SMTP_server() const { return value(ServerKey); }
    QString send_email_PORT_num() const { return value(PortKey); }
    QString send_email_enable_ssl() const { return value(SslKey); } // null when absent
    QString send_email_Recipient() const { return value(RecipientKey); }
    void setsend_email_SenderEmail(const QString& v) { mDict[SenderKey] = v; }
    void setsend_email_Password(const QString& v) { mDict[PasswordKey] = v; }
    void setsend_email_SMTP_server(const QString& v) { mDict[ServerKey] = v; }
    void setsend_email_PORT_num(const QString& v) { mDict[PortKey] = v; }
    void setsend_email_enable_ssl(const QString& v) { mDict[SslKey] = v; }
    void setsend_email_Recipient(const QString& v) { mDict[RecipientKey] = v; }

private:
    void setDefaults();
    QString value(const QString& key) const { return mDict.value(key); }

    QString mPreferencesPath;
    QHash<QString, QString> mDict;
};

// Copies the stored account into the globals above.
void Get_Email_Details();

// The address test: trimmed, at least 6 characters, exactly one "@" and at least one ".".
bool isValidEmail(const QString& text);

// The fields of the settings dialog, for validation.
struct EmailSettingsEntries {
    QString sender, password, server, port, recipient;
};
enum class EmailSettingsField { None, Sender, Password, Server, Port, Recipient };
struct EmailSettingsProblem {
    QString message; // empty when the entries pass
    EmailSettingsField field = EmailSettingsField::None;
};
// The first problem of the entries; the recipient is checked only with checkRecipient (the test mail).
EmailSettingsProblem Check_Validation(const EmailSettingsEntries& entries, bool checkRecipient);
