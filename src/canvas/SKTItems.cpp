#include "canvas/SKTItems.h"

#include "canvas/CanvasHost.h"
#include "canvas/ItemArchive.h"
#include "canvas/ItemPainting.h"

#include <QDir>
#include <QFileInfo>
#include "common/PictureReader.h"
#include "imaging/ProcessedImageCache.h"

#include <QImageReader>

#include <cmath>

// ---- SKTGraphic ----------------------------------------------------------------------------------------

std::shared_ptr<SKTGraphic> SKTGraphic::clone() const
{
    // Every field goes through the archive; the pictures are shared copy-on-write instead of being
    // encoded and decoded again, which keeps the copy just as independent.
    ItemArchiveOptions options;
    options.includePictures = false;
    const PlistPtr archive = archiveItemPlist(*this, options);
    GraphicPtr copy = unarchiveItemPlist(archive.get());
    if (!copy)
        return nullptr;
    copy->_image = _image;
    copy->_barcode_image = _barcode_image;
    copy->_barcode_value = _barcode_value;
    copy->_barcode_shows_value = _barcode_shows_value;
    return copy;
}

// ---- SKTText -------------------------------------------------------------------------------------------

QString SKTText::cappedText(const QString& text, int maxLength)
{
    if (maxLength <= 0)
        return {};
    if (text.size() <= maxLength)
        return text;
    qsizetype n = maxLength;
    if (text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

void SKTText::setText(const QString& text)
{
    const QString capped = cappedText(text);
    _Text_contents = capped;
    Text_Value = capped;
}

void SKTText::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    // Measured exactly as the item draws its text.
    const QSizeF size = ItemPainting::naturalTextSize(*this);
    if (size.isEmpty())
        return;
    _bounds.setSize(size);
}

// ---- SKTImage ------------------------------------------------------------------------------------------

QString SKTImage::standardizedPath(const QString& path)
{
    QString p = path.trimmed();
    if (p.isEmpty())
        return {};
    if (p == QLatin1String("~"))
        p = QDir::homePath();
    else if (p.startsWith(QLatin1String("~/")))
        p = QDir::homePath() + p.mid(1);
    return QDir::cleanPath(p);
}

SKTImage::SKTImage(bool notifyHost)
{
    if (notifyHost) {
        if (CanvasHost* host = canvasHost())
            host->resetImageEditingControls();
    }
}

SKTSignature::SKTSignature(bool notifyHost) : SKTImage(notifyHost) {}

ItemPicture SKTImage::loadPicture(const QString& path, QString* error)
{
    return ItemPicture::fromFile(standardizedPath(path), error);
}

void SKTImage::setFilePath(const QString& path)
{
    _file_path = path;
    const ItemPicture before = _image;
    if (control_ID == QLatin1String("PARTY_IMAGE")) {
        CanvasHost* host = canvasHost();
        _image = host ? host->mainPhotoImage() : ItemPicture();
    } else {
        _pictureError.clear();
        _image = path.isEmpty() ? ItemPicture() : loadPicture(path, &_pictureError);
    }
    // The canvas keeps showing the picture it had until the new one is decoded.
    ProcessedImageCache::showUntilMade(_image, before);
}

void SKTImage::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    _isFlippedVertically = false;
    _isFlippedHorizontally = false;
    if (_image.isNull())
        return;
    _bounds.setSize(QSizeF(_image.size()));
}

// ---- factory -------------------------------------------------------------------------------------------

GraphicPtr makeGraphicOfClass(const QString& className, bool notifyHost)
{
    if (className == QLatin1String("SKTText"))
        return std::make_shared<SKTText>();
    if (className == QLatin1String("SKTImage"))
        return std::make_shared<SKTImage>(notifyHost);
    if (className == QLatin1String("SKTSignature"))
        return std::make_shared<SKTSignature>(notifyHost);
    if (className == QLatin1String("Shape_Control"))
        return std::make_shared<Shape_Control>();
    if (className == QLatin1String("SKTLine"))
        return std::make_shared<SKTLine>();
    if (className == QLatin1String("SKTBarcode"))
        return std::make_shared<SKTBarcode>();
    return nullptr;
}

QStringList undrawablePictureLines(const GraphicList& items, const QString& side)
{
    QStringList lines;
    for (const GraphicPtr& item : items) {
        if (!item || (item->kind() != GraphicKind::Image && item->kind() != GraphicKind::Signature) ||
            !item->_image.claimReport())
            continue;
        const QString file = QFileInfo(item->_file_path).fileName();
        lines << (file.isEmpty() ? QStringLiteral("The picture of an item on the %1 cannot be drawn. %2").arg(side)
                                 : QStringLiteral("The picture \"%1\" of an item on the %2 cannot be drawn. %3")
                                       .arg(file, side))
                     .arg(item->_image.drawError());
    }
    return lines;
}

QString undrawablePictureNotice(const QStringList& lines)
{
    if (lines.isEmpty())
        return {};
    return lines.join(QLatin1Char('\n')) +
           QStringLiteral("\nSuch an item shows the empty picture and keeps its picture as it came, so saving "
                          "loses nothing; choose a picture for it to replace it.");
}
