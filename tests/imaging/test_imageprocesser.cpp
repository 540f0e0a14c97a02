#include "common/HostilePictures.h"
#include "common/PictureReader.h"
#include "imaging/ImageProcesser.h"
#include "imaging/PictureScaling.h"
#include "imaging/ProcessedImageCache.h"

#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

Q_DECLARE_METATYPE(ImageAdjustSettings)

namespace {

// A picture with every kind of pixel: colours, greys, half-transparent and fully transparent ones.
QImage samplePicture(QImage::Format format = QImage::Format_ARGB32, int w = 37, int h = 23)
{
    QImage image(w, h, QImage::Format_ARGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = (x + y) % 7 == 0 ? 0 : ((x * 3 + y) % 5 == 0 ? 128 : 255);
            image.setPixel(x, y, qRgba(rng.bounded(256), rng.bounded(256), rng.bounded(256), a));
        }
    return image.convertToFormat(format);
}

QImage solid(QRgb colour, int w = 8, int h = 8)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

ImageAdjustSettings neutral() { return ImageAdjustSettings(); }

// A picture of one row (or one column) of the given premultiplied pixels.
QImage line(const QList<QRgb>& pixels, bool across = true)
{
    QImage image(across ? int(pixels.size()) : 1, across ? 1 : int(pixels.size()), QImage::Format_ARGB32_Premultiplied);
    for (qsizetype i = 0; i < pixels.size(); ++i)
        image.setPixel(across ? int(i) : 0, across ? 0 : int(i), pixels[i]);
    return image;
}

// Lines the program writes to standard error meanwhile (decoders report there).
class StderrLines {
public:
    StderrLines()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~StderrLines() { restore(); }
    int count(const char* text)
    {
        restore();
        m_file.seek(0);
        return int(m_file.readAll().count(text));
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestImageProcesser : public QObject {
    Q_OBJECT
private slots:
    void neutralValuesKeepThePicture_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rotation");
        QTest::newRow("argb32") << int(QImage::Format_ARGB32) << 0;
        QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << 0;
        QTest::newRow("rgb32") << int(QImage::Format_RGB32) << 0;
        QTest::newRow("rgba8888") << int(QImage::Format_RGBA8888) << 0;
        QTest::newRow("grey8") << int(QImage::Format_Grayscale8) << 0;
        QTest::newRow("full turn") << int(QImage::Format_ARGB32) << 360;
        QTest::newRow("full turn back") << int(QImage::Format_ARGB32) << -720;
    }
    void neutralValuesKeepThePicture()
    {
        QFETCH(int, format);
        QFETCH(int, rotation);
        const QImage in = samplePicture(QImage::Format(format));
        const QImage out =
            ImageProcesser::Get_Processed_Image(in, false, false, false, 0, 1, 0, 1, rotation, 0, 0, 0, 100);
        QCOMPARE(out.format(), in.format());
        QCOMPARE(out, in);
        QCOMPARE(out.cacheKey(), in.cacheKey()); // not even copied
    }

    // Results that must equal (or differ from) another picture.
    void sameResults_data()
    {
        QTest::addColumn<QImage>("result");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<bool>("equal");
        const QImage in = samplePicture(), pre = samplePicture(QImage::Format_ARGB32_Premultiplied);
        const ImageAdjustSettings inv{.invert = true}, wild{.brightness = std::numeric_limits<float>::quiet_NaN(), .contrast = 1000};
        const QImage once = ImageProcesser::process(pre, inv);
        QTest::newRow("transparency is not applied") << ImageProcesser::Get_Processed_Image(in, false, false, false, 0, 1, 0, 1, 0, 0, 0, 0, 10) << in << true;
        QTest::newRow("null picture gives null") << ImageProcesser::process(QImage(), inv) << QImage() << true;
        QTest::newRow("invert changes") << once << pre << false;
        QTest::newRow("invert twice is identity") << ImageProcesser::process(once, inv) << pre << true;
        QTest::newRow("out of range values are clamped") << ImageProcesser::process(in, wild) << ImageProcesser::process(in, {.contrast = ImageAdjust::Contrast.max}) << true;
        // invert, then turn: the same as turning the inverted picture
        QTest::newRow("colour, then rotation") << ImageProcesser::process(pre, {.invert = true, .rotation = 90}) << ImageProcesser::process(once, {.rotation = 90}) << true;
    }
    void sameResults()
    {
        QFETCH(QImage, result);
        QFETCH(QImage, expected);
        QFETCH(bool, equal);
        if (equal)
            QCOMPARE(result, expected);
        else
            QVERIFY(result != expected);
    }

    void greyScaleGivesEqualChannels()
    {
        ImageAdjustSettings s;
        s.grayscale = true;
        const QImage in = samplePicture();
        const QImage out = ImageProcesser::process(in, s).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const QRgb p = out.pixel(x, y);
                QVERIFY2(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p), qPrintable(QString::number(p, 16)));
                QCOMPARE(qAlpha(p), qAlpha(in.pixel(x, y)));
            }
        // Rec. 709 luma of pure green
        QCOMPARE(qRed(ImageProcesser::process(solid(qRgb(0, 255, 0)), s).pixel(0, 0)), 182);
    }

