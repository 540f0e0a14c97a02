// Our linear symbologies against libzint, one line per designer entry: the time to encode the same values
// (our complete module string against zint's symbol), and the time to make the finished image with its
// value text at 300 dpi (ours also draws a header and a footer; zint draws its human-readable text, which
// it has none of for the four postal codes) with modules of the same pixel width on both sides. For the
// postal codes a second image ratio compares ours with its texts hidden, as zint draws them.
// Values are random and valid for both encoders. The exit status is 1 when anything failed to encode.
//   bench_barcode_linear [values] [images]   (defaults 20000 and 2000 per symbology)

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"

#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>
#include <zint.h>

namespace {

constexpr int kDpi = 300;
constexpr float kMils = 20.0f; // 6 pixels per module at 300 dpi

struct Case {
    int ours;
    int zint;
    std::function<QString(std::mt19937&)> value;
};

QString randomText(std::mt19937& rng, const char* alphabet, int minLength, int maxLength) {
    const int length = minLength + int(rng() % unsigned(maxLength - minLength + 1));
    const std::size_t n = std::strlen(alphabet);
    QString v;
    v.reserve(length);
    for (int k = 0; k < length; ++k)
        v += QChar(alphabet[rng() % n]);
    return v;
}

QString printable(std::mt19937& rng, int minLength, int maxLength) {
    const int length = minLength + int(rng() % unsigned(maxLength - minLength + 1));
    QString v;
    for (int k = 0; k < length; ++k)
        v += QChar(32 + int(rng() % 95));
    return v;
}

const char* const kDigits = "0123456789";
const char* const kCode39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
const char* const kUpperDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::vector<Case> cases() {
    using namespace BarcodeSymbologies;
    const auto digits = [](int lo, int hi) {
        return [lo, hi](std::mt19937& r) { return randomText(r, kDigits, lo, hi); };
    };
    const auto evenDigits = [](std::mt19937& r) {
        QString v = randomText(r, kDigits, 6, 20);
        return v.size() % 2 ? v.chopped(1) : v;
    };
    return {
        {Code39, BARCODE_CODE39, [](std::mt19937& r) { return randomText(r, kCode39, 6, 20); }},
        {ExtendedCode39, BARCODE_EXCODE39, [](std::mt19937& r) { return printable(r, 6, 20); }},
        {Interleaved2of5, BARCODE_C25INTER, evenDigits},
        {UPCA, BARCODE_UPCA, digits(11, 11)},
        {PostNet, BARCODE_POSTNET, digits(11, 11)},
        {ModifiedPlessey, BARCODE_MSI_PLESSEY, digits(6, 20)},
        {ModifiedPlesseyHex, BARCODE_PLESSEY,
         [](std::mt19937& r) { return randomText(r, "0123456789ABCDEF", 6, 20); }},
        {Industrial2of5, BARCODE_C25IND, digits(6, 20)},
        {EAN13, BARCODE_EANX, digits(12, 12)},
        {Code128, BARCODE_CODE128, [](std::mt19937& r) { return printable(r, 6, 20); }},
        {Code128A, BARCODE_CODE128, [](std::mt19937& r) { return randomText(r, kCode39, 6, 20); }},
        {Code128B, BARCODE_CODE128B, [](std::mt19937& r) { return printable(r, 6, 20); }},
        {Code128C, BARCODE_CODE128, evenDigits},
        {Codabar, BARCODE_CODABAR,
         [](std::mt19937& r) {
             return QLatin1Char('A') + randomText(r, "0123456789-$:/.+", 6, 18) + QLatin1Char('B');
         }},
        {UPCE, BARCODE_UPCE, [](std::mt19937& r) { return QLatin1Char('0') + randomText(r, kDigits, 6, 6); }},
        {EAN8, BARCODE_EANX, digits(7, 7)},
        {RoyalMail, BARCODE_RM4SCC, [](std::mt19937& r) { return randomText(r, kUpperDigits, 6, 12); }},
        {Planet, BARCODE_PLANET, digits(11, 11)},
        {JapanPost, BARCODE_JAPANPOST,
         [](std::mt19937& r) {
             return randomText(r, kDigits, 7, 7) + randomText(r, "0123456789-ABC", 0, 6);
         }},
    };
}

double milliseconds(const std::function<void()>& run) {
    QElapsedTimer t;
    t.start();
    run();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    // Images are drawn without a screen, as in the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bench::printWithPoint();
    const int valueCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int imageCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2000;

    std::printf("%d values encoded and %d images (texts shown, %d dpi, %.0f mils) per symbology\n",
                valueCount, imageCount, kDpi, double(kMils));
    std::printf("%-34s %10s %10s %7s   %10s %10s %7s\n", "symbology", "enc ours", "enc zint", "ratio",
                "img ours", "img zint", "ratio");
    double worstEncode = 0;
    double worstImage = 0;
    int failures = 0;
    for (const Case& c : cases()) {
        std::mt19937 rng(1234 + c.ours);
        QStringList values;
        std::vector<QByteArray> latin1;
        zint_symbol* check = ZBarcode_Create();
        while (values.size() < valueCount) {
            const QString v = c.value(rng);
            auto b = BarcodeSymbologies::createLinearBarcode(c.ours);
            b->initWithContent(v, true);
            const QByteArray bytes = v.toLatin1();
            ZBarcode_Clear(check);
            check->symbology = c.zint;
            if (!b->isContentValid() ||
                ZBarcode_Encode(check, reinterpret_cast<const unsigned char*>(bytes.constData()),
                                int(bytes.size())) >= ZINT_ERROR)
                continue;
            values << v;
            latin1.push_back(bytes);
        }
        ZBarcode_Delete(check);

        long long oursModules = 0;
        const double encOurs = milliseconds([&] {
            for (const QString& v : values) {
                auto b = BarcodeSymbologies::createLinearBarcode(c.ours);
                b->initWithContent(v, true);
                if (b->isContentValid())
                    oursModules += b->completeBarcode().size();
                else
                    ++failures;
            }
        });
        long long zintModules = 0;
        const double encZint = milliseconds([&] {
            zint_symbol* s = ZBarcode_Create();
            for (const QByteArray& v : latin1) {
                ZBarcode_Clear(s);
                s->symbology = c.zint;
                if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(v.constData()), int(v.size())) <
                    ZINT_ERROR)
                    zintModules += s->width;
            }
            ZBarcode_Delete(s);
        });

