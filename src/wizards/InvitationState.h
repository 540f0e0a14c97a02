#pragma once

// The start wizard's answers and the main photo's settings, shared by the wizard, the editor window,
// the design file and the per-row fill.

#include <QString>

// Answers of the start wizard for a new card (empty when not given).
extern QString Invite_Title;
extern QString Invite_To;
extern QString Invite_Message;
extern QString Invite_Date;
extern QString Invite_Time;
extern QString Invite_Venue;
extern QString Invite_From;
extern QString Invite_Frame_Pic_IMG; // path of the main photo (saved with the design)
extern QString Invite_Frame_IMG;     // path of the frame picture over the whole card

// Main photo adjustments.
extern bool IMG_gray_Scale;
extern bool IMG_Sepia;
extern bool IMG_invert_clr;
extern float IMG_hue_val;
extern float IMG_sat_val;
extern float IMG_brt_val;
extern float IMG_con_val;
extern float IMG_srp_val;
extern float IMG_ev_val;
extern float IMG_blr_val;
extern float IMG_trnsp_val; // percent, 100 opaque
extern float IMG_rotate_image;

// The text last accepted in the ready-made text picker.
extern QString Template_Msg_Val;
// The name last accepted by the template name window.
extern QString export_template_name;

// The adjustments as one value, so they can be edited, stored and compared together.
struct PhotoSettings {
    bool gray_Scale = false;
    bool Sepia = false;
    bool invert_clr = false;
    float hue_val = 0.0f;
    float sat_val = 1.0f;
    float brt_val = 0.0f;
    float con_val = 1.0f;
    float srp_val = 0.0f;
    float ev_val = 0.0f;
    float blr_val = 0.0f;
    float trnsp_val = 100.0f;
    float rotate_image = 0.0f;

    bool operator==(const PhotoSettings&) const = default;
    // The whole degrees the pipeline rotates by (truncated toward zero).
    int rotationDegrees() const { return static_cast<int>(rotate_image); }
};

PhotoSettings currentPhotoSettings(); // from the IMG_* globals
void setCurrentPhotoSettings(const PhotoSettings& s);

// Empties the wizard's answers and restores the start values of the photo settings.
void resetInvitationState();
