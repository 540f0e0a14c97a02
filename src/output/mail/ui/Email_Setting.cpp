#include "output/mail/ui/Email_Setting.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/UiHelpers.h"
#include "common/ui/WaitSheet.h"
#include "output/mail/MailSettings.h"

#include <QButtonGroup>
#include <QDialog>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>

namespace {
const QString kTestFailedText =
    QStringLiteral("Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet "
                   "connectivity to E-mail server "
                   "is not interrupted and E-mail server is not down.\n3. Your Firewall or Security software "
                   "(if any) is not "
                   "blocking the software to communicate with your E-mail server.\n\nCould not send email.");
const QString kSentText = QStringLiteral("E-mail has been sent successfully.");

QLineEdit* field(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}
} // namespace

Email_Setting* Email_Setting::defaultInstance(QWidget* parent) {
    static QPointer<Email_Setting> instance;
    if (!instance)
        instance = new Email_Setting(parent ? parent : mainWindow());
    return instance;
}

Email_Setting::Email_Setting(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("E-mail Settings"));
    setObjectName(QStringLiteral("Email_Setting"));
    applyDialogBackground(this);
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    _send_mail_sender_mail = field(QStringLiteral("_send_mail_sender_mail"), this);
    _send_mail_password = field(QStringLiteral("_send_mail_password"), this);
    _send_mail_password->setEchoMode(QLineEdit::Password);
    _send_mail_smtp = field(QStringLiteral("_send_mail_smtp"), this);
    _send_mail_port = field(QStringLiteral("_send_mail_port"), this);
    _send_mail_to = field(QStringLiteral("_send_mail_to"), this);
    form->addRow(tr("Sender e-mail:"), _send_mail_sender_mail);
    form->addRow(tr("Password:"), _send_mail_password);
    form->addRow(tr("SMTP server:"), _send_mail_smtp);
    form->addRow(tr("Port:"), _send_mail_port);
    auto* secRow = new QHBoxLayout;
    _send_mail_ssl = new QRadioButton(tr("SSL"), this);
    _send_mail_ssl->setObjectName(QStringLiteral("_send_mail_ssl"));
    _send_mail_ssl->setToolTip(tr("Encrypted from the start (usually port 465)"));
    _send_mail_tls = new QRadioButton(tr("TLS (STARTTLS)"), this);
    _send_mail_tls->setObjectName(QStringLiteral("_send_mail_tls"));
    _send_mail_tls->setToolTip(tr("Encryption switched on when the server offers it (usually port 587)"));
    auto* group = new QButtonGroup(this);
    group->addButton(_send_mail_ssl);
    group->addButton(_send_mail_tls);
    secRow->addWidget(_send_mail_ssl);
    secRow->addWidget(_send_mail_tls);
    secRow->addStretch(1);
    form->addRow(tr("Security:"), secRow);
    auto* testRow = new QHBoxLayout;
    test_btn = new QPushButton(tr("Send Test E-mail"), this);
    test_btn->setObjectName(QStringLiteral("test_btn"));
    testRow->addWidget(_send_mail_to, 1);
    testRow->addWidget(test_btn);
    form->addRow(tr("Test recipient:"), testRow);
    top->addLayout(form);
    _send_mail_result_status = new QLabel(this);
    _send_mail_result_status->setObjectName(QStringLiteral("_send_mail_result_status"));
    _send_mail_result_status->setWordWrap(true);
    _send_mail_result_status->setTextFormat(Qt::PlainText); // server replies may hold "<"
    top->addWidget(_send_mail_result_status);
    auto* buttons = new QHBoxLayout;
    reset_btn = new QPushButton(tr("Reset"), this);
    close_btn = new QPushButton(tr("Close"), this);
    save_btn = new QPushButton(tr("Save"), this);
    save_btn->setDefault(true);
    buttons->addWidget(reset_btn);
    buttons->addStretch(1);
    buttons->addWidget(close_btn);
    buttons->addWidget(save_btn);
    top->addLayout(buttons);
    setMinimumWidth(460);

    connect(save_btn, &QPushButton::clicked, this, &Email_Setting::Save_Button);
    connect(close_btn, &QPushButton::clicked, this, &QDialog::reject);
    connect(test_btn, &QPushButton::clicked, this, &Email_Setting::Send_Test_Email);
    connect(reset_btn, &QPushButton::clicked, this, &Email_Setting::Reset_Button);
}

int Email_Setting::Open_Wnd() {
    loadPreferences();
    const int result = exec();
    hide();
    return result;
}

void Email_Setting::loadPreferences() {
    const Preferences prefs = Preferences::sharedInstance();
    _send_mail_to->setText(prefs.send_email_Recipient());
    _send_mail_sender_mail->setText(prefs.send_email_SenderEmail());
    _send_mail_smtp->setText(prefs.send_email_SMTP_server());
    _send_mail_port->setText(prefs.send_email_PORT_num());
    _send_mail_password->setText(prefs.send_email_Password());
    const bool ssl = prefs.send_email_enable_ssl() == QLatin1String("Y");
    _send_mail_ssl->setChecked(ssl);
    _send_mail_tls->setChecked(!ssl);
    _send_mail_result_status->clear();
}

