#include "TestPictures.h"
#include "FileBytes.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QString writePicture(const QTemporaryDir& dir, const QString& name, QColor colour,
                     QSize size = QSize(20, 10)) {
    return ::writePicture(dir.filePath(name), colour, size);
}
} // namespace

class TestMainPhoto : public QObject {
    Q_OBJECT
private slots:
    void init() { resetInvitationState(); }

    void loadsAndRecordsPath() {
        QTemporaryDir dir;
        const QString path = writePicture(dir, QStringLiteral("a.png"), Qt::red);
        MainPhoto photo;
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(path, true));
        QCOMPARE(Invite_Frame_Pic_IMG, path);
        QCOMPARE(photo.original().size(), QSize(20, 10));
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(5, 5), QColor(Qt::red));
    }

    // A data row's photo (flag false) changes the picture but not the stored path.
    void rowPhotoKeepsPath() {
        QTemporaryDir dir;
        MainPhoto photo;
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(writePicture(dir, QStringLiteral("a.png"), Qt::red),
                                                       true));
        const QString stored = Invite_Frame_Pic_IMG;
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(writePicture(dir, QStringLiteral("b.png"), Qt::green),
                                                       false));
        QCOMPARE(Invite_Frame_Pic_IMG, stored);
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(5, 5), QColor(Qt::green));
    }

    void failedLoadKeepsPhotoAndPath_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("definitely not a png");
        QTest::newRow("truncated png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    }
    void failedLoadKeepsPhotoAndPath() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        MainPhoto photo;
        const QString good = writePicture(dir, QStringLiteral("a.png"), Qt::blue);
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(good, true));
        const QString bad = dir.filePath(QStringLiteral("bad.png"));
        if (!content.isEmpty())
            writeBytes(bad, content);
        QVERIFY(!photo.Update_frame_Main_Photo_And_Path(bad, true));
        QCOMPARE(Invite_Frame_Pic_IMG, good);
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(5, 5), QColor(Qt::blue));
    }

    // Adjusting again starts from the loaded picture, so repeated adjustments never compound.
    void adjustmentsNeverCompound() {
        QTemporaryDir dir;
        MainPhoto photo;
        QVERIFY(photo.Update_frame_Main_Photo_And_Path(
            writePicture(dir, QStringLiteral("a.png"), QColor(200, 100, 50)), true));
        IMG_invert_clr = true;
        photo.Update_Image_With_Settings();
        const QImage once = photo.Main_Photo_image().image();
        photo.Update_Image_With_Settings();
        QCOMPARE(photo.Main_Photo_image().image(), once);
        QVERIFY(once.pixelColor(5, 5) != QColor(200, 100, 50));
        IMG_invert_clr = false;
        photo.Update_Image_With_Settings();
        QCOMPARE(photo.Main_Photo_image().image().pixelColor(5, 5), QColor(200, 100, 50));
        QCOMPARE(photo.original().image().pixelColor(5, 5), QColor(200, 100, 50));
    }

    void rotationIsTruncated_data() {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("degrees");
        QTest::newRow("90.7") << 90.7f << 90;
        QTest::newRow("-0.5") << -0.5f << 0;
        QTest::newRow("-90.9") << -90.9f << -90;
    }
    void rotationIsTruncated() {
        QFETCH(float, angle);
        QFETCH(int, degrees);
        PhotoSettings s;
        s.rotate_image = angle;
        QCOMPARE(s.rotationDegrees(), degrees);
        QImage img = filledImage(QSize(20, 10), Qt::red);
        const QImage out = MainPhoto::adjusted(img, s);
        QCOMPARE(out.size(), (degrees == 90 || degrees == -90) ? QSize(10, 20) : QSize(20, 10));
    }

    void rowPhotoAdjusted() {
        QTemporaryDir dir;
        IMG_invert_clr = true;
        const auto load = MainPhoto::rowPhotoLoader();
        IMG_invert_clr = false;
        const QImage img = load(writePicture(dir, QStringLiteral("a.png"), Qt::green)).image();
        QCOMPARE(img.pixelColor(1, 1), QColor(255, 0, 255));
        QVERIFY(load(dir.filePath(QStringLiteral("none.png"))).isNull());
    }

    void settingsRoundTripThroughGlobals() {
        PhotoSettings s;
        s.Sepia = true;
        s.hue_val = 0.3f;
        s.trnsp_val = 55.0f;
        setCurrentPhotoSettings(s);
        QCOMPARE(currentPhotoSettings(), s);
        resetInvitationState();
        QCOMPARE(currentPhotoSettings(), PhotoSettings{});
    }
};

QTEST_GUILESS_MAIN(TestMainPhoto)
#include "test_main_photo.moc"
