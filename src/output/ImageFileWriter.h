#pragma once

// Writing exported pictures: each file type holds its own format (PNG, JPEG at quality 95, lossless TIFF,
// BMP, GIF), the resolution is recorded where the format has room for it, and files are replaced atomically
// (written beside, then renamed) without a disk sync per file; a batch syncs once at its end.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ImageFileWriter {

// The format name of an export type or file extension ("PNG", "jpg", "Tiff", ...): "png", "jpeg", "tiff",
// "bmp" or "gif"; empty when unknown.
QString formatFor(const QString& typeOrExtension);
// The extension the program gives files of an export type: "png", "jpg", "tif", "bmp" or "gif"; "png" for
// an unknown type.
QString fileExtension(const QString& type);
// The format a file at `path` is written in: its extension's when that is known, else the chosen type's,
// else PNG.
QString formatForPath(const QString& path, const QString& chosenType);

// The file data of the picture in the format. Formats without transparency get the picture over white.
// Empty, with the reason, when it cannot be encoded.
QByteArray encode(const QImage& image, const QString& format, QString* error = nullptr);

// Replaces the file with the data: written to a temporary file in the same folder and renamed over it, so an
// old file is replaced only by a complete new one; a link's target is replaced, the link kept, where the link
// rule of FileHelpers allows it (else nothing is written and *error names the file). No sync to disk.
bool writeAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// Flushes the file system holding the folder to disk (once, at the end of a batch).
void syncFolder(const QString& folder);

} // namespace ImageFileWriter
