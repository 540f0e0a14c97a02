#pragma once

// Ready-made titles and messages: "Title.txt" and "Message.txt" in the resource folder, one text per line.

#include <QString>
#include <QStringList>

namespace readytexts {
inline constexpr qint64 MaxFileBytes = 1024 * 1024;
inline constexpr int MaxEntries = 5000;

// The non-empty trimmed lines of a UTF-8 text file; empty when the file is missing, too large or unreadable.
QStringList load(const QString& path);
// "Title.txt" for "T", else "Message.txt", under the resource folder.
QString filePath(const QString& titleOrMsg);
} // namespace readytexts
