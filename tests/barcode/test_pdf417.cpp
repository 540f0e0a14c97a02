#include "TwoDTestUtil.h"

#include "barcode/twod/Pdf417Layout.h"
#include "barcode/twod/TwoDImages.h"
#include "barcode/twod/pdf417lib.h"

#include <QRandomGenerator>
#include <QtTest>
#include <set>
#include <zint.h>

using namespace pdf417;

namespace {

// Run lengths of a 17-module pattern, first module a bar.
std::vector<int> widths(uint32_t pattern, int modules) {
    std::vector<int> w;
    int prev = -1;
    for (int i = modules - 1; i >= 0; --i) {
        const int bit = (pattern >> i) & 1;
        if (bit == prev)
            ++w.back();
        else
            w.push_back(1);
        prev = bit;
    }
    return w;
}

pdf417param encode(const QByteArray& text, int level = 2, int options = PDF417_USE_ERROR_LEVEL) {
    pdf417param p;
    pdf417init(p);
    p.text.assign(text.constData(), std::size_t(text.size()));
    p.options = options;
    p.errorLevel = level;
    p.aspectRatio = 1.0f;
    paintCode(p);
    return p;
}

QString elements(const QByteArray& text) {
    QString s;
    for (const Element& e : breakString(std::string(text.constData(), std::size_t(text.size()))))
        s += QStringLiteral("%1%2 ").arg(QLatin1Char(e.type)).arg(e.end - e.start);
    return s.trimmed();
}

QList<int> dataCodewords(const pdf417param& p) {
    QList<int> cw;
    for (int i = 0; i < p.codewords[0]; ++i)
        cw << p.codewords[std::size_t(i)];
    return cw;
}

QImage plainImage(const pdf417param& p, int moduleW, int rowH) {
    QImage img(p.bitColumns * moduleW, p.codeRows * rowH, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, p.module(x / moduleW, y / rowH) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return img;
}

} // namespace

class TestPdf417 : public QObject {
    Q_OBJECT
private slots:
    void clusterTablesAreTheStandards() {
        for (int c = 0; c < 3; ++c) {
            std::set<uint32_t> seen;
            for (int cw = 0; cw < 929; ++cw) {
                const uint32_t pat = CLUSTERS[c][cw];
                QVERIFY2(pat < (1u << 17) && (pat & (1u << 16)) && !(pat & 1),
                         qPrintable(QStringLiteral("cluster %1 codeword %2").arg(c * 3).arg(cw)));
                const std::vector<int> w = widths(pat, 17);
                QCOMPARE(w.size(), std::size_t(8)); // four bars, four spaces
                for (int x : w)
                    QVERIFY(x >= 1 && x <= 6);
                QCOMPARE((w[0] - w[2] + w[4] - w[6] + 9) % 9, 3 * c);
                seen.insert(pat);
            }
            QCOMPARE(seen.size(), std::size_t(929));
        }
        QCOMPARE(widths(START_PATTERN, 17), (std::vector<int>{8, 1, 1, 1, 1, 1, 1, 3}));
        QCOMPARE(widths(STOP_PATTERN, 18), (std::vector<int>{7, 1, 1, 3, 1, 1, 1, 2, 1}));
    }

    void errorCoefficients() {
        QCOMPARE(ERROR_LEVEL(0)[0], uint16_t(27));
        QCOMPARE(ERROR_LEVEL(0)[1], uint16_t(917));
        QCOMPARE(ERROR_LEVEL(1)[0], uint16_t(522));
        QCOMPARE(ERROR_LEVEL(8)[511], uint16_t(263));
        QVERIFY(ERROR_LEVEL(9) == nullptr);
        QVERIFY(ERROR_LEVEL(-1) == nullptr);
        QCOMPARE(maxPossibleErrorLevel(1023), 8);
        QCOMPARE(maxPossibleErrorLevel(8), 2);
        QCOMPARE(maxPossibleErrorLevel(3), 0);
    }

