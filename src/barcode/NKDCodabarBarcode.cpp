#include "barcode/NKDCodabarBarcode.h"

namespace {
bool isStartStop(QChar c) {
    return c.unicode() >= 'A' && c.unicode() <= 'D';
}
} // namespace

QString NKDCodabarBarcode::_encodeChar(QChar c) const {
    const char* p = nullptr;
    switch (c.unicode()) {
    case '0':
        p = "101010011";
        break;
    case '1':
        p = "101011001";
        break;
    case '2':
        p = "101001011";
        break;
    case '3':
        p = "110010101";
        break;
    case '4':
        p = "101101001";
        break;
    case '5':
        p = "110101001";
        break;
    case '6':
        p = "100101011";
        break;
    case '7':
        p = "100101101";
        break;
    case '8':
        p = "100110101";
        break;
    case '9':
        p = "110100101";
        break;
    case '-':
        p = "101001101";
        break;
    case '$':
        p = "101100101";
        break;
    case ':':
        p = "1101011011";
        break;
    case '/':
        p = "1101101011";
        break;
    case '.':
        p = "1101101101";
        break;
    case '+':
        p = "1011011011";
        break;
    case 'A':
        p = "1011001001";
        break;
    case 'B':
        p = "1001001011";
        break;
    case 'C':
        p = "1010010011";
        break;
    case 'D':
        p = "1010011001";
        break;
    default:
        return QString();
    }
    return QLatin1StringView(p) + QLatin1Char('0');
}

QString NKDCodabarBarcode::invalidReason() const {
    for (qsizetype i = 0; i < m_content.size(); ++i)
        if (m_content.at(i).unicode() > 127 || _encodeChar(m_content.at(i)).isEmpty())
            return QStringLiteral(
                       "Codabar takes digits, \"-$:/.+\" and the start and stop characters A-D, not %1.")
                .arg(characterName(m_content, i));
    const qsizetype n = m_content.size();
    if (n < 2 || !isStartStop(m_content.at(0)) || !isStartStop(m_content.at(n - 1)))
        return QStringLiteral("Codabar needs a start and a stop character A, B, C or D at both ends.");
    for (qsizetype i = 1; i + 1 < n; ++i)
        if (isStartStop(m_content.at(i)))
            return QStringLiteral("Codabar allows A, B, C and D only as the first and last character.");
    return QString();
}
