#include "TestPictures.h"
#include "FileBytes.h"
#include "../common/HostilePictures.h"
#include "canvas/SKTItems.h"
#include "wizards/FrameBackground.h"
#include "wizards/MainPhoto.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QString writePicture(const QTemporaryDir& dir, const QString& name, QColor colour) {
    return ::writePicture(dir.filePath(name), colour, QSize(30, 20));
}
} // namespace

class TestFrameBackground : public QObject {
    Q_OBJECT
private slots:
    // A card without the frame item gets one over the whole card, in front of everything.
    void createsMissingFrameItem() {
        QTemporaryDir dir;
        Card_Property front = Card_Property::defaults(QStringLiteral("F"));
        front.Card_Size = QSizeF(500, 300);
        front.Card_fill_chk = 0;
        GraphicList items{makeGraphicOfClass(QStringLiteral("SKTText"))};
        const QString path = writePicture(dir, QStringLiteral("gold.png"), Qt::yellow);
        GraphicPtr frame = setFrontFramePicture(front, items, path);
        QVERIFY(frame);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0], frame);
        QCOMPARE(frame->control_ID, QStringLiteral("PARTY_IMAGE_BG"));
        QCOMPARE(frame->_bounds, QRectF(0, 0, 500, 300));
        QCOMPARE(frame->_file_path, path);
        QCOMPARE(frame->_image.size(), QSize(30, 20));
        QCOMPARE(front.Card_fill_chk, 1);
        QCOMPARE(front.Card_BG_Image_Path, path);
        QVERIFY(!front.Card_BG_Image.isNull());
        QCOMPARE(front.Card_fill_style, QStringLiteral("S")); // the fill style is left as it was
    }

    // An existing frame item takes the new picture and keeps its place; no second item is made.
    void reusesFrameItem() {
        QTemporaryDir dir;
        Card_Property front = Card_Property::defaults(QStringLiteral("F"));
        GraphicPtr old = makeGraphicOfClass(QStringLiteral("SKTImage"));
        old->control_ID = QStringLiteral("PARTY_IMAGE_BG");
        old->_bounds = QRectF(1, 2, 3, 4);
        GraphicPtr sig = makeGraphicOfClass(QStringLiteral("SKTSignature"));
        sig->control_ID = QStringLiteral("PARTY_IMAGE_BG"); // not a picture item: never taken
        GraphicList items{sig, makeGraphicOfClass(QStringLiteral("SKTText")), old};
        const QString path = writePicture(dir, QStringLiteral("blue.png"), Qt::blue);
        QCOMPARE(setFrontFramePicture(front, items, path), old);
        QCOMPARE(items.size(), 3);
        QCOMPARE(old->_file_path, path);
        QCOMPARE(old->_bounds, QRectF(1, 2, 3, 4));
        QVERIFY(sig->_file_path.isEmpty());
    }

    // An item, the main photo, a frame and a background take and refuse the same files, with the same
    // message; a refused one changes nothing.
    void everyRoadTakesTheSameFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size"); // empty: refused
        QTest::newRow("16-bit 90 MP PNG") << QStringLiteral("deep.png") << hostilepictures::png16(9500, 9500)
                                          << QSize(9500, 9500);
        QTest::newRow("past 100 MP") << QStringLiteral("huge.bmp") << hostilepictures::bmpDeclaring(12000, 9000)
                                     << QSize();
        QTest::newRow("missing") << QStringLiteral("none.png") << QByteArray() << QSize();
        QTest::newRow("garbage") << QStringLiteral("bad.png") << QByteArray("not a picture at all") << QSize();
        QTest::newRow("empty path") << QString() << QByteArray() << QSize();
    }
    void everyRoadTakesTheSameFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (!content.isEmpty())
            writeBytes(path, content);
        QString itemWhy, photoWhy, backgroundWhy, frameWhy;
        QCOMPARE(SKTImage::loadPicture(path, &itemWhy).size(), size.isEmpty() ? QSize(0, 0) : size);
        QCOMPARE(MainPhoto::readPicture(path, &photoWhy).size(), size.isEmpty() ? QSize(0, 0) : size);
        Card_Property front = Card_Property::defaults(QStringLiteral("F"));
        front.Card_fill_chk = 0;
        front.Card_BG_Image_Path = path;
        QCOMPARE(backgroundPictureOf(front, {}, &backgroundWhy).size(), size.isEmpty() ? QSize(0, 0) : size);
        front.Card_BG_Image_Path = QStringLiteral("/old.png");
        GraphicList items;
        const GraphicPtr frame = setFrontFramePicture(front, items, path, &frameWhy);
        QCOMPARE(photoWhy, itemWhy);
        if (!path.isEmpty()) // an empty path is no background, and no frame was chosen
            QCOMPARE(QStringList({backgroundWhy, frameWhy}), QStringList({itemWhy, itemWhy}));
        QCOMPARE(bool(frame), !size.isEmpty());
        QCOMPARE(front.Card_BG_Image_Path, size.isEmpty() ? QStringLiteral("/old.png") : path);
        if (frame)
            QCOMPARE(frame->_image, front.Card_BG_Image); // read once, shared
        else
            QVERIFY(items.isEmpty() && front.Card_fill_chk == 0 && !(frameWhy.isEmpty()));
    }
};

QTEST_GUILESS_MAIN(TestFrameBackground)
#include "test_frame_background.moc"
