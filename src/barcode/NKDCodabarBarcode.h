#pragma once

#include "barcode/NKDBarcode.h"

// Codabar: digits and "-$:/.+", framed by a start and a stop character A-D that the user writes as part
// of the content (and nowhere else). Each character is followed by a one-module gap.
class NKDCodabarBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDCodabarBarcode"); }
    QString _encodeChar(QChar c) const override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }
    void appendBarcode(QString& out) const override { appendPatterns(out); }
    int moduleCount() const override { return patternModuleCount(); }
    QString invalidReason() const override;
};
