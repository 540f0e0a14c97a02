#pragma once

// What the long-message dialog shows and what its answer does, apart from the window itself.

#include <QString>

struct LongMessageView {
    QString title;
    QString message;
    bool showNo = false;       // the "No" button
    bool showApplyAll = false; // the apply-to-all check box
};

// With an empty title_val the dialog shows Cutom_Msg_Title and Cutom_Msg_Val without "No";
// otherwise title_val and msg_val_str with "No". The check box follows apply_chk_show.
LongMessageView longMessageView(const QString& title_val, const QString& msg_val_str, bool apply_chk_show);

// Applies the dialog's answer: OK (1) sets Msg_Apply_All_Chk to the check box's state (1 ticked, 0 not);
// any other code leaves it. Gives the code.
int finishLongMessage(int code, bool applyAllTicked);
