#pragma once

#include "barcode/NKDUPCABarcode.h"

// UPC-E: a zero-suppressed UPC-A number. Accepted forms: the UPC-E number (number system 0 or 1 and six
// digits), the same with its check digit, or the UPC-A number with or without its check digit. The
// check digit is that of the UPC-A expansion and is carried by the parity pattern only. 51 modules.
class NKDUPCEBarcode : public NKDUPCABarcode {
public:
    QString className() const override { return QStringLiteral("NKDUPCEBarcode"); }
    // The six UPC-E digits of a 12-digit UPC-A number, or the empty text when it cannot be suppressed.
    static QString UPCAToUPCE(const QString& upca);
    // The 11-digit UPC-A number (without check digit) of a 7-digit UPC-E number; empty when malformed.
    static QString UPCEToUPCA(const QString& upce);

    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override { return fixedModuleCount(7, 51); }
    // True when digit position 1-6 takes the even code.
    bool parityForDigit(int position) const;
    QString terminator() const override { return QStringLiteral("010101"); }
    QString caption() const override { return m_content.mid(1); }
    QString invalidReason() const override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }

private:
    // The six UPC-E digits `e` of the twelve UPC-A digits `d`; false when they cannot be suppressed.
    static bool suppress(const char* d, char* e);
    // The eleven UPC-A digits `a` (without check digit) of the seven UPC-E digits `d`.
    static void expand(const char* d, char* a);
    // The check digit (as a character) of `n` digits.
    static int checkOf(const char* d, int n);
};
