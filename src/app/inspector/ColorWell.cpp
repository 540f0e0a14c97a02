#include "app/inspector/ColorWell.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

ColorWell::ColorWell(const QString& objectName, QWidget* parent) : QToolButton(parent) {
    setObjectName(objectName);
    setIconSize(QSize(36, 14));
    setToolTip(tr("Choose a colour"));
    connect(this, &QToolButton::clicked, this, &ColorWell::pick);
    updateSwatch();
}

void ColorWell::setColor(const QColor& color) {
    const QColor shown = color.isValid() ? color : QColor(Qt::black);
    if (shown == m_color)
        return;
    m_color = shown;
    updateSwatch();
}

void ColorWell::pick() {
    const QColor c = QColorDialog::getColor(m_color, this, tr("Colour"), QColorDialog::ShowAlphaChannel);
    if (!c.isValid())
        return;
    setColor(c);
    emit colorPicked(c);
}

void ColorWell::updateSwatch() {
    // Wells mostly show the same few colours: their swatches are kept.
    const QString key = QStringLiteral("ColorWell %1 %2x%3")
                            .arg(m_color.rgba(), 8, 16, QLatin1Char('0'))
                            .arg(iconSize().width())
                            .arg(iconSize().height());
    QPixmap pm;
    if (!QPixmapCache::find(key, &pm)) {
        pm = QPixmap(iconSize());
        pm.fill(Qt::white);
        QPainter p(&pm);
        // a checker under translucent colours
        p.fillRect(QRect(0, 0, pm.width() / 2, pm.height() / 2), QColor(200, 200, 200));
        p.fillRect(QRect(pm.width() / 2, pm.height() / 2, pm.width(), pm.height()), QColor(200, 200, 200));
        p.fillRect(pm.rect(), m_color);
        p.setPen(QColor(120, 120, 120));
        p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
        p.end();
        QPixmapCache::insert(key, pm);
    }
    setIcon(QIcon(pm));
}
