#include "TestPictures.h"
#include "FileBytes.h"
#include "common/Globals.h"
#include "common/ThumbnailCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestKeptThumbnails : public QObject {
    Q_OBJECT
private slots:
    // A thumbnail is made at its size once and kept; the kept one is used while the picture is unchanged
    // and made anew when it changes; a picture that cannot be read keeps nothing.
    void keptUntilThePictureChanges() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QTemporaryDir dir;
        Resource_Path = dir.filePath(QStringLiteral("data"));
        const QString picture = dir.filePath(QStringLiteral("frame.png"));
        QVERIFY(filledImage({1000, 714}, Qt::red).save(picture));

        const QImage first = pictures::keptThumbnail(picture, 96);
        QCOMPARE(first.size(), QSize(96, 68));
        QCOMPARE(first.pixelColor(10, 10), QColor(Qt::red));
        const QString kept = pictures::keptThumbnailPath(Resource_Path + QStringLiteral("/Thumbnails"), picture, 96);
        QVERIFY(QFileInfo::exists(kept));
        QVERIFY(pictures::keptThumbnailPath(Resource_Path, picture, 80) !=
                pictures::keptThumbnailPath(Resource_Path, picture, 96));

        // The kept file is what the next start reads (marked here by painting it blue).
        QImage marked(kept);
        QImage blue = filledImage(marked.size(), Qt::blue);
        for (const QString& key : marked.textKeys())
            blue.setText(key, marked.text(key));
        QVERIFY(blue.save(kept));
        QCOMPARE(pictures::keptThumbnail(picture, 96).pixelColor(10, 10), QColor(Qt::blue));

        // A changed picture (another size, a later time) is read again.
        QVERIFY(filledImage({500, 500}, Qt::green).save(picture));
        QFile touch(picture);
        QVERIFY(touch.open(QIODevice::ReadWrite));
        QVERIFY(touch.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        touch.close();
        const QImage again = pictures::keptThumbnail(picture, 96);
        QCOMPARE(again.size(), QSize(96, 96));
        QCOMPARE(again.pixelColor(10, 10), QColor(Qt::green));
        QCOMPARE(QImage(kept).pixelColor(10, 10), QColor(Qt::green));

        const QString broken = dir.filePath(QStringLiteral("broken.png"));
        writeBytes(broken, "not a picture");
        QVERIFY(pictures::keptThumbnail(broken, 96).isNull());
        QVERIFY(!QFileInfo::exists(pictures::keptThumbnailPath(Resource_Path + QStringLiteral("/Thumbnails"), broken, 96)));
        QVERIFY(pictures::keptThumbnail(dir.filePath(QStringLiteral("missing.png")), 96).isNull());
    }
};

QTEST_MAIN(TestKeptThumbnails)
#include "test_kept_thumbnails.moc"
