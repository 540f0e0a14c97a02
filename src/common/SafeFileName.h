#pragma once

// Names that become file names (series, templates, attachments) and the paths built from them.
// A safe name has no separators, reserved or control characters anywhere, is not "", "." or "..",
// does not start with a dot and is at most kMaxFileNameLength characters (kMaxFileNameBytes in UTF-8) long.

#include <QString>

constexpr qsizetype kMaxFileNameLength = 120;
// Bound in UTF-8 bytes, so that name, extension and a temporary suffix fit the file system's 255 bytes.
constexpr qsizetype kMaxFileNameBytes = 200;

// Empty when name is safe as it stands, else a message for the user saying what is wrong.
QString fileNameProblem(const QString& name);
bool isSafeFileName(const QString& name);

// A safe name made from any text: reserved and control characters removed, leading dots and blanks
// dropped, cut to the length bound. Gives fallback (when that is safe) or an empty text when nothing is left.
QString makeSafeFileName(const QString& name, const QString& fallback = QString());

// Joins folder and a relative name (which may hold sub-folders) and checks that the result stays inside the
// folder once ".." and symbolic links are resolved. The folder must exist. Gives the path under the folder's
// canonical path, or an empty text when the name is absolute, empty, names the folder itself or would lead
// outside it.
QString pathInsideFolder(const QString& folder, const QString& relativeName);

// folder + "/" + name + extension (extension with its dot, may be empty) when name is safe and the path
// stays inside folder; otherwise an empty text and, when problem is given, the reason for the user.
QString safeFilePath(const QString& folder, const QString& name, const QString& extension,
                     QString* problem = nullptr);
