// Encodes the same values with our 2-D encoders and with libzint and prints both times and their ratio; then
// makes pictures (symbol and pixels at 600 dpi) of label values and of texts with ours and with libzint at the
// same pixels per module, and prints one line per symbology: "picture <symbology> ours/zint <ratio>"; last the
// whole pictures of label values with header and footer: "picture <symbology> with texts ours/zint <ratio>".
//   bench_barcode_2d [count]   (default 20000 values per symbology)
// The exit status is 1 when any value failed to encode with ours.

#include "BenchSupport.h"
#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/QR_Encode.h"
#include "barcode/twod/TwoDImages.h"
#include "barcode/twod/pdf417lib.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <zint.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> makeValues(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> len(20, 300), ch(32, 126);
    std::vector<std::string> v(static_cast<std::size_t>(count));
    for (std::string& s : v) {
        s.resize(static_cast<std::size_t>(len(rng)));
        for (char& c : s)
            c = char(ch(rng));
    }
    return v;
}

double seconds(const std::function<int()>& run, int* failures)
{
    const auto t0 = std::chrono::steady_clock::now();
    *failures = run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int zintRun(const std::vector<std::string>& values, int symbology, int option1, int modeFlags = 0)
{
    int failures = 0;
    zint_symbol* s = ZBarcode_Create();
    for (const std::string& v : values) {
        ZBarcode_Clear(s);
        s->symbology = symbology;
        s->input_mode = DATA_MODE | modeFlags;
        s->option_1 = option1;
        if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(v.data()), int(v.size())) >= ZINT_ERROR)
            ++failures;
    }
    ZBarcode_Delete(s);
    return failures;
}

std::vector<std::string> makeLabels(int count)
{
    std::vector<std::string> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[std::size_t(i)] = "LBL-" + std::to_string(100000 + i) + "-NV";
    return v;
}

// Pictures of every value by ours and by libzint at the same pixels per module; returns ours / zint.
double pictureRatio(const std::vector<std::string>& values, int symbology,
                    const std::function<TwoDResult(const QString&)>& ours,
                    const std::function<double(const TwoDSymbol&)>& pixelsPerModule,
                    const std::function<TwoDSymbol(const QString&)>& symbol, int* failures)
{
    std::vector<QString> texts;
    std::vector<float> scales;
    for (const std::string& v : values) {
        texts.push_back(QString::fromStdString(v));
        const TwoDSymbol s = symbol(texts.back());
        scales.push_back(float(std::max(1.0, s.ok() ? pixelsPerModule(s) : 1.0) / 2.0));
    }
    int failed = 0;
    const double oursTime = seconds(
        [&] {
            int bad = 0;
            for (const QString& t : texts)
                bad += !ours(t).ok();
            return bad;
        },
        &failed);
    *failures = failed;
    int zintFailed = 0;
    const double zintTime = seconds(
        [&] {
            int bad = 0;
            zint_symbol* s = ZBarcode_Create();
            for (std::size_t i = 0; i < values.size(); ++i) {
                ZBarcode_Clear(s);
                s->symbology = symbology;
                s->input_mode = DATA_MODE;
                s->scale = scales[i];
                if (symbology == BARCODE_QRCODE)
                    s->option_1 = 1;
                if (ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>(values[i].data()),
                                               int(values[i].size()), 0) >= ZINT_ERROR)
                    ++bad;
            }
            ZBarcode_Delete(s);
            return bad;
        },
        &zintFailed);
    return oursTime / zintTime;
}

