#include "TestPictures.h"
#include "FileBytes.h"
#include "canvas/SKTItems.h"
#include "wizards/FrameBackground.h"

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

    void unreadablePictureChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QStringLiteral("none.png") << QByteArray();
        QTest::newRow("garbage") << QStringLiteral("bad.png") << QByteArray("not a picture at all");
        QTest::newRow("empty path") << QString() << QByteArray();
    }
    void unreadablePictureChangesNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (!content.isEmpty())
            writeBytes(path, content);
        Card_Property front = Card_Property::defaults(QStringLiteral("F"));
        front.Card_fill_chk = 0;
        front.Card_BG_Image_Path = QStringLiteral("/old.png");
        GraphicList items;
        QString error;
        QVERIFY(!setFrontFramePicture(front, items, path, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(items.isEmpty());
        QCOMPARE(front.Card_fill_chk, 0);
        QCOMPARE(front.Card_BG_Image_Path, QStringLiteral("/old.png"));
    }
};

QTEST_GUILESS_MAIN(TestFrameBackground)
#include "test_frame_background.moc"
