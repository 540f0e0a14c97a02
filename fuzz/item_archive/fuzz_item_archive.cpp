// Feeds arbitrary bytes to the item archive reader, the clipboard reader and the card settings reader, and
// draws the pictures they read as the program does (see PictureDrawing.h).
// Seeds: run once with NAVU_FUZZ_SEEDS=<folder> to write archives of every kind (binary and XML) there.

#include "PictureDrawing.h"
#include "canvas/CardPropertyArchive.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <QGuiApplication>
#include <QImageReader>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need a GUI application
    fuzzdraw::startDrawing();
    const QString seeds = qEnvironmentVariable("NAVU_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        QDir().mkpath(seeds);
        int n = 0;
        GraphicList all;
        for (const char* name : {"SKTText", "SKTImage", "SKTSignature", "Shape_Control", "SKTLine", "SKTBarcode"}) {
            GraphicPtr item = makeGraphicOfClass(QString::fromLatin1(name), false);
            QImage red(3, 2, QImage::Format_ARGB32);
            red.fill(Qt::red);
            item->_image = red;
            all << item;
            for (auto format : {plistio::Format::Binary, plistio::Format::Xml}) {
                QFile f(QDir(seeds).filePath(QStringLiteral("seed%1").arg(n++)));
                if (f.open(QIODevice::WriteOnly))
                    f.write(archiveItem(*item, format));
            }
        }
        // A picture as its file came carrying adjustments (a copy of the main photo's item).
        const QByteArray png = fuzzdraw::pngOf(QSize(5, 4), QImage::Format_RGB32);
        ImageAdjustSettings adjust;
        adjust.invert = true;
        adjust.rotation = 90;
        adjust.blur = 1;
        GraphicPtr photo = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
        photo->_image = ItemPicture::fromBytes(png).adjusted(adjust);
        QFile a(QDir(seeds).filePath(QStringLiteral("adjusted")));
        if (a.open(QIODevice::WriteOnly))
            a.write(archiveItem(*photo));
        QFile f(QDir(seeds).filePath(QStringLiteral("clipboard")));
        if (f.open(QIODevice::WriteOnly))
            f.write(graphicsPasteboardData(all));
        PlistPtr card(plist_new_array());
        CardPropertyArchive::append(Card_Property(), card.get());
        QFile c(QDir(seeds).filePath(QStringLiteral("card")));
        if (c.open(QIODevice::WriteOnly))
            c.write(plistio::toBytes(card.get(), plistio::Format::Binary));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    QStringList defaulted;
    if (GraphicPtr item = unarchiveItem(bytes, &error, &defaulted)) {
        // Whatever loads must archive and load again.
        if (!unarchiveItem(archiveItem(*item)))
            std::abort();
        fuzzdraw::drawAsTheProgramDoes(item->_image);
    }
    for (const GraphicPtr& item : graphicsFromPasteboardData(bytes, &error))
        fuzzdraw::drawAsTheProgramDoes(item->_image);
    // The card settings reader takes any array.
    if (const PlistPtr list = plistio::fromBytes(bytes)) {
        Card_Property record;
        CardPropertyArchive::read(list.get(), 0, record);
        fuzzdraw::drawAsTheProgramDoes(record.Card_BG_Image);
    }
    return 0;
}
