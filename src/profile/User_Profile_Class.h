#pragma once

// The profile of one card side: eleven fixed fields, each with its value, the control ID of the card item
// that shows it, a label ID and its data source (typed, a series list or a data-table column). Kept in
// memory only; the card items it produces are what a design file stores.

#include <QString>
#include <QtGlobal>

class User_Profile_Class;

// The members of one field, reached by reference so that code can walk the fields in record order.
struct ProfileFieldRef {
    QString& value;
    QString& id;
    QString& label_id;
    qint8& ds;
    QString& ds_name;
    qint32& ds_indx;
    qint8& xl;
    qint32& xl_col_indx;
};

// A copy of one field's members.
struct ProfileFieldData {
    QString value, id, label_id;
    qint8 ds = 0;
    QString ds_name;
    qint32 ds_indx = 0;
    qint8 xl = 0;
    qint32 xl_col_indx = 0;
};

class User_Profile_Class {
public:
    static constexpr int FieldCount = 11;

    User_Profile_Class() = default;

    // Reserved control and label IDs back, every value, series name, index and flag cleared.
    void Reset_All_Values();

    // Field i (0..10) in record order; i outside that range is clamped.
    ProfileFieldRef field(int i);
    ProfileFieldData fieldData(int i) const;
    const QString& valueOf(int i) const;

    qint8 Fill_User_Profile_Enable = 0;
    qint8 Excel_Binding = 0;

    qint8 Name_ds = 0, Title_ds = 0, Company_name_ds = 0, slogan_ds = 0, address_ds = 0, phone_ds = 0,
          fax_ds = 0, email_ds = 0, website_ds = 0, unique_ds = 0, image_ds = 0;
    qint32 Name_ds_indx = 0, Title_ds_indx = 0, Company_name_ds_indx = 0, slogan_ds_indx = 0,
           address_ds_indx = 0, phone_ds_indx = 0, fax_ds_indx = 0, email_ds_indx = 0, website_ds_indx = 0,
           unique_ds_indx = 0, image_ds_indx = 0;
    qint8 Name_xl = 0, Title_xl = 0, Company_name_xl = 0, slogan_xl = 0, address_xl = 0, phone_xl = 0,
          fax_xl = 0, email_xl = 0, website_xl = 0, unique_xl = 0, image_xl = 0;
    qint32 Name_xl_col_indx = 0, Title_xl_col_indx = 0, Company_name_xl_col_indx = 0, slogan_xl_col_indx = 0,
           address_xl_col_indx = 0, phone_xl_col_indx = 0, fax_xl_col_indx = 0, email_xl_col_indx = 0,
           website_xl_col_indx = 0, unique_xl_col_indx = 0, image_xl_col_indx = 0;
    QString Name_id, Title_id, Company_name_id, slogan_id, address_id, phone_id, fax_id, email_id, website_id,
        unique_id, image_id;
    QString Name_label_id, Title_label_id, Company_name_label_id, slogan_label_id, address_label_id,
        phone_label_id, fax_label_id, email_label_id, website_label_id, unique_label_id, image_label_id;
    QString Name, Title, Company_name, slogan, address, phone, fax, email, website, unique, image;
    QString Name_ds_name, Title_ds_name, Company_name_ds_name, slogan_ds_name, address_ds_name, phone_ds_name,
        fax_ds_name, email_ds_name, website_ds_name, unique_ds_name, image_ds_name;
};
