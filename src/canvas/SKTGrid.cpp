#include "canvas/SKTGrid.h"

#include <cmath>

SKTGrid::SKTGrid(QObject* parent) : QObject(parent), _color(QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3))
{
    _hidingTimer.setSingleShot(true);
    _hidingTimer.setInterval(TemporaryShowMs);
    connect(&_hidingTimer, &QTimer::timeout, this, &SKTGrid::changed);
}

void SKTGrid::setSpacing(double spacing)
{
    if (!std::isfinite(spacing) || spacing < MinSpacing)
        spacing = MinSpacing;
    if (spacing == _spacing)
        return;
    _spacing = spacing;
    showTemporarily();
    emit changed();
}

void SKTGrid::setColor(const QColor& color)
{
    if (color == _color)
        return;
    _color = color;
    showTemporarily();
    emit changed();
}

void SKTGrid::setAlwaysShown(bool shown)
{
    const bool differs = shown != _isAlwaysShown;
    _isAlwaysShown = shown;
    _hidingTimer.stop();
    if (differs)
        emit alwaysShownChanged(shown);
    emit changed();
}

void SKTGrid::setConstraining(bool constraining)
{
    if (constraining == _isConstraining)
        return;
    _isConstraining = constraining;
    emit changed();
}

void SKTGrid::showTemporarily()
{
    if (!_isAlwaysShown)
        _hidingTimer.start();
}

double SKTGrid::alignedValue(double value) const
{
    const double s = std::max(_spacing, MinSpacing);
    return std::floor(value / s + 0.5) * s;
}

QPointF SKTGrid::alignedPoint(const QPointF& point) const
{
    return QPointF(alignedValue(point.x()), alignedValue(point.y()));
}

QRectF SKTGrid::alignedRect(const QRectF& rect) const
{
    const double left = alignedValue(rect.left());
    const double top = alignedValue(rect.top());
    const double right = alignedValue(rect.right());
    const double bottom = alignedValue(rect.bottom());
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}
