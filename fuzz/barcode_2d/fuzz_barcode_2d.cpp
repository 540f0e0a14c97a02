// Feeds arbitrary bytes and parameters to the QR Code, PDF417 and Data Matrix encoders.
// The first four bytes choose the symbology and its parameters; the rest is the value.

#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/DataMatrixEncoder.h"
#include "barcode/twod/QR_Encode.h"
#include "barcode/twod/pdf417lib.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t kind = data[0] % 3, a = data[1], b = data[2], c = data[3];
    const uint8_t* value = data + 4;
    const size_t len = size - 4;
    if (kind == 0) {
        CQR_Encode e;
        // Out-of-range arguments are part of the input space.
        const int level = int(a % 6) - 1, version = int(b % 43) - 1, mask = int(c % 10) - 2;
        if (e.EncodeData(level, version, (c & 0x80) != 0, mask, value, len, (c & 0x40) != 0,
                         (a & 0x80) ? 26 : 0)) {
            int dark = 0;
            for (int y = 0; y < e.m_nSymbleSize; ++y)
                for (int x = 0; x < e.m_nSymbleSize; ++x)
                    dark += e.module(x, y);
            (void)dark;
        }
    } else if (kind == 1) {
        pdf417::pdf417param p;
        pdf417::pdf417init(p);
        p.text.assign(reinterpret_cast<const char*>(value), len);
        p.options = a & ~pdf417::PDF417_USE_RAW_CODEWORDS;
        p.errorLevel = int(b % 12) - 2;
        p.codeColumns = int(c % 40) - 5;
        p.codeRows = int(b % 100) - 5;
        p.aspectRatio = float(c) / 16.0f;
        p.eci = (a & 0x20) ? 26 : 0;
        pdf417::paintCode(p);
        if (p.error == 0)
            for (int r = 0; r < p.codeRows; ++r)
                (void)p.module(p.bitColumns - 1, r);
    } else {
        // Every scheme (X12 and EDIFACT too) and size choice of the encoder itself.
        std::vector<uint8_t> modules;
        datamatrix::encode(value, len, datamatrix::Scheme(c % 7), int(c / 7 % 33) - 2, (a & 0x80) != 0, &modules);
        if (len <= 4000) {
            const QByteArray bytes(reinterpret_cast<const char*>(value), qsizetype(len));
            DataMatrixFailure f;
            encodeDataMatrix(bytes, int(a % 33) - 1, int(b % 7) - 1, &f);
            dataMatrixFormatForArea(bytes, int(b % 7) - 1, a, c, int(b % 5) - 1);
        }
    }
    return 0;
}
