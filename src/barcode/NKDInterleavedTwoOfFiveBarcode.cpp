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
    QString out;
    NKDInterleavedTwoOfFiveBarcode::appendBarcode(out);
    return out;
}

void NKDInterleavedTwoOfFiveBarcode::appendBarcode(QString& out) const {
    const QString text = asciiContent();
    const qsizetype given = text.size() + (m_checkDigit != -1 ? 1 : 0);
    const qsizetype pad = given % 2; // an odd count starts with a "0"
    const qsizetype count = given + pad;
    // Wide elements of the digit at k (bit 4 = element 0); anything but a digit is all narrow.
    const auto wideOf = [&](qsizetype k) -> unsigned {
        k -= pad;
        const ushort u = k < 0 ? '0' : k < text.size() ? text.at(k).unicode() : ushort(m_checkDigit);
        return u >= '0' && u <= '9' ? kWide[u - '0'] : 0;
    };
    const qsizetype start = out.size();
    out.resize(start + count * 15); // at most three modules for each of ten elements a pair
    QChar* w = out.data() + start;
    for (qsizetype i = 0; i + 1 < count; i += 2) {
        const unsigned first = wideOf(i);
        const unsigned second = wideOf(i + 1);
        for (int e = 4; e >= 0; --e) {
            const int bar = (first >> e) & 1 ? 3 : 1;
            const int space = (second >> e) & 1 ? 3 : 1;
            for (int k = 0; k < bar; ++k)
                *w++ = QLatin1Char('1');
            for (int k = 0; k < space; ++k)
                *w++ = QLatin1Char('0');
        }
    }
    out.truncate(w - out.constData());
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

int NKDInterleavedTwoOfFiveBarcode::moduleCount() const {
    if (!isContentValid())
        return NKDBarcode::moduleCount();
    qsizetype digits = isAscii(m_content) ? m_content.size() + (m_checkDigit != -1 ? 1 : 0) : 0;
    digits += digits % 2;
    return int(initiator().size() + terminator().size() + 9 * digits);
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
