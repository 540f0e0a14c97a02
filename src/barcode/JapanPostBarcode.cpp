#include "barcode/JapanPostBarcode.h"

#include <algorithm>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr int L = 3, U = 2, D = 1, T = 0;

int pack(int a, int b, int c) {
    return (a << 8) | (b << 4) | c;
}

// Check values of the units '-' to '?' ("-" 10, control codes ':' to '?' 11-16, '.' 17, '/' 18).
constexpr signed char kUnitValue[19] = {10, 17, 18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16};

int unitValue(char16_t u) {
    const unsigned idx = unsigned(u) - '-';
    return idx < 19 ? kUnitValue[idx] : -1;
}

} // namespace

int JapanPostBarcode::japanpost_characterDescriptor(QChar c) {
    static const int kCodes[19] = {
        pack(T, L, T), // -
        pack(T, T, L), // . control code 7
        pack(L, L, L), // / control code 8
        pack(L, T, T), // 0
        pack(L, L, T), // 1
        pack(L, D, U), // 2
        pack(D, L, U), // 3
        pack(L, U, D), // 4
        pack(L, T, L), // 5
        pack(D, U, L), // 6
        pack(U, L, D), // 7
        pack(U, D, L), // 8
        pack(T, L, L), // 9
        pack(D, U, T), // : control code 1
        pack(D, T, U), // ; control code 2
        pack(U, D, T), // < control code 3
        pack(T, D, U), // = control code 4
        pack(U, T, D), // > control code 5
        pack(T, U, D), // ? control code 6
    };
    const int idx = int(c.unicode()) - '-';
    return (idx >= 0 && idx < 19) ? kCodes[idx] : 0;
}

void JapanPostBarcode::initWithContent(const QString& content, bool printsCaption, float, float height, float,
                                       int) {
    m_printsCaption = printsCaption;
    setContent(content);
    setSymbolSize(height >= 8.0f && height <= 11.5f ? height : 10.0f);
}

void JapanPostBarcode::setContent(const QString& given) {
    // Units are written in place: at most two a character, and the padding up to 20.
    const qsizetype n = given.size();
    QString units(std::max<qsizetype>(2 * n, kUnits), Qt::Uninitialized);
    char16_t* const first = reinterpret_cast<char16_t*>(units.data());
    char16_t* u = first;
    const char16_t* in = reinterpret_cast<const char16_t*>(given.constData());
    bool lower = false;
    m_rejected.clear();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = in[i];
        if (c >= 'a' && c <= 'z') {
            c = char16_t(c - 'a' + 'A');
            lower = true;
        }
        if ((c >= '0' && c <= '9') || c == '-') {
            *u++ = c;
        } else if (c >= 'A' && c <= 'Z') {
            // A-J, K-T and U-Z: control code 1, 2 or 3 and a digit.
            const int letter = c - 'A';
            *u++ = char16_t(':' + letter / 10);
            *u++ = char16_t('0' + letter % 10);
        } else if (m_rejected.isEmpty()) {
            // Upper-casing changes no character that is refused, nor its neighbours' surrogate pairing.
            m_rejected = QStringLiteral("Japan Post barcodes take only digits, letters A-Z and \"-\" "
                                        "(%1 cannot be encoded).")
                             .arg(characterName(given, i));
        }
    }
    const qsizetype count = u - first;
    if (count > kUnits && m_rejected.isEmpty())
        m_rejected = QStringLiteral("This address needs %1 units; a Japan Post barcode holds at most %2 "
                                    "(a letter takes two).")
                         .arg(count)
                         .arg(kUnits);
    while (u < first + kUnits)
        *u++ = '=';
    units.truncate(u - first);
    m_units = std::move(units);
    m_content = m_rejected.isEmpty() && lower ? asciiUpper(given) : given;
    generateChecksum();
    calculateWidth();
}

void JapanPostBarcode::setSymbolSize(float size) {
    m_size = std::clamp(size, kMinSize, kMaxSize);
    m_barWidth = m_size / 6.0f;
    calculateWidth();
}

void JapanPostBarcode::setBarWidth(float barWidth) {
    setSymbolSize(barWidth * 6.0f);
}

QString JapanPostBarcode::barcode() const {
    QString out;
    JapanPostBarcode::appendBarcode(out);
    return out;
}

void JapanPostBarcode::appendBarcode(QString& out) const {
    // Every unit is three bars, each one module with a one-module space; heights come from the units.
    const qsizetype start = out.size();
    const qsizetype bars = 3 * (m_units.size() + (m_checkDigit >= 0 ? 1 : 0));
    out.resize(start + 2 * bars);
    QChar* w = out.data() + start;
    for (qsizetype k = 0; k < bars; ++k) {
        *w++ = QLatin1Char('1');
        *w++ = QLatin1Char('0');
    }
}

void JapanPostBarcode::calculateWidth() {
    m_width = moduleCount() * m_barWidth;
}

void JapanPostBarcode::generateChecksum() {
    if (!m_rejected.isEmpty() || m_units.size() != kUnits) {
        m_checkDigit = -1;
        return;
    }
    int sum = 0;
    for (QChar c : m_units)
        sum += unitValue(c.unicode());
    const int v = 19 - sum % 19;
    static const char kChecks[] = "0123456789-:;<=>?./0";
    m_checkDigit = kChecks[v];
}

QString JapanPostBarcode::invalidReason() const {
    if (!m_rejected.isEmpty())
        return m_rejected;
    if (m_content.size() < 7)
        return QStringLiteral("A Japan Post barcode starts with the seven-digit postcode.");
    for (int i = 0; i < 7; ++i)
        if (m_content.at(i).unicode() < '0' || m_content.at(i).unicode() > '9')
            return QStringLiteral("A Japan Post barcode starts with the seven-digit postcode.");
    return QString();
}

int JapanPostBarcode::_barDescriptor(int index) const {
    const auto group = [](int descriptor, int bar, int bars) {
        return (descriptor >> (4 * (bars - 1 - bar))) & 0xF;
    };
    if (index < 4)
        return group(0x31, index / 2, 2);
    if (index < 4 + 21 * 6) {
        const int k = (index - 4) / 6;
        const QChar unit =
            k < kUnits && k < m_units.size() ? m_units.at(k) : QChar(m_checkDigit < 0 ? 0 : m_checkDigit);
        return group(japanpost_characterDescriptor(unit), ((index - 4) % 6) / 2, 3);
    }
    return group(0x13, ((index - 130) % 3) / 2, 2);
}

float JapanPostBarcode::barTop(int index) const {
    return float(((_barDescriptor(index) & 2) ? 3.6 : 2.4) * m_size / 10.0 * kPointsPerMm);
}

float JapanPostBarcode::barBottom(int index) const {
    return float(((_barDescriptor(index) & 1) ? 0.0 : 1.2) * m_size / 10.0 * kPointsPerMm);
}

float JapanPostBarcode::fixedBarHeight() const {
    return float(3.6 * m_size / 10.0 * kPointsPerMm);
}
