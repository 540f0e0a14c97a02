#include "TwoDTestUtil.h"

#include "barcode/twod/QREncoder.h"
#include "barcode/twod/QR_Encode.h"
#include "barcode/twod/TwoDImages.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>
#include <zint.h>

namespace {

QByteArray repeatTo(const char* alphabet, int n)
{
    QByteArray b;
    const int k = int(strlen(alphabet));
    for (int i = 0; i < n; ++i)
        b += alphabet[(i * 7 + i / k) % k];
    return b;
}

CQR_Encode encodeOrFail(const QByteArray& data, int level, int version, int mask, bool* ok)
{
    CQR_Encode e;
    *ok = e.EncodeData(level, version, false, mask, reinterpret_cast<const uint8_t*>(data.constData()),
                       std::size_t(data.size()));
    return e;
}

QString randomText(QRandomGenerator& rng, int chars, bool unicode)
{
    static const char32_t extra[] = {U'é', U'ß', U'€', U'日', U'本', U'語', U'Ж', U'ñ', U'😀', U'中', U'€', U'ü'};
    QString s;
    for (int i = 0; i < chars; ++i) {
        if (unicode && rng.bounded(3) == 0) {
            const char32_t c = extra[rng.bounded(int(std::size(extra)))];
            s += QString::fromUcs4(&c, 1);
        } else {
            s += QChar(char16_t(32 + rng.bounded(95)));
        }
    }
    return s;
}

// The four penalty rules written out module by module.
int referencePenalty(const std::vector<uint8_t>& m, int n)
{
    auto dark = [&](int x, int y) { return m[std::size_t(y) * n + x] != 0; };
    int p = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < n; ++i) {
            auto at = [&](int j) { return pass == 0 ? dark(j, i) : dark(i, j); };
            auto light = [&](int j) { return j < 0 || j >= n || !at(j); };
            int run = 1;
            for (int j = 1; j <= n; ++j) {
                if (j < n && at(j) == at(j - 1)) {
                    ++run;
                } else {
                    if (run >= 5)
                        p += run - 2;
                    run = 1;
                }
            }
            for (int s = 0; s + 6 < n; ++s) {
                const bool core = at(s) && !at(s + 1) && at(s + 2) && at(s + 3) && at(s + 4) && !at(s + 5) && at(s + 6);
                if (!core || !light(s - 1) || !light(s + 7))
                    continue;
                if ((light(s - 2) && light(s - 3) && light(s - 4)) || (light(s + 8) && light(s + 9) && light(s + 10)))
                    p += 40;
            }
        }
    int lightCount = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            lightCount += !dark(x, y);
            if (x + 1 < n && y + 1 < n && dark(x, y) == dark(x + 1, y) && dark(x, y) == dark(x, y + 1) &&
                dark(x, y) == dark(x + 1, y + 1))
                p += 3;
        }
    p += 10 * (std::abs(50 - 100 * lightCount / (n * n)) / 5);
    return p;
}

// Size, resolution, size in points and a digest of every pixel; or the refusal.
QString fingerprint(const TwoDResult& r)
{
    if (!r.ok())
        return QStringLiteral("refused: ") + r.reason;
    const QImage img = r.image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int y = 0; y < img.height(); ++y)
        h.addData(QByteArrayView(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 4));
    return QStringLiteral("%1x%2 %3dpm %4x%5pt %6")
        .arg(img.width())
        .arg(img.height())
        .arg(img.dotsPerMeterX())
        .arg(r.sizePoints.width())
        .arg(r.sizePoints.height())
        .arg(QString::fromLatin1(h.result().toHex().left(16)));
}

} // namespace