void pictures(const char* name, const std::vector<std::string>& values, int pdfWidth, int pdfHeight, int* failures)
{
    const int dpi = 600;
    QrParams qr;
    qr.dpi = dpi;
    qr.sizePoints = 100;
    Pdf417Params pdf;
    pdf.dpi = dpi;
    pdf.widthPoints = pdfWidth;
    pdf.heightPoints = pdfHeight;
    DataMatrixParams dm;
    dm.dpi = dpi;
    int f = 0;
    double r = pictureRatio(
        values, BARCODE_QRCODE, [&](const QString& v) { return makeQrImage(qr, v); },
        [&](const TwoDSymbol& s) { return double(pixelsFor(qr.sizePoints, dpi) / s.columns); },
        [&](const QString& v) { return makeQrSymbol(qr, v); }, &f);
    std::printf("picture QR Code%s ours/zint %.2f\n", name, r);
    *failures += f;
    r = pictureRatio(
        values, BARCODE_PDF417, [&](const QString& v) { return makePdf417Image(pdf, v); },
        [&](const TwoDSymbol& s) {
            return double(std::min(pixelsFor(pdf.widthPoints, dpi) / s.columns,
                                   pixelsFor(pdf.heightPoints, dpi) / (s.rows * s.rowHeight)));
        },
        [&](const QString& v) { return makePdf417Symbol(pdf, v); }, &f);
    std::printf("picture PDF417%s ours/zint %.2f\n", name, r);
    *failures += f;
    r = pictureRatio(
        values, BARCODE_DATAMATRIX, [&](const QString& v) { return makeDataMatrixImage(dm, v); },
        [&](const TwoDSymbol& s) { return double(pixelsFor(dm.moduleSize, dpi)); },
        [&](const QString& v) { return makeDataMatrixSymbol(dm, v); }, &f);
    std::printf("picture Data Matrix%s ours/zint %.2f\n", name, r);
    *failures += f;
}

// The framed picture generation makes (symbol, margins, header "HEADER" and footer "FOOTER" in the style's
// fonts) against libzint's picture of the same value at the same pixels per module. libzint draws no header,
// footer or human-readable text under a 2-D symbol (show_hrt is set, but it applies to linear symbols only),
// so it is asked for a quiet zone as wide and as high as our margins and text bands: both fill a picture of
// the same pixels. Each side's time is the best of three rounds.
double textsRatio(const std::vector<std::string>& values, int symbologyIndex, int zintSymbology, int* failures)
{
    BarcodeStyle style;
    style.linear_or_2d = 1;
    style.barcode_font_index = symbologyIndex;
    style.qr_size_val = 100;
    style.pdf_wdt_val = 100;
    style.pdf_hgt_val = 20;
    style.dm_module_val = 2;
    style.dpi = 600;
    const QString header = style.header_val, footer = style.footer_val;
    std::vector<QString> texts;
    struct Zint {
        float scale;
        int whitespaceWidth, whitespaceHeight;
    };
    std::vector<Zint> zintSetup;
    for (const std::string& v : values) {
        texts.push_back(QString::fromStdString(v));
        const BarcodeResult r = generateBarcode(style, texts.back(), header, footer);
        const TwoDPicture bare = Generate_2D_Picture(style, texts.back());
        TwoDSymbol sym;
        if (symbologyIndex == BarcodeSymbologies::QRCode)
            sym = makeQrSymbol(qrParamsOf(style), texts.back());
        else if (symbologyIndex == BarcodeSymbologies::PDF417)
            sym = makePdf417Symbol(pdf417ParamsOf(style), texts.back());
        else
            sym = makeDataMatrixSymbol(dataMatrixParamsOf(style), texts.back());
        if (!r.ok() || bare.image.isNull() || !sym.ok()) {
            ++*failures;
            zintSetup.push_back({1, 0, 0});
            continue;
        }
        // The picture's module pixels: the bare picture's width over its modules (QR and Data Matrix
        // stretch theirs), at least one.
        const int module = std::max(1, symbologyIndex == BarcodeSymbologies::PDF417
                                            ? std::min(bare.image.width() / sym.columns,
                                                       bare.image.height() / (sym.rows * sym.rowHeight))
                                            : bare.image.width() / sym.columns);
        const int symbolW = sym.columns * module, symbolH = sym.rows * sym.rowHeight * module;
        zintSetup.push_back({float(module) / 2.0f, std::max(0, (r.image.width() - symbolW) / (2 * module)),
                             std::max(0, (r.image.height() - symbolH) / (2 * module))});
    }
    double ours = 1e300, zint = 1e300;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        int failed = 0;
        for (const QString& v : texts)
            failed += !generateBarcode(style, v, header, footer).ok();
        if (round == 0)
            *failures += failed;
        ours = std::min(ours, t.nsecsElapsed() / 1e9);
        t.restart();
        zint_symbol* s = ZBarcode_Create();
        for (std::size_t i = 0; i < values.size(); ++i) {
            ZBarcode_Clear(s);
            s->symbology = zintSymbology;
            s->input_mode = DATA_MODE;
            s->scale = zintSetup[i].scale;
            s->whitespace_width = zintSetup[i].whitespaceWidth;
            s->whitespace_height = zintSetup[i].whitespaceHeight;
            s->show_hrt = 1;
            if (zintSymbology == BARCODE_QRCODE)
                s->option_1 = 1;
            ZBarcode_Encode_and_Buffer(s, reinterpret_cast<const unsigned char*>(values[i].data()),
                                       int(values[i].size()), 0);
        }
        ZBarcode_Delete(s);
        zint = std::min(zint, t.nsecsElapsed() / 1e9);
    }
    return ours / zint;
}

