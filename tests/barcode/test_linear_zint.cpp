// Module-for-module comparison of our encoders with libzint.

#include "barcode/BarcodeSymbologies.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDRoyalMailBarcode.h"

#include <QtTest>
#include <random>
#include <zint.h>

namespace {

struct ZintSymbol {
    zint_symbol* s = ZBarcode_Create();
    ~ZintSymbol() { ZBarcode_Delete(s); }
};

bool zintModule(const zint_symbol* s, int row, int col) {
    return (s->encoded_data[row][col >> 3] >> (col & 7)) & 1;
}

// The module row of a one-row zint symbol, or the error text prefixed with "!".
QString zintRow(int symbology, const QByteArray& data, int option2 = 0) {
    ZintSymbol z;
    z.s->symbology = symbology;
    z.s->option_2 = option2;
    const int err =
        ZBarcode_Encode(z.s, reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (err >= ZINT_ERROR)
        return QStringLiteral("!") + QString::fromLatin1(z.s->errtxt);
    QString out;
    const int row = z.s->rows - 1; // EAN/UPC keep the guard row last
    for (int c = 0; c < z.s->width; ++c)
        out += zintModule(z.s, row, c) ? QLatin1Char('1') : QLatin1Char('0');
    while (out.endsWith(QLatin1Char('0'))) // Codabar counts its last gap, we compare bars only
        out.chop(1);
    return out;
}

// Bar states of a zint postal symbol: for each bar, bit 1 ascender, bit 0 descender ("T","A","D","F").
QString zintBarStates(int symbology, const QByteArray& data) {
    ZintSymbol z;
    z.s->symbology = symbology;
    const int err =
        ZBarcode_Encode(z.s, reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (err >= ZINT_ERROR)
        return QStringLiteral("!") + QString::fromLatin1(z.s->errtxt);
    QString out;
    const int last = z.s->rows - 1;
    for (int c = 0; c < z.s->width; ++c) {
        bool any = false;
        for (int r = 0; r < z.s->rows; ++r)
            any = any || zintModule(z.s, r, c);
        if (!any)
            continue;
        const bool up = zintModule(z.s, 0, c);
        const bool down = zintModule(z.s, last, c);
        out += QLatin1Char(up && down ? 'F' : up ? 'A' : down ? 'D' : 'T');
    }
    return out;
}

QString ours(int index, const QString& value, QString* reason = nullptr) {
    auto b = BarcodeSymbologies::createLinearBarcode(index);
    b->initWithContent(value, true);
    if (!b->isContentValid()) {
        if (reason)
            *reason = b->invalidReason();
        return QString();
    }
    QString m = b->completeBarcode();
    while (m.endsWith(QLatin1Char('0'))) // zint leaves out trailing space modules
        m.chop(1);
    return m;
}

// POSTNET / PLANET: tall bars are ascender+descender, short ones descender only.
QString ourPostStates(int index, const QString& value) {
    auto b = BarcodeSymbologies::createLinearBarcode(index);
    b->initWithContent(value, true);
    if (!b->isContentValid())
        return QString();
    const QString m = b->completeBarcode();
    QString out;
    for (int i = 0; i < m.size(); ++i)
        if (m.at(i) == QLatin1Char('1'))
            out += QLatin1Char(b->barTop(i) > 6.0f ? 'F' : 'D');
    return out;
}

template <typename T> QString ourFourStates(const QString& value) {
    T b;
    b.initWithContent(value, true);
    if (!b.isContentValid())
        return QString();
    const QString m = b.completeBarcode();
    QString out;
    for (int i = 0; i < m.size(); ++i) {
        if (m.at(i) != QLatin1Char('1'))
            continue;
        const int d = b._barDescriptor(i);
        out += QLatin1Char(d == 3 ? 'F' : d == 2 ? 'A' : d == 1 ? 'D' : 'T');
    }
    return out;
}

QString digits(int n, int seed) {
    QString s;
    quint32 x = quint32(seed) * 2654435761u + 12345u;
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        s += QChar('0' + (x >> 16) % 10);
    }
    return s;
}

QString randomText(std::mt19937& rng, const char* alphabet, int minLength, int maxLength) {
    const int length = minLength + int(rng() % unsigned(maxLength - minLength + 1));
    const auto n = unsigned(qstrlen(alphabet));
    QString v;
    for (int k = 0; k < length; ++k)
        v += QLatin1Char(alphabet[rng() % n]);
    return v;
}

// Code 128 forced to set A (zint cannot force it), the slow way: start A, each character's value (SHIFT
// and its set B value for what set A lacks), the check value, stop.
QString code128SetA(const QString& v) {
    QList<int> values;
    for (QChar ch : v) {
        const int c = ch.unicode();
        if (c < 96)
            values << (c < 32 ? c + 64 : c - 32);
        else
            values << 98 << c - 32;
    }
    int sum = 103;
    for (int i = 0; i < values.size(); ++i)
        sum += values.at(i) * (i + 1);
    values.prepend(103);
    values << sum % 103;
    QString m;
    for (int x : values)
        m += NKDCode128Barcode::patternForValue(x);
    return m + QStringLiteral("1100011101011");
}

} // namespace

class TestLinearZint : public QObject {
    Q_OBJECT
private slots:
    void modules_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("zintSymbology");
        QTest::addColumn<QString>("zintValue");
        using namespace BarcodeSymbologies;
        const auto row = [](const char* name, int index, const QString& v, int zs, const QString& zv) {
            QTest::newRow(name) << index << v << zs << zv;
        };
        row("ean13 standard", EAN13, "400638133393", BARCODE_EANX, "400638133393");
        row("ean13 with check", EAN13, "4006381333931", BARCODE_EANX, "400638133393");
        row("ean13 zeros", EAN13, "000000000000", BARCODE_EANX, "000000000000");
        for (int i = 0; i < 10; ++i) { // every first digit selects its own parity
            const QString v = QString::number(i) + digits(11, i);
            row(qPrintable("ean13 first digit " + QString::number(i)), EAN13, v, BARCODE_EANX, v);
        }
        row("ean8", EAN8, "9638507", BARCODE_EANX, "9638507");
        row("ean8 with check", EAN8, "96385074", BARCODE_EANX, "9638507");
        row("ean8 random", EAN8, digits(7, 3), BARCODE_EANX, digits(7, 3));
        row("upca", UPCA, "03600029145", BARCODE_UPCA, "03600029145");
        row("upca with check", UPCA, "036000291452", BARCODE_UPCA, "03600029145");
        row("upca nines", UPCA, "99999999999", BARCODE_UPCA, "99999999999");
        row("upce from upca rule 1", UPCE, "04210000526", BARCODE_UPCE, "0425261");
        row("upce 7 digits", UPCE, "0425261", BARCODE_UPCE, "0425261");
        row("upce 8 digits", UPCE, "04252614", BARCODE_UPCE, "0425261");
        row("upce number system 1", UPCE, "1425261", BARCODE_UPCE, "1425261");
        for (int last = 0; last <= 9; ++last) { // every zero-suppression form and parity
            for (const char* ns : {"0", "1"}) {
                QString d = digits(5, last + (ns[0] - '0') * 20);
                // Keep each form the standard one for its UPC-A number.
                if (last == 3 && d.at(2).unicode() < '3')
                    d[2] = QLatin1Char('7');
                if (last == 4 && d.at(3) == QLatin1Char('0'))
                    d[3] = QLatin1Char('6');
                if (last >= 5 && d.at(4) == QLatin1Char('0'))
                    d[4] = QLatin1Char('2');
                const QString v = QLatin1String(ns) + d + QString::number(last);
                row(qPrintable("upce ns" + QLatin1String(ns) + " form " + QString::number(last)), UPCE, v,
                    BARCODE_UPCE, v);
            }
        }
        row("itf even", Interleaved2of5, "1234", BARCODE_C25INTER, "1234");
        row("itf odd", Interleaved2of5, "123", BARCODE_C25INTER, "123");
        row("itf single", Interleaved2of5, "7", BARCODE_C25INTER, "7");
        row("itf long", Interleaved2of5, digits(41, 1), BARCODE_C25INTER, digits(41, 1));
        row("industrial", Industrial2of5, "12", BARCODE_C25IND, "12");
        row("industrial single", Industrial2of5, "0", BARCODE_C25IND, "0");
        row("industrial long", Industrial2of5, "0123456789", BARCODE_C25IND, "0123456789");
        row("code39", Code39, "CODE39", BARCODE_CODE39, "CODE39");
        row("code39 all chars", Code39, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", BARCODE_CODE39,
            "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
        row("code39 lower case", Code39, "abc", BARCODE_CODE39, "ABC");
        row("code39 single", Code39, "A", BARCODE_CODE39, "A");
        row("excode39", ExtendedCode39, "a_b", BARCODE_EXCODE39, "a_b");
        row("excode39 star", ExtendedCode39, "A*B", BARCODE_EXCODE39, "A*B");
        row("excode39 symbols", ExtendedCode39, "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", BARCODE_EXCODE39,
            "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
        row("excode39 mixed", ExtendedCode39, "Hello World 50%", BARCODE_EXCODE39, "Hello World 50%");
        row("code128 auto digits even", Code128, "123456", BARCODE_CODE128, "123456");
        row("code128 auto digits long", Code128, "12345678901234567890", BARCODE_CODE128,
            "12345678901234567890");
        row("code128 auto odd digits", Code128, "12345", BARCODE_CODE128, "12345");
        row("code128 auto seven digits", Code128, "1234567", BARCODE_CODE128, "1234567");
        row("code128 auto one digit", Code128, "1", BARCODE_CODE128, "1");
        row("code128 auto two digits", Code128, "12", BARCODE_CODE128, "12");
        row("code128 auto three digits", Code128, "123", BARCODE_CODE128, "123");
        row("code128 set C odd", Code128C, "98765", BARCODE_CODE128, "98765");
        row("code128 auto text", Code128, "Hello", BARCODE_CODE128, "Hello");
        row("code128 auto ABC", Code128, "ABC", BARCODE_CODE128, "ABC");
        row("code128 auto single", Code128, "x", BARCODE_CODE128, "x");
        row("code128 set B", Code128B, "A B", BARCODE_CODE128B, "A B");
        row("code128 set B digits", Code128B, "1234", BARCODE_CODE128B, "1234");
        row("code128 set B printable", Code128B, " !~}|{`_^]\\[@?>=<;:", BARCODE_CODE128B,
            " !~}|{`_^]\\[@?>=<;:");
        row("code128 set C", Code128C, "00112233", BARCODE_CODE128, "00112233");
        row("code128 set A controls", Code128A, "\tAB\x1e\x1f", BARCODE_CODE128, "\tAB\x1e\x1f");
    }
    void modules() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(int, zintSymbology);
        QFETCH(QString, zintValue);
        QString reason;
        const QString mine = ours(index, value, &reason);
        QVERIFY2(!mine.isEmpty(), qPrintable(reason));
        QCOMPARE(mine, zintRow(zintSymbology, zintValue.toLatin1()));
    }

