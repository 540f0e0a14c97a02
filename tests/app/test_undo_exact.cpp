// Editing without surprises, through the main window at 1366 x 768: the design counts as changed only when
// its content changed, undo puts back exactly what was there, a panel change with several items selected
// changes only that field, the scratch side is a preview, and wheel and keys do what a user expects.

#include "../common/HostilePictures.h"
#include "FileBytes.h"
#include "ScriptedPrompt.h"
#include "TestPictures.h"
#include "app/SKTWindowController.h"
#include "app/designfile/DesignFile.h"
#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorLogic.h"
#include "app/inspector/InspectorPanel.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/Data_From_Excel.h"
#include "data/XlsxWriter.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/Data_From_Excel_Dialog.h"
#include "data/ui/Generate_List.h"
#include "data/ui/SeriesDialogSupport.h"
#include "profile/ui/Show_User_Profile.h"
#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/PhotoEditPanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QSlider>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWheelEvent>
#include <QtTest>

namespace {

GraphicPtr item(const QString& cls, const QRectF& r) {
    GraphicPtr g = makeGraphicOfClass(cls, false);
    if (cls == QLatin1String("Shape_Control"))
        g->_shape_type = QStringLiteral("R");
    g->setBounds(r);
    return g;
}

// Hands each modal dialog shown while `run` runs to `answer`.
void answeringModals(const std::function<void()>& run, const std::function<void(QWidget*)>& answer) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible())
            answer(w);
    });
    poll.start();
    run();
}

// Answers the next modal dialog of kind T.
template <class T> void onModal(std::function<void(T*)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            answer(w);
    });
}

} // namespace

