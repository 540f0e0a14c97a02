#include "TwoDTestUtil.h"

#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/TwoDImages.h"

#include <QRandomGenerator>
#include <QtTest>
#include <zint.h>

namespace {

QString randomAscii(QRandomGenerator& rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(char16_t(32 + rng.bounded(95)));
    return s;
}

Decoded decodeSymbol(const DataMatrixParams& params, const QString& value, QString* reason = nullptr)
{
    const TwoDResult r = makeDataMatrixImage(params, value);
    if (reason)
        *reason = r.reason;
    if (!r.ok())
        return {};
    return decodeImage(r.image, r.image.width() / 4 + 8, params.bg);
}

// Data codewords of a fixed size (ISO/IEC 16022 Table 7), in the order of the format list.
const int kDataWords[30] = {3,   5,   8,   12,  18,  22,  30,  36,  44,  62,  86,  114, 144, 174, 204,
                            280, 368, 456, 576, 696, 816, 1050, 1304, 1558, 5, 10, 16, 22, 32, 49};

} // namespace

class TestDataMatrix : public QObject {
    Q_OBJECT
private slots:
    void listsAndRequestedSize()
    {
        QCOMPARE(dataMatrixFormats().size(), 31);
        QCOMPARE(dataMatrixFormats().first(), QStringLiteral("Auto"));
        QCOMPARE(dataMatrixFormats().last(), QStringLiteral("C16X48"));
        QCOMPARE(dataMatrixEncodings(),
                 QStringList({"Auto", "Ascii", "C40", "Text", "Base256"}));
        int rows = -1, cols = -1;
        dataMatrixRequestedSize(QStringLiteral("C8X18"), &rows, &cols);
        QCOMPARE(rows, 8);
        QCOMPARE(cols, 18);
        dataMatrixRequestedSize(QStringLiteral("Auto"), &rows, &cols);
        QCOMPARE(rows + cols, 0);
        dataMatrixRequestedSize(QStringLiteral("C10"), &rows, &cols);
        QCOMPARE(rows + cols, 0);
    }

