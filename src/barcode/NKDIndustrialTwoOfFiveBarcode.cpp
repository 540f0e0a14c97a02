#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"

#include "barcode/ModuleWriter.h"

namespace {

using Digit = ModuleWriter::Pattern<14>;

// Every digit's five bars, each with its gap; entry 10, anything but a digit, is all narrow.
struct DigitTable {
    Digit digit[11];
};

constexpr DigitTable makeDigits() {
    DigitTable t;
    for (int d = 0; d < 11; ++d) {
        Digit& p = t.digit[d];
        for (int e = 0; e < 5; ++e) {
            p.m[p.size++] = u'1';
            if (d < 10 && (NKDInterleavedTwoOfFiveBarcode::kWideElements[d] >> (4 - e)) & 1) {
                p.m[p.size++] = u'1';
                p.m[p.size++] = u'1';
            }
            p.m[p.size++] = u'0';
        }
    }
    return t;
}

} // namespace

QString NKDIndustrialTwoOfFiveBarcode::barcode() const {
    QString out;
    NKDIndustrialTwoOfFiveBarcode::appendBarcode(out);
    return out;
}

void NKDIndustrialTwoOfFiveBarcode::appendBarcode(QString& out) const {
    static constexpr DigitTable kDigits = makeDigits();
    const auto classOf = [](unsigned u) { return u - '0' <= 9 ? int(u - '0') : 10; };
    const qsizetype digits = isAscii(m_content) ? m_content.size() : 0;
    const qsizetype n = digits + (m_checkDigit != -1 ? 1 : 0);
    char16_t* w = ModuleWriter::grow(out, n * 14);
    const QChar* text = m_content.constData();
    for (qsizetype k = 0; k < digits; ++k)
        w = ModuleWriter::put(w, kDigits.digit[classOf(text[k].unicode())]);
    if (m_checkDigit != -1)
        w = ModuleWriter::put(w, kDigits.digit[classOf(unsigned(ushort(m_checkDigit)))]);
    ModuleWriter::finish(out, w);
}
