// The editor window's side of the user profiles: the three records, the profile command, the side fills
// and the default places of new profile items.

#include "app/SKTWindowController.h"

#include "app/inspector/InspectorPanel.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/StringHelpers.h"
#include "data/BatchState.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/BindingCombos.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/View_Data_Series.h"
#include "profile/ProfileFill.h"
#include "profile/ProfileGlobals.h"
#include "profile/ProfilePlacement.h"
#include "profile/ui/CanvasProfileSide.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

namespace {
class WindowProfileHost : public ProfileDialogHost {
public:
    explicit WindowProfileHost(SKTWindowController* window) : _w(window) {}
    GraphicList sideItems(bool back) override {
        return back ? _w->Get_Back_Controls_Array() : _w->Get_Front_Controls_Array();
    }
    User_Profile_Class& profileRecord(CardSide side) override {
        switch (side) {
        case CardSide::Back:
            return _w->Back_user_profile;
        case CardSide::Temp:
            return _w->TEMP_user_profile;
        case CardSide::Front:
            break;
        }
        return _w->Front_user_profile;
    }
    void Temp_Design_Control_Assign() override { _w->Temp_Design_Control_Assign(); }
    void Fill_User_profile_info_TEMP_side() override { _w->Fill_User_profile_info_TEMP_side(); }
    GraphicList Get_Temp_Controls_Array() override { return _w->Get_Temp_Controls_Array(); }
    QImage renderSide(const GraphicList& items) override {
        return SKTRenderingView::image_From_Card_Graphics(items, false, _w->currentCardProperty(), Card_Shape,
                                                          _w->document()->canvasSize());
    }

private:
    SKTWindowController* _w;
};
} // namespace

void SKTWindowController::setUpProfiles() {
    Front_user_profile.Reset_All_Values();
    Back_user_profile.Reset_All_Values();
    TEMP_user_profile.Reset_All_Values();
    _profileHost = std::make_unique<WindowProfileHost>(this);

    User_Profile_Action = new QAction(tr("User Profile..."), this);
    User_Profile_Action->setObjectName(QStringLiteral("User_Profile_Action"));
    connect(User_Profile_Action, &QAction::triggered, this,
            &SKTWindowController::User_Profile_Button_Clicked);
    for (QAction* menu : menuBar()->actions()) {
        if (menu->menu() && menu->text() == tr("&Edit")) {
            menu->menu()->addSeparator();
            menu->menu()->addAction(User_Profile_Action);
        }
    }
}

void SKTWindowController::resetProfilesForNewDesign() {
    Fill_User_Profile = false;
    _bothSidesProfilePending = false;
    Front_user_profile.Reset_All_Values();
    Back_user_profile.Reset_All_Values();
}

void SKTWindowController::User_Profile_Button_Clicked() {
    const bool back = Card_Front_Or_Back != 0;
    const int code = Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F"));
    if (code == 1) {
        if (back)
            Fill_User_profile_info_back_side();
        else
            Fill_User_profile_info_front_side();
        // The inspector follows the canvas's selection, which the fill may have moved to a new item.
        Show_RHS_Properties(currentGraphicView()->selectedGraphics().value(0));
    }
    Refresh_Canvas();
}

int SKTWindowController::Open_User_Profile_Window(bool fromCard, const QString& loadSide) {
    const QString side = Trim_Str(loadSide);
    ProfileDialogBase* dialog = side.isEmpty()
                                    ? static_cast<ProfileDialogBase*>(User_profile::defaultInstance())
                                    : Show_User_Profile::defaultInstance();
    if (dialog->parentWidget() != this)
        dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
    dialog->setHost(_profileHost.get());
    if (!dialog->viewSeries) {
        dialog->viewSeries = [](const QString& name) {
            View_Data_Series* viewer = View_Data_Series::defaultInstance();
            viewer->file_name = name;
            viewer->Open_Wnd();
        };
        dialog->openSeriesManager = [] { BatchWizard::defaultInstance()->Open_Wnd(); };
        dialog->importWorkbook = [](const QString& path) {
            Import_Excel* sheet = Import_Excel::defaultInstance();
            sheet->open_mode = QStringLiteral("E");
            sheet->Open_excel_Wnd(path);
        };
    }
    dialog->load_side = side;
    const int code = dialog->Open_Wnd(fromCard);
    if (code == 1)
        Fill_User_Profile = true;
    return code;
}

int SKTWindowController::Open_Both_Sides_Profile() {
    const int code = Open_User_Profile_Window(false, QString());
    if (code == 1)
        _bothSidesProfilePending = true;
    return code;
}

void SKTWindowController::Fill_Both_Sides_Profile() {
    if (!_bothSidesProfilePending)
        return;
    _bothSidesProfilePending = false;
    Fill_User_profile_info_front_side();
    Fill_User_profile_info_back_side();
    Show_RHS_Properties(currentGraphicView()->selectedGraphics().value(0));
    Refresh_Canvas();
}

QRectF SKTWindowController::Get_Control_Rect_From_Template(const QString& controlId) const {
    const ProfileTemplates templates =
        Show_User_Profile_Window ? Show_User_Profile_Window->templates() : ProfileTemplates::defaults();
    return ::Get_Control_Rect_From_Template(controlId, Front_card_Prop.Card_Size, templates);
}

void SKTWindowController::fillProfileSide(SKTGraphicView* view, const User_Profile_Class& record) {
    // The canvas needs the tool only while it creates items; the palette keeps showing the user's tool.
    const int tool = Selected_Control_Tool;
    CanvasProfileSide side(view, [this](int t) { Selected_Control_Tool = t; });
    Fill_User_profile_info(record, side,
                           [this](const QString& id) { return Get_Control_Rect_From_Template(id); });
    Selected_Control_Tool = tool;
}

// The inspector offers "Excel" exactly while a workbook with rows is bound to the design.
void SKTWindowController::updateInspectorExcelEntry() {
    if (_inspector && _inspector->Data_source_type) {
        if (Excel_Binding_Use)
            Add_Excel_Col_Name_In_Combo(_inspector->Data_source_type);
        else
            Remove_Excel_Col_Name_In_Combo(_inspector->Data_source_type);
    }
}

void SKTWindowController::Fill_User_profile_info_front_side() {
    updateInspectorExcelEntry();
    if (!Fill_User_Profile)
        return;
    fillProfileSide(_graphicView, Front_user_profile);
}

void SKTWindowController::Fill_User_profile_info_back_side() {
    updateInspectorExcelEntry();
    if (!Fill_User_Profile)
        return;
    fillProfileSide(_graphicView_BACK, Back_user_profile);
}

void SKTWindowController::Fill_User_profile_info_TEMP_side() {
    // The scratch side is no part of the design: its new items are not undo steps of the design.
    const bool undo = _document->isUndoRegistrationEnabled();
    _document->setUndoRegistrationEnabled(false);
    fillProfileSide(_graphicView_TEMP, TEMP_user_profile);
    _document->setUndoRegistrationEnabled(undo);
}