    void knownPixels_data()
    {
        QTest::addColumn<ImageAdjustSettings>("settings");
        QTest::addColumn<QRgb>("in");
        QTest::addColumn<QRgb>("expected");
        const ImageAdjustSettings sepia{.sepia = true};
        QTest::newRow("invert") << ImageAdjustSettings{.invert = true} << qRgba(10, 200, 255, 255) << qRgba(245, 55, 0, 255);
        QTest::newRow("sepia mid grey") << sepia << qRgb(100, 100, 100) << qRgb(135, 120, 94);
        QTest::newRow("sepia white clamps") << sepia << qRgb(255, 255, 255) << qRgb(255, 255, 239);
        QTest::newRow("sepia black") << sepia << qRgb(0, 0, 0) << qRgb(0, 0, 0);
        QTest::newRow("sepia red") << sepia << qRgb(200, 0, 0) << qRgb(79, 70, 54);
    }
    void knownPixels()
    {
        QFETCH(ImageAdjustSettings, settings);
        QFETCH(QRgb, in);
        QTEST(ImageProcesser::process(solid(in), settings).pixel(2, 2), "expected");
    }

    void colourControls_data()
    {
        QTest::addColumn<float>("sat");
        QTest::addColumn<float>("brt");
        QTest::addColumn<float>("con");
        QTest::addColumn<QRgb>("in");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("no saturation is grey") << 0.0f << 0.0f << 1.0f << qRgb(0, 255, 0) << qRgb(182, 182, 182);
        QTest::newRow("full brightness is white") << 1.0f << 1.0f << 1.0f << qRgb(20, 90, 160) << qRgb(255, 255, 255);
        QTest::newRow("brightness adds") << 1.0f << 0.2f << 1.0f << qRgb(0, 100, 200) << qRgb(51, 151, 251);
        QTest::newRow("contrast pivots at mid grey") << 1.0f << 0.0f << 2.0f << qRgb(64, 128, 192) << qRgb(1, 129, 255);
        QTest::newRow("low contrast") << 1.0f << 0.0f << 0.25f << qRgb(0, 255, 128) << qRgb(96, 159, 128);
    }
    void colourControls()
    {
        QFETCH(float, sat);
        QFETCH(float, brt);
        QFETCH(float, con);
        QFETCH(QRgb, in);
        const QImage out = ImageProcesser::Get_Processed_Image(solid(in), false, false, false, 0, sat, brt, con, 0,
                                                               0, 0, 0, 100);
        QTEST(out.pixel(1, 1), "expected");
    }

    void hueTurnsColoursButNotGreys()
    {
        ImageAdjustSettings s;
        s.hue = ImageAdjust::Pi * 2 / 3;
        QCOMPARE(ImageProcesser::process(solid(qRgb(90, 90, 90)), s).pixel(0, 0), qRgb(90, 90, 90));
        const QRgb red = ImageProcesser::process(solid(qRgb(255, 0, 0)), s).pixel(0, 0);
        QVERIFY2(qGreen(red) > qRed(red) && qGreen(red) > qBlue(red), "a third of a turn takes red toward green");
    }

    void sharpenKeepsFlatAreasAndRaisesEdges()
    {
        ImageAdjustSettings s;
        s.sharpness = 1.0f;
        QCOMPARE(ImageProcesser::process(solid(qRgb(100, 150, 200)), s), solid(qRgb(100, 150, 200)));
        QImage edge = solid(qRgb(100, 100, 100), 8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 4; x < 8; ++x)
                edge.setPixel(x, y, qRgb(160, 160, 160));
        const QImage out = ImageProcesser::process(edge, s);
        QVERIFY(qRed(out.pixel(4, 4)) > 160);
        QVERIFY(qRed(out.pixel(3, 4)) < 100);
        QCOMPARE(out.pixel(0, 4), qRgb(100, 100, 100));
    }

