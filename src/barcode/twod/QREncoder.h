#pragma once

// QR facade: checks a text against the chosen version and level, runs the encoder and renders the
// module grid into an image.

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Square grid of QR modules; cell (x, y) is column x of row y, row 0 at the top.
class DataMatrix {
public:
    explicit DataMatrix(int dimension = 0);
    int dimension() const { return _dimension; }
    void set(bool value, int x, int y) { _data[std::size_t(y) * _dimension + x] = value ? 1 : 0; }
    bool valueAt(int x, int y) const { return _data[std::size_t(y) * _dimension + x] != 0; }
    // Row-major, 1 = dark.
    const std::vector<uint8_t>& modules() const { return _data; }
    // Rows top to bottom, each cell "0" or "1", each row ended by "\n".
    QString description() const;

private:
    int _dimension = 0;
    std::vector<uint8_t> _data;
};

class QREncoder {
public:
    // level 0..3 (L, M, Q, H); version 0 = smallest of all 40 that holds the text, else 1..40 fixed.
    // The text goes in as UTF-8; text beyond ASCII is announced with ECI 26 (UTF-8).
    static std::optional<DataMatrix> encodeWithECLevel(int level, int version, const QString& text,
                                                       QString* reason = nullptr);
    static std::optional<DataMatrix> encodeBytes(int level, int version, const QByteArray& bytes, int eci,
                                                 QString* reason = nullptr, int mask = -1);

    // Square image of `pixels` a side: whole pixels per module, the spare pixels split as a background
    // margin (top/left get the smaller half). Null, with a reason, when there is less than one pixel per module.
    static QImage renderDataMatrix(const DataMatrix& grid, int pixels, const QColor& fg, const QColor& bg,
                                   QString* reason = nullptr);
    // The same for an n x n grid given row-major (1 = dark).
    static QImage renderModules(int n, const std::vector<uint8_t>& modules, int pixels, const QColor& fg,
                                const QColor& bg, QString* reason = nullptr);
};
