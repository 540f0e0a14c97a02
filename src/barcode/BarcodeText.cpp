#include "barcode/BarcodeText.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// A 72 dpi device, so one device unit is one point. One per thread: paint devices are not shared.
const QPaintDevice* pointDevice() {
    thread_local QImage image = [] {
        QImage img(1, 1, QImage::Format_ARGB32_Premultiplied);
        img.setDotsPerMeterX(2835); // 72 dpi
        img.setDotsPerMeterY(2835);
        return img;
    }();
    return &image;
}

QFont unhinted(const QFont& font) {
    QFont f(font);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

// One glyph of a laid-out cluster: which face draws it, and where relative to the cluster's baseline start.
struct GlyphRef {
    int face = 0;
    quint32 glyph = 0;
    QPointF pos;
};

struct ClusterLayout {
    qreal advance = 0;
    QList<GlyphRef> glyphs;
};

struct FontEntry {
    explicit FontEntry(const QFont& f, int entryId)
        : font(unhinted(f)), metrics(font, pointDevice()), capHeight(metrics.capHeight()),
          height(metrics.height()), ascent(metrics.ascent()), id(entryId) {}
    QFont font;
    QFontMetricsF metrics;
    qreal capHeight;
    qreal height;
    qreal ascent;
    int id;
    QList<QRawFont> faces; // the font and the fallbacks its clusters needed
    QHash<QString, ClusterLayout> clusters;
    std::array<ClusterLayout, 128> ascii; // single ASCII characters, found without a string
    std::array<bool, 128> asciiKnown{};
};

struct GlyphKey {
    int font;
    int face;
    quint32 glyph;
    int phase; // quarter pixel of the horizontal position
    qreal scale;
    QRgb colour;
    bool operator==(const GlyphKey&) const = default;
};

size_t qHash(const GlyphKey& k, size_t seed = 0) {
    quint64 scaleBits = 0;
    std::memcpy(&scaleBits, &k.scale, sizeof scaleBits);
    return qHashMulti(seed, k.font, k.face, k.glyph, k.phase, scaleBits, k.colour);
}

// The colour that asks for a glyph's coverage (Format_Alpha8) instead of a coloured bitmap.
constexpr QRgb kCoverage = 0;

struct GlyphBitmap {
    QImage image; // premultiplied in the glyph's colour, or its coverage; null for a glyph without ink
    QPoint offset;
    std::vector<std::pair<int, int>> inked; // per row, the columns [first, end) that hold any ink
};

// Bounds that keep the per-thread cache small whatever text comes by.
constexpr std::size_t kMaxFonts = 32;
constexpr std::size_t kRecentFonts = 4;
constexpr qsizetype kMaxClustersPerFont = 4096;
constexpr qsizetype kMaxGlyphBitmaps = 8192;

// A line of text drawn as coverage on an 8-bit image. A line met again (a header or footer on every image
// of a run) keeps its pixels, to be copied where nothing is drawn yet instead of drawn glyph by glyph.
struct CoverageLine {
    int font = -1;
    QString text;
    qreal kern = 0;
    qreal scale = 0;
    QPointF at;   // start of the baseline, points
    QRect area;   // image pixels its glyph bitmaps cover
    QImage strip; // Alpha8 pixels of `area`
    quint64 used = 0;
    bool is(int f, const QString& t, qreal k, qreal s, QPointF p) const {
        return font == f && kern == k && scale == s && at == p && text == t;
    }
};

constexpr std::size_t kMaxCoverageLines = 16;
constexpr qint64 kMaxStripPixels = 1 << 20;
constexpr std::size_t kSeenLines = 64;

struct Cache {
    std::unordered_map<QString, std::unique_ptr<FontEntry>> fonts;
    std::vector<CoverageLine> lines;
    std::array<size_t, kSeenLines> seenLines{}; // hashes of lines met once, the oldest overwritten first
    std::size_t nextSeen = 0;
    quint64 lineClock = 0;
    // The fonts asked for last, found without building their key.
    std::vector<std::pair<QFont, FontEntry*>> recent;
    QHash<GlyphKey, GlyphBitmap> glyphs;
    int nextId = 0;
};

Cache& cache() {
    thread_local Cache c;
    return c;
}

FontEntry& entryFor(const QFont& font) {
    Cache& c = cache();
    for (const auto& [f, entry] : c.recent)
        if (f == font)
            return *entry;
    const QString key = font.key();
    FontEntry* e = nullptr;
    const auto it = c.fonts.find(key);
    if (it != c.fonts.end()) {
        e = it->second.get();
    } else {
        if (c.fonts.size() >= kMaxFonts) {
            c.fonts.clear();
            c.glyphs.clear();
            c.recent.clear();
        }
        auto entry = std::make_unique<FontEntry>(font, c.nextId++);
        e = entry.get();
        c.fonts.emplace(key, std::move(entry));
    }
    if (c.recent.size() >= kRecentFonts)
        c.recent.erase(c.recent.begin());
    c.recent.emplace_back(font, e);
    return *e;
}

const ClusterLayout& layoutOf(FontEntry& e, const QString& cluster) {
    const auto found = e.clusters.constFind(cluster);
    if (found != e.clusters.constEnd())
        return *found;
    if (e.clusters.size() >= kMaxClustersPerFont)
        e.clusters.clear();
    ClusterLayout out;
    QTextLayout layout(cluster, e.font, pointDevice());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1.0e6);
    layout.endLayout();
    if (line.isValid()) {
        out.advance = line.horizontalAdvance();
        const qreal baseline = line.ascent();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        for (const QGlyphRun& run : runs) {
            const QRawFont raw = run.rawFont();
            qsizetype face = e.faces.indexOf(raw);
            if (face < 0) {
                e.faces.append(raw);
                face = e.faces.size() - 1;
            }
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
                out.glyphs.append({int(face), glyphs.at(i), positions.at(i) - QPointF(0, baseline)});
        }
    }
    return *e.clusters.insert(cluster, out);
}

