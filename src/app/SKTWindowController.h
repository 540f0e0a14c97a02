#pragma once

// The one main design window: the canvases of the front, back and scratch sides, the tool palette, the
// edit, side, arrange and grid commands, and the right-hand area where the inspector lives.

#include "app/CardEditCommand.h"
#include "canvas/CanvasHost.h"
#include "canvas/Card_Property.h"
#include "canvas/SKTDocument.h"
#include "canvas/ui/SKTGraphicView.h"
#include "profile/ProfileForm.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"

#include <QMainWindow>
#include <memory>
#include <QMutex>
#include <functional>
#include <optional>
#include <QPointer>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class Grid_Wizard;
class InspectorPanel;
class WindowInspectorHost;
class SKTGrid;
class Open_Export_Log;
class OutputCommands;
class Help_Support;
class WindowOutputHost;

// How the program's start builds the window; other callers build it whole at once.
struct WindowStart {
    // Runs once the canvases, actions, menus, toolbars, context menus and the inspector's empty dock are
    // built, before the inspector and the status bar, which measure text and read the user's folder: the
    // program reads the font configuration and checks that folder on other threads meanwhile.
    std::function<void()> beforeText;
    // The inspector's Background page, not shown at first, is built when first shown or needed
    // (InspectorPanel::ensureBackgroundPage); the program builds it once the window has shown itself.
    bool backgroundPageLater = false;
};

class SKTWindowController : public QMainWindow, public GraphicViewDelegate, public CanvasHost {
    Q_OBJECT
public:
    explicit SKTWindowController(SKTDocument* document, QWidget* parent = nullptr, const WindowStart& start = {});
    ~SKTWindowController() override;

    SKTDocument* document() const { return _document; }

    // --- canvases and sides ---
    SKTGraphicView* _graphicView;
    SKTGraphicView* _graphicView_BACK;
    SKTGraphicView* _graphicView_TEMP;
    // The canvas every command acts on: the back canvas when Card_Front_Or_Back is not 0, else the front.
    SKTGraphicView* currentGraphicView() const;
    void changeViewController(int index); // 0 front, 1 back, 2 TEMP; anything else changes nothing
    int shownViewIndex() const;
    void Select_front_side();
    void Select_back_side();
    void Select_temp_design_side();
    void Refresh_Canvas(); // nothing while Card_Value_In_Process; from another thread it is queued
    void SetDocumentCanvasSize(const QSizeF& size);

    GraphicList& Get_Front_Controls_Array();
    GraphicList& Get_Back_Controls_Array();
    GraphicList Get_Temp_Controls_Array() const;
    // The scratch side becomes deep copies of the current side's items.
    void Temp_Design_Control_Assign();

    Card_Property Front_card_Prop = Card_Property::defaults(QStringLiteral("F"));
    Card_Property Back_card_Prop = Card_Property::defaults(QStringLiteral("B"));
    Card_Property& currentCardProperty();
    // Paints the current side's card base (the shared painter with that side's settings).
    void Card_Base_Drawing(QPainter& painter, const QRectF& rect);
    // A menu for the window's bar, placed before Help so that Help stays last.
    QMenu* addWindowMenu(const QString& title);
    SKTGrid* _grid;

    // --- tools ---
    int Selected_Control_Tool = 0;
    void setSelectedTool(int tool);
    void selectArrowTool();
    QString currentGraphicClass() const;
    int currentGraphicTool() const override { return Selected_Control_Tool; }
    QPointF Control_New_Point(const QString& cardSide) override;
    // The open panel of the picture tool; replaceable for tests (empty: cancelled).
    std::function<QString()> choosePictureFile;

    // --- inspector entry point ---
    // Shows the panels for an item, or for the card side when item is null. The panels themselves belong to
    // the inspector; this decides the command states and remembers the inspected item.
    void Show_RHS_Properties(const GraphicPtr& item);
    GraphicPtr Last_Selected_Graphic;
    QTabWidget* sett_tab;
    InspectorPanel* inspector() const { return _inspector; }

    // --- command states ---
    void Undo_Redo_Button_state();
    void Enable_Standard_Button_For_Control();
    void Enable_Standard_Button_For_Unlock();
    void Disable_Standard_Button_For_Card();
    void Disable_Standard_Button_For_Lock();
    void Set_Paste_Button_Status();
    void Print_object_chk_changed(int state);
    QAction* Undo_btn;
    QAction* Redo_btn;
    QAction* Cut_btn;
    QAction* Copy_btn;
    QAction* Paste_btn;
    QAction* Delete_btn;
    QAction* Begin_Front_btn;
    QAction* Send_Back_btn;
    QAction* Lock_btn;
    QAction* Unlock_btn;
    QAction* Align_with_grid_btn;
    QLabel* Front_back_label;

