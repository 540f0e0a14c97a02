#include "barcode/NKDModifiedPlesseyHexBarcode.h"

const NKDModifiedPlesseyBarcode::Values& NKDModifiedPlesseyHexBarcode::values() const {
    static constexpr Values kHex = valueTable(true);
    return kHex;
}

QString NKDModifiedPlesseyHexBarcode::invalidReason() const {
    return isContentValid() ? QString() : QStringLiteral("Modified Plessey (Hex) takes digits and A-F only.");
}
