#pragma once

// Data Matrix ECC 200 encoder: ASCII, C40, Text, X12, EDIFACT and Base 256 encodation with the look-ahead
// choice among them, padding, Reed-Solomon error correction over GF(256) (polynomial 301), block interleaving
// and module placement. Re-entrant; the only shared data are tables built once.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace datamatrix {

struct SymbolInfo {
    int rows; // modules, finder and clock patterns included
    int columns;
    int regionRows; // data modules of one region
    int regionColumns;
    int dataWords;
    int eccWords; // all blocks together
    int blocks;
};

// The 24 squares from 10 x 10 to 144 x 144, then the 6 rectangles from 8 x 18 to 16 x 48.
constexpr int kSymbolCount = 30;
constexpr int kSquareCount = 24;
const SymbolInfo& symbolInfo(int index);
// Index of the size with these rows and columns, or -1.
int symbolIndex(int rows, int columns);

enum class Scheme { Auto, Ascii, C40, Text, X12, Edifact, Base256 };

// Size choices besides a fixed index: the smallest square, or the smallest of all sizes, that holds the data.
constexpr int kSmallestSquare = -1;
constexpr int kSmallestAny = -2;

enum class Status {
    Ok,
    Empty,
    TooLong,      // no allowed size holds the data
    NotEncodable, // a character the forced scheme cannot hold (X12, EDIFACT)
    BadArgument,
};

struct Result {
    Status status = Status::BadArgument;
    int symbol = -1;   // index of the size used
    int dataWords = 0; // codewords the data takes before padding (also on TooLong, when counted)
};

// Data codewords, padded to the capacity of the chosen size. With eci, ECI 26 (UTF-8) comes first.
Result encodeCodewords(const uint8_t* data, std::size_t size, Scheme scheme, int sizeChoice, bool eci,
                       std::vector<uint8_t>* codewords);

// Error correction: the data codewords of the size followed by the interleaved error-correction codewords.
void addErrorCorrection(int symbol, std::vector<uint8_t>& codewords);

// The module grid of a size from all its codewords: rows x columns bytes, row 0 at the top, 1 = dark.
void placeModules(int symbol, const std::vector<uint8_t>& codewords, std::vector<uint8_t>& modules);

// All of the above: the module grid of the data, or the failure.
Result encode(const uint8_t* data, std::size_t size, Scheme scheme, int sizeChoice, bool eci,
              std::vector<uint8_t>* modules);

} // namespace datamatrix
