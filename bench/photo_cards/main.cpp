// Photo-heavy cards. Each figure runs in a child process of its own, so that its peak resident memory is its own.
//
//   bench_photo_cards [folder]        the photos and designs are made and kept there (default: a temporary folder)
//   bench_photo_cards --export folder out   writes a card of adjusted photos at 150, 300 and 600 dpi into out
//
// open: a design of N camera photos (24 megapixel JPEG) placed on one card is saved, then opened and its card
// drawn once at 100 % as the window shows it; prints the time of both and the peak memory. The same for a
// design of two 16-bit PNG pictures of 90 megapixels.
// save: a design whose main photo is a camera photo (24 megapixel JPEG, inverted and brightened) is saved through
// the window's own Save; prints the time, the file's size and the longest time the window's thread went without
// its event loop.
// zoom: a canvas of 200 items with 25 photos of 2400 x 1600 in a scroll area, zoomed step by step; prints the
// longest and the median of the longest time the window's thread went without its event loop in each step.
// The same with 25 camera photos beside another program that keeps one thread per core busy: each zoom step
// (measured until its pictures are in) is followed by an idle stretch of the event loop as long, and the line
// gives the longest block of the steps, the idle loop's longest wait and their ratio.

#include "BenchSupport.h"
#include "app/SKTWindowController.h"
#include "app/designfile/DesignFile.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "canvas/ui/SKTGraphicView.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "wizards/InvitationState.h"
#include "imaging/ProcessedImageCache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// A photo-like picture: soft gradients with fine noise, so that it compresses as a camera photo does.
QImage photoLike(QSize size, int seed, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    QRandomGenerator rng{quint32(seed)};
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(24));
            const int r = (x * 255 / size.width() + seed * 40 + n) & 255;
            const int g = (y * 255 / size.height() + n) & 255;
            const int b = ((x + y) * 128 / (size.width() + size.height()) + 60 + n) & 255;
            if (format == QImage::Format_RGBA64)
                image.setPixelColor(x, y, QColor::fromRgba64(qRgba64(quint16(r * 257 + n), quint16(g * 257), quint16(b * 257), 65535)));
            else
                image.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return image;
}

QString makePicture(const QString& folder, const QString& name, QSize size, int seed, bool png16 = false)
{
    const QString path = folder + QLatin1Char('/') + name;
    if (QFile::exists(path))
        return path;
    QImageWriter writer(path);
    if (!png16)
        writer.setQuality(90);
    writer.write(photoLike(size, seed, png16 ? QImage::Format_RGBA64 : QImage::Format_RGB32));
    return path;
}

GraphicPtr pictureItem(const QString& path, const QRectF& bounds)
{
    auto item = std::static_pointer_cast<SKTImage>(makeGraphicOfClass(QStringLiteral("SKTImage"), false));
    item->setFilePath(path);
    item->setBounds(bounds);
    return item;
}

double seconds(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

// Saves a design of the pictures (placed as the program places them) and prints the save; the child then opens it.
int makeDesign(const QString& design, const QStringList& pictures)
{
    DesignData d;
    const QSizeF card(504, 360);
    for (int i = 0; i < pictures.size(); ++i) {
        const QRectF r(10 + (i % 5) * 98, 10 + (i / 5) * 68, 90, 60);
        d.frontItems << pictureItem(pictures[i], r);
        if (d.frontItems.last()->_image.isNull()) {
            QTextStream(stderr) << "cannot place " << pictures[i] << "\n";
            return 1;
        }
    }
    QString why;
    if (!designfile::save(design, d, &why)) {
        QTextStream(stderr) << "save failed: " << why << "\n";
        return 1;
    }
    return 0;
}

int openDesign(const QString& design, const QString& label)
{
    bench::resetPeak();
    QElapsedTimer t;
    t.start();
    QString why;
    const auto d = designfile::load(design, &why);
    QTextStream out(stdout);
    if (!d) {
        out << "open " << label << ": refused (" << why << "), peak " << bench::peakResidentKb() / 1024 << " MB\n";
        return 0;
    }
    const QImage shown = SKTRenderingView::image_From_Card_Graphics(d->frontItems, false, d->front, 0, QSizeF(504, 360), 1.0);
    out << "open " << label << ": " << QString::number(seconds(t), 'f', 2) << " s, peak "
        << bench::peakResidentKb() / 1024 << " MB" << (shown.isNull() ? " (not drawn)" : "") << "\n";
    return 0;
}

const std::vector<double> zoomSteps = {1.25, 1.5, 2.0, 3.0, 4.0, 3.0, 2.0, 1.5, 1.0, 0.75, 0.5, 0.75, 1.0, 1.1, 1.2};

// Runs the event loop, which sleeps while it has nothing to do, as the program's does.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until every picture asked for is made and the repaint it asks for is done.
void settle()
{
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        ProcessedImageCache::waitForPending();
        done = true;
    });
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    check.start(10);
    loop.exec();
    waiter.join();
    runFor(100);
}

