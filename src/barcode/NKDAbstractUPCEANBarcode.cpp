#include "barcode/NKDAbstractUPCEANBarcode.h"

namespace {
const char* const kLeftOdd[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                  "0110001", "0101111", "0111011", "0110111", "0001011"};
}

void NKDAbstractUPCEANBarcode::calculateWidth()
{
    m_width = m_content.isEmpty() ? 0.0f : completeBarcode().size() * m_barWidth * 1.2f;
}

QString NKDAbstractUPCEANBarcode::_encodeChar(QChar c) const
{
    const ushort u = c.unicode();
    if (u < '0' || u > '9')
        return QString();
    return QLatin1StringView(kLeftOdd[u - '0']).toString();
}

QString NKDAbstractUPCEANBarcode::rightCaption() const
{
    return m_checkDigit >= 0 ? QString(QChar(m_checkDigit)) : QString();
}

QString NKDAbstractUPCEANBarcode::invalidReason() const
{
    return isContentValid() ? QString() : QStringLiteral("The value cannot be encoded.");
}

int NKDAbstractUPCEANBarcode::upcEanCheck(const QString& digits)
{
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

QString NKDAbstractUPCEANBarcode::swapHandedness(const QString& code)
{
    QString out(code.size(), QLatin1Char('0'));
    for (qsizetype i = 0; i < code.size(); ++i)
        if (code.at(i) == QLatin1Char('0'))
            out[i] = QLatin1Char('1');
    return out;
}

QString NKDAbstractUPCEANBarcode::swapParity(const QString& code)
{
    QString out = swapHandedness(code);
    std::reverse(out.begin(), out.end());
    return out;
}

bool NKDAbstractUPCEANBarcode::allDigits(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

void NKDAbstractUPCEANBarcode::splitGiven(int dataLength)
{
    m_content = m_given.left(dataLength);
    m_checkDigit = upcEanCheck(m_content);
    if (m_content.size() != dataLength)
        m_checkDigit = -1;
}

QString NKDAbstractUPCEANBarcode::checkGiven(int dataLength, const QString& name) const
{
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
