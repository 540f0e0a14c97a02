#pragma once

// File and folder helpers shared by the whole program. None of them needs a window; messages go through
// the prompt seam (Prompt.h), failures of the system to the log.

#include <QDateTime>
#include <QFileDevice>
#include <QString>
#include <QUrl>
#include <functional>

#include "common/SaveFile.h"

class QImage;

// Permissions of every working folder the program creates: owner writes, others read.
constexpr QFileDevice::Permissions kFolderPermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                        QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                        QFileDevice::ExeOther;

// Creates path and its missing parents with kFolderPermissions (less whatever the umask takes away);
// folders that exist keep their permissions. True when the folder exists afterwards.
bool makeFolder(const QString& path);

// Creates the missing working folders: Data_Folder_Path and, under Resource_Path, "Frames",
// "Fill_Style_Image", "LibraryImage", "Templates" and "Templates"/"User". Failures are logged.
// True when all of them exist afterwards.
bool Check_Path_And_Create_Files();

// Removes the file or folder at path when it exists (a folder with its contents; a symbolic link itself,
// never what it points to). Failures are logged. True when nothing is left at path.
bool Delete_File(const QString& path);

// Opens "Help.pdf" of Resource_Path with its default application, else shows "Help file does not exist!";
// when the desktop has no program for it, says so.
void Open_Help_File();
// The message for a file or folder that the desktop has no program to open.
QString noProgramMessage(const QString& path);

// How documents are handed to their default application; tests replace it to record the URL.
using UrlOpener = std::function<bool(const QUrl&)>;
// Installs opener; an empty function restores the desktop's (QDesktopServices).
void setUrlOpener(UrlOpener opener);
// Opens url with the installed opener; false when it could not be opened.
bool openUrl(const QUrl& url);

// 0 when the trimmed path is not empty and names an existing file or folder; otherwise shows
// "Please select valid file path." and gives 1.
int Check_And_Validate_File_Path(const QString& path);

// The local path of a file URL (a URL without scheme gives its path); other URLs give an empty text.
QString Convert_Path_From_URL(const QUrl& url);

// Writes image as PNG data (whatever the path's extension) at its own size, atomically: the old file stays
// untouched until the new one is complete. On failure shows the path, then the reason, and gives false.
bool Save_gen_image(const QImage& image, const QString& file_path_val);

// The reason a write to `file` (at `path`) failed, for the user: the link rule's message when the path
// leads through a refused link; "The disk is full." when the file system ran out of room (savedErrno is
// errno taken right after the failing call); else the system's message.
QString writeErrorText(const QFileDevice& file, const QString& path, int savedErrno);
// Opens a SaveFile for writing and gives it the mode the finished file should have: a replaced file's own
// permissions less set-user-id, set-group-id, sticky and world-write bits; a new file the ordinary 0666 less
// the user's umask (077 keeps it private). Cards hold names, addresses and photos. errno as the failing call
// left it; a way through a link the rule refuses is not opened (writeErrorText then gives the reason).
bool openSaveFile(SaveFile& file);
// Finishes a SaveFile: everything written must be in the file (some writers, like QPdfWriter, do not check
// their writes) and, unless `sync` is false, on disk before the new file replaces the old one. False, the
// reason in *error and the old file kept when not.
bool commitSaveFile(SaveFile& file, QString* error, bool sync = true);
// Writes bytes through a SaveFile, so the old file stays whole until the new one is complete. Owner-only
// files (settings with a password) get their mode before anything is written. False and the reason in
// *error (see writeErrorText) when it could not.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         bool ownerOnly = false);

// The date and time at (now by default) formatted with a Qt date-time pattern in the default locale,
// e.g. "dd MMMM yyyy", "hh:mm AP".
QString Get_date_Value(const QString& pattern, const QDateTime& at = QDateTime::currentDateTime());
QString Get_time_Value(const QString& pattern, const QDateTime& at = QDateTime::currentDateTime());
