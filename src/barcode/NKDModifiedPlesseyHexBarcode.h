#pragma once

#include "barcode/NKDModifiedPlesseyBarcode.h"

// Modified Plessey with hexadecimal digits A-F.
class NKDModifiedPlesseyHexBarcode : public NKDModifiedPlesseyBarcode {
public:
    QString className() const override { return QStringLiteral("NKDModifiedPlesseyHexBarcode"); }
    QString invalidReason() const override;

protected:
    const Values& values() const override;
};
