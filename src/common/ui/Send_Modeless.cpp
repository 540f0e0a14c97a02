#include "common/ui/Send_Modeless.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

namespace {
QPointer<Send_Modeless> instance;
}

Send_Modeless* Send_Modeless::defaultInstance()
{
    runOnGuiThreadAndWait([] {
        if (!instance)
            instance = new Send_Modeless(mainWindow());
    });
    return instance.data();
}

Send_Modeless::Send_Modeless(QWidget* window)
    : QDialog(window, Qt::Sheet)
{
    if (!instance)
        instance = this;
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Progress"));
    applyDialogBackground(this);

    _tot_msg_cnt = new QLabel(this);
    _curr_msg_cnt = new QLabel(this);
    _curr_msg_cnt->setTextFormat(Qt::PlainText);
    _Curr_Progress = new QProgressBar(this);
    _Curr_Progress->setRange(0, 0);
    _Curr_Progress->setTextVisible(false);
    pause_label = new QLabel(this);
    pause_label->setTextFormat(Qt::PlainText);
    _stop_btn = new QPushButton(QStringLiteral("Stop"), this);
    _stop_btn->setAutoDefault(false);
    connect(_stop_btn, &QPushButton::clicked, this, &Send_Modeless::Stop_Sending_Pressed);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Total :"), this), 0, 0);
    grid->addWidget(_tot_msg_cnt, 0, 1);
    grid->addWidget(_curr_msg_cnt, 1, 0, 1, 2);
    grid->addWidget(_Curr_Progress, 2, 0, 1, 2);
    grid->addWidget(pause_label, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(_stop_btn);
    grid->addLayout(buttons, 4, 0, 1, 2);
    setMinimumWidth(360);
}

Send_Modeless::~Send_Modeless() = default;

void Send_Modeless::resetProgress(int total, const QString& countText)
{
    Stop_SMS_Sending_Now = false;
    QPointer<Send_Modeless> self(this);
    runOnGuiThreadAndWait([self, total, countText] {
        if (!self)
            return;
        self->_stop_btn->setEnabled(true);
        self->_Curr_Progress->setRange(0, qMax(0, total));
        self->_Curr_Progress->setValue(0);
        self->_tot_msg_cnt->setText(QString::number(total));
        self->_curr_msg_cnt->setText(countText);
        self->pause_label->clear();
    });
}

void Send_Modeless::setProgressValue(int value, const QString& countText)
{
    QPointer<Send_Modeless> self(this);
    runOnGuiThreadAndWait([self, value, countText] {
        if (!self)
            return;
        self->_Curr_Progress->setValue(qBound(self->_Curr_Progress->minimum(), value,
                                              self->_Curr_Progress->maximum()));
        self->_curr_msg_cnt->setText(countText);
    });
}

void Send_Modeless::setPauseText(const QString& text)
{
    QPointer<Send_Modeless> self(this);
    runOnGuiThreadAndWait([self, text] {
        if (self)
            self->pause_label->setText(text);
    });
}

void Send_Modeless::setStopEnabled(bool enabled)
{
    QPointer<Send_Modeless> self(this);
    runOnGuiThreadAndWait([self, enabled] {
        if (self)
            self->_stop_btn->setEnabled(enabled);
    });
}

void Send_Modeless::Stop_Sending_Pressed()
{
    if (Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to stop?")))
        Stop_SMS_Sending_Now = true;
}

// The sheet belongs to the running job: closing the window or Escape asks to stop instead of hiding it.
void Send_Modeless::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (_stop_btn->isEnabled())
        Stop_Sending_Pressed();
}

void Send_Modeless::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (_stop_btn->isEnabled())
            Stop_Sending_Pressed();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Show_One_By_One_Modeless(QWidget* window)
{
    runOnGuiThreadAndWait([window] {
        try {
            Send_Modeless* sheet = Send_Modeless::defaultInstance();
            QWidget* over = window ? window : mainWindow();
            if (over && sheet->parentWidget() != over) {
                sheet->setParent(over, sheet->windowFlags());
                sheet->setWindowModality(Qt::WindowModal);
            }
            sheet->show();
            sheet->raise();
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromUtf8(e.what()));
        }
    });
}

void Hide_One_By_One_Modeless()
{
    runOnGuiThreadAndWait([] {
        if (instance)
            instance->hide();
    });
}
