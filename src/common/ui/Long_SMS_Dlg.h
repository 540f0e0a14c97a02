#pragma once

// The long-message dialog: a title and a long text, OK, optionally "No" and an apply-to-all check box.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTextBrowser;

class Long_SMS_Dlg : public QDialog {
    Q_OBJECT
public:
    // The one dialog of the run, made on first use (on the GUI thread) over the main window.
    static Long_SMS_Dlg* defaultInstance();
    explicit Long_SMS_Dlg(QWidget* parent = nullptr);

    // Set before every call of Open_Long_sms_Dialog; they are cleared when it returns, so a later caller
    // that relies on Cutom_Msg_Title / Cutom_Msg_Val never sees an earlier caller's texts.
    QString title_val;
    QString msg_val_str;
    bool apply_chk_show = false;
    bool ok_only = false; // a plain explanation: no "No" button

    // Runs the dialog modally (on the GUI thread; a worker waits): 1 for OK (Msg_Apply_All_Chk := the check
    // box), 0 for "No" or closing (Msg_Apply_All_Chk unchanged).
    int Open_Long_sms_Dialog();
    // The same with the texts given here.
    int Open_Long_sms_Dialog(const QString& title, const QString& message, bool showApplyAll);

    // A plain explanation with only OK.
    int showExplanation(const QString& title, const QString& message);

    // Fills the controls as Open_Long_sms_Dialog would, without running the dialog.
    void loadTexts();

    QLabel* title_label;
    QTextBrowser* msg_text;
    QCheckBox* apply_all_chk;
    QPushButton* ok_btn;
    QPushButton* no_btn;
};
