#include "RecordingPrompt.h"
#include "../canvas_ui/ViewDriver.h"

#include "app/Grid_Wizard.h"
#include "app/inspector/Image_Library.h"
#include "app/inspector/InspectorPanel.h"
#include "app/SKTWindowController.h"
#include "app/ToolIcons.h"
#include "barcode/BarcodeGeneration.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"
#include "data/Data_From_Excel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QScrollArea>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QLineEdit>
#include <QUndoStack>
#include <QWheelEvent>

using namespace viewdriver;

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

GraphicPtr shape(const QRectF& r, bool locked = false) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
    g->_shape_type = QStringLiteral("R");
    g->setBounds(r);
    g->ctrl_is_locked = locked;
    return g;
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    RecordingPrompt prompt;

    QString states() const {
        // Cut, Copy, Paste, Delete, Front, Back, Lock, Unlock as 1/0.
        QString s;
        for (QAction* a : {wnd->Cut_btn, wnd->Copy_btn, wnd->Paste_btn, wnd->Delete_btn, wnd->Begin_Front_btn,
                           wnd->Send_Back_btn, wnd->Lock_btn, wnd->Unlock_btn})
            s += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

private slots:
    void init() {
        Card_Front_Or_Back = 0;
        Card_Value_In_Process = false;
        last_ctrl_X = last_ctrl_Y = 10;
        setPromptHandler(&prompt);
        prompt.texts.clear();
        prompt.answer = false;
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() {
        delete wnd;
        delete doc;
        setPromptHandler(nullptr);
        QCOMPARE(Main_App_wnd, nullptr);
    }

    // The window opens inside the screen's free area, so its status bar and scroll bars can be seen.
    void windowFitsScreen() {
        const QRect avail = wnd->screen()->availableGeometry();
        const QSize least = wnd->minimumSizeHint();
        QVERIFY2(wnd->height() <= std::max(avail.height(), least.height()),
                 qPrintable(QStringLiteral("%1 > %2").arg(wnd->height()).arg(avail.height())));
        QVERIFY(wnd->width() <= std::max(avail.width(), least.width()));
    }

    void buttonStateSets_data() {
        QTest::addColumn<QString>("inspected"); // card, unlocked, locked, photo
        QTest::addColumn<QString>("clipboard"); // items, files, empty
        QTest::addColumn<QString>("expected");
        const struct {
            const char* tag;
            QString inspected, clipboard, expected;
        } rows[] = {
            {"card, items on clipboard", "card", "items", "00100000"},
            {"card, files on clipboard", "card", "files", "00000000"},
            {"unlocked, items", "unlocked", "items", "11111110"},
            {"unlocked, files", "unlocked", "files", "11011110"},
            {"unlocked, empty", "unlocked", "empty", "11011110"},
            {"locked, items", "locked", "items", "00000001"},
            {"main photo, items", "photo", "items", "11110000"},
            {"picture, items", "picture", "items", "11111110"},
            {"locked picture, items", "locked picture", "items", "00000001"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.inspected << r.clipboard << r.expected;
    }
    void buttonStateSets() {
        QFETCH(QString, inspected);
        QFETCH(QString, clipboard);
        if (clipboard == "items")
            QGuiApplication::clipboard()->setMimeData(makeGraphicsMimeData({shape(QRectF(0, 0, 5, 5))}));
        if (clipboard == "files") {
            auto* files = new QMimeData;
            files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.png"))});
            QGuiApplication::clipboard()->setMimeData(files);
        }
        GraphicPtr item;
        if (inspected.contains("p")) {
            item = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
            item->control_ID = inspected == "photo" ? QStringLiteral("PARTY_IMAGE") : QString();
            item->ctrl_is_locked = inspected.startsWith("locked");
        } else if (inspected != "card") {
            item = shape(QRectF(10, 10, 40, 40), inspected == "locked");
        }
        if (item) {
            doc->setGraphics(CardSide::Front, {item});
            wnd->_graphicView->selectGraphic(item);
        }
        const bool undoBefore = wnd->Undo_btn->isEnabled();
        wnd->Show_RHS_Properties(item);
        QTEST(states(), "expected");
        QCOMPARE(wnd->Undo_btn->isEnabled(), undoBefore);
        QCOMPARE(wnd->Last_Selected_Graphic, item);
    }

    void undoRedoButtonsFollowTheStack() {
        QVERIFY(!wnd->Undo_btn->isEnabled());
        QVERIFY(!wnd->Redo_btn->isEnabled());
        wnd->toolAction(3)->trigger();
        QCOMPARE(wnd->Selected_Control_Tool, 3);
        QCOMPARE(wnd->currentGraphicClass(), QStringLiteral("Shape_Control"));
        drag(wnd->_graphicView, QPointF(20, 20), QPointF(80, 70));
        QCOMPARE(doc->graphics().size(), 1);
        QCOMPARE(wnd->Selected_Control_Tool, 0); // back to the arrow after a creation
        QVERIFY(wnd->toolAction(0)->isChecked());
        QCOMPARE(wnd->Last_Selected_Graphic, doc->graphics().first());
        QVERIFY(wnd->Undo_btn->isEnabled());
        QVERIFY(!wnd->Redo_btn->isEnabled());
        wnd->Undo_Clicked();
        QVERIFY(doc->graphics().isEmpty());
        QVERIFY(!wnd->Undo_btn->isEnabled());
        QVERIFY(wnd->Redo_btn->isEnabled());
        QVERIFY(!wnd->Last_Selected_Graphic); // the inspected item went away with the undo
        wnd->Redo_Clicked();
        QCOMPARE(doc->graphics().size(), 1);

        // The menu names the step; the toolbar buttons keep short fixed labels so the row does not jump.
        QCOMPARE(wnd->Undo_btn->text(), QStringLiteral("Undo Insert"));
        for (QToolBar* bar : wnd->findChildren<QToolBar*>()) {
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(wnd->Undo_btn)))
                QCOMPARE(button->text(), QStringLiteral("Undo"));
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(wnd->Redo_btn)))
                QCOMPARE(button->text(), QStringLiteral("Redo"));
        }
    }

    void libraryToolTakesTheChosenPicture()
    {
        QTemporaryDir dir;
        const QString saved = Resource_Path;
        Resource_Path = dir.path();
        QDir(dir.path()).mkpath(QStringLiteral("LibraryImage/Animals"));
        const QString picture = dir.filePath(QStringLiteral("LibraryImage/Animals/cat.png"));
        QImage(200, 100, QImage::Format_RGB32).save(picture);

        QTimer::singleShot(0, [] {
            auto* box = Image_Library::defaultInstance()->findChild<QDialogButtonBox*>();
            QVERIFY(box);
            box->button(QDialogButtonBox::Ok)->click();
        });
        // The chosen picture goes where the card is clicked, in its proportions; the arrow tool is back then,
        // so a later click on the card places nothing.
        wnd->toolAction(9)->trigger();
        QCOMPARE(QFileInfo(Library_Selected_Image).canonicalFilePath(), QFileInfo(picture).canonicalFilePath());
        QVERIFY(doc->graphics().isEmpty());
        click(wnd->_graphicView, QPointF(200, 150));
        QCOMPARE(wnd->Selected_Control_Tool, 0);
        QCOMPARE(doc->graphics().size(), 1);
        const GraphicPtr item = doc->graphics().first();
        QCOMPARE(item->kind(), GraphicKind::Image);
        QCOMPARE(item->_image.size(), QSize(200, 100));
        QCOMPARE(item->bounds().topLeft(), QPointF(200, 150));
        QCOMPARE(item->bounds().width(), 2 * item->bounds().height());
        click(wnd->_graphicView, QPointF(300, 300));
        QCOMPARE(doc->graphics().size(), 1);

        // Cancelling the library leaves the arrow tool.
        QTimer::singleShot(0, [] { Image_Library::defaultInstance()->reject(); });
        wnd->toolAction(9)->trigger();
        QCOMPARE(wnd->Selected_Control_Tool, 0);
        Library_Selected_Image.clear();
        Resource_Path = saved;
    }

    // A sheet imported into the data table shows its first row on the bound items at once, as a print
    // would; unbound items keep their text.
    void importedSheetShowsItsFirstRow() {
        GraphicPtr bound = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        static_cast<SKTText*>(bound.get())->setText(QStringLiteral("Alice"));
        bound->data_source_type = 2;
        bound->excel_col_indx = 2;
        GraphicPtr plain = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        static_cast<SKTText*>(plain.get())->setText(QStringLiteral("Hello"));
        doc->setGraphics(CardSide::Front, {bound, plain});
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->setTable({"Row No.", "Name", "Town"}, {{"1", "Anna", "Oslo"}});
        wnd->_graphicView->selectGraphic(bound);
        wnd->Show_RHS_Properties(bound);
        QVERIFY(wnd->inspector());
        QCOMPARE(wnd->inspector()->Batch_Series->itemText(2), QStringLiteral("Town"));

        table->setTable({"Row No.", "Num", "City"}, {{"1", "7", "Lima"}, {"2", "8", "Nice"}});
        wnd->Show_First_Row_On_Design();
        QCOMPARE(bound->Text_Value, QStringLiteral("Lima"));
        QCOMPARE(plain->Text_Value, QStringLiteral("Hello"));
        QVERIFY(!Card_Value_In_Process);
        // The inspector of the selected item lists the new columns and shows the new text.
        QComboBox* columns = wnd->inspector()->Batch_Series;
        QCOMPARE(columns->count(), 3);
        QCOMPARE(columns->itemText(1), QStringLiteral("Num"));
        QCOMPARE(columns->currentText(), QStringLiteral("City"));
        QCOMPARE(wnd->inspector()->Text_value_Edit->toPlainText(), QStringLiteral("Lima"));
        table->clear();
    }

    void newBarcodeShowsItsBarcode()
    {
        // A barcode drawn with the tool shows the barcode of its default style, not the sample picture.
        wnd->toolAction(10)->trigger();
        drag(wnd->_graphicView, QPointF(20, 20), QPointF(180, 110));
        QCOMPARE(doc->graphics().size(), 1);
        const GraphicPtr item = doc->graphics().first();
        QCOMPARE(item->kind(), GraphicKind::Barcode);
        const BarcodeResult expected = Get_Item_Barcode(*item);
        QVERIFY2(expected.ok(), qPrintable(expected.reason));
        QVERIFY(!item->_barcode_image.isNull());
        QCOMPARE(item->_barcode_image, expected.image);
        // Placed near the card's right edge, it grows to its natural size inside the card.
        const QRectF card(QPointF(0, 0), doc->canvasSize());
        wnd->toolAction(10)->trigger();
        drag(wnd->_graphicView, QPointF(card.width() - 12, 20), QPointF(card.width() - 4, 30));
        QCOMPARE(doc->graphics().size(), 2);
        QVERIFY(card.contains(doc->graphics().first()->bounds()));
        QCOMPARE(doc->graphics().first()->bounds().right(), card.width());
    }

    void clickBesideTheCardDeselects()
    {
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a});
        wnd->resize(1400, 900);
        wnd->_graphicView->setZoom(0.5);
        QApplication::processEvents();
        click(wnd->_graphicView, QPointF(20, 20));
        QCOMPARE(wnd->_graphicView->selectedGraphics(), GraphicList{a});
        QWidget* viewport = wnd->_graphicView->parentWidget(); // the scroll area's viewport
        const QPoint beside(3, 3);
        QVERIFY(!wnd->_graphicView->geometry().contains(beside));
        click(viewport, QPointF(beside));
        QVERIFY(wnd->_graphicView->selectedGraphics().isEmpty());
        QVERIFY(!wnd->Last_Selected_Graphic); // the inspector shows the card again
    }

    void newTextTakesTypingAtOnce()
    {
        wnd->activateWindow();
        wnd->toolAction(2)->trigger();
        click(wnd->_graphicView, QPointF(40, 40));
        QCOMPARE(doc->graphics().size(), 1);
        QVERIFY(wnd->inspector());
        QPlainTextEdit* edit = wnd->inspector()->Text_value_Edit;
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, QStringLiteral("Hi"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("Hi")); // the sample text was selected, so it is replaced
    }

    // The palette's pictures come at the sizes shown, as Qt would make them from the full picture.
    void toolPicturesAtShownSizes() {
        for (int tool = 0; tool < ToolIconCount; ++tool) {
            const QIcon icon = toolIcon(tool);
            const QIcon full(icon.pixmap(32));
            for (const int side : {28, 16})
                QCOMPARE(icon.pixmap(side).toImage(), full.pixmap(side).toImage());
        }
    }

    void keyboardShortcuts() {
        wnd->activateWindow();
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a});
        wnd->_graphicView->setFocus();
        QTest::keyClick(wnd->_graphicView, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(wnd->_graphicView->selectedGraphics(), GraphicList{a});
        QTest::keyClick(wnd->_graphicView, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(hasGraphics(QGuiApplication::clipboard()->mimeData()));
        QTest::keyClick(wnd->_graphicView, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc->graphics().size(), 2);
        QTest::keyClick(wnd->_graphicView, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc->graphics().size(), 1);
        QTest::keyClick(wnd->_graphicView, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc->graphics().size(), 2);
        QTest::keyClick(wnd->_graphicView, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(wnd->_graphicView, Qt::Key_Delete);
        QVERIFY(doc->graphics().isEmpty());
    }

    void sideSwitch() {
        wnd->Select_back_side();
        QCOMPARE(wnd->Front_back_label->text(), QStringLiteral("Back"));
        QCOMPARE(Card_Front_Or_Back, 1);
        QCOMPARE(wnd->shownViewIndex(), 1);
        QCOMPARE(wnd->currentGraphicView(), wnd->_graphicView_BACK);
        wnd->Select_temp_design_side();
        QCOMPARE(wnd->Front_back_label->text(), QStringLiteral("TEMP (preview, not saved)"));
        QCOMPARE(Card_Front_Or_Back, 1); // unchanged
        QCOMPARE(wnd->shownViewIndex(), 2);
        wnd->changeViewController(3);
        QCOMPARE(wnd->shownViewIndex(), 2);
        wnd->Select_front_side();
        QCOMPARE(wnd->Front_back_label->text(), QStringLiteral("Front"));
        QCOMPARE(Card_Front_Or_Back, 0);
        QCOMPARE(wnd->shownViewIndex(), 0);
    }

    void sideSwitchShowsTheCard() {
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a});
        click(wnd->_graphicView, QPointF(20, 20));
        QCOMPARE(wnd->Last_Selected_Graphic, a);
        wnd->Select_back_side();
        wnd->Select_front_side();
        QVERIFY(!wnd->Last_Selected_Graphic);
        QVERIFY(wnd->_graphicView->selectedGraphics().isEmpty());
        QCOMPARE(states(), QStringLiteral("00000000"));
    }

    void refreshCanvas() {
        PaintCounter counter;
        wnd->_graphicView->installEventFilter(&counter);
        QTest::qWait(20);
        counter.paints = 0;

        Card_Value_In_Process = true;
        wnd->Refresh_Canvas();
        QTest::qWait(30);
        QCOMPARE(counter.paints, 0);

        Card_Value_In_Process = false;
        wnd->Refresh_Canvas();
        QTRY_VERIFY(counter.paints > 0);

        // From a worker the request is handed to the GUI thread.
        counter.paints = 0;
        QThread* worker = QThread::create([this] { wnd->Refresh_Canvas(); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QTRY_VERIFY(counter.paints > 0);
        wnd->_graphicView->removeEventFilter(&counter);
    }

    void lockAndUnlock() {
        wnd->Lock_Clicked();
        wnd->Unlock_Clicked();
        QCOMPARE(prompt.texts, (QStringList{QStringLiteral("Please select a control to Lock."),
                                            QStringLiteral("Please select a control to Unlock.")}));
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        GraphicPtr b = shape(QRectF(100, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a, b});
        wnd->_graphicView->selectAll();
        wnd->Lock_Clicked();
        QVERIFY(a->ctrl_is_locked && b->ctrl_is_locked);
        QCOMPARE(wnd->_graphicView->selectedGraphics(), (GraphicList{a, b}));
        QCOMPARE(states(), QStringLiteral("00000001"));
        wnd->Align_Left_Clicked();
        QCOMPARE(b->bounds().x(), 100.0);
        drag(wnd->_graphicView, QPointF(20, 20), QPointF(60, 60));
        QCOMPARE(a->bounds().topLeft(), QPointF(10, 10));

        wnd->_graphicView->selectAll();
        wnd->Unlock_Clicked();
        QVERIFY(!a->ctrl_is_locked && !b->ctrl_is_locked);
        QCOMPARE(states().right(2), QStringLiteral("10"));
        wnd->Align_Left_Clicked();
        QCOMPARE(b->bounds().x(), 10.0);
    }

    void arrangeGuards() {
        GraphicPtr a = shape(QRectF(13, 13, 20, 20));
        GraphicPtr b = shape(QRectF(50, 50, 30, 10));
        doc->setGraphics(CardSide::Front, {a, b});
        wnd->_graphicView->selectGraphic(a);
        wnd->Make_Same_Width_Clicked();
        wnd->Make_Same_Height_Clicked();
        wnd->Align_To_Grid_Clicked();
        QCOMPARE(prompt.texts, (QStringList{QStringLiteral("Please select more than one control."),
                                            QStringLiteral("Please select more than one control."),
                                            QStringLiteral("Please use grid option first.")}));
        QCOMPARE(a->bounds(), QRectF(13, 13, 20, 20));

        wnd->_grid->setSpacing(9);
        wnd->_grid->setAlwaysShown(true);
        QVERIFY(wnd->Align_with_grid_btn->isEnabled());
        wnd->Align_To_Grid_Clicked();
        QCOMPARE(a->bounds(), QRectF(9, 9, 27, 27));

        wnd->_graphicView->selectAll();
        wnd->Make_Same_Width_Clicked();
        QCOMPARE(b->bounds(), QRectF(50, 50, 27, 10));
    }

    void arrangeActsOnTheCurrentSide() {
        GraphicPtr front = shape(QRectF(100, 100, 20, 20));
        GraphicPtr back = shape(QRectF(100, 100, 20, 20));
        doc->setGraphics(CardSide::Front, {front});
        doc->setGraphics(CardSide::Back, {back});
        wnd->_graphicView->selectAll();
        wnd->_graphicView_BACK->selectAll();
        Card_Front_Or_Back = 1;
        wnd->Align_Left_Clicked();
        QCOMPARE(back->bounds().x(), 0.0);
        QCOMPARE(front->bounds().x(), 100.0);
    }

    // The grid dialog acts at once; the grid is a view setting, so Undo passes over it to the last edit.
    void gridDialogActions() {
        doc->insertGraphics(CardSide::Front, {shape(QRectF(10, 10, 40, 40))});
        const int steps = doc->undoManager()->count();
        QSignalSpy changed(wnd->_grid, &SKTGrid::changed);
        wnd->Grid_Clr_Changed(QColor(255, 0, 0));
        QVERIFY(wnd->_grid->isAlwaysShown());
        QCOMPARE(wnd->_grid->color(), QColor(255, 0, 0));
        QVERIFY(wnd->Align_with_grid_btn->isEnabled());
        wnd->Grid_Show_Hide_Changed(0);
        QVERIFY(!wnd->_grid->isAlwaysShown());
        QVERIFY(!wnd->Align_with_grid_btn->isEnabled());
        wnd->Grid_Slider_Changed(20);
        QCOMPARE(wnd->_grid->spacing(), 20.0);
        QVERIFY(wnd->_grid->isAlwaysShown());
        QVERIFY(changed.count() >= 3);
        const bool snap = wnd->_grid->isConstraining();
        wnd->toggleGridConstraining();
        QCOMPARE(wnd->_grid->isConstraining(), !snap);
        QCOMPARE(doc->undoManager()->count(), steps);
        wnd->Undo_Clicked();
        QVERIFY(doc->graphics().isEmpty());
        QCOMPARE(wnd->_grid->spacing(), 20.0);
        wnd->New_Project_Setting_Reset();
        QVERIFY(!wnd->_grid->isAlwaysShown());
    }

    void gridDialogActsAtOnce() {
        wnd->_grid->setSpacing(9);
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, [this] {
                auto* dlg = Grid_Wizard::defaultInstance();
                QVERIFY(!dlg->Show_hide_grid_chk->isChecked());
                QVERIFY(!dlg->Grid_Opt_box->isEnabled());
                QCOMPARE(dlg->Grid_Space_slidr->value(), 9);
                dlg->Grid_Space_slidr->setValue(18);
                QVERIFY(dlg->Show_hide_grid_chk->isChecked() || wnd->_grid->isAlwaysShown());
                dlg->reject(); // Cancel keeps what was changed
            });
            wnd->toggleGridShowing();
            QCOMPARE(wnd->_grid->spacing(), 18.0);
            QVERIFY(wnd->_grid->isAlwaysShown());
            wnd->_grid->setSpacing(9);
            wnd->_grid->setAlwaysShown(false);
        }
    }

    void tempSideHoldsCopies() {
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        GraphicPtr b = shape(QRectF(30, 30, 10, 10));
        doc->setGraphics(CardSide::Front, {a});
        doc->setGraphics(CardSide::Back, {b});
        wnd->Temp_Design_Control_Assign();
        GraphicList temp = wnd->Get_Temp_Controls_Array();
        QCOMPARE(temp.size(), 1);
        QVERIFY(temp.first() != a);
        QCOMPARE(temp.first()->bounds(), a->bounds());
        temp.first()->setBounds(QRectF(0, 0, 1, 1));
        QCOMPARE(a->bounds(), QRectF(10, 10, 40, 40));

        Card_Front_Or_Back = 1;
        wnd->Temp_Design_Control_Assign();
        temp = wnd->Get_Temp_Controls_Array();
        QCOMPARE(temp.size(), 1);
        QCOMPARE(temp.first()->bounds(), b->bounds());
        QCOMPARE(&wnd->Get_Back_Controls_Array(), &doc->graphics_back());
    }

    void newItemsCascade() {
        wnd->SetDocumentCanvasSize(QSizeF(200, 100));
        QCOMPARE(wnd->Control_New_Point(QStringLiteral("F")), QPointF(10, 10));
        QCOMPARE(wnd->Control_New_Point(QStringLiteral("F")), QPointF(20, 20));
        for (int i = 0; i < 10; ++i)
            wnd->Control_New_Point(QStringLiteral("F"));
        // Never placed where the item would start off the card.
        const QPointF p = wnd->Control_New_Point(QStringLiteral("F"));
        QVERIFY(p.x() + 60 <= 200 && p.y() + 40 <= 100);
        QCOMPARE(wnd->_graphicView->canvasSize(), QSizeF(200, 100));
    }

    void inspectedItemNeverDangles() {
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a});
        click(wnd->_graphicView, QPointF(20, 20));
        QCOMPARE(wnd->Last_Selected_Graphic, a);
        QCOMPARE(wnd->_graphicView->_Selected_Graphic, a);
        wnd->Delete_Clicked();
        QVERIFY(!wnd->Last_Selected_Graphic);
        QVERIFY(!wnd->_graphicView->_Selected_Graphic);

        wnd->Undo_Clicked();
        click(wnd->_graphicView, QPointF(20, 20));
        QCOMPARE(wnd->Last_Selected_Graphic, a);
        doc->setGraphics(CardSide::Front, {});
        wnd->Design_Replaced();
        QVERIFY(!wnd->Last_Selected_Graphic);
        QVERIFY(!wnd->_graphicView->_Selected_Graphic);
    }

    // Import Excel Sheet's file dialog starts in the user's home, then in the folder last chosen in any of
    // the program's file dialogs.
    void fileDialogStartsInTheLastFolder() {
        QStringList seen;
        const QTemporaryDir dir;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, [&] {
                auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                seen << (d ? d->directory().absolutePath() : QString());
                if (d)
                    d->reject();
            });
            wnd->Import_Sheet_Button();
            rememberDialogPath(dir.filePath(QStringLiteral("guests.xlsx")));
        }
        QCOMPARE(seen, QStringList({QDir::homePath(), dir.path()}));
    }

    // Destroying the shown window while an edited inspector field has focus: its edit lands while the window
    // is whole, and nothing arrives after (an ASan build reads no freed memory).
    void destroyedWithAnEditInFocus() {
        wnd->Show_RHS_Properties(nullptr);
        wnd->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(wnd));
        QLineEdit* name = wnd->inspector()->card_name;
        name->setFocus();
        QVERIFY(name->hasFocus());
        QTest::keyClicks(name, QStringLiteral("Kept"));
        delete std::exchange(wnd, nullptr);
        QVERIFY(doc->undoManager()->canUndo());
    }

    void shiftClickOutKeepsTheRest() {
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        GraphicPtr b = shape(QRectF(100, 10, 40, 40));
        doc->setGraphics(CardSide::Front, {a, b});
        click(wnd->_graphicView, QPointF(20, 20));
        click(wnd->_graphicView, QPointF(110, 20), Qt::ShiftModifier);
        click(wnd->_graphicView, QPointF(20, 20), Qt::ShiftModifier);
        QCOMPARE(wnd->_graphicView->selectedGraphics(), GraphicList{b});
        QCOMPARE(wnd->Last_Selected_Graphic, b);

        // A right click selects what it hits, for the context menu.
        send(wnd->_graphicView, QEvent::MouseButtonPress, QPointF(20, 20), Qt::RightButton, Qt::RightButton,
             Qt::NoModifier);
        send(wnd->_graphicView, QEvent::MouseButtonRelease, QPointF(20, 20), Qt::RightButton, Qt::NoButton,
             Qt::NoModifier);
        QCOMPARE(wnd->_graphicView->selectedGraphics(), GraphicList{a});
        QVERIFY(wnd->_graphicView->actions().contains(wnd->Delete_btn));
    }

    void statusLineTellsTheSelection() {
        auto* status = wnd->findChild<QLabel*>(QStringLiteral("selectionStatus"));
        QVERIFY(status);
        GraphicPtr a = shape(QRectF(10, 10, 40, 40));
        GraphicPtr b = shape(QRectF(100, 10, 40.5, 40));
        b->_shape_type = QStringLiteral("DS");
        doc->setGraphics(CardSide::Front, {a, b});
        click(wnd->_graphicView, QPointF(110, 20));
        QCOMPARE(status->text(), QStringLiteral("Double Star   x 100   y 10   w 40.5   h 40"));
        QTest::keyClick(wnd->_graphicView, Qt::Key_Right);
        QCOMPARE(status->text(), QStringLiteral("Double Star   x 101   y 10   w 40.5   h 40"));
        click(wnd->_graphicView, QPointF(20, 20), Qt::ShiftModifier);
        QCOMPARE(status->text(), QStringLiteral("2 items selected"));
        wnd->Select_back_side();
        QCOMPARE(status->text(), QString());
    }

    void doubleClickOnTextOpensItsText()
    {
        auto text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        std::static_pointer_cast<SKTText>(text)->setText(QStringLiteral("Hello"));
        text->setBounds(QRectF(10, 10, 120, 40));
        doc->setGraphics(CardSide::Front, {text});
        doubleClick(wnd->_graphicView, QPointF(30, 30));
        QVERIFY(wnd->inspector());
        QCOMPARE(wnd->inspector()->sett_tab->currentWidget(),
                 wnd->inspector()->tabPage(QStringLiteral("text_edtng_tab")));
        QCOMPARE(wnd->inspector()->Text_value_Edit->toPlainText(), QStringLiteral("Hello"));
    }

    void zoomIsShared() {
        wnd->Zoom_In();
        QCOMPARE(wnd->_graphicView_BACK->zoom(), 1.25);
        QWheelEvent wheel(QPointF(10, 10), wnd->_graphicView->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(wnd->_graphicView, &wheel);
        QCOMPARE(wnd->zoom(), 1.25 * 1.25);
        QCOMPARE(wnd->_graphicView_TEMP->zoom(), wnd->zoom());
        wnd->Zoom_Actual();
        QCOMPARE(wnd->_graphicView->size(), QSize(504, 360));
    }

    void printCheckBoxWritesUnlockedSelection() {
        GraphicPtr a = shape(QRectF(0, 0, 10, 10));
        GraphicPtr b = shape(QRectF(20, 0, 10, 10), true);
        GraphicPtr c = shape(QRectF(40, 0, 10, 10));
        doc->setGraphics(CardSide::Front, {a, b, c});
        wnd->_graphicView->selectAll();
        wnd->Print_object_chk_changed(1);
        QCOMPARE(a->print_object, 1);
        QCOMPARE(b->print_object, 0);
        QCOMPARE(c->print_object, 1);
    }

    void unfinishedCommandsAreOff() {
        for (QAction* a : {wnd->Open_Design_Action, wnd->Save_Design_Action})
            QVERIFY(!a->isEnabled());
        QVERIFY(wnd->Mail_Action->isEnabled());
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
