#include "barcode/NKDEAN8Barcode.h"

void NKDEAN8Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(content, printsCaption);
    m_given = content;
    splitGiven(7);
    calculateWidth();
}

QString NKDEAN8Barcode::barcode() const {
    if (m_content.size() != 7 || m_checkDigit < 0)
        return QString();
    QString out;
    out.reserve(64);
    for (int i = 0; i < 4; ++i)
        out += leftCode(m_content.at(i));
    out += QLatin1StringView("01010");
    for (int i = 4; i < 7; ++i)
        out += rightCode(m_content.at(i));
    out += rightCode(QChar(m_checkDigit));
    return out;
}

QString NKDEAN8Barcode::caption() const {
    if (m_content.size() != 7)
        return m_content;
    return QStringLiteral(" ") + m_content.left(4) + QLatin1Char('\t') + m_content.mid(4, 3) +
           QChar(m_checkDigit);
}

QString NKDEAN8Barcode::invalidReason() const {
    return checkGiven(7, QStringLiteral("EAN-8"));
}