bool Email_Setting::flushPreferences(QString* why) {
    Preferences prefs = Preferences::sharedInstance();
    prefs.setsend_email_Recipient(_send_mail_to->text());
    prefs.setsend_email_SenderEmail(_send_mail_sender_mail->text());
    prefs.setsend_email_SMTP_server(_send_mail_smtp->text());
    prefs.setsend_email_PORT_num(_send_mail_port->text());
    prefs.setsend_email_Password(_send_mail_password->text());
    prefs.setsend_email_enable_ssl(_send_mail_ssl->isChecked() ? QStringLiteral("Y") : QStringLiteral("N"));
    return prefs.flush(why);
}

bool Email_Setting::Check_Validation(bool checkRecipient) {
    const EmailSettingsProblem problem =
        ::Check_Validation({_send_mail_sender_mail->text(), _send_mail_password->text(),
                            _send_mail_smtp->text(), _send_mail_port->text(), _send_mail_to->text()},
                           checkRecipient);
    if (problem.message.isEmpty())
        return true;
    Show_MessageBox(problem.message);
    QLineEdit* focus = nullptr;
    switch (problem.field) {
    case EmailSettingsField::Sender:
        focus = _send_mail_sender_mail;
        break;
    case EmailSettingsField::Password:
        focus = _send_mail_password;
        break;
    case EmailSettingsField::Server:
        focus = _send_mail_smtp;
        break;
    case EmailSettingsField::Port:
        focus = _send_mail_port;
        break;
    case EmailSettingsField::Recipient:
        focus = _send_mail_to;
        break;
    case EmailSettingsField::None:
        break;
    }
    if (focus)
        focus->setFocus();
    return false;
}

void Email_Setting::Save_Button() {
    if (!Check_Validation(false))
        return;
    QString why;
    if (!flushPreferences(&why)) {
        Show_MessageBox(QStringLiteral("Error in file accessing.\n") + why);
        return;
    }
    done(1);
}

void Email_Setting::Send_Test_Email() {
    if (!Check_Validation(true))
        return;
    MailMessage m;
    m.recipient = _send_mail_to->text().toLower();
    m.sender = _send_mail_sender_mail->text().toLower();
    m.password = _send_mail_password->text();
    m.server = _send_mail_smtp->text();
    m.port = _send_mail_port->text();
    m.ssl = _send_mail_ssl->isChecked() ? QStringLiteral("Y") : QStringLiteral("N");
    m.subject = _appName + QStringLiteral(" Test Mail");
    m.body = QStringLiteral("This is test mail sent by %1.").arg(_appName);

    const LongJobGuard guard;
    Show_Create_Modeless(this);
    _send_mail_result_status->setText(QStringLiteral("It may take a while, Please wait..."));
    // The script runs on a thread of its own so that the dialog keeps painting while it waits. Closing the
    // wait sheet (Escape) ends the test mail at once instead of waiting for the server's timeout.
    MailSendResult result;
    std::atomic<bool> stop = false;
    if (WaitSheet* sheet = waitSheetOf(this))
        connect(sheet, &QDialog::rejected, this, [&stop] { stop = true; });
    const MailSender sender = _sender ? _sender : MailSender([&stop](const MailMessage& msg) {
        return sendEmail_pyth(msg, 120000, &stop);
    });
    const QList<QPushButton*> buttons{test_btn, save_btn, close_btn, reset_btn};
    for (QPushButton* b : buttons)
        b->setEnabled(false);
    QEventLoop loop;
    QThread* worker = QThread::create([&] { result = sender(m); });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    if (!worker->isFinished())
        loop.exec();
    worker->wait();
    delete worker;
    for (QPushButton* b : buttons)
        b->setEnabled(true);
    if (WaitSheet* sheet = waitSheetOf(this))
        sheet->disconnect(this);
    Hide_Destroy_Modeless(this);
    if (result.stopped) {
        _send_mail_result_status->setText(QStringLiteral("The test mail was stopped."));
        return;
    }
    if (!result.sent)
        Show_NSLog_Message(QStringLiteral("Test mail not sent: %1").arg(result.error));
    QString text = result.sent ? kSentText : kTestFailedText;
    if (!result.sent && !result.error.isEmpty())
        text += QStringLiteral("\n\nReason: ") + result.error;
    _send_mail_result_status->setText(text);
    Show_MessageBox(text);
}

void Email_Setting::Reset_Button() {
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
        return;
    Delete_File(Preferences::sharedInstance().path());
    for (QLineEdit* e :
         {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password})
        e->clear();
    _send_mail_result_status->clear();
    _send_mail_ssl->setChecked(false);
    _send_mail_tls->setChecked(true);
    Get_Email_Details();
}
