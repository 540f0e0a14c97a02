#include "imaging/ImageProcesser.h"

#include "common/Prompt.h"

#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <vector>

namespace {

// Affine colour transform c' = m * c + o on 0..1 values.
struct Affine {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    float o[3] = {0, 0, 0};

    // this := next after this
    void then(const Affine& next)
    {
        Affine r;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = next.m[i][0] * m[0][j] + next.m[i][1] * m[1][j] + next.m[i][2] * m[2][j];
            r.o[i] = next.m[i][0] * o[0] + next.m[i][1] * o[1] + next.m[i][2] * o[2] + next.o[i];
        }
        *this = r;
    }
};

Affine lumaRows()
{
    Affine a;
    for (auto& row : a.m) {
        row[0] = ImageAdjust::LumaR;
        row[1] = ImageAdjust::LumaG;
        row[2] = ImageAdjust::LumaB;
    }
    return a;
}

Affine colourTransform(const ImageAdjustSettings& s)
{
    using namespace ImageAdjust;
    Affine t;
    if (s.grayscale)
        t.then(lumaRows());
    if (s.sepia) {
        Affine sep;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                sep.m[i][j] = SepiaMatrix[i][j];
        t.then(sep);
    }
    if (s.invert) {
        Affine inv;
        for (int i = 0; i < 3; ++i) {
            inv.m[i][i] = -1;
            inv.o[i] = 1;
        }
        t.then(inv);
    }
    const float hue = Hue.clamp(s.hue);
    if (hue != Hue.neutral) {
        // Rotation about the grey axis that keeps luma (the usual hue-rotate matrix).
        const float c = std::cos(hue), n = std::sin(hue);
        Affine h;
        const float rows[3][3] = {
            {0.213f + c * 0.787f - n * 0.213f, 0.715f - c * 0.715f - n * 0.715f, 0.072f - c * 0.072f + n * 0.928f},
            {0.213f - c * 0.213f + n * 0.143f, 0.715f + c * 0.285f + n * 0.140f, 0.072f - c * 0.072f - n * 0.283f},
            {0.213f - c * 0.213f - n * 0.787f, 0.715f - c * 0.715f + n * 0.715f, 0.072f + c * 0.928f + n * 0.072f},
        };
        std::copy(&rows[0][0], &rows[0][0] + 9, &h.m[0][0]);
        t.then(h);
    }
    const float sat = Saturation.clamp(s.saturation);
    if (sat != Saturation.neutral) {
        Affine sa = lumaRows();
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                sa.m[i][j] = (1 - sat) * sa.m[i][j] + (i == j ? sat : 0.0f);
        t.then(sa);
    }
    const float brt = Brightness.clamp(s.brightness);
    if (brt != Brightness.neutral) {
        Affine b;
        b.o[0] = b.o[1] = b.o[2] = brt;
        t.then(b);
    }
    const float con = Contrast.clamp(s.contrast);
    if (con != Contrast.neutral) {
        Affine k;
        for (int i = 0; i < 3; ++i) {
            k.m[i][i] = con;
            k.o[i] = 0.5f - 0.5f * con;
        }
        t.then(k);
    }
    return t;
}

inline int clampTo(float v, int hi)
{
    if (!(v > 0.0f))
        return 0;
    const int i = int(v + 0.5f);
    return i > hi ? hi : i;
}

QImage toPremultiplied(const QImage& image)
{
    if (image.format() == QImage::Format_ARGB32_Premultiplied)
        return image.copy();
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void ImageProcesser::applyColour(QImage& image, const ImageAdjustSettings& settings)
{
    const Affine t = colourTransform(settings);
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0)
                continue;
            const float c[3] = {float(qRed(p)), float(qGreen(p)), float(qBlue(p))};
            int out[3];
            for (int i = 0; i < 3; ++i)
                out[i] = clampTo(t.m[i][0] * c[0] + t.m[i][1] * c[1] + t.m[i][2] * c[2] + t.o[i] * float(a), a);
            line[x] = qRgba(out[0], out[1], out[2], a);
        }
    }
}

