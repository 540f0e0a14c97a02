#pragma once

// The eleven profile fields in record order: their captions, reserved control IDs, label IDs and the names
// of their dialog controls and placeholder views.

#include <QString>
#include <QStringList>

// Captions naming a field in the dialogs' validation message.
extern const QString Title_Name;
extern const QString Title_Title;
extern const QString Title_Company_name;
extern const QString Title_slogan;
extern const QString Title_address;
extern const QString Title_phone;
extern const QString Title_fax;
extern const QString Title_email;
extern const QString Title_website;
extern const QString Title_unique;
extern const QString Title_image;

struct ProfileFieldInfo {
    QString stem;        // "Name", "Company_name", ...
    QString caption;     // "Name :"
    QString controlId;   // "Fup_Name"
    QString labelId;     // "Fup_lbl_Name"
    QString prefix;      // dialog control prefix: "name_", "comp_name_", ...
    QString placeholder; // placeholder view: "name_default" (portrait adds "_V")
};

namespace profile {
constexpr int FieldCount = 11;
constexpr int PhotoField = 10;

const ProfileFieldInfo& fieldInfo(int i);
// The eleven reserved control IDs in record order.
const QStringList& reservedIds();
// Record position of a reserved ID; -1 for any other text.
int fieldOfId(const QString& id);
} // namespace profile
