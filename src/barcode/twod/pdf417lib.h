#pragma once

// PDF417 encoder (ISO/IEC 15438): text, numeric and byte compaction, Reed-Solomon over GF(929) at
// levels 0-8, row and column layout, start and stop patterns, row indicators. No Qt.

#include <cstdint>
#include <string>
#include <vector>

namespace pdf417 {

// Bar patterns of clusters 0, 3 and 6 (17 modules, first module in bit 16, 1 = bar).
extern const uint32_t CLUSTERS[3][929];
// Error-correction coefficients of a level 0..8 (2^(level+1) values), nullptr outside.
const uint16_t* ERROR_LEVEL(int level);

constexpr uint32_t START_PATTERN = 0x1FEA8; // 17 modules
constexpr uint32_t STOP_PATTERN = 0x3FA29;  // 18 modules

enum Option {
    PDF417_FIXED_RECTANGLE = 1,
    PDF417_FIXED_COLUMNS = 2,
    PDF417_FIXED_ROWS = 4,
    PDF417_USE_ERROR_LEVEL = 16,
    PDF417_USE_RAW_CODEWORDS = 64,
    PDF417_INVERT_BITMAP = 128,
};

enum Error { PDF417_ERROR_SUCCESS = 0, PDF417_ERROR_TEXT_TOO_BIG = 1, PDF417_ERROR_INVALID_PARAMS = 2,
             PDF417_ERROR_EMPTY_TEXT = 3 };

struct pdf417param {
    std::vector<uint8_t> outBits; // rows of bitColumns bits, most significant first, padded to bytes
    int lenBits = 0;
    int bitColumns = 0;
    int codeRows = 0;
    int codeColumns = 0;
    std::vector<int> codewords = std::vector<int>(928, 0);
    int lenCodewords = 0;
    int errorLevel = 0;
    int requestedErrorLevel = 0; // the level asked for with PDF417_USE_ERROR_LEVEL
    std::string text;            // input bytes, unsigned
    int options = 0;
    int eci = 0;                 // ECI designator written first (0 none)
    float aspectRatio = 0.5f;
    float yHeight = 3.0f;
    int error = 0;

    bool module(int x, int row) const
    {
        const int bpr = (bitColumns - 1) / 8 + 1;
        const bool bit = (outBits[std::size_t(row) * bpr + std::size_t(x) / 8] >> (7 - x % 8)) & 1;
        return (options & PDF417_INVERT_BITMAP) ? !bit : bit;
    }
};

void pdf417init(pdf417param& p);
void paintCode(pdf417param& p);
void pdf417free(pdf417param& p);

// Segments of the text: type 'T' text, 'N' numeric, 'B' byte, [start, end).
struct Element {
    char type;
    int start;
    int end;
};
std::vector<Element> breakString(const std::string& text);
int maxPossibleErrorLevel(int n);

} // namespace pdf417
