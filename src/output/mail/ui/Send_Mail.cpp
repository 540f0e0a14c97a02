#include "output/mail/ui/Send_Mail.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "common/StringHelpers.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "output/ImageExport.h"
#include "output/mail/MailDesignSource.h"
#include "output/mail/MailSettings.h"
#include "output/mail/ui/Email_Setting.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kNoSenderText = QStringLiteral(
    "Please make sure that:\n1.Entered E-mail Settings are correct.\n2.Internet Connectivity to E-mail "
    "server is "
    "not interrupted and E-mail server is not down.\n3.Your firewall or security software(if any) is not "
    "blocking the software to communicate with your E-mail server.");

QSpinBox* makeSpin(int max, const QString& name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(0, max);
    s->setObjectName(name);
    return s;
}
} // namespace

Send_Mail* Send_Mail::defaultInstance(QWidget* parent) {
    static QPointer<Send_Mail> instance;
    if (!instance)
        instance = new Send_Mail(parent ? parent : mainWindow());
    return instance;
}

Send_Mail::Send_Mail(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Send E-mail"));
    setObjectName(QStringLiteral("Send_Mail"));
    applyDialogBackground(this);

    auto* top = new QVBoxLayout(this);

    auto* addressBox = new QGroupBox(tr("Message"), this);
    auto* form = new QFormLayout(addressBox);
    from_txt = new QLineEdit(addressBox);
    from_txt->setObjectName(QStringLiteral("from_txt"));
    settings_btn = new QPushButton(tr("Settings..."), addressBox);
    settings_btn->setObjectName(QStringLiteral("settings_btn"));
    auto* fromRow = new QHBoxLayout;
    fromRow->addWidget(from_txt, 1);
    fromRow->addWidget(settings_btn);
    form->addRow(tr("From:"), fromRow);
    to_txt = new QLineEdit(addressBox);
    to_txt->setObjectName(QStringLiteral("to_txt"));
    to_txt->setPlaceholderText(tr("name@example.com, other@example.com"));
    form->addRow(tr("To:"), to_txt);
    subject_txt = new QLineEdit(addressBox);
    subject_txt->setObjectName(QStringLiteral("subject_txt"));
    form->addRow(tr("Subject:"), subject_txt);
    message_txt = new QPlainTextEdit(addressBox);
    message_txt->setObjectName(QStringLiteral("message_txt"));
    message_txt->setMinimumHeight(90);
    form->addRow(tr("Message:"), message_txt);
    top->addWidget(addressBox);

    auto* modeRow = new QHBoxLayout;
    rd_mail_curr_barcode = new QRadioButton(tr("Send card"), this);
    rd_mail_curr_barcode->setObjectName(QStringLiteral("rd_mail_curr_barcode"));
    rd_without_barcode = new QRadioButton(tr("Send without card"), this);
    rd_without_barcode->setObjectName(QStringLiteral("rd_without_barcode"));
    modeRow->addWidget(rd_mail_curr_barcode);
    modeRow->addWidget(rd_without_barcode);
    modeRow->addStretch(1);
    top->addLayout(modeRow);

    send_sett_box = new QGroupBox(tr("Card"), this);
    send_sett_box->setObjectName(QStringLiteral("send_sett_box"));
    auto* cardForm = new QFormLayout(send_sett_box);
    auto* sideRow = new QHBoxLayout;
    auto* sideGroup = new QButtonGroup(this);
    const char* sideNames[3] = {QT_TR_NOOP("Both sides"), QT_TR_NOOP("Front"), QT_TR_NOOP("Back")};
    for (int i = 0; i < 3; ++i) {
        side_rows[i] = new QRadioButton(tr(sideNames[i]), send_sett_box);
        side_rows[i]->setObjectName(QStringLiteral("matrix_card_side_%1").arg(i));
        sideGroup->addButton(side_rows[i], i);
        sideRow->addWidget(side_rows[i]);
    }
    sideRow->addStretch(1);
    cardForm->addRow(tr("Side:"), sideRow);
    file_name_txt = new QLineEdit(send_sett_box);
    file_name_txt->setObjectName(QStringLiteral("file_name_txt"));
    cardForm->addRow(tr("Attachment name:"), file_name_txt);
    auto* dataRow = new QHBoxLayout;
    send_with_batch_chk = new QCheckBox(tr("Use series data"), send_sett_box);
    send_with_batch_chk->setObjectName(QStringLiteral("send_with_batch_chk"));
    send_with_excel_chk = new QCheckBox(tr("Use sheet data"), send_sett_box);
    send_with_excel_chk->setObjectName(QStringLiteral("send_with_excel_chk"));
    dataRow->addWidget(send_with_batch_chk);
    dataRow->addWidget(send_with_excel_chk);
    dataRow->addStretch(1);
    cardForm->addRow(tr("Data:"), dataRow);
    rd_all_to_every = new QRadioButton(tr("Every card to every recipient"), send_sett_box);
    rd_all_to_every->setObjectName(QStringLiteral("rd_all_to_every"));
    rd_one_per_recp =
        new QRadioButton(tr("Card of row 1 to recipient 1, row 2 to recipient 2, ..."), send_sett_box);
    rd_one_per_recp->setObjectName(QStringLiteral("rd_one_per_recp"));
    auto* distGroup = new QButtonGroup(this);
    distGroup->addButton(rd_all_to_every);
    distGroup->addButton(rd_one_per_recp);
    auto* distColumn = new QVBoxLayout;
    distColumn->addWidget(rd_all_to_every);
    distColumn->addWidget(rd_one_per_recp);
    cardForm->addRow(tr("Distribution:"), distColumn);
    top->addWidget(send_sett_box);

    auto* fileRow = new QHBoxLayout;
    attachment = new QLineEdit(this);
    attachment->setObjectName(QStringLiteral("attachment"));
    attachment->setPlaceholderText(tr("File to attach (send without card)"));
    browse_att = new QPushButton(tr("Browse..."), this);
    clear_att = new QPushButton(tr("Clear"), this);
    fileRow->addWidget(new QLabel(tr("File:"), this));
    fileRow->addWidget(attachment, 1);
    fileRow->addWidget(browse_att);
    fileRow->addWidget(clear_att);
    top->addLayout(fileRow);

    delayed_delv_chk = new QCheckBox(tr("Delayed delivery"), this);
    delayed_delv_chk->setObjectName(QStringLiteral("delayed_delv_chk"));
    top->addWidget(delayed_delv_chk);
    delayed_box = new QGroupBox(this);
    delayed_box->setObjectName(QStringLiteral("delayed_box"));
    auto* delayRow = new QHBoxLayout(delayed_box);
    mail_count_stepper = makeSpin(100000, QStringLiteral("mail_count_stepper"), delayed_box);
    mail_count_stepper->setMinimum(1);
    hour_stepper = makeSpin(99, QStringLiteral("hour_stepper"), delayed_box);
    min_stepper = makeSpin(59, QStringLiteral("min_stepper"), delayed_box);
    sec_stepper = makeSpin(59, QStringLiteral("sec_stepper"), delayed_box);
    for (QSpinBox* s : {mail_count_stepper, hour_stepper, min_stepper, sec_stepper})
        s->setMinimumWidth(60);
    mail_count_stepper->setMaximumWidth(90);
    delayRow->addWidget(new QLabel(tr("Pause after every"), delayed_box));
    delayRow->addWidget(mail_count_stepper);
    delayRow->addWidget(new QLabel(tr("mails for"), delayed_box));
    delayRow->addWidget(hour_stepper);
    delayRow->addWidget(new QLabel(tr("h"), delayed_box));
    delayRow->addWidget(min_stepper);
    delayRow->addWidget(new QLabel(tr("min"), delayed_box));
    delayRow->addWidget(sec_stepper);
    delayRow->addWidget(new QLabel(tr("s"), delayed_box));
    delayRow->addStretch(1);
    top->addWidget(delayed_box);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    close_btn = new QPushButton(tr("Close"), this);
    close_btn->setObjectName(QStringLiteral("close_btn"));
    send_btn = new QPushButton(tr("Send"), this);
    send_btn->setObjectName(QStringLiteral("send_btn"));
    send_btn->setDefault(true);
    buttons->addWidget(close_btn);
    buttons->addWidget(send_btn);
    top->addLayout(buttons);

    connect(settings_btn, &QPushButton::clicked, this, &Send_Mail::Setting_Button);
    connect(browse_att, &QPushButton::clicked, this, &Send_Mail::browse_att_Button);
    connect(clear_att, &QPushButton::clicked, this, &Send_Mail::clear_att_Button);
    connect(close_btn, &QPushButton::clicked, this, &Send_Mail::reject);
    connect(send_btn, &QPushButton::clicked, this, &Send_Mail::Send_Button);
    connect(rd_without_barcode, &QRadioButton::clicked, this, &Send_Mail::Without_barcode_rd_select);
    connect(rd_mail_curr_barcode, &QRadioButton::clicked, this, &Send_Mail::send_barcode_rd_select);
    connect(send_with_batch_chk, &QCheckBox::clicked, this, &Send_Mail::data_chk_changed);
    connect(send_with_excel_chk, &QCheckBox::clicked, this, &Send_Mail::data_chk_changed);
    connect(delayed_delv_chk, &QCheckBox::clicked, this, &Send_Mail::delayed_delv_chk_select);
    connect(sideGroup, &QButtonGroup::idClicked, this, &Send_Mail::mail_card_side_CellClick);

    resetDialog();
}

