// Pictures that claim more than they are: the declared size is refused before decoding, and allowed
// large pictures come out scaled.

#include "TestPictures.h"
#include "HostilePictures.h"
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

using hostilepictures::encoded;

// A small progressive JPEG whose frame header claims side x side pixels, cut off after `keep` bytes.
QByteArray jpegClaiming(int side, int keep) {
    QImage img = filledImage(QSize(64, 64), Qt::darkCyan, QImage::Format_RGB32);
    QByteArray data = encoded(img, "jpeg", true);
    const int sof = data.indexOf(QByteArray("\xFF\xC2", 2));
    if (sof < 0)
        return {};
    qToBigEndian<quint16>(quint16(side), data.data() + sof + 5); // height
    qToBigEndian<quint16>(quint16(side), data.data() + sof + 7); // width
    return data.left(keep);
}

// A PNG whose header (with a valid checksum) claims w x h pixels over the data of a tiny picture.
QByteArray pngClaiming(int w, int h, QByteArray data = {}) {
    QImage img = filledImage(QSize(8, 8), Qt::red, QImage::Format_RGB32);
    if (data.isEmpty())
        data = encoded(img, "png");
    char* ihdr = data.data() + 12; // "IHDR" then 13 bytes of header
    qToBigEndian<quint32>(quint32(w), ihdr + 4);
    qToBigEndian<quint32>(quint32(h), ihdr + 8);
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(ihdr), 17));
    qToBigEndian<quint32>(crc, ihdr + 17);
    return data;
}

// A GIF whose one frame is frame x frame pixels on a logical screen of width x height: Qt declares about
// the frame's size but returns a picture of the screen's.
QByteArray gifOnScreen(int width, int height, int frame) {
    QByteArray g("GIF89a");
    auto le16 = [&](int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    le16(width);
    le16(height);
    g.append(char(0x81)).append('\0').append('\0').append(QByteArray::fromHex("000000ff000000ff000000ff"));
    g.append(',');
    for (int v : {0, 0, frame, frame})
        le16(v);
    g.append('\0').append(char(2));
    // 3-bit codes: a clear code (4) before every two pixels keeps them at 3 bits; 5 ends the data.
    QByteArray codes;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << bits;
        for (bits += 3; bits >= 8; bits -= 8, acc >>= 8)
            codes.append(char(acc & 0xFF));
    };
    for (int i = 0; i < frame * frame; i += 2) {
        put(4);
        put(1);
        put(2);
    }
    put(5);
    codes.append(char(acc & 0xFF));
    g.append(char(codes.size())).append(codes).append('\0').append(';');
    return g;
}

