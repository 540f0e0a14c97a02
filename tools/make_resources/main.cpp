// Draws the program's own placeholder pictures and hatch patterns into a resources folder.
// Usage: make_resources <resources folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

QImage blank(int w, int h, const QColor& fill = Qt::transparent)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(fill);
    return image;
}

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    QTextStream(stdout) << "wrote " << path << "\n";
    return true;
}

QImage noPicture()
{
    QImage image = blank(240, 180, QColor(236, 238, 242));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 156, 168), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6, 6, 228, 168));
    // a landscape: sun and two hills
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 196, 80));
    p.drawEllipse(QPointF(170, 52), 18, 18);
    QPainterPath hills;
    hills.moveTo(20, 150);
    hills.lineTo(85, 70);
    hills.lineTo(130, 125);
    hills.lineTo(160, 95);
    hills.lineTo(220, 150);
    hills.closeSubpath();
    p.setBrush(QColor(120, 150, 190));
    p.drawPath(hills);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(90, 96, 110));
    p.drawText(QRectF(0, 150, 240, 24), Qt::AlignCenter, QStringLiteral("No Image"));
    return image;
}

QImage barcodeSample()
{
    QImage image = blank(300, 150, Qt::white);
    QPainter p(&image);
    QRandomGenerator rng(20240601); // fixed seed: the same picture every run
    int x = 20;
    bool bar = true;
    while (x < 280) {
        const int w = 1 + int(rng.bounded(4u)) * 1;
        if (bar)
            p.fillRect(QRect(x, 12, w * 2, 100), Qt::black);
        x += w * 2;
        bar = !bar;
    }
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(22);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 112, 300, 34), Qt::AlignCenter, QStringLiteral("0123456789"));
    return image;
}

QImage signatureSample()
{
    QImage image = blank(320, 120);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(20, 40, 110), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath s;
    s.moveTo(20, 80);
    s.cubicTo(40, 10, 70, 10, 60, 60);
    s.cubicTo(52, 100, 90, 95, 105, 55);
    s.cubicTo(112, 35, 120, 35, 122, 60);
    s.cubicTo(125, 85, 140, 80, 150, 55);
    s.cubicTo(160, 30, 170, 40, 168, 62);
    s.cubicTo(166, 85, 190, 82, 205, 50);
    s.cubicTo(215, 28, 228, 40, 226, 60);
    s.cubicTo(224, 80, 250, 78, 270, 52);
    s.cubicTo(285, 35, 300, 45, 305, 40);
    p.drawPath(s);
    p.setPen(QPen(QColor(20, 40, 110), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 100), QPointF(290, 96));
    return image;
}

QImage fingerprintSample()
{
    QImage image = blank(160, 200);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF c(80, 105);
    for (int i = 0; i < 11; ++i) {
        const qreal rx = 8 + i * 6.5, ry = 12 + i * 8.0;
        const QRectF r(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry);
        // each ridge is an open arc with a gap that wanders round, as on a finger
        const int start = 16 * (200 + (i * 37) % 60);
        const int span = 16 * (300 - (i % 3) * 25);
        p.drawArc(r, start, span);
    }
    return image;
}

// Hatch tiles: transparent except the pattern, seamless when tiled.
QImage hatchTile(int size, const std::function<void(QPainter&, int)>& draw)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    draw(p, size);
    return image;
}

void diagonal(QPainter& p, int s, bool down)
{
    for (int k = -1; k <= 1; ++k) {
        if (down)
            p.drawLine(QPointF(k * s, 0), QPointF(k * s + s, s));
        else
            p.drawLine(QPointF(k * s, s), QPointF(k * s + s, 0));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    QDir dir(root);
    if (!dir.mkpath(QStringLiteral("Fill_Style_Image"))) {
        QTextStream(stderr) << "cannot create " << root << "/Fill_Style_Image\n";
        return 1;
    }
    bool ok = true;
    ok &= save(noPicture(), dir.filePath(QStringLiteral("no.png")));
    ok &= save(barcodeSample(), dir.filePath(QStringLiteral("barcode_sample.png")));
    ok &= save(signatureSample(), dir.filePath(QStringLiteral("sign_sample.png")));
    ok &= save(fingerprintSample(), dir.filePath(QStringLiteral("fingerprints.png")));

    const QString hatchDir = dir.filePath(QStringLiteral("Fill_Style_Image"));
    auto hatch = [&](const char* name, int size, const std::function<void(QPainter&, int)>& draw) {
        ok &= save(hatchTile(size, draw), hatchDir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    };
    hatch("Diagonal", 12, [](QPainter& p, int s) { diagonal(p, s, true); });
    hatch("Back_Diagonal", 12, [](QPainter& p, int s) { diagonal(p, s, false); });
    hatch("Cross_Diagonal", 12, [](QPainter& p, int s) {
        diagonal(p, s, true);
        diagonal(p, s, false);
    });
    hatch("Horizontal", 10, [](QPainter& p, int s) { p.drawLine(QPointF(0, s / 2.0), QPointF(s, s / 2.0)); });
    hatch("Vertical", 10, [](QPainter& p, int s) { p.drawLine(QPointF(s / 2.0, 0), QPointF(s / 2.0, s)); });
    hatch("Grid", 12, [](QPainter& p, int s) {
        p.drawLine(QPointF(0, s / 2.0), QPointF(s, s / 2.0));
        p.drawLine(QPointF(s / 2.0, 0), QPointF(s / 2.0, s));
    });
    hatch("Dots", 10, [](QPainter& p, int s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        p.drawEllipse(QPointF(s / 2.0, s / 2.0), 1.8, 1.8);
    });
    hatch("Waves", 24, [](QPainter& p, int s) {
        for (int row = 0; row < 2; ++row) {
            QPainterPath wave;
            const qreal y = s / 4.0 + row * s / 2.0;
            wave.moveTo(0, y);
            for (int x = 1; x <= s; ++x)
                wave.lineTo(x, y + 3 * std::sin(2 * M_PI * x / s));
            p.drawPath(wave);
        }
    });
    hatch("Bricks", 24, [](QPainter& p, int s) {
        const qreal h = s / 2.0;
        p.drawLine(QPointF(0, 0.75), QPointF(s, 0.75));
        p.drawLine(QPointF(0, h), QPointF(s, h));
        p.drawLine(QPointF(0.75, 0), QPointF(0.75, h));
        p.drawLine(QPointF(h, h), QPointF(h, s));
    });
    return ok ? 0 : 1;
}
