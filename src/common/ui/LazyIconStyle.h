#pragma once

#include <QProxyStyle>

// The desktop's own style, except that the extension arrows of menu bars and toolbars (shown only when
// they overflow) are read from their files when first drawn rather than when the bar is built. Reading
// the first picture file makes Qt load every picture-format plugin, which a window should not wait for.
class LazyIconStyle : public QProxyStyle {
public:
    LazyIconStyle();
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
