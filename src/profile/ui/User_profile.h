#pragma once

// The both-sides profile dialog, opened by the card wizards and the template browser with an empty side: it
// shows what the two sides hold, field by field with the side it is on, and its OK writes the front and the
// back record, each field to the sides its side list names. Opened from a card it shows the current side's
// profile items.

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
    SideForm formFor(bool back) const override;

    // What the sides hold, when the opener knows better than the card (a profile given earlier that still
    // waits to be applied): front, back. Used by the next opening without a card, then dropped.
    std::optional<std::array<ProfileStates, 2>> givenStates;

    QLabel* Template_picture = nullptr;
    QImage templateImage; // what Template_picture shows

protected:
    QWidget* buildPictureArea() override;

private:
    bool _bothSides = false;
    std::array<BothSidesRow, 11> _rows;
    std::array<ProfileStates, 2> _sideStates;
};
