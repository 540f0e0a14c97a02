#include "profile/ProfileFill.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "profile/ProfileFields.h"
#include "profile/User_Profile_Class.h"

#include <QFileInfo>
#include "common/PictureReader.h"

bool isLoadablePicture(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const pictures::PictureInfo info = pictures::inspectFile(path);
    return info.readable() && info.size.isValid();
}

void applyProfileBinding(SKTGraphic& item, const User_Profile_Class& record, int field) {
    const ProfileFieldData f = record.fieldData(field);
    if (f.ds == 1) {
        item.Set_Data_source_type(1);
        item.Set_Batch_List_Name(f.ds_name);
        item.Set_Batch_List_Index(f.ds_indx);
        item.Set_Excel_binding(false);
    }
    if (f.xl == 1) {
        item.Set_Data_source_type(2);
        item.Set_Excel_binding(true);
        item.Set_Excel_binding_Index(f.xl_col_indx);
    }
    if (f.ds != 1 && f.xl != 1)
        item.Set_Data_source_type(0);
}

void Fill_User_profile_info(const User_Profile_Class& record, ProfileSide& side, const ProfilePlacer& placer,
                            const ProfileFieldMask& leave) {
    try {
        QStringList hidden;
        for (int i = 0; i < profile::FieldCount; ++i)
            if (!leave[i])
                hidden << profile::fieldInfo(i).controlId;
        // The photo's item as shown before, for a read of its new picture that is stopped.
        const GraphicPtr shownPhoto = side.findItem(profile::fieldInfo(profile::PhotoField).controlId);
        const bool photoVisible = shownPhoto && shownPhoto->ctrl_is_visible;
        side.hideProfileItems(hidden);
        side.setTool(2);
        for (int i = 0; i < profile::FieldCount; ++i) {
            if (leave[i])
                continue;
            const ProfileFieldData f = record.fieldData(i);
            const QString value = f.value; // as the record holds it: blanks count as a value
            if (value.isEmpty())
                continue;
            const QString id = f.id;
            const bool photo = i == profile::PhotoField;
            GraphicPtr existing = side.findItem(id);
            ProfilePlace place;
            if (!existing && placer)
                place = placer(id);
            if (photo) {
                Library_Selected_Image = value;
                side.setTool(8);
                // A picture that does not load must not take the old picture away from the item.
                if (existing && !isLoadablePicture(value)) {
                    Show_NSLog_Message(value);
                    applyProfileBinding(*existing, record, i);
                    continue;
                }
            }
            GraphicPtr item =
                side.replaceOrCreate(photo ? QStringLiteral("SKTImage") : QStringLiteral("SKTText"),
                                     !existing, place.rect, value, id);
            if (item && !existing && place.pointSize > 0 && item->kind() == GraphicKind::Text)
                item->text_ctrl_font.setPointSizeF(place.pointSize);
            if (item)
                applyProfileBinding(*item, record, i);
            else if (photo && existing == shownPhoto && existing)
                existing->ctrl_is_visible = photoVisible; // stopped: the item stays as it was
        }
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}
