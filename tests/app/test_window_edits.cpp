// The editor window keeps the user's work: nothing replaced unasked, one card size, panel controls that
// change exactly what they show, and undo steps that show the side they were made on.

#include "TestPictures.h"
#include "FileBytes.h"
#include "../canvas_ui/ViewDriver.h"
#include "ScriptedPrompt.h"

#include "app/Open_Export_Log.h"
#include "app/SKTWindowController.h"
#include "app/designfile/DesignFile.h"
#include "app/inspector/ColorWell.h"
#include "app/inspector/InspectorLogic.h"
#include "app/inspector/InspectorPanel.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "imaging/ProcessedImageCache.h"
#include "output/ui/ExportWindow.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/Print_Wnd.h"
#include "wizards/InvitationState.h"
#include "wizards/TemplateStore.h"
#include "wizards/ui/FrameGalleryWidget.h"
#include "wizards/ui/Template_Browser.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {

GraphicPtr shape(const QRectF& r) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
    g->_shape_type = QStringLiteral("R");
    g->setBounds(r);
    return g;
}

GraphicPtr frameItem(const QString& path, const QSizeF& card) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
    g->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    static_cast<SKTImage&>(*g).setFilePath(path);
    g->setBounds(QRectF(QPointF(), card));
    return g;
}

} // namespace