        BarcodeStyle style;
        style.barcode_font_index = c.ours;
        style.linear_width_val = kMils;
        style.dpi = kDpi;
        const int images = std::min(imageCount, valueCount);
        long long oursPixels = 0;
        const QString header = QStringLiteral("HEADER");
        const QString footer = QStringLiteral("FOOTER");
        const double imgOurs = milliseconds([&] {
            for (int i = 0; i < images; ++i) {
                const BarcodeResult r = generateBarcode(style, values.at(i), header, footer);
                oursPixels += qint64(r.image.width()) * r.image.height();
                failures += !r.ok();
            }
        });
        long long zintPixels = 0;
        const double imgZint = milliseconds([&] {
            zint_symbol* s = ZBarcode_Create();
            for (int i = 0; i < images; ++i) {
                ZBarcode_Clear(s);
                s->symbology = c.zint;
                s->scale = float(std::lround(kMils / 1000.0 * kDpi)) / 2.0f; // raster X is 2 x scale pixels
                s->show_hrt = 1;
                const QByteArray& v = latin1.at(std::size_t(i));
                if (ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>(v.constData()),
                                               int(v.size()), 0) < ZINT_ERROR)
                    zintPixels += qint64(s->bitmap_width) * s->bitmap_height;
            }
            ZBarcode_Delete(s);
        });
        const double encRatio = encOurs / encZint;
        const double imgRatio = imgOurs / imgZint;
        worstEncode = std::max(worstEncode, encRatio);
        worstImage = std::max(worstImage, imgRatio);
        QString postal;
        if (c.zint == BARCODE_POSTNET || c.zint == BARCODE_PLANET || c.zint == BARCODE_RM4SCC ||
            c.zint == BARCODE_JAPANPOST) {
            BarcodeStyle bare = style;
            bare.show_hide_val = bare.show_hide_hdr = bare.show_hide_ftr = 1;
            const double imgBare = milliseconds([&] {
                for (int i = 0; i < images; ++i)
                    failures += !generateBarcode(bare, values.at(i), header, footer).ok();
            });
            postal = QStringLiteral("   texts hidden %1ms %2")
                         .arg(imgBare, 0, 'f', 1)
                         .arg(imgBare / imgZint, 0, 'f', 2);
        }
        std::printf(
            "%-34s %8.1fms %8.1fms %7.2f   %8.1fms %8.1fms %7.2f   (modules %lld/%lld, pixels %lld/%lld "
            "per image)%s\n",
            qPrintable(BarcodeSymbologies::linearTitles().at(c.ours)), encOurs, encZint, encRatio, imgOurs,
            imgZint, imgRatio, oursModules / valueCount, zintModules / valueCount, oursPixels / images,
            zintPixels / images, qPrintable(postal));
        std::fflush(stdout);
    }
    std::printf(
        "worst ratio: encoding %.2f (goal <= 1.00), image with texts %.2f (goal <= 2.00); %d values or "
        "images failed\n",
        worstEncode, worstImage, failures);
    return failures == 0 ? 0 : 1;
}
