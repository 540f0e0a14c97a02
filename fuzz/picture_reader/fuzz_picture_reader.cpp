// Feeds arbitrary bytes to the picture reader as a thumbnail and as a limited picture, and as a picture item
// takes and draws them; whatever it gives must fit the limits asked for, hold no more than it is counted at,
// and a picture that fails to draw must not be decoded again.
// Seeds: run once with NAVU_FUZZ_SEEDS=<folder> to write small GIF, PNG, JPEG, TIFF, BMP and WebP pictures
// there, among them a GIF whose logical screen is larger than its frame, a progressive JPEG repeating its
// last scan, a progressive CMYK JPEG declaring 10000 x 10000, a BMP declaring 65535 x 65535 and a 16-bit PNG.

#include "HostilePictures.h"
#include "PictureDrawing.h"
#include "common/PictureReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>

#include <cstdint>
#include <utility>

namespace {

// A GIF of one 2 x 2 frame on a screen of width x height.
QByteArray gifOnScreen(int width, int height)
{
    QByteArray g("GIF89a");
    auto le16 = [&](int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    le16(width);
    le16(height);
    g.append(char(0x81)).append('\0').append('\0').append(QByteArray::fromHex("000000ff000000ff000000ff"));
    g.append(',');
    for (int v : {0, 0, 2, 2})
        le16(v);
    // 3-bit codes: clear, two pixels, clear, two pixels, end.
    g.append('\0').append(char(2)).append(char(3)).append(QByteArray::fromHex("8c1815")).append('\0').append(';');
    return g;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    fuzzdraw::startDrawing();
    const QString seeds = qEnvironmentVariable("NAVU_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        QDir().mkpath(seeds);
        QImage image(12, 8, QImage::Format_ARGB32);
        image.fill(QColor(200, 40, 90, 180));
        image.setPixelColor(3, 2, Qt::green);
        for (const char* format : {"png", "jpeg", "tiff", "bmp", "webp"}) {
            QFile f(QDir(seeds).filePath(QString::fromLatin1(format)));
            if (f.open(QIODevice::WriteOnly))
                QImageWriter(&f, format).write(image);
        }
        QFile grey(QDir(seeds).filePath(QStringLiteral("grey-png")));
        if (grey.open(QIODevice::WriteOnly))
            QImageWriter(&grey, "png").write(image.convertToFormat(QImage::Format_Grayscale8));
        QFile gif(QDir(seeds).filePath(QStringLiteral("gif-screen")));
        if (gif.open(QIODevice::WriteOnly))
            gif.write(gifOnScreen(300, 20));
        using namespace hostilepictures;
        const QByteArray png = encoded(image, "png");
        for (const auto& [name, bytes] :
             {std::pair{"jpeg-repeated-scan", repeatingLastScan(progressiveGreyJpeg(16, 16), 12)},
              std::pair{"jpeg-cmyk-10000", progressiveJpegDeclaring(10000, 4)},
              std::pair{"bmp-65535", bmpDeclaring(65535, 65535)}, std::pair{"png-16bit", png16(12, 8)},
              std::pair{"png-cut", png.left(png.size() - 20)}, std::pair{"png-damaged", damagedPng(png, 10, true)},
              std::pair{"tiff-one-strip", tiff(12, 8, 3, 8, 8, true)},
              std::pair{"tiff-16bit-planes", tiff(12, 8, 4, 16, 3, true, true)},
              std::pair{"tiff-palette", tiff(12, 8, 1, 8, 8, false, false, true)}}) {
            QFile f(QDir(seeds).filePath(QString::fromLatin1(name)));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const pictures::PictureInfo info = pictures::inspect(bytes);
    for (const pictures::ReadLimits limits : {pictures::ReadLimits{96, 0}, pictures::ReadLimits{400, 40000}}) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QImage image;
        fuzzdraw::heldWithin(pictures::decodedBytes(info, pictures::fitted(info.size, limits)),
                             [&] { image = pictures::readPicture(reader, limits); });
        if (image.isNull())
            continue;
        if (image.width() > limits.maxSide || image.height() > limits.maxSide ||
            (limits.maxPixels > 0 && qint64(image.width()) * image.height() > limits.maxPixels))
            __builtin_trap();
    }
    // As a picture item: taken in as a file is (its data checked), then drawn.
    const ItemPicture picture = ItemPicture::fromBytes(bytes);
    const bool decodes = !picture.isNull() && pictures::checkDecodes(bytes, info).isEmpty();
    fuzzdraw::drawAsTheProgramDoes(picture);
    if (decodes && !picture.drawError().isEmpty())
        __builtin_trap(); // a picture the program would take in that it then cannot draw
    return 0;
}