    void boxBlur()
    {
        ImageAdjustSettings s;
        s.blur = 2;
        QCOMPARE(ImageProcesser::process(solid(qRgb(30, 60, 90), 9, 9), s), solid(qRgb(30, 60, 90), 9, 9));
        QImage dot = solid(qRgba(0, 0, 0, 0), 11, 11);
        dot.setPixel(5, 5, qRgba(255, 255, 255, 255));
        const QImage out = ImageProcesser::process(dot, s);
        // one pixel spread over a 5 x 5 box: 255 / 25 rounds to 10
        QCOMPARE(out.pixel(5, 5), qRgba(10, 10, 10, 10));
        QCOMPARE(out.pixel(3, 7), qRgba(10, 10, 10, 10));
        QCOMPARE(out.pixel(2, 5), qRgba(0, 0, 0, 0));
        s.blur = 0.4f; // rounds to no blur
        QCOMPARE(ImageProcesser::process(dot, s).cacheKey(), dot.cacheKey());
    }

    void exposureDoublesLinearLight()
    {
        ImageAdjustSettings s;
        s.exposure = 1;
        // sRGB 128 is 0.2159 linear; twice that is sRGB 0.6885 -> 176
        QCOMPARE(ImageProcesser::process(solid(qRgb(128, 0, 255)), s).pixel(0, 0), qRgb(176, 0, 255));
        s.exposure = -1;
        QCOMPARE(qRed(ImageProcesser::process(solid(qRgb(255, 255, 255)), s).pixel(0, 0)), 188);
    }

    void rotationSizes_data()
    {
        QTest::addColumn<int>("degrees");
        QTest::addColumn<QSize>("size");
        QTest::newRow("90") << 90 << QSize(23, 37);
        QTest::newRow("-90") << -90 << QSize(23, 37);
        QTest::newRow("180") << 180 << QSize(37, 23);
        QTest::newRow("450") << 450 << QSize(23, 37);
    }
    void rotationSizes()
    {
        QFETCH(int, degrees);
        QFETCH(QSize, size);
        ImageAdjustSettings s;
        s.rotation = degrees;
        QCOMPARE(ImageProcesser::process(samplePicture(), s).size(), size);
    }

    void rotationIsCounterClockwise()
    {
        QImage in = solid(qRgb(0, 0, 255), 4, 2);
        in.setPixel(0, 0, qRgb(255, 0, 0)); // top left
        ImageAdjustSettings s;
        s.rotation = 90;
        const QImage out = ImageProcesser::process(in, s);
        QCOMPARE(out.size(), QSize(2, 4));
        QCOMPARE(out.pixel(0, 3), qRgb(255, 0, 0)); // now bottom left
    }

    void rotationGrowsWithTransparentCorners()
    {
        ImageAdjustSettings s;
        s.rotation = 45;
        const QImage out = ImageProcesser::process(solid(qRgb(255, 0, 0), 40, 40), s);
        QVERIFY(out.width() >= 56 && out.height() >= 56);
        QCOMPARE(qAlpha(out.pixel(1, 1)), 0);
        QCOMPARE(out.pixel(out.width() / 2, out.height() / 2), qRgb(255, 0, 0));
    }

