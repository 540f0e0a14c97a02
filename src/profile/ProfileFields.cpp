#include "profile/ProfileFields.h"

#include <algorithm>
#include <array>

const QString Title_Name = QStringLiteral("Name :");
const QString Title_Title = QStringLiteral("Position / Title :");
const QString Title_Company_name = QStringLiteral("Company Name :");
const QString Title_slogan = QStringLiteral("Company Slogan :");
const QString Title_address = QStringLiteral("Address :");
const QString Title_phone = QStringLiteral("Phone No. :");
const QString Title_fax = QStringLiteral("Fax No. :");
const QString Title_email = QStringLiteral("Email Id :");
const QString Title_website = QStringLiteral("Website :");
const QString Title_unique = QStringLiteral("Unique No. :");
const QString Title_image = QStringLiteral("Photo :");

namespace profile {

namespace {
const std::array<ProfileFieldInfo, FieldCount>& table() {
    static const std::array<ProfileFieldInfo, FieldCount> fields = {{
        {"Name", Title_Name, "Fup_Name", "Fup_lbl_Name", "name_", "name_default"},
        {"Title", Title_Title, "Fup_Title", "Fup_lbl_Title", "title_", "title_default"},
        {"Company_name", Title_Company_name, "Fup_Company", "Fup_lbl_Company", "comp_name_",
         "comp_name_default"},
        {"slogan", Title_slogan, "Fup_CompanySlogan", "Fup_lbl_CompanySlogan", "slogan_", "slogan_default"},
        {"address", Title_address, "Fup_Address", "Fup_lbl_Address", "address_", "address_default"},
        {"phone", Title_phone, "Fup_PhoneNO", "Fup_lbl_PhoneNO", "phone_", "phone_default"},
        {"fax", Title_fax, "Fup_FaxNo", "Fup_lbl_FaxNo", "fax_", "fax_default"},
        {"email", Title_email, "Fup_EmailID", "Fup_lbl_EmailID", "email_", "email_default"},
        {"website", Title_website, "Fup_Website", "Fup_lbl_Website", "website_", "website_default"},
        {"unique", Title_unique, "Fup_UniqueNo", "Fup_lbl_UniqueNo", "unique_", "unique_default"},
        {"image", Title_image, "Fup_Photo", "Fup_lbl_Photo", "image_", "photo_default"},
    }};
    return fields;
}
} // namespace

const ProfileFieldInfo& fieldInfo(int i) {
    return table()[std::clamp(i, 0, FieldCount - 1)];
}

const QStringList& reservedIds() {
    static const QStringList ids = [] {
        QStringList out;
        for (const ProfileFieldInfo& f : table())
            out << f.controlId;
        return out;
    }();
    return ids;
}

int fieldOfId(const QString& id) {
    return int(reservedIds().indexOf(id));
}

} // namespace profile
