#include "profile/ProfileGlobals.h"

bool Fill_User_Profile = false;
