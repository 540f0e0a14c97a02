#include "wizards/FrameGallery.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

bool FrameGallery::Load_and_fill_backgrounds(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return false;
    m_images.clear();
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files) {
        const QString ext = f.suffix().toLower();
        if (ext == QStringLiteral("png") || ext == QStringLiteral("jpg"))
            addImageWithPath(f.absoluteFilePath(), f.fileName(), f.fileName());
    }
    return true;
}

void FrameGallery::addImageWithPath(const QString& path, const QString& name, const QString& uid) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return;
    m_images.append({trimmed, name, uid});
}

bool FrameGallery::moveItemsAtIndexes(QList<int> indexes, int destination) {
    std::sort(indexes.begin(), indexes.end());
    if (indexes.isEmpty() || std::adjacent_find(indexes.begin(), indexes.end()) != indexes.end())
        return false;
    if (indexes.front() < 0 || indexes.back() >= count() || destination < 0 || destination > count())
        return false;
    QList<FrameEntry> moved;
    for (int i : indexes)
        moved.append(m_images[i]);
    int before = 0;
    for (int i : indexes)
        if (i < destination)
            ++before;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
        m_images.removeAt(*it);
    const int at = destination - before;
    for (int k = 0; k < moved.size(); ++k)
        m_images.insert(at + k, moved[k]);
    return true;
}

const FrameEntry* FrameGallery::itemAtIndex(int index) const {
    return index >= 0 && index < count() ? &m_images[index] : nullptr;
}
