// Outputs judged as their users do: exported files of every type hold their own format at the chosen
// resolution, barcodes in exported pictures and in rasterised label PDFs decode, and label PDFs carry the
// barcodes as vectors.

#include "FileBytes.h"
#include "OutputTestSupport.h"

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "output/ImageExport.h"
#include "output/ImageFileWriter.h"
#include "output/Printing_View.h"
#include "output/mail/MailJob.h"
#include "output/ui/Print_Wnd.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

using namespace outtest;

namespace {

GraphicPtr barcodeItem(int mode, int index, const QString& value, QPointF at) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
    g->linear_or_2d = mode;
    g->barcode_font_index = index;
    (mode == 0 ? g->linear_font_val : g->two_d_font_val) = value;
    g->setBounds(QRectF(at, QSizeF(100, 50)));
    BarcodeItemDrawing::setUpNewItem(*g);
    return g;
}

struct Expected {
    GraphicPtr item;
    QString value;
    ZXing::BarcodeFormat format;
};

// A 7.25 x 5.25 inch card with four barcodes at their default settings.
QList<Expected> fourBarcodes(BatchFillJob::Design& d) {
    using namespace BarcodeSymbologies;
    QList<Expected> list{
        {barcodeItem(0, Code128, "NAVU-2026-0042", {20, 20}), "NAVU-2026-0042",
         ZXing::BarcodeFormat::Code128},
        {barcodeItem(0, EAN13, "400638133393", {20, 110}), "4006381333931", ZXing::BarcodeFormat::EAN13},
        {barcodeItem(1, QRCode, "https://example.com/card?id=42", {20, 210}),
         "https://example.com/card?id=42", ZXing::BarcodeFormat::QRCode},
        {barcodeItem(1, PDF417, "PDF417 on a card, row 42 of the sheet", {280, 210}),
         "PDF417 on a card, row 42 of the sheet", ZXing::BarcodeFormat::PDF417},
    };
    d = BatchFillJob::Design();
    for (const Expected& e : list)
        d.front << e.item;
    d.frontProp = Card_Property::defaults(QStringLiteral("F"));
    d.backProp = Card_Property::defaults(QStringLiteral("B"));
    d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF(522, 378);
    d.twoSided = false;
    return list;
}

QString decode(const QImage& image, ZXing::BarcodeFormat format) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                int(gray.bytesPerLine()));
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    return r.isValid() ? QString::fromStdString(r.text()) : QStringLiteral("<no decode>");
}

// The item's part of a picture of the card at `scale` pixels per point, on white.
QImage crop(const QImage& card, const QRectF& points, qreal scale) {
    const QRect r = QRectF(points.topLeft() * scale, points.size() * scale).toAlignedRect();
    QImage out(r.size() + QSize(40, 40), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(QPoint(20, 20), card, r);
    return out;
}

// A one-sided card of `size` holding items bound to table, with the bindings a run starts from.
struct BoundCard {
    BatchFillJob::Design d;
    SeriesBindingTable series;

    BoundCard(const GraphicList& items, QSizeF size, Data_From_Excel& table) {
        d.front = items;
        d.frontProp = Card_Property::defaults(QStringLiteral("F"));
        d.backProp = Card_Property::defaults(QStringLiteral("B"));
        d.frontProp.Card_Size = d.backProp.Card_Size = size;
        d.twoSided = false;
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);
        Get_total_Card_count(series, table);
    }
    std::unique_ptr<BatchFillJob> fill(Data_From_Excel& table) const {
        return BatchFillJob::create(d, series, table);
    }
};

} // namespace

