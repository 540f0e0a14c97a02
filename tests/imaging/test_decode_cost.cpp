// What decoding a picture costs, counted against the heap's peak while it is read and drawn, for every
// class of picture.

#include "PeakAllocation.h"
#include "common/HostilePictures.h"
#include "common/PictureReader.h"
#include "imaging/ItemPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

namespace {

// A picture with colour, grey and alpha everywhere, in that format.
QImage sample(QImage::Format format, QSize size = QSize(2000, 1500)) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgba(x & 255, y & 255, (x ^ y) & 255, (x + y) & 255);
    }
    return image.convertToFormat(format, Qt::ThresholdDither);
}

QByteArray encoded(QImage::Format format, const char* as, bool progressive = false) {
    return hostilepictures::encoded(sample(format), as, progressive);
}

// Empty when the count is the real peak: never less, and little more (a fixed part for the decoders' state).
QString costProblem(const char* road, QSize target, qint64 counted, qint64 measured) {
    if (counted >= measured && counted <= measured + measured / 8 + (1 << 20))
        return {};
    return QStringLiteral("%1 at %2 x %3: counted %4 MB, measured %5 MB").arg(QLatin1String(road)).arg(target.width())
        .arg(target.height()).arg(counted / 1048576.0, 0, 'f', 2).arg(measured / 1048576.0, 0, 'f', 2);
}

} // namespace

class TestDecodeCost : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pictures::allowPicturesAtSourceLimit(); }

    void costsAreTheRealPeak_data() {
        QTest::addColumn<QByteArray>("bytes");
        using hostilepictures::tiff;
        QTest::newRow("png 8-bit") << encoded(QImage::Format_RGB32, "png");
        QTest::newRow("png alpha") << encoded(QImage::Format_ARGB32, "png");
        QTest::newRow("png grey") << encoded(QImage::Format_Grayscale8, "png");
        QTest::newRow("png palette") << encoded(QImage::Format_Indexed8, "png");
        QTest::newRow("png 1-bit") << encoded(QImage::Format_Mono, "png");
        QTest::newRow("png 16-bit") << hostilepictures::png16(2000, 1500);
        QTest::newRow("png 16-bit alpha") << encoded(QImage::Format_RGBA64, "png");
        QTest::newRow("png 16-bit grey") << encoded(QImage::Format_Grayscale16, "png");
        QTest::newRow("png of 8 MB of text") << hostilepictures::pngWithTexts(encoded(QImage::Format_RGB32, "png"), 8, 1 << 20);
        QTest::newRow("tiff 8-bit, strips of 4 MB") << encoded(QImage::Format_RGB32, "tiff");
        QTest::newRow("tiff 8-bit, one compressed strip") << tiff(2000, 1500, 3, 8, 1500, true);
        QTest::newRow("tiff 8-bit, one strip") << tiff(2000, 1500, 3, 8, 1500, false);
        QTest::newRow("tiff alpha, 64-row strips") << tiff(2000, 1500, 4, 8, 64, true);
        QTest::newRow("tiff alpha, planes") << tiff(2000, 1500, 4, 8, 500, true, true);
        QTest::newRow("tiff grey, one compressed strip") << tiff(2000, 1500, 1, 8, 1500, true);
        QTest::newRow("tiff palette, one compressed strip") << tiff(2000, 1500, 1, 8, 1500, true, false, true);
        QTest::newRow("tiff 16-bit, one compressed strip") << tiff(2000, 1500, 3, 16, 1500, true);
        QTest::newRow("tiff 16-bit alpha") << encoded(QImage::Format_RGBA64, "tiff");
        QTest::newRow("tiff 16-bit grey, one compressed strip") << tiff(2000, 1500, 1, 16, 1500, true);
        QTest::newRow("jpeg") << encoded(QImage::Format_RGB32, "jpeg");
        QTest::newRow("jpeg grey") << encoded(QImage::Format_Grayscale8, "jpeg");
        QTest::newRow("progressive jpeg") << encoded(QImage::Format_RGB32, "jpeg", true);
        QTest::newRow("progressive jpeg grey") << encoded(QImage::Format_Grayscale8, "jpeg", true);
        QTest::newRow("bmp") << encoded(QImage::Format_RGB32, "bmp");
        QTest::newRow("webp") << encoded(QImage::Format_RGB32, "webp");
        QTest::newRow("webp alpha") << encoded(QImage::Format_ARGB32, "webp");
    }
    void costsAreTheRealPeak() {
        QFETCH(QByteArray, bytes);
        const pictures::PictureInfo info = pictures::inspect(bytes);
        QVERIFY2(info.readable(), qPrintable(info.refusal));
        const ItemPicture picture = ItemPicture::fromBytes(bytes);
        QVERIFY(!picture.isNull());
        for (const QSize target : {info.size, QSize(400, 300), QSize(733, 550)}) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            peakallocation::reset();
            const QImage read = pictures::readPicture(reader, {target.width(), 0});
            const qint64 readPeak = peakallocation::peak();
            QCOMPARE(read.width(), target.width());
            const QString readProblem = costProblem("read", target, pictures::decodedBytes(info, target), readPeak);
            QVERIFY2(readProblem.isEmpty(), qPrintable(readProblem));
            peakallocation::reset();
            const QImage drawn = picture.image(target);
            const qint64 drawPeak = peakallocation::peak();
            QCOMPARE(drawn.size(), target);
            QCOMPARE(drawn.depth(), 32);
            const QString drawProblem = costProblem("drawn", target, picture.decodeCost(target), drawPeak);
            QVERIFY2(drawProblem.isEmpty(), qPrintable(drawProblem));
        }
    }

    // A picture drawn with adjustments (the main photo) counts the pipeline's pictures too.
    void adjustedCostsAreTheRealPeak_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < 4; ++kind) {
            QTest::addRow("png, adjustment %d", kind) << encoded(QImage::Format_RGB32, "png") << kind;
            QTest::addRow("jpeg grey, adjustment %d", kind) << encoded(QImage::Format_Grayscale8, "jpeg") << kind;
        }
    }
    void adjustedCostsAreTheRealPeak() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        const ImageAdjustSettings settings[] = {{.sepia = true}, {.rotation = 30}, {.sharpness = 1}, {.blur = 4}};
        const ItemPicture picture = ItemPicture::fromBytes(bytes).adjusted(settings[kind]);
        for (const QSize target : {picture.size(), picture.size() / 5}) {
            peakallocation::reset();
            const QImage drawn = picture.image(target);
            const QString problem = costProblem("adjusted", target, picture.decodeCost(target), peakallocation::peak());
            QCOMPARE(drawn.size(), target);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }
};

QTEST_GUILESS_MAIN(TestDecodeCost)
#include "test_decode_cost.moc"
