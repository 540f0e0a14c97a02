// The main window's commands: edit, lock, arrange and grid, series and data table, barcode designer, print,
// export, mail and help.

#include "app/SKTWindowController.h"

#include "app/Grid_Wizard.h"
#include "app/MailWindowSource.h"
#include "app/Open_Export_Log.h"
#include "app/WindowOutputHost.h"
#include "app/inspector/InspectorPanel.h"
#include "barcode/ui/BarcodeItemEditing.h"
#include "barcode/ui/Barcode_Gen.h"
#include "canvas/SKTGrid.h"
#include "canvas/SideUndoCommand.h"
#include "canvas/ui/GraphicCommands.h"
#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/UiHelpers.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/Generate_List.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/Import_Wizard.h"
#include "output/mail/ui/Send_Mail.h"
#include "output/ui/Help_Support.h"
#include "output/ui/OutputCommands.h"
#include "wizards/InvitationState.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QScopeGuard>
#include <QSlider>
#include <QUndoStack>
#include <functional>

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
    // The stack's index change has shown the inspected item again (its lock, its print flag, its binding).
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
    if (mainPhotoState)
        st.photo = mainPhotoState();
    st.sheetInUse = Excel_Binding_Use;
    st.sheetPath = Excel_Source_Path;
    if (const Data_From_Excel* table = Data_From_Excel::defaultInstance()) {
        st.sheetTitles = table->columnTitles();
        st.sheetRows = table->content();
        st.sheetRevision = table->revision();
    }
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
    Excel_Binding_Use = st.sheetInUse;
    Excel_Source_Path = st.sheetPath;
    if (Data_From_Excel* table = Data_From_Excel::defaultInstance(); table && table->revision() != st.sheetRevision)
        table->setContent(st.sheetTitles, st.sheetRows);
    // The photo before the items, which keep the picture they showed.
    if (restoreMainPhoto && mainPhotoState && !(mainPhotoState() == st.photo))
        restoreMainPhoto(st.photo);
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
    // The panels show the restored side. Nothing is applied again: the items, frames included, are back as
    // they were recorded.
    Show_RHS_Properties(nullptr);
    _restoringCardEdit = false;
    for (SKTGraphicView* v : {_graphicView, _graphicView_BACK})
        v->update();
}

void SKTWindowController::revertCardEdit(const CardEditState& start)
{
    if (captureCardEdit().sameAs(start))
        return;
    restoreCardEdit(start);
    // The table put back is a new revision of the same table: the outermost edit starts again from here.
    if (_cardEditDepth == 1 && _cardEditBefore)
        _cardEditBefore = captureCardEdit();
}

void SKTWindowController::beginCardEdit()
{
    if (_restoringCardEdit)
        return;
    if (_cardEditDepth++ > 0)
        return;
    _cardEditBefore = captureCardEdit();
    followTableWindowUndo();
    // What the canvas and the inspector would record as steps of their own is part of this one.
    _cardEditRegistration = _document->isUndoRegistrationEnabled();
    _document->setUndoRegistrationEnabled(false);
}