// 200 items of which 25 are the photos, on a canvas in a scroll area.
struct ZoomCanvas {
    SKTDocument doc;
    QScrollArea area;
    SKTGraphicView* view = nullptr;

    explicit ZoomCanvas(const QStringList& photos)
    {
        GraphicList items;
        QRandomGenerator rng(7);
        for (int i = 0; i < 200; ++i) {
            GraphicPtr g;
            if (i % 8 == 0 && i / 8 < 25) {
                g = pictureItem(photos[i / 8], QRectF((i / 8 % 5) * 100, (i / 8 / 5) * 72, 96, 64));
            } else if (i % 2) {
                auto t = std::static_pointer_cast<SKTText>(makeGraphicOfClass(QStringLiteral("SKTText"), false));
                t->setText(QStringLiteral("Guest %1").arg(i));
                t->_isDrawingStroke = false;
                t->setBounds(QRectF(rng.bounded(440), rng.bounded(320), 60, 20));
                g = t;
            } else {
                g = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
                g->_isDrawingFill = true;
                g->_fillColor = QColor::fromHsv(i * 37 % 360, 120, 230);
                g->setBounds(QRectF(rng.bounded(440), rng.bounded(320), 40, 30));
            }
            items << g;
        }
        doc.setGraphics(CardSide::Front, items);
        view = new SKTGraphicView;
        view->setDocument(&doc, CardSide::Front);
        view->setCanvasSize(QSizeF(504, 360));
        area.setWidget(view);
        area.resize(1300, 700);
        area.show();
    }
    // The step runs as an event, as the zoom control's does.
    void zoomTo(double z)
    {
        QTimer::singleShot(0, view, [v = view, z] {
            v->setZoom(z);
            v->adjustSize();
        });
    }
};

// Camera photos zoomed beside one busy thread per core; each step is measured until its pictures are in, and
// an idle stretch of the event loop as long after it.
int zoomBesideBusyThreads(const QString& folder)
{
    QStringList photos;
    for (int i = 0; i < 25; ++i)
        photos << makePicture(folder, QStringLiteral("photo%1.jpg").arg(i), QSize(6000, 4000), i);
    ZoomCanvas canvas(photos);
    runFor(300);
    settle();
    // The busy threads are another program's, in a session of its own: threads of this process would share
    // its scheduling group (Linux autogroups), which no other program's load does.
    const int busy = QThread::idealThreadCount();
    QProcess other;
    other.setChildProcessModifier([] { setsid(); });
    other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--spin"), QString::number(busy)});
    if (!other.waitForStarted()) {
        QTextStream(stderr) << "the busy program did not start\n";
        return 1;
    }
    qint64 longestBlock = 0;
    qint64 longestIdle = 0;
    for (double z : zoomSteps) {
        QElapsedTimer step;
        step.start();
        qint64 block = 0;
        {
            bench::Heartbeat beat;
            canvas.zoomTo(z);
            runFor(200); // the first paint asks for the pictures
            settle();
            block = beat.worstUntilNow();
        }
        const int length = int(step.elapsed());
        bench::Heartbeat idle;
        runFor(length);
        longestIdle = std::max(longestIdle, idle.worstUntilNow());
        longestBlock = std::max(longestBlock, block);
    }
    other.kill();
    other.waitForFinished();
    QTextStream(stdout) << "zoom 25 camera photos beside " << busy << " busy threads: longest block " << longestBlock
                        << " ms, idle loop's longest wait " << longestIdle << " ms, ratio "
                        << QString::number(double(longestBlock) / std::max<qint64>(1, longestIdle), 'f', 2) << "\n";
    return 0;
}

