#include "barcode/JapanPostBarcode.h"

#include <algorithm>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr int L = 3, U = 2, D = 1, T = 0;

int pack(int a, int b, int c) {
    return (a << 8) | (b << 4) | c;
}

int unitValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    switch (u) {
    case '-':
        return 10;
    case ':':
        return 11;
    case ';':
        return 12;
    case '<':
        return 13;
    case '=':
        return 14;
    case '>':
        return 15;
    case '?':
        return 16;
    case '.':
        return 17;
    case '/':
        return 18;
    default:
        return -1;
    }
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
    const QString text = asciiUpper(given);
    QString units;
    QString visible;
    units.reserve(2 * text.size() + kUnits);
    visible.reserve(text.size());
    m_rejected.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const ushort c = ch.unicode();
        if ((c >= '0' && c <= '9') || c == '-') {
            units += ch;
            visible += ch;
        } else if (c >= 'A' && c <= 'J') {
            units += QLatin1Char(':') + QChar('0' + (c - 'A'));
            visible += ch;
        } else if (c >= 'K' && c <= 'T') {
            units += QLatin1Char(';') + QChar('0' + (c - 'K'));
            visible += ch;
        } else if (c >= 'U' && c <= 'Z') {
            units += QLatin1Char('<') + QChar('0' + (c - 'U'));
            visible += ch;
        } else if (m_rejected.isEmpty()) {
            m_rejected = QStringLiteral("Japan Post barcodes take only digits, letters A-Z and \"-\" "
                                        "(%1 cannot be encoded).")
                             .arg(characterName(text, i));
        }
    }
    if (units.size() > kUnits && m_rejected.isEmpty())
        m_rejected = QStringLiteral("This address needs %1 units; a Japan Post barcode holds at most %2 "
                                    "(a letter takes two).")
                         .arg(units.size())
                         .arg(kUnits);
    if (units.size() < kUnits)
        units += QString(kUnits - units.size(), QLatin1Char('='));
    m_units = units;
    m_content = m_rejected.isEmpty() ? visible : given;
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
        sum += unitValue(c);
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
