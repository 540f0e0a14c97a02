#pragma once

#include "barcode/NKDAbstractUPCEANBarcode.h"

// UPC-A: 11 data digits and a check digit (a 12th digit given is verified). 95 modules.
class NKDUPCABarcode : public NKDAbstractUPCEANBarcode {
public:
    QString className() const override { return QStringLiteral("NKDUPCABarcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override { return fixedModuleCount(11, 95); }
    QString caption() const override;
    bool isContentValid() const override { return givenValid(dataLength()); }
    virtual int dataLength() const { return 11; }
    QString invalidReason() const override;
};
