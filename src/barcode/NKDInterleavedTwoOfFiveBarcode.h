#pragma once

#include "barcode/NKDBarcode.h"

// Interleaved 2 of 5: digits in pairs, the first of a pair in the bars and the second in the spaces
// (wide elements three modules). An odd count is encoded with a leading "0" that the caption omits.
class NKDInterleavedTwoOfFiveBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDInterleavedTwoOfFiveBarcode"); }
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    // True when element 0-4 of the digit is narrow.
    static bool _getBarForDigit(QChar digit, int element);
    QString initiator() const override { return QStringLiteral("1010"); }
    QString terminator() const override { return QStringLiteral("11101"); }
    // Modulo-10 check digit (not drawn; offered for callers that want one).
    void generateChecksum() override;
    bool isContentValid() const override;
    // Nine modules a digit (two wide elements of three, three narrow), an odd count padded to even.
    int moduleCount() const override;
    QString invalidReason() const override;
};