    void fixedSizesMatchZint_data()
    {
        QTest::addColumn<int>("format");
        for (int i = 1; i <= 30; ++i)
            QTest::newRow(qPrintable(dataMatrixFormats()[i])) << i;
    }
    void fixedSizesMatchZint()
    {
        QFETCH(int, format);
        int rows = 0, cols = 0;
        dataMatrixRequestedSize(dataMatrixFormats()[format], &rows, &cols);
        const int words = kDataWords[format - 1];
        // Full (one pad codeword) and half full (many pads), digits only.
        for (int digits : {2 * (words - 1), words}) {
            QByteArray data;
            for (int i = 0; i < digits; ++i)
                data += char('0' + (i * 7 + 3) % 10);
            const auto ours = encodeDataMatrix(data, format, 1); // ASCII: digit pairs, as zint

            QVERIFY(ours.has_value());
            QCOMPARE(ours->height, rows);
            QCOMPARE(ours->width, cols);
            const RefSymbol ref = zintEncode(BARCODE_DATAMATRIX, data, 0, format, 0);
            QVERIFY2(ref.ok(), qPrintable(ref.error));
            QCOMPARE(ref.rows, rows);
            QCOMPARE(ref.width, cols);
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < cols; ++x)
                    if (ref.modules[std::size_t(y)][std::size_t(x)] != ours->at(x, y))
                        QFAIL(qPrintable(QStringLiteral("%1 digits: module (%2, %3) differs").arg(digits).arg(x).arg(y)));
        }
    }

    void largestSizeDecodes()
    {
        // 144 x 144 interleaves ten blocks of unequal length.
        QByteArray data;
        for (int i = 0; i < 3000; ++i)
            data += char('0' + (i * 7 + 3) % 10);
        const auto sym = encodeDataMatrix(data, 24, 1);
        QVERIFY(sym.has_value());
        QCOMPARE(sym->width, 144);
        QImage img(sym->width * 3, sym->height * 3, QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, sym->at(x / 3, y / 3) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        const Decoded d = decodeImage(img, 12);
        QVERIFY(d.ok);
        QCOMPARE(d.bytes, data);
    }

    void firstRowAtTheTop()
    {
        const auto sym = encodeDataMatrix("HELLO", 0, 0);
        QVERIFY(sym.has_value());
        const int w = sym->width, h = sym->height;
        for (int y = 0; y < h; ++y)
            QVERIFY(sym->at(0, y)); // solid left edge
        for (int x = 0; x < w; ++x) {
            QVERIFY(sym->at(x, h - 1));        // solid bottom edge
            QCOMPARE(sym->at(x, 0), x % 2 == 0); // clock track on top
        }
        // The image shows the grid as it stands, inside a one-module border.
        DataMatrixParams p;
        p.moduleSize = 1;
        p.dpi = 720; // ten pixels a module
        const TwoDResult r = makeDataMatrixImage(p, QStringLiteral("HELLO"));
        QVERIFY(r.ok());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                QCOMPARE(r.image.pixel(15 + 10 * x, 15 + 10 * y) == qRgb(0, 0, 0), sym->at(x, y));
        QCOMPARE(r.image.pixel(5, 5), qRgb(255, 255, 255));
    }

    void epsText()
    {
        const auto sym = encodeDataMatrix("ABC", 25, 0); // C8X18
        QVERIFY(sym.has_value());
        QCOMPARE(sym->width, 18);
        QCOMPARE(sym->height, 8);
        std::vector<uint8_t> bottomFirst;
        for (int y = sym->height - 1; y >= 0; --y)
            for (int x = 0; x < sym->width; ++x)
                bottomFirst.push_back(sym->at(x, y));
        const QByteArray eps = makeEPS_Data_Matrix("ABC", 18, 8, bottomFirst);
        const QList<QByteArray> lines = eps.split('\n');
        QCOMPARE(lines[0], QByteArray("%!PS-Adobe-3.0 EPSF-3.0"));
        QCOMPARE(lines[2], QByteArray("%%BarcodeData: ABC"));
        QCOMPARE(lines[3], QByteArray("%%BarcodeSize: 18x8"));
        QCOMPARE(lines[8], QByteArray("%%BoundingBox: 0 0 20 10"));
        QCOMPARE(lines[11], QByteArray("18 8 1[1 0 0 1 -1 -1]{<"));
        QVERIFY(eps.endsWith("\n>}image\n"));
        // First data row is the bottom row: all dark, 18 modules = 3 bytes, the last with six filler ones.
        QVERIFY2(lines[12].startsWith("00003F "), lines[12].constData());

        // A row of ten modules: two bytes, the second holding two modules and six filler bits.
        std::vector<uint8_t> grid(10, 0);
        grid[0] = grid[9] = 1;
        const QByteArray one = makeEPS_Data_Matrix("x", 10, 1, grid);
        QVERIFY(one.contains("\n7FBF \n\n>}image\n"));
    }

    void epsLineBreaks()
    {
        // 144 modules: 18 bytes = 36 digits and a blank per row, 19 counts; the line breaks after the 5th row (95).
        std::vector<uint8_t> grid(144 * 144, 0);
        const QByteArray eps = makeEPS_Data_Matrix("x", 144, 144, grid);
        const QList<QByteArray> lines = eps.split('\n');
        const QByteArray row = QByteArray("FF").repeated(18) + ' ';
        QCOMPARE(lines[12], row.repeated(5));
        QCOMPARE(lines.size(), 12 + 29 + 3); // 144 rows in 28 full lines and one of 4 rows, then the trailer
        QCOMPARE(lines[40], row.repeated(4));
    }

    void failureReport()
    {
        DataMatrixFailure f;
        QVERIFY(!encodeDataMatrix("THIS VALUE IS FAR TOO LONG FOR TEN BY TEN", 1, 1, &f));
        QCOMPARE(f.errorText, QByteArray("No barcode produced\n"));
        const QList<QByteArray> out = f.outputText.split('\n');
        QCOMPARE(out[0], QByteArray("Size    : 10x10"));
        QVERIFY(out[1].startsWith("Encoded : "));
        QVERIFY(out[1].endsWith(" of 3 bytes with 5 bytes of ecc"));
        QCOMPARE(out[2], QByteArray("Barcode : THIS VALUE IS FAR TOO LONG FOR TEN BY TEN"));
        QCOMPARE(out[3], QByteArray("Encoding: ") + QByteArray(41, 'A'));
        // One letter for each character, not for each UTF-8 byte.
        QVERIFY(!encodeDataMatrix(QStringLiteral("Grüße aus Köln").toUtf8(), 1, 2, &f));
        QVERIFY(f.outputText.endsWith("Encoding: CCCCCCCCCCCCCC\n"));
        // Through the image maker: no image, a reason.
        DataMatrixParams p;
        p.formatIndex = 1;
        const TwoDResult r = makeDataMatrixImage(p, QStringLiteral("THIS VALUE IS FAR TOO LONG FOR TEN BY TEN"));
        QVERIFY(!r.ok());
        QVERIFY(r.reason.contains(QStringLiteral("C10X10")));
        QCOMPARE(dataMatrixFailureText(18, 8, 4, 5, 7, "v", "").outputText,
                 QByteArray("Size    : 18x8\nEncoded : 4 of 5 bytes with 7 bytes of ecc\nBarcode : v\nEncoding: \n"));
    }

    void moduleSizeGivesImageSize()
    {
        // 10 x 10 symbol, module 2: 24 x 24 points with the border, 200 pixels at 600 dpi.
        DataMatrixParams p;
        p.formatIndex = 1;
        p.moduleSize = 2;
        const TwoDResult r = makeDataMatrixImage(p, QStringLiteral("12"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.sizePoints, QSizeF(24, 24));
        QCOMPARE(r.image.size(), QSize(200, 200));
        // C8X18: 18 modules wide, 8 high.
        p.formatIndex = 25;
        p.moduleSize = 3;
        p.dpi = 72;
        const TwoDResult rect = makeDataMatrixImage(p, QStringLiteral("12"));
        QVERIFY(rect.ok());
        QCOMPARE(rect.sizePoints, QSizeF(60, 30));
        QCOMPARE(rect.image.size(), QSize(60, 30));
    }

    void invalidInputGivesReason_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("module");
        QTest::newRow("empty") << QString() << 0 << 0 << 2;
        QTest::newRow("format -1") << "A" << -1 << 0 << 2;
        QTest::newRow("format 31") << "A" << 31 << 0 << 2;
        QTest::newRow("encoding 5") << "A" << 0 << 5 << 2;
        QTest::newRow("module 0") << "A" << 0 << 0 << 0;
        QTest::newRow("too long") << QString(3200, QLatin1Char('x')) << 0 << 4 << 2;
    }
    void invalidInputGivesReason()
    {
        QFETCH(QString, value);
        QFETCH(int, format);
        QFETCH(int, encoding);
        QFETCH(int, module);
        DataMatrixParams p;
        p.formatIndex = format;
        p.encodingIndex = encoding;
        p.moduleSize = module;
        const TwoDResult r = makeDataMatrixImage(p, value);
        QVERIFY(!r.ok());
        QVERIFY(!r.reason.isEmpty());
    }

    void everySchemeDecodes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("underscore") << QStringLiteral("a_b_c__d_");
        QTest::newRow("caret") << QStringLiteral("^x^^y^");
        QTest::newRow("mixed") << QStringLiteral("Hello, World! 0123456789 _^~{}|");
        QTest::newRow("upper digits") << QStringLiteral("ABC123XYZ789 THE END");
        QTest::newRow("long") << QString(QStringLiteral("The quick brown fox_jumps^over 1234567890. ")).repeated(12);
        QTest::newRow("non-ascii") << QStringLiteral("Straße € 5 日本語 😀");
    }
    void everySchemeDecodes()
    {
        QFETCH(QString, value);
        const QByteArray bytes = value.toUtf8();
        for (int scheme = 0; scheme < 5; ++scheme) {
            DataMatrixParams p;
            p.encodingIndex = scheme;
            p.moduleSize = 3;
            p.dpi = 96;
            QString reason;
            const Decoded d = decodeSymbol(p, value, &reason);
            QVERIFY2(d.ok, qPrintable(QStringLiteral("scheme %1: %2").arg(scheme).arg(reason)));
            QCOMPARE(d.bytes, bytes);
            QCOMPARE(d.text, value); // read back as UTF-8

        }
    }

    void randomValuesDecode()
    {
        QRandomGenerator rng(16022);
        for (int scheme = 0; scheme < 5; ++scheme)
            for (int i = 0; i < 30; ++i) {
                const QString value = randomAscii(rng, 1 + rng.bounded(i < 25 ? 30 : 300));
                DataMatrixParams p;
                p.encodingIndex = scheme;
                p.moduleSize = 3;
                p.dpi = 72;
                const Decoded d = decodeSymbol(p, value);
                QVERIFY2(d.ok, qPrintable(QStringLiteral("scheme %1: %2").arg(scheme).arg(value)));
                QCOMPARE(d.text, value);
            }
    }

    void pixelsArePureAtEveryResolution()
    {
        DataMatrixParams p;
        p.fg = QColor(10, 80, 10);
        p.bg = QColor(240, 240, 255);
        for (int dpi : {72, 100, 300, 600, 1200, 2400}) {
            p.dpi = dpi;
            p.moduleSize = 1 + dpi % 4;
            const TwoDResult r = makeDataMatrixImage(p, QStringLiteral("NAVU-2026"));
            QVERIFY(r.ok());
            QCOMPARE(r.image.width(), pixelsFor(r.sizePoints.width(), dpi));
            QCOMPARE(r.image.height(), pixelsFor(r.sizePoints.height(), dpi));
            QVERIFY(pixelsArePure(r.image, p.fg.rgba(), p.bg.rgba()));
        }
    }

    void areaChoosesTheSymbol_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("format"); // empty: refused
        QTest::addColumn<QString>("reason"); // part of the reason
        QTest::newRow("exact square") << QByteArray("HELLO") << 44.0 << 44.0 << 2 << "C22X22"
                                      << "";
        QTest::newRow("between sizes") << QByteArray("HELLO") << 47.9 << 60.0 << 2 << "C22X22"
                                       << "";
        QTest::newRow("wide and low") << QByteArray("HELLO") << 100.0 << 30.0 << 2 << "C12X36"
                                      << "";
        QTest::newRow("low strip") << QByteArray("12") << 36.0 << 16.0 << 2 << "C8X18"
                                   << "";
        QTest::newRow("no value") << QByteArray() << 30.0 << 30.0 << 3 << "C10X10"
                                  << "";
        QTest::newRow("too small for the value")
            << QByteArray("THIS VALUE NEEDS MORE ROOM") << 30.0 << 30.0 << 2 << ""
            << "at least 20 modules wide and 20 high";
        QTest::newRow("smaller than any") << QByteArray("A") << 19.0 << 100.0 << 2 << ""
                                          << "hold no Data Matrix symbol";
        QTest::newRow("too long for any") << QByteArray(3200, '1') << 1000.0 << 1000.0 << 2 << ""
                                          << "too long for any";
    }
    void areaChoosesTheSymbol()
    {
        QFETCH(QByteArray, value);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, module);
        QFETCH(QString, format);
        QFETCH(QString, reason);
        const DataMatrixAreaChoice c = dataMatrixFormatForArea(value, 0, width, height, module);
        if (format.isEmpty()) {
            QCOMPARE(c.formatIndex, -1);
            QVERIFY2(c.reason.contains(reason), qPrintable(c.reason));
            return;
        }
        QVERIFY2(c.formatIndex > 0, qPrintable(c.reason));
        QCOMPARE(dataMatrixFormats()[c.formatIndex], format);
        // The chosen size is the symbol the image then shows.
        if (!value.isEmpty()) {
            int rows = 0, cols = 0;
            dataMatrixRequestedSize(format, &rows, &cols);
            QCOMPARE(dataMatrixSymbolSize(value, c.formatIndex, 0), QSize(cols, rows));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataMatrix)
#include "test_datamatrix.moc"
