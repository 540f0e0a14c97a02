#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"

#include "barcode/ModuleWriter.h"

namespace {
// Wide elements of each digit class (bit 4 = element 0); class 10, anything but a digit, is all narrow.
constexpr unsigned wideOf(int digitClass) {
    return digitClass < 10 ? NKDInterleavedTwoOfFiveBarcode::kWideElements[digitClass] : 0;
}

using Pair = ModuleWriter::Pattern<18>;

// The modules of every pair of digit classes: the first in the bars, the second in the spaces.
struct PairTable {
    Pair pair[11][11];
};

constexpr PairTable makePairs() {
    PairTable t;
    for (int a = 0; a < 11; ++a)
        for (int b = 0; b < 11; ++b) {
            Pair& p = t.pair[a][b];
            for (int e = 4; e >= 0; --e) {
                for (int k = (wideOf(a) >> e) & 1 ? 3 : 1; k > 0; --k)
                    p.m[p.size++] = u'1';
                for (int k = (wideOf(b) >> e) & 1 ? 3 : 1; k > 0; --k)
                    p.m[p.size++] = u'0';
            }
        }
    return t;
}

constexpr PairTable kPairs = makePairs();

int digitClass(unsigned u) {
    return u - '0' <= 9 ? int(u - '0') : 10;
}
} // namespace

bool NKDInterleavedTwoOfFiveBarcode::_getBarForDigit(QChar digit, int element) {
    const ushort u = digit.unicode();
    if (u < '0' || u > '9' || element < 0 || element > 4)
        return true;
    return !((kWideElements[u - '0'] >> (4 - element)) & 1);
}

QString NKDInterleavedTwoOfFiveBarcode::barcode() const {
    QString out;
    NKDInterleavedTwoOfFiveBarcode::appendBarcode(out);
    return out;
}

void NKDInterleavedTwoOfFiveBarcode::appendBarcode(QString& out) const {
    const qsizetype digits = isAscii(m_content) ? m_content.size() : 0;
    const qsizetype given = digits + (m_checkDigit != -1 ? 1 : 0);
    const qsizetype pad = given % 2; // an odd count starts with a "0"
    const qsizetype count = given + pad;
    const QChar* text = m_content.constData();
    // Class of the digit at k: 0-9, or 10 (all narrow) for anything else.
    const auto classOf = [&](qsizetype k) {
        k -= pad;
        return k < 0 ? 0 : k < digits ? digitClass(text[k].unicode()) : digitClass(unsigned(ushort(m_checkDigit)));
    };
    char16_t* w = ModuleWriter::grow(out, count * 9); // eighteen modules a pair at most
    for (qsizetype i = 0; i + 1 < count; i += 2)
        w = ModuleWriter::put(w, kPairs.pair[classOf(i)][classOf(i + 1)]);
    ModuleWriter::finish(out, w);
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
