#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPair>
#include <QProxyStyle>

class QStyleOptionSlider;
class QStyleOptionToolBar;

// The program's style: the desktop's own, except that
// - the pictures it draws from Qt's own resources (the overflow arrows of menu bars and toolbars, Fusion's
//   group-box frame) are read as the PNGs they are. Qt reads them by guessing their format, and the first
//   picture read that way loads every picture-format plugin: a wait the first window should not have. The
//   arrows are read when first drawn, or ahead (readPicturesAhead).
// - Fusion's main-window toolbars, scroll bars and tab-widget frames are drawn in opaque colours, without
//   their gradients and translucent lines; table headers are drawn narrow and stretched, and group-box
//   frames in bands. Qt shares every tall or wide blended fill among its paint threads, and on a busy
//   machine waking them takes far longer than the fill: these made up most of the first window's paint.
class AppStyle : public QProxyStyle {
public:
    // base: the style to follow; by default the desktop's.
    explicit AppStyle(QStyle* base = nullptr);
    // Reads the pictures a main window's first paint draws (on any thread, once the application exists),
    // for the paint to take instead of reading them itself; this also sets up Qt's picture readers.
    static void readPicturesAhead();
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

    // A tab bar marked compact has tabs padded 7 pixels across and 4 up and down, closer than the style's own.
    static void makeCompact(QWidget* tabBar);

private:
    bool basedOnFusion() const;
    void drawTabWidgetFrame(const QStyleOption& option, QPainter* painter, const QWidget* widget) const;
    void drawGroupBoxFrame(QPainter* painter, const QRect& target, const QPixmap& frame) const;
    void drawToolBar(const QStyleOptionToolBar& bar, QPainter* painter) const;
    bool drawHeaderSection(const QStyleOption& option, QPainter* painter, const QWidget* widget) const;
    void drawScrollBar(const QStyleOptionSlider& bar, QPainter* painter, const QWidget* widget) const;

    // Fusion's tab-widget frame drawn small on the window colour, by palette, colour group and tab shape.
    mutable QHash<QPair<qint64, int>, QImage> m_tabFrames;
    // Fusion's title-bar button icons, which depend on nothing but their kind.
    mutable QHash<int, QIcon> m_titleIcons;
};
