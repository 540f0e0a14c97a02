#pragma once

#include "barcode/NKDEAN13Barcode.h"

// EAN-8: 7 data digits and a check digit (an 8th digit given is verified). 67 modules.
class NKDEAN8Barcode : public NKDEAN13Barcode {
public:
    QString className() const override { return QStringLiteral("NKDEAN8Barcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override { return fixedModuleCount(7, 67); }
    QString caption() const override;
    QString invalidReason() const override;
    int dataLength() const override { return 7; }
    int digitsToLeft() const override { return 0; }
    int digitsToRight() const override { return 0; }
};
