#pragma once

// The e-mail settings dialog: sender account, SMTP server and port, SSL or STARTTLS, and a test mail.
// Save checks the entries and writes the settings file; Reset removes it.

#include "output/mail/MailScript.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Email_Setting : public QDialog {
    Q_OBJECT
public:
    static Email_Setting* defaultInstance(QWidget* parent = nullptr);
    explicit Email_Setting(QWidget* parent = nullptr);

    // How the test mail goes out; tests replace the mail script.
    void setMailSender(MailSender sender) { _sender = std::move(sender); }
    // The application's name used in the test mail.
    void setAppName(const QString& name) { _appName = name; }

    int Open_Wnd();
    void loadPreferences();
    bool flushPreferences(QString* why = nullptr);
    bool Check_Validation(bool checkRecipient);
    void Save_Button();
    void Send_Test_Email();
    void Reset_Button();

    QLineEdit* _send_mail_sender_mail;
    QLineEdit* _send_mail_password;
    QLineEdit* _send_mail_smtp;
    QLineEdit* _send_mail_port;
    QLineEdit* _send_mail_to;
    QLabel* _send_mail_result_status;
    QRadioButton* _send_mail_ssl;
    QRadioButton* _send_mail_tls;
    QPushButton* save_btn;
    QPushButton* close_btn;
    QPushButton* test_btn;
    QPushButton* reset_btn;

private:
    MailSender _sender;
    QString _appName = QStringLiteral("NAVU Photo Frame");
};
