// Barcode items drawn for their device: natural sizes, frames that never squeeze or stretch a symbol,
// PDF417 rows three modules high, quiet-zone margins of new items and the designer's warning.

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/twod/TwoDImages.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "canvas/ui/SKTGraphicView.h"

#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QtTest>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

using namespace BarcodeSymbologies;

namespace {

GraphicPtr item(int mode, int index, const QString& value) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
    g->linear_or_2d = mode;
    g->barcode_font_index = index;
    (mode == 0 ? g->linear_font_val : g->two_d_font_val) = value;
    g->show_hide_hdr = g->show_hide_ftr = 1;
    return g;
}

QString decode(const QImage& image, ZXing::BarcodeFormats formats = {}) {
    QImage padded(image.width() + 80, image.height() + 80, QImage::Format_Grayscale8);
    padded.fill(Qt::white);
    QPainter(&padded).drawImage(40, 40, image);
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    hints.setFormats(formats);
    const ZXing::ImageView view(padded.constBits(), padded.width(), padded.height(), ZXing::ImageFormat::Lum,
                                int(padded.bytesPerLine()));
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    return r.isValid() ? QString::fromStdString(r.text()) : QStringLiteral("<no decode>");
}

// Pixels from the first to the last dark pixel of row y.
int darkExtent(const QImage& img, int y) {
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        if (qGray(img.pixel(x, y)) < 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    return first < 0 ? 0 : last - first + 1;
}

// The item alone on a white picture at `dpi`, its frame at (10, 10).
QImage render(const SKTGraphic& g, int dpi, QSizeF canvas) {
    const qreal scale = dpi / 72.0;
    QImage img((canvas * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(scale, scale);
    g.draw(p);
    return img;
}

} // namespace

class TestItemDrawing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BarcodeItemDrawing::install(); }

    // Natural size is the symbol's own, never the square of the shorter side, and holds its texts as drawn.
    void naturalSize_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("wide");
        QTest::newRow("Code 128") << 0 << int(Code128) << "ABC-12345" << true;
        QTest::newRow("EAN-13") << 0 << int(EAN13) << "400638133393" << true;
        QTest::newRow("QR Code") << 1 << int(QRCode) << "hello" << false;
        QTest::newRow("PDF417") << 1 << int(PDF417) << "hello" << true;
        QTest::newRow("Data Matrix") << 1 << int(DataMatrix) << "hello" << false;
    }
    void naturalSize() {
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(bool, wide);
        GraphicPtr g = item(mode, index, value);
        g->setBounds(QRectF(30, 40, 80, 80));
        g->makeNaturalSize();
        const QSizeF natural = BarcodeItemDrawing::naturalSize(*g);
        QVERIFY(natural.width() > 0);
        QCOMPARE(g->bounds(), QRectF(QPointF(30, 40), natural));
        if (wide)
            QVERIFY(natural.width() > 2 * natural.height());
        // Header and footer wider than the symbol: the natural frame holds them at their own size, as a wider one.
        g->header_val = g->footer_val = QStringLiteral("Members of the NAVU photo club, 12 Harbour Road");
        g->show_hide_hdr = g->show_hide_ftr = 0;
        g->barcode_hdr_clr_val = g->barcode_ftr_clr_val = Qt::blue;
        g->makeNaturalSize();
        const auto textWidth = [&] {
            const QImage img = render(*g, 300, QSizeF(g->bounds().right() + 80, g->bounds().bottom() + 10));
            QRect text;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qBlue(img.pixel(x, y)) - qRed(img.pixel(x, y)) > 48)
                        text |= QRect(x, y, 1, 1);
            return text.width();
        };
        const int inNatural = textWidth();
        g->setBounds(g->bounds().adjusted(0, 0, 60, 0));
        QCOMPARE(inNatural, textWidth());
        g->ctrl_is_locked = true;
        g->setBounds(QRectF(0, 0, 5, 5));
        g->makeNaturalSize();
        QCOMPARE(g->bounds(), QRectF(0, 0, 5, 5));
    }

    // PDF417 in its default 100 x 20 point frame: rows three modules high, the symbol uniform and centred,
    // and long values decode.
    void pdf417DefaultFrame_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("short") << 8;
        QTest::newRow("100 characters") << 100;
        QTest::newRow("300 characters") << 300;
    }
    void pdf417DefaultFrame() {
        QFETCH(int, length);
        QString value;
        for (int i = 0; i < length; ++i)
            value += QChar('A' + (i * 7) % 26);
        const Pdf417Params params; // 100 x 20 points, level 2, 600 dpi
        const TwoDSymbol sym = makePdf417Symbol(params, value);
        QVERIFY(sym.ok());
        QCOMPARE(sym.rowHeight, 3);
        const TwoDResult r = makePdf417Image(params, value);
        QVERIFY2(r.ok(), qPrintable(r.reason));
        const int unit = std::min(r.image.width() / sym.columns, r.image.height() / (sym.rows * 3));
        QVERIFY(unit >= 1);
        // The symbol fills one side of the frame: its shape follows the frame's.
        QVERIFY(sym.columns * unit > r.image.width() * 0.6 || sym.rows * 3 * unit > r.image.height() * 0.6);
        QCOMPARE(decode(r.image), value);
    }

    // A linear item narrower than its symbol gets the widest whole-pixel modules that fit its frame; a wider
    // one widens them; both decode. A 2-D item keeps square modules in a stretched frame.
    void framesNeverSqueeze_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<qreal>("widthFactor");
        QTest::addColumn<qreal>("heightFactor");
        QTest::newRow("Code 128 in half its width") << 0 << int(Code128) << 0.5 << 1.0;
        QTest::newRow("Code 128 in 1.7 times its width") << 0 << int(Code128) << 1.7 << 2.0;
        QTest::newRow("QR Code stretched wide") << 1 << int(QRCode) << 3.0 << 1.0;
        QTest::newRow("PDF417 stretched tall") << 1 << int(PDF417) << 1.0 << 4.0;
        QTest::newRow("Data Matrix stretched wide") << 1 << int(DataMatrix) << 2.5 << 1.0;
    }
    void framesNeverSqueeze() {
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(qreal, widthFactor);
        QFETCH(qreal, heightFactor);
        const QString value = QStringLiteral("NAVU-42");
        GraphicPtr g = item(mode, index, value);
        const QSizeF natural = BarcodeItemDrawing::naturalSize(*g);
        const QSizeF frame(natural.width() * widthFactor, natural.height() * heightFactor);
        // The frame in the middle of the picture, with room for a symbol wider than its frame.
        const QSizeF canvas(std::max(frame.width(), natural.width()) + 40,
                            std::max(frame.height(), natural.height()) + 40);
        g->setBounds(QRectF(
            QPointF((canvas.width() - frame.width()) / 2, (canvas.height() - frame.height()) / 2), frame));
        const QImage img = render(*g, 300, canvas);
        const ZXing::BarcodeFormat formats[] = {ZXing::BarcodeFormat::QRCode, ZXing::BarcodeFormat::PDF417,
                                                ZXing::BarcodeFormat::DataMatrix};
        QCOMPARE(decode(img, mode == 0 ? ZXing::BarcodeFormat::Code128 : formats[index]), value);
        if (mode == 0 && widthFactor < 1) {
            // The bars stay inside the frame.
            const int row = qRound((g->bounds().top() + g->bounds().height() * 0.3) * 300 / 72.0);
            QVERIFY(darkExtent(img, row) <= qRound(frame.width() * 300 / 72.0));
            // Repaints cover what a symbol wider than its frame would reach.
            QVERIFY(ItemPainting::paintedBounds(*g).width() >= natural.width());
            QCOMPARE(ItemPainting::barcodeRect(*g).width(), natural.width());
        }
    }

    // Every row's symbol is drawn inside its frame, on images and on paper (vectors on a 300-dpi printer's
    // dots): the chosen module where it fits, else the widest whole dot that fits, without the item's wider
    // margins where the bars and the symbology's quiet zone fit; the value text, header and footer smaller
    // where they are too wide. Where even one dot or 5-point letters do not fit, a bound value's row is
    // named; texts never reach past the frame, and a symbol that fits decodes.
    void symbolsStayInFrames_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("dpi"); // negative: paper of that resolution
        QTest::addColumn<QString>("problem");
        QTest::addColumn<bool>("spread"); // the value text spread over the bars
        QTest::addColumn<QString>("texts"); // header and footer, in a frame as wide as the symbol without them
        QTest::addColumn<qreal>("height");  // of the frame, in parts of the natural height with the texts
        const QString tooLong = QStringLiteral("the %1 value is too long for its frame.");
        const QString textTooLong = QStringLiteral("the %1 value text is too long for its frame, even in 5-point letters.");
        const QString digits40 = QStringLiteral("1234567890123456789012345678901234567890");
        const QString club = QStringLiteral("NAVU photo club member");
        const QString address = QStringLiteral("Members of the NAVU photo club, 12 Harbour Road, Portsmouth");
        const auto add = [](const QByteArray& name, int dpi, int mode, int index, const char* setUp, const QString& row,
                            const QString& problem, bool spread = false, const QString& texts = QString(),
                            qreal height = 1) {
            QTest::addRow("%s at %d dpi", name.constData(), dpi)
                << mode << index << QString::fromLatin1(setUp) << row << dpi << problem << spread << texts << height;
        };
        for (int dpi : {-300, 300, 150, 72}) {
            const bool fine = std::abs(dpi) == 300;
            add("Code 39 NV with +ST272IG", dpi, 0, Code39, "NV", "+ST272IG", dpi != 72 ? QString() : tooLong);
            add("Code 39 NV with CVAUF", dpi, 0, Code39, "NV", "CVAUF", QString());
            add("ITF 12 with 14 digits", dpi, 0, Interleaved2of5, "12", "12345678901234", dpi == 72 ? tooLong : QString());
            add("Code 128 with its own value", dpi, 0, Code128, "NAVU-42", "NAVU-42", QString());
            add("Code 128 with 24 characters", dpi, 0, Code128, "NAVU-42", "NAVU-2026-0042-0043-0044",
                dpi == 72 ? tooLong : QString());
            add("Code 128 12 with 40 digits", dpi, 0, Code128, "12", digits40, fine ? textTooLong : tooLong);
            // Spread letters close up to touching, never overlapping, and are named where even that is too wide.
            add("Code 128 12 with 40 digits spread", dpi, 0, Code128, "12", digits40, fine ? QString() : tooLong, true);
            add("Code 128 12 with 48 digits spread", dpi, 0, Code128, "12", digits40 + "12345678",
                fine ? textTooLong : tooLong, true);
            add("Code 128 with 24 characters spread", dpi, 0, Code128, "NAVU-42", "NAVU-2026-0042-0043-0044",
                dpi == 72 ? tooLong : QString(), true);
            // The item's own header and footer are never a row's problem, whatever their size.
            add("Code 128 with an address", dpi, 0, Code128, "NAVU-42", "NAVU-42", QString(), false, address);
            // A frame lower than its texts cuts them at its top and bottom, as the canvas does.
            add("Code 128 with a header in half its height", dpi, 0, Code128, "NAVU-42", "NAVU-42", QString(), false,
                club, 0.5);
            add("QR Code with a header in a tenth of its height", dpi, 1, QRCode, "NAVU-42", "NAVU-42",
                QStringLiteral("the %1 has no room in its frame between its header and footer."), false, club, 0.1);
            for (int index : {QRCode, PDF417, DataMatrix}) {
                if (index == DataMatrix && dpi == 72)
                    continue; // one-pixel modules: too small to read
                const QByteArray title = twoDTitles().at(index).toLatin1();
                // Whole-pixel PDF417 modules of its natural size need more than 72 dpi.
                const QString pixels = index == PDF417 && dpi == 72 ? QStringLiteral("the %1 does not fit its frame at 72 dpi.") : QString();
                add(title + " with a header", dpi, 1, index, "NAVU-42", "NAVU-2026-0042", pixels, false, club);
                add(title + " with an address", dpi, 1, index, "NAVU-42", "NAVU-2026-0042", pixels, false, address);
            }
        }
    }
    void symbolsStayInFrames() {
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(QString, setUp);
        QFETCH(QString, row);
        QFETCH(int, dpi);
        QFETCH(QString, problem);
        QFETCH(bool, spread);
        QFETCH(QString, texts);
        QFETCH(qreal, height);
        GraphicPtr g = item(mode, index, setUp);
        g->kerning_value_val = spread;
        // Texts told from the bars and a linear symbol's background.
        g->barcode_val_clr_val = g->barcode_hdr_clr_val = g->barcode_ftr_clr_val = Qt::blue;
        g->barcode_back_clr_val = Qt::yellow;
        g->setBounds(QRectF(60, 20, 10, 10));
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*g));
        if (!texts.isEmpty()) {
            g->header_val = g->footer_val = texts;
            g->show_hide_hdr = g->show_hide_ftr = 0;
            g->setBounds(QRectF(g->bounds().topLeft(),
                                QSizeF(g->bounds().width(), BarcodeItemDrawing::naturalSize(*g).height() * height)));
        }
        g->Set_Barcode_image(QImage(), row);
        const QString named = BarcodeItemDrawing::fitProblem(*g, row, std::abs(dpi) / 72.0);
        QCOMPARE(named, problem.isEmpty() ? QString() : problem.arg(BarcodeItemDrawing::symbologyTitle(*g)));
        const QSizeF canvas(g->bounds().right() + 60, g->bounds().bottom() + 20);
        QImage img;
        if (dpi > 0) {
            img = render(*g, dpi, canvas);
        } else { // paper, replayed at its resolution
            QPicture picture;
            QPainter p(&picture);
            g->draw(p);
            p.end();
            img = QImage((canvas * -dpi / 72.0).toSize(), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::white);
            p.begin(&img);
            p.scale(-dpi / 72.0, -dpi / 72.0);
            p.drawPicture(0, 0, picture);
        }
        const qreal ppt = std::abs(dpi) / 72.0;
        const QRect frame = QRectF(g->bounds().topLeft() * ppt, g->bounds().size() * ppt).toAlignedRect();
        QRect ink, text;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (c != qRgb(255, 255, 255))
                    (qBlue(c) > 0 ? text : ink) |= QRect(x, y, 1, 1);
            }
        const auto where = [](const QRect& r) {
            return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        };
        QVERIFY(!ink.isEmpty() && !text.isEmpty());
        QVERIFY2(frame.contains(text), qPrintable(where(text) + " past " + where(frame)));
        if (problem.isEmpty() || problem.contains(QLatin1String("value text"))) { // the symbol inside too: it reads
            QVERIFY2(frame.contains(ink), qPrintable(where(ink) + " past " + where(frame)));
            QCOMPARE(decode(img), row);
        }
    }

    // A data value its symbology cannot hold leaves the place empty: never the sample barcode picture.
    void valueWithoutBarcodeDrawsNothing() {
        GraphicPtr g = item(0, EAN13, "400638133393");
        g->setBounds(QRectF(10, 10, 120, 60));
        g->Set_Barcode_image(QImage(), QStringLiteral("not digits"));
        const QImage img = render(*g, 150, QSizeF(140, 80));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QCOMPARE(img.pixel(x, y), qRgb(255, 255, 255));
    }

    // New items get margins that hold their quiet zone; the designer warns when a margin is below it or a
    // QR module is under 0.19 mm.
    void quietZones_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("modules");
        QTest::newRow("Code 128") << 0 << int(Code128) << 10;
        QTest::newRow("Code 39") << 0 << int(Code39) << 10;
        QTest::newRow("ITF") << 0 << int(Interleaved2of5) << 10;
        QTest::newRow("Codabar") << 0 << int(Codabar) << 10;
        QTest::newRow("QR Code") << 1 << int(QRCode) << 4;
        QTest::newRow("PDF417") << 1 << int(PDF417) << 2;
        QTest::newRow("Data Matrix") << 1 << int(DataMatrix) << 1;
    }
    void quietZones() {
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(int, modules);
        GraphicPtr g = item(mode, index, index == Codabar ? "A123A" : "1234");
        g->show_hide_hdr = g->show_hide_ftr = 0; // header and footer shown, as on a new item
        QCOMPARE(BarcodeItemDrawing::quietZoneModules(BarcodeStyle::fromItem(*g)), modules);
        QVERIFY(!BarcodeItemDrawing::quietZoneWarning(BarcodeStyle::fromItem(*g), "1234").isEmpty() ||
                mode == 1); // 0.1 cm is below every linear quiet zone
        BarcodeItemDrawing::applyQuietZoneMargins(*g);
        if (mode == 0)
            QCOMPARE(BarcodeUnits::unitToPoints(g->LR_margin_val, 1), 10 * BarcodeUnits::milsToPoints(20));
        const BarcodeStyle s = BarcodeStyle::fromItem(*g);
        QCOMPARE(BarcodeItemDrawing::quietZoneWarning(s, s.content()), QString());
        g->LR_margin_val = 0;
        QVERIFY(BarcodeItemDrawing::quietZoneWarning(BarcodeStyle::fromItem(*g), s.content())
                    .contains("quiet zone"));
    }

    // The canvas at 100 % shows the symbol drawn for the screen, as a picture output at 72 dpi gets it, not
    // the stored high-resolution image scaled down.
    void screenDrawingIsSharp_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("Code 128 with header") << 0 << int(Code128) << "NAVU-2026-0042";
        QTest::newRow("QR Code") << 1 << int(QRCode) << "https://example.com/rsvp?id=42";
    }
    void screenDrawingIsSharp() {
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(QString, value);
        BarcodeItemDrawing::install();
        GraphicPtr g = item(mode, index, value);
        g->show_hide_hdr = 0;
        g->setBounds(QRectF(20, 20, 100, 50));
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*g));
        SKTDocument doc;
        doc.setGraphics(CardSide::Front, GraphicList{g});
        SKTGraphicView view;
        view.setDocument(&doc, CardSide::Front);
        view.setCanvasSize(QSizeF(360, 260));
        view.setZoom(1.0);
        const QRect r = view.widgetRectFor(g->bounds());
        const QImage reference = render(*g, 72, view.size());
        for (int pass = 0; pass < 2; ++pass) { // the second repaint comes from the cache
            const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            int differing = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    differing += qAbs(qGray(shot.pixel(x, y)) - qGray(reference.pixel(x, y))) > 32;
            QVERIFY2(differing <= r.width() * r.height() / 200, qPrintable(QString::number(differing)));
            QCOMPARE(decode(shot.copy(r)), value);
        }
    }

    // A repaint of many barcodes (more than a few hundred) draws none of them anew: a cache bounded by a
    // count smaller than one repaint made every one again on every repaint.
    void repaintOfManyBarcodesUsesTheCache() {
        BarcodeItemDrawing::install();
        GraphicList items;
        for (int i = 0; i < 1200; ++i) {
            GraphicPtr g = item(0, Code128, QStringLiteral("GUEST-%1").arg(i));
            g->show_hide_hdr = g->show_hide_ftr = 0;
            g->setBounds(QRectF(i % 30 * 12, i / 30 * 6, 40, 20));
            items << g;
        }
        SKTDocument doc;
        doc.setGraphics(CardSide::Front, items);
        SKTGraphicView view;
        view.setDocument(&doc, CardSide::Front);
        view.setCanvasSize(QSizeF(400, 280));
        view.grab();
        const qint64 made = BarcodeItemDrawing::screenDrawingsMade();
        QVERIFY(made >= 1200);
        view.grab();
        QCOMPARE(BarcodeItemDrawing::screenDrawingsMade(), made);
    }

    // A screen with two device pixels per pixel gets modules on its own pixels.
    void screenDrawingOnHighDpi() {
        BarcodeItemDrawing::install();
        GraphicPtr g = item(0, Code128, "NAVU-2026-0042");
        g->setBounds(QRectF(20, 20, 100, 50));
        QVERIFY(BarcodeItemDrawing::setUpNewItem(*g));
        QPixmap screen(720, 400);
        screen.setDevicePixelRatio(2);
        screen.fill(Qt::white);
        QPainter p(&screen);
        g->draw(p);
        p.end();
        const QImage reference = render(*g, 144, QSizeF(360, 200));
        const QImage shot = screen.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRect r = QRectF(ItemPainting::barcodeRect(*g).topLeft() * 2, ItemPainting::barcodeRect(*g).size() * 2)
                            .toAlignedRect()
                            .intersected(reference.rect());
        int differing = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                differing += qAbs(qGray(shot.pixel(x, y)) - qGray(reference.pixel(x, y))) > 32;
        QVERIFY2(differing <= r.width() * r.height() / 200, qPrintable(QString::number(differing)));
        QCOMPARE(decode(shot), QStringLiteral("NAVU-2026-0042"));
    }

    void smallModulesWarned() {
        GraphicPtr g = item(1, QRCode, "https://example.com/a/long/address/for/a/bigger/symbol");
        g->qr_size_val = 12;
        BarcodeItemDrawing::applyQuietZoneMargins(*g);
        const BarcodeStyle s = BarcodeStyle::fromItem(*g);
        QVERIFY(BarcodeItemDrawing::quietZoneWarning(s, s.content()).contains("0.19 mm"));
    }
};

QTEST_MAIN(TestItemDrawing)
#include "test_item_drawing.moc"
