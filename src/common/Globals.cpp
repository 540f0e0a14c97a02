#include "common/Globals.h"

QString Resource_Path;
QString Data_Folder_Path;
int Card_Front_Or_Back = 0;
int Card_Shape = 0;
QString CARD_SIDE_STR = QStringLiteral("2");
std::atomic<bool> Not_Draw_Only_Prop_Change{false};
std::atomic<bool> Card_Value_In_Process{false};
QString Cutom_Msg_Title;
QString Cutom_Msg_Val;
int Msg_Apply_All_Chk = 0;
std::atomic<bool> Stop_SMS_Sending_Now{false};
QString Library_Selected_Image;
QString lib_window_sel_file;
float last_ctrl_X = 10.0f;
float last_ctrl_Y = 10.0f;
