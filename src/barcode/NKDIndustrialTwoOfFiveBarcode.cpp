#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"

QString NKDIndustrialTwoOfFiveBarcode::barcode() const {
    QString digits = asciiContent();
    if (m_checkDigit != -1)
        digits += QChar(m_checkDigit);
    QString out;
    out.reserve(digits.size() * 14);
    for (QChar d : digits)
        for (int e = 0; e < 5; ++e)
            out += _getBarForDigit(d, e) ? QLatin1StringView("10") : QLatin1StringView("1110");
    return out;
}
