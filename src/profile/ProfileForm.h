#pragma once

// What the profile dialogs decide, without their windows: the form's state per field, its validation, its
// commit into a record and what a card side's profile items put into it.

#include "canvas/SKTGraphic.h"

#include <QString>
#include <array>
#include <optional>

class User_Profile_Class;

struct ProfileFormField {
    QString value;      // the value field's text (photo: the picture path)
    int source = 0;     // data-source entry: 0 typed, 1 series, 2 data-table column, -1 none selected
    int listIndex = -1; // selected entry of the series/column list, -1 none
    QString listText;   // its text
};
using ProfileForm = std::array<ProfileFormField, 11>;

// YES when every field with a series or column source has a series or column chosen; otherwise NO and
// *checkedFieldName is the caption of the first field that failed.
bool Check_Validation(const ProfileForm& form, QString* checkedFieldName);
// "Please select the source for 'Name'" for the caption "Name :".
QString profileValidationMessage(const QString& checkedFieldName);

// Writes the values and sources of the form into the record (no validation, no record flags). A field
// whose data source has no entry selected keeps its source members.
void commitFormToRecord(const ProfileForm& form, User_Profile_Class& record);

// A field as a card side shows it: the value and the binding of its reserved item.
struct ProfileItemState {
    QString value;
    int dataSourceType = 0;
    int listIndex = 0; // batch_list_index (series), excel_col_indx (column), else 0
    QString seriesName;

    bool operator==(const ProfileItemState&) const = default;
};
// Per field what a side shows; nothing for a field the side does not show.
using ProfileStates = std::array<std::optional<ProfileItemState>, 11>;
// Per field the last visible text or picture item (exact kinds) with the field's reserved ID (trimmed);
// fields without such an item give nothing. A picture item's value is its file path (its Text_Value when
// it has none), so the photo comes back into the form.
ProfileStates profileStateFromItems(const GraphicList& items);
// What a fill of the record puts on a side: its fields with a value.
ProfileStates profileStatesFromRecord(const User_Profile_Class& record);
// The form field that shows a state.
ProfileFormField formFieldOf(const ProfileItemState& state);

// Fields a fill leaves exactly as the side has them: not hidden, not filled.
using ProfileFieldMask = std::array<bool, 11>;

// The side list of a field in the both-sides dialog.
enum ProfileSideChoice { ProfileOnFront = 0, ProfileOnBack = 1, ProfileOnBoth = 2 };

// One field of the both-sides dialog as it opens.
struct BothSidesRow {
    std::optional<ProfileItemState> shown; // what the row shows; nothing when neither side has the field
    int side = ProfileOnBoth;
    std::array<bool, 2> held{}; // the front, the back shows what the row shows
};
// A field on one side opens with that side; the same on both with Both. When the two sides differ the
// row shows the current side's, and speaks for that side only: the other side keeps its own.
std::array<BothSidesRow, 11> bothSidesRows(const ProfileStates& front, const ProfileStates& back,
                                           bool backCurrent);

// What the both-sides form gives one side (back false: the front).
struct SideForm {
    ProfileForm form;
    ProfileFieldMask leave{};
};
// Per field: a value whose side list takes in this side goes there; a field the side showed in the row and
// that is now emptied or sent to the other side only is cleared; every other field is left as the side has
// it (sideHolds gives what that is, so that a preview of the form shows it too).
SideForm formForSide(const ProfileForm& form, const std::array<int, 11>& sides,
                     const std::array<BothSidesRow, 11>& rows, const ProfileStates& sideHolds, bool back);
