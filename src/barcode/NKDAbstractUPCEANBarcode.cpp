#include "barcode/NKDAbstractUPCEANBarcode.h"

#include "barcode/ModuleWriter.h"

namespace {

constexpr const char* kLeftOdd[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                  "0110001", "0101111", "0111011", "0110111", "0001011"};

// The three code sets of the digits, built once and shared.
struct DigitCodes {
    QString left[10];
    QString right[10];
    QString even[10];
    DigitCodes() {
        for (int d = 0; d < 10; ++d) {
            left[d] = QLatin1StringView(kLeftOdd[d]).toString();
            right[d] = NKDAbstractUPCEANBarcode::swapHandedness(left[d]);
            even[d] = NKDAbstractUPCEANBarcode::swapParity(left[d]);
        }
    }
};

using Code = ModuleWriter::Pattern<7>;

// The three codes of each digit as tables: left odd, left even (reversed and inverted), right
// (inverted); entry 10, anything but a digit, is empty.
struct CodeTable {
    Code code[3][11];
};

constexpr CodeTable makeCodes() {
    CodeTable t;
    for (int d = 0; d < 10; ++d) {
        for (int k = 0; k < 7; ++k) {
            const bool bar = kLeftOdd[d][k] == '1';
            t.code[0][d].m[k] = bar ? u'1' : u'0';
            t.code[1][d].m[6 - k] = bar ? u'0' : u'1';
            t.code[2][d].m[k] = bar ? u'0' : u'1';
        }
        t.code[0][d].size = t.code[1][d].size = t.code[2][d].size = 7;
    }
    return t;
}

constexpr CodeTable kCodes = makeCodes();

const DigitCodes& digitCodes() {
    static const DigitCodes codes;
    return codes;
}

int digitOf(QChar c) {
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') ? u - '0' : -1;
}

} // namespace

const QString& NKDAbstractUPCEANBarcode::leftCode(QChar c) {
    static const QString none;
    const int d = digitOf(c);
    return d < 0 ? none : digitCodes().left[d];
}

const QString& NKDAbstractUPCEANBarcode::rightCode(QChar c) {
    static const QString none;
    const int d = digitOf(c);
    return d < 0 ? none : digitCodes().right[d];
}

const QString& NKDAbstractUPCEANBarcode::evenCode(QChar c) {
    static const QString none;
    const int d = digitOf(c);
    return d < 0 ? none : digitCodes().even[d];
}

char16_t* NKDAbstractUPCEANBarcode::putDigit(char16_t* w, DigitCode code, QChar c) {
    const unsigned d = unsigned(c.unicode()) - '0';
    return ModuleWriter::put(w, kCodes.code[code][d <= 9 ? d : 10]);
}

char16_t* NKDAbstractUPCEANBarcode::putCentreGuard(char16_t* w) {
    static constexpr char16_t kGuard[5] = {u'0', u'1', u'0', u'1', u'0'};
    std::memcpy(w, kGuard, sizeof kGuard);
    return w + 5;
}

int NKDAbstractUPCEANBarcode::fixedModuleCount(int dataLength, int modules) const {
    if (m_content.size() == dataLength && m_checkDigit >= '0' && m_checkDigit <= '9' && allDigits(m_content))
        return modules;
    return int(completeBarcode().size());
}

void NKDAbstractUPCEANBarcode::calculateWidth() {
    m_width = m_content.isEmpty() ? 0.0f : moduleCount() * m_barWidth * 1.2f;
}

QString NKDAbstractUPCEANBarcode::_encodeChar(QChar c) const {
    const int d = digitOf(c);
    return d < 0 ? QString() : digitCodes().left[d];
}

QString NKDAbstractUPCEANBarcode::rightCaption() const {
    return m_checkDigit >= 0 ? QString(QChar(m_checkDigit)) : QString();
}

QString NKDAbstractUPCEANBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("The value cannot be encoded.");
}

int NKDAbstractUPCEANBarcode::upcEanCheck(const QString& digits) {
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const ushort u = digits.at(i).unicode();
        if (u < '0' || u > '9')
            return -1;
        sum += (u - '0') * weight;
        weight = 4 - weight;
    }
    return '0' + (10 - sum % 10) % 10;
}

QString NKDAbstractUPCEANBarcode::swapHandedness(const QString& code) {
    QString out(code.size(), QLatin1Char('0'));
    for (qsizetype i = 0; i < code.size(); ++i)
        if (code.at(i) == QLatin1Char('0'))
            out[i] = QLatin1Char('1');
    return out;
}

QString NKDAbstractUPCEANBarcode::swapParity(const QString& code) {
    QString out = swapHandedness(code);
    std::reverse(out.begin(), out.end());
    return out;
}

bool NKDAbstractUPCEANBarcode::allDigits(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

void NKDAbstractUPCEANBarcode::splitGiven(int dataLength) {
    m_content = m_given.left(dataLength);
    m_checkDigit = upcEanCheck(m_content);
    if (m_content.size() != dataLength)
        m_checkDigit = -1;
}

bool NKDAbstractUPCEANBarcode::givenValid(int dataLength) const {
    const qsizetype n = m_given.size();
    if ((n != dataLength && n != dataLength + 1) || !allDigits(m_given))
        return false;
    return n == dataLength || m_given.at(dataLength).unicode() == m_checkDigit;
}

QString NKDAbstractUPCEANBarcode::checkGiven(int dataLength, const QString& name) const {
    if (givenValid(dataLength))
        return QString();
    const QString lengths = QStringLiteral("%1 takes %2 digits, or %3 with its check digit.")
                                .arg(name)
                                .arg(dataLength)
                                .arg(dataLength + 1);
    if (m_given.size() != dataLength && m_given.size() != dataLength + 1)
        return lengths;
    if (!allDigits(m_given))
        return QStringLiteral("%1 takes digits only.").arg(name);
    if (m_given.size() == dataLength + 1 && m_given.at(dataLength).unicode() != m_checkDigit)
        return QStringLiteral("The check digit of this %1 value is wrong: it should be %2.")
            .arg(name, QString(QChar(m_checkDigit)));
    return QString();
}
