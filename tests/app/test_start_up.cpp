// The editor window as the program shows it has read no picture by guessing its format (the first such read
// makes Qt load every picture-format plugin), and what it leaves for after its first paint still comes.

#include "app/SKTWindowController.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTDocument.h"
#include "common/Globals.h"
#include "common/ui/AppStyle.h"
#include "wizards/ui/FrameGalleryWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestStartUp : public QObject {
    Q_OBJECT
    static bool pictureFormatPluginLoaded() {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
    }

private slots:
    void firstWindowWakesNoPictureFormatPlugin() {
        QTemporaryDir dir;
        Resource_Path = dir.path();
        QDir(dir.path()).mkpath(QStringLiteral("Frames"));
        // Copied, not written: writing a picture wakes the plugins too.
        const QString shipped = QStringLiteral(NAVU_RESOURCES_DIR "/Frames");
        const QString frame = QDir(shipped).entryList({QStringLiteral("*.png")}).value(0);
        QVERIFY(QFile::copy(shipped + u'/' + frame, dir.filePath(QStringLiteral("Frames/") + frame)));

        QApplication::setStyle(new AppStyle);
        SKTDocument doc;
        SKTWindowController window(&doc);
        StartRoadController road(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!pictureFormatPluginLoaded());

        // After the paint: the gallery fills, and the menu bar's overflow arrow still has its picture.
        QCOMPARE(road.gallery()->count(), 1);
        auto* arrow = window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(arrow);
        QVERIFY(!arrow->icon().pixmap(16, 16).isNull());
    }
};

QTEST_MAIN(TestStartUp)
#include "test_start_up.moc"
