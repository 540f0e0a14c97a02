// Symbology behaviour: worked examples (module counts, check characters, captions, heights) and the
// cases where the encoders refuse or correct what a naive encoder gets wrong.

#include "barcode/BarcodeSymbologies.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDCodabarBarcode.h"
#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDEAN8Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"
#include "barcode/NKDModifiedPlesseyHexBarcode.h"
#include "barcode/NKDPlanetBarcode.h"
#include "barcode/NKDRoyalMailBarcode.h"
#include "barcode/NKDUPCEBarcode.h"

#include <QtTest>

namespace {

class SideDigits : public NKDBarcode {
public:
    int digitsToLeft() const override { return 1; }
    int digitsToRight() const override { return 1; }
};

std::unique_ptr<NKDBarcode> make(int index, const QString& value) {
    auto b = BarcodeSymbologies::createLinearBarcode(index);
    b->initWithContent(value, true);
    return b;
}

// Reference Modified Plessey check digit with exact decimal doubling of the picked digits.
int plesseyReference(const QString& v) {
    QString picked;
    for (int i = int(v.size()) - 1; i >= 0; i -= 2)
        picked += v.at(i);
    QString doubled;
    int carry = 0;
    for (int i = int(picked.size()) - 1; i >= 0; --i) {
        const int d = 2 * (picked.at(i).unicode() - '0') + carry;
        doubled.prepend(QChar('0' + d % 10));
        carry = d / 10;
    }
    if (carry)
        doubled.prepend(QChar('0' + carry));
    int s = 0;
    for (QChar c : doubled)
        s += c.unicode() - '0';
    for (int i = int(v.size()) - 2; i >= 0; i -= 2)
        s += v.at(i).unicode() - '0';
    return s % 10 == 0 ? '0' : '0' + 10 - s % 10;
}

} // namespace

class TestLinear : public QObject {
    Q_OBJECT
private slots:
    void popupOrder() {
        const QStringList& t = BarcodeSymbologies::linearTitles();
        QCOMPARE(t.size(), 19);
        QCOMPARE(t.first(), QStringLiteral("Code 39"));
        QCOMPARE(t.at(9), QStringLiteral("Code 128"));
        QCOMPARE(t.at(12), QStringLiteral("Code 128 SET C"));
        QCOMPARE(t.last(), QStringLiteral("Japan Post Barcode"));
        QCOMPARE(
            BarcodeSymbologies::twoDTitles(),
            QStringList({QStringLiteral("QR Code"), QStringLiteral("PDF417"), QStringLiteral("DataMatrix")}));
        for (int i = 0; i < t.size(); ++i)
            QVERIFY(BarcodeSymbologies::createLinearBarcode(i));
        QVERIFY(!BarcodeSymbologies::createLinearBarcode(19));
        QVERIFY(!BarcodeSymbologies::createLinearBarcode(-1));
    }

    void baseModel() {
        NKDBarcode b;
        b.initWithContent(QStringLiteral("ABC"), true);
        QCOMPARE(b.barcode(), QStringLiteral("101010101010"));
        QCOMPARE(b.completeBarcode(), b.barcode());
        b.setBarWidth(1.0f);
        b.calculateWidth();
        QCOMPARE(b.width(), 12.0f);
        QCOMPARE(b.header(), QString());
        b.setCheckDigit('X');
        QCOMPARE(b.barcode().size(), 16);

        SideDigits s;
        s.initWithContent(QStringLiteral("123456789012"), true);
        QCOMPARE(s.leftCaption(), QStringLiteral("1"));
        QCOMPARE(s.rightCaption(), QStringLiteral("2"));
        QCOMPARE(s.caption(), QStringLiteral("2345678901"));

        NKDBarcode h;
        h.initWithContent(QStringLiteral("A"), false);
        BarcodeMargins m;
        m.TB_margin = 2;
        h.setMargins(m);
        QCOMPARE(h.barTop(0), 32.0f);

        NKDBarcode bad;
        bad.initWithContent(QStringLiteral("Ä"), true);
        QVERIFY(!bad.isContentValid());
        QCOMPARE(bad.barcode(), QString());
    }