void report(const char* name, int count, double ours, int oursFailed, double zint, int zintFailed)
{
    std::printf("%-12s %6d values   ours %8.3f s (%6.1f us/value, %d failed)   zint %8.3f s (%6.1f us/value, %d "
                "failed)   ours/zint %.2f\n",
                name, count, ours, ours * 1e6 / count, oursFailed, zint, zint * 1e6 / count, zintFailed,
                ours / zint);
}

} // namespace

int main(int argc, char** argv)
{
    // Header and footer texts are laid out without a screen, as in the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bench::printWithPoint();
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const std::vector<std::string> values = makeValues(count, 2026);

    int of = 0, zf = 0, oursFailures = 0;
    double ours = seconds(
        [&] {
            int failed = 0;
            for (const std::string& v : values) {
                CQR_Encode e;
                if (!e.EncodeData(1, 0, false, -1, reinterpret_cast<const uint8_t*>(v.data()), v.size()))
                    ++failed;
            }
            return failed;
        },
        &of);
    double zint = seconds([&] { return zintRun(values, BARCODE_QRCODE, 2); }, &zf);
    report("QR Code (M)", count, ours, of, zint, zf);
    oursFailures += of;

    ours = seconds(
        [&] {
            int failed = 0;
            for (const std::string& v : values) {
                pdf417::pdf417param p;
                pdf417::pdf417init(p);
                p.text = v;
                p.aspectRatio = 1.0f;
                pdf417::paintCode(p);
                failed += p.error != 0;
            }
            return failed;
        },
        &of);
    zint = seconds([&] { return zintRun(values, BARCODE_PDF417, -1); }, &zf);
    report("PDF417", count, ours, of, zint, zf);
    oursFailures += of;

    ours = seconds(
        [&] {
            int failed = 0;
            for (const std::string& v : values)
                failed += !encodeDataMatrix(QByteArray::fromRawData(v.data(), qsizetype(v.size())), 0, 0);
            return failed;
        },
        &of);
    zint = seconds([&] { return zintRun(values, BARCODE_DATAMATRIX, -1); }, &zf);
    report("Data Matrix", count, ours, of, zint, zf);
    oursFailures += of;
    // zint's fast mode uses the same look-ahead encodation as ours; its default searches for the shortest.
    zint = seconds([&] { return zintRun(values, BARCODE_DATAMATRIX, -1, FAST_MODE); }, &zf);
    report("DM (fast)", count, ours, of, zint, zf);

    // Pictures: label values (PDF417 in a 100 x 20 pt frame), then the texts above (300 x 150 pt).
    const int pictureCount = std::max(1, count / 10);
    int pictureFailures = 0;
    pictures(" (labels)", makeLabels(pictureCount), 100, 20, &pictureFailures);
    pictures("", std::vector<std::string>(values.begin(), values.begin() + pictureCount), 300, 150,
             &pictureFailures);
    const std::vector<std::string> labels = makeLabels(pictureCount);
    const struct {
        const char* name;
        int ours, zint;
    } framed[] = {{"QR Code", BarcodeSymbologies::QRCode, BARCODE_QRCODE},
                  {"PDF417", BarcodeSymbologies::PDF417, BARCODE_PDF417},
                  {"Data Matrix", BarcodeSymbologies::DataMatrix, BARCODE_DATAMATRIX}};
    for (const auto& f : framed)
        std::printf("picture %s with texts ours/zint %.2f\n", f.name,
                    textsRatio(labels, f.ours, f.zint, &pictureFailures));
    if (pictureFailures)
        std::printf("%d pictures failed\n", pictureFailures);
    return oursFailures == 0 ? 0 : 1;
}
