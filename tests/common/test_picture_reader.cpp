// Pictures that claim more than they are: the declared size is refused before decoding, and allowed
// large pictures come out scaled.

#include "canvas/SKTItems.h"
#include "common/PictureReader.h"
#include "wizards/MainPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>
#include <zlib.h>

namespace {

QByteArray encode(const QImage& image, const char* format, bool progressive = false) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return buffer.data();
}

// A small progressive JPEG whose frame header claims side x side pixels, cut off after `keep` bytes.
QByteArray jpegClaiming(int side, int keep) {
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray data = encode(img, "jpeg", true);
    const int sof = data.indexOf(QByteArray("\xFF\xC2", 2));
    if (sof < 0)
        return {};
    qToBigEndian<quint16>(quint16(side), data.data() + sof + 5); // height
    qToBigEndian<quint16>(quint16(side), data.data() + sof + 7); // width
    return data.left(keep);
}

// A PNG whose header (with a valid checksum) claims w x h pixels over the data of a tiny picture.
QByteArray pngClaiming(int w, int h) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray data = encode(img, "png");
    char* ihdr = data.data() + 12; // "IHDR" then 13 bytes of header
    qToBigEndian<quint32>(quint32(w), ihdr + 4);
    qToBigEndian<quint32>(quint32(h), ihdr + 8);
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(ihdr), 17));
    qToBigEndian<quint32>(crc, ihdr + 17);
    return data;
}

qint64 peakRssMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

} // namespace

class TestPictureReader : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

private slots:
    void bombsAreRefusedUnread_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("claim");
        QTest::newRow("progressive jpeg 46000")
            << jpegClaiming(46000, 668) << QStringLiteral("46000 × 46000");
        QTest::newRow("png 16000") << pngClaiming(16000, 16000) << QStringLiteral("16000 × 16000");
        QTest::newRow("png 200000 x 600") << pngClaiming(200000, 600) << QStringLiteral("200000 × 600");
    }
    void bombsAreRefusedUnread() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, claim);
        QVERIFY(!bytes.isEmpty());
        const QString path = write(QStringLiteral("bomb"), bytes);
        const qint64 before = peakRssMB();
        QString why;
        QVERIFY(pictures::readPictureFile(path, {}, &why).isNull());
        QVERIFY2(why.contains(claim) && why.contains(QStringLiteral("100 megapixels")), qPrintable(why));
        why.clear();
        QVERIFY(pictures::readThumbnail(path, 96, &why).isNull());
        QVERIFY(!why.isEmpty());
        // Every road that reads a picture refuses it the same way.
        why.clear();
        QVERIFY(SKTImage::loadPicture(path, &why).isNull());
        QVERIFY(why.contains(claim));
        why.clear();
        QVERIFY(MainPhoto::readPicture(path, &why).isNull());
        QVERIFY(why.contains(claim));
        SKTImage item(false);
        item.setFilePath(path);
        QVERIFY(item._image.isNull());
        QVERIFY(item.pictureError().contains(claim));
        QVERIFY2(peakRssMB() - before < 300, qPrintable(QString::number(peakRssMB() - before)));
    }

    // A large allowed picture comes out at the asked size, proportions kept.
    void largePicturesComeOutScaled() {
        QImage img(4000, 3000, QImage::Format_RGB32);
        img.fill(Qt::blue);
        const QString path = write(QStringLiteral("big.jpg"), encode(img, "jpeg"));
        const QImage thumb = pictures::readThumbnail(path, 96);
        QCOMPARE(thumb.size(), QSize(96, 72));
        const QImage capped = pictures::readPictureFile(path, {0, 3'000'000});
        QVERIFY(capped.width() * qint64(capped.height()) <= 3'000'000);
        QVERIFY(qAbs(capped.width() * 3 - capped.height() * 4) <= 4);
        QCOMPARE(pictures::readPictureFile(path, {}).size(), QSize(4000, 3000));
    }
};

QTEST_GUILESS_MAIN(TestPictureReader)
#include "test_picture_reader.moc"
