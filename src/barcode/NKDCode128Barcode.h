#pragma once

#include "barcode/NKDBarcode.h"

#include <QList>

// Code 128. The code set is chosen before initialisation: 0 set A, 1 set B, 2 set C, 3 automatic
// (replaced by 0, 1 or 2 from the content). `checkDigit` holds the raw check value 0..102.
//
// Encoding rules: a character that set A or B cannot hold is written with SHIFT and its value in the
// other set; set C (forced, or chosen for an all-digit content) refuses anything but digits, and an odd
// digit count ends with CODE B and the last digit rather than gaining a leading zero.
class NKDCode128Barcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDCode128Barcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;

    int codeSet() const { return m_codeSet; }
    void setCodeSet(int set) { m_codeSet = set; }

    void generateChecksum() override;
    QString initiator() const override;
    QString terminator() const override { return QStringLiteral("1100011101011"); }
    // The pattern of the character in the current set (empty when the set cannot hold it).
    QString _encodeChar(QChar c) const override;
    static QString _encodeChar(QChar c, int set);
    static bool _canEncodeChar(QChar c, int set) { return !_encodeChar(c, set).isEmpty(); }
    int _bestCodeSetForContent() const;
    // The eleven-module pattern of a symbol value 0..105 (empty otherwise).
    static QString patternForValue(int value);
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    int moduleCount() const override;
    bool isContentValid() const override;
    QString invalidReason() const override;

    // The symbol values between start and check, as encoded (empty for content that cannot be encoded).
    QList<int> symbolValues() const;

private:
    static int valueInSet(ushort c, int set);
    // Number of symbol values between start and check, for content that is valid.
    qsizetype symbolCount() const;
    int m_codeSet = 0;
};