int zoom(const QString& folder)
{
    QStringList photos;
    for (int i = 0; i < 25; ++i)
        photos << makePicture(folder, QStringLiteral("zoom%1.jpg").arg(i), QSize(2400, 1600), i);
    ZoomCanvas canvas(photos);
    runFor(1500);
    std::vector<double> blocks;
    for (double z : zoomSteps) {
        // A 2 ms timer measures the gaps.
        bench::Heartbeat beat;
        canvas.zoomTo(z);
        runFor(600);
        blocks.push_back(double(beat.worst()));
    }
    std::vector<double> sorted = blocks;
    std::sort(sorted.begin(), sorted.end());
    QTextStream(stdout) << "zoom 200 items, 25 photos: longest block " << QString::number(sorted.back(), 'f', 0)
                        << " ms, median " << QString::number(sorted[sorted.size() / 2], 'f', 0) << " ms\n";
    return 0;
}

// Writes a card of photos with various adjustments at 150, 300 and 600 dpi into out, and prints the time of each,
// so that outputs of two builds can be compared picture by picture.
int exportCards(const QString& folder, const QString& out)
{
    QStringList photos;
    for (int i = 0; i < 6; ++i)
        photos << makePicture(folder, QStringLiteral("photo%1.jpg").arg(i), QSize(6000, 4000), i);
    photos << makePicture(folder, QStringLiteral("zoom0.jpg"), QSize(2400, 1600), 0);
    GraphicList items;
    for (int i = 0; i < photos.size(); ++i) {
        GraphicPtr g = pictureItem(photos[i], QRectF(10 + (i % 4) * 122, 10 + (i / 4) * 170, 116, 160 - (i % 3) * 30));
        g->_isDrawingStroke = false;
        switch (i) {
        case 1: g->Sepia = true; break;
        case 2: g->rotate_image = 15; g->hue_val = 0.5f; break;
        case 3: g->blr_val = 2; break;
        case 4: g->_isFlippedHorizontally = true; g->con_val = 1.4f; break;
        case 5: g->gray_Scale = true; g->img_trnsp_val = 60; break;
        default: break;
        }
        items << g;
    }
    Card_Property prop;
    QDir().mkpath(out);
    for (int dpi : {150, 300, 600}) {
        QElapsedTimer t;
        t.start();
        const QImage card = SKTRenderingView::image_From_Card_Graphics(items, false, prop, 0, QSizeF(504, 360), dpi / 72.0);
        const double s = seconds(t);
        card.save(out + QStringLiteral("/card%1.png").arg(dpi));
        QTextStream(stdout) << "export photo card at " << dpi << " dpi: " << QString::number(s, 'f', 2) << " s\n";
    }
    return 0;
}


