#include "profile/ui/CanvasProfileSide.h"

#include "canvas/ui/SKTGraphicView.h"
#include "profile/ProfileFields.h"

CanvasProfileSide::CanvasProfileSide(SKTGraphicView* view, std::function<void(int)> setTool)
    : _view(view), _setTool(std::move(setTool)) {}

void CanvasProfileSide::hideProfileItems(const QStringList& ids) {
    if (ids.size() == profile::FieldCount) {
        _view->Hide_all_Text_control_FUP_Control();
        return;
    }
    for (const GraphicPtr& g : _view->graphics())
        if (g && (g->kind() == GraphicKind::Text || g->kind() == GraphicKind::Image) &&
            ids.contains(g->control_ID))
            g->ctrl_is_visible = false;
    _view->update();
}

GraphicPtr CanvasProfileSide::findItem(const QString& id) {
    return _view->Selcect_Ctrl_With_ID(id);
}

GraphicPtr CanvasProfileSide::replaceOrCreate(const QString& className, bool useRect, const QRectF& rect,
                                              const QString& value, const QString& id) {
    return _view->ReplaceGraphicText(className, nullptr, useRect, rect, _view->cardSide(), value, id);
}

void CanvasProfileSide::setTool(int tool) {
    if (_setTool)
        _setTool(tool);
    else
        _view->setTool(tool);
}
