#pragma once

// The frame pictures of the gallery, listed from the resource folder "Frames", in a user-defined order.

#include <QList>
#include <QString>

struct FrameEntry {
    QString path;
    QString name; // file name, also its identifier
    QString uid;
};

class FrameGallery {
public:
    // Lists the "png" and "jpg" files (any case) of the folder by name. A missing folder leaves the list
    // as it was and returns false.
    bool Load_and_fill_backgrounds(const QString& folder);
    // Appends an entry; an empty (trimmed) path is ignored.
    void addImageWithPath(const QString& path, const QString& name, const QString& uid);
    // Moves the entries at the indexes, as one block in their order, before the entry at destination
    // (counted before the move). Out-of-range or repeated indexes are refused with false.
    bool moveItemsAtIndexes(QList<int> indexes, int destination);

    int count() const { return static_cast<int>(m_images.size()); }
    const FrameEntry* itemAtIndex(int index) const;
    const QList<FrameEntry>& images() const { return m_images; }

private:
    QList<FrameEntry> m_images;
};