// Saves a design whose main photo is a camera photo through the window's Save, as the user does.
int saveWithPhoto(const QString& folder)
{
    const QString photo = makePicture(folder, QStringLiteral("photo0.jpg"), QSize(6000, 4000), 0);
    class SilentPrompt : public PromptHandler {
    public:
        void message(const QString& text) override { QTextStream(stderr) << "message: " << text << "\n"; }
        bool yesNo(const QString&) override { return false; }
    } prompt;
    setPromptHandler(&prompt);
    SKTDocument doc;
    SKTWindowController window(&doc);
    StartRoadController road(window);
    window.show();
    PhotoSettings settings;
    settings.invert_clr = true;
    settings.brt_val = 0.1f;
    setCurrentPhotoSettings(settings);
    if (!road.Update_frame_Main_Photo_And_Path(photo, true)) {
        QTextStream(stderr) << "cannot load " << photo << "\n";
        return 1;
    }
    auto item = std::static_pointer_cast<SKTImage>(makeGraphicOfClass(QStringLiteral("SKTImage"), false));
    item->control_ID = QStringLiteral("PARTY_IMAGE");
    item->setFilePath(photo);
    item->setBounds(QRectF(40, 40, 300, 200));
    window.Get_Front_Controls_Array().prepend(item);
    doc.notifyGraphicsChanged(CardSide::Front);
    const QString design = folder + QStringLiteral("/main_photo.kvto");
    QFile::remove(design);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    bench::Heartbeat beat;
    QCoreApplication::processEvents();
    beat.reset();
    const qint64 start = beat.elapsed();
    const bool saved = road.designCommands().Save_project_file(design, false);
    const qint64 worst = beat.worstUntilNow();
    const double s = (beat.elapsed() - start) / 1000.0;
    setPromptHandler(nullptr);
    if (!saved)
        return 1;
    QTextStream(stdout) << "save with a 24 MP main photo: " << QString::number(s, 'f', 2) << " s, file "
                        << QString::number(QFileInfo(design).size() / 1048576.0, 'f', 1) << " MB, longest window block "
                        << worst << " ms\n"
                        << "  the photo's file: " << QString::number(QFileInfo(photo).size() / 1048576.0, 'f', 1)
                        << " MB\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Resource_Path = QStringLiteral(NAVU_RESOURCES_DIR);
    const QStringList args = app.arguments();
    if (args.size() > 3 && args[1] == QLatin1String("--open"))
        return openDesign(args[2], args[3]);
    if (args.size() > 3 && args[1] == QLatin1String("--export"))
        return exportCards(args[2], args[3]);
    if (args.size() > 2 && args[1] == QLatin1String("--zoom"))
        return zoom(args[2]);
    if (args.size() > 2 && args[1] == QLatin1String("--save"))
        return saveWithPhoto(args[2]);
    if (args.size() > 2 && args[1] == QLatin1String("--spin")) { // until killed
        std::vector<std::thread> spin;
        for (int i = 0; i < args[2].toInt(); ++i)
            spin.emplace_back([] {
                volatile quint64 n = 0;
                for (;;)
                    n = n + 1;
            });
        for (std::thread& t : spin)
            t.join();
        return 0;
    }
    if (args.size() > 2 && args[1] == QLatin1String("--zoom-busy"))
        return zoomBesideBusyThreads(args[2]);

    QTemporaryDir temp;
    const QString folder = args.size() > 1 ? args[1] : temp.path();
    QDir().mkpath(folder);
    auto child = [&](const QStringList& a) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QCoreApplication::applicationFilePath(), a);
        p.waitForFinished(-1);
    };
    QStringList photos;
    for (int i = 0; i < 25; ++i)
        photos << makePicture(folder, QStringLiteral("photo%1.jpg").arg(i), QSize(6000, 4000), i);
    for (int n : {9, 20}) {
        const QString design = folder + QStringLiteral("/photos%1.kvto").arg(n);
        if (makeDesign(design, photos.mid(0, n)) == 0)
            child({QStringLiteral("--open"), design, QStringLiteral("%1 photos of 24 MP").arg(n)});
    }
    {
        const QStringList big = {makePicture(folder, QStringLiteral("deep0.png"), QSize(11000, 8200), 1, true),
                                 makePicture(folder, QStringLiteral("deep1.png"), QSize(11000, 8200), 2, true)};
        const QString design = folder + QStringLiteral("/deep.kvto");
        if (makeDesign(design, big) == 0)
            child({QStringLiteral("--open"), design, QStringLiteral("2 16-bit pictures of 90 MP")});
    }
    child({QStringLiteral("--save"), folder});
    child({QStringLiteral("--zoom"), folder});
    child({QStringLiteral("--zoom-busy"), folder});
    return 0;
}
