#pragma once

// The on-screen preview of one sheet in the print dialog: the paper scaled to fit, the printable area, and
// every cell of one sheet as a numbered box ("Frame 1", "Back 1", ...) placed as the printed labels are.

#include "output/LabelLayout.h"

#include <QWidget>

class Sample_Preview : public QWidget {
    Q_OBJECT
public:
    explicit Sample_Preview(QWidget* parent = nullptr);

    void setSheet(const PrintLayout& layout, bool showOutlines, bool hasCard);
    const PrintLayout& sheet() const { return _layout; }
    // A snapshot of the preview as it is shown.
    QImage imageRepresentation();

    QSize sizeHint() const override { return QSize(360, 480); }
    QSize minimumSizeHint() const override { return QSize(180, 220); }

    // Paints the sheet into target, keeping the paper's proportions.
    static void paintSheet(QPainter& painter, const QRectF& target, const PrintLayout& layout,
                           bool showOutlines, bool hasCard);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PrintLayout _layout;
    bool _outlines = true;
    bool _hasCard = true;
};
