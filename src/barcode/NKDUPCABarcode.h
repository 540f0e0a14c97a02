#pragma once

#include "barcode/NKDAbstractUPCEANBarcode.h"

// UPC-A: 11 data digits and a check digit (a 12th digit given is verified). 95 modules.
class NKDUPCABarcode : public NKDAbstractUPCEANBarcode {
public:
    QString className() const override { return QStringLiteral("NKDUPCABarcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString barcode() const override;
    QString caption() const override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }
    QString invalidReason() const override;
};
