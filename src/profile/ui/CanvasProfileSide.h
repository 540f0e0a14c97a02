#pragma once

// A profile fill's side over a canvas: hiding, finding, replacing and creating go through the canvas so
// that new items are made and selected as the canvas makes any item.

#include "profile/ProfileFill.h"

#include <functional>

class SKTGraphicView;

class CanvasProfileSide : public ProfileSide {
public:
    // setTool stores the window's current tool.
    CanvasProfileSide(SKTGraphicView* view, std::function<void(int)> setTool);
    void hideProfileItems(const QStringList& ids) override;
    GraphicPtr findItem(const QString& id) override;
    GraphicPtr replaceOrCreate(const QString& className, bool useRect, const QRectF& rect,
                               const QString& value, const QString& id) override;
    void setTool(int tool) override;

private:
    SKTGraphicView* _view;
    std::function<void(int)> _setTool;
};
