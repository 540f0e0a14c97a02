#pragma once

#include "barcode/NKDAbstractUPCEANBarcode.h"

// EAN-13: 12 data digits and a check digit (a 13th digit given is verified). 95 modules.
class NKDEAN13Barcode : public NKDAbstractUPCEANBarcode {
public:
    QString className() const override { return QStringLiteral("NKDEAN13Barcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override { return fixedModuleCount(12, 95); }
    // True when data digit `index` (1-6, digits 2-7) takes the even code for this first digit.
    static bool _parityForSystemDigit(QChar system, int index);
    int digitsToRight() const override { return 0; }
    QString rightCaption() const override { return QString(); }
    QString caption() const override;
    bool isContentValid() const override { return givenValid(dataLength()); }
    virtual int dataLength() const { return 12; }
    QString invalidReason() const override;
};
