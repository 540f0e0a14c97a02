#pragma once

// Data Matrix (ECC 200): the designer's size and encodation lists, the module grid from our own encoder,
// the failure report and the EPS description of a grid.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// "Auto", then "C<rows>X<columns>" for the 24 square and 6 rectangular sizes.
const QStringList& dataMatrixFormats();
// "Auto", "Ascii", "C40", "Text", "Base256".
const QStringList& dataMatrixEncodings();

// Rows and columns asked for by a format entry: the text after its first character split at the first "X"
// (rows before, columns after); both 0 for "Auto" or a text without "X".
void dataMatrixRequestedSize(const QString& format, int* rows, int* columns);

struct DataMatrixSymbol {
    int width = 0;  // columns of modules
    int height = 0; // rows of modules
    std::vector<uint8_t> modules; // row-major, row 0 at the top, 1 = dark
    bool at(int x, int y) const { return modules[std::size_t(y) * width + x] != 0; }
};

// What the encoder reports when no symbol is made: the line for standard error and those for standard output.
struct DataMatrixFailure {
    QByteArray errorText;
    QByteArray outputText;
};

DataMatrixFailure dataMatrixFailureText(int width, int height, int encoded, int maxLength, int eccLength,
                                        const QByteArray& value, const QByteArray& encodation);

// Encodes the bytes with the format and encodation of the lists above; a value with bytes beyond ASCII is
// taken as UTF-8 and marked with ECI 26. On failure returns nothing and, when failure is given, fills it
// with the report.
std::optional<DataMatrixSymbol> encodeDataMatrix(const QByteArray& value, int formatIndex, int encodingIndex,
                                                 DataMatrixFailure* failure = nullptr);

// Whether encodeDataMatrix would make a symbol of the value ("Auto" holds up to the largest square).
bool dataMatrixFits(const QByteArray& utf8, int formatIndex, int encodingIndex);

// Columns and rows of the symbol encodeDataMatrix makes of the value; empty when it makes none.
QSize dataMatrixSymbolSize(const QByteArray& utf8, int formatIndex, int encodingIndex);

// What a width and height in points choose at a module size in points: the index in dataMatrixFormats() of
// the largest symbol inside them (most data; a square before a rectangle of the same capacity), which must
// hold the value (unless it is empty). When nothing fits, the index is -1 and the reason says why.
struct DataMatrixAreaChoice {
    int formatIndex = -1;
    QString reason;
};
DataMatrixAreaChoice dataMatrixFormatForArea(const QByteArray& utf8, int encodingIndex, double widthPoints,
                                             double heightPoints, int moduleSize);

// EPS of a W x H grid given in PostScript row order (first row at the bottom), one module per unit and a
// one-module border in the bounding box.
QByteArray makeEPS_Data_Matrix(const QByteArray& value, int W, int H, const std::vector<uint8_t>& grid);
