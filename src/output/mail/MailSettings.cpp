#include "output/mail/MailSettings.h"
#include "common/FileHelpers.h"

#include "canvas/KeyedArchive.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "output/mail/MailScript.h"

#include <QFile>

QString sender_email;
QString sender_pwd;
QString sending_server;
QString sending_port;
QString send_enable_ssl;

namespace {
constexpr qint64 kMaxSettingsBytes = 1024 * 1024;
} // namespace

Preferences Preferences::sharedInstance() {
    return Preferences(Resource_Path + QLatin1Char('/') + FileName);
}

Preferences::Preferences(const QString& path) : mPreferencesPath(path) {
    setDefaults();
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return;
    if (file.size() > kMaxSettingsBytes || !file.open(QIODevice::ReadOnly)) {
        Show_NSLog_Message(QStringLiteral("E-mail settings cannot be read: %1").arg(path));
        return;
    }
    QString error;
    PlistPtr root = plistio::fromBytes(file.readAll(), &error);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        Show_NSLog_Message(QStringLiteral("E-mail settings are not a dictionary: %1 %2").arg(path, error));
        return;
    }
    for (const QString& key : {SenderKey, PasswordKey, ServerKey, PortKey, SslKey, RecipientKey}) {
        const QByteArray k = key.toUtf8();
        if (auto v = plistio::stringValue(plist_dict_get_item(root.get(), k.constData()), 4096))
            mDict[key] = *v;
    }
}

void Preferences::setDefaults() {
    for (const QString& key : {RecipientKey, SenderKey, PasswordKey, ServerKey, PortKey})
        mDict[key] = QString();
}

bool Preferences::flush(QString* reason) const {
    PlistPtr dict(plist_new_dict());
    for (auto it = mDict.constBegin(); it != mDict.constEnd(); ++it) {
        if (it.value().isNull() && it.key() == SslKey)
            continue;
        const QByteArray k = it.key().toUtf8();
        plist_dict_set_item(dict.get(), k.constData(), plistio::newString(it.value()));
    }
    const QByteArray bytes = plistio::toBytes(dict.get(), plistio::Format::Xml);
    // The temporary file gets the owner-only mode before the password is written into it.
    QString why = QStringLiteral("The settings could not be encoded.");
    if (bytes.isEmpty() || !writeFileAtomically(mPreferencesPath, bytes, &why, true)) {
        Show_NSLog_Message(QStringLiteral("E-mail settings not saved: %1 %2").arg(mPreferencesPath, why));
        if (reason)
            *reason = why;
        return false;
    }
    return true;
}

void Get_Email_Details() {
    const Preferences prefs = Preferences::sharedInstance();
    sender_email = prefs.send_email_SenderEmail();
    sender_pwd = prefs.send_email_Password();
    sending_server = prefs.send_email_SMTP_server();
    sending_port = prefs.send_email_PORT_num();
    send_enable_ssl = prefs.send_email_enable_ssl();
}

bool isValidEmail(const QString& text) {
    const QString t = Trim_Str(text);
    return t.size() >= 6 && t.split(QLatin1Char('@')).size() == 2 && t.split(QLatin1Char('.')).size() >= 2;
}

EmailSettingsProblem Check_Validation(const EmailSettingsEntries& e, bool checkRecipient) {
    using F = EmailSettingsField;
    // A pasted line break or NUL would break every mail (and the settings file): refused here, by field.
    const std::pair<F, std::pair<const char*, const QString*>> typed[] = {
        {F::Sender, {"sender e-mail", &e.sender}},
        {F::Password, {"password", &e.password}},
        {F::Server, {"SMTP server", &e.server}},
        {F::Port, {"port", &e.port}},
        {F::Recipient, {"test recipient", &e.recipient}}};
    for (const auto& [field, named] : typed) {
        const QString problem = singleLineTextProblem(QString::fromLatin1(named.first), *named.second);
        if (!problem.isEmpty())
            return {problem, field};
    }
    if (e.sender.toLower().isEmpty())
        return {QStringLiteral("Please enter sender E-mail."), F::Sender};
    if (!isValidEmail(e.sender))
        return {QStringLiteral("Please enter valid sender E-mail address."), F::Sender};
    if (e.password.isEmpty())
        return {QStringLiteral("Please enter password."), F::Password};
    if (e.server.isEmpty())
        return {QStringLiteral("Please enter SMTP server."), F::Server};
    if (e.port.isEmpty())
        return {QStringLiteral("Please enter port number."), F::Port};
    if (checkRecipient) {
        if (e.recipient.toLower().isEmpty())
            return {QStringLiteral("Please enter recipient E-mail address."), F::Recipient};
        if (!isValidEmail(e.recipient))
            return {QStringLiteral("Please enter valid recipient E-mail address."), F::Recipient};
    }
    return {};
}
