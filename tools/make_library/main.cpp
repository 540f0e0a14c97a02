// Draws the program's own picture library: a few categories of simple pictures in
// <resources>/LibraryImage/<Category>/<name>.png.
// Usage: make_library <resources folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

constexpr int Side = 256;
constexpr double Pi = 3.14159265358979;

using Drawing = std::function<void(QPainter&)>;

bool save(const QString& folder, const QString& name, const Drawing& draw) {
    QImage image(Side, Side, QImage::Format_ARGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    QTextStream(stdout) << "wrote " << path << "\n";
    return true;
}

QPainterPath heart(const QPointF& c, double size) {
    QPainterPath path;
    const double s = size / 2;
    path.moveTo(c.x(), c.y() + s * 0.9);
    path.cubicTo(c.x() - s * 1.6, c.y() - s * 0.1, c.x() - s * 0.9, c.y() - s * 1.3, c.x(), c.y() - s * 0.45);
    path.cubicTo(c.x() + s * 0.9, c.y() - s * 1.3, c.x() + s * 1.6, c.y() - s * 0.1, c.x(), c.y() + s * 0.9);
    return path;
}

QPainterPath star(const QPointF& c, double outer, double inner, int points, double turn = -Pi / 2) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = turn + i * Pi / points;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void flower(QPainter& p, const QPointF& c, double r, const QColor& petal, const QColor& middle, int petals) {
    p.setPen(QPen(petal.darker(130), 3));
    p.setBrush(petal);
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.translate(c);
        p.rotate(360.0 * i / petals);
        p.drawEllipse(QRectF(-r * 0.32, -r, r * 0.64, r * 0.9));
        p.restore();
    }
    p.setPen(QPen(middle.darker(140), 3));
    p.setBrush(middle);
    p.drawEllipse(c, r * 0.3, r * 0.3);
}

