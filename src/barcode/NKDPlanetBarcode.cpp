#include "barcode/NKDPlanetBarcode.h"

float NKDPlanetBarcode::_heightForDigit(int digitIndex, int bar) const {
    const float h = NKDPostnetBarcode::_heightForDigit(digitIndex, bar);
    if (h == 0)
        return 0;
    return h > 0.1f ? 0.05f : 0.125f;
}
