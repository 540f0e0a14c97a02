#include "barcode/twod/QREncoder.h"

#include "barcode/twod/QR_Encode.h"

#include <QCoreApplication>

#include <cstring>

namespace {
const char* const kLevelNames[4] = {"L", "M", "Q", "H"};
const char* const kModeNames[4] = {"digits", "characters", "bytes", "Kanji characters"};

void setReason(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}
} // namespace

DataMatrix::DataMatrix(int dimension)
    : _dimension(dimension < 0 ? 0 : dimension), _data(std::size_t(_dimension) * _dimension, 0)
{
}

QString DataMatrix::description() const
{
    QString s;
    s.reserve(_dimension * (_dimension + 1));
    for (int y = 0; y < _dimension; ++y) {
        for (int x = 0; x < _dimension; ++x)
            s += valueAt(x, y) ? QLatin1Char('1') : QLatin1Char('0');
        s += QLatin1Char('\n');
    }
    return s;
}

std::optional<DataMatrix> QREncoder::encodeWithECLevel(int level, int version, const QString& text, QString* reason)
{
    const QByteArray bytes = text.toUtf8();
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && uint8_t(c) < 0x80;
    return encodeBytes(level, version, bytes, ascii ? 0 : 26, reason);
}

std::optional<DataMatrix> QREncoder::encodeBytes(int level, int version, const QByteArray& bytes, int eci,
                                                 QString* reason, int mask)
{
    if (level < 0 || level > 3) {
        setReason(reason, QStringLiteral("Unknown QR error-correction level %1.").arg(level));
        return std::nullopt;
    }
    if (version < 0 || version > 40) {
        setReason(reason, QStringLiteral("Unknown QR version %1.").arg(version));
        return std::nullopt;
    }
    if (bytes.isEmpty()) {
        setReason(reason, QStringLiteral("The QR Code value is empty."));
        return std::nullopt;
    }
    CQR_Encode enc;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (!enc.EncodeData(level, version, false, mask, data, std::size_t(bytes.size()), false, eci)) {
        const int mode = CQR_Encode::Get_Encoding_Mode(data, std::size_t(bytes.size()));
        const int v = version == 0 ? 40 : version;
        setReason(reason, QStringLiteral("The value (%1 bytes) is too long for QR Code version %2 at level %3 "
                                         "(at most %4 %5).")
                              .arg(bytes.size())
                              .arg(v)
                              .arg(QLatin1String(kLevelNames[level]))
                              .arg(CQR_Encode::capacity(v, level, mode))
                              .arg(QLatin1String(kModeNames[mode])));
        return std::nullopt;
    }
    DataMatrix grid(enc.m_nSymbleSize);
    for (int y = 0; y < enc.m_nSymbleSize; ++y)
        for (int x = 0; x < enc.m_nSymbleSize; ++x)
            grid.set(enc.module(x, y), x, y);
    return grid;
}

QImage QREncoder::renderDataMatrix(const DataMatrix& grid, int pixels, const QColor& fg, const QColor& bg,
                                   QString* reason)
{
    return renderModules(grid.dimension(), grid.modules(), pixels, fg, bg, reason);
}

QImage QREncoder::renderModules(int n, const std::vector<uint8_t>& modules, int pixels, const QColor& fg,
                                const QColor& bg, QString* reason)
{
    if (n <= 0 || modules.size() != std::size_t(n) * std::size_t(n)) {
        setReason(reason, QStringLiteral("There is no QR symbol to draw."));
        return {};
    }
    if (pixels < n) {
        setReason(reason, QStringLiteral("The QR Code needs at least %1 pixels a side; %2 were asked for. "
                                         "Make the size or the resolution larger.")
                              .arg(n)
                              .arg(pixels));
        return {};
    }
    const int p = pixels / n;
    const int m = (pixels - p * n) / 2;
    // Two colours, a bit a pixel: bit 1 the modules.
    QImage img(pixels, pixels, QImage::Format_Mono);
    if (img.isNull()) {
        setReason(reason, QStringLiteral("Not enough memory for the QR Code image."));
        return {};
    }
    img.setColorTable({bg.rgba(), fg.rgba()});
    img.fill(0);
    const std::size_t bpl = std::size_t(img.bytesPerLine());
    for (int y = 0; y < n; ++y) {
        uchar* row = img.scanLine(m + y * p);
        const uint8_t* dark = modules.data() + std::size_t(y) * std::size_t(n);
        for (int x = 0; x < n; ++x)
            if (dark[x])
                for (int px = m + x * p; px < m + (x + 1) * p; ++px)
                    row[px >> 3] |= uchar(0x80 >> (px & 7));
        for (int k = 1; k < p; ++k)
            std::memcpy(img.scanLine(m + y * p + k), row, bpl);
    }
    return img;
}
