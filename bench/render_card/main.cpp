// Renders a 5 x 7 inch card side holding 60 items of every kind to a picture, many times, and prints the median
// time per render and per PNG encode.
// Usage: bench_render_card [renders=1000] [scale=1] [picture.png to keep the last render]

#include "canvas/Card_Property.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "common/Globals.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

GraphicList makeSide()
{
    QImage photo(1600, 1200, QImage::Format_RGB32); // one picture, shared by the picture items
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb(x % 256, y % 256, (x + y) % 256);
    }
    QImage barcode(190, 1, QImage::Format_RGB32); // one barcode image, shared by the barcode items
    for (int x = 0; x < barcode.width(); ++x)
        barcode.setPixel(x, 0, (x * 7 % 5) < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));

    const QStringList shapes = {"R", "C", "RR", "T", "D", "S", "DS", "P", "DS", "P"};
    GraphicList items;
    for (int i = 0; i < 60; ++i) {
        const QRectF r(8 + (i % 10) * 49, 8 + (i / 10) * 58, 46, 52);
        GraphicPtr g;
        switch (i % 6) {
        case 0: {
            auto t = std::make_shared<SKTText>();
            t->_Text_contents = QStringLiteral("Party %1 at the hall").arg(i);
            t->text_ctrl_font = QFont(QStringLiteral("Times New Roman"), 9);
            t->text_alignmnet = i % 4;
            t->Drawing_Shadow = i % 12 == 0;
            t->_isDrawingStroke = false;
            g = t;
            break;
        }
        case 1: {
            auto s = std::make_shared<Shape_Control>();
            s->_shape_type = shapes[(i / 6) % shapes.size()];
            s->double_star_type = s->polygon_type = i % 5;
            s->_isDrawingFill = true;
            const int fill = (i / 6) % 3;
            s->_fill_type = fill == 0 ? QStringLiteral("G") : (fill == 1 ? QStringLiteral("H") : QStringLiteral("S"));
            s->_fill_hatch_type = QStringLiteral("Grid");
            s->_fillColor = QColor(200, 120, 40);
            s->_stroke_border_type = QStringLiteral("DA");
            g = s;
            break;
        }
        case 2: {
            auto l = std::make_shared<SKTLine>();
            l->_line_ori = i % 4;
            l->_strokeWidth = 2;
            l->_line_cap_style = i % 3;
            g = l;
            break;
        }
        case 3: {
            auto p = std::make_shared<SKTImage>();
            p->_image = photo;
            p->Sepia = (i / 6) % 2 == 0;
            p->_isDrawingStroke = false;
            g = p;
            break;
        }
        case 4: {
            auto s = std::make_shared<SKTSignature>();
            s->sign_or_fingureprint = (i / 6) % 2 ? QStringLiteral("S") : QStringLiteral("F");
            s->_isDrawingStroke = false;
            g = s;
            break;
        }
        default: {
            auto b = std::make_shared<SKTBarcode>();
            b->Set_Barcode_image(barcode);
            b->_isDrawingStroke = false;
            g = b;
            break;
        }
        }
        g->setBounds(r);
        items << g;
    }
    return items;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const double scale = argc > 2 ? std::max(0.1, atof(argv[2])) : 1.0;

    const GraphicList items = makeSide();
    Card_Property prop;
    prop.Card_fill_style = QStringLiteral("G");
    const QSizeF card(504, 360); // 7 x 5 inch in points

    // warm-up: fonts, placeholders and the adjusted picture come into their caches
    QImage image = SKTRenderingView::image_From_Card_Graphics(items, true, prop, 1, card, scale);

    std::vector<double> renderMs, encodeMs;
    renderMs.reserve(size_t(runs));
    encodeMs.reserve(size_t(runs));
    QElapsedTimer timer;
    qint64 pngBytes = 0;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        image = SKTRenderingView::image_From_Card_Graphics(items, true, prop, 1, card, scale);
        renderMs.push_back(timer.nsecsElapsed() / 1e6);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        timer.start();
        QImageWriter writer(&buffer, "png");
        writer.write(image);
        encodeMs.push_back(timer.nsecsElapsed() / 1e6);
        pngBytes = buffer.size();
    }
    QTextStream out(stdout);
    out << "render_card: " << items.size() << " items on a 7 x 5 inch side, " << image.width() << " x "
        << image.height() << " px, " << runs << " runs\n";
    out << "median render ms: " << QString::number(median(renderMs), 'f', 3) << "\n";
    out << "median PNG encode ms: " << QString::number(median(encodeMs), 'f', 3) << " (" << pngBytes
        << " bytes)\n";
    if (argc > 3 && !image.save(QString::fromLocal8Bit(argv[3])))
        return 1;
    return 0;
}