    // A picture carrying adjustments is made at the size asked from its bytes as the whole adjusted picture
    // scaled there (blur on the whole picture); its size and key follow its adjustments.
    void adjustedPicturesAreMadeAtTheSizeAsked_data()
    {
        QTest::addColumn<ImageAdjustSettings>("settings");
        QTest::addColumn<QSize>("asked");
        ImageAdjustSettings s;
        s.invert = true;
        QTest::newRow("colour, smaller") << s << QSize(60, 40);
        s.rotation = 90;
        QTest::newRow("quarter turn, own size") << s << QSize(200, 300);
        s.rotation = 30;
        QTest::newRow("tilt") << s << QSize(100, 90);
        s.blur = 3;
        QTest::newRow("blur, on the whole picture") << s << QSize(75, 50);
    }
    void adjustedPicturesAreMadeAtTheSizeAsked()
    {
        QFETCH(ImageAdjustSettings, settings);
        QFETCH(QSize, asked);
        QImage source(300, 200, QImage::Format_RGB32);
        for (int i = 0; i < 300 * 200; ++i)
            source.setPixel(i % 300, i / 300, qRgb(i % 300 * 255 / 300, i / 300, (i % 300 / 30 % 2) * 200));
        const QByteArray png = hostilepictures::encoded(source, "png");
        const ItemPicture asItCame = ItemPicture::fromBytes(png), picture = asItCame.adjusted(settings);
        const QImage whole = ImageProcesser::process(source, settings);
        QCOMPARE(picture.size(), whole.size());
        QCOMPARE(asItCame.adjusted(settings).cacheKey(), picture.cacheKey());
        QVERIFY(picture != asItCame && picture.adjusted(ImageAdjustSettings()) == asItCame);
        // the whole adjusted picture scaled there, but for smoothing
        const QImage made = picture.image(asked);
        const QImage expected = whole.scaled(asked, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(made.size(), asked);
        qint64 off = 0;
        for (int i = 0; i < asked.width() * asked.height(); ++i) {
            const QPoint p(i % asked.width(), i / asked.width());
            off += std::abs(qGray(made.pixel(p)) - qGray(expected.pixel(p))) +
                   std::abs(qAlpha(made.pixel(p)) - qAlpha(expected.pixel(p)));
        }
        QVERIFY2(off < 3 * asked.width() * asked.height(), qPrintable(QString::number(off)));
    }

    // A side that shrinks averages the pixels it covers, by the part covered; one that grows interpolates;
    // alpha is averaged premultiplied, so clear pixels add no colour.
    void scalingAveragesOrInterpolates_data()
    {
        QTest::addColumn<QImage>("in");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QRgb>>("expected");
        const auto g = [](int v) { return qRgb(v, v, v); };
        QTest::newRow("halved") << line({g(0), qRgb(200, 100, 50), g(10), g(30)}) << QSize(2, 1) << QList<QRgb>{qRgb(100, 50, 25), g(20)};
        QTest::newRow("three to two") << line({g(0), g(90), g(180)}) << QSize(2, 1) << QList<QRgb>{g(30), g(150)};
        QTest::newRow("three to two, down") << line({g(0), g(90), g(180)}, false) << QSize(1, 2) << QList<QRgb>{g(30), g(150)};
        QTest::newRow("doubled") << line({g(0), g(200)}) << QSize(4, 1) << QList<QRgb>{g(0), g(50), g(150), g(200)};
        QTest::newRow("clear beside red") << line({qRgba(0, 0, 0, 0), qRgb(255, 0, 0)}) << QSize(1, 1) << QList<QRgb>{qRgba(128, 0, 0, 128)};
        QTest::newRow("half clear") << line({qRgba(100, 0, 0, 100), qRgba(0, 0, 200, 200)}) << QSize(1, 1) << QList<QRgb>{qRgba(50, 0, 100, 150)};
    }
    void scalingAveragesOrInterpolates()
    {
        QFETCH(QImage, in);
        QFETCH(QSize, size);
        QFETCH(QList<QRgb>, expected);
        const QImage out = picturescaling::scaled(in, size);
        QCOMPARE(out.size(), size);
        QCOMPARE(out.format(), QImage::Format_ARGB32_Premultiplied);
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QPoint at = size.width() > 1 ? QPoint(int(i), 0) : QPoint(0, int(i));
            QCOMPARE(QString::number(out.pixel(at), 16), QString::number(expected[i], 16));
        }
    }