// An 8-bit run-length coded BMP of w x h pixels: a red first run, then the end of the picture.
QByteArray rleBmp(int w, int h) {
    QByteArray b("BM");
    auto le = [&](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    const int header = 14 + 40 + 256 * 4;
    const QByteArray pixels = QByteArray::fromHex("ff01" "0001"); // 255 pixels of colour 1, end of picture
    le(quint32(header + pixels.size()), 4);
    le(0, 4);
    le(header, 4);
    le(40, 4);
    le(quint32(w), 4);
    le(quint32(h), 4);
    le(1, 2);
    le(8, 2);
    le(1, 4); // run-length coded, 8 bits
    le(quint32(pixels.size()), 4);
    le(2835, 4);
    le(2835, 4);
    le(256, 4);
    le(0, 4);
    for (int i = 0; i < 256; ++i)
        le(i == 1 ? 0x00FF0000u : 0x00FFFFFFu, 4);
    return b + pixels;
}

QByteArray greyPng(int w, int h) {
    QImage img(w, h, QImage::Format_Grayscale8);
    img.fill(128);
    return encoded(img, "png");
}

// An uncompressed 24-bit TGA of w x h pixels as image editors write it; with the version 2 footer Qt's reader
// asks for when `footer`.
QByteArray tga(int w, int h, bool footer) {
    QByteArray t(18, '\0');
    t[2] = 2;
    qToLittleEndian<quint16>(quint16(w), t.data() + 12);
    qToLittleEndian<quint16>(quint16(h), t.data() + 14);
    t[16] = 24;
    t[17] = 0x20;
    t += QByteArray(w * h * 3, '\x40');
    return footer ? t + QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.", 18) : t;
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
        const QString megapixels = QStringLiteral(" pixels). Pictures of up to 100 megapixels");
        const QString memory = QStringLiteral(" pixels): reading it would take");
        QTest::newRow("progressive jpeg 46000") << jpegClaiming(46000, 668) << "46000 × 46000" + megapixels;
        QTest::newRow("png 16000") << pngClaiming(16000, 16000) << "16000 × 16000" + megapixels;
        QTest::newRow("png 200000 x 600") << pngClaiming(200000, 600) << "200000 × 600" + megapixels;
        QTest::newRow("bmp 65535") << hostilepictures::bmpDeclaring(65535, 65535) << "65535 × 65535" + megapixels;
        // Each scan is a pass over the whole picture; the coefficients of every channel are held at full size.
        QTest::newRow("jpeg repeating a scan") << hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(256, 256), 20000) << QStringLiteral("more scans than picture programs write");
        QTest::newRow("progressive cmyk jpeg 10000") << hostilepictures::progressiveJpegDeclaring(10000, 4) << "10000 × 10000" + memory;
        QTest::newRow("16-bit png 10000") << pngClaiming(10000, 10000, hostilepictures::png16(8, 8)) << "10000 × 10000" + memory;
        // Qt's reader keeps every text a PNG holds; an icon's PNG is decoded whole at its own size.
        // Its decoder walks its list of kept blocks to the end for each new one.
        QTest::newRow("jpeg of 2000 comments") << hostilepictures::jpegWithComments(hostilepictures::progressiveGreyJpeg(64, 64), 2000) << QStringLiteral("comment and metadata blocks");
        QTest::newRow("png of 64 MB of text") << hostilepictures::pngWithTexts(pngClaiming(8, 8), 64, 1 << 20) << QStringLiteral("MB of text");
        QTest::newRow("icon of a 16-bit png 10000") << hostilepictures::iconHolding(pngClaiming(10000, 10000, hostilepictures::png16(8, 8))) << "10000 × 10000" + memory;
        QTest::newRow("icon of a png of 64 MB of text") << hostilepictures::iconHolding(hostilepictures::pngWithTexts(pngClaiming(8, 8), 64, 1 << 20)) << QStringLiteral("MB of text");
    }
    void bombsAreRefusedUnread() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, claim);
        QVERIFY(!bytes.isEmpty());
        const QString path = write(QStringLiteral("bomb"), bytes);
        const qint64 before = peakRssMB();
        QString why;
        QVERIFY(!pictures::inspectFile(path).readable());
        QVERIFY(pictures::readPictureFile(path, {}, &why).isNull());
        QVERIFY2(why.contains(claim), qPrintable(why));
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

    // The picture a decoder gives is held to the limits whatever the file declared: scaled down, or refused.
    void picturesGotAreHeldToTheLimits_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("item");   // as a picture item reads it; 0 x 0: refused
        QTest::addColumn<QString>("claim"); // the size the refusal names
        QTest::newRow("wide screen") << gifOnScreen(65535, 480, 20) << QSize(65535, 480) << QString();
        QTest::newRow("large screen") << gifOnScreen(5000, 5000, 20) << QSize(5000, 5000) << QString();
        QTest::newRow("huge screen") << gifOnScreen(65535, 65535, 20) << QSize(0, 0) << QStringLiteral("65535 × 65535");
    }
    void picturesGotAreHeldToTheLimits() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, item);
        QFETCH(QString, claim);
        const QString path = write(QStringLiteral("screen.gif"), bytes);
        QString why;
        // A picture item keeps the bytes and decodes at the size drawn.
        const ItemPicture picture = SKTImage::loadPicture(path, &why);
        QCOMPARE(picture.size(), item);
        QVERIFY2(claim.isEmpty() || why.contains(claim), qPrintable(why));
        if (!item.isEmpty())
            QCOMPARE(picture.image(QSize(300, 40)).size(), QSize(300, 40));
        // Thumbnails are made at their final size, proportions kept.
        const QImage thumb = pictures::readThumbnail(path, 96, &why);
        QCOMPARE(qMax(thumb.width(), thumb.height()), item.isEmpty() ? 0 : 96);
        QVERIFY(thumb.width() >= thumb.height());
        QCOMPARE(MainPhoto::readPicture(path).size(), item); // the main photo takes what an item takes
    }

    // A picture whose data does not decode: refused where a file is taken in; kept with its bytes in a design.
    void picturesThatDoNotDecode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("seenUndecoded"); // found without decoding
        QImage photo(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x * 7 ^ y * 3, (x * y) & 255, y));
        const QByteArray png = encoded(photo, "png");
        QVERIFY(pictures::checkDecodes(png, pictures::inspect(png)).isEmpty());
        QTest::newRow("cut in its data") << png.left(png.size() / 3) << true;
        QTest::newRow("cut before its end") << png.left(png.size() - 12) << true;
        QTest::newRow("damaged byte") << hostilepictures::damagedPng(png, 500, false) << true;
        QTest::newRow("damaged byte, checksum matching") << hostilepictures::damagedPng(png, 500, true) << false;
    }
    void picturesThatDoNotDecode() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, seenUndecoded);
        const QString damaged = pictures::undecodableMessage();
        const QString path = write(QStringLiteral("half.png"), bytes);
        QVERIFY(pictures::inspect(bytes).readable());
        QString why;
        QVERIFY(SKTImage::loadPicture(path, &why).isNull());
        QCOMPARE(why, QStringLiteral("half.png: ") + damaged);
        why.clear();
        QVERIFY(MainPhoto::readPicture(path, &why).isNull());
        QCOMPARE(why, QStringLiteral("half.png: ") + damaged);
        const ItemPicture kept = ItemPicture::fromBytes(bytes, &why);
        QVERIFY(!kept.isNull());
        QCOMPARE(kept.bytes(), bytes);
        QCOMPARE(kept.drawError(), seenUndecoded ? damaged : QString());
        QVERIFY(kept.image(QSize(40, 30)).isNull());
        QCOMPARE(kept.drawError(), damaged);
        QVERIFY(kept.claimReport());
        QVERIFY(!kept.claimReport());
    }

    // A file is a picture only where a reader both owns it and declares its size; else every road refuses it.
    void filesNoReaderReadsAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        // An uncompressed TGA as image editors write it (no version 2 footer): Qt's icon reader claims its header.
        QTest::newRow("tga") << tga(64, 48, false);
        const QImage red = filledImage(QSize(64, 48), Qt::red, QImage::Format_RGB32);
        QTest::newRow("icns") << encoded(red.scaled(128, 128), "icns");
        // An MNG of one embedded PNG frame.
        const QByteArray png = encoded(red, "png");
        QByteArray mhdr(28, '\0');
        qToBigEndian<quint32>(64, mhdr.data());
        qToBigEndian<quint32>(48, mhdr.data() + 4);
        QTest::newRow("mng") << QByteArray("\x8aMNG\r\n\x1a\n", 8) + hostilepictures::pngChunk("MHDR", mhdr) + png.mid(8) + hostilepictures::pngChunk("MEND", {});
        QTest::newRow("pcx") << QByteArray("\x0a\x05\x01\x08", 4) + QByteArray(124, '\0');
    }
    void filesNoReaderReadsAreRefused() {
        QFETCH(QByteArray, bytes);
        const QString path = write(QStringLiteral("picture.x"), bytes);
        QCOMPARE(pictures::inspect(bytes).refusal, pictures::notAPictureMessage());
        QString why;
        QVERIFY(pictures::readPictureFile(path, {}, &why).isNull());
        QCOMPARE(why, pictures::notAPictureMessage());
        QVERIFY(SKTImage::loadPicture(path, &why).isNull());
        QCOMPARE(why, QStringLiteral("picture.x: ") + pictures::notAPictureMessage());
        QVERIFY(ItemPicture::fromBytes(bytes).isNull());
    }

    // Honest pictures up to the source limit read, scaled to what the road takes.
    void picturesAtTheSourceLimitRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("grey png") << greyPng(10000, 10000);
        QTest::newRow("run-length bmp") << rleBmp(10000, 10000);
    }
    void picturesAtTheSourceLimitRead() {
        QFETCH(QByteArray, bytes);
        const QString path = write(QStringLiteral("honest"), bytes);
        QString why;
        QCOMPARE(pictures::readThumbnail(path, 96, &why).size(), QSize(96, 96));
        const ItemPicture picture = SKTImage::loadPicture(path, &why);
        QVERIFY2(!picture.isNull(), qPrintable(why));
        QCOMPARE(picture.size(), QSize(10000, 10000));
        QCOMPARE(picture.image(QSize(120, 120)).size(), QSize(120, 120));
        QVERIFY(!MainPhoto::readPicture(path, &why).isNull());
        QCOMPARE(pictures::readPictureFile(path, {}, &why).size(), QSize(10000, 10000));
    }

    // What a file declares is read without decoding it, and is what its decoder makes.
    void inspectTellsWhatDecodingTakes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("bytesPerPixel");
        QTest::addColumn<qint64>("decoderBytes"); // a multi-scan JPEG's coefficients
        QImage rgb = filledImage(QSize(300, 200), Qt::darkCyan, QImage::Format_RGB32);
        QTest::newRow("grey png") << greyPng(300, 200) << QByteArray("png") << QSize(300, 200) << 1 << 0LL;
        QTest::newRow("16-bit png") << hostilepictures::png16(300, 200) << QByteArray("png") << QSize(300, 200) << 8 << 0LL;
        QTest::newRow("jpeg") << encoded(rgb, "jpeg") << QByteArray("jpeg") << QSize(300, 200) << 4 << 0LL;
        // 38 x 25 luma blocks, 19 x 13 of each chroma channel, 128 bytes a block.
        QTest::newRow("progressive jpeg") << encoded(rgb, "jpeg", true) << QByteArray("jpeg") << QSize(300, 200) << 4 << (38 * 26 + 2 * 19 * 13) * 128LL;
        QTest::newRow("progressive grey jpeg") << hostilepictures::progressiveGreyJpeg(300, 200) << QByteArray("jpeg") << QSize(300, 200) << 1 << 38 * 25 * 128LL;
        QTest::newRow("gif screen") << gifOnScreen(300, 200, 20) << QByteArray("gif") << QSize(300, 200) << 4 << 0LL;
        QTest::newRow("bmp") << encoded(rgb, "bmp") << QByteArray("bmp") << QSize(300, 200) << 4 << 0LL;
        QTest::newRow("png of some text") << hostilepictures::pngWithTexts(encoded(rgb, "png"), 8, 1 << 20) << QByteArray("png") << QSize(300, 200) << 4 << 8 * (8LL << 20); // Qt's reader keeps its texts in several copies
        QTest::newRow("icon of a png") << hostilepictures::iconHolding(encoded(rgb, "png")) << QByteArray("ico") << QSize(300, 200) << 4 << 0LL;
        QTest::newRow("icon of a bitmap") << encoded(rgb.scaled(64, 48), "ico") << QByteArray("ico") << QSize(64, 48) << 4 << 0LL;
        QTest::newRow("tga of version 2") << tga(300, 200, true) << QByteArray("tga") << QSize(300, 200) << 4 << 0LL;
    }
    void inspectTellsWhatDecodingTakes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QFETCH(int, bytesPerPixel);
        QFETCH(qint64, decoderBytes);
        const pictures::PictureInfo info = pictures::inspect(bytes);
        QVERIFY2(info.readable(), qPrintable(info.refusal));
        QCOMPARE(info.format, format);
        QCOMPARE(info.size, size);
        QCOMPARE(info.bytesPerPixel, bytesPerPixel);
        QCOMPARE(info.decoderBytes, decoderBytes);
        const QString path = write(QStringLiteral("probed"), bytes);
        QCOMPARE(pictures::inspectFile(path).size, size);
        const QImage whole = pictures::readPictureFile(path, {});
        QCOMPARE(whole.depth(), bytesPerPixel * 8);
        // The decoder's buffers and the picture, and a fixed part for its state (test_decode_cost measures it).
        const qint64 counted = pictures::decodedBytes(info, {});
        QVERIFY(counted >= decoderBytes + whole.sizeInBytes() && counted <= decoderBytes + whole.sizeInBytes() + (1 << 20));
        QVERIFY(pictures::decodedBytes(info, QSize(30, 20)) >= pictures::readPictureFile(path, {30, 0}).sizeInBytes());
    }

    // A large allowed picture comes out at the asked size, proportions kept.
    void largePicturesComeOutScaled() {
        QImage img = filledImage(QSize(4000, 3000), Qt::blue, QImage::Format_RGB32);
        const QString path = write(QStringLiteral("big.jpg"), encoded(img, "jpeg"));
        const QImage thumb = pictures::readThumbnail(path, 96);
        QCOMPARE(thumb.size(), QSize(96, 72));
        const QImage capped = pictures::readPictureFile(path, {0, 3'000'000});
        QVERIFY(capped.width() * qint64(capped.height()) <= 3'000'000);
        QVERIFY(qAbs(capped.width() * 3 - capped.height() * 4) <= 4);
        QCOMPARE(pictures::readPictureFile(path, {}).size(), QSize(4000, 3000));
        // Stopped, it gives nothing, and says so.
        const std::atomic<bool> stop{true};
        QString why;
        QVERIFY(pictures::readPictureFile(path, {}, &why, &stop).isNull());
        QVERIFY2(why.contains(QStringLiteral("stopped")), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestPictureReader)
#include "test_picture_reader.moc"
