#include "../common/HostilePictures.h"
#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "ViewDriver.h"

#include "canvas/GraphicClipboard.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "canvas/ui/GraphicCommands.h"
#include "canvas/ui/SKTGraphicView.h"
#include "common/Globals.h"
#include "common/PictureReader.h"
#include "common/Prompt.h"
#include "imaging/ProcessedImageCache.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <cmath>

using namespace viewdriver;

Q_DECLARE_METATYPE(QList<QRectF>)

namespace {

GraphicPtr shape(const QRectF& r, bool locked = false) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
    g->_shape_type = QStringLiteral("R");
    g->setBounds(r);
    g->ctrl_is_locked = locked;
    return g;
}

} // namespace

class TestGraphicView : public QObject {
    Q_OBJECT
    SKTDocument* doc = nullptr;
    SKTGrid* grid = nullptr;
    SKTGraphicView* view = nullptr;

    // Items given front-most first; the selection is all of them.
    GraphicList placeAndSelect(const QList<QRectF>& rects, const QList<bool>& locks = {}) {
        GraphicList items;
        for (qsizetype i = 0; i < rects.size(); ++i)
            items << shape(rects[i], locks.value(i, false));
        doc->setGraphics(CardSide::Front, items);
        view->selectAll();
        return items;
    }
    // One item on the card, selected.
    GraphicPtr placeOne(const QRectF& r, bool locked = false) {
        GraphicPtr g = shape(r, locked);
        doc->setGraphics(CardSide::Front, {g});
        view->selectGraphic(g);
        return g;
    }

private slots:
    void init() {
        Library_Selected_Image.clear();
        doc = new SKTDocument;
        grid = new SKTGrid;
        view = new SKTGraphicView;
        view->setDocument(doc, CardSide::Front);
        view->setGrid(grid);
        view->setCanvasSize(QSizeF(504, 360));
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    void cleanup() {
        delete view;
        delete grid;
        delete doc;
    }

    void createsEachToolsItem_data() {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("code"); // shape code, or signature kind
        const struct {
            const char* name;
            int tool;
            const char* className;
            const char* code;
        } rows[] = {{"line", 1, "SKTLine", ""},
                    {"text", 2, "SKTText", ""},
                    {"rectangle", 3, "Shape_Control", "R"},
                    {"circle", 4, "Shape_Control", "C"},
                    {"rounded", 5, "Shape_Control", "RR"},
                    {"triangle", 6, "Shape_Control", "T"},
                    {"diamond", 7, "Shape_Control", "D"},
                    {"picture file", 8, "SKTImage", ""},
                    {"picture library", 9, "SKTImage", ""},
                    {"barcode", 10, "SKTBarcode", ""},
                    {"signature", 11, "SKTSignature", "S"},
                    {"fingerprint", 12, "SKTSignature", "F"},
                    {"star", 13, "Shape_Control", "S"},
                    {"double star", 14, "Shape_Control", "DS"},
                    {"polygon", 15, "Shape_Control", "P"}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << r.tool << QString::fromLatin1(r.className)
                                  << QString::fromLatin1(r.code);
    }
    void createsEachToolsItem() {
        QFETCH(int, tool);
        QFETCH(QString, className);
        QFETCH(QString, code);
        QSignalSpy created(view, &SKTGraphicView::graphicCreated);
        view->setTool(tool);
        drag(view, QPointF(50, 60), QPointF(150, 140));
        QCOMPARE(doc->graphics().size(), 1);
        GraphicPtr g = doc->graphics().first();
        QCOMPARE(g->className(), className);
        QCOMPARE(g->bounds(), QRectF(50, 60, 100, 80));
        if (g->kind() == GraphicKind::Shape)
            QCOMPARE(g->_shape_type, code);
        if (g->kind() == GraphicKind::Signature)
            QCOMPARE(g->sign_or_fingureprint, code);
        if (tool == 1)
            QCOMPARE(g->_line_ori, 2); // dragged down and right
        QCOMPARE(view->_Selected_Graphic, g);
        QCOMPARE(view->selectedGraphics(), GraphicList{g});
        QCOMPARE(created.count(), 1);

        // A click without a drag makes an item of the tool's default size at the click, in front.
        click(view, QPointF(300, 200));
        QCOMPARE(doc->graphics().size(), 2);
        QCOMPARE(doc->graphics().first()->bounds(),
                 QRectF(QPointF(300, 200), SKTGraphicView::defaultSizeForTool(tool)));
    }

    void newItemsSnapWhileConstraining() {
        grid->setSpacing(10);
        grid->setConstraining(true);
        view->setTool(3);
        drag(view, QPointF(23, 27), QPointF(118, 94));
        QCOMPARE(doc->graphics().first()->bounds(), QRectF(QPointF(20, 30), QPointF(120, 90)));
    }

    void codeCreationCascadesWithoutPlace() {
        last_ctrl_X = 10;
        last_ctrl_Y = 10;
        view->setTool(2);
        GraphicPtr g = view->createGraphicOfClass(QString(), nullptr, false, QRectF(), QStringLiteral("F"),
                                                  QStringLiteral("Hello"), QStringLiteral("PARTY_TITLE"));
        QVERIFY(g);
        QCOMPARE(g->bounds().topLeft(), QPointF(10, 10));
        QCOMPARE(g->_Text_contents, QStringLiteral("Hello"));
        QCOMPARE(g->control_ID, QStringLiteral("PARTY_TITLE"));
        QVERIFY(!g->_isDrawingStroke && !g->_isDrawingFill);
        QCOMPARE(doc->graphics().first(), g);
    }

    void replaceFindsTextAndPictureOnly() {
        auto text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        text->control_ID = QStringLiteral("PARTY_MSG");
        text->ctrl_is_visible = false;
        auto sign = makeGraphicOfClass(QStringLiteral("SKTSignature"), false);
        sign->control_ID = QStringLiteral("PARTY_SIGN");
        doc->setGraphics(CardSide::Front, {sign, text});
        QCOMPARE(view->Selcect_Ctrl_With_ID(QStringLiteral("PARTY_MSG")), text);
        QVERIFY(
            !view->Selcect_Ctrl_With_ID(QStringLiteral("PARTY_SIGN"))); // a signature is not a picture item

        view->setTool(2);
        view->ReplaceGraphicText(QStringLiteral("SKTText"), nullptr, true, QRectF(0, 0, 50, 20),
                                 QStringLiteral("F"), QStringLiteral("New words"),
                                 QStringLiteral("PARTY_MSG"));
        QCOMPARE(doc->graphics().size(), 2);
        QCOMPARE(text->_Text_contents, QStringLiteral("New words"));
        QVERIFY(text->ctrl_is_visible);
        QCOMPARE(view->_Selected_Graphic, text);

        view->ReplaceGraphicText(QStringLiteral("SKTText"), nullptr, true, QRectF(0, 0, 50, 20),
                                 QStringLiteral("F"), QStringLiteral("Other"), QStringLiteral("PARTY_FROM"));
        QCOMPARE(doc->graphics().size(), 3);
        QCOMPARE(doc->graphics().first()->control_ID, QStringLiteral("PARTY_FROM"));
    }

    void hidesProfileItemsOnly() {
        auto name = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        name->control_ID = QStringLiteral("Fup_Name");
        auto photo = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        photo->control_ID = QStringLiteral("Fup_Photo");
        auto other = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        other->control_ID = QStringLiteral("PARTY_TITLE");
        auto barcode = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
        barcode->control_ID = QStringLiteral("Fup_Name");
        doc->setGraphics(CardSide::Front, {name, other, photo, barcode});
        view->Hide_all_Text_control_FUP_Control();
        QVERIFY(!name->ctrl_is_visible);
        QVERIFY(!photo->ctrl_is_visible);
        QVERIFY(other->ctrl_is_visible);
        QVERIFY(barcode->ctrl_is_visible);
    }

    void clickShiftClickAndRubberBand() {
        GraphicPtr a = shape(QRectF(20, 20, 60, 40));
        GraphicPtr b = shape(QRectF(200, 20, 60, 40));
        GraphicPtr c = shape(QRectF(20, 200, 60, 40));
        doc->setGraphics(CardSide::Front, {a, b, c});
        QSignalSpy inspected(view, &SKTGraphicView::inspectGraphic);

        click(view, QPointF(40, 40));
        QCOMPARE(view->selectedGraphics(), GraphicList{a});
        QCOMPARE(inspected.last().first().value<GraphicPtr>(), a);
        click(view, QPointF(220, 40), Qt::ShiftModifier);
        QCOMPARE(view->selectedGraphics(), (GraphicList{a, b}));
        click(view, QPointF(40, 40), Qt::ShiftModifier); // shift-click again takes it out
        QCOMPARE(view->selectedGraphics(), GraphicList{b});
        click(view, QPointF(400, 300)); // empty spot
        QVERIFY(view->selectedGraphics().isEmpty());
        QVERIFY(!inspected.last().first().value<GraphicPtr>());

        drag(view, QPointF(10, 10), QPointF(100, 300)); // touches a and c
        QCOMPARE(view->selectedGraphics(), (GraphicList{a, c}));
        drag(view, QPointF(190, 10), QPointF(300, 100), Qt::ShiftModifier); // adds b
        QCOMPARE(view->selectedGraphics(), (GraphicList{a, b, c}));
        QCOMPARE(view->selectionIndexes(), (QList<qsizetype>{0, 1, 2}));
    }

    void diagonalLineIsHitNearTheLine() {
        auto line = makeGraphicOfClass(QStringLiteral("SKTLine"), false);
        line->setBounds(QRectF(0, 0, 100, 100));
        line->_line_ori = 2;
        doc->setGraphics(CardSide::Front, {line});
        QCOMPARE(view->graphicUnderPoint(QPointF(50, 51)), line);
        QVERIFY(!view->graphicUnderPoint(QPointF(80, 20)));
        line->_line_ori = 3;
        QCOMPARE(view->graphicUnderPoint(QPointF(80, 20)), line);
    }

    void clickGoesThroughTheCardFrame() {
        auto frame = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        frame->setBounds(QRectF(0, 0, 400, 300));
        frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        auto text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        text->setBounds(QRectF(40, 40, 200, 30));
        doc->setGraphics(CardSide::Front, {frame, text}); // the frame lies on top
        QCOMPARE(view->graphicUnderPoint(QPointF(60, 50)), text);
        QCOMPARE(view->graphicUnderPoint(QPointF(300, 250)), frame);
        QVERIFY(!view->graphicUnderPoint(QPointF(500, 250)));

        // A drag on the bare card draws a selection band instead of shifting the frame, and the band takes
        // the items it touches but not the frame around them.
        drag(view, QPointF(300, 250), QPointF(30, 35));
        QCOMPARE(frame->bounds(), QRectF(0, 0, 400, 300));
        QCOMPARE(view->selectedGraphics(), GraphicList{text});
        // A plain click there still picks the frame, for its inspector.
        click(view, QPointF(300, 250));
        QCOMPARE(view->selectedGraphics(), GraphicList{frame});
        drag(view, QPointF(300, 250), QPointF(350, 280));
        QCOMPARE(frame->bounds(), QRectF(0, 0, 400, 300));
    }

    void frontMostItemWinsTheClick() {
        GraphicPtr top = shape(QRectF(20, 20, 60, 40));
        GraphicPtr below = shape(QRectF(10, 10, 200, 200));
        doc->setGraphics(CardSide::Front, {top, below});
        click(view, QPointF(30, 30));
        QCOMPARE(view->selectedGraphics(), GraphicList{top});
        view->bringToFront();
        view->selectGraphic(below);
        view->bringToFront();
        QCOMPARE(doc->graphics(), (GraphicList{below, top}));
        click(view, QPointF(30, 30));
        QCOMPARE(view->selectedGraphics(), GraphicList{below});
        view->sendToBack();
        QCOMPARE(doc->graphics(), (GraphicList{top, below}));
        doc->undoManager()->undo();
        QCOMPARE(doc->graphics(), (GraphicList{below, top}));
    }

    void moveWithMouse_data() {
        QTest::addColumn<bool>("snap");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("free") << false << false << QPointF(43, 38);
        QTest::newRow("snapped to 9") << true << false << QPointF(45, 36);
        QTest::newRow("locked stays") << false << true << QPointF(13, 13);
    }
    void moveWithMouse() {
        QFETCH(bool, snap);
        QFETCH(bool, locked);
        QFETCH(QPointF, expected);
        grid->setSpacing(9);
        grid->setConstraining(snap);
        GraphicPtr g = shape(QRectF(13, 13, 40, 30), locked);
        doc->setGraphics(CardSide::Front, {g});
        drag(view, QPointF(30, 30), QPointF(60, 55), Qt::NoModifier, 6);
        QCOMPARE(g->bounds().topLeft(), expected);
        QCOMPARE(g->bounds().size(), QSizeF(40, 30));
        if (!locked) {
            // The steps of one drag are one undo step.
            QCOMPARE(doc->undoManager()->count(), 1);
            doc->undoManager()->undo();
            QCOMPARE(g->bounds().topLeft(), QPointF(13, 13));
        }
    }

    void dragRepaintsOnlyWhatChanged() {
        struct PaintAreas : QObject {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } areas;
        GraphicList many;
        for (int i = 0; i < 200; ++i)
            many << shape(QRectF(300 + i % 20 * 9, 200 + i / 20 * 14, 8, 8));
        GraphicPtr g = shape(QRectF(20, 20, 40, 30));
        many.prepend(g);
        doc->setGraphics(CardSide::Front, many);
        view->selectGraphic(g);
        QCoreApplication::processEvents();
        view->installEventFilter(&areas);
        press(view, QPointF(30, 30));
        send(view, QEvent::MouseMove, QPointF(40, 38), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QTRY_VERIFY(!areas.painted.isEmpty());
        const QRect bounds = areas.painted.boundingRect();
        QVERIFY2(bounds.width() < 120 && bounds.height() < 120,
                 qPrintable(QStringLiteral("%1 x %2").arg(bounds.width()).arg(bounds.height())));
        QVERIFY(bounds.contains(QPoint(25, 25)) && bounds.contains(QPoint(75, 65)));
        release(view, QPointF(40, 38));
        view->removeEventFilter(&areas);
    }

    void moveCarriesTheSelectionButNotLockedItems() {
        GraphicPtr a = shape(QRectF(20, 20, 40, 40));
        GraphicPtr b = shape(QRectF(100, 20, 40, 40));
        GraphicPtr c = shape(QRectF(200, 20, 40, 40), true);
        doc->setGraphics(CardSide::Front, {a, b, c});
        view->selectAll();
        drag(view, QPointF(30, 30), QPointF(40, 60));
        QCOMPARE(a->bounds().topLeft(), QPointF(30, 50));
        QCOMPARE(b->bounds().topLeft(), QPointF(110, 50));
        QCOMPARE(c->bounds().topLeft(), QPointF(200, 20));
    }

    void resizeWithHandles_data() {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("snap");
        QTest::addColumn<QRectF>("expected");
        // Item (50, 60, 100, 80): handles at its corners and edge middles.
        QTest::newRow("bottom right")
            << int(SKTGraphicView::BottomRight) << QPointF(200, 170) << false << QRectF(50, 60, 150, 110);
        QTest::newRow("top left") << int(SKTGraphicView::TopLeft) << QPointF(30, 40) << false
                                  << QRectF(30, 40, 120, 100);
        QTest::newRow("right edge only")
            << int(SKTGraphicView::Right) << QPointF(180, 300) << false << QRectF(50, 60, 130, 80);
        QTest::newRow("bottom edge only")
            << int(SKTGraphicView::Bottom) << QPointF(0, 100) << false << QRectF(50, 60, 100, 40);
        QTest::newRow("snapped corner") << int(SKTGraphicView::BottomRight) << QPointF(203, 166) << true
                                        << QRectF(QPointF(50, 60), QPointF(207, 162));
        QTest::newRow("past the opposite edge")
            << int(SKTGraphicView::Left) << QPointF(170, 100) << false << QRectF(150, 60, 20, 80);
    }
    void resizeWithHandles() {
        QFETCH(int, handle);
        QFETCH(QPointF, to);
        QFETCH(bool, snap);
        QFETCH(QRectF, expected);
        grid->setSpacing(9);
        grid->setConstraining(snap);
        GraphicPtr g = placeOne(QRectF(50, 60, 100, 80));
        const QRectF r = g->bounds();
        const QPointF points[] = {
            r.topLeft(),     {r.center().x(), r.top()},    r.topRight(),   {r.right(), r.center().y()},
            r.bottomRight(), {r.center().x(), r.bottom()}, r.bottomLeft(), {r.left(), r.center().y()}};
        GraphicPtr hit;
        QCOMPARE(int(view->handleUnderPoint(points[handle], &hit)), handle);
        drag(view, points[handle], to);
        QCOMPARE(g->bounds(), expected);
        QCOMPARE(doc->undoManager()->count(), 1);
        doc->undoManager()->undo();
        QCOMPARE(g->bounds(), r);
    }

    void shiftKeepsProportions() {
        GraphicPtr g = placeOne(QRectF(50, 60, 100, 80));
        drag(view, QPointF(150, 140), QPointF(250, 100), Qt::ShiftModifier);
        QCOMPARE(g->bounds(), QRectF(50, 60, 200, 160));

        view->setTool(4);
        drag(view, QPointF(300, 10), QPointF(400, 60), Qt::ShiftModifier);
        QCOMPARE(doc->graphics().first()->bounds(), QRectF(300, 10, 100, 100));

        view->setTool(1);
        drag(view, QPointF(10, 300), QPointF(110, 310), Qt::ShiftModifier);
        const GraphicPtr line = doc->graphics().first();
        QCOMPARE(line->_line_ori, 0); // levelled to horizontal
        QCOMPARE(line->bounds().width(), std::hypot(100.0, 10.0));
    }

    // Every kind keeps its proportions under Shift, also when the handle was grabbed off its centre and
    // Shift is pressed or let go in the middle of the drag without moving the mouse.
    void shiftKeepsEveryKindsProportions_data() {
        QTest::addColumn<QString>("className");
        QTest::newRow("text") << QStringLiteral("SKTText");
        QTest::newRow("picture") << QStringLiteral("SKTImage");
        QTest::newRow("barcode") << QStringLiteral("SKTBarcode");
        QTest::newRow("signature") << QStringLiteral("SKTSignature");
        QTest::newRow("shape") << QStringLiteral("Shape_Control");
    }
    void shiftKeepsEveryKindsProportions() {
        QFETCH(QString, className);
        GraphicPtr g = makeGraphicOfClass(className, false);
        g->setBounds(QRectF(50, 60, 120, 40));
        doc->setGraphics(CardSide::Front, {g});
        view->selectGraphic(g);
        view->setZoom(2.0);
        const QPointF grab = QPointF(170, 100) * 2.0 + QPointF(2, -2); // 1 point off the corner
        press(view, grab, Qt::ShiftModifier);
        send(view, QEvent::MouseMove, grab + QPointF(60, 200), Qt::NoButton, Qt::LeftButton,
             Qt::ShiftModifier);
        QCOMPARE(g->bounds(), QRectF(50, 60, 120 + 300, 40 + 100)); // the larger stretch wins, 3.5 times

        send(view, QEvent::MouseMove, grab + QPointF(40, 0), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCOMPARE(g->bounds(), QRectF(50, 60, 140, 40)); // free again: the corner follows the pointer
        QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QApplication::sendEvent(view, &shiftDown);
        QCOMPARE(g->bounds(), QRectF(50, 60, 140, 140.0 / 3));
        QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QApplication::sendEvent(view, &shiftUp);
        QCOMPARE(g->bounds(), QRectF(50, 60, 140, 40));
        release(view, grab + QPointF(40, 0));
        QCOMPARE(doc->undoManager()->count(), 1); // one drag, one step
        doc->undoManager()->undo();
        QCOMPARE(g->bounds(), QRectF(50, 60, 120, 40));
    }

    void lockedItemHasNoHandles() {
        GraphicPtr g = placeOne(QRectF(50, 60, 100, 80), true);
        QCOMPARE(view->handleUnderPoint(QPointF(150, 140), nullptr), SKTGraphicView::NoHandle);
        drag(view, QPointF(150, 140), QPointF(220, 200));
        QCOMPARE(g->bounds(), QRectF(50, 60, 100, 80));
    }

    void arrowKeysMove() {
        GraphicPtr g = placeOne(QRectF(50, 60, 100, 80));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(g->bounds().topLeft(), QPointF(51, 61));
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(g->bounds().topLeft(), QPointF(41, 61));
        doc->undoManager()->undo(); // one run of arrow keys is one step
        QCOMPARE(g->bounds().topLeft(), QPointF(50, 60));
        grid->setSpacing(9);
        grid->setConstraining(true); // snapping moves by whole grid steps
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(g->bounds().topLeft(), QPointF(59, 60));
        g->ctrl_is_locked = true;
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(g->bounds().topLeft(), QPointF(59, 60));
    }

    void arrange_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QList<QRectF>>("rects");
        QTest::addColumn<QList<bool>>("locks");
        QTest::addColumn<QList<QRectF>>("expected");
        const QList<QRectF> three = {QRectF(100, 50, 40, 20), QRectF(30, 120, 60, 30),
                                     QRectF(200, 10, 20, 80)};
        const QList<bool> none = {false, false, false};
        const QList<bool> secondLocked = {false, true, false};
        const QRectF one(100, 50, 40, 20);
        // One item at `one`, and the three items with the first as the reference: where they go.
        const auto single = [&](const char* name, const char* op, QRectF to, bool locked = false) {
            QTest::newRow(name) << QString(op) << QList<QRectF>{one} << QList<bool>{locked}
                                << QList<QRectF>{to};
        };
        const auto triple = [&](const char* name, const char* op, const QList<bool>& locks,
                                const QList<QRectF>& to) {
            QTest::newRow(name) << QString(op) << three << locks << to;
        };
        // Card 504 x 360.
        single("left one", "left", QRectF(0, 50, 40, 20));
        single("left one locked", "left", one, true);
        triple("left three, second locked", "left", secondLocked,
               {three[0], three[1], QRectF(100, 10, 20, 80)});
        single("right one", "right", QRectF(464, 50, 40, 20));
        triple("right three", "right", none, {three[0], QRectF(80, 120, 60, 30), QRectF(120, 10, 20, 80)});
        single("top one", "top", QRectF(100, 0, 40, 20));
        triple("top three", "top", none, {three[0], QRectF(30, 50, 60, 30), QRectF(200, 50, 20, 80)});
        single("bottom one", "bottom", QRectF(100, 340, 40, 20));
        triple("bottom three", "bottom", none, {three[0], QRectF(30, 40, 60, 30), QRectF(200, -10, 20, 80)});
        single("hcenter one", "hcenter", QRectF(232, 50, 40, 20));
        triple("hcenter three", "hcenter", none,
               {three[0], QRectF(90, 120, 60, 30), QRectF(110, 10, 20, 80)});
        single("vcenter one", "vcenter", QRectF(100, 170, 40, 20));
        triple("vcenter three", "vcenter", none, {three[0], QRectF(30, 45, 60, 30), QRectF(200, 20, 20, 80)});
        single("center one", "center", QRectF(232, 170, 40, 20));
        // Every unlocked item is centred on the card, the first one too.
        triple("center three, second locked", "center", secondLocked,
               {QRectF(232, 170, 40, 20), three[1], QRectF(242, 140, 20, 80)});
        triple("same width three", "width", secondLocked, {three[0], three[1], QRectF(200, 10, 40, 80)});
        triple("same height three", "height", none,
               {three[0], QRectF(30, 120, 60, 20), QRectF(200, 10, 20, 20)});
        single("same width one", "width", one);
        QTest::newRow("natural one") << "natural" << QList<QRectF>{QRectF(10, 10, 40, 60)}
                                     << QList<bool>{false} << QList<QRectF>{QRectF(10, 10, 40, 40)};
        QTest::newRow("grid 9") << "grid" << QList<QRectF>{QRectF(13, 13, 20, 20), QRectF(40, 50, 10, 10)}
                                << QList<bool>{false, true}
                                << QList<QRectF>{QRectF(9, 9, 27, 27), QRectF(40, 50, 10, 10)};
    }
    void arrange() {
        QFETCH(QString, op);
        QFETCH(QList<QRectF>, rects);
        QFETCH(QList<bool>, locks);
        QFETCH(QList<QRectF>, expected);
        grid->setSpacing(9);
        const GraphicList items = placeAndSelect(rects, locks);
        if (op == "left")
            view->alignLeftEdges();
        else if (op == "right")
            view->alignRightEdges();
        else if (op == "top")
            view->alignTopEdges();
        else if (op == "bottom")
            view->alignBottomEdges();
        else if (op == "hcenter")
            view->alignHorizontalCenters();
        else if (op == "vcenter")
            view->alignVerticalCenters();
        else if (op == "center")
            view->alignformCenter();
        else if (op == "width")
            view->makeSameWidth();
        else if (op == "height")
            view->makeSameHeight();
        else if (op == "natural")
            view->makeNaturalSize();
        else if (op == "grid")
            view->alignWithGrid();
        for (qsizetype i = 0; i < items.size(); ++i)
            QCOMPARE(items[i]->bounds(), expected[i]);
        // One undo puts everything back.
        if (doc->undoManager()->canUndo()) {
            doc->undoManager()->undo();
            for (qsizetype i = 0; i < items.size(); ++i)
                QCOMPARE(items[i]->bounds(), rects[i]);
        }
    }

    void printFlagSkipsLockedItems() {
        const GraphicList items = placeAndSelect(
            {QRectF(0, 0, 10, 10), QRectF(20, 0, 10, 10), QRectF(40, 0, 10, 10)}, {false, true, false});
        view->print_contol_or_not(1);
        QCOMPARE(items[0]->print_object, 1);
        QCOMPARE(items[1]->print_object, 0);
        QCOMPARE(items[2]->print_object, 1);
    }

    void frameItemsAreRecognised() {
        const GraphicList items = placeAndSelect({QRectF(0, 0, 10, 10), QRectF(20, 0, 10, 10)});
        QVERIFY(!view->There_Is_Frame_Pic_Or_Frame_Photo());
        items[1]->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        QVERIFY(view->There_Is_Frame_Pic_Or_Frame_Photo());
        view->Clear_Control_Selection();
        QVERIFY(!view->There_Is_Frame_Pic_Or_Frame_Photo());
    }

    void undoRedoInsertAndRemove() {
        view->setTool(3);
        drag(view, QPointF(10, 10), QPointF(60, 60));
        GraphicPtr g = doc->graphics().first();
        QCOMPARE(view->_Selected_Graphic, g);
        doc->undoManager()->undo();
        QVERIFY(doc->graphics().isEmpty());
        QVERIFY(!view->_Selected_Graphic); // never left pointing at an item that is gone
        QVERIFY(view->selectedGraphics().isEmpty());
        doc->undoManager()->redo();
        QCOMPARE(doc->graphics(), GraphicList{g});

        GraphicPtr other = shape(QRectF(100, 100, 20, 20));
        doc->insertGraphics(CardSide::Front, {other}, 1);
        view->setTool(0);
        click(view, QPointF(30, 30));
        QCOMPARE(view->_Selected_Graphic, g);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(doc->graphics(), GraphicList{other});
        QVERIFY(!view->_Selected_Graphic);
        doc->undoManager()->undo();
        QCOMPARE(doc->graphics(), (GraphicList{g, other})); // back at its index
        doc->undoManager()->redo();
        QCOMPARE(doc->graphics(), GraphicList{other});
    }

    void propertyEditUndoesPerItem() {
        const GraphicList items = placeAndSelect({QRectF(0, 0, 10, 10), QRectF(20, 0, 10, 10)});
        items[0]->_strokeWidth = 1;
        items[1]->_strokeWidth = 3;
        doc->undoManager()->push(new SetGraphicFieldCommand<double>(items, &SKTGraphic::_strokeWidth, 6.0,
                                                                    QStringLiteral("Line Width")));
        QCOMPARE(items[0]->_strokeWidth, 6.0);
        QCOMPARE(items[1]->_strokeWidth, 6.0);
        doc->undoManager()->undo();
        QCOMPARE(items[0]->_strokeWidth, 1.0);
        QCOMPARE(items[1]->_strokeWidth, 3.0);
    }

    void lockedItemsAreNotDeleted() {
        const GraphicList items =
            placeAndSelect({QRectF(0, 0, 10, 10), QRectF(20, 0, 10, 10)}, {true, false});
        view->deleteSelection();
        QCOMPARE(doc->graphics(), GraphicList{items[0]});
    }

    void copyPasteBetweenSides() {
        SKTGraphicView back;
        back.setDocument(doc, CardSide::Back);
        const GraphicList items = placeAndSelect({QRectF(10, 20, 30, 40), QRectF(100, 20, 30, 40)});
        items[0]->_strokeWidth = 4;
        QSignalSpy copied(view, &SKTGraphicView::copiedToClipboard);
        view->copy();
        QCOMPARE(copied.count(), 1);
        QVERIFY(SKTGraphicView::clipboardHasGraphics());

        back.paste();
        const GraphicList pasted = doc->graphics_back();
        QCOMPARE(pasted.size(), 2);
        QVERIFY(pasted[0] != items[0]);
        QCOMPARE(pasted[0]->bounds(), items[0]->bounds()); // same place on the other side
        QCOMPARE(pasted[1]->bounds(), items[1]->bounds());
        QCOMPARE(pasted[0]->_strokeWidth, 4.0);
        QCOMPARE(back.selectedGraphics(), pasted);

        // On the side they came from the copies are put a little aside.
        view->paste();
        QCOMPARE(doc->graphics().size(), 4);
        QCOMPARE(doc->graphics()[0]->bounds(), QRectF(20, 30, 30, 40));
        doc->undoManager()->undo();
        QCOMPARE(doc->graphics().size(), 2);
    }

    void duplicatePutsCopiesAside() {
        const GraphicList items = placeAndSelect({QRectF(10, 20, 30, 40)}, {true});
        view->duplicate();
        QCOMPARE(doc->graphics().size(), 2);
        const GraphicPtr copy = doc->graphics().first();
        QVERIFY(copy != items[0]);
        QCOMPARE(copy->bounds(), QRectF(20, 30, 30, 40));
        QVERIFY(!copy->ctrl_is_locked);
        QCOMPARE(view->selectedGraphics(), GraphicList{copy});
        doc->undoManager()->undo();
        QCOMPARE(doc->graphics(), items);
    }

    void pasteAfterClipboardRoundTrip() {
        const GraphicList items = placeAndSelect({QRectF(10, 20, 30, 40)});
        items[0]->_fillColor = QColor(10, 200, 30);
        view->copy();
        // Through a fresh mime object, as another program would hand it back.
        const QMimeData* original = QGuiApplication::clipboard()->mimeData();
        auto* copy = new QMimeData;
        copy->setData(SKTGraphicViewPasteboardType, original->data(SKTGraphicViewPasteboardType));
        QGuiApplication::clipboard()->setMimeData(copy);
        doc->clearSide(CardSide::Front);
        view->paste();
        QCOMPARE(doc->graphics().size(), 1);
        QCOMPARE(doc->graphics()[0]->bounds(), QRectF(10, 20, 30, 40));
        QCOMPARE(doc->graphics()[0]->_fillColor, QColor(10, 200, 30));
    }

    // Cut takes the unlocked items away and leaves the locked ones; paste puts them back where they were.
    void cutLeavesLockedItemsAndPastes_data() {
        QTest::addColumn<QList<bool>>("locks");
        QTest::newRow("one") << QList<bool>{false};
        QTest::newRow("second locked") << QList<bool>{false, true};
    }
    void cutLeavesLockedItemsAndPastes() {
        QFETCH(QList<bool>, locks);
        const GraphicList items = placeAndSelect(
            QList<QRectF>{QRectF(10, 20, 30, 40), QRectF(100, 20, 30, 40)}.first(locks.size()), locks);
        GraphicList kept;
        for (qsizetype i = 0; i < items.size(); ++i)
            if (locks[i])
                kept << items[i];
        view->cut();
        QCOMPARE(doc->graphics(), kept);
        view->paste();
        QCOMPARE(doc->graphics().size(), items.size());
        QCOMPARE(doc->graphics()[0]->bounds(), QRectF(10, 20, 30, 40));
    }

    void brokenClipboardIsRefused() {
        auto* bad = new QMimeData;
        bad->setData(SKTGraphicViewPasteboardType, QByteArray("not a property list"));
        QGuiApplication::clipboard()->setMimeData(bad);
        view->paste();
        QVERIFY(doc->graphics().isEmpty());
    }

    void doubleClickOpensBarcodeDesigner() {
        auto barcode = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
        barcode->setBounds(QRectF(50, 50, 100, 60));
        GraphicPtr rect = shape(QRectF(200, 50, 50, 50));
        doc->setGraphics(CardSide::Front, {barcode, rect});
        QSignalSpy spy(view, &SKTGraphicView::barcodeDoubleClicked);
        doubleClick(view, QPointF(200 + 10, 60));
        QCOMPARE(spy.count(), 0);
        doubleClick(view, QPointF(60, 60));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(view->_Selected_Graphic, barcode);
        barcode->ctrl_is_locked = true;
        doubleClick(view, QPointF(60, 60));
        QCOMPARE(spy.count(), 1);
    }

    void escapePutsADragBack() {
        GraphicPtr g = shape(QRectF(50, 60, 100, 80));
        doc->setGraphics(CardSide::Front, {g});
        press(view, QPointF(60, 70));
        send(view, QEvent::MouseMove, QPointF(90, 100), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCOMPARE(g->bounds().topLeft(), QPointF(80, 90));
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(g->bounds().topLeft(), QPointF(50, 60));
        send(view, QEvent::MouseMove, QPointF(120, 130), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        release(view, QPointF(120, 130));
        QCOMPARE(g->bounds().topLeft(), QPointF(50, 60));
        QVERIFY(!doc->undoManager()->canUndo());
    }

    void droppedPictureFilesBecomePictures() {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("photo.png"));
        QImage(320, 160, QImage::Format_RGB32).save(picture);
        const QString text = dir.filePath(QStringLiteral("notes.txt"));
        writeBytes(text, "not a picture");
        // A picture refused unread is said, with its reason, instead of being left out silently.
        const QString huge = dir.filePath(QStringLiteral("huge.bmp"));
        writeBytes(huge, hostilepictures::bmpDeclaring(60000, 60000));
        // A picture whose file is larger than an item holds: refused with the others, not placed empty.
        const QString bulky = dir.filePath(QStringLiteral("bulky.png"));
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(bulky));
        QVERIFY(QFile::resize(bulky, ItemPicture::MaxBytes + 1)); // sparse
        // Pictures whose data does not decode: a half-loaded file, one damaged byte.
        const QByteArray png = hostilepictures::encoded(QImage(400, 300, QImage::Format_RGB32), "png");
        const QString half = dir.filePath(QStringLiteral("half.png"));
        writeBytes(half, png.left(png.size() / 2));
        const QString hit = dir.filePath(QStringLiteral("hit.png"));
        writeBytes(hit, hostilepictures::damagedPng(png, 20, false));
        RecordingPrompt prompt;
        prompt.answer = false;
        setPromptHandler(&prompt);
        const GraphicList made = view->dropPictureFiles({text, bulky, half, picture, huge, hit}, QPointF(40, 30));
        setPromptHandler(nullptr);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts[0].contains(QStringLiteral("huge.bmp: The picture is too large")));
        QVERIFY(prompt.texts[0].contains(QStringLiteral("bulky.png: ")));
        for (const char* name : {"half.png: ", "hit.png: "})
            QVERIFY(prompt.texts[0].contains(QLatin1String(name) + pictures::undecodableMessage()));
        QCOMPARE(made.size(), 1);
        QCOMPARE(made[0]->kind(), GraphicKind::Image);
        QCOMPARE(made[0]->bounds(), QRectF(40, 30, 160, 80)); // proportions kept
        QCOMPARE(made[0]->_image.size(), QSize(320, 160));
        QCOMPARE(doc->graphics(), made);
        // Dropped: the file that is no picture is named, not left out silently.
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(picture), QUrl::fromLocalFile(text)});
        QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(60, 60), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        prompt.texts.clear();
        setPromptHandler(&prompt);
        QCoreApplication::sendEvent(view, &enter);
        QCoreApplication::sendEvent(view, &drop);
        QTRY_COMPARE(doc->graphics().size(), 2);
        setPromptHandler(nullptr);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts[0].contains(QStringLiteral("notes.txt: ")));
        delete mime;
        Library_Selected_Image.clear();
    }

    // Pictures that cannot be drawn, found without decoding (cut short) or by decoding on the canvas's workers,
    // are said once in one message naming their items, once the pictures asked for are in, and keep their bytes.
    void undrawablePicturesAreSaidOnce() {
        QImage photo(700, 600, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x & 255, y & 255, (x * y) & 255));
        const QByteArray png = hostilepictures::encoded(photo, "png");
        const QByteArray cutBytes = png.left(png.size() / 2);
        auto pictureItem = [](const QByteArray& bytes, const QString& path, const QRectF& r) {
            auto item = std::make_shared<SKTImage>(false);
            item->_image = ItemPicture::fromBytes(bytes);
            item->_file_path = path;
            item->setBounds(r);
            return item;
        };
        const auto cut = pictureItem(cutBytes, QStringLiteral("/photos/half.png"), QRectF(10, 10, 120, 100));
        const auto damaged = pictureItem(hostilepictures::damagedPng(png, 500, true), QStringLiteral("/photos/hit.png"),
                                         QRectF(200, 10, 120, 100));
        // A large picture, still being made while the window runs on.
        const auto large = pictureItem(hostilepictures::encoded(photo.scaled(2800, 2400), "png"),
                                       QStringLiteral("/photos/large.png"), QRectF(350, 10, 120, 100));
        RecordingPrompt prompt;
        setPromptHandler(&prompt);
        doc->setGraphics(CardSide::Front, {large, cut, damaged});
        view->grab();
        QCoreApplication::processEvents();
        if (ProcessedImageCache::hasPending())
            QCOMPARE(prompt.texts.size(), 0);
        for (int paint = 0; paint < 4; ++paint) {
            view->grab();
            ProcessedImageCache::waitForPending();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(prompt.texts.size(), 1);
        setPromptHandler(nullptr);
        QVERIFY2(prompt.texts[0].contains(QStringLiteral("\"half.png\" of an item on the front cannot be drawn")),
                 qPrintable(prompt.texts[0]));
        QVERIFY(prompt.texts[0].contains(QStringLiteral("\"hit.png\" of an item on the front")));
        QCOMPARE(cut->_image.bytes(), cutBytes);
    }

    void zoomMapsMouseToPoints() {
        view->setZoom(2.0);
        QCOMPARE(view->size(), QSize(1008, 720));
        view->setTool(3);
        drag(view, QPointF(100, 100), QPointF(300, 200));
        QCOMPARE(doc->graphics().first()->bounds(), QRectF(50, 50, 100, 50));
    }

    void newDesignForgetsItems() {
        const GraphicList items = placeAndSelect({QRectF(10, 20, 30, 40)});
        view->_Selected_Graphic = items[0];
        doc->setGraphics(CardSide::Front, {});
        QVERIFY(!view->_Selected_Graphic);
        QVERIFY(view->selectedGraphics().isEmpty());
    }
};

QTEST_MAIN(TestGraphicView)
#include "test_graphicview.moc"