    // Every pixel format is read as Qt converts it; opaque formats give RGB32.
    void scalingReadsEveryFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("argb32") << int(QImage::Format_ARGB32);
        QTest::newRow("rgb32") << int(QImage::Format_RGB32);
        QTest::newRow("rgba8888") << int(QImage::Format_RGBA8888);
        QTest::newRow("grey8") << int(QImage::Format_Grayscale8);
        QTest::newRow("palette") << int(QImage::Format_Indexed8);
        QTest::newRow("1-bit") << int(QImage::Format_Mono);
        QTest::newRow("16-bit") << int(QImage::Format_RGBA64);
    }
    void scalingReadsEveryFormat()
    {
        QFETCH(int, format);
        QImage in = samplePicture(QImage::Format_ARGB32, 400, 300);
        in = format == QImage::Format_Mono ? in.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                                           : in.convertToFormat(QImage::Format(format));
        const QImage::Format kept = in.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        QCOMPARE(picturescaling::converted(in), in.convertToFormat(kept));
        QCOMPARE(picturescaling::scaled(in, in.size()), in.convertToFormat(kept));
        // A flat part (the sample is noise) shrinks to its own colour.
        QImage flat = in.copy();
        flat.colorCount() > 1 ? flat.fill(1) : flat.fill(QColor(Qt::darkCyan));
        const QImage small = picturescaling::scaled(flat, QSize(37, 23));
        QCOMPARE(small.format(), kept);
        QCOMPARE(small.pixel(20, 10), flat.convertToFormat(kept).pixel(200, 100));
    }
    void cacheReturnsTheSamePictureForTheSameValues()
    {
        ProcessedImageCache::clear();
        const QImage in = samplePicture();
        ImageAdjustSettings s;
        s.sepia = true;
        const QImage a = ProcessedImageCache::processed(in, s);
        const QImage b = ProcessedImageCache::processed(in, s);
        QCOMPARE(a.cacheKey(), b.cacheKey());
        QCOMPARE(a, ImageProcesser::process(in, s));
        s.sepia = false;
        s.grayscale = true;
        QVERIFY(ProcessedImageCache::processed(in, s).cacheKey() != a.cacheKey());
        QCOMPARE(ProcessedImageCache::processed(in, neutral()).cacheKey(), in.cacheKey());
        QCOMPARE(ProcessedImageCache::entryCount(), 2);
        // a big picture for a small target is scaled down once
        const QImage big = solid(qRgb(1, 2, 3), 400, 300);
        const QImage small = ProcessedImageCache::processed(big, neutral(), QSize(40, 30));
        QCOMPARE(small.size(), QSize(40, 30));
        QCOMPARE(ProcessedImageCache::processed(big, neutral(), QSize(40, 30)).cacheKey(), small.cacheKey());
        ProcessedImageCache::setBudgetBytes(0);
        QCOMPARE(ProcessedImageCache::entryCount(), 0);
        ProcessedImageCache::setBudgetBytes(128ll << 20);
    }

    // Pictures the canvas asks for are made once, on its workers or while painting, so that no loop of decodes
    // and repaints runs while a design is shown: one whose data does not decode is given as no picture after
    // (the canvas is told once that it is ready), and pictures that together take more than the cache's budget
    // stay while shown, made at half their size beyond what may be kept.
    void canvasPicturesAreMadeOnce_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("count"); // pictures drawn over one another
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<qint64>("budget");
        QTest::newRow("undecodable, on a worker") << QSize(800, 600) << 1 << true << (128LL << 20);
        QTest::newRow("undecodable, while painting") << QSize(300, 200) << 1 << true << (128LL << 20);
        QTest::newRow("larger than the cache") << QSize(800, 600) << 1 << false << (1LL << 20);
        QTest::newRow("together larger than the cache") << QSize(800, 600) << 3 << false << (2LL << 20);
        QTest::newRow("beyond what may be kept") << QSize(800, 600) << 5 << false << (1LL << 20);
    }
    void canvasPicturesAreMadeOnce()
    {
        QFETCH(QSize, size);
        QFETCH(int, count);
        QFETCH(bool, damaged);
        QFETCH(qint64, budget);
        ProcessedImageCache::clear();
        ProcessedImageCache::setBudgetBytes(budget);
        const QByteArray png = hostilepictures::encoded(samplePicture(QImage::Format_RGB32, size.width(), size.height()), "png");
        QList<ItemPicture> pictures;
        for (int i = 0; i < count; ++i)
            pictures << ItemPicture::fromBytes(damaged ? hostilepictures::damagedPng(png, 500, true) : png);
        QVERIFY(!pictures[0].isNull() && pictures[0].drawError().isEmpty());
        static std::atomic<int> ready; // a worker tells after its job is done
        ready = 0;
        ProcessedImageCache::setReadyNotifier([](qint64) { ++ready; });
        StderrLines decoderErrors;
        const QSize asked = damaged ? size / 4 : size;
        auto paint = [&] {
            QList<QImage> drawn;
            ProcessedImageCache::AsyncScope canvas;
            for (const ItemPicture& picture : pictures)
                drawn << ProcessedImageCache::processed(picture, neutral(), asked);
            return drawn;
        };
        for (int i = 0; i < 6; ++i) {
            paint();
            ProcessedImageCache::waitForPending();
        }
        for (int i = 0; i < 2; ++i) {
            const QList<QImage> drawn = paint();
            QVERIFY(!ProcessedImageCache::hasPending()); // nothing is made again
            for (const QImage& image : drawn)
                QVERIFY(damaged ? image.isNull()
                                : image.size() == asked || image.size() == asked / 2 || image.size() == asked / 4);
        }
        ProcessedImageCache::setReadyNotifier({});
        ProcessedImageCache::setBudgetBytes(128LL << 20);
        if (!damaged)
            return;
        for (const QSize target : {size / 3, QSize()}) // an export's and a print's
            QVERIFY(ProcessedImageCache::processed(pictures[0], neutral(), target).isNull());
        QCOMPARE(decoderErrors.count("libpng error"), 1);
        QTRY_COMPARE(ready.load(), size.width() > 512 ? 1 : 0);
        QCOMPARE(pictures[0].drawError(), pictures::undecodableMessage());
    }
};

QTEST_GUILESS_MAIN(TestImageProcesser)
#include "test_imageprocesser.moc"
