// Makes linear barcode images from arbitrary styles and texts. The first bytes choose the symbology, the
// flags, the resolution, the font sizes, the margins and the colours; the rest is value, header and footer
// (UTF-8, split at newlines). Each image is made twice, so the second draws from the kept text lines.

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeSymbologies.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

// Fontconfig keeps what it found for Qt's fallback fonts out of the leak checker's sight.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need a GUI application
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8)
        return 0;
    BarcodeStyle s;
    s.barcode_font_index = data[0] % BarcodeSymbologies::LinearCount;
    const uint8_t flags = data[1];
    s.show_hide_val = flags & 1;
    s.show_hide_hdr = (flags >> 1) & 1;
    s.show_hide_ftr = (flags >> 2) & 1;
    s.show_val_on_top = (flags >> 3) & 1;
    s.kerning_value = (flags >> 4) & 1;
    s.align_hdr_index = (flags >> 5) % 3;
    s.align_ftr_index = (flags >> 6) % 3;
    s.dpi = 24 + data[2] * 2; // 24 to 534 dpi
    s.value_font_val.setPointSizeF(1 + data[3] % 48);
    s.header_font_val.setPointSizeF(1 + data[4] % 48);
    s.footer_font_val.setPointSizeF(1 + (data[4] >> 2) % 48);
    s.LR_margin_val = float(data[5] % 16) / 8;
    s.TB_marging_val = float(data[5] / 16) / 8;
    s.hdr_margin_val = s.ftr_margin_val = s.val_margin_val = float(data[6] % 8) / 16;
    s.linear_width_val = float(1 + data[6] / 8);
    if (data[7] & 1) // texts in another colour: a 32-bit image
        s.barcode_val_clr_val = QColor(200, 0, 0);
    if (data[7] & 2) // translucent: the painter
        s.barcode_back_clr_val = QColor(255, 255, 255, 128);
    const QStringList parts =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 8), qsizetype(size - 8)).split(QLatin1Char('\n'));
    for (int pass = 0; pass < 2; ++pass)
        (void)generateBarcode(s, parts.value(0), parts.value(1), parts.value(2));
    return 0;
}
