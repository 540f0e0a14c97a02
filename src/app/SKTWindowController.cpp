// The main window's layout: the canvases of the sides, the inspector dock, side switching, the tools and
// the command states.

#include "app/SKTWindowController.h"

#include "app/Grid_Wizard.h"
#include "app/WindowOutputHost.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorLogic.h"
#include "app/inspector/InspectorPanel.h"
#include "app/inspector/WindowInspectorHost.h"
#include "barcode/BarcodeItemDrawing.h"
#include "canvas/CardBase.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/SKTGrid.h"
#include "canvas/ui/GraphicCommandIds.h"
#include "common/Globals.h"
#include "common/ui/UiHelpers.h"
#include "data/Data_From_Excel.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "output/ui/OutputCommands.h"
#include "wizards/InvitationState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

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

} // namespace

SKTWindowController::SKTWindowController(SKTDocument* document, QWidget* parent, const WindowStart& start)
    : QMainWindow(parent), _document(document)
{
    Main_App_wnd = this;
    setCanvasHost(this);
    setWindowTitle(QStringLiteral("NAVU Photo Frame[*]"));
    _grid = new SKTGrid(this);
    _tempCardProp = Front_card_Prop;
    choosePictureFile = [this] {
        QStringList patterns;
        for (const QByteArray& f : QImageReader::supportedImageFormats())
            patterns << QStringLiteral("*.") + QString::fromLatin1(f);
        const QString filter = tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
        return rememberDialogPath(
            QFileDialog::getOpenFileName(this, tr("Choose a Picture"), dialogStartPath(), filter));
    };

    buildCanvases();
    buildActions();
    buildMenusAndToolbars();
    buildContextMenus();
    setUpProfiles();
    buildInspectorDock();
    if (start.beforeText)
        start.beforeText();
    buildInspector(start.backgroundPageLater);
    buildStatusBar();

    connect(_document->undoManager(), &QUndoStack::indexChanged, this, [this, last = 0](int index) mutable {
        Undo_Redo_Button_state();
        updateSelectionStatus();
        // Undo may take away the inspected item.
        if (Last_Selected_Graphic && !Get_Front_Controls_Array().contains(Last_Selected_Graphic) &&
            !Get_Back_Controls_Array().contains(Last_Selected_Graphic) &&
            !_document->graphics_temp().contains(Last_Selected_Graphic))
            Show_RHS_Properties(nullptr);
        // A step, its undo or its redo may change the inspected item's fields (natural size takes off the
        // flips): the panels show it again. Moves and resizes change nothing they show; the inspector's own
        // steps show what was written and reload themselves on undo and redo.
        const QUndoCommand* step =
            _document->undoManager()->command(index < last ? index : index - 1);
        last = index;
        if (_inspector && step && step->id() != MoveGraphicsCommandId && step->id() != ResizeGraphicCommandId &&
            step->id() != inspector::PropertyEditCommand::Id)
            _inspector->reloadInspected();
    });
    // The title's mark follows the design's content, not the steps that change nothing stored.
    connect(_document, &SKTDocument::modifiedChanged, this, &QWidget::setWindowModified);
    // The data table is stored with the design: replaced inside a step (a sheet import), that step keeps it;
    // replaced outside one (a profile dialog run from the start wizard), the design counts as changed.
    if (Data_From_Excel* table = Data_From_Excel::defaultInstance())
        connect(table, &QAbstractItemModel::modelReset, this, [this] {
            const bool inStep =
                _restoringCardEdit || _profileHoldsTable || (_cardEditDepth > 0 && _cardEditRegistration);
            if (!inStep)
                _document->markChangedOutsideUndo();
        });
    Data_From_Excel_Dialog::setDefaultUndoStack(_document->undoManager());
    // A cell edited in the table window is one step with the first row the design shows.
    Data_From_Excel_Dialog::setCellEditRecorder(this, [this](const std::function<void()>& edit) {
        if (_profileHoldsTable) {
            edit(); // lands with the profile, on the design its action leaves
            return;
        }
        recordCardEdit(tr("Edit Cell"), -1, [&] {
            edit();
            Show_First_Row_On_Design();
        });
    });
    connect(_document, &SKTDocument::canvasSizeChanged, this, [this](const QSizeF& size) {
        for (SKTGraphicView* v : {_graphicView, _graphicView_BACK, _graphicView_TEMP})
            v->setCanvasSize(size);
        // The canvas and every output cut such items at the card's edge.
        const int beyond = _document->itemsBeyondCard();
        if (beyond == 1)
            statusBar()->showMessage(tr("1 item lies wholly or partly outside the card."));
        else if (beyond > 1)
            statusBar()->showMessage(tr("%1 items lie wholly or partly outside the card.").arg(beyond));
    });
    connect(_grid, &SKTGrid::alwaysShownChanged, this, [this](bool shown) {
        Align_with_grid_btn->setEnabled(shown && shownViewIndex() != 2);
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
    // A field in focus sends its last edit when the focus leaves it: it leaves while the window and the
    // inspector's host are whole, and the inspector goes before the members it uses, so nothing arrives after.
    if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    delete std::exchange(_inspector, nullptr);
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
}

void SKTWindowController::buildInspectorDock()
{
    // The right-hand area that the inspector fills.
    _inspectorDock = new QDockWidget(tr("Properties"), this);
    _inspectorDock->setObjectName(QStringLiteral("inspectorDock"));
    _inspectorDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    addDockWidget(Qt::RightDockWidgetArea, _inspectorDock);
}

void SKTWindowController::buildInspector(bool backgroundPageLater)
{
    _inspectorHost = std::make_unique<WindowInspectorHost>(this);
    _inspector = new InspectorPanel(_inspectorHost.get(), nullptr, inspector::tabPlanForCard().tabs,
                                    backgroundPageLater ? InspectorPanel::BackgroundPage::OnDemand
                                                        : InspectorPanel::BackgroundPage::WithPanel);
    _inspector->setMinimumWidth(350);
    sett_tab = _inspector->sett_tab;
    _inspectorDock->setWidget(_inspector);
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
                // Grown near an edge, it moves back inside the card; larger than the card, the status line
                // says so, as a card resize does.
                const QSizeF card = _document->canvasSize();
                QRectF r = item->bounds().normalized();
                r.moveTo(std::clamp(r.left(), 0.0, std::max(0.0, card.width() - r.width())),
                         std::clamp(r.top(), 0.0, std::max(0.0, card.height() - r.height())));
                item->setBounds(r);
                if (!QRectF(QPointF(0, 0), card).contains(r))
                    statusBar()->showMessage(tr("1 item lies wholly or partly outside the card."));
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
    lockPreviewCommands();
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
    Front_back_label->setText(QStringLiteral("TEMP (preview, not saved)"));
    changeViewController(2);
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::lockPreviewCommands()
{
    // The scratch side is a preview that is never saved: nothing can be made or changed while it shows.
    const bool preview = shownViewIndex() == 2;
    _graphicView_TEMP->setEnabled(!preview);
    _inspectorDock->setEnabled(!preview);
    for (QAction* a : std::as_const(_designActions))
        a->setEnabled(!preview);
    Align_with_grid_btn->setEnabled(!preview && _grid->isAlwaysShown());
    if (!preview)
        return;
    for (QAction* a : {Cut_btn, Copy_btn, Paste_btn, Delete_btn, Begin_Front_btn, Send_Back_btn, Lock_btn,
                       Unlock_btn})
        a->setEnabled(false);
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
    // The chosen picture goes where the user clicks (or drags) next, as with the other tools; then the arrow
    // tool returns.
    Library_Selected_Image = path;
    setSelectedTool(tool);
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
        // A frame picture or photo keeps order and lock off; otherwise the lock's own set stands.
        if (_graphicView->There_Is_Frame_Pic_Or_Frame_Photo())
            for (QAction* a : {Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
                a->setEnabled(false);
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
    lockPreviewCommands();
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
    lockPreviewCommands();
}

void SKTWindowController::Set_Paste_Button_Status()
{
    Paste_btn->setEnabled(hasGraphics(QGuiApplication::clipboard()->mimeData()));
    if (shownViewIndex() == 2)
        Paste_btn->setEnabled(false);
}

void SKTWindowController::Print_object_chk_changed(int state) { currentGraphicView()->print_contol_or_not(state); }

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
    if (_outputCommands)
        _outputCommands->designReplaced();
}

// ---------------------------------------------------------------- host for the items

ItemPicture SKTWindowController::mainPhotoImage() const
{
    QMutexLocker lock(&_photoMutex);
    return Main_Photo_image;
}

QString SKTWindowController::mainPhotoPath() const
{
    return Invite_Frame_Pic_IMG;
}

void SKTWindowController::resetImageEditingControls()
{
    if (_inspector)
        _inspector->Reset_Image_Editing_Controls();
}

void SKTWindowController::setMainPhotoImage(const ItemPicture& image)
{
    QMutexLocker lock(&_photoMutex);
    Main_Photo_image = image;
}

void SKTWindowController::closeEvent(QCloseEvent* event) { event->accept(); }
