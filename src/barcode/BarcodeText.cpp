#include "barcode/BarcodeText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QTextBoundaryFinder>

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

} // namespace

namespace BarcodeText {

qreal capHeight(const QFont& font) {
    return QFontMetricsF(unhinted(font), const_cast<QPaintDevice*>(pointDevice())).capHeight();
}

qreal textWidth(const QFont& font, const QString& text) {
    return QFontMetricsF(unhinted(font), const_cast<QPaintDevice*>(pointDevice())).horizontalAdvance(text);
}

qreal ascent(const QFont& font) {
    return QFontMetricsF(unhinted(font), const_cast<QPaintDevice*>(pointDevice())).ascent();
}

QList<Cluster> clusters(const QFont& font, const QString& text) {
    const QFontMetricsF fm(unhinted(font), const_cast<QPaintDevice*>(pointDevice()));
    QList<Cluster> out;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        const QString part = text.mid(start, end - start);
        out.append({part, fm.horizontalAdvance(part)});
        start = end;
    }
    return out;
}

qreal lineHeight(const QFont& font) {
    return QFontMetricsF(unhinted(font), const_cast<QPaintDevice*>(pointDevice())).height();
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