void ImageProcesser::applySharpenLuminance(QImage& image, float amount)
{
    using namespace ImageAdjust;
    const int w = image.width(), h = image.height();
    std::vector<float> luma(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        float* l = &luma[size_t(y) * w];
        for (int x = 0; x < w; ++x)
            l[x] = LumaR * qRed(line[x]) + LumaG * qGreen(line[x]) + LumaB * qBlue(line[x]);
    }
    for (int y = 0; y < h; ++y) {
        const float* up = &luma[size_t(std::max(y - 1, 0)) * w];
        const float* mid = &luma[size_t(y) * w];
        const float* down = &luma[size_t(std::min(y + 1, h - 1)) * w];
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int xl = std::max(x - 1, 0), xr = std::min(x + 1, w - 1);
            // 3x3 binomial blur of the luma plane
            const float blurred = (up[xl] + 2 * up[x] + up[xr] + 2 * (mid[xl] + 2 * mid[x] + mid[xr]) + down[xl] +
                                   2 * down[x] + down[xr]) /
                                  16.0f;
            const float delta = amount * (mid[x] - blurred);
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0 || delta == 0.0f)
                continue;
            line[x] = qRgba(clampTo(qRed(p) + delta, a), clampTo(qGreen(p) + delta, a),
                            clampTo(qBlue(p) + delta, a), a);
        }
    }
}

void ImageProcesser::applyBoxBlur(QImage& image, int radius)
{
    const int w = image.width(), h = image.height();
    if (radius <= 0 || w == 0 || h == 0)
        return;
    const int n = 2 * radius + 1;
    const uint32_t half = uint32_t(n / 2);
    // Horizontal pass into tmp, edges repeat the border pixel.
    QImage tmp(w, h, QImage::Format_ARGB32_Premultiplied);
    if (tmp.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(tmp.scanLine(y));
        uint32_t s[4] = {0, 0, 0, 0};
        for (int k = -radius; k <= radius; ++k) {
            const QRgb p = src[std::clamp(k, 0, w - 1)];
            s[0] += qAlpha(p), s[1] += qRed(p), s[2] += qGreen(p), s[3] += qBlue(p);
        }
        for (int x = 0; x < w; ++x) {
            dst[x] = qRgba((s[1] + half) / n, (s[2] + half) / n, (s[3] + half) / n, (s[0] + half) / n);
            const QRgb in = src[std::min(x + radius + 1, w - 1)];
            const QRgb out = src[std::max(x - radius, 0)];
            s[0] += qAlpha(in) - qAlpha(out), s[1] += qRed(in) - qRed(out);
            s[2] += qGreen(in) - qGreen(out), s[3] += qBlue(in) - qBlue(out);
        }
    }
    // Vertical pass back into image with running column sums.
    std::vector<uint32_t> s(size_t(w) * 4, 0);
    auto addRow = [&](int row, int sign) {
        const auto* src = reinterpret_cast<const QRgb*>(tmp.constScanLine(std::clamp(row, 0, h - 1)));
        for (int x = 0; x < w; ++x) {
            const QRgb p = src[x];
            uint32_t* c = &s[size_t(x) * 4];
            c[0] += uint32_t(sign * qAlpha(p)), c[1] += uint32_t(sign * qRed(p));
            c[2] += uint32_t(sign * qGreen(p)), c[3] += uint32_t(sign * qBlue(p));
        }
    };
    for (int k = -radius; k <= radius; ++k)
        addRow(k, 1);
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t* c = &s[size_t(x) * 4];
            dst[x] = qRgba((c[1] + half) / n, (c[2] + half) / n, (c[3] + half) / n, (c[0] + half) / n);
        }
        addRow(y + radius + 1, 1);
        addRow(y - radius, -1);
    }
}

