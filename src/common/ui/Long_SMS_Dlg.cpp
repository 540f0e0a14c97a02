#include "common/ui/Long_SMS_Dlg.h"

#include "common/LongMessage.h"
#include "common/ui/UiHelpers.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<Long_SMS_Dlg> instance;
}

Long_SMS_Dlg* Long_SMS_Dlg::defaultInstance()
{
    runOnGuiThreadAndWait([] {
        if (!instance)
            instance = new Long_SMS_Dlg(mainWindow());
    });
    return instance.data();
}

Long_SMS_Dlg::Long_SMS_Dlg(QWidget* parent)
    : QDialog(parent)
{
    if (!instance)
        instance = this;
    setModal(true);
    applyDialogBackground(this);

    title_label = new QLabel(this);
    title_label->setTextFormat(Qt::PlainText);
    QFont bold = title_label->font();
    bold.setBold(true);
    title_label->setFont(bold);
    title_label->setWordWrap(true);
    msg_text = new QTextBrowser(this);
    msg_text->setOpenLinks(false);
    msg_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard); // to copy
    msg_text->setMinimumSize(420, 160);
    apply_all_chk = new QCheckBox(QStringLiteral("Apply to all"), this);
    ok_btn = new QPushButton(QStringLiteral("OK"), this);
    ok_btn->setDefault(true);
    no_btn = new QPushButton(QStringLiteral("No"), this);
    connect(ok_btn, &QPushButton::clicked, this, &QDialog::accept);
    connect(no_btn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(apply_all_chk);
    buttons->addStretch();
    buttons->addWidget(no_btn);
    buttons->addWidget(ok_btn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_label);
    layout->addWidget(msg_text, 1);
    layout->addLayout(buttons);
}

void Long_SMS_Dlg::loadTexts()
{
    const LongMessageView v = longMessageView(title_val, msg_val_str, apply_chk_show);
    setWindowTitle(v.title);
    title_label->setText(v.title);
    msg_text->setPlainText(v.message);
    no_btn->setVisible(v.showNo && !ok_only);
    apply_all_chk->setVisible(v.showApplyAll);
    apply_all_chk->setChecked(false);
}

int Long_SMS_Dlg::Open_Long_sms_Dialog()
{
    if (!isGuiThread()) {
        int code = 0;
        runOnGuiThreadAndWait([this, &code] { code = Open_Long_sms_Dialog(); });
        return code;
    }
    if (isVisible()) // already running for another caller: no nested loop on the same dialog
        return 0;
    loadTexts();
    const int code = exec() == QDialog::Accepted ? 1 : 0;
    hide();
    const bool ticked = apply_chk_show && apply_all_chk->isChecked();
    title_val.clear();
    msg_val_str.clear();
    apply_chk_show = false;
    if (ok_only) // an explanation answers nothing
        return code;
    return finishLongMessage(code, ticked);
}

int Long_SMS_Dlg::showExplanation(const QString& title, const QString& message)
{
    ok_only = true;
    const int code = Open_Long_sms_Dialog(title, message, false);
    ok_only = false;
    return code;
}

int Long_SMS_Dlg::Open_Long_sms_Dialog(const QString& title, const QString& message, bool showApplyAll)
{
    title_val = title;
    msg_val_str = message;
    apply_chk_show = showApplyAll;
    return Open_Long_sms_Dialog();
}
