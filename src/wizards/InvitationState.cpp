#include "wizards/InvitationState.h"

QString Invite_Title;
QString Invite_To;
QString Invite_Message;
QString Invite_Date;
QString Invite_Time;
QString Invite_Venue;
QString Invite_From;
QString Invite_Frame_Pic_IMG;
QString Invite_Frame_IMG;

bool IMG_gray_Scale = false;
bool IMG_Sepia = false;
bool IMG_invert_clr = false;
float IMG_hue_val = 0.0f;
float IMG_sat_val = 1.0f;
float IMG_brt_val = 0.0f;
float IMG_con_val = 1.0f;
float IMG_srp_val = 0.0f;
float IMG_ev_val = 0.0f;
float IMG_blr_val = 0.0f;
float IMG_trnsp_val = 100.0f;
float IMG_rotate_image = 0.0f;

QString Template_Msg_Val;
QString export_template_name;

PhotoSettings currentPhotoSettings() {
    PhotoSettings s;
    s.gray_Scale = IMG_gray_Scale;
    s.Sepia = IMG_Sepia;
    s.invert_clr = IMG_invert_clr;
    s.hue_val = IMG_hue_val;
    s.sat_val = IMG_sat_val;
    s.brt_val = IMG_brt_val;
    s.con_val = IMG_con_val;
    s.srp_val = IMG_srp_val;
    s.ev_val = IMG_ev_val;
    s.blr_val = IMG_blr_val;
    s.trnsp_val = IMG_trnsp_val;
    s.rotate_image = IMG_rotate_image;
    return s;
}

void setCurrentPhotoSettings(const PhotoSettings& s) {
    IMG_gray_Scale = s.gray_Scale;
    IMG_Sepia = s.Sepia;
    IMG_invert_clr = s.invert_clr;
    IMG_hue_val = s.hue_val;
    IMG_sat_val = s.sat_val;
    IMG_brt_val = s.brt_val;
    IMG_con_val = s.con_val;
    IMG_srp_val = s.srp_val;
    IMG_ev_val = s.ev_val;
    IMG_blr_val = s.blr_val;
    IMG_trnsp_val = s.trnsp_val;
    IMG_rotate_image = s.rotate_image;
}

void resetInvitationState() {
    for (QString* s : {&Invite_Title, &Invite_To, &Invite_Message, &Invite_Date, &Invite_Time, &Invite_Venue,
                       &Invite_From, &Invite_Frame_Pic_IMG, &Invite_Frame_IMG})
        s->clear();
    setCurrentPhotoSettings(PhotoSettings{});
}
