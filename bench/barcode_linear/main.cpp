// Encoding speed of our linear encoders against libzint on the same values (EAN-13, Code 128 automatic,
// Code 39), then the time to render one Code 128 image at 300 dpi.

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>
#include <zint.h>

namespace {

constexpr int kValues = 100000;
constexpr int kImages = 10000;

struct Case {
    const char* name;
    int ours;
    int zint;
    QStringList values;
};

QStringList makeValues(int kind) {
    std::mt19937 rng(7 + kind);
    const char* alphabet = kind == 0   ? "0123456789"
                           : kind == 1 ? nullptr
                                       : "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    QStringList out;
    out.reserve(kValues);
    for (int i = 0; i < kValues; ++i) {
        QString v;
        const int length = kind == 0 ? 12 : 6 + int(rng() % 15);
        for (int k = 0; k < length; ++k) {
            if (alphabet)
                v += QChar(alphabet[rng() % std::strlen(alphabet)]);
            else
                v += QChar(32 + int(rng() % 95));
        }
        out << v;
    }
    return out;
}

// Modules of all symbols, so neither side's work can be optimised away.
long long encodeOurs(const Case& c) {
    long long modules = 0;
    for (const QString& v : c.values) {
        auto b = BarcodeSymbologies::createLinearBarcode(c.ours);
        b->initWithContent(v, true);
        if (b->isContentValid())
            modules += b->completeBarcode().size();
    }
    return modules;
}

long long encodeZint(const Case& c, const std::vector<QByteArray>& latin1) {
    long long modules = 0;
    for (const QByteArray& v : latin1) {
        zint_symbol* s = ZBarcode_Create();
        s->symbology = c.zint;
        if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(v.constData()), int(v.size())) <
            ZINT_ERROR)
            modules += s->width;
        ZBarcode_Delete(s);
    }
    return modules;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    std::vector<Case> cases = {
        {"EAN-13", BarcodeSymbologies::EAN13, BARCODE_EANX, makeValues(0)},
        {"Code 128 auto", BarcodeSymbologies::Code128, BARCODE_CODE128, makeValues(1)},
        {"Code 39", BarcodeSymbologies::Code39, BARCODE_CODE39, makeValues(2)},
    };
    std::printf("Encoding %d values per symbology\n", kValues);
    std::printf("%-15s %12s %12s %8s\n", "symbology", "ours (ms)", "zint (ms)", "ratio");
    double oursTotal = 0;
    double zintTotal = 0;
    for (const Case& c : cases) {
        std::vector<QByteArray> latin1;
        latin1.reserve(c.values.size());
        for (const QString& v : c.values)
            latin1.push_back(v.toLatin1());
        QElapsedTimer t;
        t.start();
        const long long a = encodeOurs(c);
        const double ours = t.nsecsElapsed() / 1e6;
        t.restart();
        const long long b = encodeZint(c, latin1);
        const double zint = t.nsecsElapsed() / 1e6;
        oursTotal += ours;
        zintTotal += zint;
        std::printf("%-15s %12.1f %12.1f %8.2f   (modules %lld / %lld)\n", c.name, ours, zint, ours / zint, a,
                    b);
    }
    std::printf("%-15s %12.1f %12.1f %8.2f\n", "all", oursTotal, zintTotal, oursTotal / zintTotal);

    BarcodeStyle style;
    style.barcode_font_index = BarcodeSymbologies::Code128;
    style.dpi = 300;
    std::vector<double> times;
    times.reserve(kImages);
    QElapsedTimer t;
    long long pixels = 0;
    for (int i = 0; i < kImages; ++i) {
        const QString value = cases[1].values.at(i);
        t.start();
        const BarcodeResult r =
            generateBarcode(style, value, QStringLiteral("HEADER"), QStringLiteral("FOOTER"));
        times.push_back(t.nsecsElapsed() / 1e6);
        pixels += qint64(r.image.width()) * r.image.height();
    }
    std::sort(times.begin(), times.end());
    std::printf("Code 128 images at 300 dpi: %d rendered, median %.3f ms per image (mean %lld pixels)\n",
                kImages, times[times.size() / 2], pixels / kImages);
    return 0;
}
