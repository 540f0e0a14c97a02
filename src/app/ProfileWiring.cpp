// The editor window's side of the user profiles: the three records, the profile command, the side fills
// and the default places of new profile items.

#include "app/SKTWindowController.h"

#include "app/inspector/InspectorPanel.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/StringHelpers.h"
#include "data/BatchState.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/View_Data_Series.h"
#include "profile/ProfileFields.h"
#include "profile/ProfileFill.h"
#include "profile/ProfileGlobals.h"
#include "profile/ProfilePlacement.h"
#include "profile/ui/CanvasProfileSide.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

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
    Front_user_profile.Reset_All_Values();
    Back_user_profile.Reset_All_Values();
}

void SKTWindowController::User_Profile_Button_Clicked() {
    const bool back = Card_Front_Or_Back != 0;
    int code = 0;
    const CardEditState start = captureCardEdit();
    const User_Profile_Class front = Front_user_profile, backRecord = Back_user_profile;
    // The dialog's OK also binds the design to the data table: one step with the fill.
    recordCardEdit(tr("User Profile"), back ? 1 : 0, [&] {
        code = Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F"));
        if (code != 1) {
            // Cancel keeps nothing of the dialog: no workbook it imported, no cell edited, no record an
            // OK refused half-way committed.
            Front_user_profile = front;
            Back_user_profile = backRecord;
            revertCardEdit(start);
            return;
        }
        if (back)
            Fill_User_profile_info_back_side();
        else
            Fill_User_profile_info_front_side();
    });
    // The inspector follows the canvas's selection, which the fill may have moved to a new item.
    if (code == 1)
        Show_RHS_Properties(currentGraphicView()->selectedGraphics().value(0));
    Refresh_Canvas();
}

int SKTWindowController::Open_User_Profile_Window(bool fromCard, const QString& loadSide, QWidget* over) {
    const QString side = Trim_Str(loadSide);
    ProfileDialogBase* dialog = side.isEmpty()
                                    ? static_cast<ProfileDialogBase*>(User_profile::defaultInstance())
                                    : Show_User_Profile::defaultInstance();
    // A dialog opened from another one (the wizard, the template browser) stands in front of it.
    QWidget* parent = over ? over : this;
    if (dialog->parentWidget() != parent)
        dialog->setParent(parent, dialog->windowFlags() | Qt::Dialog);
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
    if (parent != this)
        dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
    if (code == 1)
        Fill_User_Profile = true;
    return code;
}

int SKTWindowController::Open_Both_Sides_Profile(QWidget* over) {
    User_profile* dialog = User_profile::defaultInstance();
    // A profile given earlier in this action opens again as it would land.
    for (qsizetype a = _profileActions.size() - 1; a >= 0; --a) {
        const GivenProfile& earlier = _profileActions[a];
        if (!earlier.given)
            continue;
        std::array<ProfileStates, 2> states;
        for (int s : {0, 1}) {
            const ProfileStates card =
                profileStateFromItems(s ? Get_Back_Controls_Array() : Get_Front_Controls_Array());
            states[s] = profileStatesFromRecord(s ? earlier.back : earlier.front);
            for (int i = 0; i < profile::FieldCount; ++i)
                if (earlier.leave[s][i])
                    states[s][i] = card[i];
        }
        dialog->givenStates = states;
        break;
    }
    // The dialog commits into the window's records; they stay the design's until the profile is applied.
    const User_Profile_Class front = Front_user_profile, back = Back_user_profile;
    const bool fill = Fill_User_Profile;
    const bool sheetInUse = Excel_Binding_Use;
    const QString sheetPath = Excel_Source_Path;
    Data_From_Excel* table = Data_From_Excel::defaultInstance();
    const quint64 tableRevision = table->revision();
    const QStringList tableTitles = table->columnTitles();
    const DataTableContent tableRows = table->content();
    const CardEditState start = captureCardEdit();
    const bool held = std::exchange(_profileHoldsTable, true);
    followTableWindowUndo();
    const auto release = qScopeGuard([this, held] {
        _profileHoldsTable = held;
        followTableWindowUndo();
    });
    // What the dialog puts on the card meanwhile (a series' new first row) is one step, or nothing once
    // cancelled.
    beginCardEdit();
    const int code = Open_User_Profile_Window(false, QString(), over);
    dialog->givenStates.reset();
    GivenProfile given{code == 1, Front_user_profile, Back_user_profile, dialog->committedLeave,
                       Excel_Binding_Use, Excel_Source_Path, {}};
    // A workbook imported in the dialog lands with the profile, on the design its action leaves.
    if (table->revision() != tableRevision) {
        given.table.emplace(table->columnTitles(), table->content());
        table->setContent(tableTitles, tableRows);
        // The design's own table is back: no change of the step.
        if (_cardEditDepth == 1 && _cardEditBefore && _cardEditBefore->sheetRevision == tableRevision)
            _cardEditBefore->sheetRevision = table->revision();
    }
    Front_user_profile = front;
    Back_user_profile = back;
    Fill_User_Profile = fill;
    // The sheet binding the dialog set (OK, or Cancel after an import) lands with the profile or not at all.
    Excel_Binding_Use = sheetInUse;
    Excel_Source_Path = sheetPath;
    // Cancelled, nothing of it stays: not the first row a series edited in the dialog put on the card.
    if (!given.given)
        revertCardEdit(start);
    endCardEdit(tr("First Data Row"));
    if (given.given) {
        if (_profileActions.isEmpty())
            applyGivenProfile(given);
        else
            _profileActions.last() = given;
    }
    return code;
}

