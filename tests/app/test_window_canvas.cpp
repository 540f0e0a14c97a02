// The canvas inside the real main window at a laptop's size: barcodes are drawn where their items are, at
// every zoom (and, run with QT_SCALE_FACTOR=2, on a high-density screen), the same as the exported card;
// a move repaints the old place and the new one; items are cut at the card's edge as outputs cut them.

#include "RecordingPrompt.h"
#include "TestPictures.h"
#include "app/SKTWindowController.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "canvas/SKTDocument.h"
#include "canvas/ui/SKTGraphicView.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QStatusBar>

#include <QPainter>
#include <QTest>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace {

GraphicPtr barcode(int mode, int index, const QString& value, QPointF at) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
    g->linear_or_2d = mode;
    g->barcode_font_index = index;
    (mode == 0 ? g->linear_font_val : g->two_d_font_val) = value;
    g->setBounds(QRectF(at, QSizeF(10, 10)));
    BarcodeItemDrawing::setUpNewItem(*g);
    return g;
}

QString decode(const QImage& image) {
    QImage padded =
        filledImage(QSize(image.width() + 60, image.height() + 60), Qt::white, QImage::Format_Grayscale8);
    QPainter(&padded).drawImage(30, 30, image.convertToFormat(QImage::Format_Grayscale8));
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    const ZXing::ImageView view(padded.constBits(), padded.width(), padded.height(), ZXing::ImageFormat::Lum,
                                int(padded.bytesPerLine()));
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    return r.isValid() ? QString::fromStdString(r.text()) : QStringLiteral("<no decode>");
}

int darkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 100;
    return n;
}

} // namespace

class TestWindowCanvas : public QObject {
    Q_OBJECT
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    RecordingPrompt prompt;
    GraphicList items;
    QStringList values;

    // What the window shows on the screen, in device pixels: its backing store, where only repainted areas
    // change.
    QImage grabWindow() {
        QCoreApplication::processEvents();
        QTest::qWait(20);
        // The offscreen screen gives its backing store only at one device pixel per pixel; a high-density
        // window is rendered instead, through the same painting of its widgets inside it.
        QPixmap shot = wnd->devicePixelRatioF() == 1 ? wnd->screen()->grabWindow(wnd->winId()) : QPixmap();
        if (shot.isNull())
            shot = wnd->grab();
        QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(1); // pixels as they are
        return image;
    }
    // Where a rectangle of the card (points) lies in the window's picture: the card's pixels at the view's
    // scale, moved by the view's place in the window.
    QRect onWindow(const QRectF& r) const {
        SKTGraphicView* view = wnd->currentGraphicView();
        const qreal dpr = wnd->devicePixelRatioF();
        const qreal scale = view->zoom() * dpr;
        const QPoint offset = view->mapTo(wnd, QPoint(0, 0)) * dpr;
        return QRectF(r.topLeft() * scale, r.size() * scale).toAlignedRect().translated(offset);
    }

private slots:
    void init() {
        Card_Front_Or_Back = 0;
        prompt.answer = false;
        setPromptHandler(&prompt);
        BarcodeItemDrawing::install();
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        wnd->resize(1366, 768);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
        using namespace BarcodeSymbologies;
        items = {barcode(0, Code128, "NAVU-2026-0042", {0, 0}), barcode(1, QRCode, "https://example.com/42", {330, 20}),
                 barcode(0, EAN13, "400638133393", {40, 200}), barcode(1, DataMatrix, "CARD 42", {300, 230})};
        values = {"NAVU-2026-0042", "https://example.com/42", "4006381333931", "CARD 42"};
        doc->setGraphics(CardSide::Front, items);
        wnd->Refresh_Canvas();
    }
    void cleanup() {
        delete wnd;
        delete doc;
        setPromptHandler(nullptr);
    }

