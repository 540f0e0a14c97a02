// The editor window's barcode edit: the designer opens on the current barcode item, OK copies the design
// to the selected barcode items and gives them the new image, and one undo puts everything back.

#include "RecordingPrompt.h"
#include "app/SKTWindowController.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/ui/BarcodeStyleCommand.h"
#include "barcode/ui/Barcode_Gen.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include "app/inspector/InspectorPanel.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {

GraphicPtr barcodeAt(const QRectF& r) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
    g->setBounds(r);
    return g;
}

} // namespace

class TestBarcodeWindow : public QObject {
    Q_OBJECT
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    RecordingPrompt prompt;

private slots:
    void init() {
        Card_Front_Or_Back = 0;
        prompt.answer = false;
        setPromptHandler(&prompt);
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
    }
    void cleanup() {
        delete wnd;
        delete doc;
        setPromptHandler(nullptr);
    }

    void okCopiesToSelectionAndUndoesAsOne() {
        const GraphicPtr a = barcodeAt(QRectF(10, 10, 120, 60));
        const GraphicPtr b = barcodeAt(QRectF(10, 100, 120, 60));
        const GraphicPtr locked = barcodeAt(QRectF(200, 100, 120, 60));
        locked->ctrl_is_locked = true;
        doc->setGraphics(CardSide::Front, {a, b, locked});
        wnd->_graphicView->selectAll();
        wnd->_graphicView->_Selected_Graphic = a;
        const BarcodeItemState beforeA = BarcodeItemState::of(*a);
        const BarcodeItemState beforeB = BarcodeItemState::of(*b);
        const BarcodeItemState beforeLocked = BarcodeItemState::of(*locked);
        const int undoBefore = doc->undoManager()->count();

        Barcode_Gen* d = Barcode_Gen::defaultInstance();
        QTimer::singleShot(0, d, [d] {
            d->dataText->setText(QStringLiteral("CARD-42"));
            d->OK_Btn_Clicked();
        });
        wnd->Open_Barcode_Window();
        QCOMPARE(a->linear_font_val, QStringLiteral("CARD-42"));
        QCOMPARE(b->linear_font_val, QStringLiteral("CARD-42"));
        const BarcodeStyle s = BarcodeStyle::fromItem(*a);
        const QImage expected = generateBarcode(s, s.content(), s.header_val, s.footer_val).image;
        QVERIFY(!expected.isNull());
        QCOMPARE(a->_barcode_image, expected);
        QCOMPARE(b->_barcode_image, expected);
        QVERIFY(BarcodeItemState::of(*locked) == beforeLocked); // locked items keep their design
        QCOMPARE(doc->undoManager()->count(), undoBefore + 1);
        QVERIFY(wnd->Undo_btn->isEnabled());

        wnd->Undo_Clicked();
        QVERIFY(BarcodeItemState::of(*a) == beforeA);
        QVERIFY(BarcodeItemState::of(*b) == beforeB);
    }

    void inspectorButtonOpensTheDesigner() {
        const GraphicPtr a = barcodeAt(QRectF(10, 10, 120, 60));
        doc->setGraphics(CardSide::Front, {a});
        wnd->_graphicView->selectAll();
        wnd->_graphicView->_Selected_Graphic = a;
        wnd->inspector()->ensureItemPages();
        auto* button = wnd->inspector()->findChild<QPushButton*>(QStringLiteral("Edit_Barcode_btn"));
        QVERIFY(button);
        bool shown = false;
        Barcode_Gen* d = Barcode_Gen::defaultInstance();
        QTimer::singleShot(0, d, [d, &shown] {
            shown = d->isVisible();
            d->Cancel_Btn_Clicked();
        });
        button->click();
        QVERIFY(shown);
        QCOMPARE(doc->undoManager()->count(), 0); // Cancel changes nothing
    }

    void lockedOrMissingItemOpensNothing() {
        const GraphicPtr locked = barcodeAt(QRectF(10, 10, 120, 60));
        locked->ctrl_is_locked = true;
        doc->setGraphics(CardSide::Front, {locked});
        wnd->_graphicView->_Selected_Graphic = locked;
        // Would hang in the modal loop if the designer opened.
        wnd->Open_Barcode_Window();
        wnd->_graphicView->_Selected_Graphic.reset();
        wnd->Open_Barcode_Window();
        QCOMPARE(doc->undoManager()->count(), 0);
    }
};

QTEST_MAIN(TestBarcodeWindow)
#include "test_barcode_window.moc"
