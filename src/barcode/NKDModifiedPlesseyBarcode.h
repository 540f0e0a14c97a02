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
    void appendBarcode(QString& out) const override;
    int moduleCount() const override;
    bool isContentValid() const override;
    QString invalidReason() const override;

protected:
    static QString bitsFor(int value);
    // The value of each ASCII character (digits 0-9), -1 when it has none.
    struct Values {
        signed char v[128];
    };
    virtual const Values& values() const;
    int valueOf(ushort u) const { return u < 128 ? values().v[u] : -1; }
    // Values of the digits, and of the digits and A-F.
    static constexpr Values valueTable(bool hex) {
        Values t{};
        for (int c = 0; c < 128; ++c)
            t.v[c] = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        return t;
    }
};
