// The main window's actions, menus, toolbars and tool palette.

#include "app/SKTWindowController.h"

#include "app/ToolIcons.h"
#include "app/inspector/InspectorPanel.h"
#include "data/DataBinding.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/SeriesDialogSupport.h"
#include "output/ui/Share_It_Dlg.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

struct ToolInfo {
    int tool;
    const char* name;
};

const ToolInfo toolInfos[] = {
    {0, "Arrow"},          {1, "Line"},         {2, "Text"},           {3, "Rectangle"},
    {4, "Circle"},         {5, "Rounded Rectangle"}, {6, "Triangle"},  {7, "Diamond"},
    {8, "Picture from File"}, {9, "Picture from Library"}, {10, "Barcode"}, {11, "Signature"},
    {12, "Fingerprint"},   {13, "Star"},        {14, "Double Star"},   {15, "Polygon"},
};

} // namespace

// ---------------------------------------------------------------- actions, menus and toolbars

void SKTWindowController::buildContextMenus()
{
    for (SKTGraphicView* view : {_graphicView, _graphicView_BACK, _graphicView_TEMP}) {
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto separator = [view] {
            auto* s = new QAction(view);
            s->setSeparator(true);
            return s;
        };
        view->addActions({Cut_btn, Copy_btn, Paste_btn, Delete_btn});
        view->addAction(separator());
        view->addActions({Begin_Front_btn, Send_Back_btn});
        view->addAction(separator());
        view->addActions({Lock_btn, Unlock_btn});
    }
}

