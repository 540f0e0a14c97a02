#pragma once

// The current-side profile dialog of the main window: the form is loaded from the side's profile items;
// each text field has a caption field, and captions and values are unlocked by check boxes. Its
// placeholder views give new profile items their default places.

#include "profile/ProfilePlacement.h"
#include "profile/ui/ProfileDialogBase.h"

class Show_User_Profile : public ProfileDialogBase {
    Q_OBJECT
public:
    explicit Show_User_Profile(QWidget* parent = nullptr);
    ~Show_User_Profile() override;
    static Show_User_Profile* defaultInstance();

    void prepareOpening(bool fromCard) override;
    void Reset_all_Ctrl() override;
    void Create_and_Set_template_picture() { Create_and_Set_Preview_picture(); }

    // The frames of the placeholder views and the landscape template box.
    ProfileTemplates templates() const;

    // Placeholder views by name ("name_default", "name_default_V", ..., "photo_default_V") and the boxes.
    QWidget* placeholder(const QString& name) const;
    QWidget* horz_template = nullptr;
    QWidget* vert_template = nullptr;

protected:
    QWidget* buildPictureArea() override;

private:
    void wireCheckBoxes();
};

// The current-side dialog once it exists; the side fills read its placeholder views.
extern Show_User_Profile* Show_User_Profile_Window;
