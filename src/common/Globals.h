#pragma once

// Process-wide state shared across the program. Folders are set once at start-up, before any worker runs;
// the flags read by workers are atomic.

#include <QString>
#include <atomic>

extern QString Resource_Path;    // per-user data folder
extern QString Data_Folder_Path; // Resource_Path/"DataSet": series files

extern int Card_Front_Or_Back; // 0 front, 1 back: the side every command acts on
extern int Card_Shape;         // 0 rectangle, 1 rounded rectangle (radius 10), 2 ellipse
extern QString CARD_SIDE_STR;  // "2" two-sided, "1" single-sided

extern std::atomic<bool> Not_Draw_Only_Prop_Change; // set while panels are loaded
extern std::atomic<bool> Card_Value_In_Process;     // set while a batch fills data rows

extern QString Cutom_Msg_Title; // texts of the long-message dialog
extern QString Cutom_Msg_Val;
extern int Msg_Apply_All_Chk;

extern std::atomic<bool> Stop_SMS_Sending_Now; // set by the progress sheet's Stop; batch workers poll it

extern QString Library_Selected_Image; // picture path for a new picture item
extern QString lib_window_sel_file;    // last picture chosen in the picture library

extern float last_ctrl_X; // cascade position of the next new item without a place
extern float last_ctrl_Y;