void SKTWindowController::buildActions()
{
    auto make = [this](const QString& text, const QKeySequence& key, void (SKTWindowController::*slot)(),
                       const QString& objectName) {
        auto* a = new QAction(text, this);
        a->setObjectName(objectName);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    Undo_btn = make(tr("Undo"), QKeySequence::Undo, &SKTWindowController::Undo_Clicked, QStringLiteral("Undo_btn"));
    Redo_btn = make(tr("Redo"), QKeySequence(), &SKTWindowController::Redo_Clicked, QStringLiteral("Redo_btn"));
    Redo_btn->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The menu entries name the step ("Undo Move"); the toolbar keeps short labels so its row stays put.
    Undo_btn->setIconText(tr("Undo"));
    Redo_btn->setIconText(tr("Redo"));
    Cut_btn = make(tr("Cut"), QKeySequence::Cut, &SKTWindowController::Cut_Clicked, QStringLiteral("Cut_btn"));
    Copy_btn = make(tr("Copy"), QKeySequence::Copy, &SKTWindowController::Copy_Clicked, QStringLiteral("Copy_btn"));
    Paste_btn = make(tr("Paste"), QKeySequence::Paste, &SKTWindowController::Paste_Clicked, QStringLiteral("Paste_btn"));
    Delete_btn = make(tr("Delete"), QKeySequence(), &SKTWindowController::Delete_Clicked, QStringLiteral("Delete_btn"));
    Delete_btn->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    Begin_Front_btn = make(tr("Bring to Front"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight),
                           &SKTWindowController::Bring_Front_Clicked, QStringLiteral("Begin_Front_btn"));
    Send_Back_btn = make(tr("Send to Back"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft),
                         &SKTWindowController::Send_Back_Clicked, QStringLiteral("Send_Back_btn"));
    Lock_btn = make(tr("Lock"), QKeySequence(Qt::CTRL | Qt::Key_L), &SKTWindowController::Lock_Clicked,
                    QStringLiteral("Lock_btn"));
    Unlock_btn = make(tr("Unlock"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
                      &SKTWindowController::Unlock_Clicked, QStringLiteral("Unlock_btn"));
    Align_with_grid_btn = make(tr("Align to Grid"), QKeySequence(), &SKTWindowController::Align_To_Grid_Clicked,
                               QStringLiteral("Align_with_grid_btn"));

    // The design file commands are filled in by other parts of the window.
    Open_Design_Action = make(tr("Open..."), QKeySequence::Open, &SKTWindowController::Open_Design_Clicked,
                              QStringLiteral("Open_Design_Action"));
    Save_Design_Action = make(tr("Save"), QKeySequence::Save, &SKTWindowController::Save_Design_Clicked,
                              QStringLiteral("Save_Design_Action"));
    Print_Action = make(tr("Print..."), QKeySequence::Print, &SKTWindowController::Print_Button,
                        QStringLiteral("Print_Action"));
    Export_Action = make(tr("Export Image..."), QKeySequence(Qt::CTRL | Qt::Key_E), &SKTWindowController::Export_Button,
                         QStringLiteral("Export_Action"));
    Mail_Action = make(tr("E-mail..."), QKeySequence(), &SKTWindowController::Mail_Button, QStringLiteral("Mail_Action"));
    Help_Action = make(tr("NAVU Photo Frame Help"), QKeySequence::HelpContents, &SKTWindowController::Help_Button,
                       QStringLiteral("Help_Action"));
    for (QAction* a : {Open_Design_Action, Save_Design_Action})
        a->setEnabled(false);

    _toolGroup = new QActionGroup(this);
    _toolGroup->setExclusive(true);
    for (const ToolInfo& info : toolInfos) {
        auto* a = new QAction(toolIcon(info.tool), tr(info.name), this);
        a->setCheckable(true);
        a->setData(info.tool);
        a->setObjectName(QStringLiteral("tool_%1").arg(info.tool));
        _toolGroup->addAction(a);
        _toolActions.append(a);
        const int tool = info.tool;
        connect(a, &QAction::triggered, this, [this, tool] {
            if (tool == 8 || tool == 9)
                pickPictureForTool(tool);
            else
                setSelectedTool(tool);
        });
    }
    _toolActions.first()->setChecked(true);
}

void SKTWindowController::buildMenusAndToolbars()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(Open_Design_Action);
    file->addAction(Save_Design_Action);
    file->addSeparator();
    file->addAction(Export_Action);
    file->addAction(Print_Action);
    file->addAction(Mail_Action);
    file->addSeparator();
    QAction* quit = file->addAction(tr("Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(Undo_btn);
    edit->addAction(Redo_btn);
    edit->addSeparator();
    edit->addAction(Cut_btn);
    edit->addAction(Copy_btn);
    edit->addAction(Paste_btn);
    edit->addAction(Delete_btn);
    QAction* selectAll = edit->addAction(tr("Select All"), this, &SKTWindowController::Select_All_Clicked);
    selectAll->setShortcut(QKeySequence::SelectAll);
    QAction* duplicate = edit->addAction(tr("Duplicate"), this, [this] { currentGraphicView()->duplicate(); });
    duplicate->setObjectName(QStringLiteral("Duplicate_Action"));
    _designActions << selectAll << duplicate;
    duplicate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    QMenu* arrange = menuBar()->addMenu(tr("&Arrange"));
    arrange->addAction(Begin_Front_btn);
    arrange->addAction(Send_Back_btn);
    arrange->addSeparator();
    struct Cmd {
        const char* text;
        void (SKTWindowController::*slot)();
        const char* name;
    };
    const Cmd cmds[] = {
        {"Align Left Edges", &SKTWindowController::Align_Left_Clicked, "Align_Left"},
        {"Align Right Edges", &SKTWindowController::Align_Right_Clicked, "Align_Right"},
        {"Align Top Edges", &SKTWindowController::Align_Top_Clicked, "Align_Top"},
        {"Align Bottom Edges", &SKTWindowController::Align_Bottom_Clicked, "Align_Bottom"},
        {"Align Horizontal Centers", &SKTWindowController::Align_Horz_Clicked, "Align_Horz"},
        {"Align Vertical Centers", &SKTWindowController::Align_Vert_Clicked, "Align_Vert"},
        {"Center on Card", &SKTWindowController::Align_Center_Clicked, "Align_Center"},
        {"Make Same Width", &SKTWindowController::Make_Same_Width_Clicked, "Make_Same_Width"},
        {"Make Same Height", &SKTWindowController::Make_Same_Height_Clicked, "Make_Same_Height"},
        {"Natural Size", &SKTWindowController::Make_Natural_Clicked, "Make_Natural"},
    };
    for (const Cmd& c : cmds) {
        QAction* a = arrange->addAction(tr(c.text), this, c.slot);
        a->setObjectName(QLatin1String(c.name));
        _arrangeActions.append(a);
        if (QLatin1String(c.name) == QLatin1String("Align_Vert") || QLatin1String(c.name) == QLatin1String("Align_Center") ||
            QLatin1String(c.name) == QLatin1String("Make_Same_Height"))
            arrange->addSeparator();
    }
    _designActions << _arrangeActions;
    arrange->addAction(Align_with_grid_btn);
    arrange->addSeparator();
    arrange->addAction(Lock_btn);
    arrange->addAction(Unlock_btn);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    const char* sideNames[] = {"Front", "Back", "TEMP"};
    auto* sideGroup = new QActionGroup(this);
    for (int i = 0; i < 3; ++i) {
        _sideActions[i] = view->addAction(tr(sideNames[i]));
        _sideActions[i]->setCheckable(true);
        _sideActions[i]->setObjectName(QStringLiteral("side_%1").arg(i));
        _sideActions[i]->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + i)));
        sideGroup->addAction(_sideActions[i]);
    }
    _sideActions[0]->setChecked(true);
    connect(_sideActions[0], &QAction::triggered, this, &SKTWindowController::Select_front_side);
    connect(_sideActions[1], &QAction::triggered, this, &SKTWindowController::Select_back_side);
    connect(_sideActions[2], &QAction::triggered, this, &SKTWindowController::Select_temp_design_side);
    view->addSeparator();
    QAction* zoomIn = view->addAction(tr("Zoom In"), this, &SKTWindowController::Zoom_In);
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction* zoomOut = view->addAction(tr("Zoom Out"), this, &SKTWindowController::Zoom_Out);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction* actual = view->addAction(tr("Actual Size"), this, &SKTWindowController::Zoom_Actual);
    actual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    view->addSeparator();
    QAction* gridDialog = view->addAction(tr("Grid..."), this, &SKTWindowController::toggleGridShowing);
    gridDialog->setObjectName(QStringLiteral("toggleGridShowing"));
    _snapAction = view->addAction(tr("Snap to Grid"), this, &SKTWindowController::toggleGridConstraining);
    _snapAction->setCheckable(true);
    _snapAction->setObjectName(QStringLiteral("toggleGridConstraining"));
    view->addSeparator();
    QAction* cardProperties = view->addAction(tr("Card Properties"), this, [this] { Show_RHS_Properties(nullptr); });
    cardProperties->setObjectName(QStringLiteral("Card_Properties_btn"));
    // The inspector is built after the menus.
    QAction* cardBackground = view->addAction(tr("Card Background..."), this, [this] { _inspector->Card_Bckgrnd_Clicked(); });
    cardBackground->setObjectName(QStringLiteral("Card_Bckgrnd_btn"));
    _designActions << cardProperties << cardBackground << _toolActions;

    buildDataMenu();

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    for (QAction* a : _toolActions)
        tools->addAction(a);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Help_Menu"));
    help->addAction(Help_Action);
    QAction* share = help->addAction(tr("Share NAVU Photo Frame..."), this, [this] {
        Share_It_Dlg share(this);
        share.Open_Wnd();
    });
    share->setObjectName(QStringLiteral("Share_Action"));
    // A window without links would be a dead end; the links are read when the menu opens.
    connect(help, &QMenu::aboutToShow, share, [share] { share->setVisible(Share_It_Dlg::hasLinks()); });

    // Edit row across the top.
    QToolBar* editBar = addToolBar(tr("Edit"));
    editBar->setObjectName(QStringLiteral("editBar"));
    editBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* a : {Undo_btn, Redo_btn, Cut_btn, Copy_btn, Paste_btn, Delete_btn, Begin_Front_btn,
                       Send_Back_btn, Lock_btn, Unlock_btn})
        editBar->addAction(a);
    editBar->addSeparator();
    for (QAction* a : _sideActions)
        editBar->addAction(a);

    QToolBar* arrangeBar = new QToolBar(tr("Arrange"), this);
    arrangeBar->setObjectName(QStringLiteral("arrangeBar"));
    arrangeBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const char* shortNames[] = {"Left", "Right", "Top", "Bottom", "H Center", "V Center", "Center",
                                "Same W", "Same H", "Natural"};
    for (int i = 0; i < _arrangeActions.size(); ++i) {
        QAction* proxy = arrangeBar->addAction(tr(shortNames[i]));
        _designActions << proxy;
        proxy->setToolTip(_arrangeActions[i]->text());
        connect(proxy, &QAction::triggered, _arrangeActions[i], &QAction::trigger);
    }
    arrangeBar->addAction(Align_with_grid_btn);
    arrangeBar->addAction(gridDialog);
    arrangeBar->addAction(_snapAction);
    addToolBarBreak();
    addToolBar(Qt::TopToolBarArea, arrangeBar);

    QToolBar* toolBar = new QToolBar(tr("Tools"), this);
    toolBar->setObjectName(QStringLiteral("toolPalette"));
    toolBar->setIconSize(QSize(28, 28));
    for (QAction* a : _toolActions)
        toolBar->addAction(a);
    addToolBar(Qt::LeftToolBarArea, toolBar);
}