void SKTWindowController::endCardEdit(const QString& text, const QString& mergeKey, int side)
{
    if (_restoringCardEdit || _cardEditDepth == 0)
        return;
    if (--_cardEditDepth > 0)
        return;
    followTableWindowUndo();
    _document->setUndoRegistrationEnabled(_cardEditRegistration);
    if (!_cardEditBefore)
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

void SKTWindowController::followTableWindowUndo()
{
    // Inside a step, or while a profile dialog holds the table, the table window's Undo would take back the
    // design's earlier steps: it has none then.
    Data_From_Excel_Dialog::setDefaultUndoStack(_cardEditDepth > 0 || _profileHoldsTable ? nullptr
                                                                                         : _document->undoManager());
}

void SKTWindowController::recordCardEdit(const QString& text, int side, const std::function<void()>& edit)
{
    beginCardEdit();
    const auto end = qScopeGuard([&] { endCardEdit(text, QString(), side); });
    edit();
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

// The grid is a view setting, not part of the design: its changes are no undo steps.
void SKTWindowController::toggleGridConstraining()
{
    _grid->setConstraining(!_grid->isConstraining());
    if (_snapAction)
        _snapAction->setChecked(_grid->isConstraining());
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
    _grid->setColor(color);
    _grid->setAlwaysShown(true);
}

void SKTWindowController::Grid_Slider_Changed(int spacing)
{
    _grid->setSpacing(spacing);
    _grid->setAlwaysShown(true);
}

void SKTWindowController::Grid_Show_Hide_Changed(int state)
{
    _grid->setAlwaysShown(state != 0);
    Grid_Wizard::defaultInstance(this)->Grid_Opt_box->setEnabled(_grid->isAlwaysShown());
}

// ---------------------------------------------------------------- export-finished window

Open_Export_Log* SKTWindowController::Open_Export_Files()
{
    if (!_exportLog)
        _exportLog = new Open_Export_Log(this);
    return _exportLog;
}

int SKTWindowController::Open_Export_File_Box(const QString& path, const QString& message, bool written,
                                              const QString& details) {
    Open_Export_Log* log = Open_Export_Files();
    log->prepare(path, message, written, details);
    return log->runModal();
}

// ---------------------------------------------------------------- series and data table

// A series changed in these dialogs shows its new first value in the items bound to it: one step each.
void SKTWindowController::Batch_Series_Button()
{
    recordCardEdit(tr("Batch Processing Series"), -1, [] { BatchWizard::defaultInstance()->Open_Wnd(); });
    Show_RHS_Properties(Last_Selected_Graphic);
}

void SKTWindowController::Import_Wizard_Button()
{
    Import_Wizard* wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    wizard->file_name_Insert = 0;
    recordCardEdit(tr("Import Series"), -1, [wizard] { wizard->Open_Wnd(); });
}

void SKTWindowController::Create_Series_Button()
{
    Generate_List* generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    generator->file_name_Insert = 0;
    recordCardEdit(tr("Create Series"), -1, [generator] { generator->Open_Wnd(); });
}

void SKTWindowController::Import_Sheet_Button()
{
    const QString path = rememberDialogPath(QFileDialog::getOpenFileName(
        this, tr("Choose Workbook"), dialogStartPath(), tr("Excel Workbook (*.xlsx *.XLSX)")));
    if (path.isEmpty() || Check_And_Validate_File_Path(path) != 0)
        return;
    Import_Excel* dialog = Import_Excel::defaultInstance();
    dialog->open_mode = QStringLiteral("E");
    // The new table, the binding and the first row it brings onto the design are one step.
    bool imported = false;
    recordCardEdit(tr("Import Excel Sheet"), -1, [&] {
        imported = dialog->Open_excel_Wnd(path) == 1;
        if (!imported)
            return;
        Excel_Source_Path = path;
        Excel_Binding_Use = Data_From_Excel::defaultInstance()->rowCountOfTable() > 0;
        Show_First_Row_On_Design();
    });
    if (!imported)
        return;
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
    designer->cardWidth = _document->canvasSize().width();
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

// A run with data leaves data row 0 on the design, one step named after the command that ran.
void SKTWindowController::Print_Button()
{
    recordCardEdit(tr("Print"), -1, [this] { outputCommands()->Print_Button(); });
}
void SKTWindowController::Export_Button()
{
    recordCardEdit(tr("Export Image"), -1, [this] { outputCommands()->Export_Button(); });
}

void SKTWindowController::Help_Button()
{
    if (!HelpWindow)
        HelpWindow = new Help_Support(this);
    HelpWindow->Open_Wnd();
}
void SKTWindowController::Mail_Button()
{
    if (LongJobGuard::active() || (_outputCommands && _outputCommands->batchRunning())) {
        Show_MessageBox(LongJobGuard::busyMessage());
        return;
    }
    landTypedEdit();
    MailWindowSource source(*this);
    source.checkData();
    Send_Mail* dialog = Send_Mail::defaultInstance(this);
    dialog->setDesignSource(&source);
    recordCardEdit(tr("E-mail"), -1, [dialog] { dialog->Open_Wnd(); });
    dialog->setDesignSource(nullptr);
}
