// The barcode renderer: bars on whole pixels, per-bar tops and bottoms, texts, colours and PDF output.

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeText.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/JapanPostBarcode.h"

#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>

namespace {

bool dark(QRgb c) {
    return qGray(c) < 128;
}

// Rows of the image that hold any dark pixel in column x.
QList<int> darkRows(const QImage& img, int x) {
    QList<int> rows;
    for (int y = 0; y < img.height(); ++y)
        if (dark(img.pixel(x, y)))
            rows << y;
    return rows;
}

// The image row through the middle of the bars: the row with the most dark-light changes.
int barRow(const QImage& img) {
    int best = 0;
    int bestChanges = -1;
    for (int y = 0; y < img.height(); ++y) {
        int changes = 0;
        for (int x = 1; x < img.width(); ++x)
            changes += dark(img.pixel(x, y)) != dark(img.pixel(x - 1, y));
        if (changes > bestChanges) {
            bestChanges = changes;
            best = y;
        }
    }
    return best;
}

LinearBarcodeBuild build(int index, const QString& value, const BarcodeStyle& s) {
    return Generate_Barcode_Variable(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT
private slots:
    // Scanning the bar row gives back the module string at a whole number of pixels per module.
    void wholePixelModules_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<float>("mils");
        using namespace BarcodeSymbologies;
        QTest::newRow("code128 300dpi") << int(Code128) << "Hello 128" << 300 << 20.0f;
        QTest::newRow("code128 72dpi") << int(Code128) << "Hello 128" << 72 << 20.0f;
        QTest::newRow("ean13 600dpi") << int(EAN13) << "400638133393" << 600 << 13.0f;
        QTest::newRow("code39 96dpi") << int(Code39) << "ABC-123" << 96 << 7.5f;
        QTest::newRow("itf 203dpi") << int(Interleaved2of5) << "0123456789" << 203 << 15.0f;
    }
    void wholePixelModules() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(int, dpi);
        QFETCH(float, mils);
        BarcodeStyle s;
        s.barcode_font_index = index;
        s.linear_width_val = mils;
        s.dpi = dpi;
        const LinearBarcodeBuild b = build(index, value, s);
        QVERIFY(b.barcode);
        const QImage img = BarcodeRenderer::imageFromBarcode(*b.barcode, s, dpi);
        QVERIFY(!img.isNull());
        const int ppm = qMax(1, qRound(b.barcode->barWidth() * dpi / 72.0));
        const int y = barRow(img);
        QString scanned;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            QVERIFY2(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255), "bars are not smoothed");
            scanned += dark(c) ? QLatin1Char('1') : QLatin1Char('0');
        }
        const int first = int(scanned.indexOf(QLatin1Char('1')));
        QString expected;
        for (QChar m : b.barcode->completeBarcode())
            expected += QString(ppm, m);
        QCOMPARE(scanned.mid(first, expected.size()), expected);
        QVERIFY(!scanned.mid(first + expected.size()).contains(QLatin1Char('1')));
        // The image carries its resolution.
        QVERIFY(qAbs(img.dotsPerMeterX() * 0.0254 - ppm / b.barcode->barWidth() * 72.0) < 1.0);
    }

    // Four-state codes: each bar spans its own bottom to its own top.
    void fourStateBars_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("royal mail") << int(BarcodeSymbologies::RoyalMail) << "SN34RD1A";
        QTest::newRow("japan post") << int(BarcodeSymbologies::JapanPost) << "1060032";
    }
    void fourStateBars() {
        QFETCH(int, index);
        QFETCH(QString, value);
        BarcodeStyle s;
        s.barcode_font_index = index;
        s.dpi = 300;
        // These codes always print their texts; white texts leave only the bars dark.
        s.barcode_val_clr_val = s.barcode_hdr_clr_val = s.barcode_ftr_clr_val = Qt::white;
        const LinearBarcodeBuild b = build(index, value, s);
        QVERIFY(b.barcode);
        const QImage img = BarcodeRenderer::imageFromBarcode(*b.barcode, s, s.dpi);
        const int ppm = qMax(1, qRound(b.barcode->barWidth() * s.dpi / 72.0));
        const qreal scale = qreal(ppm) / b.barcode->barWidth();
        const QString modules = b.barcode->completeBarcode();
        int first = img.width();
        for (int x = 0; x < img.width() && first == img.width(); ++x)
            if (!darkRows(img, x).isEmpty())
                first = x;
        QList<QPair<int, int>> spans; // top and bottom row of each bar
        QList<int> bars;
        for (int i = 0; i < modules.size(); ++i) {
            if (modules.at(i) != QLatin1Char('1'))
                continue;
            const QList<int> rows = darkRows(img, first + i * ppm + ppm / 2);
            QVERIFY(!rows.isEmpty());
            QCOMPARE(rows.last() - rows.first() + 1, int(rows.size())); // one solid bar
            spans << qMakePair(rows.first(), rows.last());
            bars << i;
        }
        QVERIFY(bars.size() > 20);
        int baseline = 0;
        for (const auto& sp : spans)
            baseline = qMax(baseline, sp.second + 1);
        QSet<int> tops;
        QSet<int> bottoms;
        for (int k = 0; k < bars.size(); ++k) {
            const qreal top = (baseline - spans.at(k).first) / scale;
            const qreal bottom = (baseline - spans.at(k).second - 1) / scale;
            QVERIFY(qAbs(top - b.barcode->barTop(bars.at(k))) < 1.0 / scale + 0.01);
            QVERIFY(qAbs(bottom - b.barcode->barBottom(bars.at(k))) < 1.0 / scale + 0.01);
            tops << spans.at(k).first;
            bottoms << spans.at(k).second;
        }
        QCOMPARE(tops.size(), 2);    // ascenders and the rest
        QCOMPARE(bottoms.size(), 2); // descenders and the rest
    }

    // Japan Post keeps its symbol within 8.5-11.5 points and grows the drawing for its texts.
    void japanPostHeight() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::JapanPost;
        s.linear_width_val = 100; // asks for a bar width beyond the symbol's range
        s.value_font_val = QFont(QStringLiteral("DejaVu Sans"), 24);
        const LinearBarcodeBuild b = build(s.barcode_font_index, QStringLiteral("1060032"), s);
        QVERIFY(b.barcode);
        auto* jp = static_cast<JapanPostBarcode*>(b.barcode.get());
        QCOMPARE(jp->symbolSize(), 11.5f);
        const BarcodeMargins m = BarcodeUnits::marginsInPoints(s);
        const double needed = jp->fixedBarHeight() +
                              (jp->captionHeight() + jp->headerHeight() + jp->footerHeight()) * 72.0 +
                              m.value_margin + m.header_margin + m.footer_margin + 2 * m.TB_margin;
        QVERIFY(qAbs(jp->height() - needed) < 1e-3);
        QVERIFY(jp->height() > 30);
    }

    void colorsAndBackground() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code128;
        s.barcode_back_clr_val = QColor(255, 255, 0);
        s.barcode_clr_val = QColor(0, 0, 200);
        s.dpi = 144;
        const BarcodeResult r = generateBarcode(s, QStringLiteral("ABC"), QString(), QString());
        QVERIFY(r.ok());
        QCOMPARE(r.image.pixel(0, 0), qRgb(255, 255, 0));
        const int y = barRow(r.image);
        bool barColour = false;
        for (int x = 0; x < r.image.width(); ++x)
            barColour = barColour || r.image.pixel(x, y) == qRgb(0, 0, 200);
        QVERIFY(barColour);
    }

    // Header alignment: "Left" starts at the left edge, "Right" ends at the right edge.
    void headerAlignment() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code39;
        s.show_hide_val = 1;
        s.show_hide_ftr = 1;
        s.dpi = 144;
        const auto headerSpan = [&](int align) {
            s.align_hdr_index = align;
            const QImage img =
                generateBarcode(s, QStringLiteral("ABCDEFGHIJ"), QStringLiteral("HI"), QString()).image;
            int minX = img.width();
            int maxX = -1;
            const int rows = img.height() / 4; // the header sits in the top quarter
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (dark(img.pixel(x, y))) {
                        minX = qMin(minX, x);
                        maxX = qMax(maxX, x);
                    }
            return std::make_pair(minX, img.width() - 1 - maxX);
        };
        const auto left = headerSpan(0);
        const auto centre = headerSpan(1);
        const auto right = headerSpan(2);
        QVERIFY(left.first < 10);
        QVERIFY(right.second < 15);
        QVERIFY(qAbs(centre.first - centre.second) < 15);
    }

    // The caption spacing flag spreads a one-piece value text over the barcode width; without it the
    // characters get two points of spacing. Spacing survives every device resolution.
    void captionSpacing() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code39;
        s.show_hide_hdr = 1;
        s.show_hide_ftr = 1;
        s.LR_margin_val = 0;
        s.dpi = 144;
        const QString value = QStringLiteral("ABCDEFGH");
        const auto captionSpan = [&](int kerning) {
            s.kerning_value = kerning;
            const QImage img = generateBarcode(s, value, QString(), QString()).image;
            int minX = img.width();
            int maxX = -1;
            for (int y = img.height() * 3 / 4; y < img.height(); ++y) // the value text sits at the bottom
                for (int x = 0; x < img.width(); ++x)
                    if (dark(img.pixel(x, y))) {
                        minX = qMin(minX, x);
                        maxX = qMax(maxX, x);
                    }
            return qreal(maxX - minX) / 2.0; // points at 144 dpi
        };
        const LinearBarcodeBuild b = build(s.barcode_font_index, value, s);
        const qreal plain = BarcodeText::textWidth(s.value_font_val, value);
        const qreal spaced = captionSpan(0);
        QVERIFY2(qAbs(spaced - (plain + 2.0 * (value.size() - 1))) < 4, qPrintable(QString::number(spaced)));
        const qreal spread = captionSpan(1);
        QVERIFY2(qAbs(spread - b.barcode->width()) < 0.1 * b.barcode->width(),
                 qPrintable(QString::number(spread)));
    }

    // Value text above the bars when asked.
    void valueOnTop() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code39;
        s.show_hide_hdr = 1;
        s.show_hide_ftr = 1;
        s.dpi = 144;
        const QImage below = generateBarcode(s, QStringLiteral("AB"), QString(), QString()).image;
        s.show_val_on_top = 1;
        const QImage above = generateBarcode(s, QStringLiteral("AB"), QString(), QString()).image;
        QCOMPARE(above.size(), below.size());
        const int barBelow = barRow(below);
        const int barAbove = barRow(above);
        QVERIFY(barAbove > barBelow);
    }

    void pdf() {
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code128;
        const LinearBarcodeBuild b = build(s.barcode_font_index, QStringLiteral("PDF 128"), s);
        QVERIFY(b.barcode);
        const QByteArray pdf = BarcodeRenderer::pdfFromBarcode(*b.barcode, s);
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(!pdf.contains("/Subtype /Image")); // bars and texts are vector drawing
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(pdf);
        file.flush();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {file.fileName()});
        if (!info.waitForFinished(20000) || info.exitCode() != 0)
            QSKIP("pdfinfo not available");
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        const QSizeF size = BarcodeRenderer::viewSize(*b.barcode);
        const QRegularExpression re(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
        const auto match = re.match(out);
        QVERIFY2(match.hasMatch(), qPrintable(out));
        QVERIFY(qAbs(match.captured(1).toDouble() - size.width()) < 1.0);
        QVERIFY(qAbs(match.captured(2).toDouble() - size.height()) < 1.0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file.fileName(), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("HEADER")) && words.contains(QStringLiteral("FOOTER")),
                 qPrintable(words));
    }

    void framedPicture() {
        QImage picture(21, 21, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x)
                if ((x + y) % 2)
                    picture.setPixel(x, y, qRgb(0, 0, 0));
        picture.setDotsPerMeterX(2835);
        picture.setDotsPerMeterY(2835);
        BarcodeStyle s;
        const TwoDFrame f = twoDFrame(s, BarcodeRenderer::pictureSizePoints(picture), QStringLiteral("TOP"),
                                      QStringLiteral("BOTTOM"));
        const QImage img = BarcodeRenderer::imageFromBarcodeImage(picture, f, s, 300);
        QVERIFY(!img.isNull());
        QCOMPARE(img.width(), int(std::ceil(f.width * 4.0)));
        QVERIFY(BarcodeRenderer::pdfFromBarcodeImage(picture, f, s).startsWith("%PDF"));
        QVERIFY(BarcodeRenderer::imageFromBarcodeImage(QImage(), f, s, 300).isNull());
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