bool isPlainAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0x7f || c == QLatin1Char('\r'))
            return false;
    return true;
}

const ClusterLayout& asciiLayout(FontEntry& e, char16_t c) {
    if (!e.asciiKnown[c]) {
        e.ascii[c] = layoutOf(e, QString(QChar(c)));
        e.asciiKnown[c] = true;
    }
    return e.ascii[c];
}

// Calls `f` with the layout, start and length of each piece drawn one after another: single characters of plain ASCII text,
// grapheme clusters, or the whole text when it needs no spacing and may need shaping across its characters.
template <typename F>
void forEachUnit(FontEntry& e, const QString& text, bool spaced, F&& f) {
    if (isPlainAscii(text)) {
        for (qsizetype i = 0; i < text.size(); ++i)
            f(asciiLayout(e, text.at(i).unicode()), i, 1);
        return;
    }
    if (!spaced) {
        f(layoutOf(e, text), 0, text.size());
        return;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        f(layoutOf(e, text.mid(start, end - start)), start, end - start);
        start = end;
    }
}

// The alpha bytes of a glyph drawn in black (its coverage), in rows a multiple of 16 bytes wide that are
// zero beyond the glyph, so they can be laid over an image 16 pixels at a time.
QImage coverageOf(const QImage& black) {
    QImage out((black.width() + 15) / 16 * 16, black.height(), QImage::Format_Alpha8);
    out.fill(0);
    for (int y = 0; y < black.height(); ++y) {
        const auto* from = reinterpret_cast<const uint*>(black.constScanLine(y));
        uchar* to = out.scanLine(y);
        for (int x = 0; x < black.width(); ++x)
            to[x] = uchar(qAlpha(from[x]));
    }
    return out;
}

const GlyphBitmap& glyphBitmap(const FontEntry& e, const GlyphRef& g, int phase, qreal scale,
                               const QColor& colour) {
    Cache& c = cache();
    const GlyphKey key{e.id, g.face, g.glyph, phase, scale, colour.rgba()};
    const auto found = c.glyphs.constFind(key);
    if (found != c.glyphs.constEnd())
        return *found;
    if (c.glyphs.size() >= kMaxGlyphBitmaps)
        c.glyphs.clear();
    GlyphBitmap bitmap;
    QTransform t;
    t.translate(phase / 4.0, 0);
    t.scale(scale, scale);
    const QPainterPath path = t.map(e.faces.at(g.face).pathForGlyph(g.glyph));
    const QRect area = path.boundingRect().toAlignedRect();
    if (!path.isEmpty() && !area.isEmpty()) {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(-area.topLeft());
        p.fillPath(path, key.colour == kCoverage ? QColor(Qt::black) : colour);
        p.end();
        bitmap.image = key.colour == kCoverage ? coverageOf(image) : image;
        bitmap.offset = area.topLeft();
        bitmap.inked.reserve(std::size_t(image.height()));
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const uint*>(image.constScanLine(y));
            int first = 0;
            int end = image.width();
            while (first < end && row[first] == 0)
                ++first;
            while (end > first && row[end - 1] == 0)
                --end;
            bitmap.inked.emplace_back(first, end);
        }
    }
    return *c.glyphs.insert(key, bitmap);
}

