// Encodes the same values with our 2-D encoders and with libzint and prints both times and their ratio.
//   bench_barcode_2d [count]   (default 20000 values per symbology)
// The exit status is 1 when any value failed to encode with ours.

#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/QR_Encode.h"
#include "barcode/twod/pdf417lib.h"

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
    return oursFailures == 0 ? 0 : 1;
}
