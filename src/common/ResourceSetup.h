#pragma once

// The per-user data folder (Resource_Path) and the resources shipped with the program.

#include <QString>

// NAVU_RESOURCE_PATH when set, else the application's data folder (QStandardPaths::AppDataLocation).
QString defaultResourcePath();

// Sets Resource_Path to path (made absolute) and Data_Folder_Path to its "DataSet" folder.
void setResourcePath(const QString& path);

// The folder of resources shipped with the program: NAVU_SHIPPED_RESOURCES when set, else "resources" next to
// the executable, else "../share/navu-photo-frame/resources" beside it, else the installed share folder and
// the source tree the program was built from (the source tree first when the program runs from its build
// tree). Empty when none exists.
QString shippedResourcesFolder();

// Copies every file of from (sub-folders included; links and hidden files skipped) into to where no file of
// that name exists;
// files already there are never touched. Gives the number of files copied, or -1 when any copy failed
// (or to lies inside from).
int copyMissingResources(const QString& from, const QString& to);

// Start-up: sets Resource_Path when it is not set yet, creates it and the working folders, and copies the
// shipped resources in where absent. Failures are logged; false when the folders could not be made.
bool setupResources();