void ImageProcesser::applyExposure(QImage& image, float ev)
{
    // Per-channel table in linear light: sRGB -> linear, times 2^ev, -> sRGB.
    std::array<uchar, 256> lut{};
    const double gain = std::pow(2.0, double(ev));
    for (int v = 0; v < 256; ++v) {
        const double c = v / 255.0;
        double lin = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        lin = std::min(lin * gain, 1.0);
        const double s = lin <= 0.0031308 ? lin * 12.92 : 1.055 * std::pow(lin, 1.0 / 2.4) - 0.055;
        lut[size_t(v)] = uchar(std::clamp(int(std::lround(s * 255.0)), 0, 255));
    }
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0)
                continue;
            if (a == 255) {
                line[x] = qRgba(lut[qRed(p)], lut[qGreen(p)], lut[qBlue(p)], 255);
            } else {
                const QRgb u = qUnpremultiply(p);
                line[x] = qPremultiply(qRgba(lut[qRed(u)], lut[qGreen(u)], lut[qBlue(u)], a));
            }
        }
    }
}

QImage ImageProcesser::rotated(const QImage& image, int degrees)
{
    const int d = degrees % 360;
    if (d == 0)
        return image;
    // Positive is counter-clockwise on screen; QTransform turns clockwise with y downward.
    QTransform t;
    t.rotate(-d);
    QImage src = image.format() == QImage::Format_ARGB32_Premultiplied
                     ? image
                     : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out = src.transformed(t, Qt::SmoothTransformation);
    if (out.isNull())
        throw std::bad_alloc();
    return out;
}

qint64 ImageProcesser::processCost(const QSize& size, const ImageAdjustSettings& s, bool premultiplied)
{
    if (s.isNeutral())
        return 0;
    const auto bytes = [](QSize z) { return 4 * qint64(std::max(0, z.width())) * std::max(0, z.height()); };
    const bool works = s.hasColourChange() || s.needsWholePicture() || ImageAdjust::Exposure.clamp(s.exposure) != 0.0f;
    const qint64 working = works ? bytes(size) * (s.needsWholePicture() ? 2 : 1) : 0;
    const qint64 turning = s.normalizedRotation() == 0
                               ? 0
                               : (works || !premultiplied ? bytes(size) : 0) + bytes(processedSize(size, s));
    return std::max(working, turning);
}

QSize ImageProcesser::processedSize(const QSize& size, const ImageAdjustSettings& s)
{
    const int d = s.normalizedRotation();
    if (d == 0)
        return size;
    QTransform t;
    t.rotate(-d);
    // as QImage::transformed() sizes its result
    const QPolygonF corners = QImage::trueMatrix(t, size.width(), size.height()).map(QPolygonF(QRectF(QPointF(), size)));
    return corners.boundingRect().toAlignedRect().size();
}

QImage ImageProcesser::process(const QImage& image, const ImageAdjustSettings& s)
{
    if (image.isNull() || s.isNeutral())
        return image;
    try {
        const bool colour = s.hasColourChange();
        const float sharp = ImageAdjust::Sharpness.clamp(s.sharpness);
        const float ev = ImageAdjust::Exposure.clamp(s.exposure);
        const int radius = s.blurRadius();
        QImage work = image;
        if (colour || sharp != 0.0f || radius > 0 || ev != 0.0f) {
            work = toPremultiplied(image);
            if (work.isNull())
                throw std::bad_alloc();
            if (colour)
                applyColour(work, s);
            if (sharp != 0.0f)
                applySharpenLuminance(work, sharp);
            if (radius > 0)
                applyBoxBlur(work, radius);
            if (ev != 0.0f)
                applyExposure(work, ev);
        }
        return rotated(work, s.normalizedRotation());
    } catch (const std::bad_alloc&) {
        Show_NSLog_Message(QStringLiteral("Not enough memory to adjust a picture of %1 x %2.")
                               .arg(image.width())
                               .arg(image.height()));
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    return QImage();
}

QImage ImageProcesser::Get_Processed_Image(const QImage& image, bool grayscale, bool sepia, bool invrtclr,
                                           float hue, float sat, float brt, float con, int rotate, float r,
                                           float g, float b, float tranprency)
{
    Q_UNUSED(tranprency) // drawn by the caller
    ImageAdjustSettings s;
    s.grayscale = grayscale;
    s.sepia = sepia;
    s.invert = invrtclr;
    s.hue = hue;
    s.saturation = sat;
    s.brightness = brt;
    s.contrast = con;
    s.rotation = rotate;
    s.sharpness = r;
    s.exposure = g;
    s.blur = b;
    return process(image, s);
}
