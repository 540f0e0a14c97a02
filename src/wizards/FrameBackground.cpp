#include "wizards/FrameBackground.h"

#include "canvas/SKTItems.h"
#include "wizards/MainPhoto.h"

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
    QImage picture = MainPhoto::readPicture(path, error);
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
    static_cast<SKTImage&>(*item).setFilePath(path);
    return item;
}
