#pragma once

// What the inspector asks of the window that hosts it. The main window implements it; tests use a small
// fake. "Current side" is the side Card_Front_Or_Back names (0 front, otherwise back).

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUndoCommand>

class InspectorHost {
public:
    virtual ~InspectorHost() = default;

    // --- canvases ---
    // Selected items of the current side's canvas, in array order.
    virtual GraphicList selectedGraphics() = 0;
    // The current side's current item (the one last created, clicked or replaced).
    virtual GraphicPtr currentGraphic() = 0;
    virtual void setCurrentGraphic(const GraphicPtr& item) { Q_UNUSED(item); }
    virtual void Clear_Control_Selection() = 0;
    // True when the current side's selection holds the main photo or the frame picture.
    virtual bool There_Is_Frame_Pic_Or_Frame_Photo() = 0;
    virtual void startEditingGraphic(const GraphicPtr& item) { Q_UNUSED(item); }
    virtual void Refresh_Canvas() = 0;
    // The items of a side (0 front, 1 back), front-most first.
    virtual GraphicList sideGraphics(int side) = 0;
    // The front canvas's bounds (all canvases have one size), in points.
    virtual QRectF frontCanvasBounds() = 0;
    // The front item with that control ID, or null.
    virtual GraphicPtr frontGraphicWithId(const QString& controlId) = 0;
    // The front side's live item array, and the notice that code changed it directly.
    virtual GraphicList& frontGraphicsArray() = 0;
    virtual void frontGraphicsChanged() {}
    // Makes the front canvas's current item.
    virtual void setFrontCurrentGraphic(const GraphicPtr& item) { Q_UNUSED(item); }
    // New card size in points for the document and all three canvases.
    virtual void setDocumentCanvasSize(const QSizeF& size) = 0;

    // Takes an edit of items for the document's undo stack; without one the edit simply stays.
    virtual void pushUndoCommand(QUndoCommand* command) { delete command; }
    // An edit of the card sides' settings (and what follows from them: the frame picture, the content font
    // and colour of the texts) lies between these calls; nested calls make one step. A merge key joins the
    // steps of one stepper into one.
    virtual void beginCardEdit() {}
    virtual void endCardEdit(const QString& text, const QString& mergeKey) {
        Q_UNUSED(text);
        Q_UNUSED(mergeKey);
    }
    // The print check box: the print flag of the selected unlocked items, nothing else.
    virtual void Print_object_chk_changed(int state) {
        for (const GraphicPtr& g : selectedGraphics())
            if (g && !g->ctrl_is_locked)
                g->print_object = state;
        Refresh_Canvas();
    }

    // --- card side settings: 0 front, 1 back ---
    virtual Card_Property& cardProperty(int side) = 0;

    // --- window operations ---
    // The window's inspector entry point (it forwards to the inspector and keeps its own state).
    virtual void Show_RHS_Properties(const GraphicPtr& item) = 0;
    virtual void selectArrowTool() {}
    virtual void Enable_Standard_Button_For_Control() {}
    virtual void Enable_Standard_Button_For_Unlock() {}
    virtual void Disable_Standard_Button_For_Card() {}
    virtual void Disable_Standard_Button_For_Lock() {}
    // Front, Back, Lock and Unlock buttons together: false turns them off, true leaves the lock's set.
    virtual void setOrderAndLockButtonsEnabled(bool enabled) { Q_UNUSED(enabled); }
    // Reloads the main photo from a file and records its path (the "PARTY_IMAGE" item shows it); false, with
    // the main photo as it was and the reason in *error, when the file cannot become it.
    virtual bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error = nullptr) {
        Q_UNUSED(path);
        Q_UNUSED(changePath);
        Q_UNUSED(error);
        return false;
    }
    virtual void Open_Barcode_Window() {}
    virtual void Unlock_Clicked() {}
    // Arrange commands of the alignment page: "left", "right", "top", "bottom", "hcenter", "vcenter",
    // "center", "samewidth", "sameheight", "natural", "grid".
    virtual void arrangeCommand(const QString& command) { Q_UNUSED(command); }
};
