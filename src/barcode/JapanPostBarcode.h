#pragma once

#include "barcode/NKDBarcode.h"

// Japan Post customer barcode: a postcode of seven digits and address digits, hyphens and letters, as
// exactly 20 units (letters take a control code and a digit; short content is padded with control code
// 4) and a check unit, three bars each, between start and stop bars. The symbol size (8.5 to 11.5
// points, nominal 10) fixes the bar width (size / 6) and the bar lengths; `height` is the whole drawing.
class JapanPostBarcode : public NKDBarcode {
public:
    QString className() const override { return QStringLiteral("JapanPostBarcode"); }
    void initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                         float fontSize, int checkDigit) override;
    using NKDBarcode::initWithContent;
    // Converts the text into units and the visible text; content with more than 20 units or with a
    // character outside 0-9, A-Z and "-" is kept as given and refused by isContentValid.
    void setContent(const QString& content) override;
    QString japanpostContents() const { return m_units; }

    float symbolSize() const { return m_size; }
    void setSymbolSize(float size);
    void setBarWidth(float barWidth) override;

    QString initiator() const override { return QStringLiteral("1010"); }
    QString terminator() const override { return QStringLiteral("101"); }
    QString _encodeChar(QChar) const override { return QStringLiteral("101010"); }
    QString barcode() const override;
    void appendBarcode(QString& out) const override;
    void calculateWidth() override;
    int moduleCount() const override { return 4 + 6 * int(m_units.size() + (m_checkDigit >= 0 ? 1 : 0)) + 3; }
    void generateChecksum() override;
    bool isContentValid() const override { return invalidReason().isEmpty(); }
    QString invalidReason() const override;

    // Bar state at module index: bit 1 ascender, bit 0 descender.
    int _barDescriptor(int index) const;
    float barTop(int index) const override;
    float barBottom(int index) const override;
    float fixedBarHeight() const override;

    static constexpr float kMinSize = 8.5f;
    static constexpr float kMaxSize = 11.5f;
    static constexpr int kUnits = 20;
    // The three bar states of a unit ("-", "0"-"9", control codes ":" to "?", "." and "/").
    static int japanpost_characterDescriptor(QChar c);

private:
    QString m_units;    // the 20 encoded units
    QString m_rejected; // why the given text cannot be encoded
    float m_size = 10.0f;
};