void SKTWindowController::buildStatusBar()
{
    _selectionStatus = new QLabel;
    _selectionStatus->setObjectName(QStringLiteral("selectionStatus"));
    statusBar()->addPermanentWidget(_selectionStatus);
    statusBar()->showMessage(tr("Ready"));
}

QMenu* SKTWindowController::addWindowMenu(const QString& title)
{
    auto* menu = new QMenu(title, menuBar());
    for (QAction* a : menuBar()->actions()) {
        if (a->menu() && a->menu()->objectName() == QLatin1String("Help_Menu")) {
            menuBar()->insertMenu(a, menu);
            return menu;
        }
    }
    menuBar()->addMenu(menu);
    return menu;
}

void SKTWindowController::buildDataMenu()
{
    QMenu* data = menuBar()->addMenu(tr("&Data"));
    data->setObjectName(QStringLiteral("Data_Menu"));
    data->addAction(tr("Batch Processing Series..."), this, &SKTWindowController::Batch_Series_Button)
        ->setObjectName(QStringLiteral("Batch_Series_Button"));
    data->addAction(tr("Import Series..."), this, &SKTWindowController::Import_Wizard_Button)
        ->setObjectName(QStringLiteral("Import_Wizard_Button"));
    data->addAction(tr("Create Series..."), this, &SKTWindowController::Create_Series_Button)
        ->setObjectName(QStringLiteral("Create_Series_Button"));
    data->addSeparator();
    data->addAction(tr("Import Excel Sheet into Data Table..."), this, &SKTWindowController::Import_Sheet_Button)
        ->setObjectName(QStringLiteral("Import_Sheet_Button"));
    data->addAction(tr("Data Table..."), this, [] { Data_From_Excel_Dialog::defaultInstance()->Open_Wnd(); })
        ->setObjectName(QStringLiteral("Data_Table_Button"));

    SeriesDialogs::setInUseTest([this](const QString& name) {
        return Check_Batch_File_In_Use_Validation(name, Get_Front_Controls_Array(), Get_Back_Controls_Array(),
                                                  CARD_SIDE_STR == QLatin1String("2"));
    });
    SeriesDialogs::setExportFinishedHandler([this](const QString& path, const QString& message, bool written) {
        Open_Export_File_Box(path, message, written);
    });
    // The inspector's series lists follow the series folder.
    SeriesDialogs::setSeriesChangedHandler([this] {
        Show_First_Row_On_Design();
        Show_RHS_Properties(Last_Selected_Graphic);
    });
}
