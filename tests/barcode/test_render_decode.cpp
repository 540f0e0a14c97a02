// Decode round trips: every decodable symbology is generated and rendered to an image, given a quiet
// zone, and read back with zxing-cpp; the decoded text must equal the value.

#define ZX_USE_UTF8 1

#include "TestPictures.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/NKDAbstractUPCEANBarcode.h"
#include "barcode/NKDUPCEBarcode.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include <ZXing/ReadBarcode.h>

namespace {

using Format = ZXing::BarcodeFormat;

// Reads the image after adding a white quiet zone of `quiet` pixels on every side.
QString decode(const QImage& image, Format format, bool extended39 = false, int quiet = 60) {
    QImage padded = filledImage(QSize(image.width() + 2 * quiet, image.height() + 2 * quiet), Qt::white,
                                QImage::Format_Grayscale8);
    {
        QPainter p(&padded);
        p.drawImage(quiet, quiet, image);
    }
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    hints.setTryCode39ExtendedMode(extended39);
    hints.setReturnCodabarStartEnd(true);
    const ZXing::ImageView view(padded.constBits(), padded.width(), padded.height(), ZXing::ImageFormat::Lum,
                                int(padded.bytesPerLine()));
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    if (!r.isValid())
        return QStringLiteral("<no decode>");
    return QString::fromStdString(r.text());
}

QString randomFrom(QRandomGenerator& rng, const QString& alphabet, int length) {
    QString s;
    for (int i = 0; i < length; ++i)
        s += alphabet.at(rng.bounded(int(alphabet.size())));
    return s;
}

QString checkDigit(const QString& digits) {
    return QString(QChar(NKDAbstractUPCEANBarcode::upcEanCheck(digits)));
}

} // namespace

