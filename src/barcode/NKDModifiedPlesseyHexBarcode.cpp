#include "barcode/NKDModifiedPlesseyHexBarcode.h"

QString NKDModifiedPlesseyHexBarcode::_encodeChar(QChar c) const {
    const ushort u = c.unicode();
    if (u >= 'A' && u <= 'F')
        return bitsFor(u - 'A' + 10);
    return NKDModifiedPlesseyBarcode::_encodeChar(c);
}

QString NKDModifiedPlesseyHexBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("Modified Plessey (Hex) takes digits and A-F only.");
}
