#include "TwoDTestUtil.h"

#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/DataMatrixEncoder.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cstring>
#include <dmtx.h>
#include <zint.h>

using datamatrix::Result;
using datamatrix::Scheme;
using datamatrix::Status;

namespace {

bool hasHighBytes(const QByteArray& v) {
    for (const char c : v)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

const uint8_t* bytesOf(const QByteArray& v) {
    return reinterpret_cast<const uint8_t*>(v.constData());
}

struct Ours {
    Result result;
    std::vector<uint8_t> modules;
    int rows() const { return datamatrix::symbolInfo(result.symbol).rows; }
    int columns() const { return datamatrix::symbolInfo(result.symbol).columns; }
};

Ours ours(const QByteArray& v, Scheme scheme, int size) {
    Ours o;
    o.result =
        datamatrix::encode(bytesOf(v), std::size_t(v.size()), scheme, size, hasHighBytes(v), &o.modules);
    return o;
}

std::vector<uint8_t> ourWords(const QByteArray& v, Scheme scheme, int size) {
    std::vector<uint8_t> w;
    datamatrix::encodeCodewords(bytesOf(v), std::size_t(v.size()), scheme, size, hasHighBytes(v), &w);
    return w;
}

// zint's look-ahead encodation (its fast mode; its default searches for the shortest encodation instead),
// squares only unless a size is given; ECI 26 for non-ASCII values.
RefSymbol zintReference(const QByteArray& v, int size) {
    return zintEncode(BARCODE_DATAMATRIX, v, 0, size < 0 ? 0 : size + 1, size < 0 ? DM_SQUARE : 0, FAST_MODE,
                      hasHighBytes(v) ? 26 : 0);
}

bool sameModules(const RefSymbol& ref, const Ours& o) {
    if (!ref.ok() || o.result.status != Status::Ok || ref.rows != o.rows() || ref.width != o.columns())
        return false;
    for (int y = 0; y < ref.rows; ++y)
        for (int x = 0; x < ref.width; ++x)
            if (ref.modules[std::size_t(y)][std::size_t(x)] !=
                (o.modules[std::size_t(y * ref.width + x)] != 0))
                return false;
    return true;
}

Decoded decodeModules(const Ours& o) {
    const int scale = 4;
    QImage img(o.columns() * scale, o.rows() * scale, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y,
                         o.modules[std::size_t(y / scale * o.columns() + x / scale)] ? qRgb(0, 0, 0)
                                                                                     : qRgb(255, 255, 255));
    return decodeImage(img, 4 * scale);
}

struct DmtxReference {
    bool ok = false;
    std::vector<uint8_t> words; // data codewords
    std::vector<uint8_t> modules;
};

DmtxReference dmtxReference(const QByteArray& v, int scheme, int size) {
    DmtxReference r;
    DmtxEncode* e = dmtxEncodeCreate();
    dmtxEncodeSetProp(e, DmtxPropScheme, scheme);
    dmtxEncodeSetProp(e, DmtxPropSizeRequest, size);
    dmtxEncodeSetProp(e, DmtxPropMarginSize, 0);
    dmtxEncodeSetProp(e, DmtxPropModuleSize, 1);
    QByteArray copy = v;
    if (dmtxEncodeDataMatrix(e, int(copy.size()), reinterpret_cast<unsigned char*>(copy.data())) ==
            DmtxPass &&
        e->message) {
        const int idx = e->region.sizeIdx;
        const int rows = dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, idx);
        const int cols = dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, idx);
        r.ok = true;
        r.words.assign(e->message->code,
                       e->message->code + dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, idx));
        r.modules.assign(std::size_t(rows * cols), 0);
        for (int row = 0; row < rows; ++row) // libdmtx counts rows from the bottom
            for (int col = 0; col < cols; ++col)
                if (dmtxSymbolModuleStatus(e->message, idx, row, col) & DmtxModuleOnRGB)
                    r.modules[std::size_t((rows - 1 - row) * cols + col)] = 1;
    }
    dmtxEncodeDestroy(&e);
    return r;
}

