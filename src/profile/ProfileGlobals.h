#pragma once

// Set when a profile dialog ends with OK; cleared for each new design. The front and back fills act only
// while it is set.
extern bool Fill_User_Profile;
