#include "barcode/twod/DataMatrixCode.h"

#include <dmtx.h>

#include <algorithm>
#include <memory>

namespace {

struct EncoderDeleter {
    void operator()(DmtxEncode* e) const { dmtxEncodeDestroy(&e); }
};
using Encoder = std::unique_ptr<DmtxEncode, EncoderDeleter>;

int sizeIndexFor(int rows, int cols)
{
    for (int i = DmtxSymbol10x10; i <= DmtxSymbol16x48; ++i)
        if (dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, i) == rows &&
            dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, i) == cols)
            return i;
    return -1;
}

constexpr int kSchemes[5] = {DmtxSchemeAutoBest, DmtxSchemeAscii, DmtxSchemeC40, DmtxSchemeText,
                             DmtxSchemeBase256};
constexpr char kSchemeLetters[5] = {0, 'A', 'C', 'T', 'B'};

// Runs libdmtx; nullptr when it cannot encode.
Encoder runEncoder(const QByteArray& value, int scheme, int sizeIdx)
{
    Encoder enc(dmtxEncodeCreate());
    if (!enc)
        return nullptr;
    dmtxEncodeSetProp(enc.get(), DmtxPropScheme, scheme);
    dmtxEncodeSetProp(enc.get(), DmtxPropSizeRequest, sizeIdx);
    dmtxEncodeSetProp(enc.get(), DmtxPropMarginSize, 0);
    dmtxEncodeSetProp(enc.get(), DmtxPropModuleSize, 1);
    QByteArray copy = value; // libdmtx takes a non-const pointer
    if (dmtxEncodeDataMatrix(enc.get(), int(copy.size()), reinterpret_cast<unsigned char*>(copy.data())) !=
            DmtxPass ||
        enc->message == nullptr)
        return nullptr;
    return enc;
}

// Data codewords before the padding (a 129, then the standard's pseudo-random pads).
int dataWordsBeforePadding(const unsigned char* code, int dataWords)
{
    int k = dataWords;
    while (k > 0) {
        const int p = k; // 1-based position of code[k - 1]
        int pad = 129 + (149 * p) % 253 + 1;
        if (pad > 254)
            pad -= 254;
        if (code[k - 1] == 129)
            return k - 1;
        if (code[k - 1] != pad)
            return dataWords;
        --k;
    }
    return dataWords;
}

// ECC 200 module placement of codewords into the mapping matrix (nrow x ncol), row 0 at the top.
class Placement {
public:
    Placement(int nrow, int ncol, const unsigned char* code)
        : nrow(nrow), ncol(ncol), code(code), cells(std::size_t(nrow) * ncol, -1)
    {
        int k = 0, row = 4, col = 0;
        do {
            if (row == nrow && col == 0)
                corner({{nrow - 1, 0}, {nrow - 1, 1}, {nrow - 1, 2}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1},
                        {2, ncol - 1}, {3, ncol - 1}}, k++);
            if (row == nrow - 2 && col == 0 && ncol % 4)
                corner({{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 4}, {0, ncol - 3}, {0, ncol - 2},
                        {0, ncol - 1}, {1, ncol - 1}}, k++);
            if (row == nrow - 2 && col == 0 && ncol % 8 == 4)
                corner({{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1},
                        {2, ncol - 1}, {3, ncol - 1}}, k++);
            if (row == nrow + 4 && col == 2 && !(ncol % 8))
                corner({{nrow - 1, 0}, {nrow - 1, ncol - 1}, {0, ncol - 3}, {0, ncol - 2}, {0, ncol - 1},
                        {1, ncol - 3}, {1, ncol - 2}, {1, ncol - 1}}, k++);
            do {
                if (row < nrow && col >= 0 && at(row, col) < 0)
                    utah(row, col, k++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < ncol);
            row += 1;
            col += 3;
            do {
                if (row >= 0 && col < ncol && at(row, col) < 0)
                    utah(row, col, k++);
                row += 2;
                col -= 2;
            } while (row < nrow && col >= 0);
            row += 3;
            col += 1;
        } while (row < nrow || col < ncol);
        if (at(nrow - 1, ncol - 1) < 0) {
            at(nrow - 1, ncol - 1) = at(nrow - 2, ncol - 2) = 1;
            at(nrow - 1, ncol - 2) = at(nrow - 2, ncol - 1) = 0;
        }
    }
    bool dark(int row, int col) const { return cells[std::size_t(row) * ncol + col] > 0; }

private:
    int& at(int row, int col) { return cells[std::size_t(row) * ncol + col]; }
    void module(int row, int col, int k, int bit)
    {
        if (row < 0) {
            row += nrow;
            col += 4 - ((nrow + 4) % 8);
        }
        if (col < 0) {
            col += ncol;
            row += 4 - ((ncol + 4) % 8);
        }
        at(row, col) = (code[k] >> (7 - bit)) & 1;
    }
    void utah(int row, int col, int k)
    {
        module(row - 2, col - 2, k, 0);
        module(row - 2, col - 1, k, 1);
        module(row - 1, col - 2, k, 2);
        module(row - 1, col - 1, k, 3);
        module(row - 1, col, k, 4);
        module(row, col - 2, k, 5);
        module(row, col - 1, k, 6);
        module(row, col, k, 7);
    }
    void corner(const int (&rc)[8][2], int k)
    {
        for (int b = 0; b < 8; ++b)
            module(rc[b][0], rc[b][1], k, b);
    }
    int nrow, ncol;
    const unsigned char* code;
    std::vector<int> cells;
};

