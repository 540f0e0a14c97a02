// Paints a card side of 500 items of every kind through the canvas's own paint path, many times, and prints
// the median time of a full repaint and of the repaint after one item moved.
// Usage: bench_canvas_paint [repaints=200] [items=500]; NAVU_BENCH_STORED=1 shows the stored barcode images.

#include "barcode/BarcodeItemDrawing.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "canvas/ui/SKTGraphicView.h"
#include "common/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

GraphicList makeSide(int count, const QSizeF& card) {
    QImage photo(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    QImage barcode(190, 1, QImage::Format_RGB32);
    for (int x = 0; x < barcode.width(); ++x)
        barcode.setPixel(x, 0, (x * 7 % 5) < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));

    const QStringList shapes = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
    QRandomGenerator rng(42);
    GraphicList items;
    for (int i = 0; i < count; ++i) {
        const qreal w = 20 + rng.bounded(60);
        const qreal h = 15 + rng.bounded(50);
        const QRectF r(rng.bounded(card.width() - w), rng.bounded(card.height() - h), w, h);
        GraphicPtr g;
        switch (i % 7) {
        case 0: {
            auto t = std::static_pointer_cast<SKTText>(makeGraphicOfClass(QStringLiteral("SKTText"), false));
            t->setText(QStringLiteral("Guest %1").arg(i));
            t->text_ctrl_font = QFont(QStringLiteral("Liberation Serif"), 10);
            t->_isDrawingStroke = false;
            g = t;
            break;
        }
        case 1:
        case 2: {
            g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
            g->_shape_type = shapes[i % shapes.size()];
            g->_isDrawingFill = true;
            g->_fill_type = i % 3 == 0 ? QStringLiteral("G") : QStringLiteral("S");
            g->_fillColor = QColor::fromHsv(i * 37 % 360, 120, 230);
            break;
        }
        case 3:
            g = makeGraphicOfClass(QStringLiteral("SKTLine"), false);
            g->_line_ori = i % 4;
            g->_strokeWidth = 2;
            break;
        case 4:
            g = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
            g->_image = photo;
            break;
        case 5:
            g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
            g->linear_font_val = QStringLiteral("GUEST-%1").arg(i);
            g->Set_Barcode_image(barcode);
            break;
        default:
            g = makeGraphicOfClass(QStringLiteral("SKTSignature"), false);
            g->sign_or_fingureprint = i % 2 ? QStringLiteral("S") : QStringLiteral("F");
            break;
        }
        g->setBounds(r);
        items << g;
    }
    return items;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int repaints = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const int count = argc > 2 ? std::max(1, atoi(argv[2])) : 500;
    Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR);
    if (!qEnvironmentVariableIsSet("NAVU_BENCH_STORED")) BarcodeItemDrawing::install(); // barcodes drawn for the screen, as in the program

    const QSizeF card(504, 360);
    SKTDocument doc;
    doc.setGraphics(CardSide::Front, makeSide(count, card));
    SKTGraphicView view;
    view.setDocument(&doc, CardSide::Front);
    view.setCanvasSize(card);
    // A few selected items, so the handles are part of the work.
    for (int i = 0; i < 20; ++i)
        view.selectGraphic(doc.graphics().at(i * 7), true);

    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&target); // warm caches (fonts, scaled pictures)

    std::vector<double> full;
    QElapsedTimer timer;
    for (int i = 0; i < repaints; ++i) {
        timer.start();
        view.render(&target);
        full.push_back(timer.nsecsElapsed() / 1e6);
    }

    // What a drag step repaints: the old and new area of one item.
    std::vector<double> partial;
    const GraphicPtr moved = doc.graphics().first();
    for (int i = 0; i < repaints; ++i) {
        const QRect before = view.widgetRectFor(moved->drawingBounds());
        moved->setBounds(moved->bounds().translated(i % 2 ? -3 : 3, 0));
        const QRect region =
            before.united(view.widgetRectFor(moved->drawingBounds())).adjusted(-10, -10, 10, 10);
        timer.start();
        view.render(&target, region.topLeft(), QRegion(region));
        partial.push_back(timer.nsecsElapsed() / 1e6);
    }

    QTextStream out(stdout);
    out << "canvas_paint: " << count << " items, " << repaints << " repaints of " << view.width() << "x"
        << view.height() << " px\n";
    out << "median full repaint:       " << QString::number(median(full), 'f', 2) << " ms\n";
    out << "median one-item repaint:   " << QString::number(median(partial), 'f', 2) << " ms\n";
    return 0;
}
