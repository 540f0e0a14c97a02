#include "barcode/NKDEAN13Barcode.h"

#include "barcode/ModuleWriter.h"

void NKDEAN13Barcode::initWithContent(const QString& content, bool printsCaption) {
    // The defaults without content (its width would be worked out before the check digit is known).
    NKDBarcode::initWithContent(QString(), printsCaption);
    m_given = content;
    splitGiven(12);
    calculateWidth();
}

bool NKDEAN13Barcode::_parityForSystemDigit(QChar system, int index) {
    // Even positions (bit 5 = position 1 ... bit 0 = position 6) for first digits 0-9.
    static const unsigned char kEven[10] = {0x00, 0x0B, 0x0D, 0x0E, 0x13, 0x19, 0x1C, 0x15, 0x16, 0x1A};
    const ushort u = system.unicode();
    if (u < '0' || u > '9' || index < 1 || index > 6)
        return false;
    return (kEven[u - '0'] >> (6 - index)) & 1;
}

QString NKDEAN13Barcode::barcode() const {
    QString out;
    NKDEAN13Barcode::appendBarcode(out);
    return out;
}

void NKDEAN13Barcode::appendBarcode(QString& out) const {
    if (m_content.size() != 12 || m_checkDigit < 0)
        return;
    const QChar* c = m_content.constData();
    char16_t* w = ModuleWriter::grow(out, 12 * 7 + 5);
    for (int i = 1; i <= 6; ++i)
        w = putDigit(w, _parityForSystemDigit(c[0], i) ? LeftEven : LeftOdd, c[i]);
    w = putCentreGuard(w);
    for (int i = 7; i < 12; ++i)
        w = putDigit(w, Right, c[i]);
    w = putDigit(w, Right, QChar(m_checkDigit));
    ModuleWriter::finish(out, w);
}

QString NKDEAN13Barcode::caption() const {
    if (m_content.size() != 12)
        return m_content;
    return QStringLiteral("  ") + m_content.mid(1, 6) + QLatin1Char('\t') + m_content.mid(7, 5) +
           QChar(m_checkDigit);
}

QString NKDEAN13Barcode::invalidReason() const {
    return checkGiven(12, QStringLiteral("EAN-13"));
}
