#include "output/ColourPalette.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace ColourPalette {

namespace {

constexpr int kColours = 256;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// Colours gathered in cells of 5 bits a channel: how many pixels, and the sums of their channels.
struct Cell {
    quint32 count = 0;
    quint64 r = 0, g = 0, b = 0;
};

struct Entry {
    double r, g, b;
    quint64 count;
};

// A box of the median cut: cells [begin, end) of the cell list.
struct Box {
    int begin, end;
    double error; // sum of squared distances of its pixels from its mean
};

Entry meanOf(const std::vector<Entry>& cells, int begin, int end) {
    Entry m{0, 0, 0, 0};
    for (int i = begin; i < end; ++i) {
        const Entry& c = cells[std::size_t(i)];
        m.r += c.r * double(c.count);
        m.g += c.g * double(c.count);
        m.b += c.b * double(c.count);
        m.count += c.count;
    }
    if (m.count) {
        m.r /= double(m.count);
        m.g /= double(m.count);
        m.b /= double(m.count);
    }
    return m;
}

double errorOf(const std::vector<Entry>& cells, const Box& box) {
    const Entry m = meanOf(cells, box.begin, box.end);
    double e = 0;
    for (int i = box.begin; i < box.end; ++i) {
        const Entry& c = cells[std::size_t(i)];
        const double dr = c.r - m.r, dg = c.g - m.g, db = c.b - m.b;
        e += double(c.count) * (dr * dr + dg * dg + db * db);
    }
    return e;
}

// Splits the box at the pixel median of its widest channel; false when it holds one cell.
bool split(std::vector<Entry>& cells, const Box& box, Box& low, Box& high) {
    if (box.end - box.begin < 2)
        return false;
    double lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int i = box.begin; i < box.end; ++i) {
        const Entry& c = cells[std::size_t(i)];
        const double v[3] = {c.r, c.g, c.b};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], v[k]);
            hi[k] = std::max(hi[k], v[k]);
        }
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (hi[k] - lo[k] > hi[axis] - lo[axis])
            axis = k;
    const auto key = [axis](const Entry& e) { return axis == 0 ? e.r : axis == 1 ? e.g : e.b; };
    std::sort(cells.begin() + box.begin, cells.begin() + box.end,
              [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
    quint64 total = 0;
    for (int i = box.begin; i < box.end; ++i)
        total += cells[std::size_t(i)].count;
    quint64 seen = 0;
    int at = box.begin + 1;
    for (int i = box.begin; i < box.end - 1; ++i) {
        seen += cells[std::size_t(i)].count;
        at = i + 1;
        if (2 * seen >= total)
            break;
    }
    low = {box.begin, at, 0};
    high = {at, box.end, 0};
    low.error = errorOf(cells, low);
    high.error = errorOf(cells, high);
    return true;
}

int nearest(const std::vector<QRgb>& palette, int r, int g, int b) {
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < int(palette.size()); ++i) {
        const QRgb p = palette[std::size_t(i)];
        const int dr = qRed(p) - r, dg = qGreen(p) - g, db = qBlue(p) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

QRgb rgbOf(const Entry& e) {
    return qRgb(int(e.r + 0.5), int(e.g + 0.5), int(e.b + 0.5));
}

// Median cut over the cells, then rounds of moving each colour to the mean of the cells nearest to it.
std::vector<QRgb> cutPalette(std::vector<Entry> cells) {
    std::vector<Box> boxes{{0, int(cells.size()), 0}};
    boxes[0].error = errorOf(cells, boxes[0]);
    while (int(boxes.size()) < kColours - 2) {
        const auto worst =
            std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0)
            break;
        Box low{}, high{};
        if (!split(cells, *worst, low, high)) {
            worst->error = 0;
            continue;
        }
        *worst = low;
        boxes.push_back(high);
    }
    std::vector<QRgb> palette{kWhite, kBlack};
    for (const Box& box : boxes)
        palette.push_back(rgbOf(meanOf(cells, box.begin, box.end)));
    for (int round = 0; round < 3; ++round) {
        std::vector<Entry> sums(palette.size(), Entry{0, 0, 0, 0});
        for (const Entry& c : cells) {
            Entry& s = sums[std::size_t(nearest(palette, int(c.r + 0.5), int(c.g + 0.5), int(c.b + 0.5)))];
            s.r += c.r * double(c.count);
            s.g += c.g * double(c.count);
            s.b += c.b * double(c.count);
            s.count += c.count;
        }
        for (std::size_t i = 2; i < palette.size(); ++i) { // white and black stay exact
            if (sums[i].count)
                palette[i] = rgbOf({sums[i].r / double(sums[i].count), sums[i].g / double(sums[i].count),
                                    sums[i].b / double(sums[i].count), 0});
        }
    }
    return palette;
}

} // namespace

QImage toIndexed8(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return QImage();
    const int w = rgb.width(), h = rgb.height();
    QImage out(w, h, QImage::Format_Indexed8);
    if (out.isNull())
        return out;
    out.setDotsPerMeterX(rgb.dotsPerMeterX());
    out.setDotsPerMeterY(rgb.dotsPerMeterY());

    // Few colours: an exact palette.
    QHash<QRgb, int> exact;
    bool few = true;
    std::vector<Cell> cells(1 << 15);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        QRgb previous = 0;
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xFF000000;
            const int r = qRed(c), g = qGreen(c), b = qBlue(c);
            Cell& cell = cells[std::size_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))];
            ++cell.count;
            cell.r += quint64(r);
            cell.g += quint64(g);
            cell.b += quint64(b);
            if (few && (x == 0 || c != previous) && !exact.contains(c)) {
                if (exact.size() == kColours)
                    few = false;
                else
                    exact.insert(c, int(exact.size()));
            }
            previous = c;
        }
    }

    std::vector<QRgb> palette;
    if (few) {
        palette.resize(std::size_t(exact.size()));
        for (auto it = exact.cbegin(); it != exact.cend(); ++it)
            palette[std::size_t(it.value())] = it.key();
    } else {
        std::vector<Entry> used;
        for (const Cell& c : cells) {
            if (c.count)
                used.push_back({double(c.r) / c.count, double(c.g) / c.count, double(c.b) / c.count, c.count});
        }
        palette = cutPalette(std::move(used));
    }
    out.setColorTable(QList<QRgb>(palette.begin(), palette.end()));

    // Nearest colours, looked up once per cell of 6 bits a channel; the palette's own colours map to
    // themselves.
    std::vector<int16_t> lookup(1 << 18, -1);
    QHash<QRgb, int> own;
    for (int i = 0; i < int(palette.size()); ++i)
        own.insert(palette[std::size_t(i)], i);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* target = out.scanLine(y);
        QRgb previous = 0;
        int previousIndex = -1;
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xFF000000;
            if (c == previous && previousIndex >= 0) {
                target[x] = uchar(previousIndex);
                continue;
            }
            int index;
            if (few) {
                index = exact.value(c);
            } else if (const auto it = own.constFind(c); it != own.cend()) {
                index = it.value();
            } else {
                const int r = qRed(c), g = qGreen(c), b = qBlue(c);
                int16_t& slot = lookup[std::size_t(((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2))];
                if (slot < 0)
                    slot = int16_t(nearest(palette, (r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2));
                index = slot;
            }
            target[x] = uchar(index);
            previous = c;
            previousIndex = index;
        }
    }
    return out;
}

} // namespace ColourPalette