Send_Mail::~Send_Mail() {
    // A run still going is stopped; its queued calls to the GUI are served while we wait.
    while (_thread && !_thread->wait(20)) {
        Stop_SMS_Sending_Now = true;
        QCoreApplication::processEvents();
    }
}

void Send_Mail::resetDialog() {
    mail_card_side_CellClick(1);
    side_rows[1]->setChecked(true);
    from_txt->setText(sender_email);
    to_txt->clear();
    rd_all_to_every->setEnabled(false);
    rd_one_per_recp->setEnabled(false);
    rd_without_barcode->setChecked(false);
    rd_mail_curr_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, true);
    file_name_txt->setText(QStringLiteral("NAVUFrame"));
    _seriesAvailable = Use_Data_Sheet_Values;
    _tableAvailable = Use_Excel_Binding_Values;
    send_with_batch_chk->setChecked(false);
    send_with_excel_chk->setChecked(false);
    send_with_batch_chk->setEnabled(_seriesAvailable);
    send_with_excel_chk->setEnabled(_tableAvailable);
    rd_all_to_every->setChecked(true);
    rd_all_to_every->setEnabled(false);
    rd_one_per_recp->setEnabled(false);
    subject_txt->clear();
    message_txt->clear();
    attachment->clear();
    attachment->setEnabled(false);
    browse_att->setEnabled(false);
    clear_att->setEnabled(false);
    delayed_delv_chk->setChecked(false);
    SetObjEnabled(delayed_box, false);
    mail_count_stepper->setValue(1);
    hour_stepper->setValue(0);
    min_stepper->setValue(0);
    sec_stepper->setValue(0);
}

