#pragma once

#include "barcode/NKDCode39Barcode.h"
#include "barcode/ModuleWriter.h"

// Extended (full ASCII) Code 39: printable ASCII, written as Code 39 characters or pairs of them
// ("*" as /J). Control characters are refused. The caption keeps the content as entered.
class NKDExtendedCode39Barcode : public NKDCode39Barcode {
public:
    QString className() const override { return QStringLiteral("NKDExtendedCode39Barcode"); }
    void initWithContent(const QString& content, bool printsCaption = true) override;
    using NKDBarcode::initWithContent;
    QString _encodeChar(QChar c) const override;
    bool isContentValid() const override;
    int moduleCount() const override;
    void appendBarcode(QString& out) const override;
    QString invalidReason() const override { return NKDBarcode::invalidReason(); }
    // The Code 39 characters that stand for one ASCII character (empty when there are none).
    static QString fullAsciiPair(QChar c);
    QString getRequirementDescription() const;

private:
    // _encodeChar's patterns as a table.
    static const ModuleWriter::AsciiTable<26>& modules();
};
