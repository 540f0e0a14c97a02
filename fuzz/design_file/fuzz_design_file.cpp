// Feeds arbitrary bytes to the design-file reader.
// Seeds: run once with NAVU_FUZZ_SEEDS=<folder> to write a design with every item kind there (binary and
// XML).

#include "app/designfile/DesignFile.h"
#include "canvas/SKTItems.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need a GUI application
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
    return 0;
}
