#include "barcode/NKDEAN8Barcode.h"

#include "barcode/ModuleWriter.h"

void NKDEAN8Barcode::initWithContent(const QString& content, bool printsCaption) {
    // The defaults without content (its width would be worked out before the check digit is known).
    NKDBarcode::initWithContent(QString(), printsCaption);
    m_given = content;
    splitGiven(7);
    calculateWidth();
}

QString NKDEAN8Barcode::barcode() const {
    QString out;
    NKDEAN8Barcode::appendBarcode(out);
    return out;
}

void NKDEAN8Barcode::appendBarcode(QString& out) const {
    if (m_content.size() != 7 || m_checkDigit < 0)
        return;
    const QChar* c = m_content.constData();
    char16_t* w = ModuleWriter::grow(out, 8 * 7 + 5);
    for (int i = 0; i < 4; ++i)
        w = putDigit(w, LeftOdd, c[i]);
    w = putCentreGuard(w);
    for (int i = 4; i < 7; ++i)
        w = putDigit(w, Right, c[i]);
    w = putDigit(w, Right, QChar(m_checkDigit));
    ModuleWriter::finish(out, w);
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
