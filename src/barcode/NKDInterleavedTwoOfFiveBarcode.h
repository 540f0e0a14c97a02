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
    // Wide elements of each digit (bit 4 = element 0).
    static constexpr unsigned char kWideElements[10] = {0x06, 0x11, 0x09, 0x18, 0x05,
                                                        0x14, 0x0C, 0x03, 0x12, 0x0A};
    QString initiator() const override { return QStringLiteral("1010"); }
    QString terminator() const override { return QStringLiteral("11101"); }
    // Modulo-10 check digit (not drawn; offered for callers that want one).
    void generateChecksum() override;
    bool isContentValid() const override;
    // Nine modules a digit (two wide elements of three, three narrow), an odd count padded to even.
    int moduleCount() const override;
    QString invalidReason() const override;
};
