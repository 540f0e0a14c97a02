#pragma once

#include "barcode/NKDBarcode.h"

// POSTNET: 5, 9 or 11 digits and a check digit, each digit as five tall or short bars between two tall
// frame bars. Every bar is one module followed by a two-module space.
class NKDPostnetBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDPostnetBarcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString initiator() const override { return QStringLiteral("100"); }
    QString terminator() const override { return QStringLiteral("1"); }
    QString _encodeChar(QChar) const override { return QStringLiteral("100100100100100"); }
    int moduleCount() const override;
    void appendBarcode(QString& out) const override;
    float barTop(int index) const override;
    float fixedBarHeight() const override { return 9.0f; }
    // Height in inches of bar 1-5 of the digit at `digitIndex` (the content length stands for the check
    // digit); 0 for a character that is not a digit.
    virtual float _heightForDigit(int digitIndex, int bar) const;
    void generateChecksum() override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }
    QString invalidReason() const override;

protected:
    // True when bar 1-5 of the digit is tall in POSTNET.
    static bool postnetTall(int digit, int bar);
    QString digitAt(int index) const;
    bool allDigits() const;
    virtual QString lengthRule() const;
    virtual bool lengthAllowed(qsizetype n) const { return n == 5 || n == 9 || n == 11; }
};