class TestUndoExact : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    StartRoadController* road = nullptr;
    InspectorPanel* panel = nullptr;

    QUndoStack* undo() { return doc->undoManager(); }
    QByteArray designBytes() { return designfile::toBytes(road->designCommands().captureDesign()); }
    void select(const GraphicList& items) {
        QList<qsizetype> indexes;
        for (const GraphicPtr& g : items)
            indexes << wnd->currentGraphicView()->graphics().indexOf(g);
        wnd->currentGraphicView()->setSelectionIndexes(indexes);
        wnd->currentGraphicView()->_Selected_Graphic = items.first(); // as a click makes it
        wnd->Show_RHS_Properties(items.first());
    }
    // Items placed as one undoable insertion, then the design taken as saved.
    void place(const GraphicList& items) {
        doc->insertGraphics(CardSide::Front, items);
        doc->setSaved();
    }
    bool quitAsks() {
        m_prompt.texts.clear();
        m_prompt.answer = PromptAnswer::Cancel;
        road->designCommands().Exit_App();
        return !m_prompt.texts.isEmpty();
    }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        setPromptHandler(&m_prompt);
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        Card_Front_Or_Back = 0;
        m_prompt.texts.clear();
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        road = new StartRoadController(*wnd);
        road->designCommands().quitApplication = [] {};
        road->New_Project();
        panel = wnd->inspector();
        wnd->resize(1366, 768);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
    }
    void cleanup() {
        delete road;
        delete wnd;
        delete doc;
    }

    // Looking at a design changes nothing; a content edit does until it is undone or saved; the grid is
    // no content. Quit asks exactly when the design changed.
    void modifiedFollowsContent() {
        const GraphicPtr box = item(QStringLiteral("Shape_Control"), QRectF(10, 10, 40, 40));
        place({box});
        QVERIFY(!doc->isModified());
        wnd->Select_back_side();
        wnd->Select_temp_design_side();
        wnd->Select_front_side();
        wnd->Zoom_In();
        wnd->Zoom_Actual();
        select({box});
        wnd->toggleGridConstraining();
        QVERIFY(!doc->isModified());
        QVERIFY(!wnd->isWindowModified());
        QVERIFY(!quitAsks());

        wnd->_graphicView->moveSelectionBy(QPointF(5, 0));
        QVERIFY(doc->isModified());
        QVERIFY(wnd->isWindowModified());
        QVERIFY(quitAsks());
        wnd->Undo_Clicked();
        QVERIFY(!doc->isModified());
        QVERIFY(!quitAsks());

        // Saved, then opened again and only looked at: nothing to ask.
        wnd->Redo_Clicked();
        const QString path = m_dir.filePath(QStringLiteral("looked.kvto"));
        road->designCommands().setDesignPath(path);
        QVERIFY(road->designCommands().Save_Design_Clicked());
        QVERIFY(!doc->isModified());
        QVERIFY(!quitAsks());
        QVERIFY(road->designCommands().openDesignFile(path));
        wnd->Select_back_side();
        wnd->Select_front_side();
        QVERIFY(!quitAsks());
        // Undo past the save is a change from the file.
        wnd->_graphicView->selectAll();
        wnd->_graphicView->moveSelectionBy(QPointF(1, 1));
        doc->setSaved();
        wnd->Undo_Clicked();
        QVERIFY(doc->isModified());
    }

    // Each click of Apply Size is its own step; the steps of one size stepper merge into one.
    void applySizeStepsOnePerClick() {
        const int start = undo()->count();
        panel->width_Stepper->setValue(150);
        panel->Apply_Size_btn->click();
        panel->width_Stepper->setValue(160);
        panel->Apply_Size_btn->click();
        QCOMPARE(undo()->count(), start + 2);
        QVERIFY(qAbs(doc->canvasSize().width() - 160 * 2.834645669291) < 0.01);
        wnd->Undo_Clicked();
        QVERIFY(qAbs(doc->canvasSize().width() - 150 * 2.834645669291) < 0.01);
        wnd->Redo_Clicked();
        const int afterClicks = undo()->count();
        panel->height_Stepper->stepBy(1);
        panel->height_Stepper->stepBy(1);
        panel->height_Stepper->stepBy(1);
        QCOMPARE(undo()->count(), afterClicks + 1);
    }

    // Showing the card pages writes nothing; each card edit is one step that gives back both records as they
    // were; clicking the shape the card has is no step; undoing everything gives the new design byte for byte.
    void cardEditsUndoExactly() {
        const QByteArray fresh = designBytes();
        wnd->Select_back_side();
        wnd->Select_front_side();
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(designBytes(), fresh);

        QButtonGroup* shapes = panel->cardShapeGroup;
        shapes->button(Card_Shape)->click(); // the shape it has
        QCOMPARE(undo()->count(), 0);
        QCOMPARE(doc->canvasSize(), QSizeF(504, 360));

        struct State {
            Card_Property front, back;
        };
        QList<State> states{{wnd->Front_card_Prop, wnd->Back_card_Prop}};
        const std::function<void()> edits[] = {
            [&] { panel->Category_ComboBox->setCurrentIndex(panel->Category_ComboBox->count() - 1); },
            [&] { panel->Card_alpha_Stepper->setValue(40); },
            [&] { shapes->button(2)->click(); },
            [&] {
                panel->Card_fill_clr->setColor(Qt::darkCyan);
                emit panel->Card_fill_clr->colorPicked(Qt::darkCyan);
            },
            [&] { panel->Sides_ComboBox->setCurrentIndex(1); },
            [&] { wnd->Select_back_side(); panel->Card_grad_Stepper->setValue(30); },
        };
        for (const auto& edit : edits) {
            const int before = undo()->count();
            edit();
            QCOMPARE(undo()->count(), before + 1);
            states.append({wnd->Front_card_Prop, wnd->Back_card_Prop});
        }
        QCOMPARE(doc->canvasSize(), QSizeF(504, 360)); // a shape keeps the exact size
        for (qsizetype i = states.size() - 2; i >= 0; --i) {
            wnd->Undo_Clicked();
            QVERIFY2(wnd->Front_card_Prop == states[i].front, qPrintable(QString::number(i)));
            QVERIFY2(wnd->Back_card_Prop == states[i].back, qPrintable(QString::number(i)));
        }
        QCOMPARE(designBytes(), fresh);
        for (qsizetype i = 1; i < states.size(); ++i) {
            wnd->Redo_Clicked();
            QVERIFY(wnd->Front_card_Prop == states[i].front && wnd->Back_card_Prop == states[i].back);
        }
    }

    // Moves put back exact positions; Natural Size records the flips it turns off in its own step, and
    // changing nothing it is no step.
    void movesAndNaturalSizeExact() {
        const GraphicPtr box = item(QStringLiteral("Shape_Control"), QRectF(0.1, 0.7, 40, 40));
        const QString path = writePicture(m_dir.filePath(QStringLiteral("p.png")), Qt::red, QSize(30, 20));
        const GraphicPtr photo = item(QStringLiteral("SKTImage"), QRectF(60, 60, 50, 50));
        static_cast<SKTImage&>(*photo).setFilePath(path);
        photo->_isFlippedHorizontally = true;
        place({box, photo});
        select({box});
        const int placed = undo()->index();
        for (int i = 0; i < 7; ++i) {
            wnd->_graphicView->Clear_Control_Selection(); // a new selection starts a new step
            select({box});
            wnd->_graphicView->moveSelectionBy(QPointF(0.2, 0.1));
        }
        QCOMPARE(undo()->index(), placed + 7);
        while (undo()->index() > placed)
            wnd->Undo_Clicked();
        QCOMPARE(box->bounds().topLeft(), QPointF(0.1, 0.7));

        // Natural size drops the flips as part of its step; already natural, only the flips change.
        // The picture page shows the flips as the step, its undo and its redo leave them.
        select({photo});
        const QCheckBox* flipBox = panel->Image_FIH_chk;
        QVERIFY(flipBox->isChecked());
        wnd->Make_Natural_Clicked();
        QCOMPARE(photo->bounds().size(), QSizeF(30, 20));
        QVERIFY(!photo->_isFlippedHorizontally && !flipBox->isChecked());
        wnd->Undo_Clicked();
        QCOMPARE(photo->bounds(), QRectF(60, 60, 50, 50));
        QVERIFY(photo->_isFlippedHorizontally && flipBox->isChecked());
        wnd->Redo_Clicked();
        QVERIFY(!flipBox->isChecked());
        photo->_isFlippedVertically = true;
        const int steps = undo()->count();
        wnd->Make_Natural_Clicked();
        QCOMPARE(undo()->count(), steps + 1);
        QVERIFY(!photo->_isFlippedVertically);
        wnd->Redo_Clicked();
        const int at = undo()->index();
        wnd->Make_Natural_Clicked(); // nothing to change: no step
        QCOMPARE(undo()->index(), at);
        wnd->Undo_Clicked();
        QVERIFY(photo->_isFlippedVertically);
    }

    // With several items selected a panel change writes only that field into each of them.
    void severalItemsTakeOnlyTheChange() {
        const GraphicPtr a = item(QStringLiteral("SKTText"), QRectF(0, 0, 100, 30));
        const GraphicPtr b = item(QStringLiteral("SKTText"), QRectF(0, 40, 100, 30));
        b->txt_clr = Qt::red;
        b->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 31);
        b->Drawing_Shadow = true;
        b->text_kerning = 3;
        const GraphicPtr p = item(QStringLiteral("SKTImage"), QRectF(0, 80, 30, 30));
        const GraphicPtr q = item(QStringLiteral("SKTImage"), QRectF(40, 80, 30, 30));
        q->_isFlippedVertically = true;
        q->rotate_image = 90;
        q->hue_val = 0.5f;
        place({a, b, p, q});

        const GraphicPtr b0 = inspector::copyOfItem(*b);
        select({a, b});
        panel->Text_align_combo->setCurrentIndex(2);
        QCOMPARE(a->text_alignmnet, 2);
        b0->text_alignmnet = 2;
        QVERIFY(inspector::sameItemState(*b, *b0));

        const GraphicPtr q0 = inspector::copyOfItem(*q);
        select({p, q});
        panel->Brt_slidr->setValue(panel->Brt_slidr->value() + 10);
        QCOMPARE(q->brt_val, p->brt_val);
        QVERIFY(q->brt_val != q0->brt_val);
        q0->brt_val = q->brt_val;
        QVERIFY(inspector::sameItemState(*q, *q0));
        wnd->Undo_Clicked();
        q0->brt_val = p->brt_val;
        QVERIFY(inspector::sameItemState(*q, *q0));
    }

    // The scratch side is shown as a preview: labelled so, with its tools, commands and inspector off.
    void scratchSideIsAPreview() {
        place({item(QStringLiteral("Shape_Control"), QRectF(10, 10, 40, 40))});
        QAction* toTemp = wnd->findChild<QAction*>(QStringLiteral("side_2"));
        QVERIFY(toTemp);
        toTemp->trigger();
        QCOMPARE(wnd->Front_back_label->text(), QStringLiteral("TEMP (preview, not saved)"));
        auto* dock = wnd->findChild<QDockWidget*>(QStringLiteral("inspectorDock"));
        QVERIFY(!dock->isEnabled());
        QVERIFY(!wnd->_graphicView_TEMP->isEnabled());
        for (int tool : {0, 1, 3, 10})
            QVERIFY(!wnd->toolAction(tool)->isEnabled());
        for (QAction* a : {wnd->Cut_btn, wnd->Paste_btn, wnd->Delete_btn, wnd->Lock_btn})
            QVERIFY(!a->isEnabled());
        QVERIFY(!wnd->findChild<QAction*>(QStringLiteral("Make_Natural"))->isEnabled());
        wnd->Select_All_Clicked();
        QVERIFY(!wnd->Cut_btn->isEnabled());

        wnd->findChild<QAction*>(QStringLiteral("side_0"))->trigger();
        QCOMPARE(wnd->Front_back_label->text(), QStringLiteral("Front"));
        QVERIFY(dock->isEnabled());
        QVERIFY(wnd->toolAction(1)->isEnabled());
        QVERIFY(wnd->findChild<QAction*>(QStringLiteral("Make_Natural"))->isEnabled());
    }

    // A cell edited in the data table window is a step of the design, with the first row the card shows:
    // undone there with Ctrl+Z, redone with Ctrl+Y, and undone again from the main window.
    void dataTableCellEditsAreSteps() {
        Data_From_Excel* table = Data_From_Excel::defaultInstance();
        table->setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, {{"1", "Ann"}, {"2", "Bob"}});
        const GraphicPtr name = item(QStringLiteral("SKTText"), QRectF(10, 10, 100, 30));
        static_cast<SKTText&>(*name).setText(QStringLiteral("Ann"));
        name->data_source_type = 2;
        name->excel_col_indx = 1;
        place({name});
        auto shown = [&] { return table->value(0, 1) + QLatin1Char(' ') + name->_Text_contents; };
        Data_From_Excel_Dialog* dialog = Data_From_Excel_Dialog::defaultInstance();
        QStringList seen;
        QTimer::singleShot(0, dialog, [&] {
            QTableView* view = dialog->ColList;
            const QModelIndex cell = table->index(0, 1);
            view->setCurrentIndex(cell);
            view->edit(cell);
            if (auto* editor = view->findChild<QLineEdit*>()) {
                editor->setText(QStringLiteral("Carl"));
                QTest::keyClick(editor, Qt::Key_Return);
                QCoreApplication::processEvents(); // the editor commits queued
            }
            seen << shown();
            QTest::keyClick(dialog->ColList, Qt::Key_Z, Qt::ControlModifier);
            seen << shown();
            QTest::keyClick(dialog->ColList, Qt::Key_Y, Qt::ControlModifier);
            seen << shown();
            dialog->accept();
        });
        dialog->Open_Wnd();
        QCOMPARE(seen, (QStringList{"Carl Carl", "Ann Ann", "Carl Carl"}));
        QCOMPARE(undo()->undoText(), QStringLiteral("Edit Cell"));
        QVERIFY(doc->isModified());
        wnd->Undo_Clicked();
        QCOMPARE(shown(), QStringLiteral("Ann Ann"));
        QVERIFY(!doc->isModified());

        // Opened inside another step (from a profile dialog over the card), the window's edit joins that step
        // and its Ctrl+Z leaves the design's earlier steps alone.
        const int index = undo()->index();
        wnd->recordCardEdit(QStringLiteral("User Profile"), -1, [&] {
            QTimer::singleShot(0, dialog, [&] {
                const QModelIndex cell = table->index(0, 1);
                dialog->ColList->setCurrentIndex(cell);
                dialog->ColList->edit(cell);
                if (auto* editor = dialog->ColList->findChild<QLineEdit*>()) {
                    editor->setText(QStringLiteral("Dora"));
                    QTest::keyClick(editor, Qt::Key_Return);
                    QCoreApplication::processEvents();
                }
                QTest::keyClick(dialog->ColList, Qt::Key_Z, Qt::ControlModifier);
                dialog->accept();
            });
            dialog->Open_Wnd();
        });
        QCOMPARE(shown(), QStringLiteral("Dora Dora"));
        QCOMPARE(undo()->undoText(), QStringLiteral("User Profile"));
        QCOMPARE(undo()->index(), index + 1);
        wnd->Undo_Clicked();
        QCOMPARE(shown(), QStringLiteral("Ann Ann"));
        QVERIFY(wnd->Get_Front_Controls_Array().contains(name));
    }

    // Undo of a data source leaves the greyed series / column box naming nothing for an item typed by hand;
    // Redo shows the column or series again.
    void dataSourceBoxFollowsUndo() {
        Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, {{"1", "Ann"}});
        QDir().mkpath(Data_Folder_Path);
        writeBytes(Data_Folder_Path + QStringLiteral("/Names.txt"), "Ann\n");
        const GraphicPtr text = item(QStringLiteral("SKTText"), QRectF(10, 10, 100, 30));
        place({text});
        for (const int source : {2, 1}) {
            select({text});
            const int start = undo()->index();
            panel->Data_source_type->setCurrentIndex(source);
            panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(source == 2 ? "Name" : "Names"));
            const QString shown = panel->Batch_Series->currentText();
            QVERIFY(!shown.isEmpty());
            while (undo()->index() > start)
                wnd->Undo_Clicked();
            select({text}); // the card's step shows the card: the item is clicked again
            QCOMPARE(text->data_source_type, 0);
            QCOMPARE(panel->Data_source_type->currentIndex(), 0);
            QVERIFY(!panel->Batch_Series->isEnabled());
            QCOMPARE(panel->Batch_Series->currentText(), QString());
            while (undo()->canRedo())
                wnd->Redo_Clicked();
            select({text});
            QCOMPARE(panel->Batch_Series->currentText(), shown);
            while (undo()->index() > start)
                wnd->Undo_Clicked();
        }
    }

    // Roads that change what Save writes, each run once on a saved design: Quit asks exactly when the bytes
    // differ, a step is named after its command and its Undo gives the saved bytes back.
    void everyChangeIsKept() {
        const QString red = m_dir.filePath(QStringLiteral("red.png")), blue = m_dir.filePath(QStringLiteral("blue.png"));
        writePicture(red, Qt::red);
        writePicture(blue, Qt::blue);
        const QString names = Data_Folder_Path + QStringLiteral("/Names.txt");
        QDir().mkpath(Data_Folder_Path);
        writeBytes(names, "Ann\n");
        writeBytes(Data_Folder_Path + QStringLiteral("/Photos.txt"), blue.toUtf8());
        writeBytes(Data_Folder_Path + QStringLiteral("/Bad.txt"), m_dir.filePath(QStringLiteral("bad.png")).toUtf8());
        // The picture column is not the first: a picture bound to the sheet finds it.
        Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No."), QStringLiteral("Guest"), QStringLiteral("Photo")},
                                                     {{"1", "Ann", blue}});
        const QString book = m_dir.filePath(QStringLiteral("guests.xlsx"));
        QVERIFY(XlsxWriter::WriteWorkbook(book, {{QStringLiteral("Name")}, {QStringLiteral("Bea")}}));
        QVERIFY(road->Update_frame_Main_Photo_And_Path(red, true));
        const GraphicList items{item(QStringLiteral("SKTImage"), QRectF(20, 60, 80, 60)),
                                item(QStringLiteral("SKTImage"), QRectF(120, 60, 40, 30)),
                                item(QStringLiteral("SKTText"), QRectF(0, 0, 100, 30))};
        items[0]->control_ID = QStringLiteral("PARTY_IMAGE");
        static_cast<SKTImage&>(*items[0]).setFilePath(red);
        static_cast<SKTImage&>(*items[1]).setFilePath(red);
        items[0]->data_source_type = items[2]->data_source_type = 1;
        items[2]->batch_list_name = QStringLiteral("Names");
        doc->setGraphics(CardSide::Front, items);
        const QString file = m_dir.filePath(QStringLiteral("roads.kvto"));
        QVERIFY(road->designCommands().Save_project_file(file, false));
        const QByteArray saved = designBytes();

        QString chosen = blue, bad = m_dir.filePath(QStringLiteral("bad.png"));
        writeBytes(bad, "no picture");
        panel->chooseFile = [&chosen](const QString&, const QStringList&) { return chosen; };
        panel->chooseLibraryPicture = [blue](const QString&) { return std::optional<QString>(blue); };
        auto onItems = [&](QList<int> at, const char* button) {
            GraphicList items; // the first one inspected
            for (int i : at)
                items << wnd->Get_Front_Controls_Array().value(i);
            select(items);
            if (button)
                panel->findChild<QPushButton*>(QLatin1String(button))->click();
        };
        auto onItem = [&](int i, const char* button) { onItems({i}, button); };
        // The main photo's item names the file the main photo was read from.
        auto photoInStep = [&] {
            const GraphicList& front = wnd->Get_Front_Controls_Array();
            return std::all_of(front.cbegin(), front.cend(), [](const GraphicPtr& g) {
                return g->control_ID != QLatin1String("PARTY_IMAGE") || !QFileInfo(g->_file_path).isFile() ||
                       g->_file_path == Invite_Frame_Pic_IMG;
            });
        };
        const std::tuple<const char*, std::function<void()>, bool> roads[] = {
            {"Edit Main Photo", [&] {
                onModal<Invitation_Wizard>([](Invitation_Wizard* w) {
                    w->photoPanel()->setSettings(PhotoSettings{.invert_clr = true});
                    w->next();
                });
                road->Edit_Main_Photo_Button();
            }, true},
            {"Choose Picture", [&] { onItem(1, "manual_brws_btn"); }, true},
            {"Choose Picture", [&] { onItem(1, "manual_lib_brws_btn"); }, true},
            {"Choose Picture", [&] { onItem(0, "manual_brws_btn"); }, true}, // the main photo too
            {"Choose Picture", [&] { onItems({1, 0}, "manual_brws_btn"); }, true},
            {"Choose Picture", [&] { onItems({1, 0}, "manual_lib_brws_btn"); }, true},
            // A file that is no picture: neither the main photo nor its item takes it.
            {"", [&] { chosen = bad; onItems({1, 0}, "manual_brws_btn"); chosen = blue; }, false},
            {"", [&] { chosen = bad; onItem(1, "manual_brws_btn"); chosen = blue; }, false}, // nor a picture item
            {"Data Source", [&] {
                onItem(0, nullptr);
                panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Photos")));
            }, true},
            {"Create Series", [&] {
                onModal<Generate_List>([&](Generate_List* g) {
                    writeBytes(names, "Carl\n");
                    SeriesDialogs::seriesChanged();
                    g->reject();
                });
                wnd->Create_Series_Button();
                writeBytes(names, "Ann\n");
            }, true},
            {"User Profile", [&] { // binds the design to the data table too
                onModal<Show_User_Profile>([](Show_User_Profile* d) {
                    d->fields[0].value->setText(QStringLiteral("Ann Lee"));
                    d->OK_Btn_Clicked();
                });
                wnd->User_Profile_Action->trigger();
            }, true},
            {"", [&] { // a workbook imported in the dialog, then Cancel
                onModal<Show_User_Profile>([&](Show_User_Profile* d) {
                    Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No."), QStringLiteral("Guest")}, {{"1", "Dan"}});
                    d->excel_path_field->setText(book);
                    d->Cancel_Btn_Clicked();
                });
                wnd->User_Profile_Action->trigger();
            }, false},
            {"Insert", [&] { wnd->_graphicView->dropPictureFiles({red, blue}, QPointF(9, 9)); }, true},
            {"", [&] { wnd->toggleGridConstraining(); }, false}, // the grid is a view setting: no step
            {"", [&] { wnd->Grid_Show_Hide_Changed(Qt::Checked); wnd->Grid_Slider_Changed(24); }, false},
            {"Data Source", [&] { onItem(2, nullptr); panel->Data_source_type->setCurrentIndex(2); }, true},
            {"Data Source", [&] { onItem(0, nullptr); panel->Data_source_type->setCurrentIndex(2); }, true},
            // A first value that cannot become the main photo (no picture, a missing file): nothing changes.
            {"", [&] {
                onItem(0, nullptr);
                panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Bad")));
            }, false},
            {"", [&] {
                QFile::rename(blue, blue + QStringLiteral(".gone"));
                onItem(0, nullptr);
                panel->Data_source_type->setCurrentIndex(2);
                QFile::rename(blue + QStringLiteral(".gone"), blue);
            }, false},
            {"Choose Frame", [&] { road->framePicked(blue); }, true},
            {"Cut", [&] { onItem(1, nullptr); wnd->Cut_Clicked(); }, true},
            {"Paste", [&] { wnd->Paste_Clicked(); }, true},
            {"Paste", [&] { // the main photo's item of another design
                items[0]->_file_path = blue; // off the card: each road opens the design again
                QGuiApplication::clipboard()->setMimeData(makeGraphicsMimeData({items[0]}));
                wnd->Paste_Clicked();
            }, true},
            {"Duplicate", [&] { onItem(1, nullptr); wnd->currentGraphicView()->duplicate(); }, true},
            {"Card Background", [&] { wnd->Show_RHS_Properties(nullptr); panel->Card_Image_Browse_Btn(); }, true},
            {"", [&] { chosen = bad; wnd->Show_RHS_Properties(nullptr); panel->Card_Image_Browse_Btn(); chosen = blue; }, false},
            {"Import Excel Sheet", [&] { // the table, its binding and the first row on the design
                answeringModals([&] { wnd->Import_Sheet_Button(); }, [&](QWidget* w) {
                    if (auto* files = qobject_cast<QFileDialog*>(w)) {
                        files->selectFile(book);
                        QMetaObject::invokeMethod(files, &QDialog::accept);
                    } else if (auto* sheet = qobject_cast<Import_Excel*>(w)) {
                        sheet->Select_ALL_Pressed();
                        sheet->OKPressed();
                    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
                        dialog->accept();
                    }
                });
            }, true},
            {"", [&] { Data_From_Excel::defaultInstance()->setTable({QStringLiteral("Row No.")}, {{"1"}}); }, true},
            {"Card Settings", [&] { // typed in a field, not yet entered: Quit's question takes it in first
                wnd->Show_RHS_Properties(nullptr);
                wnd->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(wnd));
                panel->card_name->setFocus();
                QTest::keyClicks(panel->card_name, QStringLiteral(" for Ann"));
            }, true},
        };
        for (const auto& [step, run, changes] : roads) {
            QVERIFY(road->designCommands().openDesignFile(file));
            const int steps = undo()->count();
            run();
            const bool asks = quitAsks();
            const bool changed = designBytes() != saved;
            QVERIFY2(changed == changes && asks == changed && photoInStep(), step);
            QVERIFY2(*step || undo()->count() == steps, step);
            if (!*step)
                continue; // no step: marked changed where a change could not be one
            QVERIFY2(undo()->count() == steps + 1, step);
            QCOMPARE(undo()->undoText(), QLatin1String(step));
            const QByteArray after = designBytes();
            wnd->Undo_Clicked();
            QVERIFY2(designBytes() == saved && !quitAsks() && photoInStep(), step);
            wnd->Redo_Clicked();
            QVERIFY2(designBytes() == after && quitAsks() == changes && photoInStep(), step);
        }
    }

    // Stop while a picture the user picked is read leaves things as they were: no item placed or changed, the
    // profile dialog's photo as it was. Every read is stopped as soon as its sheet is made.
    void stoppedPictureReadsChangeNothing() {
        const QString red = m_dir.filePath(QStringLiteral("red.png")), big = m_dir.filePath(QStringLiteral("big.png"));
        const QImage img = filledImage(QSize(40, 30), Qt::red);
        QVERIFY(img.save(red) && img.save(big));
        QVERIFY(QFile::resize(big, 160LL << 20)); // 160 MB of nothing after the picture (sparse): long to stop
        const QString slow = m_dir.filePath(QStringLiteral("slow.jpg")); // long to decode
        writeBytes(slow, hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(6000, 6000), 6));
        const GraphicPtr photo = item(QStringLiteral("SKTImage"), QRectF(20, 60, 80, 60));
        photo->control_ID = QStringLiteral("Fup_Photo");
        static_cast<SKTImage&>(*photo).setFilePath(red);
        place({photo});
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* stop = top->findChild<QPushButton*>(QStringLiteral("Stop")); stop && stop->isEnabled())
                    stop->click();
        });
        stopper.start(0);
        const std::pair<const char*, std::function<void()>> roads[] = {
            {"drop", [&] { wnd->_graphicView->dropPictureFiles({big, red}, QPointF(9, 9)); }},
            {"profile fill", [&] {
                onModal<Show_User_Profile>([&](Show_User_Profile* d) {
                    d->image_path_val->setText(big);
                    d->OK_Btn_Clicked();
                });
                wnd->User_Profile_Action->trigger();
            }},
            {"profile fill, too large", [&] { // a file larger than an item holds: said, no change
                const QString bulky = m_dir.filePath(QStringLiteral("bulky.png"));
                QVERIFY(QFile::copy(red, bulky) && QFile::resize(bulky, ItemPicture::MaxBytes + 1));
                onModal<Show_User_Profile>([&](Show_User_Profile* d) {
                    d->image_path_val->setText(bulky);
                    d->OK_Btn_Clicked();
                });
                wnd->User_Profile_Action->trigger();
            }},
            {"card background", [&] { // a card without fill keeps it
                wnd->Front_card_Prop.Card_fill_chk = 0;
                wnd->Show_RHS_Properties(nullptr);
                panel->chooseLibraryPicture = [&](const QString&) { return std::optional<QString>(big); };
                panel->Card_Bckgrnd_Clicked();
                QVERIFY(!wnd->Front_card_Prop.Card_fill_chk && !panel->Card_fill_chk->isChecked());
            }},
            {"profile photo", [&] {
                onModal<Show_User_Profile>([&](Show_User_Profile* d) {
                    d->image_path_val->setText(red);
                    d->chooseFile = [&](const QString&, const QString&) { return slow; };
                    d->Browse_image_Btn_Clicked();
                    QCOMPARE(d->image_path_val->text(), red);
                    d->Cancel_Btn_Clicked();
                });
                wnd->User_Profile_Action->trigger();
            }},
        };
        for (const auto& [road, run] : roads) {
            const int items = wnd->Get_Front_Controls_Array().size();
            run();
            QVERIFY2(wnd->Get_Front_Controls_Array().size() == items, road);
            QVERIFY2(photo->_file_path == red && !static_cast<SKTImage&>(*photo)._image.isNull(), road);
            QVERIFY2(photo->ctrl_is_visible, road);
        }
    }

    // The wheel over a panel control without focus leaves its value; Ctrl+Y redoes like Ctrl+Shift+Z.
    void wheelNeedsFocusAndRedoKeys() {
        const GraphicPtr box = item(QStringLiteral("Shape_Control"), QRectF(10, 10, 40, 40));
        place({box});
        select({box});
        QDoubleSpinBox* alpha = panel->shape_alpha_Stepper;
        const double was = alpha->value();
        wnd->_graphicView->setFocus();
        const QPointF at(alpha->width() / 2.0, alpha->height() / 2.0);
        QWheelEvent wheel(at, alpha->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(alpha, &wheel);
        QCOMPARE(alpha->value(), was);
        QCOMPARE(box->alpha_val, 1.0f);

        for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
            wnd->_graphicView->moveSelectionBy(QPointF(3, 0));
            QTest::keyClick(wnd->_graphicView, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(box->bounds().x(), 10.0);
            QTest::keyClick(wnd->_graphicView, redo.key(), redo.keyboardModifiers());
            QCOMPARE(box->bounds().x(), 13.0);
            wnd->Undo_Clicked();
        }
    }
};

QTEST_MAIN(TestUndoExact)
#include "test_undo_exact.moc"
