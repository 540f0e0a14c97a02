#pragma once

#include <QColor>
#include <QToolButton>

// A small colour button: shows its colour, opens the colour dialog on a click and emits colorPicked when
// the user chooses a colour. setColor never emits.
class ColorWell : public QToolButton {
    Q_OBJECT
public:
    explicit ColorWell(const QString& objectName, QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // What a click does; tests and the window may replace the dialog.
    void pick();

signals:
    void colorPicked(const QColor& color);

private:
    void updateSwatch();
    QColor m_color = Qt::black;
};
