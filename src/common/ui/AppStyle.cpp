#include "common/ui/AppStyle.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>
#include <qdrawutil.h>

#include <algorithm>

namespace {

const QString Pictures = QStringLiteral(":/qt-project.org/styles/commonstyle/images/");

// One of Qt's style pictures, read as PNG; null when Qt has no such picture.
QPixmap stylePicture(const QString& name) {
    const QString path = Pictures + name;
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    if (!QFile::exists(path))
        return pixmap;
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    pixmap = QPixmap::fromImage(reader.read());
    if (!pixmap.isNull())
        QPixmapCache::insert(path, pixmap);
    return pixmap;
}

// An overflow arrow, made from its pictures on the first call that needs them; from the base style when
// Qt's pictures are not where they were.
class ArrowIconEngine : public QIconEngine {
public:
    ArrowIconEngine(QStyle* base, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
        : m_base(base), m_which(which), m_direction(direction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new ArrowIconEngine(*this); }
    QString key() const override { return QStringLiteral("ArrowIconEngine"); }

private:
    const QIcon& icon() {
        if (m_made)
            return m_icon;
        m_made = true;
        static constexpr int HorizontalSizes[] = {8, 16, 32};
        static constexpr int VerticalSizes[] = {5, 10, 20};
        const bool horizontal = m_which == QStyle::SP_ToolBarHorizontalExtensionButton;
        const QString stem = horizontal ? (m_direction == Qt::RightToLeft ? QStringLiteral("toolbar-ext-h-rtl-")
                                                                          : QStringLiteral("toolbar-ext-h-"))
                                        : QStringLiteral("toolbar-ext-v-");
        for (const int size : horizontal ? HorizontalSizes : VerticalSizes) {
            const QPixmap picture = stylePicture(stem + QString::number(size) + QStringLiteral(".png"));
            if (picture.isNull()) {
                m_icon = QIcon();
                break;
            }
            m_icon.addPixmap(picture);
        }
        if (m_icon.isNull() && m_base) {
            QStyleOption option;
            option.direction = m_direction;
            m_icon = m_base->standardIcon(m_which, &option);
        }
        return m_icon;
    }

    QPointer<QStyle> m_base;
    QStyle::StandardPixmap m_which;
    Qt::LayoutDirection m_direction;
    bool m_made = false;
    QIcon m_icon;
};

} // namespace

AppStyle::AppStyle(QStyle* base) : QProxyStyle(base) {}

QIcon AppStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                             const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const Qt::LayoutDirection direction = option ? option->direction
                                          : widget ? widget->layoutDirection()
                                                   : QGuiApplication::layoutDirection();
    return QIcon(new ArrowIconEngine(baseStyle(), standardIcon, direction));
}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    if (element == PE_FrameGroupBox && baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        const QPixmap frame = stylePicture(QStringLiteral("fusion_groupbox.png"));
        if (!frame.isNull()) {
            // As Fusion draws it: below the title or check box, if the box has either.
            const auto* box = qobject_cast<const QGroupBox*>(widget);
            const bool bare = box && !box->isCheckable() && box->title().isEmpty();
            const int top = 3 + (bare ? 0 : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()));
            qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), frame);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