int Send_Mail::Open_Wnd() {
    resetDialog();
    const int result = exec();
    hide();
    return result;
}

void Send_Mail::reject() {
    if (_thread) {
        // Closing while mails go out asks to stop; the mail in progress is ended at once, so the dialog
        // can be closed as soon as the run has finished.
        Send_Modeless::defaultInstance()->Stop_Sending_Pressed();
        return;
    }
    QDialog::reject();
}

void Send_Mail::Setting_Button() {
    Email_Setting::defaultInstance(this)->Open_Wnd();
    Get_Email_Details();
    from_txt->setText(sender_email);
}

void Send_Mail::browse_att_Button() {
    const QString path =
        rememberDialogPath(QFileDialog::getOpenFileName(this, tr("Attachment"), dialogStartPath()));
    if (!path.isEmpty())
        attachment->setText(path);
}

void Send_Mail::clear_att_Button() {
    attachment->clear();
}

void Send_Mail::Without_barcode_rd_select() {
    rd_without_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, false);
    attachment->setEnabled(true);
    browse_att->setEnabled(true);
    clear_att->setEnabled(true);
}

void Send_Mail::send_barcode_rd_select() {
    if (_source) {
        _source->checkData();
        _seriesAvailable = Use_Data_Sheet_Values;
        _tableAvailable = Use_Excel_Binding_Values;
    }
    rd_mail_curr_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, true);
    if (!_seriesAvailable) {
        send_with_batch_chk->setChecked(false);
        send_with_batch_chk->setEnabled(false);
    }
    if (!_tableAvailable) {
        send_with_excel_chk->setChecked(false);
        send_with_excel_chk->setEnabled(false);
    }
    data_chk_changed();
    attachment->setEnabled(false);
    browse_att->setEnabled(false);
    clear_att->setEnabled(false);
}