// Runs from several character sets; with binary, also runs of any byte.
QByteArray randomValue(QRandomGenerator& rng, bool binary = true) {
    static const char* const alphabets[] = {
        "0123456789",  "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", "abcdefghijklmnopqrstuvwxyz0123456789 ",
        "ABC012*>\r ", "ABC@[\\]^_!\"#$%&'()*+,-./0123:;<=>? ", "abcXYZ019 .-/"};
    QByteArray v;
    const int runs = 1 + rng.bounded(5);
    for (int r = 0; r < runs; ++r) {
        const int kind = rng.bounded(binary ? 8 : 7), n = 1 + rng.bounded(rng.bounded(6) == 0 ? 80 : 12);
        for (int i = 0; i < n; ++i) {
            if (kind < 6)
                v += alphabets[kind][rng.bounded(int(std::strlen(alphabets[kind])))];
            else if (kind == 6)
                v += char(32 + rng.bounded(95));
            else
                v += char(rng.bounded(256));
        }
    }
    return v;
}

} // namespace

class TestDataMatrixEncoder : public QObject {
    Q_OBJECT
private slots:
    void standardExample() {
        // "123456" in a 10 x 10 symbol: three digit pairs and five error-correction codewords.
        std::vector<uint8_t> words = ourWords("123456", Scheme::Auto, datamatrix::kSmallestSquare);
        datamatrix::addErrorCorrection(0, words);
        QCOMPARE(words, std::vector<uint8_t>({142, 164, 186, 114, 25, 5, 88, 102}));
    }

