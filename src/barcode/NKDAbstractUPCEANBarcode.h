#pragma once

// Common base of EAN-13, EAN-8, UPC-A and UPC-E: digit codes, guard patterns, captions and width.
// `content` holds the data digits without the check digit; `checkDigit` the check digit as an ASCII
// digit. The value as given is kept so that lengths, digits and a supplied check digit can be verified.

#include "barcode/NKDBarcode.h"

class NKDAbstractUPCEANBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("NKDAbstractUPCEANBarcode"); }
    void calculateWidth() override;
    float firstBar() const override { return m_width * 0.1f; }
    float lastBar() const override { return m_width * 0.9f - m_barWidth; }
    // Left-hand odd-parity code of a digit, empty for anything else.
    QString _encodeChar(QChar c) const override;
    QString initiator() const override { return QStringLiteral("101"); }
    QString terminator() const override { return QStringLiteral("101"); }
    int digitsToLeft() const override { return 1; }
    int digitsToRight() const override { return 1; }
    QString rightCaption() const override;
    QString invalidReason() const override;

    // Standard check digit of a run of digits (weights 3 and 1 from the rightmost digit); -1 when a
    // character is not a digit.
    static int upcEanCheck(const QString& digits);
    // Left-hand odd code to right-hand code, and to left-hand even code.
    static QString swapHandedness(const QString& code);
    static QString swapParity(const QString& code);

protected:
    enum DigitCode { LeftOdd, LeftEven, Right };
    // Writes the seven modules of digit `c` in `code` (nothing for anything but a digit) and returns the
    // end; the room must allow seven modules.
    static char16_t* putDigit(char16_t* w, DigitCode code, QChar c);
    // Writes the centre guard "01010".
    static char16_t* putCentreGuard(char16_t* w);
    static bool allDigits(const QString& text);
    static const QString& leftCode(QChar c);
    static const QString& rightCode(QChar c);
    static const QString& evenCode(QChar c);
    // `modules` for a well-formed content of `dataLength` digits with a check digit.
    int fixedModuleCount(int dataLength, int modules) const;
    // Sets content and check digit from the value as given: `dataLength` data digits, optionally
    // followed by the check digit.
    void splitGiven(int dataLength);
    // True when the value as given has the data length, optionally the check digit, and digits only.
    bool givenValid(int dataLength) const;
    // Why the value as given is not valid (empty when it is).
    QString checkGiven(int dataLength, const QString& name) const;

    QString m_given; // the value as the user gave it
};
