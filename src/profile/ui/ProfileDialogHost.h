#pragma once

// What the profile dialogs ask of the editor window, without including it.

#include "canvas/SKTDocument.h"
#include "canvas/SKTGraphic.h"

#include <QImage>

class User_Profile_Class;

class ProfileDialogHost {
public:
    virtual ~ProfileDialogHost() = default;
    // The live item array of the front or the back side.
    virtual GraphicList sideItems(bool back) = 0;
    // Front_user_profile, Back_user_profile or TEMP_user_profile.
    virtual User_Profile_Class& profileRecord(CardSide side) = 0;
    // The scratch side set up again from the current side (copies of its items).
    virtual void Temp_Design_Control_Assign() = 0;
    virtual void Fill_User_profile_info_TEMP_side() = 0;
    virtual GraphicList Get_Temp_Controls_Array() = 0;
    // Items drawn as a whole card side of the current side's settings.
    virtual QImage renderSide(const GraphicList& items) = 0;
};