// libdmtx writes the error-correction codewords of the 144 x 144 symbol block after block from the first,
// where ISO/IEC 16022 starts that part with the two shorter blocks (9 and 10); the symbol is placed again
// from the codewords in the standard's order.
void placeLargestSymbol(const DmtxMessage* message, int sizeIdx, DataMatrixSymbol& s)
{
    const int dataWords = dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, sizeIdx);
    const int blocks = dmtxGetSymbolAttribute(DmtxSymAttribInterleavedBlocks, sizeIdx);
    const int ecWords = dmtxGetSymbolAttribute(DmtxSymAttribSymbolErrorWords, sizeIdx);
    std::vector<unsigned char> code(message->code, message->code + dataWords + ecWords);
    for (int p = 0; p < ecWords; ++p) {
        const int i = p / blocks, j = p % blocks;
        code[std::size_t(dataWords + p)] = message->code[dataWords + (j + blocks - 2) % blocks + i * blocks];
    }
    const int regionRows = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionRows, sizeIdx);
    const int regionCols = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionCols, sizeIdx);
    const int nrow = dmtxGetSymbolAttribute(DmtxSymAttribMappingMatrixRows, sizeIdx);
    const int ncol = dmtxGetSymbolAttribute(DmtxSymAttribMappingMatrixCols, sizeIdx);
    const Placement place(nrow, ncol, code.data());
    std::fill(s.modules.begin(), s.modules.end(), 0);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const int ry = y % (regionRows + 2), rx = x % (regionCols + 2);
            bool dark;
            if (rx == 0 || ry == regionRows + 1)
                dark = true; // solid left and bottom edges of each region
            else if (ry == 0)
                dark = rx % 2 == 0;
            else if (rx == regionCols + 1)
                dark = ry % 2 == 1;
            else
                dark = place.dark(y / (regionRows + 2) * regionRows + ry - 1,
                                  x / (regionCols + 2) * regionCols + rx - 1);
            s.modules[std::size_t(y) * s.width + x] = dark ? 1 : 0;
        }
}

} // namespace

const QStringList& dataMatrixFormats()
{
    static const QStringList list = {
        QStringLiteral("Auto"),     QStringLiteral("C10X10"),   QStringLiteral("C12X12"),
        QStringLiteral("C14X14"),   QStringLiteral("C16X16"),   QStringLiteral("C18X18"),
        QStringLiteral("C20X20"),   QStringLiteral("C22X22"),   QStringLiteral("C24X24"),
        QStringLiteral("C26X26"),   QStringLiteral("C32X32"),   QStringLiteral("C36X36"),
        QStringLiteral("C40X40"),   QStringLiteral("C44X44"),   QStringLiteral("C48X48"),
        QStringLiteral("C52X52"),   QStringLiteral("C64X64"),   QStringLiteral("C72X72"),
        QStringLiteral("C80X80"),   QStringLiteral("C88X88"),   QStringLiteral("C96X96"),
        QStringLiteral("C104X104"), QStringLiteral("C120X120"), QStringLiteral("C132X132"),
        QStringLiteral("C144X144"), QStringLiteral("C8X18"),    QStringLiteral("C8X32"),
        QStringLiteral("C12X26"),   QStringLiteral("C12X36"),   QStringLiteral("C16X36"),
        QStringLiteral("C16X48")};
    return list;
}

const QStringList& dataMatrixEncodings()
{
    static const QStringList list = {QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                     QStringLiteral("Text"), QStringLiteral("Base256")};
    return list;
}

void dataMatrixRequestedSize(const QString& format, int* rows, int* columns)
{
    *rows = 0;
    *columns = 0;
    if (format == QLatin1String("Auto"))
        return;
    const QString rest = format.mid(1);
    const int x = rest.indexOf(QLatin1Char('X'));
    if (x < 0)
        return;
    *rows = rest.left(x).trimmed().toInt();
    *columns = rest.mid(x + 1).trimmed().toInt();
}