    void segmenting_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("13 digits") << QByteArray("abc1234567890123def") << "T3 N13 T3";
        QTest::newRow("12 digits") << QByteArray("abc123456789012def") << "T18";
        QTest::newRow("8 digits alone") << QByteArray("12345678") << "N8";
        QTest::newRow("7 digits alone") << QByteArray("1234567") << "T7";
        QTest::newRow("control byte in text") << QByteArray("ab\x01"
                                                            "cd")
                                              << "T5";
        QTest::newRow("byte next to short text") << QByteArray("\x80\x81\x82"
                                                               "ab")
                                                 << "B5";
        QTest::newRow("long text keeps apart") << QByteArray("\x80\x81\x82"
                                                             "abcdef")
                                               << "B3 T6";
        QTest::newRow("ends with digits") << QByteArray("ab12345678901234") << "T2 N14";
    }
    void segmenting() {
        QFETCH(QByteArray, text);
        QTEST(elements(text), "expected");
    }

    void compaction_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("codewords"); // data codewords after the length descriptor
        // Text is the starting mode: no latch.
        QTest::newRow("AB") << QByteArray("AB") << QList<int>{1};
        QTest::newRow("PDF417") << QByteArray("PDF417") << QList<int>{453, 178, 121, 239};
        // 913 byte shift after an odd count is preceded by 29.
        QTest::newRow("A\\x01BC") << QByteArray("A\x01"
                                                "BC")
                                  << QList<int>{29, 913, 1, 32};
        QTest::newRow("AB\\x01C") << QByteArray("AB\x01"
                                                "C")
                                  << QList<int>{1, 913, 1, 89};
        // 12 bytes in two groups of six (924), 13 bytes (901) with one codeword for the last byte.
        QTest::newRow("12 bytes") << QByteArray(12, '\xff')
                                  << QList<int>{924, 429, 11, 71, 222, 855, 429, 11, 71, 222, 855};
        QTest::newRow("13 bytes") << QByteArray(13, '\xff')
                                  << QList<int>{901, 429, 11, 71, 222, 855, 429, 11, 71, 222, 855, 255};
        QTest::newRow("8 digits") << QByteArray("12345678") << QList<int>{902, 138, 628, 478};
        QTest::newRow("later text latches") << QByteArray("\xe9\xe9\xe9\xe9\xe9\xe9"
                                                          "ABCDEF")
                                            << QList<int>{924, 391, 899, 481, 514, 273, 900, 1, 63, 125};
    }
    void compaction() {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, codewords);
        const pdf417param p = encode(text);
        QCOMPARE(p.error, 0);
        const QList<int> got = dataCodewords(p);
        QCOMPARE(got.first(), got.size());
        QCOMPARE(got.mid(1, codewords.size()), codewords);
        for (int i = 1 + int(codewords.size()); i < got.size(); ++i)
            QCOMPARE(got[i], 900); // pads only
    }

    void sizing() {
        // AB: one text codeword, eight error codewords, ten in all: one column, ten rows, 86 modules.
        const pdf417param p = encode("AB", 2);
        QCOMPARE(p.codeColumns, 1);
        QCOMPARE(p.codeRows, 10);
        QCOMPARE(p.codewords[0], 2);
        QCOMPARE(p.lenCodewords, 10);
        QCOMPARE(p.bitColumns, 86);
        QCOMPARE(p.errorLevel, 2);
        // Row indicators of row 0 (cluster 0): left (rows-1)/3 = 3, right columns-1 = 0.
        uint32_t left = 0;
        for (int i = 17; i < 34; ++i)
            left = (left << 1) | uint32_t(p.module(i, 0));
        QCOMPARE(left, CLUSTERS[0][3]);
    }

    void largestSymbolIsCut() {
        // 1800 digits need about 615 data codewords; level 2 with aspect sizing stays within 928.
        const pdf417param p = encode(QByteArray(1800, '7'), 8);
        QCOMPARE(p.error, 0);
        QVERIFY(p.codeRows * p.codeColumns <= 928);
        pdf417param q;
        pdf417init(q);
        q.text = std::string(1700, 'A');
        q.options = PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS;
        q.codeColumns = 10;
        q.errorLevel = 5;
        paintCode(q);
        QCOMPARE(q.error, 0);
        QCOMPARE(q.codeColumns * q.codeRows, 928);
        QVERIFY((q.codeColumns == 16 && q.codeRows == 58) || (q.codeColumns == 29 && q.codeRows == 32));
    }

    void invertedBitmap() {
        const pdf417param plain = encode("HELLO");
        const pdf417param inverted = encode("HELLO", 2, PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP);
        QCOMPARE(inverted.outBits.size(), plain.outBits.size());
        QCOMPARE(uint8_t(inverted.outBits[0] ^ plain.outBits[0]), uint8_t(0xFF));
        QVERIFY(!(inverted.outBits[0] & 0x80)); // the start bar is a 0 bit
        for (int x = 0; x < plain.bitColumns; ++x)
            QCOMPARE(inverted.module(x, 1), plain.module(x, 1));
    }

    void rawCodewords() {
        pdf417param p;
        pdf417init(p);
        p.options = PDF417_USE_RAW_CODEWORDS | PDF417_USE_ERROR_LEVEL;
        p.errorLevel = 1;
        p.codewords[0] = 3;
        p.codewords[1] = 1;
        p.codewords[2] = 2;
        p.lenCodewords = 3;
        paintCode(p);
        QCOMPARE(p.error, 0);
        QCOMPARE(p.codewords[1], 1);
        p.codewords[0] = 5; // does not match the length
        p.lenCodewords = 3;
        paintCode(p);
        QCOMPARE(p.error, int(PDF417_ERROR_INVALID_PARAMS));
    }

    void matchesZint_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("level");
        QTest::newRow("upper") << QByteArray("PDF417 BARCODE TEST") << 2;
        QTest::newRow("upper long") << QByteArray("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG ").repeated(6)
                                    << 4;
        QTest::newRow("digits 45") << QByteArray("123456789012345678901234567890123456789012345") << 3;
        QTest::newRow("digits 300") << QByteArray("9876543210").repeated(30) << 5;
        QTest::newRow("bytes 12") << QByteArray("\x80\x90\xa0\xb0\xc0\xd0\xe0\xf0\x81\x91\xa1\xb1") << 0;
        QTest::newRow("bytes 50") << QByteArray("\xfe\xed\xfa\xce\x80").repeated(10) << 6;
        QTest::newRow("level 8") << QByteArray("LEVEL EIGHT") << 8;
    }
    void matchesZint() {
        QFETCH(QByteArray, text);
        QFETCH(int, level);
        const pdf417param p = encode(text, level);
        QCOMPARE(p.error, 0);
        const RefSymbol ref = zintEncode(BARCODE_PDF417, text, p.errorLevel, p.codeColumns, 0);
        QVERIFY2(ref.ok(), qPrintable(ref.error));
        QCOMPARE(ref.width, p.bitColumns);
        QCOMPARE(ref.rows, p.codeRows);
        for (int r = 0; r < ref.rows; ++r)
            for (int x = 0; x < ref.width; ++x)
                if (ref.modules[std::size_t(r)][std::size_t(x)] != p.module(x, r))
                    QFAIL(qPrintable(QStringLiteral("row %1 module %2 differs").arg(r).arg(x)));
    }

    void decodesBack_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("text") << QStringLiteral("Hello, World! PDF417 on a card.");
        QTest::newRow("mixed case") << QStringLiteral("aBcD eFgH #1 @home; x=y+z (ok?) {fine} ~tilde~");
        QTest::newRow("digits 45") << QString(QStringLiteral("123456789")).repeated(5);
        QTest::newRow("digits 88") << QString(QStringLiteral("0123456789")).repeated(9).left(88);
        QTest::newRow("digits 130") << QString(QStringLiteral("31415926535")).repeated(12).left(130);
        QTest::newRow("digits in text") << QStringLiteral("Order 12345678901234567890 shipped");
        QTest::newRow("lines") << QStringLiteral("Name\tValue\r\nLine two\n");
        QTest::newRow("utf8") << QStringLiteral("Straße € 5 日本語 😀");
    }
    void decodesBack() {
        QFETCH(QString, value);
        Pdf417Params params;
        params.widthPoints = 400;
        params.heightPoints = 200;
        params.dpi = 144;
        const TwoDResult r = makePdf417Image(params, value);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const Decoded d = decodeImage(r.image, 40);
        QVERIFY(d.ok);
        QCOMPARE(d.text, value);
    }

    void randomBytesDecode() {
        QRandomGenerator rng(417);
        // Bytes, then text of every sub-mode (with tab, CR and LF) at growing error levels.
        static const char kText[] = "AZaz09 &\r\t,:#-.$/+%*=^;<>@[\\]_`~!\n\"|()?{}'";
        for (int round = 0; round < 12; ++round) {
            const bool text = round >= 6;
            QByteArray data(1 + rng.bounded(round % 6 < 3 ? 40 : 600), '\0');
            for (char& c : data)
                c = text ? kText[rng.bounded(int(sizeof kText) - 1)] : char(rng.bounded(256));
            const pdf417param p = encode(data, text ? round - 3 : 2);
            QCOMPARE(p.error, 0);
            const Decoded d = decodeImage(plainImage(p, 2, 6), 30);
            QVERIFY2(d.ok, qPrintable(QStringLiteral("%1 bytes").arg(data.size())));
            QCOMPARE(d.bytes, data);
        }
    }

    void emptyOrFailingValueGivesReason_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("empty") << QString() << 2 << "empty";
        QTest::newRow("too long") << QString(5421, QLatin1Char('x')) << 2 << "too long";
        QTest::newRow("too many codewords") << QString(2000, QLatin1Char('\x7f')) << 2 << "too long";
        QTest::newRow("level 9") << QStringLiteral("A") << 9 << "0 to 8";
        QTest::newRow("level -1") << QStringLiteral("A") << -1 << "0 to 8";
    }
    void emptyOrFailingValueGivesReason() {
        QFETCH(QString, value);
        QFETCH(int, level);
        QFETCH(QString, reasonPart);
        Pdf417Params params;
        params.errorLevel = level;
        // A good symbol first: a failure after it must not hand it back.
        QVERIFY(makePdf417Image(params, QStringLiteral("OK")).ok() || level < 0 || level > 8);
        const TwoDResult r = makePdf417Image(params, value);
        QVERIFY(!r.ok());
        QVERIFY2(r.reason.contains(reasonPart), qPrintable(r.reason));
        if (value.isEmpty())
            QCOMPARE(encode(QByteArray()).error, int(PDF417_ERROR_EMPTY_TEXT));
    }

    void loweredLevelIsRefused() {
        // 900 letters take 451 codewords; level 8 (512) no longer fits, level 7 (256) does.
        const QString value(900, QLatin1Char('A'));
        Pdf417Params params;
        params.widthPoints = 600;
        params.heightPoints = 600;
        params.errorLevel = 8;
        TwoDResult r = makePdf417Image(params, value);
        QVERIFY(!r.ok());
        QVERIFY2(r.reason.contains(QStringLiteral("level 7")), qPrintable(r.reason));
        params.errorLevel = 7;
        r = makePdf417Image(params, value);
        QVERIFY2(r.ok(), qPrintable(r.reason));
    }

    // Rows and columns chosen in the designer make the symbol; a choice too small for the data, or one no
    // PDF417 symbol can have, is refused with the reason.
    void chosenRowsAndColumns_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("expectRows");    // 0: refused
        QTest::addColumn<int>("expectColumns"); // 0: any
        QTest::addColumn<QString>("reasonPart");
        const QString text = QStringLiteral("PDF417 rows and columns 0123456789");
        QTest::newRow("rectangle") << text << 12 << 5 << 12 << 5 << "";
        QTest::newRow("columns only") << text << 0 << 2 << -1 << 2 << "";
        QTest::newRow("rows only") << text << 20 << 0 << 20 << -1 << "";
        QTest::newRow("too small") << text << 3 << 2 << 0 << 0 << "needs";
        QTest::newRow("too few columns") << QString(1500, QLatin1Char('a')) << 0 << 1 << 0 << 0
                                         << "more than 90 rows";
        QTest::newRow("too few rows") << QString(1500, QLatin1Char('a')) << 3 << 0 << 0 << 0
                                      << "more than 30 columns";
        QTest::newRow("two rows") << text << 2 << 0 << 0 << 0 << "3 to 90 rows";
        QTest::newRow("31 columns") << text << 0 << 31 << 0 << 0 << "1 to 30 columns";
        QTest::newRow("beyond 928 codewords") << text << 90 << 30 << 0 << 0 << "928";
    }
    void chosenRowsAndColumns() {
        QFETCH(QString, value);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, expectRows);
        QFETCH(int, expectColumns);
        QFETCH(QString, reasonPart);
        Pdf417Params params;
        params.rows = rows;
        params.columns = columns;
        params.widthPoints = 400;
        params.heightPoints = 300;
        params.dpi = 300;
        const TwoDResult r = makePdf417Image(params, value);
        if (expectRows == 0) {
            QVERIFY(!r.ok());
            QVERIFY2(r.reason.contains(reasonPart), qPrintable(r.reason));
            return;
        }
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const Decoded d = decodeImage(r.image, 40);
        QVERIFY(d.ok);
        QCOMPARE(d.text, value);
        pdf417param p;
        pdf417init(p);
        p.text = value.toStdString();
        p.options = PDF417_USE_ERROR_LEVEL;
        p.errorLevel = 2;
        p.aspectRatio = 1.0f;
        pdf417ChooseLayout(p, rows, columns);
        paintCode(p);
        QVERIFY(pdf417LayoutProblem(p, rows, columns).isEmpty());
        if (expectRows > 0)
            QCOMPARE(p.codeRows, expectRows);
        if (expectColumns > 0)
            QCOMPARE(p.codeColumns, expectColumns);
    }

    void imageSizeAndPurity() {
        Pdf417Params params;
        params.fg = QColor(0, 0, 90);
        params.bg = QColor(255, 255, 220);
        const struct {
            int w, h, dpi;
        } cases[] = {{100, 20, 600}, {200, 100, 72}, {150, 40, 300}, {80, 25, 2400}};
        for (const auto& c : cases) {
            params.widthPoints = c.w;
            params.heightPoints = c.h;
            params.dpi = c.dpi;
            const TwoDResult r = makePdf417Image(params, QStringLiteral("0123"));
            QVERIFY2(r.ok(), qPrintable(r.reason));
            QCOMPARE(r.image.size(), QSize(pixelsFor(c.w, c.dpi), pixelsFor(c.h, c.dpi)));
            QVERIFY(pixelsArePure(r.image, params.fg.rgba(), params.bg.rgba()));
        }
        // Fewer pixels than modules: a reason, not a smeared symbol.
        params.widthPoints = 50;
        params.dpi = 72;
        const TwoDResult small = makePdf417Image(params, QStringLiteral("A LONGER VALUE FOR MORE COLUMNS"));
        QVERIFY(!small.ok());
        QVERIFY(small.reason.contains(QStringLiteral("modules")));
    }
};

QTEST_GUILESS_MAIN(TestPdf417)
#include "test_pdf417.moc"
