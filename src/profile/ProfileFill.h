#pragma once

// Puts a profile record on a card side: hides every reserved profile item of the side, then, field by
// field in record order, gives each non-empty field's item its value (replacing the item that carries the
// field's ID or creating it at its default place), makes it visible and writes its binding from the record.
// Nothing is ever deleted.

#include "canvas/SKTGraphic.h"
#include "profile/ProfileForm.h"
#include "profile/ProfilePlacement.h"

#include <QRectF>
#include <QString>
#include <functional>

class User_Profile_Class;

// What a fill needs of the side it works on; the window implements it over a canvas.
class ProfileSide {
public:
    virtual ~ProfileSide() = default;
    // ctrl_is_visible off on every text or picture item whose control_ID is one of ids.
    virtual void hideProfileItems(const QStringList& ids) = 0;
    // The first text or picture item, from the front, whose control_ID is id.
    virtual GraphicPtr findItem(const QString& id) = 0;
    // Replaces the value of the item with the ID or creates it (text "SKTText", picture "SKTImage"); gives
    // the item that now shows the value (the canvas's current item), or nullptr when none does (a picture
    // whose read was stopped).
    virtual GraphicPtr replaceOrCreate(const QString& className, bool useRect, const QRectF& rect,
                                       const QString& value, const QString& id) = 0;
    // The window's current tool and picture path for new picture items.
    virtual void setTool(int tool) = 0;
};

// The place of a new item of the reserved ID (and a new text's point size, when not the side's).
using ProfilePlacer = std::function<ProfilePlace(const QString& id)>;

// Fills the record into the side; fields in leave stay as the side has them. A photo whose file is missing or
// not a readable picture leaves an existing photo item as it was (hidden, old picture); it is logged.
void Fill_User_profile_info(const User_Profile_Class& record, ProfileSide& side, const ProfilePlacer& placer,
                            const ProfileFieldMask& leave = {});

// Binding of a filled item from field i of the record.
void applyProfileBinding(SKTGraphic& item, const User_Profile_Class& record, int field);

// True when path names a picture file that loads.
bool isLoadablePicture(const QString& path);