    void examples_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("modules");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("right");
        using namespace BarcodeSymbologies;
        const struct {
            const char* tag;
            int index;
            QString value;
            int modules, check;
            QString left, caption, right;
        } rows[] = {
            {"ean13", int(EAN13), "400638133393", 95, int('1'), "4", "  006381\t333931", ""},
            {"ean13 given check", int(EAN13), "4006381333931", 95, int('1'), "4", "  006381\t333931", ""},
            {"upca", int(UPCA), "03600029145", 95, int('2'), "0", "36000\t29145", "2"},
            {"ean8", int(EAN8), "9638507", 67, int('4'), "", " 9638\t5074", ""},
            {"upce from upca", int(UPCE), "04210000526", 51, int('4'), "0", "425261", "4"},
            {"code128 C", int(Code128), "123456", 68, 44, "", "123456", ""},
            {"code128 B Hello", int(Code128), "Hello", 90, 76, "", "Hello", ""},
            {"code128 B space", int(Code128B), "A B", 68, 33, "", "A B", ""},
            {"code39 upper-cases", int(Code39), "abc", 65, -1, "", "ABC", ""},
            {"excode39 keeps case", int(ExtendedCode39), "a_b", 13 * 8, -1, "", "a_b", ""},
            {"excode39 percent", int(ExtendedCode39), "50%", 13 * 6, -1, "", "50%", ""},
            {"excode39 slash", int(ExtendedCode39), "A/B", 13 * 6, -1, "", "A/B", ""},
            {"codabar", int(Codabar), "A1234B", 11 + 4 * 10 + 11, -1, "", "A1234B", ""},
            {"plessey", int(ModifiedPlessey), "1234567", 163, int('4'), "", "1234567", ""},
            {"plessey hex", int(ModifiedPlesseyHex), "1a", 16 + 3 * 16 + 19, -2, "", "1A", ""},
            {"itf even", int(Interleaved2of5), "1234", 45, -1, "", "1234", ""},
            {"itf odd", int(Interleaved2of5), "123", 45, -1, "", "123", ""},
            {"industrial", int(Industrial2of5), "12", 47, -1, "", "12", ""},
            {"postnet", int(PostNet), "12345", 94, int('5'), "", "12345", ""},
            {"royal mail", int(RoyalMail), "SN34RD1A", 75, int('K'), "", "SN34RD1A", ""},
            {"japan post", int(JapanPost), "1060032", 133, int('>'), "", "1060032", ""},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.index << r.value << r.modules << r.check << r.left << r.caption
                                 << r.right;
    }
    void examples() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(int, check);
        QFETCH(QString, caption);
        auto b = make(index, value);
        QVERIFY2(b->isContentValid(), qPrintable(b->invalidReason()));
        QTEST(int(b->completeBarcode().size()), "modules");
        if (check != -2)
            QCOMPARE(b->checkDigit(), check);
        QTEST(b->leftCaption(), "left");
        QCOMPARE(b->caption(), caption);
        QTEST(b->rightCaption(), "right");
    }

    // The width always counts the modules drawn (UPC and EAN add a tenth on each side).
    void widthCountsModules() {
        const QStringList values = {"0123", "ab*%",  "400638133393", "4006381333931", "1234567", "0425261",
                                    "A12B", "12345", "SN34RD1A",     "1060032",       "",        "x"};
        for (int index = 0; index < BarcodeSymbologies::LinearCount; ++index) {
            for (const QString& v : values) {
                auto b = make(index, v);
                b->setBarWidth(1.0f);
                b->calculateWidth();
                const bool upcEan = BarcodeSymbologies::isUpcEan(index);
                const float expected =
                    upcEan ? (b->content().isEmpty() ? 0.0f : b->completeBarcode().size() * 1.2f)
                           : float(b->completeBarcode().size());
                if (index == BarcodeSymbologies::JapanPost)
                    continue; // its bar width follows the symbol size
                QVERIFY2(qFuzzyCompare(b->width() + 1, expected + 1),
                         qPrintable(BarcodeSymbologies::linearTitles().at(index) + " " + v));
            }
        }
    }

    // Module count, barcode() and the complete string agree for any value, refused ones included
    // (symbologies count arithmetically and write in place, apart from barcode()).
    void modulePathsAgree() {
        const QString alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcz-.$/+:%* \t\x7f") +
                                 QChar(0xE9) + QChar(0x20AC);
        quint32 x = 17;
        const auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
        for (int index = 0; index < BarcodeSymbologies::LinearCount; ++index) {
            for (int i = 0; i < 200; ++i) {
                QString v;
                const bool digits = i % 2;
                for (int n = int(next() % 22); n > 0; --n)
                    v += digits ? QChar(char16_t('0' + next() % 10)) : alphabet.at(next() % alphabet.size());
                auto b = make(index, v);
                const QString all = b->completeBarcode();
                const QString what = BarcodeSymbologies::linearTitles().at(index) + " [" + v + "]";
                QVERIFY2(b->moduleCount() == all.size(), qPrintable(what));
                QVERIFY2(b->initiator() + b->barcode() + b->terminator() == all, qPrintable(what));
            }
        }
    }

    void refused_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        using namespace BarcodeSymbologies;
        QTest::newRow("ean13 letters") << int(EAN13) << "40063813339A";
        QTest::newRow("ean13 wrong check") << int(EAN13) << "4006381333932";
        QTest::newRow("ean13 fourteen digits") << int(EAN13) << "40063813339310";
        QTest::newRow("ean13 short") << int(EAN13) << "40063813339";
        QTest::newRow("ean8 letter") << int(EAN8) << "96385a7";
        QTest::newRow("ean8 wrong check") << int(EAN8) << "96385075";
        QTest::newRow("ean8 six digits") << int(EAN8) << "963850";
        QTest::newRow("upca wrong check") << int(UPCA) << "036000291453";
        QTest::newRow("upce cannot suppress") << int(UPCE) << "12345678901";
        QTest::newRow("upce wrong upca check") << int(UPCE) << "042100005265";
        QTest::newRow("upce wrong check") << int(UPCE) << "04252615";
        QTest::newRow("upce letter") << int(UPCE) << "04252a1";
        QTest::newRow("upce number system 2") << int(UPCE) << "2425261";
        QTest::newRow("upce not standard form") << int(UPCE) << "0120003";
        QTest::newRow("code128 set C letters") << int(Code128C) << "12AB";
        QTest::newRow("code128 non ascii") << int(Code128) << "caf\u00e9";
        QTest::newRow("code39 star") << int(Code39) << "A*B";
        QTest::newRow("code39 underscore") << int(Code39) << "a_b";
        QTest::newRow("code39 sharp s") << int(Code39) << "stra\u00dfe"; // never becomes "STRASSE"
        QTest::newRow("royal mail sharp s") << int(RoyalMail) << "\u00df1";
        QTest::newRow("excode39 tab") << int(ExtendedCode39) << "a\tb";
        QTest::newRow("codabar lower case") << int(Codabar) << "a1234b";
        QTest::newRow("codabar no start") << int(Codabar) << "1234B";
        QTest::newRow("codabar no stop") << int(Codabar) << "A1234";
        QTest::newRow("codabar start inside") << int(Codabar) << "A12C34B";
        QTest::newRow("codabar only start") << int(Codabar) << "A";
        QTest::newRow("itf letter") << int(Interleaved2of5) << "12a4";
        QTest::newRow("plessey hex letter") << int(ModifiedPlessey) << "1A";
        QTest::newRow("postnet 4") << int(PostNet) << "1234";
        QTest::newRow("postnet hyphen") << int(PostNet) << "12345-6789";
        QTest::newRow("planet 5") << int(Planet) << "12345";
        QTest::newRow("planet 12") << int(Planet) << "123456789012";
        QTest::newRow("royal mail hyphen") << int(RoyalMail) << "AB-1";
        QTest::newRow("royal mail space") << int(RoyalMail) << "SN34 RD1A";
        QTest::newRow("japan post six digits") << int(JapanPost) << "106003";
        QTest::newRow("japan post over 20 units") << int(JapanPost) << "0248201CENTRAL";
        QTest::newRow("japan post symbol") << int(JapanPost) << "1060032#5";
    }
    void refused() {
        QFETCH(int, index);
        QFETCH(QString, value);
        auto b = make(index, value);
        QVERIFY(!b->isContentValid());
        QVERIFY(!b->invalidReason().isEmpty());
    }

    // A refusal names a character it cannot encode: quoted when visible, by its code when invisible.
    void refusalNamesCharacters_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");
        using namespace BarcodeSymbologies;
        QTest::newRow("bell in Code 39") << int(Code39) << QStringLiteral("AB\a") << "U+0007";
        QTest::newRow("tab in Extended Code 39") << int(ExtendedCode39) << QStringLiteral("A\tB") << "U+0009";
        QTest::newRow("no-break space in Code 39") << int(Code39) << QStringLiteral("A\u00A0B") << "U+00A0";
        QTest::newRow("zero width space in Codabar")
            << int(Codabar) << QStringLiteral("A1\u200B2B") << "U+200B";
        QTest::newRow("sharp s in Code 128") << int(Code128) << QStringLiteral("Straße") << "\"ß\"";
        QTest::newRow("emoji in Code 128")
            << int(Code128) << QStringLiteral("A\U0001F600") << "\"\U0001F600\"";
        QTest::newRow("letter in Code 128 SET C") << int(Code128C) << QStringLiteral("12A4") << "\"A\"";
        QTest::newRow("escape in Japan Post") << int(JapanPost) << QStringLiteral("1060032\x1b") << "U+001B";
        QTest::newRow("visible in Code 39") << int(Code39) << QStringLiteral("A_B") << "\"_\"";
    }
    void refusalNamesCharacters() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(QString, named);
        auto b = make(index, value);
        QVERIFY(!b->isContentValid());
        const QString reason = b->invalidReason();
        QVERIFY2(reason.contains(named), qPrintable(reason));
        for (char32_t c : reason.toUcs4())
            QVERIFY2(QChar::isPrint(c) && c != 0x200B, qPrintable(reason));
    }

    void eanUpcRules() {
        NKDUPCEBarcode e;
        e.initWithContent(QStringLiteral("0425261"), true);
        QCOMPARE(e.checkDigit(), int('4'));
        QCOMPARE(NKDUPCEBarcode::UPCAToUPCE(QStringLiteral("042100005264")), QStringLiteral("425261"));
        QCOMPARE(NKDUPCEBarcode::UPCEToUPCA(QStringLiteral("0425261")), QStringLiteral("04210000526"));
        QCOMPARE(NKDUPCEBarcode::UPCAToUPCE(QStringLiteral("123456789012")), QString());
        // Parity of check digits 1 and 2 (even = 1).
        const auto parity = [](int check) {
            NKDUPCEBarcode b;
            b.initWithContent(QStringLiteral("0425261"), true);
            b.setCheckDigit('0' + check);
            QString p;
            for (int i = 1; i <= 6; ++i)
                p += b.parityForDigit(i) ? QLatin1Char('E') : QLatin1Char('O');
            return p;
        };
        QCOMPARE(parity(1), QStringLiteral("EEOEOO"));
        QCOMPARE(parity(2), QStringLiteral("EEOOEO"));
        NKDEAN13Barcode empty;
        empty.initWithContent(QString(), true);
        QCOMPARE(empty.width(), 0.0f);
    }

    void code128Encoding_data() {
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("symbols");
        QTest::addColumn<int>("check");
        // Odd digit counts end with CODE B instead of gaining a leading zero.
        QTest::newRow("auto odd digits") << 3 << "12345" << QList<int>{12, 34, 100, 21} << 54;
        QTest::newRow("set C odd digits")
            << 2 << "123" << QList<int>{12, 100, 19} << (105 + 12 + 200 + 57) % 103;
        // Set A writes a lower-case letter with SHIFT; set B a control character.
        QTest::newRow("set A shift") << 0 << "Ab" << QList<int>{33, 98, 66} << (103 + 33 + 196 + 198) % 103;
        QTest::newRow("set B shift") << 1 << "A\tB" << QList<int>{33, 98, 73, 34}
                                     << (104 + 33 + 196 + 219 + 136) % 103;
        QTest::newRow("set A controls")
            << 0 << "\t;\x1e\x1f" << QList<int>{73, 27, 94, 95} << (103 + 73 + 54 + 282 + 380) % 103;
        QTest::newRow("set A delete") << 0 << "\x7f" << QList<int>{98, 95} << (103 + 98 + 190) % 103;
        QTest::newRow("auto control text")
            << 3 << "\t\tx" << QList<int>{73, 73, 98, 88} << (103 + 73 + 146 + 294 + 352) % 103;
    }
    void code128Encoding() {
        QFETCH(int, set);
        QFETCH(QString, value);
        QFETCH(QList<int>, symbols);
        NKDCode128Barcode b;
        b.setCodeSet(set);
        b.initWithContent(value, true);
        QVERIFY(b.isContentValid());
        QCOMPARE(b.symbolValues(), symbols);
        QTEST(b.checkDigit(), "check");
        QCOMPARE(b.completeBarcode().size(), 11 * (symbols.size() + 2) + 13);
        QCOMPARE(b.caption(), value);
    }

    void code39Family() {
        NKDExtendedCode39Barcode x;
        x.initWithContent(QStringLiteral("*"), true);
        QVERIFY(x.isContentValid());
        QCOMPARE(x.barcode(), NKDCode39Barcode::code39Pattern('/') + NKDCode39Barcode::code39Pattern('J'));
        QCOMPARE(NKDExtendedCode39Barcode::fullAsciiPair('a'), QStringLiteral("+A"));
        QCOMPARE(NKDExtendedCode39Barcode::fullAsciiPair('_'), QStringLiteral("%O"));
        QCOMPARE(NKDExtendedCode39Barcode::fullAsciiPair('%'), QStringLiteral("/E"));
        QCOMPARE(NKDCode39Barcode::code39Pattern('0'), QStringLiteral("1010011011010"));
        QCOMPARE(NKDCode39Barcode::code39Pattern('A'), QStringLiteral("1101010010110"));
        QCOMPARE(NKDCode39Barcode::code39Pattern('*'), QStringLiteral("1001011011010"));
    }

    void codabarPatterns() {
        NKDCodabarBarcode c;
        QCOMPARE(c._encodeChar('B'), QStringLiteral("10010010110"));
        QCOMPARE(c._encodeChar('C'), QStringLiteral("10100100110"));
        QCOMPARE(c._encodeChar('+'), QStringLiteral("10110110110"));
        QCOMPARE(c._encodeChar('a'), QString());
    }

    void industrialFraming() {
        NKDIndustrialTwoOfFiveBarcode b;
        b.initWithContent(QStringLiteral("0"), true);
        QCOMPARE(b.completeBarcode(), QStringLiteral("1110111010") + QStringLiteral("10101110111010") +
                                          QStringLiteral("111010111"));
    }

    // Symbologies that write their modules in place give exactly their pattern tables' string.
    void inPlaceModulesFollowPatterns_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        using namespace BarcodeSymbologies;
        QTest::newRow("plessey") << int(ModifiedPlessey) << "1234567890";
        QTest::newRow("plessey hex") << int(ModifiedPlesseyHex) << "09AF5c";
        QTest::newRow("postnet") << int(PostNet) << "01234567890";
        QTest::newRow("planet") << int(Planet) << "4012345678901";
    }
    void inPlaceModulesFollowPatterns() {
        QFETCH(int, index);
        QFETCH(QString, value);
        auto b = make(index, value);
        QVERIFY(b->isContentValid());
        QString expected = b->initiator();
        for (QChar c : b->content())
            expected += b->_encodeChar(c);
        if (b->checkDigit() != -1)
            expected += b->_encodeChar(QChar(b->checkDigit()));
        expected += b->terminator();
        QCOMPARE(b->completeBarcode(), expected);
        QCOMPARE(b->moduleCount(), int(expected.size()));
    }

    void plesseyCheck_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("example") << "1234567";
        QTest::newRow("19 digits") << "9999999999999999999";
        QTest::newRow("30 digits") << "987654321098765432109876543210";
        QTest::newRow("40 nines") << QString(40, QLatin1Char('9'));
        QTest::newRow("single") << "5";
    }
    void plesseyCheck() {
        QFETCH(QString, value);
        auto b = make(BarcodeSymbologies::ModifiedPlessey, value);
        QCOMPARE(b->checkDigit(), plesseyReference(value));
    }

    void postal() {
        NKDPostnetBarcode p;
        p.initWithContent(QStringLiteral("12345"), true);
        // Digit 1: short, short, short, tall, tall.
        QString bars;
        for (int i = 3; i < 18; i += 3)
            bars += qFuzzyCompare(p.barTop(i), 9.0f) ? 'T' : qFuzzyCompare(p.barTop(i), 3.6f) ? 's' : '?';
        QCOMPARE(bars, QStringLiteral("sssTT"));
        QCOMPARE(p.barTop(0), 9.0f);
        QCOMPARE(p.barTop(93), 9.0f);

        NKDPostnetBarcode post;
        NKDPlanetBarcode planet;
        post.initWithContent(QStringLiteral("01234567890"), true);
        planet.initWithContent(QStringLiteral("01234567890"), true);
        QVERIFY(planet.isContentValid());
        QCOMPARE(planet.checkDigit(), post.checkDigit());
        const QString m = post.completeBarcode();
        for (int i = 3; i + 1 < m.size(); ++i)
            if (m.at(i) == QLatin1Char('1'))
                QCOMPARE(planet.barTop(i) > 6, post.barTop(i) < 6);

        NKDRoyalMailBarcode r;
        r.initWithContent(QStringLiteral("sn34rd1a"), false);
        QVERIFY(r.isContentValid());
        QCOMPARE(r.content(), QStringLiteral("SN34RD1A"));
        QCOMPARE(r.checkDigit(), int('K'));
        // The texts follow the designer's hide boxes like every other symbology.
        QVERIFY(!r.printsCaption());
        r.setPrintsHeader(false);
        r.setPrintsFooter(true);
        QVERIFY(!r.printsHeader() && r.printsFooter());
        QCOMPARE(NKDRoyalMailBarcode::royalmail_characterDescriptor('0'), 0x0033);
        QCOMPARE(NKDRoyalMailBarcode::royalmail_characterDescriptor('Z'), 0x3300);
        // Start bar is an ascender: it stops above the baseline of the descenders.
        QVERIFY(r.barBottom(0) > 5.0f);
        QCOMPARE(r.barTop(0), r.fixedBarHeight());
        QCOMPARE(r.barBottom(74), 0.0f);
    }

    void japanPost() {
        JapanPostBarcode j;
        j.initWithContent(QStringLiteral("1060032"), true, 0.936f, 12.0f, 6.0f, -1);
        QCOMPARE(j.symbolSize(), 10.0f);
        QCOMPARE(j.japanpostContents(), QStringLiteral("1060032") + QString(13, QLatin1Char('=')));
        QCOMPARE(j.checkDigit(), int('>'));
        j.setSymbolSize(8.2f);
        QCOMPARE(j.symbolSize(), 8.5f);
        j.setBarWidth(1.0f);
        QCOMPARE(j.symbolSize(), 8.5f); // never below 8.5 points
        QCOMPARE(j.barWidth(), 8.5f / 6.0f);
        j.setBarWidth(3.0f);
        QCOMPARE(j.symbolSize(), 11.5f);
        // A long bar is 3.6 mm at size 10.
        j.setSymbolSize(10.0f);
        QCOMPARE(j.fixedBarHeight(), float(3.6 * 72.0 / 25.4));

        JapanPostBarcode letters;
        letters.initWithContent(QStringLiteral("0248201cent"), true);
        QVERIFY(letters.isContentValid());
        QCOMPARE(letters.content(), QStringLiteral("0248201CENT"));
        QCOMPARE(letters.japanpostContents().left(15), QStringLiteral("0248201:2:4;3;9"));
    }
};

QTEST_GUILESS_MAIN(TestLinear)
#include "test_linear.moc"
