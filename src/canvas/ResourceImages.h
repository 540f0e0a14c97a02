#pragma once

#include <QImage>
#include <QString>

// Pictures shipped in the resource folder (placeholders, hatch patterns), loaded once and shared.
// Thread-safe. Names that would leave their folder are refused.
class ResourceImages {
public:
    // Resource_Path/<name>; a null image when the file is missing or the name is not a plain file name.
    static QImage placeholder(const QString& fileName);
    // Resource_Path/"Fill_Style_Image"/<hatchName>.png
    static QImage hatch(const QString& hatchName);
    static void clear();

    static bool isPlainFileName(const QString& name);
};
