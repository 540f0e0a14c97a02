#include "canvas/CardBase.h"
#include "canvas/Card_Property.h"
#include "common/Globals.h"

#include <QPainter>
#include <QtTest>

namespace {

const QRectF Card(0, 0, 200, 100);

QImage paintBase(const Card_Property& prop, int shape, const QRectF& pass = Card)
{
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Card_Base_Drawing(p, prop, shape, Card, pass);
    p.end();
    return image;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

using Probes = QList<QPair<QPoint, QRgb>>;

} // namespace

Q_DECLARE_METATYPE(Card_Property)

class TestCardBase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR); }

    void probes_data()
    {
        QTest::addColumn<Card_Property>("prop");
        QTest::addColumn<int>("shape");
        QTest::addColumn<Probes>("probes");
        const QRgb white = qRgb(255, 255, 255), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), clear = 0;

        Card_Property solid;
        solid.Card_fill_style = QStringLiteral("S");
        solid.Card_fill_clr = Qt::red;
        QTest::newRow("solid") << solid << 0 << Probes{{{0, 0}, red}, {{100, 50}, red}, {{199, 99}, red}};

        Card_Property off = solid;
        off.Card_fill_chk = 0;
        QTest::newRow("fill off is white") << off << 0 << Probes{{{0, 0}, white}, {{100, 50}, white}};
        off.Card_fill_style = QStringLiteral("G");
        QTest::newRow("fill off ignores the style") << off << 0 << Probes{{{2, 50}, white}, {{197, 50}, white}};

        Card_Property half = solid;
        half.Card_fill_clr = QColor(255, 0, 0, 128);
        QTest::newRow("alpha in the colour shows white under it") << half << 0 << Probes{{{100, 50}, qRgb(255, 127, 127)}};

        Card_Property g0;
        g0.Card_fill_style = QStringLiteral("G");
        g0.Card_fill_Grd_1_clr = Qt::red;
        g0.Card_fill_Grd_2_clr = Qt::blue;
        g0.Card_grad_Stepper = 0;
        QTest::newRow("gradient 0 left to right")
            << g0 << 0 << Probes{{{0, 50}, red}, {{199, 50}, blue}, {{0, 0}, red}, {{199, 99}, blue}};
        Card_Property g90 = g0;
        g90.Card_grad_Stepper = 90;
        QTest::newRow("gradient 90 top to bottom")
            << g90 << 0 << Probes{{{100, 0}, red}, {{100, 99}, blue}, {{0, 0}, red}, {{199, 99}, blue}};
        Card_Property g45 = g0;
        g45.Card_grad_Stepper = 45;
        QTest::newRow("gradient 45 corner to corner") << g45 << 0 << Probes{{{0, 0}, red}, {{199, 99}, blue}};

        Card_Property shaped = solid;
        QTest::newRow("rounded corners")
            << shaped << 1 << Probes{{{0, 0}, clear}, {{1, 1}, clear}, {{10, 1}, red}, {{1, 50}, red}};
        QTest::newRow("ellipse")
            << shaped << 2 << Probes{{{6, 6}, clear}, {{193, 93}, clear}, {{100, 1}, red}, {{1, 50}, red}, {{198, 50}, red}};
        QTest::newRow("other shapes are rectangles") << shaped << 7 << Probes{{{0, 0}, red}};

        Card_Property missingHatch;
        missingHatch.Card_fill_style = QStringLiteral("H");
        missingHatch.Card_hatch_bk_clr = Qt::blue;
        missingHatch.Card_hatch_style = QStringLiteral("Missing");
        QTest::newRow("missing hatch leaves the background") << missingHatch << 0 << Probes{{{0, 0}, blue}, {{150, 70}, blue}};
        missingHatch.Card_hatch_style = QStringLiteral("../Fill_Style_Image/Grid");
        QTest::newRow("hatch names stay in their folder") << missingHatch << 0 << Probes{{{50, 50}, blue}};

        Card_Property noPicture;
        noPicture.Card_fill_style = QStringLiteral("I");
        QTest::newRow("image style without a picture is white") << noPicture << 0 << Probes{{{50, 50}, white}};
        // A picture of `second` whose top-left `first` part is `firstColour`.
        const auto parted = [](QSize size, QSize first, QRgb firstColour, QRgb second) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(second);
            for (int y = 0; y < first.height(); ++y)
                for (int x = 0; x < first.width(); ++x)
                    image.setPixel(x, y, firstColour);
            return ItemPicture(image);
        };
        Card_Property picture = noPicture;
        picture.Card_BG_Image = parted(QSize(2, 1), QSize(1, 1), red, blue);
        QTest::newRow("image style paints the picture")
            << picture << 0 << Probes{{{10, 50}, red}, {{190, 50}, blue}};
        Card_Property big = noPicture;
        big.Card_BG_Image = parted(QSize(2000, 1000), QSize(1000, 1000), red, blue);
        QTest::newRow("large picture scaled down")
            << big << 0 << Probes{{{2, 2}, red}, {{97, 50}, red}, {{102, 50}, blue}, {{197, 97}, blue}};
        QTest::newRow("image in an oval card") << picture << 2 << Probes{{{1, 1}, clear}, {{10, 50}, red}};
        Card_Property fit = picture;
        fit.Card_BG_Image_Layout = QStringLiteral("Fit");
        fit.Card_BG_Image = parted(QSize(1, 2), QSize(1, 1), red, blue);
        QTest::newRow("fit keeps the aspect")
            << fit << 0 << Probes{{{100, 20}, red}, {{100, 80}, blue}, {{60, 50}, white}, {{140, 50}, white}};
        Card_Property fill = fit;
        fill.Card_BG_Image_Layout = QStringLiteral("Fill");
        fill.Card_BG_Image = parted(QSize(10, 20), QSize(10, 10), red, blue);
        QTest::newRow("fill covers the card") << fill << 0 << Probes{{{2, 20}, red}, {{197, 80}, blue}};
        Card_Property centre = picture;
        centre.Card_BG_Image_Layout = QStringLiteral("Center");
        centre.Card_BG_Image = parted(QSize(20, 10), QSize(10, 10), red, blue);
        QTest::newRow("centre at natural size")
            << centre << 0 << Probes{{{95, 50}, red}, {{105, 50}, blue}, {{100, 10}, white}, {{85, 50}, white}};
    }
    void probes()
    {
        QFETCH(Card_Property, prop);
        QFETCH(int, shape);
        QFETCH(Probes, probes);
        const QImage image = paintBase(prop, shape);
        for (const auto& [point, colour] : probes)
            QVERIFY2(near(image.pixel(point), colour, 6),
                     qPrintable(QStringLiteral("(%1,%2) is %3").arg(point.x()).arg(point.y()).arg(image.pixel(point), 8, 16)));
    }

    void hatchShowsPatternOverBackground()
    {
        Card_Property prop;
        prop.Card_fill_style = QStringLiteral("H");
        prop.Card_hatch_bk_clr = Qt::yellow;
        prop.Card_hatch_style = QStringLiteral("Diagonal");
        const QImage image = paintBase(prop, 0);
        int yellow = 0, dark = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const QRgb p = image.pixel(x, y);
                yellow += p == qRgb(255, 255, 0);
                dark += qRed(p) < 128;
                QCOMPARE(qAlpha(p), 255);
            }
        QVERIFY(yellow > 10000);
        QVERIFY(dark > 1000);
    }

    void passRectClipsButKeepsTheOutline_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QRectF>("pass");
        QTest::newRow("ellipse, top left quarter") << 2 << QRectF(0, 0, 100, 50);
        QTest::newRow("rounded, right strip") << 1 << QRectF(150, 0, 50, 100);
        QTest::newRow("ellipse, middle") << 2 << QRectF(40, 20, 60, 30);
    }
    void passRectClipsButKeepsTheOutline()
    {
        QFETCH(int, shape);
        QFETCH(QRectF, pass);
        Card_Property prop;
        prop.Card_fill_style = QStringLiteral("G");
        prop.Card_fill_Grd_1_clr = Qt::red;
        prop.Card_fill_Grd_2_clr = Qt::blue;
        const QImage full = paintBase(prop, shape);
        const QImage part = paintBase(prop, shape, pass);
        const QRect inside = pass.toRect();
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                if (inside.contains(x, y))
                    QVERIFY(near(part.pixel(x, y), full.pixel(x, y), 2)); // gradient dithering may differ by 1
                else
                    QCOMPARE(qAlpha(part.pixel(x, y)), 0);
            }
    }

    void outlineShapes()
    {
        QCOMPARE(cardOutline(0, Card).boundingRect(), Card);
        QCOMPARE(cardOutline(2, Card).boundingRect(), Card);
        QVERIFY(!cardOutline(1, Card).contains(QPointF(0.5, 0.5)));
        QVERIFY(cardOutline(1, QRectF(0, 0, 8, 8)).contains(QPointF(4, 4))); // radius clamped on tiny cards
    }
};

QTEST_MAIN(TestCardBase)
#include "test_cardbase.moc"