void Send_Mail::data_chk_changed() {
    const bool any = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
    rd_all_to_every->setEnabled(any);
    rd_one_per_recp->setEnabled(any);
}

void Send_Mail::delayed_delv_chk_select() {
    SetObjEnabled(delayed_box, delayed_delv_chk->isChecked());
}

void Send_Mail::mail_card_side_CellClick(int row) {
    static const QString sides[3] = {QStringLiteral("BOTH"), QStringLiteral("F"), QStringLiteral("B")};
    if (row >= 0 && row < 3)
        card_side_str = sides[row];
}

void Send_Mail::Send_Button() {
    if (_thread)
        return;
    MailRequest req;
    req.account.sender = Trim_Str(from_txt->text().toLower());
    if (req.account.sender.isEmpty()) {
        // The general text alone leaves the user looking at the server settings.
        Show_MessageBox(kNoSenderText + QStringLiteral("\n\nReason: the From address is empty."));
        from_txt->setFocus();
        return;
    }
    // Texts that cannot go into a mail are refused here, at the field, not mail by mail in the run.
    const std::pair<QWidget*, QString> typed[] = {
        {from_txt, singleLineTextProblem(QStringLiteral("From address"), from_txt->text())},
        {to_txt, singleLineTextProblem(QStringLiteral("recipient list"), to_txt->text())},
        {subject_txt, singleLineTextProblem(QStringLiteral("subject"), subject_txt->text())},
        {message_txt, bodyTextProblem(message_txt->toPlainText())}};
    for (const auto& [field, why] : typed) {
        if (!why.isEmpty()) {
            Show_MessageBox(why);
            field->setFocus();
            return;
        }
    }
    const QString problem = recipientProblem(to_txt->text());
    if (!problem.isEmpty()) {
        Show_MessageBox(problem);
        to_txt->setFocus();
        return;
    }
    req.recipients = keptRecipients(to_txt->text());
    req.account.subject = subject_txt->text();
    req.account.body = message_txt->toPlainText();
    req.account.password = sender_pwd;
    req.account.server = sending_server;
    req.account.port = sending_port;
    req.account.ssl = send_enable_ssl;
    if (const QString why = mailTextProblem(req.account); !why.isEmpty()) {
        // Stored settings edited outside the program.
        Show_MessageBox(why + QStringLiteral("\n\nPlease correct the e-mail settings."));
        settings_btn->setFocus();
        return;
    }
    req.cardMode = rd_mail_curr_barcode->isChecked();
    req.side = card_side_str;
    if (req.cardMode) {
        req.baseName = Remove_Reserve_Char_In_File_Name(file_name_txt->text());
        const QString nameProblem = fileNameProblem(req.baseName);
        if (!nameProblem.isEmpty()) {
            Show_MessageBox(req.baseName.isEmpty() ? QStringLiteral("Please enter valid file name.")
                                                   : nameProblem);
            file_name_txt->setFocus();
            return;
        }
    }
    req.plainAttachment = attachment->text();
    if (!req.cardMode) {
        const QString missing = plainAttachmentProblem(req.plainAttachment);
        if (!missing.isEmpty()) {
            Show_MessageBox(missing);
            attachment->setFocus();
            return;
        }
    }
    req.delayed = delayed_delv_chk->isChecked();
    req.pauseEvery = mail_count_stepper->value();
    req.pauseMs = qint64(hour_stepper->value()) * 3600000 + qint64(min_stepper->value()) * 60000 +
                  qint64(sec_stepper->value()) * 1000;
    req.allToEvery = rd_all_to_every->isChecked();

    std::unique_ptr<BatchFillJob> renderer;
    if (req.cardMode) {
        if (!_source) {
            Show_MessageBox(QStringLiteral("There is no card to send."));
            return;
        }
        _source->checkData();
        if (!send_with_batch_chk->isChecked())
            Use_Data_Sheet_Values = false;
        if (!send_with_excel_chk->isChecked())
            Use_Excel_Binding_Values = false;
        req.batch = Use_Data_Sheet_Values || Use_Excel_Binding_Values;
        renderer = _source->makeJob();
        if (!renderer) {
            Show_MessageBox(QStringLiteral("There is no card to send."));
            return;
        }
        if (req.batch && renderer->Total_Batch_Excel_Card() == 0) {
            Show_MessageBox(QStringLiteral("List is empty."));
            return;
        }
        // Asked once, before anything is sent: a first card that fails usually means every card does.
        if (req.batch) {
            const QString first = firstRowQuestion(*renderer, req.side);
            if (!first.isEmpty() && !Show_YES_NO_MessageBox(first))
                return;
        }
    }
    if (req.batch)
        Card_Value_In_Process = true;

    _job = std::make_shared<MailJob>(std::move(req), std::move(renderer));
    if (_sender)
        _job->setSender(_sender);
    _job->setTempRoot(_tempRoot);
    Send_Modeless* sheet = Send_Modeless::defaultInstance();
    MailJob::Progress progress;
    progress.start = [sheet](int total) {
        sheet->resetProgress(total, QStringLiteral("%1 / %2").arg(0).arg(total));
    };
    progress.step = [sheet](int current, int total) {
        sheet->setProgressValue(current, QStringLiteral("%1 / %2").arg(current).arg(total));
    };
    progress.pause = [sheet](const QString& text) { sheet->setPauseText(text); };
    _job->setProgress(progress);
    _busy = std::make_unique<LongJobGuard>();
    Show_One_By_One_Modeless(this);

    const bool batch = _job->renderer() && (Use_Data_Sheet_Values || Use_Excel_Binding_Values) &&
                       rd_mail_curr_barcode->isChecked();
    std::shared_ptr<MailJob> job = _job;
    QPointer<Send_Mail> self(this);
    _thread = QThread::create([job, self, batch] {
        const MailRunResult result = job->run();
        if (self)
            QMetaObject::invokeMethod(
                self,
                [self, result, batch] {
                    if (self)
                        self->finishSending(result, batch);
                },
                Qt::QueuedConnection);
    });
    _thread->setObjectName(QStringLiteral("mail worker"));
    send_btn->setEnabled(false);
    close_btn->setEnabled(false);
    _thread->start();
}

void Send_Mail::finishSending(const MailRunResult& result, bool batch) {
    if (_thread) {
        _thread->wait();
        delete _thread;
        _thread = nullptr;
    }
    if (batch && _source && _job && _job->renderer())
        _source->restoreFirstRow(*_job->renderer());
    Card_Value_In_Process = false;
    _job.reset();
    _lastResult = result;
    Hide_One_By_One_Modeless();
    _busy.reset();
    send_btn->setEnabled(true);
    close_btn->setEnabled(true);
    Show_MessageBox(mailFinishedMessage(result), mailFinishedDetails(result));
    emit sendingFinished();
}
