#pragma once

#include "barcode/NKDBarcode.h"

// Modified Plessey: digits as four bits each (least significant first; "1110" one, "1000" zero) with a
// modulo-10 check digit. Content is upper-cased.
class NKDModifiedPlesseyBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDModifiedPlesseyBarcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString _encodeChar(QChar c) const override;
    QString initiator() const override { return QStringLiteral("1110111010001110"); }
    QString terminator() const override { return QStringLiteral("1111000100011101110"); }
    void generateChecksum() override;
    void appendBarcode(QString& out) const override { appendPatterns(out); }
    int moduleCount() const override { return patternModuleCount(); }
    QString invalidReason() const override;

protected:
    static QString bitsFor(int value);
};
