#include "imaging/PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Reads a picture's lines as premultiplied ARGB, whatever its format. Other formats are converted one line at
// a time: a picture one line high is never shared out among threads.
class LineReader {
public:
    explicit LineReader(const QImage& image) : m_image(image), m_format(image.format())
    {
        if (m_format != QImage::Format_RGB32 && m_format != QImage::Format_ARGB32_Premultiplied) {
            m_line.resize(std::size_t(image.width()));
            m_colours = image.colorTable();
        }
    }

    const uint* line(int y)
    {
        const uchar* bits = m_image.constScanLine(y);
        if (m_line.empty())
            return reinterpret_cast<const uint*>(bits);
        if (m_format == QImage::Format_ARGB32) {
            const auto* from = reinterpret_cast<const uint*>(bits);
            for (std::size_t x = 0; x < m_line.size(); ++x)
                m_line[x] = qPremultiply(from[x]);
            return m_line.data();
        }
        QImage one(bits, m_image.width(), 1, m_image.bytesPerLine(), m_format);
        if (!m_colours.isEmpty())
            one.setColorTable(m_colours);
        const QImage line = one.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (line.isNull())
            std::fill(m_line.begin(), m_line.end(), 0u);
        else
            std::memcpy(m_line.data(), line.constScanLine(0), m_line.size() * sizeof(uint));
        return m_line.data();
    }

private:
    const QImage& m_image;
    QImage::Format m_format;
    QList<QRgb> m_colours;
    std::vector<uint> m_line;
};

// Which source pixels make each result pixel along one side, and with what weights (summing to 1).
struct Taps {
    std::vector<int> first;   // per result pixel
    std::vector<int> start;   // into weights
    std::vector<int> count;
    std::vector<float> weights;
    int widest = 0;

    Taps(int from, int to)
    {
        first.resize(std::size_t(to));
        start.resize(std::size_t(to));
        count.resize(std::size_t(to));
        const double step = double(from) / to;
        for (int i = 0; i < to; ++i) {
            start[std::size_t(i)] = int(weights.size());
            if (step >= 1.0) {
                // Shrinking: the average of the source interval the pixel covers.
                const double a = i * step, b = std::min(double(from), (i + 1) * step);
                const int lo = std::min(from - 1, int(std::floor(a)));
                const int hi = std::max(lo + 1, std::min(from, int(std::ceil(b))));
                for (int s = lo; s < hi; ++s)
                    weights.push_back(float(std::max(0.0, std::min(b, s + 1.0) - std::max(a, double(s))) / step));
                first[std::size_t(i)] = lo;
            } else {
                // Growing: between the two nearest pixel centres, the edges repeated.
                const double c = std::clamp((i + 0.5) * step - 0.5, 0.0, double(from - 1));
                const int lo = std::min(from - 1, int(std::floor(c)));
                const float f = float(c - lo);
                first[std::size_t(i)] = lo;
                weights.push_back(1.0f - f);
                if (lo + 1 < from && f > 0.0f)
                    weights.push_back(f);
            }
            count[std::size_t(i)] = int(weights.size()) - start[std::size_t(i)];
            widest = std::max(widest, count[std::size_t(i)]);
        }
    }
};

