#pragma once

#include "barcode/NKDBarcode.h"

// Royal Mail 4-state customer code (RM4SCC): 0-9 and A-Z (content is upper-cased) and a check
// character, four bars each, between a start bar (ascender) and a stop bar (full). Each bar reaches up
// when it has an ascender and down when it has a descender.
class NKDRoyalMailBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDRoyalMailBarcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString initiator() const override { return QStringLiteral("10"); }
    QString terminator() const override { return QStringLiteral("1"); }
    QString _encodeChar(QChar) const override { return QStringLiteral("10101010"); }
    // Bar state at module index: bit 1 ascender, bit 0 descender (3 full, 2 ascender, 1 descender,
    // 0 tracker).
    int _barDescriptor(int index) const;
    int moduleCount() const override;
    void appendBarcode(QString& out) const override;
    float barTop(int index) const override;
    float barBottom(int index) const override;
    float fixedBarHeight() const override;
    void generateChecksum() override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }
    QString invalidReason() const override;

    // Four bar states of a character packed with the first bar in the highest group; 0 for none.
    static int royalmail_characterDescriptor(QChar c);
};
