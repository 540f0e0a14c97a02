#include "TestPictures.h"
#include "common/HostilePictures.h"
#include "canvas/CardBase.h"
#include "canvas/Card_Property.h"
#include "canvas/ItemPainting.h"
#include "canvas/PaintHelpers.h"
#include "canvas/ResourceImages.h"
#include "imaging/ProcessedImageCache.h"
#include "paint_test_util.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QThreadPool>
#include <QtTest>

#include <optional>

using namespace painttest;

namespace {

const QRectF Box(10, 10, 100, 100);

QImage twoColourPicture(bool sideBySide)
{
    QImage picture(sideBySide ? 2 : 1, sideBySide ? 1 : 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(sideBySide ? 1 : 0, sideBySide ? 0 : 1, qRgb(0, 0, 255));
    return picture;
}

// Items named by a short spec: "shape:R", "shape:DS:3", "line:2", "text", "image", "image:none",
// "sign:S", "sign:F", "sign:picture", "barcode", "barcode:none".
GraphicPtr makeItem(const QString& spec)
{
    const QStringList parts = spec.split(QLatin1Char(':'));
    const QString kind = parts.value(0);
    if (kind == QLatin1String("shape")) {
        auto s = make<Shape_Control>(Box);
        s->_shape_type = parts.value(1);
        s->double_star_type = s->polygon_type = parts.value(2).toInt();
        return s;
    }
    if (kind == QLatin1String("line")) {
        auto l = make<SKTLine>(Box);
        l->_line_ori = parts.value(1).toInt();
        return l;
    }
    if (kind == QLatin1String("text")) {
        auto t = make<SKTText>(Box);
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("Hello card");
        return t;
    }
    if (kind == QLatin1String("image")) {
        auto i = make<SKTImage>(Box);
        i->_isDrawingStroke = false;
        if (parts.value(1) != QLatin1String("none"))
            i->_image = twoColourPicture(true);
        return i;
    }
    if (kind == QLatin1String("sign")) {
        auto s = make<SKTSignature>(Box);
        s->_isDrawingStroke = false;
        if (parts.value(1) == QLatin1String("picture"))
            s->_image = twoColourPicture(false);
        else
            s->sign_or_fingureprint = parts.value(1);
        return s;
    }
    auto b = make<SKTBarcode>(Box);
    b->_isDrawingStroke = false;
    if (parts.value(1) != QLatin1String("none"))
        b->_barcode_image = twoColourPicture(true);
    return b;
}

QImage render(const GraphicPtr& item) { return drawn(*item, 120, 120); }

bool isInk(QRgb p) { return qAlpha(p) > 40; }

// Ink changes along row y of the picture between x0 and x1.
int transitions(const QImage& image, int y, int x0, int x1)
{
    int n = 0;
    bool last = isInk(image.pixel(x0, y));
    for (int x = x0 + 1; x <= x1; ++x) {
        const bool now = isInk(image.pixel(x, y));
        n += now != last ? 1 : 0;
        last = now;
    }
    return n;
}

} // namespace

class TestPainting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useShippedResources(); }

    void everyKindDrawsInsideItsBounds_data()
    {
        QTest::addColumn<QString>("spec");
        for (const char* code : {"R", "C", "RR", "T", "D", "S"})
            QTest::newRow(code) << QStringLiteral("shape:%1").arg(QLatin1String(code));
        for (int v = 0; v < 5; ++v) {
            QTest::addRow("DS %d", v) << QStringLiteral("shape:DS:%1").arg(v);
            QTest::addRow("P %d", v) << QStringLiteral("shape:P:%1").arg(v);
        }
        for (int o = 0; o < 4; ++o)
            QTest::addRow("line %d", o) << QStringLiteral("line:%1").arg(o);
        for (const char* s : {"text", "image", "image:none", "sign:S", "sign:F", "sign:picture", "barcode",
                              "barcode:none"})
            QTest::newRow(s) << QString::fromLatin1(s);
    }
    void everyKindDrawsInsideItsBounds()
    {
        QFETCH(QString, spec);
        GraphicPtr item = makeItem(spec);
        const QRect ink = inkBox(render(item));
        QVERIFY2(!ink.isNull(), "nothing drawn");
        QVERIFY2(QRectF(Box).adjusted(-2, -2, 2, 2).contains(QRectF(ink)), qPrintable(spec));
        QVERIFY(ItemPainting::paintedBounds(*item).contains(QRectF(ink)));

        item->ctrl_is_visible = false;
        QVERIFY(inkBox(render(item)).isNull());
    }

    void paintedBoundsHoldTheDrawing_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<int>("variant");
        QTest::newRow("thick star") << "shape:S" << 0;
        QTest::newRow("thick double star") << "shape:DS:4" << 0;
        QTest::newRow("thick triangle") << "shape:T" << 0;
        QTest::newRow("square-capped diagonal") << "line:2" << 0;
        QTest::newRow("square-capped horizontal") << "line:0" << 0;
        QTest::newRow("turned text with shadow") << "text" << 0;
        QTest::newRow("turned text, box and shadow up left") << "text" << 1;
    }
    void paintedBoundsHoldTheDrawing()
    {
        QFETCH(QString, spec);
        QFETCH(int, variant);
        GraphicPtr item = makeItem(spec);
        item->setBounds(QRectF(60, 70, 80, 60));
        item->_strokeWidth = 12;
        item->_line_cap_style = 2;
        item->text_rotation = 35;
        item->Drawing_Shadow = true;
        item->Shadow_blur = 5;
        item->Shadow_transparency = 1;
        item->Shadow_offset_X = variant ? -15 : 15;
        item->Shadow_offset_Y = variant ? -20 : 20;
        item->_isDrawingStroke = variant == 1 || item->kind() != GraphicKind::Text;
        item->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 30);
        item->_Text_contents = QStringLiteral("WWWW WWWW WWWW");
        const QRect ink = inkBox(drawn(*item, 200, 200));
        QVERIFY(!ink.isNull());
        const QRectF painted = ItemPainting::paintedBounds(*item);
        QVERIFY2(painted.contains(QRectF(ink)), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        QCOMPARE(item->drawingBounds(), painted); // what the canvas invalidates and culls by
    }

    void placeholdersDiffer()
    {
        const QImage sign = render(makeItem(QStringLiteral("sign:S")));
        const QImage finger = render(makeItem(QStringLiteral("sign:F")));
        const QImage none = render(makeItem(QStringLiteral("image:none")));
        const QImage barcode = render(makeItem(QStringLiteral("barcode:none")));
        QVERIFY(sign != finger);
        QVERIFY(none != barcode);
        QVERIFY(!ResourceImages::placeholder(QStringLiteral("no.png")).isNull());
        QVERIFY(ResourceImages::placeholder(QStringLiteral("../no.png")).isNull());
        QVERIFY(ResourceImages::hatch(QStringLiteral("../../etc/passwd")).isNull());
    }

    // A picture that cannot be drawn shows the empty picture and asks once to be said.
    void undrawablePicturesDrawTheEmptyPicture()
    {
        const QByteArray png = hostilepictures::encoded(twoColourPicture(true).scaled(40, 20), "png");
        auto item = std::static_pointer_cast<SKTImage>(makeItem(QStringLiteral("image")));
        item->_image = ItemPicture::fromBytes(png.left(png.size() - 20));
        int asked = 0;
        ItemPicture::setFailureNotifier([&asked] { ++asked; });
        QCOMPARE(render(item), render(makeItem(QStringLiteral("image:none"))));
        QCOMPARE(asked, 1);
        QCOMPARE(undrawablePictureLines({item}, QStringLiteral("back")).size(), 1);
        render(item);
        QCOMPARE(asked, 1); // said: no more asking
        QVERIFY(undrawablePictureLines({item}, QStringLiteral("back")).isEmpty());
        ItemPicture::setFailureNotifier({});
    }

    void missingResourcesDrawNothingAndDoNotFail()
    {
        Resource_Path = QStringLiteral("/nonexistent/navu");
        const QRect ink = inkBox(render(makeItem(QStringLiteral("image:none"))));
        useShippedResources();
        QVERIFY(ink.isNull());
    }

    void shapeGeometry_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("rectangle corner") << "R" << QPoint(12, 12) << QPoint(8, 60);
        QTest::newRow("ellipse") << "C" << QPoint(60, 12) << QPoint(14, 14);
        QTest::newRow("rounded") << "RR" << QPoint(60, 12) << QPoint(12, 12);
        QTest::newRow("triangle") << "T" << QPoint(14, 106) << QPoint(14, 14);
        QTest::newRow("triangle apex") << "T" << QPoint(60, 14) << QPoint(105, 40);
        QTest::newRow("diamond") << "D" << QPoint(14, 60) << QPoint(20, 20);
        QTest::newRow("star") << "S" << QPoint(60, 60) << QPoint(60, 100);
        QTest::newRow("star point") << "S" << QPoint(60, 14) << QPoint(30, 30);
        QTest::newRow("polygon") << "P" << QPoint(60, 60) << QPoint(14, 14);
    }
    void shapeGeometry()
    {
        QFETCH(QString, code);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        auto s = make<Shape_Control>(Box);
        s->_shape_type = code;
        s->cor_rad_val = 30;
        s->_isDrawingStroke = false;
        s->_isDrawingFill = true;
        s->_fillColor = Qt::red;
        const QImage image = render(s);
        QCOMPARE(image.pixel(inside), qRgb(255, 0, 0));
        QCOMPARE(qAlpha(image.pixel(outside)), 0);
    }

    void variantsAreDistinctAndClamped_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("double star") << "DS";
        QTest::newRow("polygon") << "P";
    }
    void variantsAreDistinctAndClamped()
    {
        QFETCH(QString, code);
        QList<QImage> images;
        for (int v = 1; v <= 5; ++v)
            images << render(makeItem(QStringLiteral("shape:%1:%2").arg(code).arg(v)));
        for (int a = 0; a < 5; ++a)
            for (int b = a + 1; b < 5; ++b)
                QVERIFY2(images[a] != images[b], qPrintable(QStringLiteral("%1 and %2").arg(a).arg(b)));
        QCOMPARE(render(makeItem(QStringLiteral("shape:%1:9").arg(code))), images[4]);
        QCOMPARE(render(makeItem(QStringLiteral("shape:%1:-3").arg(code))), images[0]);
        // a 0 stored by early builds draws as variant 1
        QCOMPARE(render(makeItem(QStringLiteral("shape:%1:0").arg(code))), images[0]);
        QCOMPARE(PaintHelpers::polygonSides(1), 5);
        QCOMPARE(PaintHelpers::polygonSides(5), 9);
        QCOMPARE(PaintHelpers::doubleStarPoints(5), 12);
    }

    void dashCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("minChanges");
        QTest::addColumn<int>("maxChanges");
        QTest::newRow("solid") << "S" << 0 << 0;
        QTest::newRow("unknown is solid") << "XX" << 0 << 0;
        QTest::newRow("dash") << "DA" << 20 << 40;       // period 6 widths = 12 px over 180 px
        QTest::newRow("dot") << "DO" << 50 << 70;        // period 3 widths = 6 px
        QTest::newRow("dash dot") << "DD" << 30 << 50;    // period 9 widths, two marks
        QTest::newRow("dash dot dot") << "DDD" << 35 << 55; // period 12 widths, three marks
    }
    void dashCodes()
    {
        QFETCH(QString, code);
        QFETCH(int, minChanges);
        QFETCH(int, maxChanges);
        auto l = make<SKTLine>(QRectF(10, 40, 180, 20));
        l->_strokeWidth = 2;
        l->_stroke_border_type = code;
        const QImage image = drawn(*l, 200, 100);
        const int n = transitions(image, 50, 10, 189);
        QVERIFY2(n >= minChanges && n <= maxChanges, qPrintable(QString::number(n)));
        // the pattern scales with the width
        if (n > 0) {
            l->_strokeWidth = 4;
            QVERIFY(transitions(drawn(*l, 200, 100), 50, 10, 189) < n);
        }
    }

    void lineOrientation_data()
    {
        QTest::addColumn<int>("ori");
        QTest::addColumn<QPoint>("on");
        QTest::addColumn<QPoint>("off");
        QTest::newRow("horizontal") << 0 << QPoint(20, 60) << QPoint(60, 20);
        QTest::newRow("vertical") << 1 << QPoint(60, 20) << QPoint(20, 60);
        QTest::newRow("diagonal down") << 2 << QPoint(20, 20) << QPoint(100, 20);
        QTest::newRow("diagonal up") << 3 << QPoint(100, 20) << QPoint(20, 20);
    }
    void lineOrientation()
    {
        QFETCH(int, ori);
        QFETCH(QPoint, on);
        QFETCH(QPoint, off);
        auto l = make<SKTLine>(Box);
        l->_line_ori = ori;
        l->_strokeWidth = 3;
        const QImage image = render(l);
        QVERIFY(isInk(image.pixel(on)));
        QVERIFY(!isInk(image.pixel(off)));
    }

    void lineCaps_data()
    {
        QTest::addColumn<int>("cap");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("squareCorner");
        QTest::newRow("flat") << 0 << 50 << 149 << true;
        QTest::newRow("round") << 1 << 45 << 154 << false;
        QTest::newRow("square") << 2 << 45 << 154 << true;
    }
    void lineCaps()
    {
        QFETCH(int, cap);
        QFETCH(int, left);
        QFETCH(int, right);
        auto l = make<SKTLine>(QRectF(50, 40, 100, 20));
        l->_strokeWidth = 10;
        l->_line_cap_style = cap;
        l->alpha_val_stroke = 0.25f;
        const QImage image = drawn(*l, 200, 100);
        const QRect ink = inkBox(image, [](QRgb p) { return qAlpha(p) > 0; });
        QCOMPARE(ink.left(), left);
        QCOMPARE(ink.right(), right);
        QTEST(isInk(image.pixel(left, 46)) || qAlpha(image.pixel(left, 46)) > 50, "squareCorner");
        QVERIFY(std::abs(qAlpha(image.pixel(100, 50)) - 64) <= 1); // stroke alpha
    }

    void fills_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("angle");
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QRgb>("colourA");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<QRgb>("colourB");
        QTest::newRow("solid") << "S" << 0.0 << QPoint(12, 12) << qRgb(0, 128, 0) << QPoint(108, 108) << qRgb(0, 128, 0);
        QTest::newRow("gradient 0 runs left to right") << "G" << 0.0 << QPoint(10, 60) << qRgb(255, 0, 0) << QPoint(109, 60) << qRgb(0, 0, 255);
        QTest::newRow("gradient 90 runs top to bottom") << "G" << 90.0 << QPoint(60, 10) << qRgb(255, 0, 0) << QPoint(60, 109) << qRgb(0, 0, 255);
        QTest::newRow("gradient 180 runs right to left") << "G" << 180.0 << QPoint(109, 60) << qRgb(255, 0, 0) << QPoint(10, 60) << qRgb(0, 0, 255);
    }
    void fills()
    {
        QFETCH(QString, type);
        QFETCH(double, angle);
        QFETCH(QPoint, a);
        QFETCH(QRgb, colourA);
        QFETCH(QPoint, b);
        QFETCH(QRgb, colourB);
        auto s = make<Shape_Control>(Box);
        s->_shape_type = QStringLiteral("R");
        s->_isDrawingStroke = false;
        s->_isDrawingFill = true;
        s->_fill_type = type;
        s->_fillColor = QColor(0, 128, 0);
        s->_fill_Grad_clr1 = Qt::red;
        s->_fill_Grad_clr2 = Qt::blue;
        s->_fill_grad_angle = angle;
        const QImage image = render(s);
        QVERIFY2(near(image.pixel(a), colourA, 8), qPrintable(QString::number(image.pixel(a), 16)));
        QVERIFY2(near(image.pixel(b), colourB, 8), qPrintable(QString::number(image.pixel(b), 16)));
    }

    void hatchFillShowsBackgroundAndPattern()
    {
        auto s = make<Shape_Control>(Box);
        s->_shape_type = QStringLiteral("R");
        s->_isDrawingStroke = false;
        s->_isDrawingFill = true;
        s->_fill_type = QStringLiteral("H");
        s->_fill_htch_clr = Qt::yellow;
        s->_fill_hatch_type = QStringLiteral("Grid");
        const QImage image = render(s);
        const int yellow = countPixels(image, [](QRgb p) { return p == qRgb(255, 255, 0); });
        const int dark = countPixels(image, [](QRgb p) { return qAlpha(p) == 255 && qRed(p) < 120; });
        QVERIFY(yellow > 3000);
        QVERIFY(dark > 500);
        QCOMPARE(qAlpha(image.pixel(5, 5)), 0);

        s->_fill_hatch_type = QStringLiteral("No such pattern");
        const QImage plain = render(s);
        QCOMPARE(countPixels(plain, [](QRgb p) { return p == qRgb(255, 255, 0); }), 100 * 100);
    }

    void fillAndStrokeAlpha()
    {
        auto s = make<Shape_Control>(Box);
        s->_shape_type = QStringLiteral("R");
        s->_isDrawingFill = true;
        s->_fillColor = Qt::black;
        s->alpha_val = 0.5f;
        s->_strokeWidth = 4;
        s->_strokeColor = Qt::black;
        s->alpha_val_stroke = 1.0f;
        const QImage image = render(s);
        QVERIFY(std::abs(qAlpha(image.pixel(60, 60)) - 128) <= 1);
        QCOMPARE(qAlpha(image.pixel(10, 60)), 255);
        QCOMPARE(qAlpha(image.pixel(8, 60)), 255); // the stroke is centred on the outline
        QCOMPARE(qAlpha(image.pixel(7, 60)), 0);
        s->_isDrawingStroke = false;
        QCOMPARE(qAlpha(render(s).pixel(8, 60)), 0);
    }

    // --- text ---

    void textAlignment_data()
    {
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<int>("expectLeft");  // -1: don't check
        QTest::addColumn<int>("expectRight");
        QTest::addColumn<int>("expectTop");
        QTest::addColumn<int>("expectBottom");
        QTest::newRow("left top") << 0 << 0 << 10 << -1 << 10 << -1;
        QTest::newRow("right bottom") << 2 << 2 << -1 << 190 << -1 << 150;
        QTest::newRow("centre middle") << 1 << 1 << -2 << -2 << -2 << -2;
        QTest::newRow("no selection is left") << -1 << 0 << 10 << -1 << 10 << -1;
    }
    void textAlignment()
    {
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(int, expectLeft);
        QFETCH(int, expectRight);
        QFETCH(int, expectTop);
        QFETCH(int, expectBottom);
        auto t = make<SKTText>(QRectF(10, 10, 180, 140));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("HH");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 30);
        t->text_alignmnet = horizontal;
        t->text_alignmnet_Vert = vertical;
        const QRect ink = inkBox(drawn(*t, 200, 160));
        QVERIFY(!ink.isNull());
        if (expectLeft >= 0)
            QVERIFY2(std::abs(ink.left() - expectLeft) <= 6, qPrintable(QString::number(ink.left())));
        if (expectRight >= 0)
            QVERIFY2(std::abs(ink.right() - expectRight) <= 6, qPrintable(QString::number(ink.right())));
        if (expectTop >= 0)
            QVERIFY2(std::abs(ink.top() - expectTop) <= 12, qPrintable(QString::number(ink.top())));
        if (expectBottom >= 0)
            QVERIFY2(std::abs(ink.bottom() - expectBottom) <= 12, qPrintable(QString::number(ink.bottom())));
        if (expectLeft == -2) {
            QVERIFY(std::abs(ink.center().x() - 100) <= 3);
            QVERIFY(std::abs(ink.center().y() - 80) <= 6);
        }
    }

    void fontPointsMapToPixelsAt72Dpi()
    {
        auto t = make<SKTText>(QRectF(0, 0, 300, 100));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("H");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 50);
        // DejaVu Sans capital height is 0.729 em
        const int h72 = inkBox(drawn(*t, 300, 100)).height();
        QVERIFY2(std::abs(h72 - 36) <= 2, qPrintable(QString::number(h72)));
        // the same on a 300 dpi picture drawn at 300/72 scale
        QImage hi(1250, 417, QImage::Format_ARGB32_Premultiplied);
        hi.setDotsPerMeterX(11811);
        hi.setDotsPerMeterY(11811);
        hi.fill(Qt::transparent);
        QPainter p(&hi);
        p.scale(300.0 / 72, 300.0 / 72);
        t->draw(p);
        p.end();
        QVERIFY(std::abs(inkBox(hi).height() / (300.0 / 72) - h72) <= 2);
    }

    void justifiedFillsTheLine()
    {
        auto t = make<SKTText>(QRectF(10, 10, 180, 140));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("aa bb cc dd ee ff gg hh ii jj kk ll mm nn");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 14);
        const int leftRight = inkBox(drawn(*t, 200, 160).copy(0, 10, 200, 12)).right();
        t->text_alignmnet = 3;
        const int justRight = inkBox(drawn(*t, 200, 160).copy(0, 10, 200, 12)).right();
        QVERIFY2(justRight > leftRight && justRight >= 186, qPrintable(QStringLiteral("%1 %2").arg(leftRight).arg(justRight)));
    }

    void displayText_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("as typed") << 0 << "hello wORLD" << "hello wORLD";
        QTest::newRow("upper") << 1 << "hello wORLD" << "HELLO WORLD";
        QTest::newRow("lower") << 2 << "hello wORLD" << "hello world";
        QTest::newRow("capitalised") << 3 << "hello wORLD-wide o'neil 2nd" << "Hello World-Wide O'neil 2nd";
        QTest::newRow("limit") << 0 << QString(300, QLatin1Char('x')) << QString(250, QLatin1Char('x'));
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
        QTest::newRow("limit keeps pairs whole") << 0 << QString(249, QLatin1Char('x')) + emoji + QStringLiteral("yy") << QString(249, QLatin1Char('x'));
    }
    void displayText()
    {
        QFETCH(int, mode);
        QFETCH(QString, in);
        SKTText t;
        t._Text_contents = in;
        t.text_transfrom_case = mode;
        QTEST(ItemPainting::displayText(t), "out");
    }

    void kerningSpreadsLetters()
    {
        auto t = make<SKTText>(QRectF(0, 0, 400, 60));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("IIIII");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 20);
        const int plain = inkBox(drawn(*t, 400, 60)).width();
        t->text_kerning = 10;
        const int spaced = inkBox(drawn(*t, 400, 60)).width();
        QVERIFY2(std::abs(spaced - plain - 40) <= 2, qPrintable(QStringLiteral("%1 %2").arg(plain).arg(spaced)));
    }

    void rotationTurnsAboutTheCentre()
    {
        auto t = make<SKTText>(QRectF(50, 90, 100, 20));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("WWWWWWW");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 14);
        t->text_alignmnet = 1;
        t->text_alignmnet_Vert = 1;
        const QRect flat = inkBox(drawn(*t));
        t->text_rotation = 90;
        const QRect turned = inkBox(drawn(*t));
        QVERIFY(flat.width() > flat.height());
        QVERIFY(turned.height() > turned.width());
        QVERIFY((turned.center() - flat.center()).manhattanLength() <= 4);
    }

    void shadowIsOffsetAndBlurred()
    {
        auto t = make<SKTText>(QRectF(20, 20, 160, 60));
        t->_isDrawingStroke = false;
        t->_Text_contents = QStringLiteral("Shadow");
        t->text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 28);
        t->txt_clr = Qt::black;
        t->Drawing_Shadow = true;
        t->Shadow_Color = Qt::red;
        t->Shadow_offset_X = 6;
        t->Shadow_offset_Y = 4;
        t->Shadow_blur = 0;
        t->Shadow_transparency = 1.0f;
        const QImage sharp = drawn(*t);
        auto isRed = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 50 && qAlpha(p) > 200; };
        auto isBlack = [](QRgb p) { return qAlpha(p) > 200 && qRed(p) < 50; };
        const QRect red = inkBox(sharp, isRed);
        const QRect black = inkBox(sharp, isBlack);
        QVERIFY(!red.isNull() && !black.isNull());
        QVERIFY(std::abs(red.right() - black.right() - 6) <= 1);
        QVERIFY(std::abs(red.bottom() - black.bottom() - 4) <= 1);

        t->Shadow_blur = 6;
        t->Shadow_transparency = 0.5f;
        const QImage soft = drawn(*t);
        QCOMPARE(countPixels(soft, isRed), 0); // half transparent: no full red left
        const int faint = countPixels(soft, [](QRgb p) { return qAlpha(p) > 0 && qAlpha(p) < 100 && qRed(p) > qBlue(p); });
        QVERIFY(faint > countPixels(sharp, [](QRgb p) { return qAlpha(p) > 0 && qAlpha(p) < 100 && qRed(p) > qBlue(p); }));
    }

    void textBoxFillAndStroke()
    {
        auto t = make<SKTText>(Box);
        t->_Text_contents = QStringLiteral("x");
        t->_isDrawingFill = true;
        t->_fillColor = Qt::green;
        t->_isDrawingStroke = true;
        t->_strokeColor = Qt::blue;
        t->_strokeWidth = 2;
        const QImage image = render(t);
        QCOMPARE(image.pixel(100, 100), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(10, 60), qRgb(0, 0, 255));
    }

    // --- pictures ---

    void pictureFlips_data()
    {
        QTest::addColumn<bool>("sideBySide");
        QTest::addColumn<bool>("flipH");
        QTest::addColumn<bool>("flipV");
        QTest::addColumn<QRgb>("first"); // left or top
        QTest::newRow("plain") << true << false << false << qRgb(255, 0, 0);
        QTest::newRow("flip horizontally") << true << true << false << qRgb(0, 0, 255);
        QTest::newRow("flip vertically keeps left") << true << false << true << qRgb(255, 0, 0);
        QTest::newRow("flip vertically") << false << false << true << qRgb(0, 0, 255);
    }
    void pictureFlips()
    {
        QFETCH(bool, sideBySide);
        QFETCH(bool, flipH);
        QFETCH(bool, flipV);
        auto i = make<SKTImage>(Box);
        i->_isDrawingStroke = false;
        i->_image = twoColourPicture(sideBySide);
        i->_isFlippedHorizontally = flipH;
        i->_isFlippedVertically = flipV;
        const QImage image = render(i);
        QTEST(image.pixel(sideBySide ? QPoint(15, 60) : QPoint(60, 15)), "first");
    }

    // Pictures of every pixel format are drawn alike on the canvas (scaled down, on a worker) and on an export.
    void pictureFormatsDrawAlikeAtEveryScale_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<qreal>("scale");
        for (qreal scale : {0.05, 1.0, 3.0}) {
            const QByteArray at = QByteArray::number(scale);
            QTest::newRow("1-bit palette " + at) << int(QImage::Format_Mono) << scale;
            QTest::newRow("8-bit palette " + at) << int(QImage::Format_Indexed8) << scale;
            QTest::newRow("16-bit " + at) << int(QImage::Format_RGBA64) << scale;
        }
    }
    void pictureFormatsDrawAlikeAtEveryScale()
    {
        QFETCH(int, format);
        QFETCH(qreal, scale);
        // Left half red, right half white.
        QImage pixels(2000, 1000, format == QImage::Format_RGBA64 ? QImage::Format_RGBA64 : QImage::Format(format));
        if (format == QImage::Format_RGBA64) {
            pixels.fill(Qt::white);
        } else {
            pixels.setColorTable({qRgb(200, 0, 0), qRgb(255, 255, 255)});
            pixels.fill(1);
        }
        for (int y = 0; y < 1000; ++y)
            for (int x = 0; x < 1000; ++x)
                format == QImage::Format_RGBA64 ? pixels.setPixelColor(x, y, QColor(200, 0, 0)) : pixels.setPixel(x, y, 0);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("two.png"));
        QVERIFY(pixels.save(path));
        auto i = make<SKTImage>(QRectF(0, 0, 100, 50));
        i->_isDrawingStroke = false;
        i->setFilePath(path);
        QVERIFY2(i->pictureError().isEmpty(), qPrintable(i->pictureError()));
        QImage image = filledImage(QSize(int(100 * scale) + 1, int(50 * scale) + 1), Qt::transparent,
                                   QImage::Format_ARGB32_Premultiplied);
        {
            const ProcessedImageCache::AsyncScope canvas;
            QPainter p(&image);
            p.scale(scale, scale);
            i->draw(p);
        }
        ProcessedImageCache::waitForPending();
        auto drawAt = [&](qreal at) {
            QImage drawn = filledImage(QSize(int(100 * at) + 1, int(50 * at) + 1), Qt::transparent,
                                       QImage::Format_ARGB32_Premultiplied);
            const ProcessedImageCache::AsyncScope canvas;
            QPainter p(&drawn);
            p.scale(at, at);
            i->draw(p);
            return drawn;
        };
        image = drawAt(scale);
        QCOMPARE(image.pixel(QPointF(25 * scale, 25 * scale).toPoint()), qRgb(200, 0, 0));
        QCOMPARE(image.pixel(QPointF(75 * scale, 25 * scale).toPoint()), qRgb(255, 255, 255));
        // At a new zoom, until its own is made, the picture made before is drawn stretched.
        const QImage zoomed = drawAt(scale * 1.5);
        const QRgb red = zoomed.pixel(QPointF(25 * scale * 1.5, 25 * scale * 1.5).toPoint());
        QVERIFY2(qAlpha(red) == 255 && qRed(red) > 180 && qGreen(red) < 60, qPrintable(QString::number(red, 16)));
        ProcessedImageCache::waitForPending();
        // While an adjustment changes, the picture as it was is drawn until the adjusted one is made.
        i->brt_val = 0.1f;
        const QImage adjusting = drawAt(scale * 1.5);
        QCOMPARE(qAlpha(adjusting.pixel(QPointF(25 * scale * 1.5, 25 * scale * 1.5).toPoint())), 255);
        ProcessedImageCache::waitForPending();
    }

    // A picture made at the device size it covers is put there a pixel for a pixel (mirrored as the item
    // says), at any zoom, on the canvas and on a picture.
    void picturesAreDrawnPixelForPixel_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("flipH");
        QTest::addColumn<bool>("flipV");
        QTest::addColumn<bool>("canvas");
        for (qreal scale : {0.5, 1.0, 1.37, 3.0}) {
            const QByteArray at = QByteArray::number(scale);
            QTest::newRow("plain " + at) << scale << false << false << false;
            QTest::newRow("canvas " + at) << scale << false << false << true;
            QTest::newRow("mirrored " + at) << scale << true << false << true;
            QTest::newRow("upside down " + at) << scale << false << true << false;
        }
    }
    void picturesAreDrawnPixelForPixel()
    {
        QFETCH(qreal, scale);
        QFETCH(bool, flipH);
        QFETCH(bool, flipV);
        QFETCH(bool, canvas);
        QImage noise(700, 500, QImage::Format_RGB32); // large enough to be made on a worker
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x + y * 53) % 256));
        auto i = make<SKTImage>(QRectF(10.3, 7.6, 100, 70));
        i->_isDrawingStroke = false;
        i->_image = noise;
        i->_isFlippedHorizontally = flipH;
        i->_isFlippedVertically = flipV;
        QImage image = filledImage(QSize(int(120 * scale), int(90 * scale)), Qt::white, QImage::Format_ARGB32_Premultiplied);
        QRect pixels;
        const auto draw = [&] {
            QPainter p(&image);
            p.scale(scale, scale);
            pixels = PaintHelpers::devicePixels(p, i->bounds());
            i->draw(p);
        };
        {
            std::optional<ProcessedImageCache::AsyncScope> async;
            if (canvas)
                async.emplace();
            draw();
        }
        if (canvas) { // made on a worker: drawn once it is in
            ProcessedImageCache::waitForPending();
            const ProcessedImageCache::AsyncScope async;
            draw();
        }
        const QImage made = ProcessedImageCache::processed(i->_image, ImageAdjustSettings(), pixels.size()).mirrored(flipH, flipV);
        QCOMPARE(made.size(), pixels.size());
        QCOMPARE(image.copy(pixels).convertToFormat(QImage::Format_RGB32), made.convertToFormat(QImage::Format_RGB32));
    }

    // On paper (a PDF at 1200 dpi, as printing draws) a picture goes at most at its own pixels: the device
    // stretches it, and a picture made larger only makes the file larger.
    void picturesOnPaperAreNeverMadeLarger_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("picture") << QStringLiteral("picture");
        QTest::newRow("adjusted picture") << QStringLiteral("sepia");
        QTest::newRow("signature") << QStringLiteral("signature");
        QTest::newRow("card background") << QStringLiteral("background");
    }
    void picturesOnPaperAreNeverMadeLarger()
    {
        QFETCH(QString, kind);
        QImage noise(240, 160, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x + y * 53) % 256));
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&pdf);
            writer.setResolution(1200);
            QPainter p(&writer);
            p.scale(1200 / 72.0, 1200 / 72.0);
            const QRectF box(0, 0, 216, 144); // 3 x 2 in: 3600 x 2400 dots
            if (kind == QLatin1String("background")) {
                Card_Property prop;
                prop.Card_fill_style = QStringLiteral("I");
                prop.Card_BG_Image = ItemPicture(noise);
                Card_Base_Drawing(p, prop, 0, box, box);
            } else {
                auto i = kind == QLatin1String("signature") ? make<SKTSignature>(box) : make<SKTImage>(box);
                i->_image = noise;
                i->Sepia = kind == QLatin1String("sepia");
                i->draw(p);
            }
        }
        // the picture's own 150 KB (compressed or not), far from the 34 MB of one made at the dots it covers
        QVERIFY2(pdf.size() < 1024 * 1024, qPrintable(QString::number(pdf.size())));
    }

    // Drawing in bands (so that no blend is shared out to Qt's pool) gives the pixels one draw gives.
    void bandsDrawWhatOneDrawDraws_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("stretched") << 2.0;
        QTest::newRow("shrunk") << 0.5;
        QTest::newRow("as it is") << 1.0;
        QTest::newRow("stretched, between pixels") << 1.3;
    }
    void bandsDrawWhatOneDrawDraws()
    {
        QFETCH(qreal, scale);
        QImage picture(50, 300, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qPremultiply(qRgba(x * 5, y % 256, 90, 255 - (x + y) % 128)));
        auto paint = [&](bool bands) {
            QImage image = filledImage(QSize(300, 700), Qt::white, QImage::Format_ARGB32_Premultiplied);
            QPainter p(&image);
            p.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
            p.scale(scale, scale);
            const QRectF target(8, 4, scale == 1 ? 50 : 120.3, 300.7);
            bands ? PaintHelpers::drawImageInBands(p, target, picture, QRectF(picture.rect())) : p.drawImage(target, picture);
            return image;
        };
        // Qt's own draw on one thread (a pool thread blends alone): its shared blends are not the same every time.
        QImage once;
        QThreadPool::globalInstance()->start([&] { once = paint(false); });
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(paint(true), once);
    }

    void pictureAdjustmentsTransparencyAndBorder()
    {
        auto i = make<SKTImage>(Box);
        i->_image = twoColourPicture(true);
        i->_isDrawingStroke = true;
        i->_strokeColor = Qt::green;
        i->_strokeWidth = 2;
        i->invert_clr = true;
        i->img_trnsp_val = 50;
        const QImage image = render(i);
        QVERIFY(near(image.pixel(30, 60), qRgba(0, 128, 128, 128), 2)); // inverted red, half opaque
        QCOMPARE(image.pixel(10, 60), qRgb(0, 255, 0));                 // the border stays opaque
        i->img_trnsp_val = 0;
        QCOMPARE(qAlpha(render(i).pixel(30, 60)), 0);
    }

    void pictureRotationTurnsThePicture()
    {
        auto i = make<SKTImage>(Box);
        i->_isDrawingStroke = false;
        QImage pixels = filledImage(QSize(40, 20), Qt::blue);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                pixels.setPixel(x, y, qRgb(255, 0, 0)); // left half red
        i->_image = pixels;
        i->rotate_image = 90;
        const QImage image = render(i);
        QCOMPARE(image.pixel(60, 100), qRgb(255, 0, 0)); // counter-clockwise: left goes to the bottom
        QCOMPARE(image.pixel(60, 20), qRgb(0, 0, 255));
    }

    void barcodeIsNotSmoothed()
    {
        auto b = make<SKTBarcode>(QRectF(0, 0, 100, 20));
        QImage bars(5, 1, QImage::Format_RGB32);
        for (int x = 0; x < 5; ++x)
            bars.setPixel(x, 0, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        b->Set_Barcode_image(bars);
        const QImage image = drawn(*b, 100, 20);
        QCOMPARE(countPixels(image, [](QRgb p) { return p != qRgb(0, 0, 0) && p != qRgb(255, 255, 255); }), 0);
        QCOMPARE(image.pixel(19, 10), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(20, 10), qRgb(255, 255, 255));
    }

    // Values read from a hostile or broken design file draw something sane or nothing, quickly, never crash.
    void hostileValues_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("field");
        const QStringList kinds = {"shape:S", "shape:RR", "line:2", "text", "image", "sign:S", "barcode"};
        for (const QString& kind : kinds)
            for (const char* field : {"nan bounds", "huge bounds", "huge stroke", "nan stroke", "dashed huge line",
                                      "nan values", "extreme values"})
                QTest::addRow("%s %s", qPrintable(kind), field) << kind << QString::fromLatin1(field);
    }
    void hostileValues()
    {
        QFETCH(QString, spec);
        QFETCH(QString, field);
        GraphicPtr item = makeItem(spec);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        if (field == QLatin1String("nan bounds"))
            item->_bounds = QRectF(qQNaN(), 10, 50, qQNaN());
        else if (field == QLatin1String("huge bounds"))
            item->_bounds = QRectF(-1e12, -1e12, 3e12, 3e12);
        else if (field == QLatin1String("huge stroke"))
            item->_strokeWidth = 1e12;
        else if (field == QLatin1String("nan stroke"))
            item->_strokeWidth = qQNaN();
        else if (field == QLatin1String("dashed huge line")) {
            item->_bounds = QRectF(-1e9, 50, 2e9, 1);
            item->_stroke_border_type = QStringLiteral("DO");
        } else if (field == QLatin1String("nan values")) {
            item->cor_rad_val = item->alpha_val = item->alpha_val_stroke = item->img_trnsp_val = nan;
            item->rotate_image = item->hue_val = item->blr_val = item->ev_val = item->text_kerning = nan;
            item->Shadow_blur = item->Shadow_offset_X = item->Shadow_transparency = nan;
            item->_fill_grad_angle = qQNaN();
            item->_isDrawingFill = item->Drawing_Shadow = true;
            item->_fill_type = QStringLiteral("G");
        } else {
            item->text_rotation = std::numeric_limits<int>::min();
            item->double_star_type = item->polygon_type = std::numeric_limits<int>::max();
            item->_line_ori = item->_line_cap_style = item->text_alignmnet = item->text_transfrom_case = -7;
            item->blr_val = 1e30f;
            item->rotate_image = 1e30f;
            item->text_kerning = 1e9f;
            item->Shadow_blur = 1e9f;
            item->Drawing_Shadow = true;
            item->text_ctrl_font.setPointSizeF(5000);
            item->_Text_contents = QString(100000, QLatin1Char('W'));
        }
        // Must finish (CTest's timeout catches a hang) and must not crash.
        drawn(*item, 120, 120);
        ItemPainting::paintedBounds(*item);
    }

    void emptyBoundsDrawNothing()
    {
        for (const QString& spec : {QStringLiteral("shape:R"), QStringLiteral("text"), QStringLiteral("image"),
                                    QStringLiteral("barcode")}) {
            GraphicPtr item = makeItem(spec);
            item->_bounds = QRectF(30, 30, 0, 40);
            QVERIFY2(inkBox(render(item)).isNull(), qPrintable(spec));
        }
    }
};

QTEST_MAIN(TestPainting)
#include "test_painting.moc"