    // --- edit commands ---
    // Undo and redo show the side the step was made on first.
    void Undo_Clicked();
    void Redo_Clicked();
    // Edits of the design between these calls are one undo step (nested calls join the outermost), the
    // steps the canvas and the inspector would make in between included. side: the side the edit belongs
    // to; -1 the current side.
    void beginCardEdit();
    void endCardEdit(const QString& text, const QString& mergeKey = {}, int side = -1);
    void recordCardEdit(const QString& text, int side, const std::function<void()>& edit);
    // The data table window undoes the design's steps only when no step or profile dialog is open.
    void followTableWindowUndo();
    // The main photo the design stores, kept by the start road, which installs these so that the steps
    // above take the photo along.
    std::function<MainPhotoState()> mainPhotoState;
    std::function<void(const MainPhotoState&)> restoreMainPhoto;
    CardEditState captureCardEdit() const;
    void restoreCardEdit(const CardEditState& state);
    // Inside a card edit: puts the design back as `start` caught it, so the edit records no step for it
    // (a dialog cancelled after it changed the design).
    void revertCardEdit(const CardEditState& start);
    void Cut_Clicked();
    void Copy_Clicked();
    void Paste_Clicked();
    void Delete_Clicked();
    void Select_All_Clicked();
    void Bring_Front_Clicked();
    void Send_Back_Clicked();
    void Lock_Clicked();
    void Unlock_Clicked();

    // --- arrange and grid ---
    void Align_Left_Clicked();
    void Align_Right_Clicked();
    void Align_Top_Clicked();
    void Align_Bottom_Clicked();
    void Align_Horz_Clicked();
    void Align_Vert_Clicked();
    void Align_Center_Clicked();
    void Make_Same_Width_Clicked();
    void Make_Same_Height_Clicked();
    void Make_Natural_Clicked();
    void Align_To_Grid_Clicked();
    void toggleGridConstraining();
    void toggleGridShowing();
    void Grid_Clr_Changed(const QColor& color);
    void Grid_Slider_Changed(int spacing);
    void Grid_Show_Hide_Changed(int state);

    // --- zoom ---
    void setZoom(double zoom);
    double zoom() const { return _zoom; }
    void Zoom_In();
    void Zoom_Out();
    void Zoom_Actual();

    // --- design reset ---
    // Settings of a new design: both sides' records, grid hidden, cascade back at 10, 10.
    void New_Project_Setting_Reset();
    // After the arrays were replaced (new design, loaded design): nothing refers to the old items.
    void Design_Replaced();

    // --- export-finished window; written is the true result of the export ---
    int Open_Export_File_Box(const QString& path, const QString& message, bool written,
                             const QString& details = {});
    Open_Export_Log* Open_Export_Files();

    // --- entry points filled by other parts of the program ---
    void Open_Barcode_Window(); // the barcode designer on the current item
    void Open_Design_Clicked();
    void Save_Design_Clicked();
    void Print_Button();
    void Export_Button();
    void Help_Button(); // the help window, run modally
    void Mail_Button();
    // Series and data-table commands (Data menu).
    void Batch_Series_Button();
    void Import_Wizard_Button();
    void Create_Series_Button();
    void Import_Sheet_Button();
    // Fills data row 0 of the series and the data table into the bound items of the design, as a print
    // leaves it; after the data changed.
    void Show_First_Row_On_Design();
    QAction* Open_Design_Action;
    QAction* Save_Design_Action;
    QAction* Print_Action;
    QAction* Export_Action;
    QAction* Mail_Action;
    QAction* Help_Action;
    // Print and export: the print dialog, the export window and the running batch export.
    OutputCommands* outputCommands();
    Help_Support* HelpWindow = nullptr;

    // CanvasHost
    ItemPicture mainPhotoImage() const override;
    QString mainPhotoPath() const override;
    void setMainPhotoImage(const ItemPicture& image);
    void resetImageEditingControls() override;

    QAction* toolAction(int tool) const;

