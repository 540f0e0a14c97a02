#pragma once

// The per-user data folder (Resource_Path) and the resources shipped with the program.

#include <QString>

// NAVU_RESOURCE_PATH when set, else the application's data folder (QStandardPaths::AppDataLocation).
QString defaultResourcePath();

// Sets Resource_Path to path (made absolute) and Data_Folder_Path to its "DataSet" folder.
void setResourcePath(const QString& path);

// The folder of resources shipped with the program: NAVU_SHIPPED_RESOURCES when set, else "resources" next to
// the executable, else "../share/navu-photo-frame/resources" beside it, else the installed share folder. A
// program run from its own build tree takes the source tree's resources first; an installed or copied
// program never reads the source tree. Folders that fail trustedPathProblem are passed over. Empty when
// none exists.
QString shippedResourcesFolder();

// The build tree the running program was built in (canonical) when the program runs from inside it; empty
// for an installed or copied program.
QString programBuildTree();

// Why a file or folder the program would run or read as its own cannot be trusted: it, or a folder above
// it, belongs to another user (root excepted) or can be written by other users (a sticky folder such as
// /tmp excepted, where others cannot replace what is ours). Empty when it can be trusted or does not exist.
QString trustedPathProblem(const QString& path);

// Copies every file of from (sub-folders included; links and hidden files skipped) into to where no file of
// that name exists;
// files already there are never touched. Gives the number of files copied, or -1 when any copy failed
// (or to lies inside from).
int copyMissingResources(const QString& from, const QString& to);

// Start-up: sets Resource_Path when it is not set yet, creates it and the working folders, and copies the
// shipped resources in where absent. Failures are logged; false when the folders could not be made.
bool setupResources();
