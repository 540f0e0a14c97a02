#include "barcode/twod/TwoDImages.h"

#include "barcode/twod/DataMatrixCode.h"
#include "barcode/twod/Pdf417Layout.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/pdf417lib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

int clampDpi(int dpi) { return std::clamp(dpi, kMinDpi, kMaxDpi); }

int pixelsFor(double points, int dpi)
{
    if (!(points > 0))
        return 0;
    const double px = std::ceil(double(dpi) * points / 72.0 - 1e-9);
    return px > 1e9 ? 1000000000 : int(px); // far beyond the pixel cap, which then refuses it
}

namespace {

void setResolution(QImage& img, int dpi)
{
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
}

bool tooLarge(qint64 w, qint64 h, QString& reason)
{
    if (w * h <= kMaxImagePixels)
        return false;
    reason = QStringLiteral("The barcode image would be %1 x %2 pixels; lower the size or the resolution.")
                 .arg(w)
                 .arg(h);
    return true;
}

} // namespace

namespace {

bool isAscii(const QByteArray& b)
{
    for (char c : b)
        if (uint8_t(c) >= 0x80)
            return false;
    return true;
}

// A two-colour picture: bit 0 the background, 1 the modules; a bit a pixel, a 32nd of what 32-bit colour
// takes to fill and copy.
QImage twoColourImage(int w, int h, const QColor& fg, const QColor& bg)
{
    QImage img(w, h, QImage::Format_Mono);
    if (img.isNull())
        return img;
    img.setColorTable({bg.rgba(), fg.rgba()});
    img.fill(0);
    return img;
}

// Sets pixels [from, to) of a Format_Mono line to the module colour.
void setRun(uchar* line, int from, int to)
{
    for (int x = from; x < to; ++x)
        line[x >> 3] |= uchar(0x80 >> (x & 7));
}

// Paints a module grid stretched over w x h pixels without smoothing: pixel x shows module
// x * cols / w, so every pixel is one of the two colours. Each module row is drawn once and copied.
template <typename ModuleAt>
QImage paintStretched(int cols, int rows, int w, int h, const QColor& fg, const QColor& bg, ModuleAt moduleAt)
{
    QImage img = twoColourImage(w, h, fg, bg);
    if (img.isNull())
        return img;
    int lastRow = -1;
    for (int y = 0; y < h; ++y) {
        const int row = int(qint64(y) * rows / h);
        uchar* line = img.scanLine(y);
        if (row == lastRow) {
            std::memcpy(line, img.constScanLine(y - 1), std::size_t(img.bytesPerLine()));
            continue;
        }
        lastRow = row;
        // Runs of pixels of one module: the module boundaries, without a divide per pixel.
        for (int col = 0; col < cols; ++col) {
            const int from = int((qint64(col) * w + cols - 1) / cols);
            const int to = int((qint64(col + 1) * w + cols - 1) / cols);
            if (moduleAt(col, row))
                setRun(line, from, std::min(to, w));
        }
    }
    return img;
}

} // namespace

