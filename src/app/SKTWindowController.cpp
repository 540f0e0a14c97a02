#include "app/SKTWindowController.h"

#include "app/inspector/InspectorPanel.h"
#include "app/inspector/WindowInspectorHost.h"

#include "app/Grid_Wizard.h"
#include "app/MailWindowSource.h"
#include "app/Open_Export_Log.h"
#include "app/WindowOutputHost.h"
#include "app/inspector/Image_Library.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/ui/BarcodeItemEditing.h"
#include "barcode/ui/Barcode_Gen.h"
#include "canvas/CardBase.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/SKTGrid.h"
#include "canvas/ui/GraphicCommands.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/Generate_List.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/Import_Wizard.h"
#include "data/ui/SeriesDialogSupport.h"
#include "common/FileHelpers.h"
#include "output/ui/Help_Support.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/Share_It_Dlg.h"
#include "output/mail/ui/Send_Mail.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>
#include <QUndoStack>
#include <cmath>
#include <functional>

SKTWindowController* Main_App_wnd = nullptr;

namespace {

// Runs an action on a left press on the watched widget itself (not on its children).
class PressFilter : public QObject {
public:
    PressFilter(QObject* parent, std::function<void()> onPress) : QObject(parent), m_onPress(std::move(onPress)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && watched == parent())
            m_onPress();
        return false;
    }

private:
    std::function<void()> m_onPress;
};

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

QPainterPath starPath(const QRectF& r, int points, qreal inner)
{
    QPainterPath path;
    const QPointF c = r.center();
    for (int i = 0; i < points * 2; ++i) {
        const qreal radius = (i % 2 ? inner : 1.0) * r.width() / 2;
        const qreal a = -M_PI / 2 + i * M_PI / points;
        const QPointF p(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

// Small pictures for the tool palette, drawn here so the palette needs no picture files.
QIcon toolIcon(int tool)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(120, 160, 220));
    const QRectF r(6, 6, 20, 20);
    switch (tool) {
    case 0: {
        QPainterPath arrow;
        arrow.moveTo(10, 5);
        arrow.lineTo(10, 25);
        arrow.lineTo(15, 20);
        arrow.lineTo(19, 28);
        arrow.lineTo(22, 26);
        arrow.lineTo(18, 19);
        arrow.lineTo(24, 19);
        arrow.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case 1: p.drawLine(QPointF(6, 26), QPointF(26, 6)); break;
    case 2: {
        QFont f(QStringLiteral("DejaVu Serif"), 18, QFont::Bold);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("T"));
        break;
    }
    case 3: p.drawRect(r); break;
    case 4: p.drawEllipse(r); break;
    case 5: p.drawRoundedRect(r, 6, 6); break;
    case 6: p.drawPolygon(QPolygonF({QPointF(16, 6), QPointF(26, 26), QPointF(6, 26)})); break;
    case 7: p.drawPolygon(QPolygonF({QPointF(16, 5), QPointF(27, 16), QPointF(16, 27), QPointF(5, 16)})); break;
    case 8:
    case 9: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 7, 22, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(tool == 8 ? QColor(80, 160, 80) : QColor(200, 120, 60));
        p.drawPolygon(QPolygonF({QPointF(7, 23), QPointF(14, 13), QPointF(19, 19), QPointF(22, 16), QPointF(25, 23)}));
        if (tool == 9) {
            p.setPen(QPen(QColor(40, 40, 40), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(8, 4, 22, 18));
        }
        break;
    }
    case 10:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (int x = 6, i = 0; x < 26; x += (i % 3) + 2, ++i)
            p.drawRect(QRectF(x, 7, (i % 2) + 1, 18));
        break;
    case 11: {
        QPainterPath s;
        s.moveTo(5, 22);
        s.cubicTo(10, 4, 14, 30, 18, 14);
        s.cubicTo(20, 8, 24, 24, 28, 16);
        p.setBrush(Qt::NoBrush);
        p.drawPath(s);
        p.drawLine(QPointF(5, 27), QPointF(27, 27));
        break;
    }
    case 12:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(16, 17), 3 + i * 3, 4 + i * 3.5);
        break;
    case 13: p.drawPath(starPath(QRectF(4, 4, 24, 24), 5, 0.45)); break;
    case 14: p.drawPath(starPath(QRectF(4, 4, 24, 24), 8, 0.6)); break;
    case 15: {
        QPolygonF hex;
        for (int i = 0; i < 6; ++i)
            hex << QPointF(16 + 11 * std::cos(M_PI / 3 * i), 16 + 11 * std::sin(M_PI / 3 * i));
        p.drawPolygon(hex);
        break;
    }
    default: break;
    }
    return QIcon(pm);
}

// Undo of a change of the grid (colour, spacing, shown, snapping); the grid belongs to no side.
template <class State> class GridSettingsCommand : public SideUndoCommand {
public:
    static constexpr int Id = 7303;
    GridSettingsCommand(State before, State after, const QString& text, QString key,
                        std::function<void(const State&)> apply)
        : SideUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_key(std::move(key)),
          m_apply(std::move(apply)) {}
    void undo() override {
        m_apply(m_before);
        m_done = false;
    }
    void redo() override {
        if (!m_done)
            m_apply(m_after);
        m_done = true;
    }
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override {
        if (other->id() != Id)
            return false;
        const auto* o = static_cast<const GridSettingsCommand*>(other);
        if (m_key.isEmpty() || o->m_key != m_key)
            return false;
        m_after = o->m_after;
        return true;
    }

private:
    State m_before;
    State m_after;
    QString m_key;
    std::function<void(const State&)> m_apply;
    bool m_done = true;
};

} // namespace

