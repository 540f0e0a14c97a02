// Feeds arbitrary bytes to the design-file reader, and draws the pictures a design holds as the program does
// (see PictureDrawing.h).
// Seeds: run once with NAVU_FUZZ_SEEDS=<folder> to write a design with every item kind there (binary and
// XML), a design holding a background picture, and binary designs whose rows share dictionaries and whose
// items share one archive.

#include "PictureDrawing.h"
#include "app/designfile/CompactPlist.h"
#include "app/designfile/DesignFile.h"
#include "canvas/SKTItems.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

#include <QHash>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need a GUI application
    fuzzdraw::startDrawing();
    const QString seeds = qEnvironmentVariable("NAVU_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        QDir().mkpath(seeds);
        DesignData d;
        for (const char* name :
             {"SKTText", "SKTImage", "SKTSignature", "Shape_Control", "SKTLine", "SKTBarcode"})
            d.frontItems << makeGraphicOfClass(QString::fromLatin1(name), false);
        d.backItems << makeGraphicOfClass(QStringLiteral("SKTText"), false);
        d.sheet.columnTitles = {QStringLiteral("Row No."), QStringLiteral("Name")};
        d.sheet.rows = DataTableContent::ofRows({{QStringLiteral("1"), QStringLiteral("A")},
                                                 {QStringLiteral("2"), QString::fromUtf8("Z\xC3\xBCrich")},
                                                 {QStringLiteral("3"), QStringLiteral("A")}},
                                                2);
        for (bool xml : {false, true}) {
            QFile f(QDir(seeds).filePath(xml ? QStringLiteral("design.xml") : QStringLiteral("design.bin")));
            if (f.open(QIODevice::WriteOnly))
                f.write(designfile::toBytes(d, xml));
        }
        {
            // Picture items holding a picture, and one cut short.
            const QByteArray png = fuzzdraw::pngOf(QSize(6, 4), QImage::Format_ARGB32);
            DesignData pictures = d;
            pictures.frontItems.clear();
            for (const QByteArray& bytes : {png, png.left(png.size() - 16)}) {
                GraphicPtr item = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
                item->_image = ItemPicture::fromBytes(bytes);
                pictures.frontItems << item;
            }
            QFile f(QDir(seeds).filePath(QStringLiteral("design-pictures.bin")));
            if (f.open(QIODevice::WriteOnly))
                f.write(designfile::toBytes(pictures));
        }
        {
            // A back whose background picture the design holds, turned and grey.
            DesignData b;
            const QByteArray png = fuzzdraw::pngOf(QSize(6, 4), QImage::Format_RGB32);
            ImageAdjustSettings a;
            a.grayscale = true;
            a.rotation = 90;
            b.back.Card_fill_style = QStringLiteral("I");
            b.back.Card_BG_Image = ItemPicture::fromBytes(png).adjusted(a);
            QFile f(QDir(seeds).filePath(QStringLiteral("design-background.bin")));
            if (f.open(QIODevice::WriteOnly))
                f.write(designfile::toBytes(b));
        }
        // Equal item archives and row dictionaries written once and referred to from every place.
        d.frontItems = {d.backItems[0], d.backItems[0], d.backItems[0]};
        const PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
        plist_t rowsSlot = plist_array_get_item(root.get(), designfile::SheetRowsIndex);
        QHash<QByteArray, quint32> archives;
        CompactPlistWriter w;
        const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
            if (node == rowsSlot) {
                const auto dict = writer.beginDict(2);
                writer.setEntry(dict, 2, 0, writer.addText(QStringLiteral("Extension")), writer.addText(QStringLiteral("1")));
                writer.setEntry(dict, 2, 1, writer.addText(QStringLiteral("Column1")), writer.addText(QStringLiteral("A")));
                const auto rows = writer.beginArray(6);
                for (quint32 r = 0; r < 6; ++r)
                    writer.setElement(rows, r, dict.index);
                return rows.index;
            }
            if (plist_get_node_type(node) != PLIST_DATA)
                return CompactPlistWriter::NotMine;
            const auto bytes = plistio::dataValue(node, plistio::MaxPlistBytes).value_or(QByteArray());
            if (!archives.contains(bytes))
                archives.insert(bytes, writer.addData(bytes.constData(), quint64(bytes.size())));
            return archives.value(bytes);
        });
        QFile f(QDir(seeds).filePath(QStringLiteral("design-shared.bin")));
        if (top && f.open(QIODevice::WriteOnly))
            f.write(w.finish(*top));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const auto design = designfile::fromBytes(bytes, &error);
    // What is accepted must write out again and read back.
    if (design && !designfile::fromBytes(designfile::toBytes(*design)))
        __builtin_trap();
    if (design) {
        for (const GraphicList* items : {&design->frontItems, &design->backItems})
            for (const GraphicPtr& item : *items)
                fuzzdraw::drawAsTheProgramDoes(item->_image);
        for (const Card_Property* side : {&design->front, &design->back})
            fuzzdraw::drawAsTheProgramDoes(side->Card_BG_Image);
        fuzzdraw::drawAsTheProgramDoes(design->photoOriginal);
    }
    return 0;
}
