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

std::array<std::optional<ProfileItemState>, 11> profileStateFromItems(const GraphicList& items) {
    std::array<std::optional<ProfileItemState>, 11> out;
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
