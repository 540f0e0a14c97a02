#pragma once

// The main window seen from the inspector: canvases, side settings and commands of SKTWindowController.

#include "app/inspector/InspectorHost.h"
#include "wizards/MainPhoto.h"

class SKTWindowController;
class SKTGraphicView;

class WindowInspectorHost : public InspectorHost {
public:
    explicit WindowInspectorHost(SKTWindowController* window) : m_window(window) {}

    GraphicList selectedGraphics() override;
    GraphicPtr currentGraphic() override;
    void setCurrentGraphic(const GraphicPtr& item) override;
    void Clear_Control_Selection() override;
    bool There_Is_Frame_Pic_Or_Frame_Photo() override;
    void startEditingGraphic(const GraphicPtr& item) override;
    void Refresh_Canvas() override;
    GraphicList sideGraphics(int side) override;
    QRectF frontCanvasBounds() override;
    GraphicPtr frontGraphicWithId(const QString& controlId) override;
    void setFrontCurrentGraphic(const GraphicPtr& item) override;
    GraphicList& frontGraphicsArray() override;
    void frontGraphicsChanged() override;
    void setDocumentCanvasSize(const QSizeF& size) override;
    Card_Property& cardProperty(int side) override;
    void pushUndoCommand(QUndoCommand* command) override;
    void beginCardEdit() override;
    void endCardEdit(const QString& text, const QString& mergeKey) override;
    void Print_object_chk_changed(int state) override;
    void Show_RHS_Properties(const GraphicPtr& item) override;
    void selectArrowTool() override;
    void Enable_Standard_Button_For_Control() override;
    void Enable_Standard_Button_For_Unlock() override;
    void Disable_Standard_Button_For_Card() override;
    void Disable_Standard_Button_For_Lock() override;
    void setOrderAndLockButtonsEnabled(bool enabled) override;
    bool Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error = nullptr) override;
    void Open_Barcode_Window() override;
    void Unlock_Clicked() override;
    void arrangeCommand(const QString& command) override;

private:
    SKTGraphicView* view() const;
    SKTWindowController* m_window;
    MainPhoto m_photo; // used only when no start road keeps the main photo
};