    void codabar_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("A1234B") << "A1234B";
        QTest::newRow("every char") << "C0123456789-$:/.+D";
        QTest::newRow("B and C") << "B1C";
        QTest::newRow("D only data") << "D5A";
    }
    void codabar() {
        QFETCH(QString, value);
        QCOMPARE(ours(BarcodeSymbologies::Codabar, value), zintRow(BARCODE_CODABAR, value.toLatin1()));
    }

    void postal_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("zintSymbology");
        using namespace BarcodeSymbologies;
        QTest::newRow("postnet 5") << int(PostNet) << "12345" << BARCODE_POSTNET;
        QTest::newRow("postnet 9") << int(PostNet) << "123456789" << BARCODE_POSTNET;
        QTest::newRow("postnet 11") << int(PostNet) << "01234567890" << BARCODE_POSTNET;
        QTest::newRow("planet 11") << int(Planet) << "01234567890" << BARCODE_PLANET;
        QTest::newRow("planet 13") << int(Planet) << "4012345678901" << BARCODE_PLANET;
    }
    void postal() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(int, zintSymbology);
        QCOMPARE(ourPostStates(index, value), zintBarStates(zintSymbology, value.toLatin1()));
    }

    void royalMail_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("SN34RD1A") << "SN34RD1A";
        QTest::newRow("every char") << "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QTest::newRow("single") << "Z";
        QTest::newRow("lower case") << "sn34rd1a";
    }
    void royalMail() {
        QFETCH(QString, value);
        QCOMPARE(ourFourStates<NKDRoyalMailBarcode>(value),
                 zintBarStates(BARCODE_RM4SCC, value.toUpper().toLatin1()));
    }

    void japanPost_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("postcode") << "1060032";
        QTest::newRow("address") << "15400233-16-4-205";
        QTest::newRow("letters") << "0248201CENTRA";
        QTest::newRow("full 20 units") << "1234567890123456789-";
        QTest::newRow("letters U-Z") << "1234567UVWXYZ";
    }
    void japanPost() {
        QFETCH(QString, value);
        QCOMPARE(ourFourStates<JapanPostBarcode>(value), zintBarStates(BARCODE_JAPANPOST, value.toLatin1()));
    }

    // Random values of every length the symbologies take, against zint.
    void randomSweep() {
        using namespace BarcodeSymbologies;
        for (int seed = 0; seed < 60; ++seed) {
            const QString d12 = digits(12, seed);
            QCOMPARE(ours(EAN13, d12), zintRow(BARCODE_EANX, d12.toLatin1()));
            const QString d11 = digits(11, seed);
            QCOMPARE(ours(UPCA, d11), zintRow(BARCODE_UPCA, d11.toLatin1()));
            const int n = 1 + seed % 30;
            const QString dn = digits(n, seed);
            QCOMPARE(ours(Interleaved2of5, dn), zintRow(BARCODE_C25INTER, dn.toLatin1()));
            QCOMPARE(ours(Industrial2of5, dn), zintRow(BARCODE_C25IND, dn.toLatin1()));
            if (n % 2 == 0)
                QCOMPARE(ours(Code128C, dn), zintRow(BARCODE_CODE128, dn.toLatin1()));
            QString text;
            for (int i = 0; i < n; ++i)
                text += QChar(32 + (seed * 7 + i * 13) % 95);
            QCOMPARE(ours(Code128B, text), zintRow(BARCODE_CODE128B, text.toLatin1()));
            QCOMPARE(ours(ExtendedCode39, text), zintRow(BARCODE_EXCODE39, text.toLatin1()));
        }
    }

    // A few hundred random values of every symbology, module for module (postal codes bar for bar).
    void randomEverySymbology_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("zintSymbology");
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<int>("minLength");
        QTest::addColumn<int>("maxLength");
        using namespace BarcodeSymbologies;
        const QString digits = QStringLiteral("0123456789");
        const QString printable = [] {
            QString s;
            for (char c = 32; c < 127; ++c)
                s += QLatin1Char(c);
            return s;
        }();
        const QString code39 = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
        const auto row = [](int index, int zs, const QString& alphabet, int lo, int hi) {
            QTest::newRow(qPrintable(linearTitles().at(index))) << index << zs << alphabet << lo << hi;
        };
        row(Code39, BARCODE_CODE39, code39, 1, 20);
        row(ExtendedCode39, BARCODE_EXCODE39, printable, 1, 20);
        row(Interleaved2of5, BARCODE_C25INTER, digits, 1, 20);
        row(UPCA, BARCODE_UPCA, digits, 11, 11);
        row(PostNet, BARCODE_POSTNET, digits, 11, 11);
        row(Industrial2of5, BARCODE_C25IND, digits, 1, 20);
        row(EAN13, BARCODE_EANX, digits, 12, 12);
        row(Code128, BARCODE_CODE128, printable, 1, 20);
        row(Code128A, 0, code39 + QStringLiteral("\t\x1b_`az{~\x7f"), 1, 20);
        row(Code128B, BARCODE_CODE128B, printable, 1, 20);
        row(Code128C, BARCODE_CODE128, digits, 2, 20);
        row(Codabar, BARCODE_CODABAR, QStringLiteral("0123456789-$:/.+"), 1, 18);
        row(UPCE, BARCODE_UPCE, digits, 7, 7);
        row(EAN8, BARCODE_EANX, digits, 7, 7);
        row(RoyalMail, BARCODE_RM4SCC, QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 1, 12);
        row(Planet, BARCODE_PLANET, digits, 11, 11);
        row(JapanPost, BARCODE_JAPANPOST, QStringLiteral("0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 0, 6);
    }
    void randomEverySymbology() {
        QFETCH(int, index);
        QFETCH(int, zintSymbology);
        QFETCH(QString, alphabet);
        QFETCH(int, minLength);
        QFETCH(int, maxLength);
        using namespace BarcodeSymbologies;
        std::mt19937 rng(7 + index);
        const QByteArray letters = alphabet.toLatin1();
        int compared = 0;
        for (int i = 0; i < 300; ++i) {
            QString v = randomText(rng, letters.constData(), minLength, maxLength);
            if (index == Code128C && v.size() % 2)
                v.chop(1); // set C by the automatic choice too
            else if (index == Codabar)
                v = QLatin1Char("ABCD"[rng() % 4]) + v + QLatin1Char("ABCD"[rng() % 4]);
            else if (index == UPCE)
                v[0] = QLatin1Char(rng() % 4 ? '0' : '1');
            else if (index == JapanPost)
                v.prepend(randomText(rng, "0123456789", 7, 7));
            const QByteArray bytes = v.toLatin1();
            if (index == PostNet || index == Planet) {
                QCOMPARE(ourPostStates(index, v), zintBarStates(zintSymbology, bytes));
            } else if (index == RoyalMail) {
                QCOMPARE(ourFourStates<NKDRoyalMailBarcode>(v), zintBarStates(zintSymbology, bytes));
            } else if (index == Code128A) {
                QCOMPARE(ours(index, v), code128SetA(v));
            } else if (index == JapanPost) {
                const QString mine = ourFourStates<JapanPostBarcode>(v);
                if (mine.isEmpty())
                    continue; // more than 20 units
                QCOMPARE(mine, zintBarStates(zintSymbology, bytes));
            } else {
                const QString mine = ours(index, v);
                if (mine.isEmpty()) {
                    QCOMPARE(index, int(UPCE)); // a number that is not zero-suppressed
                    continue;
                }
                QCOMPARE(mine, zintRow(zintSymbology, bytes));
            }
            ++compared;
        }
        QVERIFY(compared > 100);
    }
};

QTEST_GUILESS_MAIN(TestLinearZint)
#include "test_linear_zint.moc"