class TestOutputBarcodes : public QObject {
    Q_OBJECT
private slots:
    // Every barcode of an exported card decodes at 150 and 300 dpi, and the file records its resolution.
    void exportedBarcodesDecode_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("150 dpi") << 150;
        QTest::newRow("300 dpi") << 300;
    }
    void exportedBarcodesDecode() {
        QFETCH(int, dpi);
        BatchFillJob::Design d;
        const QList<Expected> barcodes = fourBarcodes(d);
        for (int i = 0; i < barcodes.size(); ++i) // the layout keeps them apart
            for (int j = i + 1; j < barcodes.size(); ++j)
                QVERIFY(!barcodes[i].item->bounds().intersects(barcodes[j].item->bounds()));
        QTemporaryDir dir;
        const QString path = dir.filePath("card.png");
        QVERIFY(Export_Single_File(d, path, "F", false, dpi, "PNG").complete());
        const QImage card(path);
        const qreal scale = dpi / 72.0;
        QCOMPARE(card.size(), QSize(qCeil(522 * scale - 1e-6), qCeil(378 * scale - 1e-6)));
        QCOMPARE(card.dotsPerMeterX(), qRound(dpi / 0.0254));
        for (const Expected& e : barcodes) {
            const QImage part = crop(card, e.item->bounds(), scale);
            const QString got = decode(part, e.format);
            if (got != e.value)
                part.save(QDir::temp().filePath("navu_decode_failure.png"));
            QCOMPARE(got, e.value);
        }
    }

    // A mailed card is drawn at the attachment's 150 dpi and its barcodes decode too.
    void mailedBarcodesDecode() {
        BatchFillJob::Design d;
        const QList<Expected> barcodes = fourBarcodes(d);
        Data_From_Excel table;
        const BoundCard bound(d.front, QSizeF(522, 378), table);
        MailRequest req;
        req.account = MailMessage{"me@navu.test", "pw", "127.0.0.1", "1", "N", {}, "Hello", "Body", {}};
        req.recipients = {"a@navu.test"};
        MailJob job(req, bound.fill(table));
        QTemporaryDir temp;
        job.setTempRoot(temp.path());
        QImage card;
        job.setSender([&card](const MailMessage& m) {
            card = QImage(m.attachments.value(0));
            return MailSendResult{true, {}, false};
        });
        QCOMPARE(job.run().sent, 1);
        const qreal scale = 150 / 72.0;
        QCOMPARE(card.width(), qCeil(522 * scale - 1e-6));
        for (const Expected& e : barcodes)
            QCOMPARE(decode(crop(card, e.item->bounds(), scale), e.format), e.value);
    }

    // Mailed and exported cards at 150 dpi: each row whose bound PDF417 cannot keep one-pixel modules inside
    // its frame is named, and one note names the highest resolution any row needs, whichever worker filled
    // which row.
    void mailedTwoDMisfitNamedOnce() {
        Data_From_Excel table;
        QList<QStringList> rows;
        for (int i = 0; i < 3; ++i)
            rows << QStringList{QString::number(i + 1), QStringLiteral("A long PDF417 value for row %1 of the "
                                                                       "sheet, more than a small frame holds%2")
                                                            .arg(i + 1)
                                                            .arg(QString(i * 40, QLatin1Char('x')))};
        table.setTable({QStringLiteral("Row No."), QStringLiteral("Code")}, rows);
        GraphicPtr pdf = barcodeItem(1, BarcodeSymbologies::PDF417, "PDF", {10, 10});
        pdf->show_hide_hdr = pdf->show_hide_ftr = 1; // texts would leave it no room at all
        pdf->setBounds(QRectF(10, 10, 60, 20));
        pdf->data_source_type = 2;
        pdf->excel_col_indx = 1;
        BoundCard bound({pdf}, QSizeF(200, 100), table);
        MailRequest req;
        req.account = MailMessage{"me@navu.test", "pw", "127.0.0.1", "1", "N", {}, "Hello", "Body", {}};
        req.recipients = {"a@navu.test"};
        req.batch = true;
        MailJob job(req, bound.fill(table));
        QTemporaryDir temp;
        job.setTempRoot(temp.path());
        job.setSender([](const MailMessage&) { return MailSendResult{true, {}, false}; });
        const MailRunResult r = job.run();
        int highest = 0;
        for (const QStringList& row : rows)
            highest = std::max(highest, BarcodeItemDrawing::lowestFittingDpi(*pdf, row[1]));
        const QString note = QStringLiteral("On the front side, the PDF417 needs at least %1 dpi to keep whole-pixel "
                                            "modules inside its frame.")
                                 .arg(highest);
        QCOMPARE(r.notes, QStringList{note});
        QCOMPARE(r.problems.cardCount(), 3);
        QCOMPARE(r.problems.firstLines().value(2), QStringLiteral("Row 3: the PDF417 does not fit its frame at 150 dpi."));
        QCOMPARE(mailFinishedMessage(r).count(QStringLiteral("the PDF417 needs at least")), 1);
        QTemporaryDir dir;
        for (int run = 0; run < 4; ++run) {
            ExportBatchJob exportJob(bound.fill(table), dir.filePath(QString::number(run)), "F", false, "PNG", 150);
            const ExportResult e = exportJob.run(std::atomic<bool>(false), {}, 3);
            QCOMPARE(e.warnings, QStringList{note});
            QCOMPARE(e.problems.cardCount(), 3);
        }
    }

    // A raster barcode's modules are whole pixels: the bars hold only the two colours.
    void rasterBarsAreSharp() {
        BatchFillJob::Design d;
        const QList<Expected> barcodes = fourBarcodes(d);
        const QImage card = renderDesignSide(d, true, 300);
        const QRectF bounds = barcodes[0].item->bounds();
        // A line through the middle of the bars of the Code 128.
        const int y = qRound((bounds.top() + bounds.height() * 0.4) * 300 / 72.0);
        int grey = 0;
        for (int x = qRound(bounds.left() * 300 / 72.0); x < qRound(bounds.right() * 300 / 72.0); ++x) {
            const QRgb c = card.pixel(x, y);
            if (c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255))
                ++grey;
        }
        QCOMPARE(grey, 0);
    }

    // Each export type writes its own format, with the signature a file type checker looks for.
    void fileFormats_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QByteArray>("readerFormat");
        QTest::newRow("PNG") << "PNG" << QByteArray("\x89PNG\r\n\x1a\n") << QByteArray("png");
        QTest::newRow("JPEG") << "JPEG" << QByteArray("\xff\xd8\xff") << QByteArray("jpeg");
        QTest::newRow("TIFF") << "TIFF" << QByteArray("II*\0", 4) << QByteArray("tiff");
        QTest::newRow("BMP") << "BMP" << QByteArray("BM") << QByteArray("bmp");
        QTest::newRow("GIF") << "GIF" << QByteArray("GIF89a") << QByteArray("gif");
    }
    void fileFormats() {
        QFETCH(QString, type);
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, readerFormat);
        QTemporaryDir dir;
        const QString path = dir.filePath("x." + type);
        QVERIFY(Export_Single_File(design(false), path, "F", false, 150, type).complete());
        QCOMPARE(readBytes(path).left(signature.size()), signature);
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), readerFormat);
        const QImage img = reader.read();
        QCOMPARE(img.size(), QSize(417, 209));
        // The red box of the design, whatever the format's colour depth.
        const QColor c = img.pixelColor(qRound(30 * 150 / 72.0), qRound(75 * 150 / 72.0));
        QVERIFY2(c.red() > 200 && c.green() < 60 && c.blue() < 60, qPrintable(c.name()));
        // Formats without transparency show white where nothing is drawn.
        QVERIFY(img.pixelColor(img.width() - 3, img.height() - 3).lightness() > 240 ||
                type == QLatin1String("PNG") || type == QLatin1String("TIFF"));
    }

    // GIF data decodes back to the same picture for sizes that cross the code table's limits.
    void gifRoundTrip_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("one pixel") << 1 << 1;
        QTest::newRow("noise") << 97 << 61;
        QTest::newRow("flat and wide") << 1000 << 3;
    }
    void gifRoundTrip() {
        QFETCH(int, w);
        QFETCH(int, h);
        QImage img(w, h, QImage::Format_RGB32);
        QRandomGenerator rng(7);
        const QRgb palette[] = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, h == 3 ? palette[(x / 50) % 2] : palette[rng.bounded(4)]);
        const QByteArray gif = ImageFileWriter::encode(img, "gif");
        QImage back;
        QVERIFY(back.loadFromData(gif, "GIF"));
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), img);
    }

    // A white card with texts, barcodes and a gradient: the GIF keeps every white pixel white (no dither
    // dots) and stays within 1% RMSE of the PNG.
    void gifKeepsFlatAreasClean() {
        BatchFillJob::Design d;
        fourBarcodes(d);
        d.front << text(QStringLiteral("Greetings from the card"), QRectF(280, 40, 220, 40));
        GraphicPtr shade = box(QRectF(280, 100, 220, 80), Qt::red);
        shade->_fill_type = QStringLiteral("G");
        shade->_fill_Grad_clr1 = QColor(30, 90, 200);
        shade->_fill_Grad_clr2 = QColor(250, 200, 40);
        shade->_fill_grad_angle = 30;
        d.front << shade;
        QTemporaryDir dir;
        QVERIFY(Export_Single_File(d, dir.filePath("c.png"), "F", false, 150).complete());
        QVERIFY(Export_Single_File(d, dir.filePath("c.gif"), "F", false, 150).complete());
        const QImage png = QImage(dir.filePath("c.png")).convertToFormat(QImage::Format_RGB32);
        QImage gif(dir.filePath("c.gif"));
        QVERIFY(!gif.isNull());
        gif = gif.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(gif.size(), png.size());
        qint64 whites = 0, dotted = 0;
        double squares = 0;
        for (int y = 0; y < png.height(); ++y) {
            for (int x = 0; x < png.width(); ++x) {
                const QRgb a = png.pixel(x, y), b = gif.pixel(x, y);
                if (a == qRgb(255, 255, 255)) {
                    ++whites;
                    dotted += b != a;
                }
                const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
                squares += dr * dr + dg * dg + db * db;
            }
        }
        QVERIFY(whites > png.width() * png.height() / 2);
        QCOMPARE(dotted, 0);
        const double rmse = std::sqrt(squares / (3.0 * png.width() * png.height())) / 255.0;
        QVERIFY2(rmse < 0.01, qPrintable(QString::number(rmse * 100, 'f', 2) + " %"));
    }

    // No row's symbol is drawn outside its frame in silence: a bound Code 39 value too long for the frame at
    // the export's resolution names its row in the warnings; a PDF417 whose one-pixel modules do not fit
    // its frame at 72 dpi keeps whole pixels (it still decodes) and the export says once which side and
    // which resolution fits.
    void fitWarnings() {
        Data_From_Excel table;
        table.setTable({QStringLiteral("Row No."), QStringLiteral("Code")},
                       {{"1", "NV"}, {"2", "+ST272IG"}, {"3", "AB"}});
        GraphicPtr code = barcodeItem(0, BarcodeSymbologies::Code39, "NV", {10, 10});
        code->data_source_type = 2;
        code->excel_col_indx = 1;
        BoundCard bound({code}, QSizeF(300, 120), table);
        QTemporaryDir dir;
        const std::atomic<bool> stop(false);
        for (int dpi : {72, 300}) {
            ExportBatchJob job(bound.fill(table), dir.filePath(QString::number(dpi)), "F", false, "PNG", dpi);
            const ExportResult r = job.run(stop, {}, 2);
            QVERIFY(r.complete());
            const QStringList expected =
                dpi == 72 ? QStringList{"Row 2: the Code 39 value is too long for its frame."} : QStringList();
            QCOMPARE(r.problems.firstLines(), expected);
            for (const QString& w : expected)
                QVERIFY(r.message().contains(w));
        }

        BatchFillJob::Design card;
        const QList<Expected> barcodes = fourBarcodes(card);
        const Expected& pdf = barcodes[3];
        for (int dpi : {72, 300}) {
            const QString path = dir.filePath(QStringLiteral("card%1.png").arg(dpi));
            const ExportResult r = Export_Single_File(card, path, "F", false, dpi, "PNG");
            QVERIFY(r.complete());
            if (dpi == 300) {
                QCOMPARE(r.warnings, QStringList());
                continue;
            }
            QCOMPARE(r.warnings.size(), 1);
            const int lowest = BarcodeItemDrawing::lowestFittingDpi(*pdf.item, pdf.value);
            QVERIFY(lowest > 72);
            QCOMPARE(r.warnings[0], QStringLiteral("On the front side, the PDF417 needs at least %1 dpi to keep "
                                                   "whole-pixel modules inside its frame.")
                                        .arg(lowest));
            const QImage image(path);
            const qreal scale = dpi / 72.0;
            QRectF around = pdf.item->bounds().adjusted(-30, -10, 30, 10);
            QCOMPARE(decode(crop(image, around, scale), pdf.format), pdf.value);
        }
    }

    // A 2-D symbol whose item margins leave modules under a pixel takes the frame with its own quiet zone
    // instead: it decodes and is not named. One whose header and footer leave it no room is named in every
    // row, with no resolution to name.
    void twoDFitKeepsQuietZone_data() {
        QTest::addColumn<bool>("texts");
        QTest::addColumn<int>("dpi");
        for (int dpi : {72, 150, 300}) {
            QTest::addRow("no texts, %d dpi", dpi) << false << dpi;
            QTest::addRow("texts, %d dpi", dpi) << true << dpi;
        }
    }
    void twoDFitKeepsQuietZone() {
        QFETCH(bool, texts);
        QFETCH(int, dpi);
        const QStringList values{"C", "NAVU-2026", "A longer QR value for row three"};
        QList<QStringList> rows;
        for (const QString& v : values)
            rows << QStringList{QString::number(rows.size() + 1), v};
        Data_From_Excel table;
        table.setTable({QStringLiteral("Row No."), QStringLiteral("Code")}, rows);
        GraphicPtr qr = barcodeItem(1, BarcodeSymbologies::QRCode, "hello", {20, 20});
        qr->show_hide_hdr = qr->show_hide_ftr = texts ? 0 : 1;
        qr->setBounds(QRectF(20, 20, 40, 40));
        qr->data_source_type = 2;
        qr->excel_col_indx = 1;
        BoundCard bound({qr}, QSizeF(80, 80), table);
        QTemporaryDir dir;
        ExportBatchJob job(bound.fill(table), dir.path(), "F", false, "PNG", dpi);
        const ExportResult r = job.run(std::atomic<bool>(false), {}, 2);
        QVERIFY(r.complete());
        QCOMPARE(r.warnings, QStringList());
        for (int i = 0; i < values.size(); ++i) {
            if (texts) {
                QCOMPARE(r.problems.firstLines().value(i),
                         QStringLiteral("Row %1: the QR Code has no room in its frame between its header and footer.")
                             .arg(i + 1));
                continue;
            }
            const QImage card(job.folder() + QLatin1Char('/') + job.rowFileNames(i).value(0));
            QCOMPARE(decode(crop(card, qr->bounds(), dpi / 72.0), ZXing::BarcodeFormat::QRCode), values[i]);
            QVERIFY(!r.problems.hasRow(i));
        }
    }

    // Label sheets with barcodes: no picture in the PDF, and every row's barcode either decodes from a 300 dpi
    // raster of it or is named in the job's problems (values up to 46 characters in a 156-point Code 39 frame
    // and a small QR Code frame).
    void labelPdfBarcodesReadOrAreNamed() {
        if (QStandardPaths::findExecutable("pdfimages").isEmpty() ||
            QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("poppler tools are missing");
        Data_From_Excel table;
        QList<QStringList> rows;
        QStringList values;
        for (int i = 0; i < 16; ++i) {
            values << QStringLiteral("LBL-%1-").arg(1000 + i) + QString(i * 3, QLatin1Char('A' + i));
            rows << QStringList{QString::number(i + 1), values.last()};
        }
        table.setTable({QStringLiteral("Row No."), QStringLiteral("Code")}, rows);
        GraphicPtr code = barcodeItem(0, BarcodeSymbologies::Code39, "LBL-0000", {10, 10});
        code->setBounds(QRectF(10, 10, 156, 60));
        code->data_source_type = 2;
        code->excel_col_indx = 1;
        GraphicPtr qr = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
        qr->linear_or_2d = 1;
        qr->barcode_font_index = BarcodeSymbologies::QRCode;
        qr->show_hide_hdr = qr->show_hide_ftr = 1;
        qr->setBounds(QRectF(260, 10, 26, 26));
        BarcodeItemDrawing::setUpNewItem(*qr);
        qr->setBounds(QRectF(260, 10, 26, 26));
        qr->data_source_type = 2;
        qr->excel_col_indx = 1;
        BatchFillJob::Design d;
        d.front = {code, qr};
        d.frontProp = Card_Property::defaults(QStringLiteral("F"));
        d.backProp = Card_Property::defaults(QStringLiteral("B"));
        d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF(380, 110);
        d.twoSided = false;
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);
        PrintLayout l;
        const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
        l.paper = page.fullRectPoints().size();
        l.card = d.frontProp.Card_Size;
        l.rows = 6;
        l.cols = 1;
        l.vgap = 20;
        QVERIFY(!code->bounds().intersects(qr->bounds()));
        Printing_View view(l, 16, BatchFillJob::create(d, series, table), d);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("labels.pdf");
        QVERIFY(Print_Wnd::printToPdfFile(view, page, pdf));
        const QStringList images = poppler("pdfimages", {"-list", pdf}).trimmed().split('\n');
        QCOMPARE(images.size(), 2); // the header lines only
        QProcess::execute("pdftoppm", {"-r", "300", "-png", pdf, dir.filePath("page")});
        const RowProblems named = view.fill()->rowProblems();
        const qreal scale = 300 / 72.0;
        int read = 0;
        for (int i = 0; i < 16; ++i) {
            const QImage sheet(dir.filePath(QStringLiteral("page-%1.png").arg(i / 6 + 1)));
            QVERIFY(!sheet.isNull());
            const QRectF where = labelCardRects(l, labelCellRect(l, i % 6, 0)).front;
            const QString bars = decode(crop(sheet, code->bounds().translated(where.topLeft()), scale),
                                        ZXing::BarcodeFormat::Code39);
            const QString square = decode(crop(sheet, qr->bounds().translated(where.topLeft()), scale),
                                          ZXing::BarcodeFormat::QRCode);
            read += (bars == values[i]) + (square == values[i]);
            QVERIFY2((bars == values[i] && square == values[i]) || named.hasRow(i),
                     qPrintable(QStringLiteral("row %1: %2 / %3").arg(i + 1).arg(bars, square)));
        }
        QVERIFY(read > 16);
        QVERIFY(named.cardCount() > 0);
    }
};

QTEST_MAIN(TestOutputBarcodes)
#include "test_output_barcodes.moc"
