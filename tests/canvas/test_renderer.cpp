#include "canvas/Card_Property.h"
#include "canvas/SKTRenderingView.h"
#include "paint_test_util.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace painttest;

namespace {

std::shared_ptr<Shape_Control> filledRect(const QRectF& r, const QColor& colour)
{
    auto s = make<Shape_Control>(r);
    s->_shape_type = QStringLiteral("R");
    s->_isDrawingStroke = false;
    s->_isDrawingFill = true;
    s->_fillColor = colour;
    return s;
}

// A side with every kind, fonts, a hatch fill and an adjusted picture.
GraphicList richSide()
{
    GraphicList items;
    auto text = make<SKTText>(QRectF(20, 20, 300, 80));
    text->_Text_contents = QStringLiteral("You are invited — ようこそ");
    text->text_ctrl_font = QFont(QStringLiteral("Times New Roman"), 24);
    text->Drawing_Shadow = true;
    text->Shadow_blur = 3;
    text->text_rotation = 8;
    text->text_alignmnet = 1;
    items << text;
    auto picture = make<SKTImage>(QRectF(300, 120, 150, 100));
    QImage pixels(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.setPixel(x, y, qRgb(x * 4, y * 5, 128));
    picture->_image = pixels;
    picture->Sepia = true;
    picture->blr_val = 2;
    picture->rotate_image = 15;
    items << picture;
    auto star = make<Shape_Control>(QRectF(40, 150, 120, 120));
    star->_shape_type = QStringLiteral("DS");
    star->double_star_type = 2;
    star->_isDrawingFill = true;
    star->_fill_type = QStringLiteral("H");
    star->_fill_hatch_type = QStringLiteral("Waves");
    star->_stroke_border_type = QStringLiteral("DD");
    items << star;
    auto line = make<SKTLine>(QRectF(20, 300, 460, 20));
    line->_strokeWidth = 3;
    items << line;
    items << make<SKTSignature>(QRectF(200, 250, 120, 50));
    items << make<SKTBarcode>(QRectF(350, 250, 120, 60));
    return items;
}

} // namespace

class TestRenderer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useShippedResources(); }

    void imageSize_data()
    {
        QTest::addColumn<QSizeF>("card");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<int>("dpi");
        QTest::newRow("7 x 5 inch") << QSizeF(504, 360) << 1.0 << QSize(504, 360) << 72;
        QTest::newRow("fractional points round up") << QSizeF(100.5, 50.2) << 1.0 << QSize(101, 51) << 72;
        QTest::newRow("double resolution") << QSizeF(504, 360) << 2.0 << QSize(1008, 720) << 144;
        QTest::newRow("300 dpi") << QSizeF(72, 36) << 300.0 / 72 << QSize(300, 150) << 300;
        // Cards that are no whole number of pixels still cover their last column and row.
        QTest::newRow("85.6 x 54 mm at 300 dpi")
            << QSizeF(85.6 * 72 / 25.4, 54 * 72 / 25.4) << 300.0 / 72 << QSize(1012, 638) << 300;
        QTest::newRow("534.31 pt at 150 dpi") << QSizeF(534.31, 300) << 150.0 / 72 << QSize(1114, 625) << 150;
    }
    void imageSize()
    {
        QFETCH(QSizeF, card);
        QFETCH(qreal, scale);
        QFETCH(QSize, pixels);
        const QImage image = SKTRenderingView::image_From_Card_Graphics({}, false, Card_Property(), 0, card, scale);
        QCOMPARE(image.size(), pixels);
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        QTEST(image.logicalDpiX(), "dpi");
        for (const QPoint at : {QPoint(pixels.width() - 1, 0), QPoint(0, pixels.height() - 1),
                                QPoint(pixels.width() - 1, pixels.height() - 1)})
            QCOMPARE(image.pixel(at), qRgb(255, 255, 255));
    }

    void badSizesGiveNoImage_data()
    {
        QTest::addColumn<QSizeF>("card");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("empty") << QSizeF(0, 100) << 1.0;
        QTest::newRow("negative") << QSizeF(-5, 100) << 1.0;
        QTest::newRow("absurd") << QSizeF(1e7, 100) << 1.0;
        QTest::newRow("zero scale") << QSizeF(100, 100) << 0.0;
        QTest::newRow("nan") << QSizeF(qQNaN(), 100) << 1.0;
    }
    void badSizesGiveNoImage()
    {
        QFETCH(QSizeF, card);
        QFETCH(qreal, scale);
        QVERIFY(SKTRenderingView::image_From_Card_Graphics(richSide(), true, Card_Property(), 0, card, scale).isNull());
    }

    void indexZeroIsOnTop()
    {
        GraphicList items{filledRect(QRectF(10, 10, 60, 60), Qt::red), filledRect(QRectF(40, 40, 60, 60), Qt::blue)};
        const QImage image = SKTRenderingView::image_From_Card_Graphics(items, false, Card_Property(), 0, QSizeF(120, 120));
        QCOMPARE(image.pixel(50, 50), qRgb(255, 0, 0)); // overlap: the front-most item
        QCOMPARE(image.pixel(90, 90), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255)); // the card base under them
        std::swap(items[0], items[1]);
        QCOMPARE(SKTRenderingView::image_From_Card_Graphics(items, false, Card_Property(), 0, QSizeF(120, 120)).pixel(50, 50),
                 qRgb(0, 0, 255));
    }

    void leftOutItems()
    {
        auto noPrint = filledRect(QRectF(10, 10, 30, 30), Qt::red);
        noPrint->print_object = 1;
        auto hidden = filledRect(QRectF(50, 10, 30, 30), Qt::red);
        hidden->ctrl_is_visible = false;
        auto shown = filledRect(QRectF(90, 10, 20, 20), Qt::blue);
        GraphicList items{noPrint, nullptr, hidden, shown};
        const QImage image = SKTRenderingView::image_From_Card_Graphics(items, true, Card_Property(), 0, QSizeF(120, 60));
        QCOMPARE(image.pixel(20, 20), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(60, 20), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(100, 20), qRgb(0, 0, 255));

        // the canvas draws items that are not printed
        QImage screen = canvas(120, 60);
        QPainter p(&screen);
        SKTRenderingView::paintCardSide(p, items, Card_Property(), 0, QRectF(0, 0, 120, 60), QRectF(), false);
        p.end();
        QCOMPARE(screen.pixel(20, 20), qRgb(255, 0, 0));
        QCOMPARE(screen.pixel(60, 20), qRgb(255, 255, 255));
    }

    void shapedCardIsTransparentOutside()
    {
        Card_Property prop;
        prop.Card_fill_clr = Qt::green;
        const QImage image = SKTRenderingView::image_From_Card_Graphics({}, false, prop, 2, QSizeF(200, 100));
        QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
        QCOMPARE(image.pixel(100, 50), qRgb(0, 255, 0));
    }

    void scaledRenderingMatchesLayout()
    {
        const GraphicList items = richSide();
        const QImage one = SKTRenderingView::image_From_Card_Graphics(items, false, Card_Property(), 0, QSizeF(504, 360));
        const QImage two = SKTRenderingView::image_From_Card_Graphics(items, false, Card_Property(), 0, QSizeF(504, 360), 2);
        const QImage down = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // the same picture at twice the resolution: most pixels agree after scaling down
        int differ = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                differ += !near(one.pixel(x, y), down.pixel(x, y), 40);
        QVERIFY2(differ < one.width() * one.height() / 50, qPrintable(QString::number(differ)));
    }

    void workerThreadsRenderTheSamePicture()
    {
        const GraphicList items = richSide();
        Card_Property prop;
        prop.Card_fill_style = QStringLiteral("H");
        prop.Card_hatch_style = QStringLiteral("Bricks");
        prop.Card_hatch_bk_clr = QColor(250, 240, 220);
        const QImage reference = SKTRenderingView::image_From_Card_Graphics(items, false, prop, 1, QSizeF(504, 360));
        QVERIFY(!reference.isNull());
        std::atomic<int> mismatches{0};
        std::vector<std::thread> workers;
        for (int t = 0; t < 4; ++t)
            workers.emplace_back([&] {
                for (int i = 0; i < 5; ++i)
                    if (SKTRenderingView::image_From_Card_Graphics(items, false, prop, 1, QSizeF(504, 360)) != reference)
                        ++mismatches;
            });
        // the GUI thread keeps rendering and processing events meanwhile
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(SKTRenderingView::image_From_Card_Graphics(items, false, prop, 1, QSizeF(504, 360)), reference);
            QCoreApplication::processEvents();
        }
        for (auto& w : workers)
            w.join();
        QCOMPARE(mismatches.load(), 0);
    }
};

QTEST_MAIN(TestRenderer)
#include "test_renderer.moc"