inline uint toByte(float v) { return uint(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

} // namespace

namespace picturescaling {

QImage::Format keptFormat(const QImage& image)
{
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

QImage converted(QImage image, QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        format = keptFormat(image);
    if (image.isNull() || image.format() == format)
        return image;
    const int w = image.width(), h = image.height();
    // In the picture's own memory where its pixels are as large, so that the two are never held together.
    QImage* own = nullptr;
    uchar* to = nullptr;
    qsizetype stride = 0;
    QImage out;
    if (image.depth() >= 32 && image.isDetached()) {
        own = new QImage(std::move(image));
        to = own->bits();
        stride = own->bytesPerLine();
    } else {
        out = QImage(image.size(), format);
        if (out.isNull())
            return out;
        to = out.bits();
        stride = out.bytesPerLine();
    }
    const QImage& from = own ? *own : image;
    LineReader reader(from);
    for (int y = 0; y < h; ++y) {
        const uint* line = reader.line(y); // a copy of the line unless it is read as it is
        auto* dest = reinterpret_cast<uint*>(to + y * stride);
        for (int x = 0; x < w; ++x)
            dest[x] = format == QImage::Format_RGB32 ? line[x] | 0xff000000u : line[x];
    }
    if (own) {
        const int dpmX = own->dotsPerMeterX(), dpmY = own->dotsPerMeterY();
        out = QImage(to, w, h, stride, format, [](void* kept) { delete static_cast<QImage*>(kept); }, own);
        out.setDotsPerMeterX(dpmX);
        out.setDotsPerMeterY(dpmY);
    } else {
        out.setDotsPerMeterX(image.dotsPerMeterX());
        out.setDotsPerMeterY(image.dotsPerMeterY());
    }
    return out;
}

QImage scaled(const QImage& image, QSize size)
{
    if (image.isNull() || size.isEmpty())
        return {};
    if (size == image.size())
        return converted(image);
    const QImage::Format format = keptFormat(image);
    QImage out(size, format);
    if (out.isNull())
        return out;
    const int w = size.width();
    const Taps across(image.width(), w);
    const Taps down(image.height(), size.height());
    LineReader reader(image);

    // Source lines resampled across, kept while the result lines near them need them.
    const int kept = down.widest + 1;
    std::vector<float> lines(std::size_t(kept) * std::size_t(w) * 4);
    std::vector<int> lineOf(std::size_t(kept), -1);
    auto acrossLine = [&](int sy) -> const float* {
        float* to = lines.data() + std::size_t(sy % kept) * std::size_t(w) * 4;
        if (lineOf[std::size_t(sy % kept)] == sy)
            return to;
        const uint* from = reader.line(sy);
        for (int x = 0; x < w; ++x) {
            float b = 0, g = 0, r = 0, a = 0;
            const float* wt = across.weights.data() + across.start[std::size_t(x)];
            const uint* px = from + across.first[std::size_t(x)];
            for (int k = 0; k < across.count[std::size_t(x)]; ++k) {
                const uint p = px[k];
                b += wt[k] * float(p & 0xff);
                g += wt[k] * float((p >> 8) & 0xff);
                r += wt[k] * float((p >> 16) & 0xff);
                a += wt[k] * float(p >> 24);
            }
            to[4 * x] = b;
            to[4 * x + 1] = g;
            to[4 * x + 2] = r;
            to[4 * x + 3] = a;
        }
        lineOf[std::size_t(sy % kept)] = sy;
        return to;
    };

    std::vector<float> sum(std::size_t(w) * 4);
    const bool opaque = format == QImage::Format_RGB32;
    for (int y = 0; y < size.height(); ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const float* wt = down.weights.data() + down.start[std::size_t(y)];
        for (int k = 0; k < down.count[std::size_t(y)]; ++k) {
            const float* line = acrossLine(down.first[std::size_t(y)] + k);
            for (std::size_t i = 0; i < sum.size(); ++i)
                sum[i] += wt[k] * line[i];
        }
        auto* to = reinterpret_cast<uint*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint a = opaque ? 255u : toByte(sum[4 * std::size_t(x) + 3]);
            const uint r = std::min(a, toByte(sum[4 * std::size_t(x) + 2]));
            const uint g = std::min(a, toByte(sum[4 * std::size_t(x) + 1]));
            const uint b = std::min(a, toByte(sum[4 * std::size_t(x)]));
            to[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    return out;
}

qint64 workingBytes(QSize from, QSize to)
{
    if (from.isEmpty() || to.isEmpty())
        return 0;
    // the weights of both sides, the source lines resampled across and their sum, a line read (and converted)
    const auto taps = [](int a, int b) { return qint64(b) * 12 + (qint64(a) + 2 * b) * 4; };
    const qint64 kept = qint64(from.height() + to.height() - 1) / to.height() + 3;
    return taps(from.width(), to.width()) + taps(from.height(), to.height()) + (kept + 1) * to.width() * 16 +
           qint64(from.width()) * 12 + 4096;
}

} // namespace picturescaling
