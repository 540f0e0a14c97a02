#pragma once

// The 2-D barcode image makers: pure functions of (parameters, value) giving an image of the requested
// size in points at the requested resolution, every pixel foreground or background, or a reason.

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <vector>

struct TwoDResult {
    QImage image;      // dots per metre carry the resolution
    QSizeF sizePoints; // size the image stands for, in points
    QString reason;    // why there is no image
    bool ok() const { return !image.isNull(); }
};

constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 2400;
constexpr qint64 kMaxImagePixels = 64LL * 1000 * 1000;

// The resolution kept within kMinDpi..kMaxDpi.
int clampDpi(int dpi);
// Pixels for a length in points at a resolution: ceil(dpi x points / 72).
int pixelsFor(double points, int dpi);

struct QrParams {
    int versionIndex = 0; // 0 "Auto", k version k
    int ecIndex = 0;      // 0 L, 1 M, 2 Q, 3 H
    int sizePoints = 60;  // side of the square image
    int dpi = 600;
    QColor fg = Qt::black;
    QColor bg = Qt::white;
};

TwoDResult makeQrImage(const QrParams& params, const QString& value);

struct Pdf417Params {
    int widthPoints = 100; // the symbol is stretched over the whole width and height
    int heightPoints = 20;
    int errorLevel = 2; // 0..8
    int rows = 0;       // 3..90 rows of codewords, 0 chosen from the data
    int columns = 0;    // 1..30 data columns, 0 chosen from the data
    int dpi = 600;
    QColor fg = Qt::black;
    QColor bg = Qt::white;
};

TwoDResult makePdf417Image(const Pdf417Params& params, const QString& value);

struct DataMatrixParams {
    int moduleSize = 2;    // points per module
    int formatIndex = 0;   // index in dataMatrixFormats()
    int encodingIndex = 0; // index in dataMatrixEncodings()
    int dpi = 600;
    QColor fg = Qt::black;
    QColor bg = Qt::white;
};

// The image of a W x H symbol is the symbol with a one-module light border: (W + 2) x m by (H + 2) x m
// points. An encoder failure is also reported on the console (standard error and standard output).
TwoDResult makeDataMatrixImage(const DataMatrixParams& params, const QString& value);

// The bare module grid of a 2-D symbol, for drawing it at any resolution or as vectors.
struct TwoDSymbol {
    int columns = 0;              // modules across, light border included
    int rows = 0;                 // rows of modules (PDF417: codeword rows)
    int rowHeight = 1;            // module heights per row (PDF417: 3)
    std::vector<uint8_t> modules; // row-major, row 0 at the top, 1 = dark
    QSizeF sizePoints;            // the area the symbol is drawn in at its natural size
    QString reason;               // why there is no symbol
    bool ok() const { return columns > 0 && rows > 0; }
    bool at(int x, int y) const { return modules[std::size_t(y) * std::size_t(columns) + std::size_t(x)] != 0; }
};

// The same symbols the image makers draw. PDF417 takes as many columns as make its shape, with rows three
// modules high, closest to the shape of its width x height frame; Data Matrix includes its one-module border.
TwoDSymbol makeQrSymbol(const QrParams& params, const QString& value);
TwoDSymbol makePdf417Symbol(const Pdf417Params& params, const QString& value);
TwoDSymbol makeDataMatrixSymbol(const DataMatrixParams& params, const QString& value);
