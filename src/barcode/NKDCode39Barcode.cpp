#include "barcode/NKDCode39Barcode.h"

#include <algorithm>
#include <iterator>

namespace {

const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
// Widths of bar, space, bar, ... (9 elements), "1" wide.
const char* const kWide[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010", "010010100"};

struct Code39Table {
    signed char index[128];
    QString pattern[44];
    Code39Table() {
        std::fill(std::begin(index), std::end(index), -1);
        for (int i = 0; i < 44; ++i) {
            index[int(kChars[i])] = char(i);
            QString out;
            for (int e = 0; e < 9; ++e) {
                const QChar m = (e % 2 == 0) ? QLatin1Char('1') : QLatin1Char('0');
                out += m;
                if (kWide[i][e] == '1')
                    out += m;
            }
            out += QLatin1Char('0');
            pattern[i] = out;
        }
    }
};

const Code39Table& table() {
    static const Code39Table t;
    return t;
}

int indexOf(ushort c) {
    return c < 128 ? table().index[c] : -1;
}

} // namespace

QString NKDCode39Barcode::code39Pattern(QChar c) {
    const int idx = indexOf(c.unicode());
    return idx < 0 ? QString() : table().pattern[idx];
}

void NKDCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(asciiUpper(content), printsCaption);
}

QString NKDCode39Barcode::_encodeChar(QChar c) const {
    return code39Pattern(c);
}

bool NKDCode39Barcode::isContentValid() const {
    return !m_content.contains(QLatin1Char('*')) && NKDBarcode::isContentValid();
}

QString NKDCode39Barcode::invalidReason() const {
    if (m_content.contains(QLatin1Char('*')))
        return QStringLiteral("Code 39 cannot encode \"*\" (it is the start and stop character).");
    return NKDBarcode::invalidReason();
}

void NKDCode39Barcode::generateChecksum() {
    int sum = 0;
    for (QChar c : asciiContent()) {
        const int idx = indexOf(c.unicode());
        if (idx < 0 || idx >= 43)
            return;
        sum += idx;
    }
    m_checkDigit = kChars[sum % 43];
}

int NKDCode39Barcode::moduleCount() const {
    for (QChar c : m_content)
        if (indexOf(c.unicode()) < 0)
            return NKDBarcode::moduleCount();
    return int(m_content.size() + 2) * 13;
}