void SKTWindowController::beginProfileAction() {
    _profileActions.append(GivenProfile{});
}

void SKTWindowController::endProfileAction(bool completed) {
    if (_profileActions.isEmpty())
        return;
    const GivenProfile done = _profileActions.takeLast();
    if (!completed || !done.given)
        return;
    if (_profileActions.isEmpty())
        applyGivenProfile(done);
    else
        _profileActions.last() = done;
}

void SKTWindowController::applyGivenProfile(const GivenProfile& profile) {
    Front_user_profile = profile.front;
    Back_user_profile = profile.back;
    Fill_User_Profile = true;
    const bool front =
        std::find(profile.leave[0].begin(), profile.leave[0].end(), false) != profile.leave[0].end();
    recordCardEdit(tr("User Profile"), front ? 0 : 1, [this, &profile] {
        Excel_Binding_Use = profile.sheetInUse;
        Excel_Source_Path = profile.sheetPath;
        if (profile.table)
            Data_From_Excel::defaultInstance()->setContent(profile.table->first, profile.table->second);
        updateInspectorExcelEntry();
        fillProfileSide(_graphicView, Front_user_profile, profile.leave[0]);
        fillProfileSide(_graphicView_BACK, Back_user_profile, profile.leave[1]);
    });
    Show_RHS_Properties(currentGraphicView()->selectedGraphics().value(0));
    Refresh_Canvas();
}

QRectF SKTWindowController::Get_Control_Rect_From_Template(const QString& controlId) const {
    const ProfileTemplates templates =
        Show_User_Profile_Window ? Show_User_Profile_Window->templates() : ProfileTemplates::defaults();
    return ::Get_Control_Rect_From_Template(controlId, Front_card_Prop.Card_Size, templates);
}

void SKTWindowController::fillProfileSide(SKTGraphicView* view, const User_Profile_Class& record,
                                          const ProfileFieldMask& leave) {
    const Card_Property& prop = view == _graphicView_BACK ? Back_card_Prop
                                : view == _graphicView    ? Front_card_Prop
                                                          : currentCardProperty();
    // New items go to their default places, or off the side's texts: those it shows and the profile items
    // this fill is about to show. Planned once, when the first new item is met, for every field that needs
    // one.
    std::optional<QHash<QString, ProfilePlace>> plan;
    auto placer = [&](const QString& id) {
        if (!plan) {
            GraphicList texts;
            QList<QRectF> profileBoxes; // profile items keep clear of each other's boxes too
            for (const GraphicPtr& g : view->graphics()) {
                if (!g || (g->kind() != GraphicKind::Text && g->kind() != GraphicKind::Image))
                    continue;
                const int f = profile::fieldOfId(g->control_ID);
                if (!g->ctrl_is_visible && (f < 0 || leave[f] || record.valueOf(f).isEmpty()))
                    continue;
                if (f >= 0)
                    profileBoxes << g->_bounds;
                if (g->kind() == GraphicKind::Text)
                    texts << g;
            }
            QList<NewProfileItem> items;
            for (int i = 0; i < profile::FieldCount; ++i) {
                const QString fieldId = profile::fieldInfo(i).controlId;
                if (!leave[i] && !record.valueOf(i).isEmpty() && !view->Selcect_Ctrl_With_ID(fieldId))
                    items.append({fieldId, Get_Control_Rect_From_Template(fieldId), i != profile::PhotoField,
                                  record.valueOf(i)});
            }
            plan = placeNewProfileItems(TextInkMap(Front_card_Prop.Card_Size, texts, profileBoxes), items,
                                        prop.Card_Content_font);
        }
        return plan->value(id, ProfilePlace{Get_Control_Rect_From_Template(id), 0});
    };
    // The canvas needs the tool only while it creates items; the palette keeps showing the user's tool.
    const int tool = Selected_Control_Tool;
    CanvasProfileSide side(view, [this](int t) { Selected_Control_Tool = t; });
    Fill_User_profile_info(record, side, placer, leave);
    Selected_Control_Tool = tool;
}

// The inspector offers "Excel" by its own rule (a data table with rows, or an inspected item bound to a
// column), without its choice handler: nothing is rebound.
void SKTWindowController::updateInspectorExcelEntry() {
    if (_inspector)
        _inspector->offerExcelChoice(_inspector->Last_Selected_Graphic().get());
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