class TestQr : public QObject {
    Q_OBJECT
private slots:
    void tablesMatchStandard_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<int>>("data"); // data codewords L, M, Q, H
        QTest::addColumn<int>("total");
        QTest::newRow("1") << 1 << QList<int>{19, 16, 13, 9} << 26;
        QTest::newRow("7") << 7 << QList<int>{156, 124, 88, 66} << 196;
        QTest::newRow("10") << 10 << QList<int>{274, 216, 154, 122} << 346;
        QTest::newRow("27") << 27 << QList<int>{1468, 1128, 808, 628} << 1828;
        QTest::newRow("40") << 40 << QList<int>{2956, 2334, 1666, 1276} << 3706;
    }
    void tablesMatchStandard()
    {
        QFETCH(int, version);
        QFETCH(QList<int>, data);
        QTEST(qr::totalCodewords(version), "total");
        for (int l = 0; l < 4; ++l)
            QCOMPARE(qr::dataCodewords(version, l), data[l]);
        // Capacities of version 1 and 40 per mode (digits, alphanumerics, bytes, Kanji).
        const int v1[4][4] = {{41, 34, 27, 17}, {25, 20, 16, 10}, {17, 14, 11, 7}, {10, 8, 7, 4}};
        const int v40[4][4] = {{7089, 5596, 3993, 3057}, {4296, 3391, 2420, 1852}, {2953, 2331, 1663, 1273},
                               {1817, 1435, 1024, 784}};
        for (int mode = 0; mode < 4; ++mode)
            for (int l = 0; l < 4; ++l) {
                QCOMPARE(CQR_Encode::capacity(1, l, mode), v1[mode][l]);
                QCOMPARE(CQR_Encode::capacity(40, l, mode), v40[mode][l]);
            }
        QCOMPARE(CQR_Encode::capacity(10, 3, qr::Byte), 119);
    }

    void alignmentCoordinates()
    {
        QCOMPARE(qr::alignmentCoordinates(1), std::vector<int>{});
        QCOMPARE(qr::alignmentCoordinates(2), (std::vector<int>{6, 18}));
        QCOMPARE(qr::alignmentCoordinates(7), (std::vector<int>{6, 22, 38}));
        QCOMPARE(qr::alignmentCoordinates(14), (std::vector<int>{6, 26, 46, 66}));
        QCOMPARE(qr::alignmentCoordinates(32), (std::vector<int>{6, 34, 60, 86, 112, 138}));
        QCOMPARE(qr::alignmentCoordinates(36), (std::vector<int>{6, 24, 50, 76, 102, 128, 154}));
        QCOMPARE(qr::alignmentCoordinates(40), (std::vector<int>{6, 30, 58, 86, 114, 142, 170}));
    }

    void matchesZintModuleForModule_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("level");
        for (int v : {1, 2, 5, 7, 10, 14, 27, 40})
            for (int l = 0; l < 4; ++l)
                QTest::addRow("v%d-%c", v, "LMQH"[l]) << v << l;
    }
    void matchesZintModuleForModule()
    {
        QFETCH(int, version);
        QFETCH(int, level);
        // One mode per data set; lengths fill most of the symbol.
        const int mode = version % 3; // numeric, alphanumeric or byte, varied across versions
        const char* alphabet = mode == 0 ? "0123456789" : mode == 1 ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:" : "abcdefghijklmnopqrstuvwxyz";
        const int cap = CQR_Encode::capacity(version, level, mode);
        const QByteArray data = repeatTo(alphabet, std::max(1, cap - version % 4));
        for (int mask = 0; mask < 8; ++mask) {
            bool ok = false;
            const CQR_Encode ours = encodeOrFail(data, level, version, mask, &ok);
            QVERIFY(ok);
            QCOMPARE(ours.m_segments.size(), std::size_t(1));
            QCOMPARE(ours.m_segments[0].mode, mode);
            const RefSymbol ref = zintEncode(BARCODE_QRCODE, data, level + 1, version, (mask + 1) << 8);
            QVERIFY2(ref.ok(), qPrintable(ref.error));
            QCOMPARE(ref.width, ours.m_nSymbleSize);
            for (int y = 0; y < ref.rows; ++y)
                for (int x = 0; x < ref.width; ++x)
                    if (ref.modules[std::size_t(y)][std::size_t(x)] != ours.module(x, y))
                        QFAIL(qPrintable(QStringLiteral("mask %1: module (%2, %3) differs").arg(mask).arg(x).arg(y)));
        }
    }

    void capacityMatchesZintAtEveryVersion()
    {
        // The largest byte count that fits each version and level, and one more, as zint sizes them.
        for (int v = 1; v <= 40; ++v)
            for (int l = 0; l < 4; ++l) {
                const int cap = CQR_Encode::capacity(v, l, qr::Byte);
                const QByteArray fits = repeatTo("abcdefghijklmnopqrstuvwxyz", cap);
                bool ok = false;
                encodeOrFail(fits, l, v, 0, &ok);
                QVERIFY(ok);
                encodeOrFail(fits + 'a', l, v, 0, &ok);
                QVERIFY(!ok);
                const RefSymbol ref = zintEncode(BARCODE_QRCODE, fits, l + 1, 0, 1 << 8);
                QVERIFY2(ref.ok(), qPrintable(ref.error));
                QCOMPARE(ref.width, 4 * v + 17);
            }
    }

    void segmentation_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("modes");
        QTest::addColumn<QList<int>>("lengths");
        QTest::newRow("ABC123") << QByteArray("ABC123") << QList<int>{qr::Alphanumeric} << QList<int>{6};
        QTest::newRow("a1b") << QByteArray("a1b") << QList<int>{qr::Byte} << QList<int>{3};
        QTest::newRow("a12345b") << QByteArray("a12345b") << QList<int>{qr::Byte} << QList<int>{7};
        QTest::newRow("a123456b") << QByteArray("a123456b") << QList<int>{qr::Byte, qr::Numeric, qr::Byte}
                                  << QList<int>{1, 6, 1};
        QTest::newRow("digits") << QByteArray("0123456789") << QList<int>{qr::Numeric} << QList<int>{10};
        QTest::newRow("url") << QByteArray("https://example.com/a") << QList<int>{qr::Byte} << QList<int>{21};
        QTest::newRow("caps+digits") << QByteArray("ABCDEFGHIJKL1234567890123")
                                     << QList<int>{qr::Alphanumeric, qr::Numeric} << QList<int>{12, 13};
    }
    void segmentation()
    {
        QFETCH(QByteArray, text);
        bool ok = false;
        const CQR_Encode e = encodeOrFail(text, 0, 0, -1, &ok);
        QVERIFY(ok);
        QList<int> gotModes, gotLengths;
        for (const qr::Segment& s : e.m_segments) {
            gotModes << s.mode;
            gotLengths << s.length;
        }
        QTEST(gotModes, "modes");
        QTEST(gotLengths, "lengths");
        QVERIFY(e.module(8, e.m_nSymbleSize - 8)); // the dark module
    }

    void requestedVersion()
    {
        bool ok = false;
        CQR_Encode e = encodeOrFail("HELLO", 0, 3, -1, &ok);
        QVERIFY(ok);
        QCOMPARE(e.m_nSymbleSize, 29);
        e = encodeOrFail("HELLO", 0, 12, -1, &ok);
        QVERIFY(ok);
        QCOMPARE(e.m_nVersion, 12);
        // 20 bytes need version 2 at level L.
        const QByteArray twenty = repeatTo("abcdefghijklmnopqrstuvwxyz", 20);
        encodeOrFail(twenty, 0, 1, -1, &ok);
        QVERIFY(!ok);
        CQR_Encode ext;
        QVERIFY(ext.EncodeData(0, 1, true, -1, reinterpret_cast<const uint8_t*>(twenty.constData()), 20));
        QCOMPARE(ext.m_nSymbleSize, 25);
        // The wrapper keeps a fixed version and says why.
        QString reason;
        QVERIFY(!QREncoder::encodeWithECLevel(0, 1, QString::fromLatin1(twenty), &reason));
        QVERIFY(reason.contains(QStringLiteral("version 1")));
        QVERIFY(QREncoder::encodeWithECLevel(0, 2, QString::fromLatin1(twenty)));
    }

    void penaltyFollowsTheRules()
    {
        QRandomGenerator rng(18004);
        for (int round = 0; round < 40; ++round) {
            const int n = round == 0 ? 177 : 11 + rng.bounded(167);
            std::vector<uint8_t> m(std::size_t(n) * n);
            const int density = 1 + rng.bounded(9);
            for (uint8_t& c : m)
                c = rng.bounded(10) < density ? 1 : 0;
            if (round % 4 == 0) // plant finder-like runs
                for (int k = 0; k < n; k += 3) {
                    const int y = rng.bounded(n), x0 = rng.bounded(std::max(1, n - 11));
                    const uint8_t pat[11] = {0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1};
                    for (int j = 0; j < 11 && x0 + j < n; ++j)
                        m[std::size_t(y) * n + x0 + j] = pat[j];
                }
            QCOMPARE(CQR_Encode::CountPenalty(m.data(), n), referencePenalty(m, n));
        }
        bool ok = false;
        for (int mask = 0; mask < 8; ++mask) {
            const CQR_Encode e = encodeOrFail("https://navu.example/penalty", 2, 3, mask, &ok);
            QCOMPARE(CQR_Encode::CountPenalty(e.m_byModuleData.data(), e.m_nSymbleSize),
                     referencePenalty(e.m_byModuleData, e.m_nSymbleSize));
        }
    }

    void autoMaskPicksLowestPenalty()
    {
        for (const char* text : {"HELLO WORLD", "https://navu.example/card?id=42", "0123456789012345678901234567890"}) {
            bool ok = false;
            const CQR_Encode chosen = encodeOrFail(text, 1, 0, -1, &ok);
            QVERIFY(ok);
            int best = -1, bestMask = -1;
            for (int mask = 0; mask < 8; ++mask) {
                const CQR_Encode e = encodeOrFail(text, 1, 0, mask, &ok);
                const int p = CQR_Encode::CountPenalty(e.m_byModuleData.data(), e.m_nSymbleSize);
                if (best < 0 || p < best) {
                    best = p;
                    bestMask = mask;
                }
            }
            QCOMPARE(chosen.m_nMaskingNo, bestMask);
        }
        // Random values at every version and level: the automatic choice is the lowest penalty of the
        // eight symbols counted module by module.
        QRandomGenerator rng(4018);
        for (int round = 0; round < 240; ++round) {
            const int level = round % 4;
            const int version = 1 + round % 40;
            const int bytes = std::max(1, qr::dataCodewords(version, level) - 3 - rng.bounded(8));
            QByteArray text(bytes, Qt::Uninitialized);
            const bool binary = round % 3 == 0;
            for (char& c : text)
                c = char(binary ? rng.bounded(256) : 32 + rng.bounded(95));
            bool ok = false;
            const CQR_Encode chosen = encodeOrFail(text, level, version, -1, &ok);
            QVERIFY(ok);
            int best = -1, bestMask = -1;
            for (int mask = 0; mask < 8; ++mask) {
                const CQR_Encode e = encodeOrFail(text, level, version, mask, &ok);
                const int p = referencePenalty(e.m_byModuleData, e.m_nSymbleSize);
                if (best < 0 || p < best) {
                    best = p;
                    bestMask = mask;
                }
            }
            QCOMPARE(chosen.m_nMaskingNo, bestMask);
            QCOMPARE(chosen.m_byModuleData, encodeOrFail(text, level, version, bestMask, &ok).m_byModuleData);
        }
    }

    void autoVersionUsesAllForty()
    {
        // A web address of 80 characters needs version 5 at level L; "Auto" must find it.
        const QString url = QStringLiteral("https://www.example.com/") + QString(56, QLatin1Char('x'));
        const auto grid = QREncoder::encodeWithECLevel(0, 0, url);
        QVERIFY(grid.has_value());
        QCOMPARE(grid->dimension(), 37);
        // Every byte of version 40-L fits, one more does not.
        const QString full = QString::fromLatin1(repeatTo("abcdefghijklmnopqrstuvwxyz", 2953));
        const auto big = QREncoder::encodeWithECLevel(0, 0, full);
        QVERIFY(big.has_value());
        QCOMPARE(big->dimension(), 177);
        QString reason;
        QVERIFY(!QREncoder::encodeWithECLevel(0, 0, full + QLatin1Char('a'), &reason));
        QVERIFY(reason.contains(QStringLiteral("too long")));
    }

    void mixedTextFormerlyRefusedFits()
    {
        // Twelve capitals and thirteen digits: 137 bits, version 1 at level L.
        const QString text = QStringLiteral("ABCDEFGHIJKL1234567890123");
        const auto grid = QREncoder::encodeWithECLevel(0, 0, text);
        QVERIFY(grid.has_value());
        QCOMPARE(grid->dimension(), 21);
        QrParams p;
        p.dpi = 300;
        const TwoDResult r = makeQrImage(p, text);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(decodeImage(r.image, 40).text, text);
    }

    void kanjiModeForShiftJis()
    {
        // "日本語" in Shift JIS, encoded as Kanji characters when asked to.
        const QByteArray sjis("\x93\xfa\x96\x7b\x8c\xea");
        CQR_Encode e;
        QVERIFY(e.EncodeData(1, 0, false, -1, reinterpret_cast<const uint8_t*>(sjis.constData()), 6, true));
        QCOMPARE(e.m_segments.size(), std::size_t(1));
        QCOMPARE(e.m_segments[0].mode, qr::Kanji);
        DataMatrix grid(e.m_nSymbleSize);
        for (int y = 0; y < e.m_nSymbleSize; ++y)
            for (int x = 0; x < e.m_nSymbleSize; ++x)
                grid.set(e.module(x, y), x, y);
        const QImage img = QREncoder::renderDataMatrix(grid, e.m_nSymbleSize * 4, Qt::black, Qt::white);
        QCOMPARE(decodeImage(img, 16).text, QStringLiteral("日本語"));
        // The same text as UTF-8 never becomes Kanji.
        const QByteArray utf8 = QStringLiteral("日本語").toUtf8();
        CQR_Encode u;
        QVERIFY(u.EncodeData(1, 0, false, -1, reinterpret_cast<const uint8_t*>(utf8.constData()), std::size_t(utf8.size())));
        QCOMPARE(u.m_segments[0].mode, qr::Byte);
    }

    void invalidIndexesGiveReason_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("value");
        QTest::newRow("version -1") << -1 << 0 << "A";
        QTest::newRow("version 41") << 41 << 0 << "A";
        QTest::newRow("level -1") << 0 << -1 << "A";
        QTest::newRow("level 4") << 0 << 4 << "A";
        QTest::newRow("empty") << 0 << 0 << "";
    }
    void invalidIndexesGiveReason()
    {
        QFETCH(int, version);
        QFETCH(int, level);
        QFETCH(QString, value);
        QrParams p;
        p.versionIndex = version;
        p.ecIndex = level;
        const TwoDResult r = makeQrImage(p, value);
        QVERIFY(!r.ok());
        QVERIFY(!r.reason.isEmpty());
        CQR_Encode e;
        QVERIFY(!e.EncodeData(level, version, false, -1, reinterpret_cast<const uint8_t*>("A"), value.isEmpty() ? 0 : 1));
        QCOMPARE(e.m_nSymbleSize, 0);
    }

    void renderMargins()
    {
        DataMatrix grid(21);
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x)
                grid.set(true, x, y);
        QImage img = QREncoder::renderDataMatrix(grid, 100, Qt::black, Qt::white);
        QCOMPARE(img.size(), QSize(100, 100));
        QCOMPARE(img.pixel(7, 50), qRgb(255, 255, 255));
        QCOMPARE(img.pixel(8, 8), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(91, 91), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(92, 50), qRgb(255, 255, 255));
        img = QREncoder::renderDataMatrix(grid, 101, Qt::black, Qt::white);
        QCOMPARE(img.pixel(8, 8), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(91, 91), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(92, 92), qRgb(255, 255, 255));
        QVERIFY(grid.description().startsWith(QStringLiteral("111111111111111111111\n")));
        QCOMPARE(grid.description().size(), 21 * 22);
    }

    void imageNeedsOnePixelPerModule()
    {
        // 20 points at 72 dpi is 20 pixels: too few for 21 modules, and never written past the buffer.
        QrParams p;
        p.dpi = 72;
        p.sizePoints = 20;
        TwoDResult r = makeQrImage(p, QStringLiteral("HELLO"));
        QVERIFY(!r.ok());
        QVERIFY(r.reason.contains(QStringLiteral("21")));
        p.sizePoints = 21;
        r = makeQrImage(p, QStringLiteral("HELLO"));
        QVERIFY(r.ok());
        QCOMPARE(r.image.size(), QSize(21, 21));
        p.sizePoints = 1;
        QVERIFY(!makeQrImage(p, QStringLiteral("HELLO")).ok());
        p.sizePoints = 0;
        QVERIFY(!makeQrImage(p, QStringLiteral("HELLO")).ok());
    }

    void imageSizeAndPurity_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("60@600") << 60 << 600 << 500;
        QTest::newRow("100@600") << 100 << 600 << 834;
        QTest::newRow("100@72") << 100 << 72 << 100;
        QTest::newRow("37@300") << 37 << 300 << 155;
        QTest::newRow("50@2400") << 50 << 2400 << 1667;
    }
    void imageSizeAndPurity()
    {
        QFETCH(int, points);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QrParams p;
        p.sizePoints = points;
        p.dpi = dpi;
        p.fg = QColor(20, 40, 120);
        p.bg = QColor(250, 240, 200);
        const TwoDResult r = makeQrImage(p, QStringLiteral("https://navu.example/"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(r.image.size(), QSize(pixels, pixels));
        QCOMPARE(r.sizePoints, QSizeF(points, points));
        QVERIFY(pixelsArePure(r.image, p.fg.rgba(), p.bg.rgba()));
        QCOMPARE(qRound(r.image.dotsPerMeterX() * 0.0254), dpi);
        QCOMPARE(decodeImage(r.image, pixels / 4, p.bg).text, QStringLiteral("https://navu.example/"));
    }

    void dpiClampedAndPixelsCapped()
    {
        QCOMPARE(clampDpi(10), 72);
        QCOMPARE(clampDpi(-5), 72);
        QCOMPARE(clampDpi(100000), 2400);
        QCOMPARE(clampDpi(600), 600);
        QrParams p;
        p.sizePoints = 40;
        p.dpi = 0;
        TwoDResult r = makeQrImage(p, QStringLiteral("A"));
        QVERIFY(r.ok());
        QCOMPARE(r.image.width(), 40);
        p.dpi = 1000000;
        r = makeQrImage(p, QStringLiteral("A"));
        QCOMPARE(r.image.width(), pixelsFor(40, 2400));
        p.sizePoints = 100000; // 3.3 million pixels a side
        r = makeQrImage(p, QStringLiteral("A"));
        QVERIFY(!r.ok());
        QVERIFY(r.reason.contains(QStringLiteral("resolution")));
        p.sizePoints = std::numeric_limits<int>::max();
        QVERIFY(!makeQrImage(p, QStringLiteral("A")).ok());
        Pdf417Params pdf;
        pdf.widthPoints = std::numeric_limits<int>::max();
        QVERIFY(!makePdf417Image(pdf, QStringLiteral("A")).ok());
        DataMatrixParams dm;
        dm.moduleSize = std::numeric_limits<int>::max();
        QVERIFY(!makeDataMatrixImage(dm, QStringLiteral("A")).ok());
    }

    void nonAsciiDecodesExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("Straße") << QStringLiteral("Straße");
        QTest::newRow("euro") << QStringLiteral("€ 5");
        QTest::newRow("japanese") << QStringLiteral("日本語");
        QTest::newRow("emoji") << QStringLiteral("Hi 😀🎉");
        QTest::newRow("mixed") << QStringLiteral("Grüße aus Zürich – 東京 2026");
    }
    void nonAsciiDecodesExactly()
    {
        QFETCH(QString, value);
        for (int level = 0; level < 4; ++level) {
            QrParams p;
            p.ecIndex = level;
            p.dpi = 300;
            const TwoDResult r = makeQrImage(p, value);
            QVERIFY2(r.ok(), qPrintable(r.reason));
            const Decoded d = decodeImage(r.image, 40);
            QVERIFY(d.ok);
            QCOMPARE(d.text, value);
        }
    }

    void randomRoundTrips()
    {
        QRandomGenerator rng(20261207);
        for (int level = 0; level < 4; ++level)
            for (int round = 0; round < 5; ++round) {
                const bool unicode = round % 2 == 1;
                // Lengths up to the capacity of version 40 at this level.
                const int capBytes = CQR_Encode::capacity(40, level, qr::Byte);
                int chars = round == 4 ? capBytes : 1 + rng.bounded(std::min(capBytes, 400));
                QString value = randomText(rng, chars, unicode);
                while (value.toUtf8().size() > capBytes - (unicode ? 4 : 0))
                    value.chop(1);
                const auto grid = QREncoder::encodeWithECLevel(level, 0, value);
                QVERIFY(grid.has_value());
                const QImage img = QREncoder::renderDataMatrix(*grid, grid->dimension() * 3, Qt::black, Qt::white);
                const Decoded d = decodeImage(img, 12);
                QVERIFY2(d.ok, qPrintable(QStringLiteral("level %1 length %2").arg(level).arg(value.size())));
                QCOMPARE(d.text, value);
            }
    }

    // The QR Code and Data Matrix images, pixel for pixel, and their refusals, as they were when the image makers
    // still encoded on their own: drawing them from the symbols must change nothing.
    void imagesStayTheSame_data()
    {
        QTest::addColumn<bool>("qr");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("size");   // QR: points a side; Data Matrix: points a module
        QTest::addColumn<int>("choice"); // QR: version; Data Matrix: format index
        QTest::addColumn<int>("level");  // QR: error level; Data Matrix: encoding index
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("expected");
        const QString digits = QString::fromLatin1(repeatTo("0123456789", 300));
        const QString gruesse = QStringLiteral("Grüße");
        QTest::newRow("qr ascii L") << true << "HELLO WORLD" << 60 << 0 << 0 << 600
                                    << QStringLiteral("500x500 23622dpm 60x60pt b0d542f309b2ec22");
        QTest::newRow("qr utf8 M") << true << gruesse << 37 << 0 << 1 << 300
                                   << QStringLiteral("155x155 11811dpm 37x37pt ec132df21fa211af");
        QTest::newRow("qr digits Q") << true << digits << 100 << 0 << 2 << 203
                                     << QStringLiteral("282x282 7992dpm 100x100pt bcf02506bdfbea65");
        QTest::newRow("qr version 5 H") << true << "https://navu.example/" << 50 << 5 << 3 << 72
                                        << QStringLiteral("50x50 2835dpm 50x50pt 6f3eab95fcab1582");
        QTest::newRow("qr colours") << true << gruesse << 20 << 0 << 1 << 2400
                                    << QStringLiteral("667x667 94488dpm 20x20pt 48e7c5ef247c300f");
        QTest::newRow("qr empty") << true << "" << 60 << 0 << 0 << 600
                                  << QStringLiteral("refused: The QR Code value is empty.");
        QTest::newRow("qr too few pixels")
            << true << "HELLO" << 20 << 0 << 0 << 72
            << QStringLiteral("refused: The QR Code needs at least 21 pixels a side; 20 were asked for. Make the "
                              "size or the resolution larger.");
        QTest::newRow("qr too long") << true << digits << 60 << 1 << 0 << 600
                                     << QStringLiteral("refused: The value (300 bytes) is too long for QR Code "
                                                       "version 1 at level L (at most 41 digits).");
        QTest::newRow("qr level 4") << true << "A" << 60 << 0 << 4 << 600
                                    << QStringLiteral("refused: Unknown QR error-correction level 4.");
        QTest::newRow("qr version 41") << true << "A" << 60 << 41 << 0 << 600
                                       << QStringLiteral("refused: Unknown QR version 41.");
        QTest::newRow("qr size 0") << true << "A" << 0 << 0 << 0 << 600
                                   << QStringLiteral("refused: The QR Code size must be at least 1 point.");
        QTest::newRow("qr too large") << true << "HELLO" << 100000 << 0 << 0 << 600
                                      << QStringLiteral("refused: The barcode image would be 833334 x 833334 "
                                                        "pixels; lower the size or the resolution.");
        QTest::newRow("dm ascii") << false << "HELLO WORLD" << 2 << 0 << 0 << 600
                                  << QStringLiteral("300x300 23622dpm 36x36pt 9f6a18b4ff569c93");
        QTest::newRow("dm utf8 fractional")
            << false << gruesse << 1 << 0 << 0 << 100 << QStringLiteral("25x25 3937dpm 18x18pt 0a23436012717055");
        QTest::newRow("dm digits") << false << digits << 3 << 0 << 0 << 203
                                   << QStringLiteral("423x423 7992dpm 150x150pt 4632eb74c816ad1d");
        QTest::newRow("dm C16X48 C40") << false << "NAVU 2026" << 2 << 30 << 2 << 300
                                       << QStringLiteral("417x150 11811dpm 100x36pt 2023b891015660f2");
        QTest::newRow("dm 24 Base256") << false << gruesse << 1 << 8 << 4 << 72
                                       << QStringLiteral("26x26 2835dpm 26x26pt db5166bd7fa33206");
        QTest::newRow("dm text colours") << false << "navu photo frame" << 5 << 0 << 3 << 150
                                         << QStringLiteral("188x188 5906dpm 90x90pt b9ebbae1ff8c478b");
        QTest::newRow("dm empty") << false << "" << 2 << 0 << 0 << 600
                                  << QStringLiteral("refused: The Data Matrix value is empty.");
        QTest::newRow("dm format 31") << false << "A" << 2 << 31 << 0 << 600
                                      << QStringLiteral("refused: Unknown Data Matrix size 31.");
        QTest::newRow("dm format -1") << false << "A" << 2 << -1 << 0 << 600
                                      << QStringLiteral("refused: Unknown Data Matrix size -1.");
        QTest::newRow("dm encoding 5") << false << "A" << 2 << 0 << 5 << 600
                                       << QStringLiteral("refused: Unknown Data Matrix encoding 5.");
        QTest::newRow("dm module 0") << false << "A" << 0 << 0 << 0 << 600
                                     << QStringLiteral(
                                            "refused: The Data Matrix module size must be at least 1 point.");
        QTest::newRow("dm too long")
            << false << digits << 2 << 1 << 0 << 600
            << QStringLiteral(
                   "refused: The value cannot be encoded as Data Matrix C10X10 with the Auto encoding.");
        QTest::newRow("dm too large") << false << "A" << 100000 << 0 << 0 << 600
                                      << QStringLiteral("refused: The barcode image would be 10000000 x 10000000 "
                                                        "pixels; lower the size or the resolution.");
    }
    void imagesStayTheSame()
    {
        QFETCH(bool, qr);
        QFETCH(QString, value);
        QFETCH(int, size);
        QFETCH(int, choice);
        QFETCH(int, level);
        QFETCH(int, dpi);
        QFETCH(QString, expected);
        const bool coloured = QString::fromLatin1(QTest::currentDataTag()).contains(QStringLiteral("colours"));
        const QColor fg = coloured ? QColor(20, 40, 120) : QColor(Qt::black);
        const QColor bg = coloured ? QColor(250, 240, 200) : QColor(Qt::white);
        const QrParams q{.versionIndex = choice, .ecIndex = level, .sizePoints = size, .dpi = dpi, .fg = fg, .bg = bg};
        const DataMatrixParams d{
            .moduleSize = size, .formatIndex = choice, .encodingIndex = level, .dpi = dpi, .fg = fg, .bg = bg};
        QCOMPARE(fingerprint(qr ? makeQrImage(q, value) : makeDataMatrixImage(d, value)), expected);
        // The symbol item drawing uses refuses with the same words.
        const TwoDSymbol sym = qr ? makeQrSymbol(q, value) : makeDataMatrixSymbol(d, value);
        if (!sym.ok())
            QCOMPARE(QStringLiteral("refused: ") + sym.reason, expected);
    }
};

QTEST_GUILESS_MAIN(TestQr)
#include "test_qr.moc"
