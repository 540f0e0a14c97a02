#include "common/ui/AppStyle.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMutex>
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

QImage readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// Pictures read on another thread before the window first needs them; each is taken once.
struct ReadAhead {
    QMutex mutex;
    QHash<QString, QImage> images;
};

ReadAhead& readAhead() {
    static ReadAhead store;
    return store;
}

QString arrowStem(bool horizontal, Qt::LayoutDirection direction) {
    return horizontal ? (direction == Qt::RightToLeft ? QStringLiteral("toolbar-ext-h-rtl-")
                                                      : QStringLiteral("toolbar-ext-h-"))
                      : QStringLiteral("toolbar-ext-v-");
}

constexpr int HorizontalArrowSizes[] = {8, 16, 32};
constexpr int VerticalArrowSizes[] = {5, 10, 20};

// One of Qt's style pictures, read as PNG; null when Qt has no such picture.
QPixmap stylePicture(const QString& name) {
    const QString path = Pictures + name;
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    QImage image;
    {
        const QMutexLocker lock(&readAhead().mutex);
        image = readAhead().images.take(path);
    }
    if (image.isNull()) {
        if (!QFile::exists(path))
            return pixmap;
        image = readPng(path);
    }
    pixmap = QPixmap::fromImage(std::move(image));
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
        const bool horizontal = m_which == QStyle::SP_ToolBarHorizontalExtensionButton;
        const QString stem = arrowStem(horizontal, m_direction);
        for (const int size : horizontal ? HorizontalArrowSizes : VerticalArrowSizes) {
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

// The opaque colour a translucent ink leaves on a background.
QColor over(const QColor& background, const QColor& ink) {
    const double a = ink.alphaF();
    return QColor::fromRgbF(float(ink.redF() * a + background.redF() * (1 - a)),
                            float(ink.greenF() * a + background.greenF() * (1 - a)),
                            float(ink.blueF() * a + background.blueF() * (1 - a)));
}

// A one-pixel outline inside rect, as opaque fills.
void outline(QPainter* painter, const QRect& rect, const QColor& colour) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter->fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

// Draws a frame from a small drawing of it on an opaque background: its corners copied, its edge lines and
// middle stretched as opaque fills. Exact for frames whose edges and middle are even between the corners.
void drawFromSample(QPainter* painter, const QRect& r, const QImage& s, int corner) {
    const int side = s.width();
    const int middle = side / 2;
    for (int d = 0; d < corner; ++d) {
        const int across = r.width() - 2 * corner, down = r.height() - 2 * corner;
        painter->fillRect(QRect(r.left() + corner, r.top() + d, across, 1), s.pixelColor(middle, d));
        painter->fillRect(QRect(r.left() + corner, r.bottom() - d, across, 1), s.pixelColor(middle, side - 1 - d));
        painter->fillRect(QRect(r.left() + d, r.top() + corner, 1, down), s.pixelColor(d, middle));
        painter->fillRect(QRect(r.right() - d, r.top() + corner, 1, down), s.pixelColor(side - 1 - d, middle));
    }
    painter->fillRect(r.adjusted(corner, corner, -corner, -corner), s.pixelColor(middle, middle));
    const QPoint corners[4] = {r.topLeft(), {r.right() - corner + 1, r.top()}, {r.left(), r.bottom() - corner + 1},
                               {r.right() - corner + 1, r.bottom() - corner + 1}};
    const QPoint sampleCorners[4] = {{0, 0}, {side - corner, 0}, {0, side - corner}, {side - corner, side - corner}};
    for (int i = 0; i < 4; ++i)
        painter->drawImage(corners[i], s, QRect(sampleCorners[i], QSize(corner, corner)));
}

} // namespace

AppStyle::AppStyle(QStyle* base) : QProxyStyle(base) {}

void AppStyle::readPicturesAhead() {
    QStringList names = {QStringLiteral("fusion_groupbox.png")};
    const QString stem = arrowStem(true, QGuiApplication::layoutDirection());
    for (const int size : HorizontalArrowSizes)
        names << stem + QString::number(size) + QStringLiteral(".png");
    for (const QString& name : names) {
        const QImage image = readPng(Pictures + name);
        if (image.isNull())
            continue;
        const QMutexLocker lock(&readAhead().mutex);
        readAhead().images.insert(Pictures + name, image);
    }
}

QIcon AppStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                             const QWidget* widget) const {
    // Fusion makes its title-bar buttons from the same small drawings on every call, and a dock widget asks
    // for them whenever it lays out its title.
    const bool titleButton = standardIcon == SP_TitleBarNormalButton || standardIcon == SP_TitleBarMinButton ||
                             standardIcon == SP_TitleBarCloseButton || standardIcon == SP_DockWidgetCloseButton;
    if (titleButton && basedOnFusion()) {
        QIcon& icon = m_titleIcons[standardIcon];
        if (icon.isNull())
            icon = QProxyStyle::standardIcon(standardIcon, option, widget);
        return icon;
    }
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const Qt::LayoutDirection direction = option ? option->direction
                                          : widget ? widget->layoutDirection()
                                                   : QGuiApplication::layoutDirection();
    return QIcon(new ArrowIconEngine(baseStyle(), standardIcon, direction));
}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    if (element == PE_FrameTabWidget && basedOnFusion()) {
        drawTabWidgetFrame(*option, painter, widget);
        return;
    }
    if (element == PE_FrameGroupBox && basedOnFusion()) {
        const QPixmap frame = stylePicture(QStringLiteral("fusion_groupbox.png"));
        if (!frame.isNull()) {
            // As Fusion draws it: below the title or check box, if the box has either.
            const auto* box = qobject_cast<const QGroupBox*>(widget);
            const bool bare = box && !box->isCheckable() && box->title().isEmpty();
            const int top = 3 + (bare ? 0 : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()));
            drawGroupBoxFrame(painter, option->rect.adjusted(0, top, 0, 0), frame);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool AppStyle::basedOnFusion() const {
    return baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

namespace {
const char* const CompactTabs = "appStyleCompactTabs";
}

void AppStyle::makeCompact(QWidget* tabBar) {
    tabBar->setProperty(CompactTabs, true);
}

int AppStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    if ((metric == PM_TabBarTabHSpace || metric == PM_TabBarTabVSpace) && widget
        && widget->property(CompactTabs).toBool())
        return metric == PM_TabBarTabHSpace ? 14 : 8;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void AppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const {
    if (element == CE_ToolBar && basedOnFusion()) {
        // Fusion draws only the toolbars of a main window.
        const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
        if (bar && !(widget && !qobject_cast<const QMainWindow*>(widget->parentWidget())))
            drawToolBar(*bar, painter);
        if (bar)
            return;
    }
    if (element == CE_HeaderSection && basedOnFusion() && drawHeaderSection(*option, painter, widget))
        return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

bool AppStyle::drawHeaderSection(const QStyleOption& option, QPainter* painter, const QWidget* widget) const {
    // Fusion fills a column's section with a gradient from top to bottom and draws lines along its edges,
    // some translucent; a wide section's lines would wake Qt's paint threads. Fusion draws it narrow here,
    // and its middle column is stretched across the section.
    constexpr int Narrow = 16;
    constexpr int Edge = 4;
    const QRect r = option.rect;
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(&option);
    if (!header || header->orientation != Qt::Horizontal || r.width() <= Narrow || r.height() <= 0 ||
        r.height() > 4 * Narrow)
        return false;
    QImage sample(Narrow, r.height(), QImage::Format_ARGB32_Premultiplied);
    sample.fill(Qt::transparent);
    {
        QPainter p(&sample);
        p.setFont(painter->font());
        // A copy of the option's own kind, so that a V2 option keeps its extra fields.
        const auto drawNarrow = [&](auto narrow) {
            narrow.rect = sample.rect();
            QProxyStyle::drawControl(CE_HeaderSection, &narrow, &p, widget);
        };
        if (const auto* v2 = qstyleoption_cast<const QStyleOptionHeaderV2*>(&option))
            drawNarrow(*v2);
        else
            drawNarrow(*header);
    }
    painter->drawImage(QRect(r.left(), r.top(), Edge, r.height()), sample, QRect(0, 0, Edge, r.height()));
    painter->drawImage(QRect(r.left() + Edge, r.top(), r.width() - 2 * Edge, r.height()), sample,
                       QRect(Narrow / 2, 0, 1, r.height()));
    painter->drawImage(QRect(r.right() - Edge + 1, r.top(), Edge, r.height()), sample,
                       QRect(Narrow - Edge, 0, Edge, r.height()));
    return true;
}

void AppStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                  const QWidget* widget) const {
    if (control == CC_ScrollBar && basedOnFusion()) {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            drawScrollBar(*bar, painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void AppStyle::drawTabWidgetFrame(const QStyleOption& option, QPainter* painter, const QWidget* widget) const {
    const QRect r = option.rect;
    const auto* frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(&option);
    constexpr int Side = 16;
    constexpr int Corner = 4;
    if (!frame || r.width() < Side || r.height() < Side) {
        QProxyStyle::drawPrimitive(PE_FrameTabWidget, &option, painter, widget);
        return;
    }
    // Fusion's frame is a fill with lines along its edges, some translucent. It is drawn once, small, on the
    // window colour; its corners are copied and its edges and fill stretched, as opaque fills.
    // By palette, its colour group (a disabled frame has its own) and the tab shape.
    const QPair<qint64, int> key(option.palette.cacheKey(),
                                 int(frame->shape) * QPalette::NColorGroups + int(option.palette.currentColorGroup()));
    auto found = m_tabFrames.constFind(key);
    if (found == m_tabFrames.cend()) {
        QImage sample(Side, Side, QImage::Format_ARGB32_Premultiplied);
        sample.fill(option.palette.window().color());
        QStyleOptionTabWidgetFrame small = *frame;
        small.rect = sample.rect();
        small.selectedTabRect = QRect();
        small.tabBarRect = QRect();
        QPainter p(&sample);
        QProxyStyle::drawPrimitive(PE_FrameTabWidget, &small, &p, widget);
        p.end();
        if (m_tabFrames.size() >= 64) // palettes made again and again would otherwise grow it without end
            m_tabFrames.clear();
        found = m_tabFrames.insert(key, sample);
    }
    drawFromSample(painter, r, *found, Corner);
}

void AppStyle::drawGroupBoxFrame(QPainter* painter, const QRect& target, const QPixmap& frame) const {
    // Qt shares a stretched picture among its paint threads once it draws 96 rows of it at a time (fewer
    // where a child that paints its own background, such as a table, cuts the rows), and waking them costs
    // more than the drawing: the frame is drawn in bands of 32 rows.
    constexpr int Band = 32;
    for (int y = target.top(); y <= target.bottom(); y += Band) {
        painter->save();
        painter->setClipRect(QRect(target.left(), y, target.width(), Band), Qt::IntersectClip);
        qDrawBorderPixmap(painter, target, QMargins(6, 6, 6, 6), frame);
        painter->restore();
    }
}

void AppStyle::drawToolBar(const QStyleOptionToolBar& bar, QPainter* painter) const {
    // Fusion's bevel in opaque colours: a light line on the outer edge, a dark one (doubled on the last
    // line of top bars) on the edge towards the window's centre.
    const QColor window = bar.palette.window().color();
    const QColor light = over(window, QColor(255, 255, 255, 90));
    const QColor dark = over(window, QColor(0, 0, 0, 60));
    const QRect r = bar.rect;
    painter->fillRect(r, window);
    const auto row = [&](int y, const QColor& c) { painter->fillRect(QRect(r.left(), y, r.width(), 1), c); };
    const auto column = [&](int x, const QColor& c) { painter->fillRect(QRect(x, r.top(), 1, r.height()), c); };
    const bool last = bar.positionOfLine == QStyleOptionToolBar::End ||
                      bar.positionOfLine == QStyleOptionToolBar::OnlyOne;
    switch (bar.toolBarArea) {
    case Qt::TopToolBarArea:
        row(r.top(), light);
        if (last) {
            row(r.bottom() - 1, dark);
            row(r.bottom(), light);
        } else {
            row(r.bottom(), dark);
        }
        break;
    case Qt::BottomToolBarArea:
        row(r.top(), dark);
        row(r.bottom(), light);
        break;
    case Qt::LeftToolBarArea:
        column(r.left(), light);
        column(r.right(), dark);
        break;
    case Qt::RightToolBarArea:
        column(r.left(), dark);
        column(r.right(), light);
        break;
    default:
        break;
    }
}

void AppStyle::drawScrollBar(const QStyleOptionSlider& bar, QPainter* painter, const QWidget* widget) const {
    const QColor window = bar.palette.window().color();
    const bool horizontal = bar.orientation == Qt::Horizontal;
    const QRect r = bar.rect;
    if (bar.subControls & SC_ScrollBarGroove) {
        painter->fillRect(r, window.darker(104));
        // The edge towards the scrolled content.
        painter->fillRect(horizontal ? QRect(r.left(), r.top(), r.width(), 1) : QRect(r.left(), r.top(), 1, r.height()),
                          window.darker(127));
    }
    const QRect slider = proxy()->subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
    if ((bar.subControls & SC_ScrollBarSlider) && bar.maximum != bar.minimum && slider.isValid()) {
        const bool active = bar.activeSubControls & SC_ScrollBarSlider;
        QColor fill = bar.palette.button().color().lighter(103);
        if (!(bar.state & State_Enabled))
            fill = window;
        else if (active && (bar.state & State_Sunken))
            fill = fill.darker(110);
        else if (active && (bar.state & State_MouseOver))
            fill = fill.lighter(103);
        outline(painter, slider, window.darker(122));
        painter->fillRect(slider.adjusted(1, 1, -1, -1), fill);
    }
    // The arrow buttons are small: Fusion draws them.
    QStyleOptionSlider buttons = bar;
    buttons.subControls &= SC_ScrollBarAddLine | SC_ScrollBarSubLine;
    if (buttons.subControls)
        QProxyStyle::drawComplexControl(CC_ScrollBar, &buttons, painter, widget);
}