// Draws the text's glyph bitmaps at whole device pixels of `t` (a scale, maybe with a translation).
template <typename Blit>
void placeGlyphs(FontEntry& e, const QString& text, const QTransform& t, const QColor& color, qreal kern, qreal x,
                 qreal baseline, Blit&& blit) {
    qreal cx = x;
    forEachUnit(e, text, kern != 0, [&](const ClusterLayout& c, qsizetype, qsizetype) {
        for (const GlyphRef& g : c.glyphs) {
            const QPointF d = t.map(QPointF(cx + g.pos.x(), baseline + g.pos.y()));
            const qreal fx = std::floor(d.x());
            const int phase = std::clamp(int((d.x() - fx) * 4.0), 0, 3);
            const GlyphBitmap& b = glyphBitmap(e, g, phase, t.m11(), color);
            if (!b.image.isNull())
                blit(QPoint(int(fx), qRound(d.y())) + b.offset, b);
        }
        cx += c.advance + kern;
    });
}

// x * a / 255 on each byte, rounded as Qt's raster engine does.
inline uint byteMul(uint x, uint a) {
    uint t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080);
    x &= 0xff00ff00;
    return x | t;
}

// Source-over of a glyph bitmap onto a premultiplied image, clipped to the image: the pixels
// QPainter::drawImage gives at a whole-pixel position without a transform.
void blendOver(QImage& dst, QPoint at, const GlyphBitmap& glyph) {
    const QImage& src = glyph.image;
    const QRect r = QRect(at, src.size()) & dst.rect();
    if (r.isEmpty())
        return;
    uchar* bits = dst.bits();
    const qsizetype bpl = dst.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const int sy = y - at.y();
        const int from = std::max(r.left(), at.x() + glyph.inked[std::size_t(sy)].first);
        const int to = std::min(r.right() + 1, at.x() + glyph.inked[std::size_t(sy)].second);
        const auto* s = reinterpret_cast<const uint*>(src.constScanLine(sy)) - at.x();
        auto* d = reinterpret_cast<uint*>(bits + y * bpl);
        for (int x = from; x < to; ++x) {
            const uint p = s[x];
            if (p >= 0xff000000u)
                d[x] = p;
            else if (p != 0)
                d[x] = p + byteMul(d[x], 255 - qAlpha(p));
        }
    }
}

inline uchar coverOne(uint a, uint under) {
    const uint t = under * (255 - a);
    return uchar(a + ((t + (t >> 8) + 0x80) >> 8));
}

// Sixteen pixels of coverage laid over an 8-bit image's; zero coverage leaves a pixel as it is.
inline void coverSixteen(const uchar* s, uchar* d) {
    quint64 s0, s1, d0, d1;
    std::memcpy(&s0, s, 8);
    std::memcpy(&s1, s + 8, 8);
    if ((s0 | s1) == 0)
        return;
    std::memcpy(&d0, d, 8);
    std::memcpy(&d1, d + 8, 8);
    if ((d0 | d1) == 0) { // glyphs seldom overlap ink
        std::memcpy(d, s, 16);
        return;
    }
    for (int k = 0; k < 16; ++k)
        d[k] = coverOne(s[k], d[k]);
}

// Coverage of a glyph (from coverageOf) laid over the coverage in an 8-bit image, clipped to the image: the
// alpha byte that blendOver gives for the same glyph in black.
void coverOver(QImage& dst, QPoint at, const GlyphBitmap& glyph) {
    const QImage& src = glyph.image;
    const QRect r = QRect(at, src.size()) & dst.rect();
    if (r.isEmpty())
        return;
    const bool whole = r.left() == at.x() && r.width() == src.width();
    uchar* bits = dst.bits();
    const qsizetype bpl = dst.bytesPerLine();
    const uchar* srcBits = src.constBits();
    const qsizetype srcBpl = src.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto [first, end] = glyph.inked[std::size_t(y - at.y())];
        const uchar* s = srcBits + (y - at.y()) * srcBpl - at.x();
        uchar* d = bits + y * bpl;
        if (whole) {
            for (int x = at.x() + (first & ~15); x < at.x() + end; x += 16)
                coverSixteen(s + x, d + x);
            continue;
        }
        const int to = std::min(r.right() + 1, at.x() + end);
        for (int x = std::max(r.left(), at.x() + first); x < to; ++x)
            d[x] = coverOne(s[x], d[x]);
    }
}

} // namespace

