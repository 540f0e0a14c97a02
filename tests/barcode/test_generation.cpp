// The barcode style value, unit and size rules, and generation as a function of its arguments only.

#include "BarcodeTestItem.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeUnits.h"

#include <QtTest>

#include <thread>

namespace {

BarcodeStyle linearStyle(int index, int dpi = 150) {
    BarcodeStyle s;
    s.barcode_font_index = index;
    s.dpi = dpi;
    return s;
}

} // namespace

class TestGeneration : public QObject {
    Q_OBJECT
private slots:
    void styleDefaultsMatchItem() {
        const BarcodeTestItem item;
        QCOMPARE(BarcodeStyle::fromItem(item), BarcodeStyle());
    }

    void styleRoundTrip() {
        BarcodeStyle s;
        s.linear_or_2d = 0;
        s.barcode_font_index = BarcodeSymbologies::EAN13;
        s.linear_font_val = QStringLiteral("400638133393");
        s.header_val = QStringLiteral("Top");
        s.show_hide_ftr = 1;
        s.align_hdr_index = 2;
        s.linear_height_val = 1.5f;
        s.LR_margin_val = 0.3f;
        s.value_font_val = QFont(QStringLiteral("DejaVu Sans"), 12);
        s.barcode_clr_val = QColor(10, 20, 30);
        s.dpi_val_index = 1;
        s.dpi_custom_val = QStringLiteral("300");
        BarcodeTestItem item;
        item._Text_contents = QStringLiteral("untouched");
        item.barcode_unit_val = 1;
        s.applyTo(item);
        QCOMPARE(item._Text_contents, QStringLiteral("untouched"));
        BarcodeStyle back = BarcodeStyle::fromItem(item);
        QCOMPARE(back.dpi, 300);
        back.dpi = s.dpi;
        QCOMPARE(back, s);
    }

    void resolution() {
        QCOMPARE(resolutionDpi(0, QStringLiteral("0")), 600);
        QCOMPARE(resolutionDpi(1, QStringLiteral("450")), 450);
        QCOMPARE(resolutionDpi(1, QStringLiteral("abc")), 600);
        QCOMPARE(resolutionDpi(1, QStringLiteral("999999")), 600);
        QCOMPARE(resolutionDpi(resolutionTitles().indexOf(QStringLiteral("300")), QString()), 300);
        QCOMPARE(resolutionDpi(99, QString()), 600);
        QCOMPARE(alignmentTitles(), QStringList({"Left", "Center", "Right"}));
    }

    void units() {
        QCOMPARE(BarcodeUnits::unitToPoints(1.0, 1), 28.346472f);
        QCOMPARE(BarcodeUnits::unitToPoints(1.0, 2), 2.8346472f);
        QCOMPARE(BarcodeUnits::unitToPoints(1.0, 0), 72.0f);
        QCOMPARE(BarcodeUnits::milsToPoints(20.0f), 1.44f);
        BarcodeStyle s;
        s.val_margin_val = s.hdr_margin_val = s.ftr_margin_val = s.LR_margin_val = s.TB_marging_val = 1.0f;
        BarcodeMargins m = BarcodeUnits::marginsInPoints(s);
        QCOMPARE(m.value_margin, 28.346472f);
        QCOMPARE(m.TB_margin, 28.346472f);
        s.show_hide_val = 1;
        s.show_hide_hdr = 1;
        m = BarcodeUnits::marginsInPoints(s);
        QCOMPARE(m.value_margin, 0.0f);
        QCOMPARE(m.header_margin, 0.0f);
        QCOMPARE(m.footer_margin, 28.346472f);
    }

    void linearHeight() {
        BarcodeStyle s;
        NKDBarcode b;
        b.initWithContent(QStringLiteral("AB"), true);
        b.setHeader(QStringLiteral("H"));
        b.setFooter(QStringLiteral("F"));
        b.setPrintsHeader(true);
        b.setPrintsFooter(true);
        b.setCaptionFontSize(s.value_font_val);
        b.setHeaderFontSize(s.header_font_val);
        b.setFooterFontSize(s.footer_font_val);
        Set_Barcode_Height(b, s);
        const double bar = BarcodeUnits::barHeightPoints(s);
        const double margin = BarcodeUnits::unitToPoints(0.1, 1);
        const double expected =
            bar + (b.captionHeight() + b.headerHeight() + b.footerHeight()) * 72.0 + 5 * margin;
        QVERIFY(qAbs(b.height() - expected) < 1e-3);
        QVERIFY(qAbs(b.barTop(0) - bar) < 1e-3);

        b.setPrintsCaption(false);
        b.setPrintsHeader(false);
        b.setPrintsFooter(false);
        Set_Barcode_Height(b, s);
        QVERIFY(qAbs(b.height() - (bar + 2 * margin)) < 1e-3);
    }

