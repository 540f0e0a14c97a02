#pragma once

// Helpers for the 2-D barcode tests: zint reference symbols and zxing-cpp decoding.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

struct RefSymbol {
    int rows = 0;
    int width = 0;
    std::vector<std::vector<bool>> modules; // [row][column]
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// zint encode with the given symbology and options (DATA_MODE input, with extra input-mode flags and an ECI).
RefSymbol zintEncode(int symbology, const QByteArray& data, int option1, int option2, int option3, int modeFlags = 0,
                     int eci = 0);

struct Decoded {
    bool ok = false;
    QByteArray bytes;   // raw content
    QString text;       // content as text (ECI or guessed character set applied)
    QString format;
};

// Decodes an image after surrounding it with `quiet` pixels of the background colour.
Decoded decodeImage(const QImage& image, int quiet, const QColor& background = Qt::white);

// Every pixel is one of the two colours.
bool pixelsArePure(const QImage& image, QRgb fg, QRgb bg);
