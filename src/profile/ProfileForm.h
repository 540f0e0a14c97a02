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
};
// Per field the last visible text or picture item (exact kinds) with the field's reserved ID (trimmed);
// fields without such an item give nothing. A picture item's value is its file path (its Text_Value when
// it has none), so the photo comes back into the form.
std::array<std::optional<ProfileItemState>, 11> profileStateFromItems(const GraphicList& items);
