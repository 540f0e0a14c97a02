#pragma once

#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"

// Industrial 2 of 5: every digit in five bars (wide three modules) each followed by a narrow space,
// between its own start and stop patterns.
class NKDIndustrialTwoOfFiveBarcode : public NKDInterleavedTwoOfFiveBarcode {
public:
    QString className() const override { return QStringLiteral("NKDIndustrialTwoOfFiveBarcode"); }
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    QString initiator() const override { return QStringLiteral("1110111010"); }
    QString terminator() const override { return QStringLiteral("111010111"); }
    // Fourteen modules a digit: two wide bars of three and three narrow ones, each with its gap.
    int moduleCount() const override {
        if (!isContentValid())
            return NKDBarcode::moduleCount();
        const qsizetype digits = isAscii(m_content) ? m_content.size() + (m_checkDigit != -1 ? 1 : 0) : 0;
        return int(initiator().size() + terminator().size() + 14 * digits);
    }
};
