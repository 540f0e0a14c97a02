#pragma once

#include "barcode/NKDBarcode.h"

// Code 39: digits, upper-case letters, space and "-", ".", "$", "/", "+", "%". Content is upper-cased;
// "*" is the start and stop character and is refused inside the content. No check character is drawn.
class NKDCode39Barcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDCode39Barcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    // Twelve modules of the character followed by the one-module gap; empty when it has no pattern.
    QString _encodeChar(QChar c) const override;
    QString initiator() const override { return code39Pattern(QLatin1Char('*')); }
    QString terminator() const override { return code39Pattern(QLatin1Char('*')); }
    bool isContentValid() const override;
    // Subclasses with their own _encodeChar override this too.
    void appendBarcode(QString& out) const override;
    int moduleCount() const override;
    QString invalidReason() const override;
    // Modulo-43 check character of the content (not drawn; offered for callers that want one).
    void generateChecksum() override;

    static QString code39Pattern(QChar c);
};
