#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"

namespace {
// Wide elements of each digit (bit 4 = element 0).
const unsigned char kWide[10] = {0x06, 0x11, 0x09, 0x18, 0x05, 0x14, 0x0C, 0x03, 0x12, 0x0A};
} // namespace

bool NKDInterleavedTwoOfFiveBarcode::_getBarForDigit(QChar digit, int element) {
    const ushort u = digit.unicode();
    if (u < '0' || u > '9' || element < 0 || element > 4)
        return true;
    return !((kWide[u - '0'] >> (4 - element)) & 1);
}

QString NKDInterleavedTwoOfFiveBarcode::barcode() const {
    QString digits = asciiContent();
    if (m_checkDigit != -1)
        digits += QChar(m_checkDigit);
    if (digits.size() % 2)
        digits.prepend(QLatin1Char('0'));
    QString out;
    out.reserve(digits.size() * 9);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        for (int e = 0; e < 5; ++e) {
            out += _getBarForDigit(digits.at(i), e) ? QLatin1StringView("1") : QLatin1StringView("111");
            out += _getBarForDigit(digits.at(i + 1), e) ? QLatin1StringView("0") : QLatin1StringView("000");
        }
    }
    return out;
}

void NKDInterleavedTwoOfFiveBarcode::generateChecksum() {
    int sum = 0;
    int weight = 3;
    const QString text = asciiContent();
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        sum += (text.at(i).unicode() - '0') * weight;
        weight = 4 - weight;
    }
    m_checkDigit = '0' + (10 - sum % 10) % 10;
}

bool NKDInterleavedTwoOfFiveBarcode::isContentValid() const {
    for (QChar c : m_content)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

QString NKDInterleavedTwoOfFiveBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("This barcode type takes digits only.");
}
