#pragma once

#include "canvas/SKTItems.h"
#include "common/Globals.h"

#include <QImage>
#include <QPainter>

#include <functional>
#include <memory>

namespace painttest {

inline void useShippedResources() { Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR); }

// A transparent 72 dpi picture.
inline QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::transparent);
    return image;
}

inline QImage drawn(const SKTGraphic& item, int w = 200, int h = 200)
{
    QImage image = canvas(w, h);
    QPainter p(&image);
    item.draw(p);
    p.end();
    return image;
}

// Bounding box of the pixels that pass the test (null rect when none).
inline QRect inkBox(const QImage& image, const std::function<bool(QRgb)>& ink = [](QRgb p) { return qAlpha(p) > 0; })
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int countPixels(const QImage& image, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

inline bool near(QRgb a, QRgb b, int tolerance = 3)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

template <class T> std::shared_ptr<T> make(const QRectF& bounds)
{
    auto item = std::make_shared<T>();
    item->setBounds(bounds);
    return item;
}

} // namespace painttest