    // --- user profiles (ProfileWiring.cpp) ---
    User_Profile_Class Front_user_profile;
    User_Profile_Class Back_user_profile;
    User_Profile_Class TEMP_user_profile;
    QAction* User_Profile_Action = nullptr;
    void User_Profile_Button_Clicked();
    // over: the window the dialog opens in front of (the main window when none).
    int Open_User_Profile_Window(bool fromCard, const QString& loadSide, QWidget* over = nullptr);
    void Fill_User_profile_info_front_side();
    void Fill_User_profile_info_back_side();
    void Fill_User_profile_info_TEMP_side();
    QRectF Get_Control_Rect_From_Template(const QString& controlId) const;
    ProfileDialogHost* profileHost() const { return _profileHost.get(); }
    // The profile buttons of the start wizard and the template browser: the both-sides dialog, in front of
    // over, showing what the design holds (or the profile given earlier in the same action). Its OK is
    // kept for the action it belongs to: a wizard run, a template browser run with the opening that
    // follows. Actions nest (the browser inside the wizard).
    int Open_Both_Sides_Profile(QWidget* over = nullptr);
    void beginProfileAction();
    // Ends the innermost action. Completed: its profile goes to the enclosing action, or onto the design
    // now (one undo step) when none encloses it. Otherwise the profile is dropped.
    void endProfileAction(bool completed);
    int openProfileActions() const { return int(_profileActions.size()); }

signals:
    // "SKTSelectedToolDidChange"
    void SKTSelectedToolDidChange(SKTWindowController* controller);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCanvases();
    void buildInspectorDock();
    void buildInspector(bool backgroundPageLater);
    void buildStatusBar();
    void buildActions();
    void buildMenusAndToolbars();
    void buildDataMenu();
    void buildContextMenus();
    void updateSelectionStatus();
    void editTextOf(const GraphicPtr& item);
    GraphicPtr _newTextItem; // a text just drawn with the tool: its text is typed as soon as it is shown
    void connectCanvas(SKTGraphicView* view);
    void pickPictureForTool(int tool);
    void applyLock(bool locked);
    void showSideOfStep(const QUndoCommand* step);
    // Disables what would change the design while the scratch side is shown; enables it again after.
    void lockPreviewCommands();
    QList<QAction*> _designActions; // tools, arrange, select all, duplicate, card pages
    void afterUndoRedo();
    int _cardEditDepth = 0;
    std::optional<CardEditState> _cardEditBefore;
    bool _cardEditRegistration = true; // undo registration as the outermost card edit found it
    bool _restoringCardEdit = false;
    bool _profileHoldsTable = false; // a both-sides profile dialog runs: its import lands with the profile
    void setUpProfiles();
    void resetProfilesForNewDesign();
    void fillProfileSide(SKTGraphicView* view, const User_Profile_Class& record,
                         const ProfileFieldMask& leave = {});
    void updateInspectorExcelEntry();
    // A both-sides profile confirmed in its dialog.
    struct GivenProfile {
        bool given = false;
        User_Profile_Class front, back;
        std::array<ProfileFieldMask, 2> leave{};
        bool sheetInUse = false; // the sheet binding the dialog's OK set
        QString sheetPath;
        std::optional<std::pair<QStringList, DataTableContent>> table; // a workbook imported in the dialog
    };
    void applyGivenProfile(const GivenProfile& profile);
    std::unique_ptr<ProfileDialogHost> _profileHost;
    QList<GivenProfile> _profileActions;

    SKTDocument* _document;
    QStackedWidget* myTargetView;
    QScrollArea* first_view;
    QScrollArea* second_view;
    QScrollArea* temp_design_view;
    QDockWidget* _inspectorDock;
    QLabel* _selectionStatus = nullptr;
    std::unique_ptr<WindowInspectorHost> _inspectorHost;
    InspectorPanel* _inspector = nullptr;
    QActionGroup* _toolGroup;
    QList<QAction*> _toolActions;
    QAction* _sideActions[3] = {};
    QAction* _snapAction = nullptr;
    QList<QAction*> _arrangeActions;
    Card_Property _tempCardProp;
    double _zoom = 1.0;
    Open_Export_Log* _exportLog = nullptr;
    std::unique_ptr<WindowOutputHost> _outputHost;
    OutputCommands* _outputCommands = nullptr;
    QPointer<Grid_Wizard> _wiredGridWizard;
    mutable QMutex _photoMutex;
    ItemPicture Main_Photo_image;
};

// The one main window of the run.
extern SKTWindowController* Main_App_wnd;
