#include "common/LongMessage.h"

#include "common/Globals.h"

LongMessageView longMessageView(const QString& title_val, const QString& msg_val_str, bool apply_chk_show)
{
    LongMessageView v;
    if (title_val.isEmpty()) {
        v.title = Cutom_Msg_Title;
        v.message = Cutom_Msg_Val;
        v.showNo = false;
    } else {
        v.title = title_val;
        v.message = msg_val_str;
        v.showNo = true;
    }
    v.showApplyAll = apply_chk_show;
    return v;
}

int finishLongMessage(int code, bool applyAllTicked)
{
    if (code == 1)
        Msg_Apply_All_Chk = applyAllTicked ? 1 : 0;
    return code;
}