SKTWindowController::SKTWindowController(SKTDocument* document, QWidget* parent)
    : QMainWindow(parent), _document(document)
{
    Main_App_wnd = this;
    setCanvasHost(this);
    setWindowTitle(QStringLiteral("NAVU Photo Frame"));
    _grid = new SKTGrid(this);
    _tempCardProp = Front_card_Prop;
    choosePictureFile = [this] {
        QStringList patterns;
        for (const QByteArray& f : QImageReader::supportedImageFormats())
            patterns << QStringLiteral("*.") + QString::fromLatin1(f);
        return QFileDialog::getOpenFileName(this, tr("Choose a Picture"), QDir::homePath(),
                                            tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
    };

    buildCanvases();
    buildActions();
    buildMenusAndToolbars();
    buildContextMenus();
    setUpProfiles();

    connect(_document->undoManager(), &QUndoStack::indexChanged, this, [this] {
        Undo_Redo_Button_state();
        updateSelectionStatus();
        // Undo may take away the inspected item.
        if (Last_Selected_Graphic && !Get_Front_Controls_Array().contains(Last_Selected_Graphic) &&
            !Get_Back_Controls_Array().contains(Last_Selected_Graphic) &&
            !_document->graphics_temp().contains(Last_Selected_Graphic))
            Show_RHS_Properties(nullptr);
    });
    connect(_document, &SKTDocument::canvasSizeChanged, this, [this](const QSizeF& size) {
        for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
            v->setCanvasSize(size);
    });
    connect(_grid, &SKTGrid::alwaysShownChanged, this, [this](bool shown) {
        Align_with_grid_btn->setEnabled(shown);
        if (_wiredGridWizard) {
            const QSignalBlocker block(_wiredGridWizard->Show_hide_grid_chk);
            _wiredGridWizard->Show_hide_grid_chk->setChecked(shown);
            _wiredGridWizard->Grid_Opt_box->setEnabled(shown);
        }
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (!(Last_Selected_Graphic && Last_Selected_Graphic->ctrl_is_locked))
            Set_Paste_Button_Status();
    });

    SetDocumentCanvasSize(_document->canvasSize());
    Align_with_grid_btn->setEnabled(_grid->isAlwaysShown());
    Undo_Redo_Button_state();
    Show_RHS_Properties(nullptr);
    changeViewController(0);
    // Within the screen's free area, leaving room for the window frame (1366 x 768 laptops).
    const QSize room = screen() ? screen()->availableGeometry().size() - QSize(16, 48) : QSize(1280, 820);
    resize(QSize(1280, 820).boundedTo(room));
}

SKTWindowController::~SKTWindowController()
{
    // The output commands use the host; a running batch is stopped and waited for first.
    delete _outputCommands;
    _outputCommands = nullptr;
    if (canvasHost() == this)
        setCanvasHost(nullptr);
    if (Main_App_wnd == this)
        Main_App_wnd = nullptr;
}

// ---------------------------------------------------------------- building

void SKTWindowController::buildCanvases()
{
    auto makeArea = [this](SKTGraphicView*& view, CardSide side, const Card_Property* prop, const char* name) {
        view = new SKTGraphicView;
        view->setObjectName(QLatin1String(name));
        view->setDocument(_document, side);
        view->setGrid(_grid);
        view->setDelegate(this);
        view->setCardProperty(prop);
        view->setCardSide(side == CardSide::Back ? QStringLiteral("B") : QStringLiteral("F"));
        auto* area = new QScrollArea;
        area->setWidget(view);
        area->setAlignment(Qt::AlignCenter);
        area->setBackgroundRole(QPalette::Dark);
        area->setWidgetResizable(false);
        // A click on the grey beside the card lets go of the selection, as a click on bare card does.
        area->viewport()->installEventFilter(new PressFilter(area->viewport(), [this, view] {
            if (view->tool() != 0)
                return;
            view->Clear_Control_Selection();
            view->setFocus(Qt::MouseFocusReason);
            Show_RHS_Properties(nullptr);
        }));
        connectCanvas(view);
        return area;
    };
    first_view = makeArea(_graphicView, CardSide::Front, &Front_card_Prop, "_graphicView");
    second_view = makeArea(_graphicView_BACK, CardSide::Back, &Back_card_Prop, "_graphicView_BACK");
    temp_design_view = makeArea(_graphicView_TEMP, CardSide::Temp, &_tempCardProp, "_graphicView_TEMP");

    myTargetView = new QStackedWidget;
    myTargetView->addWidget(first_view);
    myTargetView->addWidget(second_view);
    myTargetView->addWidget(temp_design_view);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(8, 4, 8, 4);
    Front_back_label = new QLabel(QStringLiteral("Front"));
    Front_back_label->setObjectName(QStringLiteral("Front_back_label"));
    QFont bold = Front_back_label->font();
    bold.setBold(true);
    Front_back_label->setFont(bold);
    header->addWidget(Front_back_label);
    header->addStretch();
    layout->addLayout(header);
    layout->addWidget(myTargetView, 1);
    setCentralWidget(central);

    // The right-hand area that the inspector fills.
    _inspectorDock = new QDockWidget(tr("Properties"), this);
    _inspectorDock->setObjectName(QStringLiteral("inspectorDock"));
    _inspectorDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    _inspectorHost = std::make_unique<WindowInspectorHost>(this);
    _inspector = new InspectorPanel(_inspectorHost.get());
    _inspector->setMinimumWidth(350);
    sett_tab = _inspector->sett_tab;
    _inspectorDock->setWidget(_inspector);
    addDockWidget(Qt::RightDockWidgetArea, _inspectorDock);
}

void SKTWindowController::connectCanvas(SKTGraphicView* view)
{
    connect(view, &SKTGraphicView::inspectGraphic, this, [this](const GraphicPtr& item) {
        if (item && item == _newTextItem) {
            _newTextItem.reset();
            editTextOf(item);
            return;
        }
        Show_RHS_Properties(item);
    });
    connect(view, &SKTGraphicView::graphicCreated, this, [this, view](const GraphicPtr& item) {
        // The canvas only knows the sample picture; a new barcode shows its own default barcode at once, at
        // its natural size with margins that keep its quiet zone.
        if (item && item->kind() == GraphicKind::Barcode && item->_barcode_image.isNull()) {
            if (BarcodeItemDrawing::setUpNewItem(*item)) {
                view->update();
                updateSelectionStatus(); // the new size
            }
        }
        _newTextItem = item && item->kind() == GraphicKind::Text ? item : GraphicPtr();
        selectArrowTool();
    });
    connect(view, &SKTGraphicView::barcodeDoubleClicked, this, [this] { Open_Barcode_Window(); });
    connect(view, &SKTGraphicView::textDoubleClicked, this, &SKTWindowController::editTextOf);
    connect(view, &SKTGraphicView::copiedToClipboard, this, [this] { Set_Paste_Button_Status(); });
    connect(view, &SKTGraphicView::graphicsEdited, this, [this] { Undo_Redo_Button_state(); });
    connect(view, &SKTGraphicView::zoomChanged, this, [this](double zoom) { setZoom(zoom); });
    connect(view, &SKTGraphicView::selectionChanged, this, &SKTWindowController::updateSelectionStatus);
}

void SKTWindowController::updateSelectionStatus()
{
    SKTGraphicView* views[] = {_graphicView, _graphicView_BACK, _graphicView_TEMP};
    _selectionStatus->setText(views[std::clamp(myTargetView->currentIndex(), 0, 2)]->selectionSummary());
}

void SKTWindowController::editTextOf(const GraphicPtr& item)
{
    // The text is typed in the inspector's text page.
    Show_RHS_Properties(item);
    if (!_inspector || !_inspector->Text_value_Edit)
        return;
    if (QWidget* page = _inspector->tabPage(QStringLiteral("text_edtng_tab")))
        _inspector->sett_tab->setCurrentWidget(page);
    _inspector->Text_value_Edit->setFocus(Qt::MouseFocusReason);
    _inspector->Text_value_Edit->selectAll();
}

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
    view->addAction(tr("Card Properties"), this, [this] { Show_RHS_Properties(nullptr); })
        ->setObjectName(QStringLiteral("Card_Properties_btn"));
    view->addAction(tr("Card Background..."), _inspector, &InspectorPanel::Card_Bckgrnd_Clicked)
        ->setObjectName(QStringLiteral("Card_Bckgrnd_btn"));

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
    share->setVisible(Share_It_Dlg::hasLinks()); // a window without links would be a dead end

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

    _selectionStatus = new QLabel;
    _selectionStatus->setObjectName(QStringLiteral("selectionStatus"));
    statusBar()->addPermanentWidget(_selectionStatus);
    statusBar()->showMessage(tr("Ready"));
}