    // Each barcode decodes from the window where its item is, and the canvas shows what the export draws
    // at the same scale.
    void barcodesWhereTheirItemsAre_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("150 %") << 1.5;
        QTest::newRow("200 %") << 2.0;
        QTest::newRow("75 %") << 0.75;
    }
    void barcodesWhereTheirItemsAre() {
        QFETCH(double, zoom);
        wnd->setZoom(zoom);
        SKTGraphicView* view = wnd->currentGraphicView();
        const QImage shot = grabWindow();
        QVERIFY(view->mapTo(wnd, QPoint(0, 0)) != QPoint(0, 0));
        const qreal scale = view->zoom() * wnd->devicePixelRatioF();
        const QImage exported = SKTRenderingView::image_From_Card_Graphics(
            items, false, wnd->Front_card_Prop, Card_Shape, doc->canvasSize(), scale);
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QRectF bounds = items[i]->bounds();
            const QRect inWindow = onWindow(bounds);
            const QRect inExport = QRectF(bounds.topLeft() * scale, bounds.size() * scale).toAlignedRect();
            // Every symbol the export gives readably reads from the window too.
            if (decode(exported.copy(inExport)) == values[i])
                QCOMPARE(decode(shot.copy(inWindow)), values[i]);
            else
                QVERIFY(scale < 1 || i == 3); // small symbols; Data Matrix at some scales
            // The same drawing, give or take the rounding of the item's place to a whole pixel.
            int differing = INT_MAX;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int n = 0;
                    for (int y = 1; y < inExport.height() - 1; ++y)
                        for (int x = 1; x < inExport.width() - 1; ++x)
                            n += qAbs(qGray(shot.pixel(inWindow.x() + x + dx, inWindow.y() + y + dy)) -
                                      qGray(exported.pixel(inExport.x() + x, inExport.y() + y))) > 128;
                    differing = std::min(differing, n);
                }
            QVERIFY2(differing <= inExport.width() * inExport.height() / 33,
                     qPrintable(QStringLiteral("%1: %2 pixels differ").arg(values[i]).arg(differing)));
        }
    }

    // A moved barcode leaves nothing at its old place and decodes at its new one.
    void moveRepaintsBothPlaces() {
        SKTGraphicView* view = wnd->currentGraphicView();
        grabWindow();
        const GraphicPtr moved = items[1];
        const QRectF before = moved->bounds();
        view->selectGraphic(moved);
        view->moveSelectionBy(QPointF(-250, 150));
        const QImage shot = grabWindow();
        QCOMPARE(darkPixels(shot.copy(onWindow(before))), 0);
        QCOMPARE(decode(shot.copy(onWindow(moved->bounds()))), values[1]);
    }

    // An item reaching beyond an elliptical card is cut at its edge on the canvas, as in the export; after a
    // card size change the status line says how many items lie outside the card.
    void itemsCutAtTheCardsEdge() {
        GraphicPtr box = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
        box->_shape_type = QStringLiteral("R");
        box->setBounds(QRectF(-40, -40, 140, 120));
        box->_isDrawingFill = true;
        box->_fillColor = Qt::red;
        doc->setGraphics(CardSide::Front, {box});
        const int shape = Card_Shape;
        Card_Shape = 2;
        wnd->setZoom(1.0);
        wnd->Refresh_Canvas();
        const QImage shot = grabWindow();
        const QRect corner = onWindow(QRectF(2, 2, 4, 4));
        const QColor c = shot.pixelColor(corner.center());
        const QImage exported = SKTRenderingView::image_From_Card_Graphics(
            {box}, false, wnd->Front_card_Prop, Card_Shape, doc->canvasSize(), 1.0);
        Card_Shape = shape;
        QVERIFY2(!(c.red() > 200 && c.green() < 80), qPrintable(c.name()));
        QCOMPARE(qAlpha(exported.pixel(4, 4)), 0);
        QVERIFY(shot.pixelColor(onWindow(QRectF(90, 70, 4, 4)).center()).red() > 200); // inside: drawn

        QVERIFY(wnd->statusBar()->currentMessage().isEmpty() ||
                !wnd->statusBar()->currentMessage().contains("outside"));
        wnd->SetDocumentCanvasSize(QSizeF(300, 200));
        QCOMPARE(wnd->statusBar()->currentMessage(), QStringLiteral("1 item lies wholly or partly outside the card."));
    }
};

QTEST_MAIN(TestWindowCanvas)
#include "test_window_canvas.moc"
