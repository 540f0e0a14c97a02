#pragma once

#include <QProxyStyle>

// The program's style: the desktop's own, except that the pictures it draws from Qt's own resources (the
// overflow arrows of menu bars and toolbars, Fusion's group-box frame) are read as the PNGs they are. Qt
// reads them by guessing their format, and the first picture read that way loads every picture-format
// plugin: a wait the first window should not have. The arrows are read when first drawn.
class AppStyle : public QProxyStyle {
public:
    // base: the style to follow; by default the desktop's.
    explicit AppStyle(QStyle* base = nullptr);
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
