#pragma once

// The both-sides profile dialog, opened by the card wizards with an empty side: its OK writes the front and
// the back record. Opened from a card it shows the current side's profile items.

#include "profile/ui/ProfileDialogBase.h"

class User_profile : public ProfileDialogBase {
    Q_OBJECT
public:
    explicit User_profile(QWidget* parent = nullptr);
    ~User_profile() override;
    static User_profile* defaultInstance();

    void prepareOpening(bool fromCard) override;
    void Reset_all_Ctrl() override;
    void Create_and_Set_template_picture();

    QLabel* Template_picture = nullptr;
    QImage templateImage; // what Template_picture shows

protected:
    QWidget* buildPictureArea() override;
};