    void modeRunsMatchZint_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("digits") << QByteArray("12345678901234567890123");
        QTest::newRow("C40") << QByteArray("NAVU PHOTO FRAME 2026 CARD 17");
        QTest::newRow("Text") << QByteArray("greeting cards and photo frames 42");
        QTest::newRow("X12") << QByteArray("ISA*00*SENDER>RECEIVER\r0042*A>B\r");
        QTest::newRow("EDIFACT") << QByteArray("UNB+UNOA:3+SENDER:14+RECEIVER:14+261207:1045+42'");
        QTest::newRow("Base 256") << QByteArray("\xff\xfe\x80\x81\x82\x90\xa0\xb0\xc0\xd0", 10);
        QTest::newRow("UTF-8") << QStringLiteral("Grüße aus Köln – 5 €").toUtf8();
        QTest::newRow("switches") << QByteArray("Order 123456 ITEM*PHOTO>FRAME\rqty 7 price 19.99 EUR abc");
        QTest::newRow("C40 then one char") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789A");
        QTest::newRow("Text then two chars") << QByteArray("abcdefghijklmnopqrstuvwxyzab");
        QTest::newRow("upper shift in C40") << QByteArray("ABCDEF\xc4GHIJKL", 13);
    }
    void modeRunsMatchZint() {
        QFETCH(QByteArray, value);
        const Ours o = ours(value, Scheme::Auto, datamatrix::kSmallestSquare);
        QCOMPARE(int(o.result.status), int(Status::Ok));
        const RefSymbol ref = zintReference(value, -1);
        QVERIFY2(ref.ok(), qPrintable(ref.error));
        QVERIFY(sameModules(ref, o));
        const Decoded d = decodeModules(o);
        QVERIFY(d.ok);
        QCOMPARE(d.bytes, value);
    }

    void randomValuesMatchZint() {
        // zint's look-ahead leaves Base 256 at slightly different points in a few values, enters EDIFACT with a
        // character it cannot hold (latch and unlatch at once), and drops the characters of an X12 triple cut
        // short by a character X12 lacks (or refuses the value); such values must read back from our symbol.
        QRandomGenerator rng(16022);
        int total = 0, differing = 0;
        for (int i = 0; i < 1500; ++i) {
            const QByteArray value = randomValue(rng);
            ++total;
            const Ours o = ours(value, Scheme::Auto, datamatrix::kSmallestSquare);
            QVERIFY2(o.result.status == Status::Ok, value.toHex().constData());
            if (sameModules(zintReference(value, -1), o))
                continue;
            ++differing;
            const Decoded d = decodeModules(o);
            QVERIFY2(d.ok && d.bytes == value, value.toHex().constData());
        }
        QVERIFY2(differing * 100 <= total,
                 qPrintable(QStringLiteral("%1 of %2 differ").arg(differing).arg(total)));
    }

    void everySizeMatchesZint() {
        QRandomGenerator rng(2026);
        int total = 0, differing = 0;
        for (int size = 0; size < datamatrix::kSymbolCount; ++size) {
            const int capacity = datamatrix::symbolInfo(size).dataWords;
            for (int k = 0; k < 4; ++k) {
                // A value about as long as the size holds, cut until it fits. Without binary runs: how
                // Base 256 ends is compared with random values.
                QByteArray value;
                while (value.size() < capacity * 2)
                    value += randomValue(rng, false);
                while (!value.isEmpty() &&
                       datamatrix::encodeCodewords(bytesOf(value), std::size_t(value.size()), Scheme::Auto, size,
                                                   hasHighBytes(value), nullptr)
                               .status != Status::Ok)
                    value.chop(value.size() > 40 ? value.size() / 10 : 1);
                if (value.isEmpty())
                    continue;
                const Ours o = ours(value, Scheme::Auto, size);
                ++total;
                const RefSymbol ref = zintReference(value, size);
                if (sameModules(ref, o))
                    continue;
                ++differing;
                const Decoded d = decodeModules(o);
                QVERIFY2(
                    d.ok && d.bytes == value,
                    qPrintable(QStringLiteral("size %1: %2").arg(size).arg(QString::fromLatin1(value.toHex()))));
                // Where zint's symbol differs it does not read back as the value.
                if (ref.ok()) {
                    Ours z;
                    z.result.symbol = size;
                    for (const auto& row : ref.modules)
                        for (const bool m : row)
                            z.modules.push_back(m);
                    QVERIFY(decodeModules(z).bytes != value);
                }
            }
        }
        QVERIFY2(differing * 10 <= total,
                 qPrintable(QStringLiteral("%1 of %2 differ").arg(differing).arg(total)));
    }

    void forcedSchemesMatchLibdmtx_data() {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("dmtxScheme");
        QTest::addColumn<QByteArray>("alphabet");
        QTest::addColumn<int>("group"); // characters a group of codewords holds
        QTest::addColumn<int>("words"); // codewords of a group
        QTest::newRow("ASCII") << int(Scheme::Ascii) << int(DmtxSchemeAscii) << QByteArray("aZ~ 7\x01\x7f") << 1
                               << 1;
        QTest::newRow("C40") << int(Scheme::C40) << int(DmtxSchemeC40) << QByteArray("ABCXYZ0129 ") << 3 << 2;
        QTest::newRow("Text") << int(Scheme::Text) << int(DmtxSchemeText) << QByteArray("abcxyz0129 ") << 3 << 2;
        QTest::newRow("X12") << int(Scheme::X12) << int(DmtxSchemeX12) << QByteArray("ABZ09 *>\r") << 3 << 2;
        QTest::newRow("EDIFACT") << int(Scheme::Edifact) << int(DmtxSchemeEdifact) << QByteArray("AZ09 !?@^[")
                                 << 4 << 3;
        QTest::newRow("Base 256") << int(Scheme::Base256) << int(DmtxSchemeBase256)
                                  << QByteArray("aZ\x01\xff\x80~", 6) << 1 << 1;
    }
    void forcedSchemesMatchLibdmtx() {
        QFETCH(int, scheme);
        QFETCH(int, dmtxScheme);
        QFETCH(QByteArray, alphabet);
        QFETCH(int, group);
        QFETCH(int, words);
        const auto s = Scheme(scheme);
        // Every size, filled to the last codeword and one group short of it; the values end on a whole group
        // (where libdmtx ends a partial group it leaves shift values dangling before its unlatch).
        for (int size = 0; size < datamatrix::kSymbolCount; ++size) {
            const int capacity = datamatrix::symbolInfo(size).dataWords;
            for (const bool full : {true, false}) {
                int groups = (capacity - (s == Scheme::Ascii ? 0 : 1) - (full ? 0 : 1)) / words;
                if (s == Scheme::Base256)
                    groups = std::min(capacity - (full ? 2 : 3), 249);
                if (groups <= 0)
                    continue;
                QByteArray value;
                for (int i = 0; i < groups * group; ++i)
                    value += alphabet[(i * 7 + size) % alphabet.size()];
                const DmtxReference ref = dmtxReference(value, dmtxScheme, size);
                QVERIFY(ref.ok);
                // ECI would change the codewords; these values are compared as bytes.
                std::vector<uint8_t> w;
                QCOMPARE(
                    int(datamatrix::encodeCodewords(bytesOf(value), std::size_t(value.size()), s, size, false, &w)
                            .status),
                    int(Status::Ok));
                Ours o;
                o.result =
                    datamatrix::encode(bytesOf(value), std::size_t(value.size()), s, size, false, &o.modules);
                if (s == Scheme::Base256 && full) {
                    // A segment that fills the symbol carries the length 0 (to the end), where libdmtx counts it.
                    const Decoded d = decodeModules(o);
                    QVERIFY(d.ok);
                    QCOMPARE(d.bytes, value);
                    continue;
                }
                QCOMPARE(w, ref.words);
                // libdmtx puts the error correction of 144 x 144 in block order; readers expect the two short
                // blocks first, as zint does (checked against zint elsewhere).
                if (size != 23)
                    QVERIFY2(o.modules == ref.modules, qPrintable(QStringLiteral("size %1").arg(size)));
            }
        }
    }

    void eciOnlyForNonAscii() {
        const QString text = QStringLiteral("Grüße");
        const std::vector<uint8_t> utf8 = ourWords(text.toUtf8(), Scheme::Auto, datamatrix::kSmallestSquare);
        QCOMPARE(utf8[0], uint8_t(241)); // ECI
        QCOMPARE(utf8[1], uint8_t(27));  // 26, UTF-8
        QVERIFY(ourWords("Gruesse", Scheme::Auto, datamatrix::kSmallestSquare)[0] != 241);
        for (int encoding = 0; encoding < dataMatrixEncodings().size(); ++encoding) {
            const auto sym = encodeDataMatrix(text.toUtf8(), 0, encoding);
            QVERIFY(sym.has_value());
            Ours o;
            o.modules = sym->modules;
            o.result.symbol = datamatrix::symbolIndex(sym->height, sym->width);
            const Decoded d = decodeModules(o);
            QVERIFY(d.ok);
            QCOMPARE(d.text, text);
        }
    }

    void limits_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("status");
        const int square = datamatrix::kSmallestSquare;
        QTest::newRow("3116 digits") << QByteArray(3116, '7') << int(Scheme::Auto) << square << int(Status::Ok);
        QTest::newRow("3117 digits") << QByteArray(3117, '7') << int(Scheme::Auto) << square
                                     << int(Status::TooLong);
        QTest::newRow("2335 letters") << QByteArray(2335, 'A') << int(Scheme::Auto) << square << int(Status::Ok);
        QTest::newRow("2336 letters") << QByteArray(2336, 'A') << int(Scheme::Auto) << square
                                      << int(Status::TooLong);
        QTest::newRow("1556 bytes") << QByteArray(1556, '\x01') << int(Scheme::Base256) << square
                                    << int(Status::Ok);
        QTest::newRow("1557 bytes") << QByteArray(1557, '\x01') << int(Scheme::Base256) << square
                                    << int(Status::TooLong);
        QTest::newRow("a megabyte") << QByteArray(1 << 20, 'x') << int(Scheme::Auto) << square
                                    << int(Status::TooLong);
        QTest::newRow("10x10 full") << QByteArray("123456") << int(Scheme::Auto) << 0 << int(Status::Ok);
        QTest::newRow("10x10 over") << QByteArray("1234567") << int(Scheme::Auto) << 0 << int(Status::TooLong);
        QTest::newRow("empty") << QByteArray() << int(Scheme::Auto) << square << int(Status::Empty);
        QTest::newRow("X12 lowercase") << QByteArray("ABCd") << int(Scheme::X12) << square
                                       << int(Status::NotEncodable);
        QTest::newRow("EDIFACT _") << QByteArray("AB_C") << int(Scheme::Edifact) << square
                                   << int(Status::NotEncodable);
        QTest::newRow("size 30") << QByteArray("A") << int(Scheme::Auto) << 30 << int(Status::BadArgument);
    }
    void limits() {
        QFETCH(QByteArray, value);
        QFETCH(int, scheme);
        QFETCH(int, size);
        QFETCH(int, status);
        std::vector<uint8_t> modules;
        const Result r =
            datamatrix::encode(bytesOf(value), std::size_t(value.size()), Scheme(scheme), size, false, &modules);
        QCOMPARE(int(r.status), status);
        if (r.status == Status::Ok)
            QCOMPARE(int(modules.size()),
                     datamatrix::symbolInfo(r.symbol).rows * datamatrix::symbolInfo(r.symbol).columns);
        // The fit check of the designer agrees ("Auto" format, encoding as the list orders them).
        if (scheme == int(Scheme::Auto) && size == datamatrix::kSmallestSquare)
            QCOMPARE(dataMatrixFits(value, 0, 0), r.status == Status::Ok);
    }
};

QTEST_GUILESS_MAIN(TestDataMatrixEncoder)
#include "test_datamatrix_encoder.moc"
