#include "barcode/twod/TwoDImages.h"

#include "barcode/twod/QREncoder.h"

#include <algorithm>
#include <cmath>

int clampDpi(int dpi) { return std::clamp(dpi, kMinDpi, kMaxDpi); }

int pixelsFor(double points, int dpi)
{
    if (points <= 0)
        return 0;
    return int(std::ceil(double(dpi) * points / 72.0 - 1e-9));
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

TwoDResult makeQrImage(const QrParams& params, const QString& value)
{
    TwoDResult r;
    if (value.isEmpty()) {
        r.reason = QStringLiteral("The QR Code value is empty.");
        return r;
    }
    if (params.sizePoints <= 0) {
        r.reason = QStringLiteral("The QR Code size must be at least 1 point.");
        return r;
    }
    const int dpi = clampDpi(params.dpi);
    const int px = pixelsFor(params.sizePoints, dpi);
    if (tooLarge(px, px, r.reason))
        return r;
    const std::optional<DataMatrix> grid =
        QREncoder::encodeWithECLevel(params.ecIndex, params.versionIndex, value, &r.reason);
    if (!grid)
        return r;
    r.image = QREncoder::renderDataMatrix(*grid, px, params.fg, params.bg, &r.reason);
    if (r.ok()) {
        setResolution(r.image, dpi);
        r.sizePoints = QSizeF(params.sizePoints, params.sizePoints);
        r.reason.clear();
    }
    return r;
}