// ---------------------------------------------------------------- sides

SKTGraphicView* SKTWindowController::currentGraphicView() const
{
    return Card_Front_Or_Back != 0 ? _graphicView_BACK : _graphicView;
}

void SKTWindowController::changeViewController(int index)
{
    if (index < 0 || index > 2)
        return;
    myTargetView->setCurrentIndex(index);
    updateSelectionStatus();
    if (_sideActions[index])
        _sideActions[index]->setChecked(true);
    SKTGraphicView* views[] = {_graphicView, _graphicView_BACK, _graphicView_TEMP};
    views[index]->setFocus();
}

int SKTWindowController::shownViewIndex() const { return myTargetView->currentIndex(); }

void SKTWindowController::Select_front_side()
{
    Front_back_label->setText(QStringLiteral("Front"));
    Card_Front_Or_Back = 0;
    changeViewController(0);
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::Select_back_side()
{
    Front_back_label->setText(QStringLiteral("Back"));
    Card_Front_Or_Back = 1;
    changeViewController(1);
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::Select_temp_design_side()
{
    Front_back_label->setText(QStringLiteral("TEMP"));
    changeViewController(2);
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::Refresh_Canvas()
{
    if (Card_Value_In_Process)
        return;
    if (QThread::currentThread() != thread()) {
        // Canvases are widgets: a request from a worker is handed to the GUI thread.
        QMetaObject::invokeMethod(this, [this] { Refresh_Canvas(); }, Qt::QueuedConnection);
        return;
    }
    currentGraphicView()->update();
}

void SKTWindowController::SetDocumentCanvasSize(const QSizeF& size)
{
    _document->setCanvasSize(size);
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
        v->setCanvasSize(size);
}

GraphicList& SKTWindowController::Get_Front_Controls_Array() { return _document->graphics(); }

GraphicList& SKTWindowController::Get_Back_Controls_Array() { return _document->graphics_back(); }

GraphicList SKTWindowController::Get_Temp_Controls_Array() const
{
    return _document->graphicsOf(CardSide::Temp);
}

void SKTWindowController::Temp_Design_Control_Assign()
{
    // Deep copies: a preview may fill data into the scratch items without touching the design.
    const bool back = Card_Front_Or_Back != 0;
    _tempCardProp = back ? Back_card_Prop : Front_card_Prop;
    _graphicView_TEMP->setCardSide(back ? QStringLiteral("B") : QStringLiteral("F"));
    _document->Temp_Design_Control_Assign(back ? CardSide::Back : CardSide::Front);
    _graphicView_TEMP->update();
}

Card_Property& SKTWindowController::currentCardProperty()
{
    return Card_Front_Or_Back != 0 ? Back_card_Prop : Front_card_Prop;
}

void SKTWindowController::Card_Base_Drawing(QPainter& painter, const QRectF& rect)
{
    const QRectF card(QPointF(0, 0), _document->canvasSize());
    ::Card_Base_Drawing(painter, currentCardProperty(), Card_Shape, card, rect);
}

// ---------------------------------------------------------------- tools

void SKTWindowController::setSelectedTool(int tool)
{
    if (tool < 0 || tool > 15)
        tool = 0;
    Selected_Control_Tool = tool;
    if (QAction* a = toolAction(tool); a && !a->isChecked())
        a->setChecked(true);
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
        v->setCursor(tool == 0 ? Qt::ArrowCursor : Qt::CrossCursor);
    emit SKTSelectedToolDidChange(this);
}

void SKTWindowController::selectArrowTool() { setSelectedTool(0); }

QAction* SKTWindowController::toolAction(int tool) const { return _toolActions.value(tool); }

QString SKTWindowController::currentGraphicClass() const
{
    return SKTGraphicView::classForTool(Selected_Control_Tool);
}

void SKTWindowController::pickPictureForTool(int tool)
{
    QString path;
    if (tool == 9) {
        Image_Library* library = Image_Library::defaultInstance();
        library->control_or_BG = QStringLiteral("C");
        if (library->Open_Library_Window() == 1)
            path = library->selected_image;
        if (!path.isEmpty())
            lib_window_sel_file = path;
    } else {
        path = choosePictureFile ? choosePictureFile() : QString();
    }
    if (path.isEmpty()) {
        selectArrowTool();
        return;
    }
    // The chosen picture becomes an item at once, where the next new item goes; the arrow tool returns, so
    // no later click places the picture again.
    Library_Selected_Image = path;
    setSelectedTool(tool);
    SKTGraphicView* view = currentGraphicView();
    const GraphicPtr item = view->createGraphicOfClass(QStringLiteral("SKTImage"), nullptr, false, QRectF(),
                                                       view->cardSide(), QString(), QString());
    selectArrowTool();
    if (item) {
        Undo_Redo_Button_state();
        Show_RHS_Properties(item);
    }
}

QPointF SKTWindowController::Control_New_Point(const QString& cardSide)
{
    Q_UNUSED(cardSide);
    // Each new item without a place goes a little further down and right, starting over near the top
    // left once it would leave the card.
    const QSizeF card = _document->canvasSize();
    if (last_ctrl_X + 60 > card.width() || last_ctrl_Y + 40 > card.height()) {
        last_ctrl_X = 10;
        last_ctrl_Y = 10;
    }
    const QPointF at(last_ctrl_X, last_ctrl_Y);
    last_ctrl_X += 10;
    last_ctrl_Y += 10;
    return at;
}

// ---------------------------------------------------------------- inspector entry

void SKTWindowController::Show_RHS_Properties(const GraphicPtr& item)
{
    if (Not_Draw_Only_Prop_Change)
        return;
    if (_inspector) {
        _inspector->Show_RHS_Properties(item);
        Last_Selected_Graphic = _inspector->Last_Selected_Graphic();
        return;
    }
    selectArrowTool();
    if (!item) {
        currentGraphicView()->Clear_Control_Selection();
        Disable_Standard_Button_For_Card();
        Last_Selected_Graphic.reset();
        return;
    }
    Enable_Standard_Button_For_Control();
    if (item->ctrl_is_locked) {
        Disable_Standard_Button_For_Lock();
    } else {
        Enable_Standard_Button_For_Unlock();
        if (item->control_ID == QLatin1String("PARTY_IMAGE")) {
            for (QAction* a : {Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
                a->setEnabled(false);
        }
    }
    if (item->kind() == GraphicKind::Image) {
        const bool frame = _graphicView->There_Is_Frame_Pic_Or_Frame_Photo();
        for (QAction* a : {Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
            a->setEnabled(!frame);
    }
    Last_Selected_Graphic = item;
}

// ---------------------------------------------------------------- command states

void SKTWindowController::Undo_Redo_Button_state()
{
    QUndoStack* stack = _document->undoManager();
    Undo_btn->setEnabled(stack->canUndo());
    Redo_btn->setEnabled(stack->canRedo());
    Undo_btn->setText(stack->canUndo() ? tr("Undo %1").arg(stack->undoText()) : tr("Undo"));
    Redo_btn->setText(stack->canRedo() ? tr("Redo %1").arg(stack->redoText()) : tr("Redo"));
}

void SKTWindowController::Enable_Standard_Button_For_Control()
{
    Undo_Redo_Button_state();
    Cut_btn->setEnabled(true);
    Copy_btn->setEnabled(true);
    Set_Paste_Button_Status();
    Delete_btn->setEnabled(true);
    Begin_Front_btn->setEnabled(true);
    Send_Back_btn->setEnabled(true);
    Lock_btn->setEnabled(true);
    Unlock_btn->setEnabled(false);
}

void SKTWindowController::Enable_Standard_Button_For_Unlock() { Enable_Standard_Button_For_Control(); }

void SKTWindowController::Disable_Standard_Button_For_Card()
{
    Cut_btn->setEnabled(false);
    Copy_btn->setEnabled(false);
    Set_Paste_Button_Status();
    Delete_btn->setEnabled(false);
    Begin_Front_btn->setEnabled(false);
    Send_Back_btn->setEnabled(false);
    Lock_btn->setEnabled(false);
    Unlock_btn->setEnabled(false);
}

void SKTWindowController::Disable_Standard_Button_For_Lock()
{
    for (QAction* a : {Cut_btn, Copy_btn, Paste_btn, Delete_btn, Begin_Front_btn, Send_Back_btn, Lock_btn})
        a->setEnabled(false);
    Unlock_btn->setEnabled(true);
}

void SKTWindowController::Set_Paste_Button_Status()
{
    Paste_btn->setEnabled(hasGraphics(QGuiApplication::clipboard()->mimeData()));
}

void SKTWindowController::Print_object_chk_changed(int state) { currentGraphicView()->print_contol_or_not(state); }

// ---------------------------------------------------------------- edit commands

void SKTWindowController::showSideOfStep(const QUndoCommand* step)
{
    const int side = undoCommandSide(step);
    const int shown = shownViewIndex();
    if (side == 0 && (shown != 0 || Card_Front_Or_Back != 0))
        Select_front_side();
    else if (side == 1 && (shown != 1 || Card_Front_Or_Back != 1))
        Select_back_side();
    else if (side == 2 && shown != 2)
        Select_temp_design_side();
}

void SKTWindowController::afterUndoRedo()
{
    Refresh_Canvas();
    Undo_Redo_Button_state();
    // The inspected item may have changed under its panels (its lock, its print flag, its binding).
    if (_inspector && Last_Selected_Graphic)
        _inspector->reloadInspected();
}

void SKTWindowController::Undo_Clicked()
{
    QUndoStack* stack = _document->undoManager();
    if (!stack->canUndo())
        return;
    showSideOfStep(stack->command(stack->index() - 1));
    stack->undo();
    afterUndoRedo();
}

void SKTWindowController::Redo_Clicked()
{
    QUndoStack* stack = _document->undoManager();
    if (!stack->canRedo())
        return;
    showSideOfStep(stack->command(stack->index()));
    stack->redo();
    afterUndoRedo();
}

CardEditState SKTWindowController::captureCardEdit() const
{
    CardEditState st;
    st.front = Front_card_Prop;
    st.back = Back_card_Prop;
    st.canvasSize = _document->canvasSize();
    st.cardShape = Card_Shape;
    st.cardSides = CARD_SIDE_STR;
    st.framePath = Invite_Frame_IMG;
    st.frontItems = _document->graphicsOf(CardSide::Front);
    st.backItems = _document->graphicsOf(CardSide::Back);
    for (const GraphicPtr& g : std::as_const(st.frontItems))
        st.frontStates << (g ? inspector::copyOfItem(*g) : nullptr);
    for (const GraphicPtr& g : std::as_const(st.backItems))
        st.backStates << (g ? inspector::copyOfItem(*g) : nullptr);
    return st;
}

void SKTWindowController::restoreCardEdit(const CardEditState& st)
{
    _restoringCardEdit = true;
    Front_card_Prop = st.front;
    Back_card_Prop = st.back;
    Card_Shape = st.cardShape;
    CARD_SIDE_STR = st.cardSides;
    Invite_Frame_IMG = st.framePath;
    Get_Front_Controls_Array() = st.frontItems;
    Get_Back_Controls_Array() = st.backItems;
    for (qsizetype i = 0; i < st.frontItems.size() && i < st.frontStates.size(); ++i)
        if (st.frontItems[i] && st.frontStates[i])
            inspector::assignItemState(*st.frontItems[i], *st.frontStates[i]);
    for (qsizetype i = 0; i < st.backItems.size() && i < st.backStates.size(); ++i)
        if (st.backItems[i] && st.backStates[i])
            inspector::assignItemState(*st.backItems[i], *st.backStates[i]);
    SetDocumentCanvasSize(st.canvasSize);
    _document->notifyGraphicsChanged(CardSide::Front);
    _document->notifyGraphicsChanged(CardSide::Back);
    // The panels show the restored side, and the content font and colour and the frame refit run again.
    Show_RHS_Properties(nullptr);
    if (_inspector)
        _inspector->Update_All_Card_Content();
    _restoringCardEdit = false;
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK})
        v->update();
}

void SKTWindowController::beginCardEdit()
{
    if (_restoringCardEdit)
        return;
    if (_cardEditDepth++ == 0)
        _cardEditBefore = captureCardEdit();
}

void SKTWindowController::endCardEdit(const QString& text, const QString& mergeKey, int side)
{
    if (_restoringCardEdit || _cardEditDepth == 0)
        return;
    if (--_cardEditDepth > 0 || !_cardEditBefore)
        return;
    CardEditState before = std::move(*_cardEditBefore);
    _cardEditBefore.reset();
    if (!_document->isUndoRegistrationEnabled())
        return;
    CardEditState after = captureCardEdit();
    if (after.sameAs(before))
        return;
    if (side < 0)
        side = Card_Front_Or_Back != 0 ? 1 : 0;
    _document->undoManager()->push(new CardEditCommand(std::move(before), std::move(after), text, mergeKey, side,
                                                       [this](const CardEditState& st) { restoreCardEdit(st); }));
    Undo_Redo_Button_state();
}

void SKTWindowController::Cut_Clicked() { currentGraphicView()->cut(); }

void SKTWindowController::Copy_Clicked() { currentGraphicView()->copy(); }

void SKTWindowController::Paste_Clicked() { currentGraphicView()->paste(); }

void SKTWindowController::Delete_Clicked() { currentGraphicView()->deleteSelection(); }

void SKTWindowController::Select_All_Clicked()
{
    SKTGraphicView* view = currentGraphicView();
    view->selectAll();
    const GraphicList sel = view->selectedGraphics();
    if (!sel.isEmpty())
        Show_RHS_Properties(sel.first());
}

void SKTWindowController::Bring_Front_Clicked()
{
    currentGraphicView()->bringToFront();
    Refresh_Canvas();
}

void SKTWindowController::Send_Back_Clicked()
{
    currentGraphicView()->sendToBack();
    Refresh_Canvas();
}

void SKTWindowController::applyLock(bool locked)
{
    SKTGraphicView* view = currentGraphicView();
    const GraphicList items = view->selectedGraphics();
    if (items.isEmpty()) {
        Show_MessageBox(locked ? QStringLiteral("Please select a control to Lock.")
                               : QStringLiteral("Please select a control to Unlock."));
        return;
    }
    locked ? Disable_Standard_Button_For_Lock() : Enable_Standard_Button_For_Unlock();
    GraphicList changed;
    for (const GraphicPtr& g : items)
        if (g->ctrl_is_locked != locked)
            changed.append(g);
    if (!changed.isEmpty()) {
        auto* step = new SetGraphicFieldCommand<bool>(changed, &SKTGraphic::ctrl_is_locked, locked,
                                                      locked ? tr("Lock") : tr("Unlock"));
        step->setCardSide(Card_Front_Or_Back != 0 ? 1 : 0);
        if (_document->isUndoRegistrationEnabled()) {
            _document->undoManager()->push(step);
        } else {
            step->redo();
            delete step;
        }
    }
    const QList<qsizetype> keep = view->selectionIndexes();
    Show_RHS_Properties(nullptr);
    view->setSelectionIndexes(keep);
    Refresh_Canvas();
    Show_RHS_Properties(items.last());
}

void SKTWindowController::Lock_Clicked() { applyLock(true); }

void SKTWindowController::Unlock_Clicked() { applyLock(false); }

// ---------------------------------------------------------------- arrange and grid

void SKTWindowController::Align_Left_Clicked()
{
    currentGraphicView()->alignLeftEdges();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Right_Clicked()
{
    currentGraphicView()->alignRightEdges();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Top_Clicked()
{
    currentGraphicView()->alignTopEdges();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Bottom_Clicked()
{
    currentGraphicView()->alignBottomEdges();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Horz_Clicked()
{
    currentGraphicView()->alignHorizontalCenters();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Vert_Clicked()
{
    currentGraphicView()->alignVerticalCenters();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_Center_Clicked()
{
    currentGraphicView()->alignformCenter();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Make_Same_Width_Clicked()
{
    if (currentGraphicView()->selectedGraphics().size() < 2) {
        Show_MessageBox(QStringLiteral("Please select more than one control."));
        return;
    }
    currentGraphicView()->makeSameWidth();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Make_Same_Height_Clicked()
{
    if (currentGraphicView()->selectedGraphics().size() < 2) {
        Show_MessageBox(QStringLiteral("Please select more than one control."));
        return;
    }
    currentGraphicView()->makeSameHeight();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Make_Natural_Clicked()
{
    currentGraphicView()->makeNaturalSize();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

void SKTWindowController::Align_To_Grid_Clicked()
{
    if (!_grid->isAlwaysShown()) {
        Show_MessageBox(QStringLiteral("Please use grid option first."));
        return;
    }
    currentGraphicView()->alignWithGrid();
    Undo_Redo_Button_state();
    Refresh_Canvas();
}

SKTWindowController::GridState SKTWindowController::gridState() const
{
    return {_grid->color(), _grid->spacing(), _grid->isAlwaysShown(), _grid->isConstraining()};
}

void SKTWindowController::applyGridState(const GridState& st)
{
    _grid->setColor(st.color);
    _grid->setSpacing(st.spacing);
    _grid->setConstraining(st.snapping);
    _grid->setAlwaysShown(st.shown);
    if (_snapAction)
        _snapAction->setChecked(st.snapping);
    if (_wiredGridWizard) {
        const QSignalBlocker b1(_wiredGridWizard->Grid_Space_slidr);
        const QSignalBlocker b2(_wiredGridWizard->Show_hide_grid_chk);
        _wiredGridWizard->setGridColor(st.color);
        _wiredGridWizard->Grid_Space_slidr->setValue(qRound(st.spacing));
        _wiredGridWizard->Show_hide_grid_chk->setChecked(st.shown);
        _wiredGridWizard->Grid_Opt_box->setEnabled(st.shown);
    }
}

void SKTWindowController::recordGridChange(const GridState& before, const QString& text, const QString& mergeKey)
{
    const GridState after = gridState();
    if (after == before || !_document->isUndoRegistrationEnabled())
        return;
    _document->undoManager()->push(new GridSettingsCommand<GridState>(
        before, after, text, mergeKey, [this](const GridState& st) { applyGridState(st); }));
    Undo_Redo_Button_state();
}

void SKTWindowController::toggleGridConstraining()
{
    const GridState before = gridState();
    _grid->setConstraining(!_grid->isConstraining());
    if (_snapAction)
        _snapAction->setChecked(_grid->isConstraining());
    recordGridChange(before, tr("Snap to Grid"));
}

void SKTWindowController::toggleGridShowing()
{
    Grid_Wizard* dlg = Grid_Wizard::defaultInstance(this);
    if (_wiredGridWizard != dlg) {
        _wiredGridWizard = dlg;
        connect(dlg, &Grid_Wizard::gridColorChanged, this, &SKTWindowController::Grid_Clr_Changed);
        connect(dlg->Grid_Space_slidr, &QSlider::valueChanged, this, &SKTWindowController::Grid_Slider_Changed);
        connect(dlg->Show_hide_grid_chk, &QCheckBox::stateChanged, this,
                &SKTWindowController::Grid_Show_Hide_Changed);
    }
    {
        const QSignalBlocker b1(dlg->Grid_Space_slidr);
        const QSignalBlocker b2(dlg->Show_hide_grid_chk);
        dlg->setGridColor(_grid->color());
        dlg->Grid_Space_slidr->setValue(qRound(_grid->spacing()));
        dlg->Show_hide_grid_chk->setChecked(_grid->isAlwaysShown());
    }
    dlg->Grid_Opt_box->setEnabled(_grid->isAlwaysShown());
    dlg->Open_Wnd();
}

void SKTWindowController::Grid_Clr_Changed(const QColor& color)
{
    const GridState before = gridState();
    _grid->setColor(color);
    _grid->setAlwaysShown(true);
    recordGridChange(before, tr("Grid Colour"));
}

void SKTWindowController::Grid_Slider_Changed(int spacing)
{
    const GridState before = gridState();
    _grid->setSpacing(spacing);
    _grid->setAlwaysShown(true);
    recordGridChange(before, tr("Grid Spacing"), QStringLiteral("Grid_Space_slidr"));
}

void SKTWindowController::Grid_Show_Hide_Changed(int state)
{
    const GridState before = gridState();
    _grid->setAlwaysShown(state != 0);
    Grid_Wizard::defaultInstance(this)->Grid_Opt_box->setEnabled(_grid->isAlwaysShown());
    recordGridChange(before, state != 0 ? tr("Show Grid") : tr("Hide Grid"));
}

// ---------------------------------------------------------------- zoom

void SKTWindowController::setZoom(double zoom)
{
    zoom = std::clamp(zoom, 0.25, 6.0);
    if (qFuzzyCompare(zoom, _zoom))
        return;
    _zoom = zoom;
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
        v->setZoom(_zoom);
    statusBar()->showMessage(tr("Zoom %1%").arg(qRound(_zoom * 100)), 2000);
}

void SKTWindowController::Zoom_In() { setZoom(_zoom * 1.25); }

void SKTWindowController::Zoom_Out() { setZoom(_zoom / 1.25); }

void SKTWindowController::Zoom_Actual() { setZoom(1.0); }

// ---------------------------------------------------------------- design reset

void SKTWindowController::New_Project_Setting_Reset()
{
    Front_card_Prop.reset();
    Back_card_Prop.reset();
    _grid->setAlwaysShown(false);
    last_ctrl_X = 10;
    last_ctrl_Y = 10;
    resetProfilesForNewDesign();
}

void SKTWindowController::Design_Replaced()
{
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
        v->resetState();
    Last_Selected_Graphic.reset();
    Undo_Redo_Button_state();
    Show_RHS_Properties(nullptr);
}

// ---------------------------------------------------------------- export-finished window

Open_Export_Log* SKTWindowController::Open_Export_Files()
{
    if (!_exportLog)
        _exportLog = new Open_Export_Log(this);
    return _exportLog;
}

int SKTWindowController::Open_Export_File_Box(const QString& path, const QString& message, bool written)
{
    Open_Export_Log* log = Open_Export_Files();
    log->prepare(path, message, written);
    return log->runModal();
}

// ---------------------------------------------------------------- series and data table

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

void SKTWindowController::Batch_Series_Button()
{
    BatchWizard::defaultInstance()->Open_Wnd();
    Show_RHS_Properties(Last_Selected_Graphic);
}

void SKTWindowController::Import_Wizard_Button()
{
    Import_Wizard* wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    wizard->file_name_Insert = 0;
    wizard->Open_Wnd();
}

void SKTWindowController::Create_Series_Button()
{
    Generate_List* generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    generator->file_name_Insert = 0;
    generator->Open_Wnd();
}

void SKTWindowController::Import_Sheet_Button()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose Workbook"), QString(),
                                                      tr("Excel Workbook (*.xlsx *.XLSX)"));
    if (path.isEmpty() || Check_And_Validate_File_Path(path) != 0)
        return;
    Import_Excel* dialog = Import_Excel::defaultInstance();
    dialog->open_mode = QStringLiteral("E");
    if (dialog->Open_excel_Wnd(path) != 1)
        return;
    Excel_Source_Path = path;
    Excel_Binding_Use = Data_From_Excel::defaultInstance()->rowCountOfTable() > 0;
    Show_First_Row_On_Design();
    Show_RHS_Properties(Last_Selected_Graphic);
    Data_From_Excel_Dialog::defaultInstance()->Open_Wnd();
}

void SKTWindowController::Show_First_Row_On_Design()
{
    outputCommands(); // makes the output host
    const BatchFillJob::Design d = _outputHost->design();
    SeriesBindingTable series;
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, d.twoSided, _outputHost->dataTable(), series);
    const std::unique_ptr<BatchFillJob> fill = BatchFillJob::create(d, series, _outputHost->dataTable());
    _outputHost->restoreFirstRow(*fill);
    // The inspector lists the new columns or series and the item's new text.
    if (_inspector)
        _inspector->reloadInspected();
}

// ---------------------------------------------------------------- entry points of other commands

void SKTWindowController::Open_Barcode_Window()
{
    SKTGraphicView* view = currentGraphicView();
    const GraphicPtr item = view->_Selected_Graphic;
    if (!item || item->kind() != GraphicKind::Barcode || item->ctrl_is_locked)
        return;
    Barcode_Gen* designer = Barcode_Gen::defaultInstance();
    BarcodeDataSources& sources = designer->dataSources;
    sources.seriesNames = [] { return SeriesFiles::Get_datasheet_File_Name_Array(); };
    sources.firstValueOfSeries = [](const QString& name) { return SeriesFiles::Get_First_Value_Of_Dataset(name); };
    sources.seriesValues = [](const QString& name) { return SeriesFiles::readForViewer(name); };
    sources.columnTitles = [] { return Data_From_Excel_Window ? Data_From_Excel_Window->columnTitles() : QStringList(); };
    sources.firstValueOfColumn = [](int column) {
        return Data_From_Excel_Window ? Data_From_Excel_Window->value(0, column) : QString();
    };
    QUndoStack* undo = _document->isUndoRegistrationEnabled() ? _document->undoManager() : nullptr;
    const int before = _document->undoManager()->index();
    const bool edited = ::Open_Barcode_Window(item, view->selectedGraphics(), undo, std::nullopt);
    // The designer's step belongs to the side it was made on.
    if (undo && undo->index() > 0 && undo->index() != before)
        if (auto* step = dynamic_cast<SideUndoCommand*>(const_cast<QUndoCommand*>(undo->command(undo->index() - 1)));
            step && step->cardSide() < 0)
            step->setCardSide(Card_Front_Or_Back != 0 ? 1 : 0);
    if (edited) {
        Refresh_Canvas();
        Undo_Redo_Button_state();
    }
}

void SKTWindowController::Open_Design_Clicked() {}
void SKTWindowController::Save_Design_Clicked() {}
OutputCommands* SKTWindowController::outputCommands()
{
    if (!_outputCommands) {
        _outputHost = std::make_unique<WindowOutputHost>(*this);
        _outputCommands = new OutputCommands(*_outputHost, this);
    }
    return _outputCommands;
}

void SKTWindowController::Print_Button() { outputCommands()->Print_Button(); }
void SKTWindowController::Export_Button() { outputCommands()->Export_Button(); }

void SKTWindowController::Help_Button()
{
    if (!HelpWindow)
        HelpWindow = new Help_Support(this);
    HelpWindow->Open_Wnd();
}
void SKTWindowController::Mail_Button()
{
    MailWindowSource source(*this);
    source.checkData();
    Send_Mail* dialog = Send_Mail::defaultInstance(this);
    dialog->setDesignSource(&source);
    dialog->Open_Wnd();
    dialog->setDesignSource(nullptr);
}

// ---------------------------------------------------------------- host for the items

QImage SKTWindowController::mainPhotoImage() const
{
    QMutexLocker lock(&_photoMutex);
    return Main_Photo_image;
}

void SKTWindowController::resetImageEditingControls()
{
    if (_inspector)
        _inspector->Reset_Image_Editing_Controls();
}

void SKTWindowController::setMainPhotoImage(const QImage& image)
{
    QMutexLocker lock(&_photoMutex);
    Main_Photo_image = image;
}

void SKTWindowController::closeEvent(QCloseEvent* event) { event->accept(); }