class TestRenderDecode : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("extended");
        using namespace BarcodeSymbologies;
        QRandomGenerator rng(20261207);
        const QString digits = QStringLiteral("0123456789");
        const QString code39 = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
        QString printable;
        for (int c = 32; c < 127; ++c)
            printable += QChar(c);
        const int count = 250;

        QStringList v, e;
        for (int i = 0; i < count; ++i) {
            const QString d = randomFrom(rng, digits, 12);
            v << d;
            e << d + checkDigit(d);
        }
        QTest::newRow("EAN-13") << int(EAN13) << int(Format::EAN13) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString d = randomFrom(rng, digits, 7);
            v << d;
            e << d + checkDigit(d);
        }
        QTest::newRow("EAN-8") << int(EAN8) << int(Format::EAN8) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString d = randomFrom(rng, digits, 11);
            v << d;
            e << d + checkDigit(d);
        }
        QTest::newRow("UPC-A") << int(UPCA) << int(Format::UPCA) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            // A UPC-A number of one of the four zero-suppressed forms.
            const int form = i % 4;
            QString a = QString::number(i % 2) + randomFrom(rng, digits, 10);
            if (form == 0)
                a.replace(3, 5, QString::number(rng.bounded(3)) + QStringLiteral("0000"));
            else if (form == 1)
                a.replace(3, 6, QString::number(3 + rng.bounded(7)) + QStringLiteral("00000"));
            else if (form == 2)
                a.replace(4, 6, QString::number(1 + rng.bounded(9)) + QStringLiteral("00000"));
            else
                a = a.left(5) + QString::number(1 + rng.bounded(9)) + QStringLiteral("0000") +
                    QString::number(5 + rng.bounded(5));
            const QString six = NKDUPCEBarcode::UPCAToUPCE(a + checkDigit(a));
            QVERIFY2(!six.isEmpty(), qPrintable(a));
            v << a;
            e << a.left(1) + six + checkDigit(a);
        }
        QTest::newRow("UPC-E") << int(UPCE) << int(Format::UPCE) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t = randomFrom(rng, code39, 1 + i % 20);
            v << t;
            e << t;
        }
        QTest::newRow("Code 39") << int(Code39) << int(Format::Code39) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t = randomFrom(rng, printable, 1 + i % 12);
            v << t;
            e << t;
        }
        QTest::newRow("Extended Code 39") << int(ExtendedCode39) << int(Format::Code39) << v << e << true;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t =
                randomFrom(rng, QStringLiteral("ABCD"), 1) +
                randomFrom(rng, QStringLiteral("0123456789-$:/.+"), 2 + i % 16) + // zxing reads four or more
                randomFrom(rng, QStringLiteral("ABCD"), 1);
            v << t;
            e << t;
        }
        QTest::newRow("Codabar") << int(Codabar) << int(Format::Codabar) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t = randomFrom(rng, digits, 6 + 2 * (i % 8));
            v << t;
            e << t;
        }
        QTest::newRow("Interleaved 2 of 5") << int(Interleaved2of5) << int(Format::ITF) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t = randomFrom(rng, printable, 1 + i % 30);
            v << t;
            e << t;
        }
        QTest::newRow("Code 128 auto") << int(Code128) << int(Format::Code128) << v << e << false;
        QTest::newRow("Code 128 SET B") << int(Code128B) << int(Format::Code128) << v << e << false;
        QTest::newRow("Code 128 SET A") << int(Code128A) << int(Format::Code128) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            const QString t = randomFrom(rng, digits, 1 + i % 40);
            v << t;
            e << t;
        }
        QTest::newRow("Code 128 auto digits") << int(Code128) << int(Format::Code128) << v << e << false;
        QTest::newRow("Code 128 SET C") << int(Code128C) << int(Format::Code128) << v << e << false;
        v.clear(), e.clear();
        for (int i = 0; i < count; ++i) {
            QString t = randomFrom(rng, printable, 1 + i % 10);
            t.insert(rng.bounded(int(t.size()) + 1), QChar(1 + rng.bounded(31))); // a control character
            v << t;
            e << t;
        }
        QTest::newRow("Code 128 controls") << int(Code128) << int(Format::Code128) << v << e << false;
        QTest::newRow("Code 128 SET B controls") << int(Code128B) << int(Format::Code128) << v << e << false;
    }
    void roundTrip() {
        QFETCH(int, index);
        QFETCH(int, format);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QFETCH(bool, extended);
        BarcodeStyle s;
        s.barcode_font_index = index;
        s.dpi = 150;
        int n = 0;
        for (const QString& value : values) {
            s.show_val_on_top = n % 3 == 0;
            s.kerning_value = n % 2;
            const BarcodeResult r =
                generateBarcode(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
            QVERIFY2(r.ok(), qPrintable(value + QStringLiteral(": ") + r.reason));
            const QString decoded = decode(r.image, Format(format), extended);
            if (decoded != expected.at(n)) {
                r.image.save(QDir::temp().filePath(QStringLiteral("decode_failure.png")));
                QCOMPARE(decoded, expected.at(n));
            }
            ++n;
        }
    }

    // Any text in QR Code and PDF417; each 2-D symbology up to its own capacity.
    void twoD_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("size");
        using namespace BarcodeSymbologies;
        QTest::newRow("QR Code") << int(QRCode) << int(Format::QRCode) << "https://example.com/card?id=42"
                                 << 60;
        QTest::newRow("PDF417") << int(PDF417) << int(Format::PDF417) << "PDF417 card 0001" << 0;
        QTest::newRow("DataMatrix") << int(DataMatrix) << int(Format::DataMatrix) << "DM 12345" << 0;
        QTest::newRow("QR Code Unicode")
            << int(QRCode) << int(Format::QRCode) << "Straße € 5 グリーティング" << 60;
        QTest::newRow("PDF417 Unicode") << int(PDF417) << int(Format::PDF417) << "Straße € 5" << 0;
        QString digits;
        for (int i = 0; i < twoDCapacity(QRCode); ++i)
            digits += QChar('0' + (i * 7) % 10);
        QTest::newRow("QR Code 7,089 digits") << int(QRCode) << int(Format::QRCode) << digits << 240;
    }
    void twoD() {
        QFETCH(int, index);
        QFETCH(int, format);
        QFETCH(QString, value);
        QFETCH(int, size);
        BarcodeStyle s;
        s.linear_or_2d = 1;
        s.barcode_font_index = index;
        s.dpi = 300;
        s.qr_size_val = size;
        const BarcodeResult r = generateBarcode(s, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
        QVERIFY2(r.ok(), qPrintable(r.reason));
        QCOMPARE(decode(r.image, Format(format)), value);
        // One character more than the symbology can ever hold is refused with its capacity.
        const BarcodeResult over =
            generateBarcode(s, QString(twoDCapacity(index) + 1, QLatin1Char('1')), QString(), QString());
        QVERIFY(!over.ok());
        QVERIFY2(over.reason.contains(QStringLiteral("at most")), qPrintable(over.reason));
    }
};

QTEST_MAIN(TestRenderDecode)
#include "test_render_decode.moc"