TwoDSymbol makePdf417Symbol(const Pdf417Params& params, const QString& value)
{
    TwoDSymbol r;
    if (value.isEmpty()) {
        r.reason = QStringLiteral("The PDF417 value is empty.");
        return r;
    }
    if (params.errorLevel < 0 || params.errorLevel > 8) {
        r.reason = QStringLiteral("The PDF417 error-correction level must be 0 to 8, not %1.").arg(params.errorLevel);
        return r;
    }
    if (params.widthPoints <= 0 || params.heightPoints <= 0) {
        r.reason = QStringLiteral("The PDF417 width and height must be at least 1 point.");
        return r;
    }
    r.reason = pdf417LayoutChoiceProblem(params.rows, params.columns);
    if (!r.reason.isEmpty())
        return r;
    const QByteArray bytes = value.toUtf8();
    pdf417::pdf417param p;
    pdf417::pdf417init(p);
    p.text.assign(bytes.constData(), std::size_t(bytes.size()));
    p.eci = isAscii(bytes) ? 0 : 26; // UTF-8
    p.options = pdf417::PDF417_USE_ERROR_LEVEL;
    p.errorLevel = params.errorLevel;
    // Rows are yHeight (3) modules high; the encoder picks the columns whose symbol has the frame's shape.
    p.aspectRatio = float(double(params.heightPoints) / params.widthPoints);
    pdf417ChooseLayout(p, params.rows, params.columns);
    pdf417::paintCode(p);
    if (p.error == pdf417::PDF417_ERROR_TEXT_TOO_BIG) {
        r.reason = QStringLiteral("The value (%1 bytes) is too long for PDF417.").arg(bytes.size());
        return r;
    }
    if (p.error != 0) {
        r.reason = QStringLiteral("The PDF417 symbol could not be made (error %1).").arg(p.error);
        return r;
    }
    if (p.errorLevel < params.errorLevel) {
        r.reason = QStringLiteral("The value is too long for PDF417 error-correction level %1; "
                                  "level %2 is the highest that fits.")
                       .arg(params.errorLevel)
                       .arg(p.errorLevel);
        return r;
    }
    r.reason = pdf417LayoutProblem(p, params.rows, params.columns);
    if (!r.reason.isEmpty())
        return r;
    r.columns = p.bitColumns;
    r.rows = p.codeRows;
    r.rowHeight = 3;
    r.modules.resize(std::size_t(r.columns) * std::size_t(r.rows));
    for (int y = 0; y < r.rows; ++y)
        for (int x = 0; x < r.columns; ++x)
            r.modules[std::size_t(y) * std::size_t(r.columns) + std::size_t(x)] = p.module(x, y) ? 1 : 0;
    r.sizePoints = QSizeF(params.widthPoints, params.heightPoints);
    return r;
}

TwoDResult makePdf417Image(const Pdf417Params& params, const QString& value)
{
    TwoDResult r;
    const TwoDSymbol sym = makePdf417Symbol(params, value);
    if (!sym.ok()) {
        r.reason = sym.reason;
        return r;
    }
    const int dpi = clampDpi(params.dpi);
    const int pw = pixelsFor(params.widthPoints, dpi), ph = pixelsFor(params.heightPoints, dpi);
    if (tooLarge(pw, ph, r.reason))
        return r;
    // Square modules, whole pixels each, the symbol centred in the frame.
    const int unit = std::min(pw / sym.columns, ph / (sym.rows * sym.rowHeight));
    if (unit < 1) {
        r.reason = QStringLiteral("The PDF417 symbol has %1 modules by %2 rows; at this resolution the image "
                                  "holds only %3 x %4 pixels. Make it larger.")
                       .arg(sym.columns)
                       .arg(sym.rows)
                       .arg(pw)
                       .arg(ph);
        return r;
    }
    QImage img = twoColourImage(pw, ph, params.fg, params.bg);
    if (img.isNull()) {
        r.reason = QStringLiteral("Not enough memory for the PDF417 image.");
        return r;
    }
    const int sw = sym.columns * unit, sh = sym.rows * sym.rowHeight * unit;
    const int x0 = (pw - sw) / 2, y0 = (ph - sh) / 2;
    // Each codeword row is drawn once, module by module, and copied down its height.
    const int rowPixels = sym.rowHeight * unit;
    for (int row = 0; row < sym.rows; ++row) {
        const int top = y0 + row * rowPixels;
        uchar* line = img.scanLine(top);
        const uint8_t* modules = sym.modules.data() + std::size_t(row) * std::size_t(sym.columns);
        for (int x = 0; x < sym.columns; ++x)
            if (modules[x])
                setRun(line, x0 + x * unit, x0 + (x + 1) * unit);
        for (int k = 1; k < rowPixels; ++k)
            std::memcpy(img.scanLine(top + k), line, std::size_t(img.bytesPerLine()));
    }
    r.image = img;
    setResolution(r.image, dpi);
    r.sizePoints = QSizeF(params.widthPoints, params.heightPoints);
    return r;
}

TwoDSymbol makeQrSymbol(const QrParams& params, const QString& value)
{
    TwoDSymbol r;
    if (value.isEmpty()) {
        r.reason = QStringLiteral("The QR Code value is empty.");
        return r;
    }
    if (params.sizePoints <= 0) {
        r.reason = QStringLiteral("The QR Code size must be at least 1 point.");
        return r;
    }
    const std::optional<DataMatrix> grid =
        QREncoder::encodeWithECLevel(params.ecIndex, params.versionIndex, value, &r.reason);
    if (!grid)
        return r;
    r.columns = r.rows = grid->dimension();
    r.modules = grid->modules();
    r.sizePoints = QSizeF(params.sizePoints, params.sizePoints);
    r.reason.clear();
    return r;
}

