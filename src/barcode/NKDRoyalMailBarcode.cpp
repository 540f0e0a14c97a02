#include "barcode/NKDRoyalMailBarcode.h"

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// Bars (bit 3 = bar 1) of the six patterns that rows and columns of the character table use.
const int kPattern[7] = {0, 0x3, 0x5, 0x6, 0x9, 0xA, 0xC};

int rowOf(ushort c) {
    const int idx = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'Z') ? c - 'A' + 10 : -1;
    return idx;
}

// Ascender or descender bits (first bar highest) shifted right by one: the weights 4, 2, 1, 0.
int collapse(int descriptor, int bit) {
    int v = 0;
    for (int bar = 0; bar < 4; ++bar)
        v = (v << 1) | ((descriptor >> (4 * (3 - bar) + bit)) & 1);
    return v >> 1;
}

} // namespace

int NKDRoyalMailBarcode::royalmail_characterDescriptor(QChar c) {
    const int idx = rowOf(c.unicode());
    if (idx < 0)
        return 0;
    const int up = kPattern[idx / 6 + 1];
    const int down = kPattern[idx % 6 + 1];
    int d = 0;
    for (int bar = 0; bar < 4; ++bar) {
        const int mask = 8 >> bar;
        const int state = ((up & mask) ? 2 : 0) | ((down & mask) ? 1 : 0);
        d |= state << (4 * (3 - bar));
    }
    return d;
}

void NKDRoyalMailBarcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(asciiUpper(content), printsCaption, 1.4173229f, 14.3149605f, 6.0f, -1);
    generateChecksum();
    calculateWidth();
}

int NKDRoyalMailBarcode::_barDescriptor(int index) const {
    const int n = int(m_content.size());
    if (index <= 0)
        return 2;
    if (index >= 8 * (n + 1) + 2)
        return 3;
    const int k = (index - 2) / 8;
    const int offset = (index - 2) % 8;
    const QChar c = k < n ? m_content.at(k) : QChar(m_checkDigit < 0 ? 0 : m_checkDigit);
    const int d = royalmail_characterDescriptor(c);
    return (d >> (4 * (3 - offset / 2))) & 0xF;
}

float NKDRoyalMailBarcode::barTop(int index) const {
    return float(((_barDescriptor(index) & 2) ? 5.05 : 3.15) * kPointsPerMm);
}

float NKDRoyalMailBarcode::barBottom(int index) const {
    return float(((_barDescriptor(index) & 1) ? 0.0 : 1.9) * kPointsPerMm);
}

float NKDRoyalMailBarcode::fixedBarHeight() const {
    return float(5.05 * kPointsPerMm);
}

void NKDRoyalMailBarcode::generateChecksum() {
    int top = 0;
    int bottom = 0;
    for (QChar c : m_content) {
        const int d = royalmail_characterDescriptor(c);
        top = (top + collapse(d, 1)) % 6;
        bottom = (bottom + collapse(d, 0)) % 6;
    }
    const int row = top - 1 < 0 ? 5 : top - 1;
    const int column = bottom - 1 < 0 ? 5 : bottom - 1;
    const int index = row * 6 + column;
    m_checkDigit = index < 10 ? '0' + index : 'A' + index - 10;
}

QString NKDRoyalMailBarcode::invalidReason() const {
    if (m_content.isEmpty())
        return QStringLiteral("Royal Mail barcodes need at least one character.");
    for (QChar c : m_content)
        if (rowOf(c.unicode()) < 0)
            return QStringLiteral("Royal Mail barcodes take only the digits 0-9 and the letters A-Z.");
    return QString();
}