    void linearWidth() {
        BarcodeStyle s;
        NKDBarcode b;
        b.setWidth(100);
        b.setHeaderWidth(120);
        s.LR_margin_val = 0;
        QCOMPARE(Set_Linear_Barcode_Width(b, s), 120.0f);
        s.LR_margin_val = 0.5f;
        QCOMPARE(Set_Linear_Barcode_Width(b, s), 163.346472f);
        s.show_hide_hdr = 1;
        QCOMPARE(Set_Linear_Barcode_Width(b, s), 100.0f + 2 * 14.173236f + 15.0f);
    }

    void twoDFrameSize() {
        BarcodeStyle s;
        const TwoDFrame f = twoDFrame(s, QSizeF(60, 60), QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
        const double m = BarcodeUnits::unitToPoints(0.1, 1);
        QVERIFY(qAbs(f.height - (60 + (f.headerHeight + f.footerHeight) * 72.0 + 4 * m)) < 1e-3);
        s.show_hide_val = 1; // the value margin never counts for 2-D
        QCOMPARE(twoDFrame(s, QSizeF(60, 60), QStringLiteral("HEADER"), QStringLiteral("FOOTER")).height,
                 f.height);
    }

    void every_symbology_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        const QStringList values = {"CODE39",   "Code 39+", "1234567890",  "03600029145",  "12345",
                                    "1234567",  "12AB",     "0123456789",  "400638133393", "Hello 128",
                                    "ABC\tDEF", "hello",    "12345678",    "A40156B",      "04210000526",
                                    "9638507",  "SN34RD1A", "01234567890", "1060032 3-2"};
        for (int i = 0; i < values.size(); ++i)
            QTest::newRow(qPrintable(BarcodeSymbologies::linearTitles().at(i))) << i << values.at(i);
    }
    void every_symbology() {
        QFETCH(int, index);
        QFETCH(QString, value);
        BarcodeStyle s = linearStyle(index);
        if (index == BarcodeSymbologies::JapanPost)
            value.remove(QLatin1Char(' '));
        const BarcodeResult r = generateBarcode(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QVERIFY(r.image.width() > 20 && r.image.height() > 20);
        QCOMPARE(r.reason, QString());
    }

    void refusals_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("empty value") << 0 << ""
                                     << "Please enter barcode value";
        QTest::newRow("ean13 letters") << 1 << "ABCDEFGHIJKL"
                                       << "EAN-13";
        QTest::newRow("zero bar height") << 2 << "0123"
                                         << "bar height";
        QTest::newRow("negative bar height") << 3 << "0123"
                                             << "bar height";
        QTest::newRow("zero bar width") << 4 << "0123"
                                        << "bar width";
        QTest::newRow("too long") << 0 << QString(kMaxBarcodeTextLength + 1, QLatin1Char('1')) << "too long";
        QTest::newRow("image too large") << 5 << "0123"
                                         << "too large";
        QTest::newRow("unknown type") << 6 << "0123"
                                      << "Unknown barcode type";
        QTest::newRow("unknown 2-D type") << 7 << "0123"
                                          << "Unknown barcode type";
        QTest::newRow("2-D value too long")
            << 9 << QString(twoDCapacity(0) + 1, QLatin1Char('1')) << "at most 7,089";
        QTest::newRow("negative margin") << 8 << "0123"
                                         << "negative";
    }
    void refusals() {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, reasonPart);
        BarcodeStyle s = linearStyle(BarcodeSymbologies::Code39);
        switch (field) {
        case 1:
            s.barcode_font_index = BarcodeSymbologies::EAN13;
            break;
        case 2:
            s.linear_height_val = 0;
            break;
        case 3:
            s.linear_height_val = -1;
            break;
        case 4:
            s.linear_width_val = 0;
            break;
        case 5:
            s.linear_height_val = 200;
            s.dpi = 2400;
            break;
        case 6:
            s.barcode_font_index = 42;
            break;
        case 7:
            s.linear_or_2d = 1;
            s.barcode_font_index = 7;
            break;
        case 9:
            s.linear_or_2d = 1;
            break;
        case 8:
            s.TB_marging_val = -0.5f;
            break;
        default:
            break;
        }
        const BarcodeResult r = generateBarcode(s, value, QStringLiteral("H"), QStringLiteral("F"));
        QVERIFY(!r.ok());
        QVERIFY2(r.reason.contains(reasonPart, Qt::CaseInsensitive), qPrintable(r.reason));
    }

    // Each bound item draws every row with its own style; a refused row gives its reason, not an image.
    void perItemStyle() {
        BarcodeTestItem a;
        BarcodeTestItem b;
        a.barcode_font_index = BarcodeSymbologies::Code128;
        b.barcode_font_index = BarcodeSymbologies::EAN13;
        b.barcode_clr_val = Qt::blue;
        b.header_val = QStringLiteral("EAN");
        const QString rows[] = {QStringLiteral("400638133393"), QStringLiteral("12345678901X"),
                                QStringLiteral("978020137962")};
        for (const QString& row : rows) {
            const BarcodeResult ra = Get_Item_Barcode_For_Value(a, row);
            const BarcodeResult rb =
                Get_Item_Barcode_For_Value(b, QStringLiteral("  ") + row + QStringLiteral("\n"));
            QVERIFY(ra.ok());
            QCOMPARE(ra.image,
                     generateBarcode(BarcodeStyle::fromItem(a), row, a.header_val, a.footer_val).image);
            if (row.endsWith(QLatin1Char('X'))) {
                QVERIFY(!rb.ok());
                QVERIFY(!rb.reason.isEmpty());
            } else {
                QVERIFY2(rb.ok(), qPrintable(rb.reason));
                QCOMPARE(rb.image,
                         generateBarcode(BarcodeStyle::fromItem(b), row, b.header_val, b.footer_val).image);
                QVERIFY(rb.image != ra.image);
            }
        }
    }

    void itemOwnContent() {
        BarcodeTestItem item;
        const BarcodeResult linear = Get_Item_Barcode(item); // a new item: Code 39 of "0123"
        QVERIFY2(linear.ok(), qPrintable(linear.reason));
        item.linear_or_2d = 1;
        item.barcode_font_index = BarcodeSymbologies::QRCode;
        item.two_d_font_val = QStringLiteral("two d");
        const BarcodeResult qr = Get_Item_Barcode(item);
        QVERIFY2(qr.ok(), qPrintable(qr.reason));
        QVERIFY(qr.image != linear.image);
    }

    void threadsMatchSingleThread() {
        QList<BarcodeStyle> styles;
        QStringList values;
        const int indexes[] = {BarcodeSymbologies::Code128, BarcodeSymbologies::EAN13,
                               BarcodeSymbologies::Code39, BarcodeSymbologies::RoyalMail,
                               BarcodeSymbologies::JapanPost};
        const QStringList base = {"Row %1", "4006381333%1", "ROW%1", "AB%1CD", "10600%1"};
        for (int k = 0; k < 5; ++k) {
            for (int i = 10; i < 30; ++i) {
                BarcodeStyle s = linearStyle(indexes[k], 200);
                s.kerning_value = i % 2;
                s.show_val_on_top = i % 3 == 0;
                styles << s;
                QString v = base.at(k).arg(i);
                if (k == 1)
                    v = v.left(12);
                values << v;
            }
        }
        for (int i = 0; i < 20; ++i) { // 2-D styles too
            BarcodeStyle s = linearStyle(i % 3, 200);
            s.linear_or_2d = 1;
            styles << s;
            values << QStringLiteral("2-D row %1").arg(i);
        }
        QList<QImage> single;
        for (int i = 0; i < styles.size(); ++i)
            single << generateBarcode(styles.at(i), values.at(i), QStringLiteral("HEADER"),
                                      QStringLiteral("FOOTER"))
                          .image;
        QList<QImage> multi(styles.size());
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int i = t; i < styles.size(); i += 4)
                    multi[i] = generateBarcode(styles.at(i), values.at(i), QStringLiteral("HEADER"),
                                               QStringLiteral("FOOTER"))
                                   .image;
            });
        }
        for (auto& th : threads)
            th.join();
        for (int i = 0; i < styles.size(); ++i) {
            QVERIFY2(!single.at(i).isNull(), qPrintable(values.at(i)));
            QCOMPARE(multi.at(i), single.at(i));
        }
    }
};

QTEST_MAIN(TestGeneration)
#include "test_generation.moc"
