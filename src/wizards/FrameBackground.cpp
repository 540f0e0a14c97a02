#include "wizards/FrameBackground.h"

#include "canvas/SKTItems.h"
#include "imaging/ProcessedImageCache.h"

GraphicPtr findPictureItem(const GraphicList& items, const QString& controlId) {
    for (const GraphicPtr& g : items)
        if (g && g->kind() == GraphicKind::Image && g->control_ID == controlId)
            return g;
    return nullptr;
}

GraphicPtr setFrontFramePicture(Card_Property& front, GraphicList& frontItems, const QString& path,
                                QString* error) {
    if (path.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("No picture was chosen.");
        return nullptr;
    }
    // Read once: the record and the item share the picture.
    const ItemPicture picture = SKTImage::loadPicture(path, error);
    if (picture.isNull())
        return nullptr;
    front.Card_fill_chk = 1;
    front.Card_BG_Image_Path = path;
    front.Card_BG_Image = picture;

    GraphicPtr item = findPictureItem(frontItems, QStringLiteral("PARTY_IMAGE_BG"));
    if (!item) {
        item = makeGraphicOfClass(QStringLiteral("SKTImage"));
        item->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        item->_bounds = QRectF(front.Card_Location, front.Card_Size);
        item->_isDrawingStroke = false;
        item->_isDrawingFill = false;
        frontItems.insert(0, item);
    }
    item->_file_path = path;
    ProcessedImageCache::showUntilMade(picture, item->_image);
    item->_image = picture;
    return item;
}

namespace {
// The frame item's picture when that item shows the side's background file.
ItemPicture framePictureOf(const Card_Property& side, const GraphicList& items) {
    const GraphicPtr frame = findPictureItem(items, QStringLiteral("PARTY_IMAGE_BG"));
    if (frame && !frame->_image.isNull() &&
        SKTImage::standardizedPath(frame->_file_path) == SKTImage::standardizedPath(side.Card_BG_Image_Path))
        return frame->_image;
    return {};
}
} // namespace

ItemPicture backgroundPictureOf(const Card_Property& side, const GraphicList& items, QString* error) {
    const QString& path = side.Card_BG_Image_Path;
    if (path.isEmpty())
        return {};
    if (ItemPicture picture = framePictureOf(side, items); !picture.isNull())
        return picture;
    return SKTImage::loadPicture(path, error);
}

bool backgroundHeldByFrame(const Card_Property& side, const GraphicList& items) {
    return !side.Card_BG_Image_Path.isEmpty() && !side.Card_BG_Image.isNull() &&
           framePictureOf(side, items) == side.Card_BG_Image;
}
