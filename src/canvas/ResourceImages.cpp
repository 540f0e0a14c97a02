#include "canvas/ResourceImages.h"

#include "common/Globals.h"

#include <QDir>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex cacheMutex;
QHash<QString, QImage> cachedImages; // absolute path -> picture

QImage loadCached(const QString& path)
{
    {
        QMutexLocker lock(&cacheMutex);
        const auto it = cachedImages.constFind(path);
        if (it != cachedImages.constEnd())
            return it.value();
    }
    QImage image(path);
    if (image.isNull())
        return image; // not remembered: the file may appear later
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QMutexLocker lock(&cacheMutex);
    cachedImages.insert(path, image);
    return image;
}

} // namespace

bool ResourceImages::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.size() > 255)
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QImage ResourceImages::placeholder(const QString& fileName)
{
    if (!isPlainFileName(fileName) || Resource_Path.isEmpty())
        return QImage();
    return loadCached(QDir(Resource_Path).filePath(fileName));
}

QImage ResourceImages::hatch(const QString& hatchName)
{
    if (!isPlainFileName(hatchName) || Resource_Path.isEmpty())
        return QImage();
    return loadCached(QDir(Resource_Path).filePath(QStringLiteral("Fill_Style_Image/") + hatchName +
                                                  QStringLiteral(".png")));
}

void ResourceImages::clear()
{
    QMutexLocker lock(&cacheMutex);
    cachedImages.clear();
}
