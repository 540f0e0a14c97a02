#include "barcode/NKDUPCABarcode.h"

#include "barcode/ModuleWriter.h"

void NKDUPCABarcode::initWithContent(const QString& content, bool printsCaption) {
    // The defaults without content (its width would be worked out before the check digit is known).
    NKDBarcode::initWithContent(QString(), printsCaption);
    m_given = content;
    splitGiven(11);
    calculateWidth();
}

QString NKDUPCABarcode::barcode() const {
    QString out;
    NKDUPCABarcode::appendBarcode(out);
    return out;
}

void NKDUPCABarcode::appendBarcode(QString& out) const {
    if (m_content.size() != 11 || m_checkDigit < 0)
        return;
    const QChar* c = m_content.constData();
    char16_t* w = ModuleWriter::grow(out, 12 * 7 + 5);
    for (int i = 0; i < 6; ++i)
        w = putDigit(w, LeftOdd, c[i]);
    w = putCentreGuard(w);
    for (int i = 6; i < 11; ++i)
        w = putDigit(w, Right, c[i]);
    w = putDigit(w, Right, QChar(m_checkDigit));
    ModuleWriter::finish(out, w);
}

QString NKDUPCABarcode::caption() const {
    if (m_content.size() != 11)
        return m_content;
    return m_content.mid(1, 5) + QLatin1Char('\t') + m_content.mid(6, 5);
}

QString NKDUPCABarcode::invalidReason() const {
    return checkGiven(11, QStringLiteral("UPC-A"));
}