class TestWindowEdits : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    StartRoadController* road = nullptr;
    InspectorPanel* panel = nullptr;

    QUndoStack* undo() { return doc->undoManager(); }
    void select(SKTGraphicView* view, const GraphicList& items) {
        QList<qsizetype> indexes;
        for (const GraphicPtr& g : items)
            indexes << view->graphics().indexOf(g);
        view->setSelectionIndexes(indexes);
        wnd->Show_RHS_Properties(items.first());
    }
    static void clickCheck(QCheckBox* box) { box->click(); }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Frames"));
        writePicture(m_dir.filePath(QStringLiteral("Frames/Gold.png")), Qt::yellow);
        setPromptHandler(&m_prompt);
        Open_Export_Log::setOpener([](const QUrl&) { return true; });
    }
    void cleanupTestCase() {
        setPromptHandler(nullptr);
        Open_Export_Log::setOpener({});
    }
    void init() {
        Card_Front_Or_Back = 0;
        m_prompt.texts.clear();
        m_prompt.answer = PromptAnswer::No;
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        road = new StartRoadController(*wnd);
        road->designCommands().quitApplication = [] {};
        road->New_Project();
        panel = wnd->inspector();
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
    }
    void cleanup() {
        delete road;
        delete wnd;
        delete doc;
    }

    // A template from the browser replaces the design only after the save question.
    void templateAsksToSaveFirst() {
        DesignData t;
        t.front = Card_Property::defaults(QStringLiteral("F"));
        t.back = Card_Property::defaults(QStringLiteral("B"));
        t.frontItems = {shape(QRectF(1, 1, 5, 5)), shape(QRectF(9, 9, 5, 5))};
        QString error;
        QVERIFY2(TemplateStore().save(QStringLiteral("Mine"), designfile::toBytes(t),
                                      QImage(8, 8, QImage::Format_ARGB32), &error),
                 qPrintable(error));
        doc->insertGraphics(CardSide::Front, {shape(QRectF(0, 0, 5, 5))}); // unsaved work
        auto chooseTemplate = [] {
            QTimer::singleShot(0, [] {
                auto* b = qobject_cast<Template_Browser*>(QApplication::activeModalWidget());
                QVERIFY(b);
                const QList<QListWidgetItem*> mine =
                    b->list()->findItems(QStringLiteral("Mine"), Qt::MatchContains);
                QVERIFY(!mine.isEmpty());
                b->list()->setCurrentItem(mine.first());
                b->Open_Template_Click();
            });
        };
        m_prompt.answer = PromptAnswer::Cancel;
        chooseTemplate();
        road->designCommands().Open_Template_Clicked();
        QCOMPARE(m_prompt.texts, QStringList{QStringLiteral("Do you want to save changes before closing?")});
        QCOMPARE(wnd->Get_Front_Controls_Array().size(), 1);

        m_prompt.answer = PromptAnswer::No;
        chooseTemplate();
        road->designCommands().Open_Template_Clicked();
        QCOMPARE(m_prompt.texts.size(), 2);
        QCOMPARE(wnd->Get_Front_Controls_Array().size(), 2);
    }

    // A size applied on the back is the card's size: both records, the frame of each side, export, print,
    // save and reopen.
    void backResizeIsTheCardSize() {
        const QString gold = m_dir.filePath(QStringLiteral("Frames/Gold.png"));
        const QSizeF old = doc->canvasSize();
        wnd->Get_Front_Controls_Array().append(frameItem(gold, old));
        wnd->Get_Back_Controls_Array().append(frameItem(gold, old));
        wnd->Select_back_side();
        panel->width_Stepper->setValue(100);
        panel->height_Stepper->setValue(50);
        panel->Apply_Size_btn->click();
        const QSizeF size(100 * 2.834645669291, 50 * 2.834645669291);
        auto near = [](QSizeF a, QSizeF b) {
            return qAbs(a.width() - b.width()) < 0.05 && qAbs(a.height() - b.height()) < 0.05;
        };
        QVERIFY(near(wnd->Front_card_Prop.Card_Size, size));
        QVERIFY(near(wnd->Back_card_Prop.Card_Size, size));
        QVERIFY(near(wnd->Get_Front_Controls_Array()[0]->bounds().size(), size));
        QVERIFY(near(wnd->Get_Back_Controls_Array()[0]->bounds().size(), size));

        // Export: the picture has the card's proportions (2 : 1), not the old ones (7 : 5).
        OutputCommands* out = wnd->outputCommands();
        out->runExportWindow = [](ExportWindow&) { return 1; };
        out->chooseSaveFile = [this](const QString&) { return m_dir.filePath(QStringLiteral("card.png")); };
        QTimer::singleShot(0, wnd, [this] { wnd->Open_Export_Files()->CancelPressed(); });
        wnd->Export_Action->trigger();
        QImage exported(m_dir.filePath(QStringLiteral("card.png")));
        QVERIFY(!exported.isNull());
        QVERIFY2(qAbs(double(exported.width()) / exported.height() - 2.0) < 0.02,
                 qPrintable(QStringLiteral("%1 x %2").arg(exported.width()).arg(exported.height())));

        // Print: the label the print dialog lays out is the card.
        QSizeF printed;
        QTimer::singleShot(0, wnd, [&] {
            Print_Wnd* p = out->printWindow();
            printed = p->currentLayout().card;
            p->reject();
        });
        wnd->Print_Action->trigger();
        QVERIFY(near(printed, size));

        const QString path = m_dir.filePath(QStringLiteral("sized.kvto"));
        QVERIFY(road->designCommands().Save_project_file(path, false));
        road->New_Project();
        QVERIFY(near(doc->canvasSize(), old));
        QVERIFY(road->designCommands().openDesignFile(path));
        QVERIFY(near(doc->canvasSize(), size));
        QVERIFY(near(wnd->Back_card_Prop.Card_Size, size));
    }

    // The print box sets only the print flag of the selected unlocked items, as one undo step.
    void printBoxChangesOnlyThePrintFlag() {
        GraphicPtr a = shape(QRectF(0, 0, 20, 20));
        GraphicPtr b = shape(QRectF(30, 0, 20, 20));
        GraphicPtr locked = shape(QRectF(60, 0, 20, 20));
        a->_strokeWidth = 7;
        a->_strokeColor = Qt::red;
        b->_isDrawingFill = true;
        b->_fill_type = QStringLiteral("H");
        b->_fill_hatch_type = QStringLiteral("NoSuchHatch");
        b->_fillColor = Qt::green;
        locked->ctrl_is_locked = true;
        doc->setGraphics(CardSide::Front, {a, b, locked});
        const GraphicPtr a0 = inspector::copyOfItem(*a), b0 = inspector::copyOfItem(*b);
        select(wnd->_graphicView, {a, b, locked});
        const int steps = undo()->count();
        clickCheck(panel->print_object_chk);
        QCOMPARE(a->print_object, 1);
        QCOMPARE(b->print_object, 1);
        QCOMPARE(locked->print_object, 0);
        QCOMPARE(undo()->count(), steps + 1);
        a0->print_object = b0->print_object = 1;
        QVERIFY(inspector::sameItemState(*a, *a0));
        QVERIFY(inspector::sameItemState(*b, *b0));
        wnd->Undo_Clicked();
        QCOMPARE(a->print_object, 0);
        QCOMPARE(b->print_object, 0);
        // a locked item's box cannot be changed (it would change nothing)
        select(wnd->_graphicView, {locked});
        QVERIFY(!panel->print_object_chk->isEnabled());
    }

    // One or two sides is one value of the design.
    void sidesAreOneValue() {
        panel->Sides_ComboBox->setCurrentIndex(1);
        QCOMPARE(CARD_SIDE_STR, QStringLiteral("1"));
        wnd->Select_back_side();
        QCOMPARE(panel->Sides_ComboBox->currentIndex(), 1);
        QCOMPARE(wnd->Back_card_Prop.Card_Side, QStringLiteral("1"));
        wnd->Select_front_side();
        QCOMPARE(panel->Sides_ComboBox->currentIndex(), 1);
        const QString path = m_dir.filePath(QStringLiteral("sides.kvto"));
        QVERIFY(road->designCommands().Save_project_file(path, false));
        road->New_Project();
        QCOMPARE(CARD_SIDE_STR, QStringLiteral("2"));
        QVERIFY(road->designCommands().openDesignFile(path));
        QCOMPARE(CARD_SIDE_STR, QStringLiteral("1"));
        wnd->Select_back_side();
        QCOMPARE(panel->Sides_ComboBox->currentIndex(), 1);
    }

    // The border set in the card panel is drawn over the items, on the canvas and in every output.
    void cardBorderIsDrawn() {
        GraphicPtr cover = shape(QRectF(QPointF(), doc->canvasSize()));
        cover->_isDrawingFill = true;
        cover->_fillColor = Qt::blue;
        cover->_isDrawingStroke = false;
        doc->setGraphics(CardSide::Front, {cover});
        panel->Card_bordr_clr->setColor(Qt::red);
        clickCheck(panel->Card_border_chk);
        panel->Card_bor_Stepper->setValue(8);
        QCOMPARE(wnd->Front_card_Prop.Card_border_chk, 1);
        QCOMPARE(wnd->Front_card_Prop.Card_bor_Stepper, 8);
        const QImage out = SKTRenderingView::image_From_Card_Graphics(
            doc->graphics(), false, wnd->Front_card_Prop, Card_Shape, doc->canvasSize());
        const QImage canvas = wnd->_graphicView->grab().toImage();
        for (const QImage& img : {out, canvas}) {
            QCOMPARE(QColor(img.pixel(3, img.height() / 2)), QColor(Qt::red));
            QCOMPARE(QColor(img.pixel(img.width() / 2, img.height() / 2)), QColor(Qt::blue));
        }
    }

    // A large picture chosen with Browse... takes a while to decode: until it is in, the item shows the picture
    // it had, not white; then the new one. For a picture item and for the main photo's item alike.
    void browsedPictureShowsTheOldOneUntilMade_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("picture item") << QString();
        QTest::newRow("main photo's item") << QStringLiteral("PARTY_IMAGE");
    }
    void browsedPictureShowsTheOldOneUntilMade() {
        QFETCH(QString, id);
        const QString red = writePicture(m_dir.filePath(QStringLiteral("red700.png")), Qt::red, QSize(700, 700));
        const QString green = writePicture(m_dir.filePath(QStringLiteral("green.png")), Qt::green, QSize(4000, 4000));
        if (!id.isEmpty())
            QVERIFY(road->Update_frame_Main_Photo_And_Path(red, true));
        GraphicPtr item = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        item->control_ID = id;
        static_cast<SKTImage&>(*item).setFilePath(red);
        item->setBounds(QRectF(20, 20, 100, 100));
        doc->setGraphics(CardSide::Front, {item});
        select(wnd->_graphicView, {item});
        const auto centre = [this] { return QColor(wnd->_graphicView->grab().toImage().pixel(70, 70)); };
        centre();
        ProcessedImageCache::waitForPending();
        panel->chooseFile = [green](const QString&, const QStringList&) { return green; };
        panel->Manual_Image_Browse_Btn();
        QCOMPARE(centre(), QColor(Qt::red)); // its decode has only begun
        ProcessedImageCache::waitForPending();
        QCOMPARE(centre(), QColor(Qt::green));
    }

    // Double-star and polygon variants run 1 to 5; gradient angles keep their decimals.
    void shapeVariantsAndAngles() {
        GraphicPtr star = shape(QRectF(0, 0, 40, 40));
        star->_shape_type = QStringLiteral("DS");
        star->_fill_grad_angle = 33.25;
        doc->setGraphics(CardSide::Front, {star});
        select(wnd->_graphicView, {star});
        QCOMPARE(panel->double_star_Stepper->minimum(), 1);
        QCOMPARE(panel->double_star_Stepper->maximum(), 5);
        QCOMPARE(panel->polygon_Stepper->maximum(), 5);
        QCOMPARE(panel->shape_grad_Stepper->value(), 33.25);
        panel->double_star_Stepper->setValue(5);
        QCOMPARE(star->double_star_type, 5);
        QCOMPARE(star->_fill_grad_angle, 33.25);
        const QString path = m_dir.filePath(QStringLiteral("star.kvto"));
        QVERIFY(road->designCommands().Save_project_file(path, false));
        QVERIFY(road->designCommands().openDesignFile(path));
        const GraphicPtr reopened = doc->graphics().value(0);
        QVERIFY(reopened);
        select(wnd->_graphicView, {reopened});
        QCOMPARE(panel->double_star_Stepper->value(), 5);
        QCOMPARE(panel->shape_grad_Stepper->value(), 33.25);

        GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        text->setBounds(QRectF(0, 50, 100, 30));
        text->_fill_grad_angle = 12.5;
        doc->setGraphics(CardSide::Front, {text, reopened});
        select(wnd->_graphicView, {text});
        panel->Text_alpha_Stepper->setValue(50);
        QCOMPARE(text->_fill_grad_angle, 12.5);
    }

    // The picture tool: the chosen file is placed where the user clicks, as with the other tools; Cancel
    // makes nothing; the arrow tool returns after the click.
    void pictureToolPlacesWhereClicked() {
        const QString pic = writePicture(m_dir.filePath(QStringLiteral("pic.png")), Qt::magenta);
        wnd->choosePictureFile = [] { return QString(); };
        wnd->toolAction(8)->trigger();
        QVERIFY(doc->graphics().isEmpty());
        QCOMPARE(wnd->Selected_Control_Tool, 0);

        wnd->choosePictureFile = [pic] { return pic; };
        wnd->toolAction(8)->trigger();
        QVERIFY(doc->graphics().isEmpty());
        viewdriver::click(wnd->_graphicView, QPointF(300, 200));
        QCOMPARE(doc->graphics().size(), 1);
        QCOMPARE(doc->graphics()[0]->_file_path, pic);
        QCOMPARE(doc->graphics()[0]->bounds().topLeft(), QPointF(300, 200));
        QCOMPARE(wnd->Selected_Control_Tool, 0);
        // a later click on the card places nothing
        viewdriver::click(wnd->_graphicView, QPointF(100, 100));
        QCOMPARE(doc->graphics().size(), 1);
        wnd->Undo_Clicked();
        QVERIFY(doc->graphics().isEmpty());

        // Clicked (tool 8, or the text tool) or dropped (0) near the card's edges, a new item lies inside the
        // card, at the edge; a picture larger than the card is made smaller in its proportions.
        const QSizeF card = doc->canvasSize();
        for (const auto& [tool, at] : {std::pair{8, QPointF(card.width() - 5, 40)}, {8, QPointF(30, card.height() - 2)},
                                       {0, QPointF(card.width() - 1, card.height() - 1)}, {2, QPointF(card.width() - 20, 10)}}) {
            if (tool != 0) {
                wnd->toolAction(tool)->trigger();
                viewdriver::click(wnd->_graphicView, at);
            } else { // two pictures: the second (in front) beside the first, not hidden under it
                wnd->_graphicView->dropPictureFiles({pic, pic}, at);
                const QRectF second = doc->graphics().value(0)->bounds();
                QVERIFY(QRectF(QPointF(0, 0), card).contains(second));
                QVERIFY(second != doc->graphics().last()->bounds());
            }
            const QRectF placed = doc->graphics().last()->bounds();
            QVERIFY2(QRectF(QPointF(0, 0), card).contains(placed), qPrintable(QString::number(tool)));
            QVERIFY(qAbs(placed.right() - card.width()) < 0.01 || qAbs(placed.bottom() - card.height()) < 0.01);
            wnd->Undo_Clicked();
        }
        wnd->SetDocumentCanvasSize(QSizeF(252, 144));
        wnd->choosePictureFile = [this] { return writePicture(m_dir.filePath(QStringLiteral("tall.png")), Qt::cyan, {100, 400}); };
        wnd->toolAction(8)->trigger();
        viewdriver::click(wnd->_graphicView, QPointF(200, 100));
        QCOMPARE(doc->graphics()[0]->bounds(), QRectF(200, 0, 36, 144));
    }

    // A frame picked while the back is shown goes to the front, which is shown; undo takes it away.
    void framePickOnBackShowsFront() {
        wnd->Select_back_side();
        const int steps = undo()->count();
        road->gallery()->setCurrentRow(0);
        QCOMPARE(Card_Front_Or_Back, 0);
        QCOMPARE(wnd->shownViewIndex(), 0);
        QCOMPARE(doc->graphics().size(), 1);
        QCOMPARE(undo()->count(), steps + 1);
        wnd->Undo_Clicked();
        QVERIFY(doc->graphics().isEmpty());
        QVERIFY(wnd->Front_card_Prop.Card_BG_Image_Path.isEmpty());
        wnd->Redo_Clicked();
        QCOMPARE(doc->graphics().size(), 1);
        QCOMPARE(wnd->Front_card_Prop.Card_BG_Image_Path, road->gallery()->selected_image());
    }

    // Undo shows the side of its step first; an action that changes nothing is no step; a date insert is one.
    void undoFollowsTheSide() {
        GraphicPtr back = shape(QRectF(10, 10, 30, 30));
        doc->setGraphics(CardSide::Back, {back});
        wnd->Select_back_side();
        select(wnd->_graphicView_BACK, {back});
        panel->shape_alpha_Stepper->setValue(40);
        QCOMPARE(back->alpha_val, 0.4f);
        wnd->Select_front_side();
        wnd->Undo_Clicked();
        QCOMPARE(wnd->shownViewIndex(), 1);
        QCOMPARE(Card_Front_Or_Back, 1);
        QCOMPARE(back->alpha_val, 1.0f);
        wnd->Select_front_side();
        wnd->Redo_Clicked();
        QCOMPARE(wnd->shownViewIndex(), 1);
        QCOMPARE(back->alpha_val, 0.4f);

        GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        text->setBounds(QRectF(0, 0, 200, 30));
        static_cast<SKTText&>(*text).setText(QStringLiteral("On "));
        doc->setGraphics(CardSide::Front, {text});
        wnd->Select_front_side();
        select(wnd->_graphicView, {text});
        int steps = undo()->count();
        panel->Text_Date_style->setCurrentIndex(0);
        panel->findChild<QPushButton*>(QStringLiteral("Text_Insert_Date_btn"))->click();
        QVERIFY(text->_Text_contents.size() > 3);
        QCOMPARE(undo()->count(), steps + 1);
        // the same value again changes nothing: no step
        steps = undo()->count();
        panel->shape_alpha_Stepper->setValue(panel->shape_alpha_Stepper->value());
        panel->Text_alpha_Stepper->setValue(panel->Text_alpha_Stepper->value() - 10);
        panel->Text_alpha_Stepper->setValue(panel->Text_alpha_Stepper->value() + 10);
        QCOMPARE(undo()->count(), steps + 1); // one stepper's steps merge
        wnd->Undo_Clicked();
        QVERIFY(text->_Text_contents.size() > 3);
    }

    // A size picked from the list, then Apply Size on the fields it filled: one step, the exact size kept
    // (177.8 mm read back from the field is not quite 504 pt).
    void applyingTheShownSizeAddsNoStep() {
        wnd->Select_back_side();
        auto* list = panel->findChild<QTableWidget*>(QStringLiteral("ColList"));
        QVERIFY(list && list->rowCount() > 1);
        const int steps = undo()->count();
        emit list->cellClicked(1, 0);
        QCOMPARE(undo()->count(), steps + 1);
        const QSizeF picked = doc->canvasSize();
        panel->Apply_Size_btn->click();
        QCOMPARE(undo()->count(), steps + 1);
        QCOMPARE(doc->canvasSize(), picked);
        QCOMPARE(wnd->Front_card_Prop.Card_Size, picked);
        // The front's panel marks the size the card has, not the one it had.
        wnd->Select_front_side();
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(list->selectedItems().size(), 1);
    }

    // Lock, data binding and card-side settings are undoable, the frame with the card's size.
    void moreEditsAreUndoable() {
        const QString gold = m_dir.filePath(QStringLiteral("Frames/Gold.png"));
        GraphicPtr frame = frameItem(gold, doc->canvasSize());
        GraphicPtr item = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        item->setBounds(QRectF(10, 10, 100, 30));
        item->data_source_type = 1;
        doc->setGraphics(CardSide::Front, {item, frame});
        select(wnd->_graphicView, {item});
        wnd->Lock_btn->trigger();
        QVERIFY(item->ctrl_is_locked);
        wnd->Undo_Clicked();
        QVERIFY(!item->ctrl_is_locked);

        select(wnd->_graphicView, {item});
        panel->Data_source_type->setCurrentIndex(0);
        QCOMPARE(item->data_source_type, 0);
        wnd->Undo_Clicked();
        QCOMPARE(item->data_source_type, 1);

        // A series bound to the main photo: undo takes the photo back with its item's path.
        const QString a = writePicture(m_dir.filePath(QStringLiteral("a.png")), Qt::red);
        const QString b = writePicture(m_dir.filePath(QStringLiteral("b.png")), Qt::green);
        QDir().mkpath(Data_Folder_Path);
        writeBytes(QDir(Data_Folder_Path).filePath(QStringLiteral("Photos.txt")), b.toUtf8() + "\n");
        QVERIFY(road->Update_frame_Main_Photo_And_Path(a, true));
        GraphicPtr photo = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        photo->control_ID = QStringLiteral("PARTY_IMAGE");
        static_cast<SKTImage&>(*photo).setFilePath(a);
        photo->setBounds(QRectF(20, 60, 80, 60));
        doc->setGraphics(CardSide::Front, {photo, item, frame});
        select(wnd->_graphicView, {photo});
        panel->Data_source_type->setCurrentIndex(1);
        panel->Batch_Series->setCurrentIndex(-1);
        panel->Batch_Series->setCurrentIndex(panel->Batch_Series->findText(QStringLiteral("Photos")));
        QCOMPARE(photo->_file_path, b);
        QCOMPARE(Invite_Frame_Pic_IMG, b);
        wnd->Undo_Clicked();
        QCOMPARE(photo->_file_path, a);
        QCOMPARE(Invite_Frame_Pic_IMG, a);
        QCOMPARE(QColor(wnd->mainPhotoImage().image().pixel(0, 0)), QColor(Qt::red));

        // The grid is a view setting: no step.
        const int steps = undo()->count();
        wnd->Grid_Slider_Changed(20);
        wnd->Grid_Slider_Changed(24);
        QCOMPARE(wnd->_grid->spacing(), 24.0);
        QCOMPARE(undo()->count(), steps);

        const QSizeF old = doc->canvasSize();
        wnd->Select_back_side();
        panel->cardShapeGroup->button(2)->click();
        QCOMPARE(Card_Shape, 2);
        panel->width_Stepper->setValue(80);
        panel->Apply_Size_btn->click();
        QVERIFY(doc->canvasSize() != old);
        QCOMPARE(frame->bounds().size(), doc->canvasSize());
        wnd->Select_front_side();
        wnd->Undo_Clicked();
        QCOMPARE(wnd->shownViewIndex(), 1);
        QCOMPARE(doc->canvasSize(), old);
        QCOMPARE(wnd->Front_card_Prop.Card_Size, old);
        QCOMPARE(frame->bounds().size(), old);
        QCOMPARE(panel->width_Stepper->value(), inspector::pointsToMillimetres(old.width()));
        wnd->Undo_Clicked();
        QCOMPARE(Card_Shape, 0);
        wnd->Redo_Clicked();
        wnd->Redo_Clicked();
        QVERIFY(doc->canvasSize() != old);
        QCOMPARE(frame->bounds().size(), doc->canvasSize());
    }
};

QTEST_MAIN(TestWindowEdits)
#include "test_window_edits.moc"
