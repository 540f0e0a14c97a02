// The barcode renderer: bars on whole pixels, per-bar tops and bottoms, texts, colours and PDF output.

#include "BarcodeTestItem.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeText.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/JapanPostBarcode.h"

#include <QPainter>
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

    // Postal codes honour the hidden texts; what is hidden leaves the top and bottom margin around the bars.
    void postalHiddenTexts_data() {
        fourStateBars_data();
        QTest::newRow("postnet") << int(BarcodeSymbologies::PostNet) << "12345";
    }
    void postalHiddenTexts() {
        QFETCH(int, index);
        QFETCH(QString, value);
        BarcodeStyle s;
        s.barcode_font_index = index;
        s.dpi = 288; // 4 pixels per point
        const auto image = [&](int hideValue, int hideHeader, int hideFooter) {
            s.show_hide_val = hideValue;
            s.show_hide_hdr = hideHeader;
            s.show_hide_ftr = hideFooter;
            const BarcodeResult r =
                generateBarcode(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
            return r.image;
        };
        const QImage all = image(0, 0, 0);
        const QImage none = image(1, 1, 1);
        QVERIFY(!all.isNull() && !none.isNull());
        QVERIFY(image(1, 0, 0).height() < all.height());
        QVERIFY(image(0, 1, 0).height() < all.height());
        QVERIFY(image(0, 0, 1).height() < all.height());
        // Nothing but the bars and the margin above and below them.
        const int tb = qRound(BarcodeUnits::marginsInPoints(s).TB_margin * 4);
        int first = -1;
        int last = -1;
        for (int y = 0; y < none.height(); ++y)
            for (int x = 0; x < none.width(); ++x)
                if (dark(none.pixel(x, y))) {
                    first = first < 0 ? y : first;
                    last = y;
                    break;
                }
        QVERIFY(qAbs(first - tb) <= 1);
        QVERIFY(qAbs(none.height() - 1 - last - tb) <= 1);
    }

    // A raster image has the resolution asked for; its narrow bar is a whole number of pixels, as close to
    // the asked width as that allows.
    void requestedResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<float>("mils");
        QTest::addColumn<int>("modulePixels");
        QTest::newRow("150 dpi 10 mils") << 150 << 10.0f << 2;
        QTest::newRow("300 dpi 20 mils") << 300 << 20.0f << 6;
        QTest::newRow("600 dpi 13 mils") << 600 << 13.0f << 8;
        QTest::newRow("72 dpi 5 mils") << 72 << 5.0f << 1;
        QTest::newRow("203 dpi 15 mils") << 203 << 15.0f << 3;
    }
    void requestedResolution() {
        QFETCH(int, dpi);
        QFETCH(float, mils);
        QFETCH(int, modulePixels);
        BarcodeStyle s;
        s.barcode_font_index = BarcodeSymbologies::Code128B;
        s.linear_width_val = mils;
        s.dpi = dpi;
        const QString value = QStringLiteral("Res 42");
        const BarcodeResult r = generateBarcode(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QVERIFY(qAbs(r.image.dotsPerMeterX() - dpi / 0.0254) <= 1.0);
        QVERIFY(qAbs(r.image.dotsPerMeterY() - dpi / 0.0254) <= 1.0);
        const int y = barRow(r.image);
        QString scanned;
        for (int x = 0; x < r.image.width(); ++x)
            scanned += dark(r.image.pixel(x, y)) ? QLatin1Char('1') : QLatin1Char('0');
        const LinearBarcodeBuild b = build(s.barcode_font_index, value, s);
        QString expected;
        for (QChar m : b.barcode->completeBarcode())
            expected += QString(modulePixels, m);
        const int first = int(scanned.indexOf(QLatin1Char('1')));
        QCOMPARE(scanned.mid(first, expected.size()), expected);
    }

    // Retail digits as shoppers and scanners expect them, in the designer's picture and in the item drawing:
    // each group centred under its half between the guards, the EAN-13 leading digit left of the start guard,
    // the UPC number-system and check digits outside the guards. Measured on the red ink of the value text
    // against the black bars.
    void retailDigitsUnderTheirBars_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("groups"); // module spans of the digit groups: from, to, ...
        QTest::addColumn<QList<int>>("halves"); // module spans between the guards
        QTest::addColumn<bool>("leftDigit");
        QTest::addColumn<bool>("rightDigit");
        QTest::addColumn<bool>("item");
        using namespace BarcodeSymbologies;
        for (bool item : {false, true}) {
            const char* how = item ? "item drawing" : "picture";
            QTest::addRow("EAN-13, %s", how) << int(EAN13) << "590123412345" << QList<int>{3, 45, 50, 92}
                                             << QList<int>{3, 45, 50, 92} << true << false << item;
            QTest::addRow("EAN-8, %s", how) << int(EAN8) << "9638507" << QList<int>{3, 31, 36, 64}
                                            << QList<int>{3, 31, 36, 64} << false << false << item;
            QTest::addRow("UPC-A, %s", how) << int(UPCA) << "03600029145" << QList<int>{10, 45, 50, 85}
                                            << QList<int>{3, 45, 50, 92} << true << true << item;
            QTest::addRow("UPC-E, %s", how) << int(UPCE) << "0425261" << QList<int>{3, 45} << QList<int>{3, 45}
                                            << true << true << item;
        }
    }
    void retailDigitsUnderTheirBars() {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(QList<int>, groups);
        QFETCH(QList<int>, halves);
        QFETCH(bool, leftDigit);
        QFETCH(bool, rightDigit);
        QFETCH(bool, item);
        BarcodeStyle s;
        s.barcode_font_index = index;
        s.show_hide_hdr = s.show_hide_ftr = 1;
        s.linear_width_val = 25.0f;
        s.dpi = 360;
        s.value_font_val = QFont(QStringLiteral("Liberation Sans"), 10);
        s.barcode_val_clr_val = Qt::red;
        QImage img = generateBarcode(s, value, QString(), QString()).image;
        QVERIFY(!img.isNull());
        if (item) {
            BarcodeTestItem g;
            s.applyTo(g);
            g.linear_font_val = value;
            const QSizeF natural = BarcodeRenderer::pictureSizePoints(img);
            g.setBounds(QRectF(QPointF(0, 0), natural));
            img = QImage(img.size(), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::white);
            QPainter p(&img);
            p.scale(360 / 72.0, 360 / 72.0);
            QVERIFY(BarcodeItemDrawing::drawItemBarcode(p, g, 360 / 72.0));
        }
        const auto black = [](QColor c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; };
        const auto red = [](QColor c) { return c.red() > c.green() + 80 && c.red() > c.blue() + 80; };
        // The start guard's first bar gives the bars' left edge and the module width.
        const int y = barRow(img);
        int x0 = 0;
        while (x0 < img.width() && !black(img.pixelColor(x0, y)))
            ++x0;
        int module = 0;
        while (x0 + module < img.width() && black(img.pixelColor(x0 + module, y)))
            ++module;
        QVERIFY(module > 0);
        const int modules = int(Generate_Barcode_Variable(s, value, QString(), QString()).barcode->moduleCount());
        const auto at = [&](int m) { return x0 + m * module; };
        QList<int> ink;
        for (int x = 0; x < img.width(); ++x)
            for (int yy = 0; yy < img.height(); ++yy)
                if (red(img.pixelColor(x, yy))) {
                    ink << x;
                    break;
                }
        bool left = false, right = false;
        for (int x : ink) {
            left = left || x < at(0);
            right = right || x >= at(modules);
            bool inHalf = false;
            for (qsizetype h = 0; h < halves.size(); h += 2)
                inHalf = inHalf || (x >= at(halves[h]) && x < at(halves[h + 1]));
            QVERIFY2(inHalf || x < at(0) || x >= at(modules),
                     qPrintable(QStringLiteral("ink at module %1").arg(double(x - x0) / module)));
        }
        QCOMPARE(left, leftDigit);
        QCOMPARE(right, rightDigit);
        for (qsizetype gIndex = 0; gIndex < groups.size(); gIndex += 2) {
            int lo = INT_MAX, hi = -1;
            for (int x : ink)
                if (x >= at(groups[gIndex]) && x < at(groups[gIndex + 1])) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            QVERIFY(hi > lo);
            const double centre = (lo + hi + 1) / 2.0, expected = (at(groups[gIndex]) + at(groups[gIndex + 1])) / 2.0;
            QVERIFY2(std::abs(centre - expected) <= 1.5 * module,
                     qPrintable(QStringLiteral("group centred %1 modules off").arg((centre - expected) / module)));
        }
    }

    // The direct raster image gives exactly the pixels of the QPainter drawing, for every symbology, with
    // all texts, the value above or below, spread captions, odd resolutions and coloured inks.
    void directImageMatchesPainter_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<bool>("spread");
        QTest::addColumn<bool>("oneInk"); // texts in the bars' colour: an 8-bit image
        QTest::newRow("300 dpi") << 300 << false << false << false;
        QTest::newRow("203 dpi on top spread") << 203 << true << true << false;
        QTest::newRow("72 dpi") << 72 << false << true << false;
        QTest::newRow("600 dpi on top") << 600 << true << false << false;
        QTest::newRow("one ink 300 dpi") << 300 << false << false << true;
        QTest::newRow("one ink 203 dpi on top spread") << 203 << true << true << true;
        QTest::newRow("one ink 72 dpi") << 72 << false << true << true;
    }
    void directImageMatchesPainter() {
        QFETCH(int, dpi);
        QFETCH(bool, onTop);
        QFETCH(bool, spread);
        QFETCH(bool, oneInk);
        using namespace BarcodeSymbologies;
        const QMap<int, QString> values = {
            {Code39, "ABC-12"},         {ExtendedCode39, "Ab c!"},  {Interleaved2of5, "123456"},
            {UPCA, "01234567890"},      {PostNet, "12345"},         {ModifiedPlessey, "1234"},
            {ModifiedPlesseyHex, "1F"}, {Industrial2of5, "1234"},   {EAN13, "400638133393"},
            {Code128, "Hello 128"},     {Code128A, "ABC"},          {Code128B, "abc"},
            {Code128C, "1234"},         {Codabar, "A123B"},         {UPCE, "0123456"},
            {EAN8, "1234567"},          {RoyalMail, "SN34RD1A"},    {Planet, "12345678901"},
            {JapanPost, "1060032-A1"}};
        QCOMPARE(values.size(), linearTitles().size());
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            BarcodeStyle s;
            s.barcode_font_index = it.key();
            s.dpi = dpi;
            s.show_val_on_top = onTop;
            s.kerning_value = spread;
            s.barcode_back_clr_val = QColor(250, 250, 210);
            s.barcode_clr_val = QColor(20, 40, 160);
            s.barcode_val_clr_val = QColor(200, 0, 0, 160);
            s.barcode_hdr_clr_val = QColor(0, 120, 0);
            if (oneInk)
                s.barcode_val_clr_val = s.barcode_hdr_clr_val = s.barcode_ftr_clr_val = s.barcode_clr_val;
            s.align_ftr_index = 2;
            const LinearBarcodeBuild b = Generate_Barcode_Variable(s, it.value(), QStringLiteral("Header ÄÖ"),
                                                                   QStringLiteral("footer text"));
            QVERIFY2(b.barcode, qPrintable(it.value()));
            const QImage painted = BarcodeRenderer::paintedImageFromBarcode(*b.barcode, s, dpi);
            // Again and again: texts met before are drawn from what was kept of them.
            for (int pass = 0; pass < 3; ++pass) {
                const QImage direct = BarcodeRenderer::imageFromBarcode(*b.barcode, s, dpi);
                QVERIFY(!direct.isNull());
                QCOMPARE(direct.format(), oneInk ? QImage::Format_Indexed8 : QImage::Format_ARGB32_Premultiplied);
                QVERIFY2(direct.convertToFormat(QImage::Format_ARGB32_Premultiplied) == painted,
                         qPrintable(linearTitles().at(it.key())));
                QCOMPARE(direct.dotsPerMeterX(), painted.dotsPerMeterX());
            }
        }
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

    // A framed 2-D picture written straight into its pixels gives what the painter gives.
    void directPictureMatchesPainter_data() {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<int>("pictureDpi");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("oneInk"); // texts in the modules' colour: an 8-bit image
        QTest::addColumn<QColor>("footerColour");
        using namespace BarcodeSymbologies;
        const QColor black = Qt::black;
        QTest::newRow("QR 600 dpi") << int(QRCode) << 600 << 600 << true << black;
        QTest::newRow("QR 72 dpi, coloured header") << int(QRCode) << 72 << 72 << false << black;
        QTest::newRow("PDF417 stretched, 203 dpi") << int(PDF417) << 203 << 203 << true << black;
        QTest::newRow("PDF417 150 dpi shown at 600") << int(PDF417) << 150 << 600 << false << black;
        QTest::newRow("Data Matrix 301 dpi") << int(DataMatrix) << 301 << 301 << true << black;
        QTest::newRow("Data Matrix 2400 dpi, coloured header") << int(DataMatrix) << 2400 << 2400 << false << black;
        // Clear ink draws nothing, whatever its colour.
        QTest::newRow("QR 300 dpi, clear footer") << int(QRCode) << 300 << 300 << false << QColor(Qt::transparent);
        // Frames narrower than the texts: set smaller, and cut where even 5 points are too wide.
        QTest::newRow("QR 72 dpi, narrow") << int(QRCode) << 72 << 72 << true << black;
        QTest::newRow("PDF417 150 dpi shown at 600, narrow") << int(PDF417) << 150 << 600 << false << black;
        QTest::newRow("Data Matrix 301 dpi, narrow") << int(DataMatrix) << 301 << 301 << true << black;
    }
    void directPictureMatchesPainter() {
        QFETCH(int, symbology);
        QFETCH(int, pictureDpi);
        QFETCH(int, dpi);
        QFETCH(bool, oneInk);
        QFETCH(QColor, footerColour);
        BarcodeStyle s;
        s.linear_or_2d = 1;
        s.barcode_font_index = symbology;
        s.dpi = pictureDpi;
        s.barcode_ftr_clr_val = footerColour;
        s.pdf_wdt_val = 137;
        s.pdf_hgt_val = 31;
        s.align_hdr_index = 0;
        s.align_ftr_index = 2;
        s.LR_margin_val = 0.37f;
        if (!oneInk)
            s.barcode_hdr_clr_val = QColor(0, 120, 0, 150);
        const QString header = QStringLiteral("Header ÄÖ 漢"), footer = QStringLiteral("footer text that is wide");
        const QImage picture = Generate_2D_Picture(s, QStringLiteral("LBL-100123-NV")).image;
        QVERIFY(!picture.isNull());
        TwoDFrame f = twoDFrame(s, BarcodeRenderer::pictureSizePoints(picture), header, footer);
        if (QByteArray(QTest::currentDataTag()).endsWith("narrow"))
            f.width = float(f.imageSize.width() + 9);
        const qreal pixels = std::max(1.0, std::round(dpi / (picture.width() / f.imageSize.width() * 72.0)));
        const qreal scale = pixels * picture.width() / f.imageSize.width();
        const auto paint = [&](const BarcodeStyle& style) {
            QImage painted(int(std::ceil(f.width * scale)), int(std::ceil(f.height * scale)),
                           QImage::Format_ARGB32_Premultiplied);
            painted.fill(Qt::white);
            painted.setDotsPerMeterX(2835);
            painted.setDotsPerMeterY(2835);
            QPainter p(&painted);
            p.scale(scale, scale);
            BarcodeRenderer::drawBarcodePicture(p, picture, f, style, scale);
            return painted;
        };
        const QImage painted = paint(s);
        if (footerColour.alpha() == 0) {
            BarcodeStyle clearWhite = s;
            clearWhite.barcode_ftr_clr_val = QColor(255, 255, 255, 0);
            QVERIFY(paint(clearWhite) == painted);
        }
        for (int pass = 0; pass < 3; ++pass) {
            const QImage direct = BarcodeRenderer::imageFromBarcodeImage(picture, f, s, dpi);
            QCOMPARE(direct.format(), oneInk ? QImage::Format_Indexed8 : QImage::Format_ARGB32_Premultiplied);
            QVERIFY(direct.convertToFormat(QImage::Format_ARGB32_Premultiplied) == painted);
        }
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
