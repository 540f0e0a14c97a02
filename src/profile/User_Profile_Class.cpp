#include "profile/User_Profile_Class.h"

#include "profile/ProfileFields.h"

#include <algorithm>

namespace {
using R = User_Profile_Class;
struct Members {
    QString R::*value;
    QString R::*id;
    QString R::*label_id;
    qint8 R::*ds;
    QString R::*ds_name;
    qint32 R::*ds_indx;
    qint8 R::*xl;
    qint32 R::*xl_col_indx;
};

#define PROFILE_MEMBERS(S)                                                                                   \
    Members {                                                                                                \
        &R::S, &R::S##_id, &R::S##_label_id, &R::S##_ds, &R::S##_ds_name, &R::S##_ds_indx, &R::S##_xl,       \
            &R::S##_xl_col_indx                                                                              \
    }

const Members members[User_Profile_Class::FieldCount] = {
    PROFILE_MEMBERS(Name),    PROFILE_MEMBERS(Title),  PROFILE_MEMBERS(Company_name), PROFILE_MEMBERS(slogan),
    PROFILE_MEMBERS(address), PROFILE_MEMBERS(phone),  PROFILE_MEMBERS(fax),          PROFILE_MEMBERS(email),
    PROFILE_MEMBERS(website), PROFILE_MEMBERS(unique), PROFILE_MEMBERS(image),
};
#undef PROFILE_MEMBERS
} // namespace

ProfileFieldRef User_Profile_Class::field(int i) {
    const Members& m = members[std::clamp(i, 0, FieldCount - 1)];
    return {this->*m.value,   this->*m.id,      this->*m.label_id, this->*m.ds,
            this->*m.ds_name, this->*m.ds_indx, this->*m.xl,       this->*m.xl_col_indx};
}

ProfileFieldData User_Profile_Class::fieldData(int i) const {
    const Members& m = members[std::clamp(i, 0, FieldCount - 1)];
    return {this->*m.value,   this->*m.id,      this->*m.label_id, this->*m.ds,
            this->*m.ds_name, this->*m.ds_indx, this->*m.xl,       this->*m.xl_col_indx};
}

const QString& User_Profile_Class::valueOf(int i) const {
    return this->*members[std::clamp(i, 0, FieldCount - 1)].value;
}

void User_Profile_Class::Reset_All_Values() {
    Fill_User_Profile_Enable = 0;
    Excel_Binding = 0;
    for (int i = 0; i < FieldCount; ++i) {
        ProfileFieldRef f = field(i);
        f.id = profile::fieldInfo(i).controlId;
        f.label_id = profile::fieldInfo(i).labelId;
        f.value = QStringLiteral("");
        f.ds_name = QStringLiteral("");
        f.ds = 0;
        f.ds_indx = 0;
        f.xl = 0;
        f.xl_col_indx = 0;
    }
}
