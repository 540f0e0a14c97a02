#include "app/inspector/WindowInspectorHost.h"

#include "app/SKTWindowController.h"
#include "canvas/SideUndoCommand.h"
#include "canvas/ui/SKTGraphicView.h"
#include "common/Globals.h"

#include <QAction>

SKTGraphicView* WindowInspectorHost::view() const {
    return m_window->currentGraphicView();
}

GraphicList WindowInspectorHost::selectedGraphics() {
    return view()->selectedGraphics();
}
GraphicPtr WindowInspectorHost::currentGraphic() {
    return view()->_Selected_Graphic;
}
void WindowInspectorHost::setCurrentGraphic(const GraphicPtr& item) {
    view()->_Selected_Graphic = item;
}
void WindowInspectorHost::Clear_Control_Selection() {
    view()->Clear_Control_Selection();
}
bool WindowInspectorHost::There_Is_Frame_Pic_Or_Frame_Photo() {
    return view()->There_Is_Frame_Pic_Or_Frame_Photo();
}
void WindowInspectorHost::startEditingGraphic(const GraphicPtr& item) {
    view()->startEditingGraphic(item);
}
void WindowInspectorHost::Refresh_Canvas() {
    m_window->Refresh_Canvas();
}

GraphicList WindowInspectorHost::sideGraphics(int side) {
    return side == 0 ? m_window->Get_Front_Controls_Array() : m_window->Get_Back_Controls_Array();
}

QRectF WindowInspectorHost::frontCanvasBounds() {
    return QRectF(QPointF(0, 0), m_window->_graphicView ? m_window->_graphicView->canvasSize() : QSizeF());
}

GraphicPtr WindowInspectorHost::frontGraphicWithId(const QString& controlId) {
    return m_window->_graphicView->Selcect_Ctrl_With_ID(controlId);
}

void WindowInspectorHost::setFrontCurrentGraphic(const GraphicPtr& item) {
    m_window->_graphicView->_Selected_Graphic = item;
}

GraphicList& WindowInspectorHost::frontGraphicsArray() {
    return m_window->Get_Front_Controls_Array();
}

void WindowInspectorHost::frontGraphicsChanged() {
    m_window->document()->notifyGraphicsChanged(CardSide::Front);
}

void WindowInspectorHost::setDocumentCanvasSize(const QSizeF& size) {
    m_window->SetDocumentCanvasSize(size);
    m_window->_graphicView->Refresh_ScrollView();
    m_window->Refresh_Canvas();
}

Card_Property& WindowInspectorHost::cardProperty(int side) {
    return side == 0 ? m_window->Front_card_Prop : m_window->Back_card_Prop;
}

void WindowInspectorHost::pushUndoCommand(QUndoCommand* command) {
    SKTDocument* doc = m_window->document();
    if (!doc || !doc->isUndoRegistrationEnabled()) {
        delete command;
        return;
    }
    // The edit was made on the side whose canvas the inspector serves.
    if (auto* sided = dynamic_cast<SideUndoCommand*>(command); sided && sided->cardSide() < 0)
        sided->setCardSide(Card_Front_Or_Back != 0 ? 1 : 0);
    doc->undoManager()->push(command);
    m_window->Undo_Redo_Button_state();
}

void WindowInspectorHost::beginCardEdit() {
    m_window->beginCardEdit();
}

void WindowInspectorHost::endCardEdit(const QString& text, const QString& mergeKey) {
    m_window->endCardEdit(text, mergeKey);
}

void WindowInspectorHost::Print_object_chk_changed(int state) {
    m_window->Print_object_chk_changed(state);
}

void WindowInspectorHost::Show_RHS_Properties(const GraphicPtr& item) {
    m_window->Show_RHS_Properties(item);
}
void WindowInspectorHost::selectArrowTool() {
    m_window->selectArrowTool();
}
void WindowInspectorHost::Enable_Standard_Button_For_Control() {
    m_window->Enable_Standard_Button_For_Control();
}
void WindowInspectorHost::Enable_Standard_Button_For_Unlock() {
    m_window->Enable_Standard_Button_For_Unlock();
}
void WindowInspectorHost::Disable_Standard_Button_For_Card() {
    m_window->Disable_Standard_Button_For_Card();
}
void WindowInspectorHost::Disable_Standard_Button_For_Lock() {
    m_window->Disable_Standard_Button_For_Lock();
}

void WindowInspectorHost::setOrderAndLockButtonsEnabled(bool enabled) {
    // Enabled leaves them as the item's lock set them: Unlock only for a locked item, the others only for
    // an unlocked one.
    if (enabled)
        return;
    for (QAction* a :
         {m_window->Begin_Front_btn, m_window->Send_Back_btn, m_window->Lock_btn, m_window->Unlock_btn})
        a->setEnabled(false);
}

bool WindowInspectorHost::Update_frame_Main_Photo_And_Path(const QString& path, bool changePath, QString* error) {
    // The window's start road keeps the design's one main photo, the one saved with the design.
    if (hasMainPhotoLoader())
        return ::Update_frame_Main_Photo_And_Path(path, changePath, error);
    if (!m_photo.Update_frame_Main_Photo_And_Path(path, changePath, error))
        return false;
    m_window->setMainPhotoImage(m_photo.Main_Photo_image());
    return true;
}

void WindowInspectorHost::Open_Barcode_Window() {
    m_window->Open_Barcode_Window();
}
void WindowInspectorHost::Unlock_Clicked() {
    m_window->Unlock_Clicked();
}

void WindowInspectorHost::arrangeCommand(const QString& command) {
    using Fn = void (SKTWindowController::*)();
    static const QHash<QString, Fn> commands = {
        {QStringLiteral("left"), &SKTWindowController::Align_Left_Clicked},
        {QStringLiteral("right"), &SKTWindowController::Align_Right_Clicked},
        {QStringLiteral("top"), &SKTWindowController::Align_Top_Clicked},
        {QStringLiteral("bottom"), &SKTWindowController::Align_Bottom_Clicked},
        {QStringLiteral("hcenter"), &SKTWindowController::Align_Horz_Clicked},
        {QStringLiteral("vcenter"), &SKTWindowController::Align_Vert_Clicked},
        {QStringLiteral("center"), &SKTWindowController::Align_Center_Clicked},
        {QStringLiteral("samewidth"), &SKTWindowController::Make_Same_Width_Clicked},
        {QStringLiteral("sameheight"), &SKTWindowController::Make_Same_Height_Clicked},
        {QStringLiteral("natural"), &SKTWindowController::Make_Natural_Clicked},
        {QStringLiteral("grid"), &SKTWindowController::Align_To_Grid_Clicked},
    };
    if (const Fn fn = commands.value(command))
        (m_window->*fn)();
}
