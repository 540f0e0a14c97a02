#pragma once

// The e-mail dialog: recipients, subject, body and the card attachments (sides, name, data use, pauses).
// Send checks the entries, snapshots the design and runs a MailJob on a worker thread behind the progress
// sheet; the worker reaches the widgets only through the sheet's thread-safe setters and a queued finish.

#include "output/mail/MailJob.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class LongJobGuard;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QThread;
class MailDesignSource;

class Send_Mail : public QDialog {
    Q_OBJECT
public:
    static Send_Mail* defaultInstance(QWidget* parent = nullptr);
    explicit Send_Mail(QWidget* parent = nullptr);
    ~Send_Mail() override;

    void setDesignSource(MailDesignSource* source) { _source = source; } // not owned
    // How mails go out; tests replace the mail script.
    void setMailSender(MailSender sender) { _sender = std::move(sender); }
    void setTempRoot(const QString& folder) { _tempRoot = folder; }

    // Resets the dialog and runs it modally; gives exec()'s result.
    int Open_Wnd();
    // The reset of Open_Wnd without running it.
    void resetDialog();
    bool isSending() const { return _thread != nullptr; }
    // Result of the last run (valid once isSending() is false again).
    MailRunResult lastResult() const { return _lastResult; }

    void Send_Button();
    void Setting_Button();
    void browse_att_Button();
    void clear_att_Button();
    void Without_barcode_rd_select();
    void send_barcode_rd_select();
    void data_chk_changed();
    void delayed_delv_chk_select();
    void mail_card_side_CellClick(int row);

    QLineEdit* from_txt;
    QLineEdit* to_txt;
    QRadioButton* side_rows[3]; // 0 both, 1 front, 2 back
    QString card_side_str = QStringLiteral("F");
    QRadioButton* rd_mail_curr_barcode;
    QRadioButton* rd_without_barcode;
    QGroupBox* send_sett_box;
    QLineEdit* file_name_txt;
    QCheckBox* send_with_batch_chk;
    QCheckBox* send_with_excel_chk;
    QRadioButton* rd_all_to_every;
    QRadioButton* rd_one_per_recp;
    QCheckBox* delayed_delv_chk;
    QGroupBox* delayed_box;
    QSpinBox* mail_count_stepper;
    QSpinBox* hour_stepper;
    QSpinBox* min_stepper;
    QSpinBox* sec_stepper;
    QLineEdit* subject_txt;
    QPlainTextEdit* message_txt;
    QLineEdit* attachment;
    QPushButton* browse_att;
    QPushButton* clear_att;
    QPushButton* send_btn;
    QPushButton* close_btn;
    QPushButton* settings_btn;

signals:
    void sendingFinished();

public slots:
    void reject() override;

private:
    void finishSending(const MailRunResult& result, bool batch);

    MailDesignSource* _source = nullptr;
    MailSender _sender;
    QString _tempRoot;
    QThread* _thread = nullptr;
    std::unique_ptr<LongJobGuard> _busy; // while the run goes on, the windows under its sheet take no input
    std::shared_ptr<MailJob> _job;
    MailRunResult _lastResult;
    bool _seriesAvailable = false;
    bool _tableAvailable = false;
};
