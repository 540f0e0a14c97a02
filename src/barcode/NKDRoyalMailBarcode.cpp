#include "barcode/NKDRoyalMailBarcode.h"

#include "barcode/ModuleWriter.h"

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// Bars (bit 3 = bar 1) of the six patterns that rows and columns of the character table use.
constexpr int kPattern[7] = {0, 0x3, 0x5, 0x6, 0x9, 0xA, 0xC};

constexpr int rowOf(ushort c) {
    return (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'Z') ? c - 'A' + 10 : -1;
}

// Per ASCII character (0 for one outside the table):
// - check weights, ascenders in the high nibble and descenders in the low one: a character's ascenders are
//   its row pattern, its descenders its column pattern, each counted with the weights 4, 2, 1, 0 of its bars;
// - bar states, bar 1 in the high nibble: 2 for an ascender, 1 for a descender. Drawing asks for them bar
//   by bar.
struct CharacterTables {
    unsigned char weights[128] = {};
    unsigned short states[128] = {};
};

constexpr CharacterTables makeTables() {
    CharacterTables t;
    for (int c = 0; c < 128; ++c) {
        const int idx = rowOf(ushort(c));
        if (idx < 0)
            continue;
        const int up = kPattern[idx / 6 + 1];
        const int down = kPattern[idx % 6 + 1];
        t.weights[c] = (unsigned char)(((up >> 1) << 4) | (down >> 1));
        for (int bar = 0; bar < 4; ++bar) {
            const int mask = 8 >> bar;
            const int state = ((up & mask) ? 2 : 0) | ((down & mask) ? 1 : 0);
            t.states[c] = (unsigned short)(t.states[c] | (state << (4 * (3 - bar))));
        }
    }
    return t;
}

constexpr CharacterTables kTables = makeTables();

} // namespace

int NKDRoyalMailBarcode::royalmail_characterDescriptor(QChar c) {
    return c.unicode() < 128 ? kTables.states[c.unicode()] : 0;
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
        const int w = c.unicode() < 128 ? kTables.weights[c.unicode()] : 0;
        top += w >> 4;
        bottom += w & 0xF;
    }
    top %= 6;
    bottom %= 6;
    const int row = top - 1 < 0 ? 5 : top - 1;
    const int column = bottom - 1 < 0 ? 5 : bottom - 1;
    const int index = row * 6 + column;
    m_checkDigit = index < 10 ? '0' + index : 'A' + index - 10;
}

int NKDRoyalMailBarcode::moduleCount() const {
    // Start and stop bars, and four bars with their gaps a character and for the check character.
    if (!isAscii(m_content))
        return 3;
    return int(3 + 8 * (m_content.size() + (m_checkDigit != -1 ? 1 : 0)));
}

void NKDRoyalMailBarcode::appendBarcode(QString& out) const {
    if (!isAscii(m_content))
        return;
    const qsizetype modules = 8 * (m_content.size() + (m_checkDigit != -1 ? 1 : 0));
    char16_t* w = ModuleWriter::grow(out, modules);
    for (qsizetype k = 0; k < modules; k += 2) {
        w[k] = u'1';
        w[k + 1] = u'0';
    }
}

QString NKDRoyalMailBarcode::invalidReason() const {
    if (m_content.isEmpty())
        return QStringLiteral("Royal Mail barcodes need at least one character.");
    for (QChar c : m_content)
        if (rowOf(c.unicode()) < 0)
            return QStringLiteral("Royal Mail barcodes take only the digits 0-9 and the letters A-Z.");
    return QString();
}