namespace BarcodeText {

qreal capHeight(const QFont& font) {
    return entryFor(font).capHeight;
}

qreal textWidth(const QFont& font, const QString& text) {
    return spacedWidth(font, text, 0);
}

qreal ascent(const QFont& font) {
    return entryFor(font).ascent;
}

qreal lineHeight(const QFont& font) {
    return entryFor(font).height;
}

QList<Cluster> clusters(const QFont& font, const QString& text) {
    FontEntry& e = entryFor(font);
    QList<Cluster> out;
    forEachUnit(e, text, true, [&](const ClusterLayout& c, qsizetype start, qsizetype length) {
        out.append({text.mid(start, length), c.advance});
    });
    return out;
}

qreal spacedWidth(const QFont& font, const QString& text, qreal kern) {
    FontEntry& e = entryFor(font);
    qreal w = 0;
    int units = 0;
    forEachUnit(e, text, kern != 0, [&](const ClusterLayout& c, qsizetype, qsizetype) {
        w += c.advance;
        ++units;
    });
    return units > 1 ? w + kern * (units - 1) : w;
}

FittedSize fitToWidth(const QFont& font, const QString& text, qreal kern, qreal room) {
    const qreal designed = font.pointSizeF();
    FittedSize out{designed, true};
    if (text.isEmpty() || !(designed > 0) || spacedWidth(font, text, kern) <= room + 0.01)
        return out;
    // Width grows about in step with the size: each try aims at the room, a little under.
    const qreal least = std::min(kLeastFittedPoints, designed);
    QFont f = font;
    qreal size = designed;
    for (int i = 0; i < 16; ++i) {
        f.setPointSizeF(size);
        const qreal w = spacedWidth(f, text, kern * size / designed);
        if (w <= room + 0.01)
            break;
        if (size <= least) {
            out.fits = false;
            break;
        }
        size = std::max(least, size * std::min(0.98, room / w));
    }
    out.points = size;
    return out;
}

void drawText(QPainter& p, const QFont& font, const QColor& color, const QString& text, qreal kern, qreal x,
              qreal baseline) {
    // Clear ink draws nothing (and its colour, 0, is the one that asks for coverage bitmaps).
    if (text.isEmpty() || color.alpha() == 0)
        return;
    FontEntry& e = entryFor(font);
    const QTransform t = p.combinedTransform();
    const QPaintDevice* device = p.device();
    const bool raster = device && device->devType() == QInternal::Image && p.paintEngine() &&
                        p.paintEngine()->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale &&
                        t.m11() > 0 && qFuzzyCompare(t.m11(), t.m22());
    if (raster) {
        // Glyph bitmaps of this thread's cache placed on whole pixels (a quarter pixel apart horizontally).
        p.save();
        p.resetTransform();
        placeGlyphs(e, text, t, color, kern, x, baseline,
                    [&p](QPoint at, const GlyphBitmap& glyph) { p.drawImage(at, glyph.image); });
        p.restore();
        return;
    }
    // Other devices (PDF, printers) take the glyphs as text.
    p.save();
    p.setPen(color);
    qreal cx = x;
    forEachUnit(e, text, kern != 0, [&](const ClusterLayout& c, qsizetype, qsizetype) {
        for (const GlyphRef& g : c.glyphs) {
            QGlyphRun run;
            run.setRawFont(e.faces.at(g.face));
            run.setGlyphIndexes({g.glyph});
            run.setPositions({QPointF(cx + g.pos.x(), baseline + g.pos.y())});
            p.drawGlyphRun(QPointF(0, 0), run);
        }
        cx += c.advance + kern;
    });
    p.restore();
}

void drawTextOnImage(QImage& image, qreal scale, const QFont& font, const QColor& color, const QString& text,
                     qreal kern, qreal x, qreal baseline) {
    if (text.isEmpty() || color.alpha() == 0 || image.format() != QImage::Format_ARGB32_Premultiplied ||
        !(scale > 0))
        return;
    FontEntry& e = entryFor(font);
    placeGlyphs(e, text, QTransform::fromScale(scale, scale), color, kern, x, baseline,
                [&image](QPoint at, const GlyphBitmap& glyph) { blendOver(image, at, glyph); });
}

QRect drawCoverageOnImage(QImage& image, qreal scale, const QFont& font, const QString& text, qreal kern, qreal x,
                          qreal baseline, const std::vector<QRect>& drawn) {
    if (text.isEmpty() || image.depth() != 8 || !(scale > 0))
        return QRect();
    FontEntry& e = entryFor(font);
    const QTransform t = QTransform::fromScale(scale, scale);
    const QColor coverage = QColor::fromRgba(kCoverage);
    const auto drawGlyphs = [&](QImage& onto, QPoint origin) {
        QRect area;
        placeGlyphs(e, text, t, coverage, kern, x, baseline, [&](QPoint p, const GlyphBitmap& glyph) {
            coverOver(onto, p - origin, glyph);
            area |= QRect(p, glyph.image.size());
        });
        return area;
    };
    Cache& c = cache();
    const QPointF at(x, baseline);
    auto line =
        std::find_if(c.lines.begin(), c.lines.end(), [&](const CoverageLine& l) { return l.is(e.id, text, kern, scale, at); });
    if (line == c.lines.end()) {
        const size_t hash = qHashMulti(0, e.id, text, kern, scale, x, baseline);
        const auto seen = std::find(c.seenLines.begin(), c.seenLines.end(), hash);
        if (seen == c.seenLines.end()) {
            c.seenLines[c.nextSeen] = hash;
            c.nextSeen = (c.nextSeen + 1) % kSeenLines;
            return drawGlyphs(image, QPoint());
        }
        // Met a second time: keep its pixels, in the place of the line used longest ago.
        *seen = 0;
        QRect area;
        placeGlyphs(e, text, t, coverage, kern, x, baseline,
                    [&](QPoint p, const GlyphBitmap& glyph) { area |= QRect(p, glyph.image.size()); });
        QImage strip;
        if (qint64(area.width()) * area.height() <= kMaxStripPixels)
            strip = QImage(area.size().expandedTo(QSize(1, 1)), QImage::Format_Alpha8);
        if (strip.isNull())
            return drawGlyphs(image, QPoint());
        strip.fill(0);
        drawGlyphs(strip, area.topLeft());
        if (c.lines.size() < kMaxCoverageLines)
            line = c.lines.emplace(c.lines.end());
        else
            line = std::min_element(c.lines.begin(), c.lines.end(),
                                    [](const CoverageLine& a, const CoverageLine& b) { return a.used < b.used; });
        *line = CoverageLine{e.id, text, kern, scale, at, area, strip, 0};
    }
    line->used = ++c.lineClock;
    const QRect area = line->area;
    if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(area); }))
        return drawGlyphs(image, QPoint());
    // Nothing lies under the line yet, so its pixels are the coverage the glyphs would leave.
    const QRect r = area & image.rect();
    uchar* bits = image.bits();
    const qsizetype bpl = image.bytesPerLine();
    const uchar* from = line->strip.constBits() + (r.left() - area.left());
    const qsizetype stripBpl = line->strip.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(bits + y * bpl + r.left(), from + (y - area.top()) * stripBpl, std::size_t(r.width()));
    return area;
}

const QList<QRgb>& coverageColours(QRgb ink, QRgb background) {
    thread_local QRgb lastInk = 0;
    thread_local QRgb lastBackground = 0;
    thread_local QList<QRgb> table;
    if (table.isEmpty() || ink != lastInk || background != lastBackground) {
        table.resize(256);
        for (uint k = 0; k < 256; ++k)
            table[k] = byteMul(ink, k) + byteMul(background, 255 - k);
        lastInk = ink;
        lastBackground = background;
    }
    return table;
}

QFont deviceFont(const QFont& font, const QPaintDevice* device) {
    QFont f = unhinted(font);
    const qreal dpi = device ? device->logicalDpiY() : 72.0;
    const qreal factor = dpi > 0 ? 72.0 / dpi : 1.0;
    qreal size = font.pointSizeF();
    if (size <= 0)
        size = font.pixelSize() > 0 ? font.pixelSize() : 10.0;
    f.setPointSizeF(size * factor);
    return f;
}

} // namespace BarcodeText
