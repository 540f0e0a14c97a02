#pragma once

// QR Code model 2 encoder (ISO/IEC 18004): versions 1-40, levels L/M/Q/H, numeric, alphanumeric,
// byte and Kanji segments, Reed-Solomon, interleaving, placement and masking. No Qt.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qr {

enum Mode : int { Numeric = 0, Alphanumeric = 1, Byte = 2, Kanji = 3 };

struct Segment {
    int mode = Byte;
    int length = 0; // input bytes (a Kanji character counts 2)
};

// Per version 1..40 and level 0..3 (L, M, Q, H).
int totalCodewords(int version);
int dataCodewords(int version, int level);
int ecCodewordsPerBlock(int version, int level);
int blockCount(int version, int level);
std::vector<int> alignmentCoordinates(int version);
// Version group used for the character count indicator lengths: 0 (1-9), 1 (10-26), 2 (27-40).
int versionGroup(int version);
int segmentBits(int mode, int length, int group);

// Byte classes. A Kanji pair is a Shift JIS double-byte character of the Kanji mode ranges.
bool isNumeric(uint8_t c);
bool isAlphanumeric(uint8_t c);
bool isKanjiPair(uint8_t c1, uint8_t c2);
int alphanumericValue(uint8_t c);
int kanjiValue(uint8_t c1, uint8_t c2);

// Reed-Solomon remainder of data over GF(256) (0x11D) with the generator of ecCount codewords.
std::vector<uint8_t> reedSolomon(const uint8_t* data, int dataLen, int ecCount);

} // namespace qr

class CQR_Encode {
public:
    // level 0..3, version 0 (smallest that fits) or 1..40, mask -1 (automatic) or 0..7.
    // allowKanji classes Shift JIS double-byte pairs as Kanji characters; leave it off for UTF-8 text.
    // eci (1..999999) writes an ECI designator before the data, 0 writes none.
    // Returns false, leaving the previous symbol untouched, when the arguments are out of range or
    // the data does not fit (a fixed version without autoExtent that is too small included).
    bool EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo, const uint8_t* lpsSource,
                    std::size_t ncSource, bool allowKanji = false, int eci = 0);

    // The one mode that covers the whole text (used for capacity messages).
    static int Get_Encoding_Mode(const uint8_t* data, std::size_t len, bool allowKanji = false);
    // Largest number of input units of the given mode (digits, characters, bytes or Kanji characters)
    // that one segment may hold at this version and level.
    static int capacity(int version, int level, int mode);

    bool module(int x, int y) const { return m_byModuleData[std::size_t(y) * m_nSymbleSize + x] != 0; }

    int m_nLevel = 0;
    int m_nVersion = 0;
    int m_nMaskingNo = -1;
    int m_nSymbleSize = 0;
    std::vector<uint8_t> m_byModuleData; // row-major, 1 = dark
    std::vector<qr::Segment> m_segments; // segments of the last successful encoding
    int m_ncDataCodeWordBit = 0;         // data bits written before terminator and padding

    // Penalty of a finished 0/1 matrix (row-major, side n of 1..177) by the four rules of the standard;
    // -1 for other sides.
    static int CountPenalty(const uint8_t* m, int n);
};
