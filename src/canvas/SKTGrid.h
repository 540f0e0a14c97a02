#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QTimer>

// The grid shared by the three canvases: spacing, colour, whether it is always shown and whether new and
// moved items snap to it. Every change emits changed(), which the canvases use to repaint.
class SKTGrid : public QObject {
    Q_OBJECT
public:
    explicit SKTGrid(QObject* parent = nullptr);

    static constexpr double MinSpacing = 1.0; // points; 0 would divide by zero when aligning
    static constexpr double DefaultSpacing = 9.0;
    // How long a spacing or colour change shows a hidden grid.
    static constexpr int TemporaryShowMs = 1000;

    double spacing() const { return _spacing; }
    void setSpacing(double spacing); // clamped to at least MinSpacing
    QColor color() const { return _color; }
    void setColor(const QColor& color);

    bool isAlwaysShown() const { return _isAlwaysShown; }
    // Stores the flag, stops the temporary showing and notifies on every call.
    void setAlwaysShown(bool shown);
    bool isConstraining() const { return _isConstraining; }
    void setConstraining(bool constraining);
    // Whether the canvases draw the grid now: always shown, or shown for a moment after a change.
    bool isVisible() const { return _isAlwaysShown || _hidingTimer.isActive(); }

    // Each edge rounded to the nearest multiple of the spacing; width and height follow from the edges.
    QRectF alignedRect(const QRectF& rect) const;
    QPointF alignedPoint(const QPointF& point) const;
    double alignedValue(double value) const;

signals:
    void changed();
    // The always-shown flag changed; the window enables its align-with-grid command exactly when shown.
    void alwaysShownChanged(bool shown);

private:
    void showTemporarily();

    QColor _color;
    double _spacing = DefaultSpacing;
    bool _isAlwaysShown = false;
    bool _isConstraining = false;
    QTimer _hidingTimer;
};
