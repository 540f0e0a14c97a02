#pragma once

#include "barcode/NKDPostnetBarcode.h"

// PLANET: POSTNET's structure with tall and short bars swapped; 11 or 13 digits and a check digit.
class NKDPlanetBarcode : public NKDPostnetBarcode {
public:
    QString className() const override { return QStringLiteral("NKDPlanetBarcode"); }
    float _heightForDigit(int digitIndex, int bar) const override;

protected:
    QString lengthRule() const override { return QStringLiteral("PLANET takes 11 or 13 digits."); }
    bool lengthAllowed(qsizetype n) const override { return n == 11 || n == 13; }
};
