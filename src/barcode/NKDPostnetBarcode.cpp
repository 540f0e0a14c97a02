#include "barcode/NKDPostnetBarcode.h"

#include "barcode/ModuleWriter.h"

void NKDPostnetBarcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(content, printsCaption, 1.08f, 9.0f, 6.0f, -1);
    generateChecksum();
    calculateWidth();
}

bool NKDPostnetBarcode::postnetTall(int digit, int bar) {
    // Tall bars (bit 4 = bar 1) of 0-9.
    static const unsigned char kTall[10] = {0x18, 0x03, 0x05, 0x06, 0x09, 0x0A, 0x0C, 0x11, 0x12, 0x14};
    if (digit < 0 || digit > 9 || bar < 1 || bar > 5)
        return false;
    return (kTall[digit] >> (5 - bar)) & 1;
}

QString NKDPostnetBarcode::digitAt(int index) const {
    if (index >= 0 && index < m_content.size())
        return m_content.mid(index, 1);
    if (index == m_content.size() && m_checkDigit >= 0)
        return QString(QChar(m_checkDigit));
    return QString();
}

float NKDPostnetBarcode::_heightForDigit(int digitIndex, int bar) const {
    int u = -1;
    if (digitIndex >= 0 && digitIndex < m_content.size())
        u = m_content.at(digitIndex).unicode();
    else if (digitIndex == m_content.size())
        u = m_checkDigit;
    if (u < '0' || u > '9')
        return 0;
    return postnetTall(u - '0', bar) ? 0.125f : 0.05f;
}

float NKDPostnetBarcode::barTop(int index) const {
    const int modules = 3 + 15 * int(m_content.size() + 1) + 1;
    if (index == 0 || index == modules - 1)
        return 9.0f;
    const int d = (index - 3) / 15;
    const int bar = (index - 3 - 15 * d) / 3 + 1;
    return _heightForDigit(d, bar) * 72.0f;
}

void NKDPostnetBarcode::generateChecksum() {
    int sum = 0;
    for (QChar c : m_content) {
        if (c.unicode() < '0' || c.unicode() > '9') {
            m_checkDigit = -1;
            return;
        }
        sum += c.unicode() - '0';
    }
    m_checkDigit = '0' + (10 - sum % 10) % 10;
}

QString NKDPostnetBarcode::lengthRule() const {
    return QStringLiteral("POSTNET takes 5, 9 or 11 digits.");
}

QString NKDPostnetBarcode::invalidReason() const {
    for (QChar c : m_content)
        if (c.unicode() < '0' || c.unicode() > '9')
            return lengthRule();
    return lengthAllowed(m_content.size()) ? QString() : lengthRule();
}

bool NKDPostnetBarcode::allDigits() const {
    for (QChar c : m_content)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

int NKDPostnetBarcode::moduleCount() const {
    if (!allDigits())
        return patternModuleCount();
    return int(3 + 15 * (m_content.size() + (m_checkDigit != -1 ? 1 : 0)) + 1);
}

void NKDPostnetBarcode::appendBarcode(QString& out) const {
    if (!allDigits()) {
        appendPatterns(out);
        return;
    }
    // Every bar is one module and a two-module space; heights come from barTop().
    static constexpr auto kDigit = ModuleWriter::pattern<15>("100100100100100");
    const qsizetype digits = m_content.size() + (m_checkDigit != -1 ? 1 : 0);
    char16_t* w = ModuleWriter::grow(out, 15 * digits);
    for (qsizetype k = 0; k < digits; ++k)
        w = ModuleWriter::put(w, kDigit);
}
