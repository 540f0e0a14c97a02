#include "barcode/NKDModifiedPlesseyHexBarcode.h"

int NKDModifiedPlesseyHexBarcode::valueOf(ushort u) const {
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return NKDModifiedPlesseyBarcode::valueOf(u);
}

QString NKDModifiedPlesseyHexBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("Modified Plessey (Hex) takes digits and A-F only.");
}
