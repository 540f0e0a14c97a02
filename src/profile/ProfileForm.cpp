#include "profile/ProfileForm.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "profile/ProfileFields.h"
#include "profile/User_Profile_Class.h"

bool Check_Validation(const ProfileForm& form, QString* checkedFieldName) {
    if (checkedFieldName)
        checkedFieldName->clear();
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFormField& f = form[i];
        if ((f.source == 1 || f.source == 2) && f.listIndex < 0) {
            if (checkedFieldName)
                *checkedFieldName = profile::fieldInfo(i).caption;
            return false;
        }
    }
    return true;
}

QString profileValidationMessage(const QString& checkedFieldName) {
    QString name = Trim_Str(checkedFieldName);
    QString suffix;
    if (!name.isEmpty())
        suffix =
            QStringLiteral(" for '%1'").arg(Replace_char_in_string(name, QStringLiteral(" :"), QString()));
    return QStringLiteral("Please select the source") + suffix;
}

void commitFormToRecord(const ProfileForm& form, User_Profile_Class& record) {
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFormField& f = form[i];
        ProfileFieldRef r = record.field(i);
        r.value = f.value;
        switch (f.source) {
        case 0:
            r.ds = 0;
            r.ds_name = QStringLiteral("");
            r.ds_indx = 0;
            r.xl = 0;
            r.xl_col_indx = 0;
            break;
        case 1:
            r.ds = 1;
            r.ds_name = f.listText;
            r.ds_indx = f.listIndex;
            r.xl = 0;
            r.xl_col_indx = 0;
            break;
        case 2:
            r.ds = 0;
            r.ds_name = QStringLiteral("");
            r.ds_indx = 0;
            r.xl = 1;
            r.xl_col_indx = f.listIndex;
            break;
        default:
            break;
        }
    }
}

ProfileStates profileStateFromItems(const GraphicList& items) {
    ProfileStates out;
    for (const GraphicPtr& g : items) {
        if (!g || (g->kind() != GraphicKind::Text && g->kind() != GraphicKind::Image) || !g->ctrl_is_visible)
            continue;
        const QString id = Trim_Str(g->control_ID);
        if (id.isEmpty())
            continue;
        const int field = profile::fieldOfId(id);
        if (field < 0)
            continue;
        ProfileItemState s;
        s.value = g->Text_Value;
        if (g->kind() == GraphicKind::Image && !g->_file_path.isEmpty())
            s.value = g->_file_path;
        s.dataSourceType = g->data_source_type;
        s.listIndex = g->data_source_type == 1   ? g->batch_list_index
                      : g->data_source_type == 2 ? g->excel_col_indx
                                                 : 0;
        s.seriesName = g->batch_list_name;
        out[field] = s;
    }
    return out;
}

ProfileStates profileStatesFromRecord(const User_Profile_Class& record) {
    ProfileStates out;
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFieldData f = record.fieldData(i);
        if (f.value.isEmpty())
            continue;
        ProfileItemState s;
        s.value = f.value;
        if (f.xl == 1) {
            s.dataSourceType = 2;
            s.listIndex = f.xl_col_indx;
        } else if (f.ds == 1) {
            s.dataSourceType = 1;
            s.listIndex = f.ds_indx;
            s.seriesName = f.ds_name;
        }
        out[i] = s;
    }
    return out;
}

ProfileFormField formFieldOf(const ProfileItemState& state) {
    ProfileFormField f;
    f.value = state.value;
    f.source = state.dataSourceType == 1 || state.dataSourceType == 2 ? state.dataSourceType : 0;
    f.listIndex = f.source != 0 ? state.listIndex : -1;
    f.listText = f.source == 1 ? state.seriesName : QString();
    return f;
}

namespace {
// Two sides show a field alike: the same value from the same source (a series name counts only for a
// series; items keep an old one after a change of source).
bool alike(const ProfileItemState& a, const ProfileItemState& b) {
    const ProfileFormField x = formFieldOf(a), y = formFieldOf(b);
    return x.value == y.value && x.source == y.source && x.listIndex == y.listIndex &&
           x.listText == y.listText;
}
} // namespace

std::array<BothSidesRow, 11> bothSidesRows(const ProfileStates& front, const ProfileStates& back,
                                           bool backCurrent) {
    std::array<BothSidesRow, 11> rows;
    for (int i = 0; i < profile::FieldCount; ++i) {
        BothSidesRow& r = rows[i];
        const auto& f = front[i];
        const auto& b = back[i];
        if (f && b && alike(*f, *b)) {
            r.shown = f;
            r.side = ProfileOnBoth;
            r.held = {true, true};
        } else if (f && (!b || !backCurrent)) {
            r.shown = f;
            r.side = ProfileOnFront;
            r.held = {true, false};
        } else if (b) {
            r.shown = b;
            r.side = ProfileOnBack;
            r.held = {false, true};
        }
    }
    return rows;
}

SideForm formForSide(const ProfileForm& form, const std::array<int, 11>& sides,
                     const std::array<BothSidesRow, 11>& rows, const ProfileStates& sideHolds, bool back) {
    SideForm out;
    const int self = back ? ProfileOnBack : ProfileOnFront;
    for (int i = 0; i < profile::FieldCount; ++i) {
        const ProfileFormField& f = form[i];
        const bool goesHere = sides[i] == self || sides[i] == ProfileOnBoth;
        if (!f.value.isEmpty() && goesHere) {
            out.form[i] = f;
        } else if (rows[i].held[back ? 1 : 0]) {
            out.form[i] = ProfileFormField{}; // emptied, or moved to the other side only
        } else {
            out.leave[i] = true;
            out.form[i] = sideHolds[i] ? formFieldOf(*sideHolds[i]) : ProfileFormField{};
        }
    }
    return out;
}
