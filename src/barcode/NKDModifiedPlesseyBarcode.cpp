#include "barcode/NKDModifiedPlesseyBarcode.h"

#include "barcode/ModuleWriter.h"

#include <array>

#include <QList>

namespace {

// Four bits a value, least significant first, each "1110" one or "1000" zero.
constexpr auto kBits = [] {
    std::array<ModuleWriter::Pattern<16>, 16> t;
    for (int v = 0; v < 16; ++v)
        for (int bit = 0; bit < 4; ++bit) {
            const char16_t one = (v >> bit) & 1 ? u'1' : u'0';
            for (char16_t m : {u'1', one, one, u'0'})
                t[v].m[t[v].size++] = m;
        }
    return t;
}();

} // namespace

QString NKDModifiedPlesseyBarcode::bitsFor(int value) {
    // Made once from the table: handing one out is a reference.
    static const std::array<QString, 16> patterns = [] {
        std::array<QString, 16> all;
        for (int v = 0; v < 16; ++v)
            all[std::size_t(v)] = QString::fromUtf16(kBits[std::size_t(v)].m, kBits[std::size_t(v)].size);
        return all;
    }();
    return value >= 0 && value < 16 ? patterns[std::size_t(value)] : QString();
}

void NKDModifiedPlesseyBarcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(asciiUpper(content), printsCaption);
    generateChecksum();
    calculateWidth();
}

const NKDModifiedPlesseyBarcode::Values& NKDModifiedPlesseyBarcode::values() const {
    static constexpr Values kDigits = valueTable(false);
    return kDigits;
}

QString NKDModifiedPlesseyBarcode::_encodeChar(QChar c) const {
    const int v = valueOf(c.unicode());
    return v < 0 ? QString() : bitsFor(v);
}

bool NKDModifiedPlesseyBarcode::isContentValid() const {
    const Values& t = values();
    for (QChar c : m_content)
        if (c.unicode() > 127 || t.v[c.unicode()] < 0)
            return false;
    return true;
}

int NKDModifiedPlesseyBarcode::moduleCount() const {
    if (!isContentValid())
        return patternModuleCount();
    return int(16 + 19 + 16 * (m_content.size() + (m_checkDigit != -1 ? 1 : 0)));
}

void NKDModifiedPlesseyBarcode::appendBarcode(QString& out) const {
    if (!isContentValid()) {
        appendPatterns(out);
        return;
    }
    char16_t* w = ModuleWriter::grow(out, 16 * (m_content.size() + (m_checkDigit != -1 ? 1 : 0)));
    const Values& t = values();
    for (QChar c : m_content)
        w = ModuleWriter::put(w, kBits[t.v[c.unicode()]]);
    if (m_checkDigit != -1) {
        const int v = valueOf(ushort(m_checkDigit));
        w = ModuleWriter::put(w, kBits[v < 0 ? 15 : v]); // no value: all bits set
    }
}

void NKDModifiedPlesseyBarcode::generateChecksum() {
    // The picked characters (rightmost and every second one going left) form a decimal number that is
    // doubled and its digits summed; summing the digit sums of each doubled digit gives the same result
    // without ever holding the number, so any length works.
    const QString text = asciiContent();
    const qsizetype n = text.size();
    int s = 0;
    bool leading = true;
    for (qsizetype i = n - 1; i >= 0; i -= 2) {
        const ushort u = text.at(i).unicode();
        if (u < '0' || u > '9')
            leading = false; // the number ends at the first character that is not a digit
        if (!leading)
            continue;
        const int twice = 2 * (u - '0');
        s += twice / 10 + twice % 10;
    }
    for (qsizetype i = n - 2; i >= 0; i -= 2)
        s += text.at(i).unicode() - '0';
    s = ((s % 10) + 10) % 10;
    m_checkDigit = s == 0 ? '0' : '0' + (10 - s);
}

QString NKDModifiedPlesseyBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("Modified Plessey takes digits only.");
}
