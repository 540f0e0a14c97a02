#include "barcode/NKDCode39Barcode.h"

#include "barcode/ModuleWriter.h"

namespace {

constexpr char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
// Widths of bar, space, bar, ... (9 elements), "1" wide.
constexpr const char* kWide[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010", "010010100"};

// Each character's index in kChars (-1 for none) and its modules with their gap.
struct Code39Tables {
    signed char index[128] = {};
    ModuleWriter::AsciiTable<13> modules;
};

constexpr Code39Tables makeTables() {
    Code39Tables t;
    for (signed char& i : t.index)
        i = -1;
    for (int i = 0; i < 44; ++i) {
        t.index[int(kChars[i])] = (signed char)i;
        auto& p = t.modules.c[int(kChars[i])];
        for (int e = 0; e < 9; ++e) {
            const char16_t m = (e % 2 == 0) ? u'1' : u'0';
            p.m[p.size++] = m;
            if (kWide[i][e] == '1')
                p.m[p.size++] = m;
        }
        p.m[p.size++] = u'0';
    }
    return t;
}

constexpr Code39Tables kTables = makeTables();
constexpr const ModuleWriter::AsciiTable<13>& kModules = kTables.modules;

int indexOf(ushort c) {
    return c < 128 ? kTables.index[c] : -1;
}

} // namespace

QString NKDCode39Barcode::code39Pattern(QChar c) {
    if (indexOf(c.unicode()) < 0)
        return QString();
    const auto& p = kModules.c[c.unicode()];
    return QString::fromUtf16(p.m, p.size);
}

void NKDCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(asciiUpper(content), printsCaption);
}

QString NKDCode39Barcode::_encodeChar(QChar c) const {
    return code39Pattern(c);
}

bool NKDCode39Barcode::isContentValid() const {
    for (QChar c : m_content)
        if (c.unicode() > 127 || c.unicode() == '*' || kModules.c[c.unicode()].size == 0)
            return false;
    return true;
}

void NKDCode39Barcode::appendBarcode(QString& out) const {
    ModuleWriter::appendAscii(out, kModules, m_content, m_checkDigit);
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
        if (c.unicode() > 127 || kModules.c[c.unicode()].size == 0)
            return NKDBarcode::moduleCount();
    return int(m_content.size() + 2) * 13;
}