DataMatrixFailure dataMatrixFailureText(int width, int height, int encoded, int maxLength, int eccLength,
                                        const QByteArray& value, const QByteArray& encodation)
{
    DataMatrixFailure f;
    f.errorText = "No barcode produced\n";
    f.outputText = QByteArray("Size    : ") + QByteArray::number(width) + 'x' + QByteArray::number(height) + '\n' +
                   "Encoded : " + QByteArray::number(encoded) + " of " + QByteArray::number(maxLength) +
                   " bytes with " + QByteArray::number(eccLength) + " bytes of ecc\n" + "Barcode : " + value +
                   '\n' + "Encoding: " + encodation + '\n';
    return f;
}

std::optional<DataMatrixSymbol> encodeDataMatrix(const QByteArray& value, int formatIndex, int encodingIndex,
                                                 DataMatrixFailure* failure)
{
    if (formatIndex < 0 || formatIndex >= dataMatrixFormats().size() || encodingIndex < 0 ||
        encodingIndex >= dataMatrixEncodings().size())
        return std::nullopt;
    int rows = 0, cols = 0;
    dataMatrixRequestedSize(dataMatrixFormats()[formatIndex], &rows, &cols);
    const int sizeIdx = rows == 0 ? int(DmtxSymbolSquareAuto) : sizeIndexFor(rows, cols);
    const int scheme = kSchemes[encodingIndex];
    const QByteArray encodation =
        kSchemeLetters[encodingIndex] ? QByteArray(value.size(), kSchemeLetters[encodingIndex]) : QByteArray();

    // No symbol holds more than 3116 digits; longer values are not handed to the encoder.
    const bool hopeless = value.isEmpty() || value.size() > 3116 || sizeIdx == -1;
    Encoder enc = hopeless ? nullptr : runEncoder(value, scheme, sizeIdx);
    if (!enc) {
        if (failure) {
            // How many codewords the value needs, from the smallest symbol that holds it.
            int encoded = 0;
            if (!hopeless)
                if (Encoder any = runEncoder(value, scheme, DmtxSymbolShapeAuto)) {
                    const int idx = any->region.sizeIdx;
                    encoded = dataWordsBeforePadding(any->message->code,
                                                     dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, idx));
                }
            const bool fixed = sizeIdx >= 0;
            *failure = dataMatrixFailureText(
                cols, rows, encoded, fixed ? dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, sizeIdx) : 0,
                fixed ? dmtxGetSymbolAttribute(DmtxSymAttribSymbolErrorWords, sizeIdx) : 0, value, encodation);
        }
        return std::nullopt;
    }
    const int idx = enc->region.sizeIdx;
    DataMatrixSymbol s;
    s.height = dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, idx);
    s.width = dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, idx);
    s.modules.assign(std::size_t(s.width) * s.height, 0);
    // libdmtx counts symbol rows from the bottom.
    for (int row = 0; row < s.height; ++row)
        for (int col = 0; col < s.width; ++col)
            if (dmtxSymbolModuleStatus(enc->message, idx, row, col) & DmtxModuleOnRGB)
                s.modules[std::size_t(s.height - 1 - row) * s.width + col] = 1;
    if (idx == DmtxSymbol144x144)
        placeLargestSymbol(enc->message, idx, s);
    return s;
}

QByteArray makeEPS_Data_Matrix(const QByteArray& value, int W, int H, const std::vector<uint8_t>& grid)
{
    QByteArray eps;
    eps.reserve(400 + (W / 8 + 1) * 2 * H + H + H / 20);
    const QByteArray w = QByteArray::number(W), h = QByteArray::number(H);
    eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
    eps += "%%Creator: IEC16022 barcode/stamp generator\n";
    eps += "%%BarcodeData: " + value + '\n';
    eps += "%%BarcodeSize: " + w + 'x' + h + '\n';
    eps += "%%BarcodeFormat: ECC200\n";
    eps += "%%DocumentData: Clean7Bit\n";
    eps += "%%LanguageLevel: 1\n";
    eps += "%%Pages: 1\n";
    eps += "%%BoundingBox: 0 0 " + QByteArray::number(W + 2) + ' ' + QByteArray::number(H + 2) + '\n';
    eps += "%%EndComments\n";
    eps += "%%Page: 1 1\n";
    eps += w + ' ' + h + " 1[1 0 0 1 -1 -1]{<\n";
    static const char hex[] = "0123456789ABCDEF";
    int count = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; x += 8) {
            int byte = 0;
            for (int b = 0; b < 8; ++b) {
                const bool dark = x + b < W && grid[std::size_t(y) * W + x + b] != 0;
                if (dark)
                    byte |= 0x80 >> b;
            }
            byte ^= 0xFF;
            eps += hex[byte >> 4];
            eps += hex[byte & 15];
            ++count;
        }
        eps += ' ';
        ++count;
        if (count >= 80) {
            eps += '\n';
            count = 0;
        }
    }
    if (count)
        eps += '\n';
    eps += "\n>}image\n";
    return eps;
}