TwoDResult makeQrImage(const QrParams& params, const QString& value)
{
    TwoDResult r;
    const TwoDSymbol sym = makeQrSymbol(params, value);
    if (!sym.ok()) {
        r.reason = sym.reason;
        return r;
    }
    const int dpi = clampDpi(params.dpi);
    const int px = pixelsFor(params.sizePoints, dpi);
    if (tooLarge(px, px, r.reason))
        return r;
    r.image = QREncoder::renderModules(sym.columns, sym.modules, px, params.fg, params.bg, &r.reason);
    if (r.ok()) {
        setResolution(r.image, dpi);
        r.sizePoints = sym.sizePoints;
        r.reason.clear();
    }
    return r;
}

namespace {

// The Data Matrix symbol; an encoder failure also fills the failure report when one is given.
TwoDSymbol dataMatrixSymbol(const DataMatrixParams& params, const QString& value, DataMatrixFailure* failure)
{
    TwoDSymbol r;
    if (value.isEmpty()) {
        r.reason = QStringLiteral("The Data Matrix value is empty.");
        return r;
    }
    if (params.formatIndex < 0 || params.formatIndex >= dataMatrixFormats().size()) {
        r.reason = QStringLiteral("Unknown Data Matrix size %1.").arg(params.formatIndex);
        return r;
    }
    if (params.encodingIndex < 0 || params.encodingIndex >= dataMatrixEncodings().size()) {
        r.reason = QStringLiteral("Unknown Data Matrix encoding %1.").arg(params.encodingIndex);
        return r;
    }
    if (params.moduleSize < 1) {
        r.reason = QStringLiteral("The Data Matrix module size must be at least 1 point.");
        return r;
    }
    const std::optional<DataMatrixSymbol> sym =
        encodeDataMatrix(value.toUtf8(), params.formatIndex, params.encodingIndex, failure);
    if (!sym) {
        r.reason = QStringLiteral("The value cannot be encoded as Data Matrix %1 with the %2 encoding.")
                       .arg(dataMatrixFormats()[params.formatIndex], dataMatrixEncodings()[params.encodingIndex]);
        return r;
    }
    r.columns = sym->width + 2;
    r.rows = sym->height + 2;
    r.modules.assign(std::size_t(r.columns) * std::size_t(r.rows), 0);
    for (int y = 0; y < sym->height; ++y)
        std::copy_n(sym->modules.data() + std::size_t(y) * std::size_t(sym->width), sym->width,
                    r.modules.data() + std::size_t(y + 1) * std::size_t(r.columns) + 1);
    r.sizePoints = QSizeF(double(r.columns) * params.moduleSize, double(r.rows) * params.moduleSize);
    return r;
}

} // namespace

TwoDSymbol makeDataMatrixSymbol(const DataMatrixParams& params, const QString& value)
{
    return dataMatrixSymbol(params, value, nullptr);
}

TwoDResult makeDataMatrixImage(const DataMatrixParams& params, const QString& value)
{
    TwoDResult r;
    DataMatrixFailure failure;
    const TwoDSymbol sym = dataMatrixSymbol(params, value, &failure);
    if (!sym.ok()) {
        if (!failure.errorText.isEmpty() || !failure.outputText.isEmpty()) {
            std::fputs(failure.errorText.constData(), stderr);
            std::fputs(failure.outputText.constData(), stdout);
            std::fflush(stdout);
        }
        r.reason = sym.reason;
        return r;
    }
    const int dpi = clampDpi(params.dpi);
    const int pw = pixelsFor(sym.sizePoints.width(), dpi), ph = pixelsFor(sym.sizePoints.height(), dpi);
    if (tooLarge(pw, ph, r.reason))
        return r;
    r.image = paintStretched(sym.columns, sym.rows, pw, ph, params.fg, params.bg,
                             [&sym](int x, int y) { return sym.at(x, y); });
    if (r.image.isNull()) {
        r.reason = QStringLiteral("Not enough memory for the Data Matrix image.");
        return r;
    }
    setResolution(r.image, dpi);
    r.sizePoints = sym.sizePoints;
    return r;
}
