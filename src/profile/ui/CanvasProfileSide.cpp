#include "profile/ui/CanvasProfileSide.h"

#include "canvas/ui/SKTGraphicView.h"

CanvasProfileSide::CanvasProfileSide(SKTGraphicView* view, std::function<void(int)> setTool)
    : _view(view), _setTool(std::move(setTool)) {}

void CanvasProfileSide::hideProfileItems() {
    _view->Hide_all_Text_control_FUP_Control();
}

GraphicPtr CanvasProfileSide::findItem(const QString& id) {
    return _view->Selcect_Ctrl_With_ID(id);
}

GraphicPtr CanvasProfileSide::replaceOrCreate(const QString& className, bool useRect, const QRectF& rect,
                                              const QString& value, const QString& id) {
    _view->ReplaceGraphicText(className, nullptr, useRect, rect, _view->cardSide(), value, id);
    return _view->_Selected_Graphic;
}

void CanvasProfileSide::setTool(int tool) {
    if (_setTool)
        _setTool(tool);
    else
        _view->setTool(tool);
}