void balloon(QPainter& p, const QPointF& c, const QColor& colour) {
    p.setPen(QPen(QColor(90, 90, 90), 3));
    QPainterPath string;
    string.moveTo(c.x(), c.y() + 62);
    string.cubicTo(c.x() - 18, c.y() + 90, c.x() + 18, c.y() + 110, c.x(), c.y() + 130);
    p.setBrush(Qt::NoBrush);
    p.drawPath(string);
    QRadialGradient g(c.x() - 15, c.y() - 20, 70);
    g.setColorAt(0, colour.lighter(160));
    g.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(140), 3));
    p.setBrush(g);
    p.drawEllipse(c, 48, 60);
    QPolygonF knot(
        {QPointF(c.x() - 7, c.y() + 66), QPointF(c.x() + 7, c.y() + 66), QPointF(c.x(), c.y() + 58)});
    p.drawPolygon(knot);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: make_library <resources folder>\n";
        return 2;
    }
    const QDir root(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("LibraryImage")));
    bool ok = true;
    auto category = [&](const QString& name) {
        const QString folder = root.filePath(name);
        ok = QDir().mkpath(folder) && ok;
        return folder;
    };
    const QPointF mid(Side / 2.0, Side / 2.0);

    const QString hearts = category(QStringLiteral("Hearts"));
    ok &= save(hearts, QStringLiteral("Red Heart"), [&](QPainter& p) {
        p.setPen(QPen(QColor(150, 20, 40), 5));
        p.setBrush(QColor(220, 40, 60));
        p.drawPath(heart(mid + QPointF(0, 10), 200));
    });
    ok &= save(hearts, QStringLiteral("Two Hearts"), [&](QPainter& p) {
        p.setPen(QPen(QColor(170, 40, 110), 4));
        p.setBrush(QColor(240, 110, 170));
        p.drawPath(heart(QPointF(95, 120), 140));
        p.setBrush(QColor(200, 40, 80));
        p.drawPath(heart(QPointF(165, 140), 140));
    });
    ok &= save(hearts, QStringLiteral("Heart Outline"), [&](QPainter& p) {
        p.setPen(QPen(QColor(200, 30, 60), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(heart(mid + QPointF(0, 10), 190));
    });

    const QString stars = category(QStringLiteral("Stars"));
    ok &= save(stars, QStringLiteral("Gold Star"), [&](QPainter& p) {
        p.setPen(QPen(QColor(170, 120, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(250, 200, 40));
        p.drawPath(star(mid, 118, 48, 5));
    });
    ok &= save(stars, QStringLiteral("Sparkle"), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 170, 250));
        p.drawPath(star(mid, 120, 22, 4));
        p.setBrush(QColor(200, 225, 255));
        p.drawPath(star(QPointF(200, 60), 40, 8, 4));
        p.drawPath(star(QPointF(60, 200), 28, 6, 4));
    });
    ok &= save(stars, QStringLiteral("Star Burst"), [&](QPainter& p) {
        p.setPen(QPen(QColor(190, 70, 20), 4));
        p.setBrush(QColor(250, 130, 40));
        p.drawPath(star(mid, 120, 80, 16));
        p.setBrush(QColor(255, 220, 90));
        p.drawEllipse(mid, 62, 62);
    });

    const QString flowers = category(QStringLiteral("Flowers"));
    ok &= save(flowers, QStringLiteral("Daisy"),
               [&](QPainter& p) { flower(p, mid, 110, QColor(250, 250, 250), QColor(250, 200, 40), 12); });
    ok &= save(flowers, QStringLiteral("Pink Blossom"),
               [&](QPainter& p) { flower(p, mid, 110, QColor(245, 150, 190), QColor(250, 230, 120), 5); });
    ok &= save(flowers, QStringLiteral("Tulip"), [&](QPainter& p) {
        p.setPen(QPen(QColor(40, 120, 50), 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(128, 130), QPointF(128, 240));
        p.setBrush(QColor(70, 160, 70));
        p.setPen(QPen(QColor(40, 120, 50), 3));
        QPainterPath leaf;
        leaf.moveTo(128, 230);
        leaf.cubicTo(80, 200, 70, 170, 75, 150);
        leaf.cubicTo(100, 170, 120, 200, 128, 230);
        p.drawPath(leaf);
        QPainterPath cup;
        cup.moveTo(78, 50);
        cup.lineTo(103, 80);
        cup.lineTo(128, 40);
        cup.lineTo(153, 80);
        cup.lineTo(178, 50);
        cup.cubicTo(185, 120, 160, 145, 128, 145);
        cup.cubicTo(96, 145, 71, 120, 78, 50);
        p.setPen(QPen(QColor(150, 20, 40), 4));
        p.setBrush(QColor(225, 50, 70));
        p.drawPath(cup);
    });

    const QString party = category(QStringLiteral("Party"));
    ok &= save(party, QStringLiteral("Red Balloon"),
               [&](QPainter& p) { balloon(p, QPointF(128, 90), QColor(220, 50, 50)); });
    ok &= save(party, QStringLiteral("Balloons"), [&](QPainter& p) {
        balloon(p, QPointF(80, 100), QColor(60, 130, 220));
        balloon(p, QPointF(176, 100), QColor(250, 190, 40));
        balloon(p, QPointF(128, 70), QColor(90, 190, 90));
    });
    ok &= save(party, QStringLiteral("Gift"), [&](QPainter& p) {
        p.setPen(QPen(QColor(40, 70, 140), 4));
        p.setBrush(QColor(70, 120, 210));
        p.drawRect(QRectF(48, 100, 160, 130));
        p.drawRect(QRectF(38, 76, 180, 34));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 200, 60));
        p.drawRect(QRectF(116, 76, 24, 154));
        p.setPen(QPen(QColor(190, 150, 20), 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(80, 40, 48, 36));
        p.drawEllipse(QRectF(128, 40, 48, 36));
    });

    const QString shapes = category(QStringLiteral("Shapes"));
    ok &= save(shapes, QStringLiteral("Circle"), [&](QPainter& p) {
        p.setPen(QPen(QColor(30, 110, 120), 5));
        p.setBrush(QColor(60, 180, 190));
        p.drawEllipse(mid, 110, 110);
    });
    ok &= save(shapes, QStringLiteral("Rounded Square"), [&](QPainter& p) {
        p.setPen(QPen(QColor(110, 60, 150), 5));
        p.setBrush(QColor(170, 110, 220));
        p.drawRoundedRect(QRectF(24, 24, 208, 208), 36, 36);
    });
    ok &= save(shapes, QStringLiteral("Ribbon Banner"), [&](QPainter& p) {
        p.setPen(QPen(QColor(140, 30, 30), 4));
        p.setBrush(QColor(200, 50, 50));
        QPolygonF left(
            {QPointF(10, 110), QPointF(60, 110), QPointF(60, 170), QPointF(10, 170), QPointF(30, 140)});
        QPolygonF right(
            {QPointF(246, 110), QPointF(196, 110), QPointF(196, 170), QPointF(246, 170), QPointF(226, 140)});
        p.drawPolygon(left);
        p.drawPolygon(right);
        p.setBrush(QColor(230, 70, 70));
        p.drawRect(QRectF(40, 90, 176, 64));
    });

    return ok ? 0 : 1;
}
