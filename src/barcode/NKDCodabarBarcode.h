#pragma once

#include "barcode/ModuleWriter.h"
#include "barcode/NKDBarcode.h"

// Codabar: digits and "-$:/.+", framed by a start and a stop character A-D that the user writes as part
// of the content (and nowhere else). Each character is followed by a one-module gap.
class NKDCodabarBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDCodabarBarcode"); }
    QString _encodeChar(QChar c) const override;
    bool isContentValid() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override;
    QString invalidReason() const override;

private:
    // _encodeChar's patterns as a table.
    static const ModuleWriter::AsciiTable<11>& modules();
};
