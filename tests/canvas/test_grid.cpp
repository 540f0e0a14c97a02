#include "canvas/SKTGrid.h"

#include <QSignalSpy>
#include <QtTest>

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        SKTGrid grid;
        QCOMPARE(grid.spacing(), 9.0);
        QVERIFY(!grid.isAlwaysShown());
        QVERIFY(!grid.isConstraining());
        QVERIFY(!grid.isVisible());
        QVERIFY(grid.color().isValid());
    }

    void alignedRect_data()
    {
        QTest::addColumn<double>("spacing");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("on the grid") << 9.0 << QRectF(9, 18, 27, 9) << QRectF(9, 18, 27, 9);
        QTest::newRow("round down") << 9.0 << QRectF(13, 22, 27, 9) << QRectF(9, 18, 27, 9);
        QTest::newRow("halfway rounds up") << 10.0 << QRectF(5, 15, 10, 10) << QRectF(10, 20, 10, 10);
        // Edges round independently: the size follows from them.
        QTest::newRow("size from edges") << 10.0 << QRectF(4, 4, 12, 12) << QRectF(0, 0, 20, 20);
        QTest::newRow("negative") << 10.0 << QRectF(-14, -16, 3, 3) << QRectF(-10, -20, 0, 10);
        QTest::newRow("small item vanishes") << 10.0 << QRectF(1, 1, 3, 3) << QRectF(0, 0, 0, 0);
        QTest::newRow("fractional spacing") << 2.5 << QRectF(1.3, 3.6, 4, 4) << QRectF(2.5, 2.5, 2.5, 5);
        QTest::newRow("spacing 0 clamped to 1") << 0.0 << QRectF(1.4, 1.6, 2.2, 2.2) << QRectF(1, 2, 3, 2);
        QTest::newRow("negative spacing clamped") << -5.0 << QRectF(0.4, 0, 1, 1) << QRectF(0, 0, 1, 1);
    }
    void alignedRect()
    {
        QFETCH(double, spacing);
        QFETCH(QRectF, rect);
        SKTGrid grid;
        grid.setSpacing(spacing);
        QVERIFY(grid.spacing() >= SKTGrid::MinSpacing);
        const QRectF r = grid.alignedRect(rect);
        QVERIFY(std::isfinite(r.x()) && std::isfinite(r.width()));
        QTEST(r, "expected");
    }

    void pointSnap()
    {
        SKTGrid grid;
        QCOMPARE(grid.alignedPoint(QPointF(4.4, 4.6)), QPointF(0, 9));
        grid.setSpacing(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(grid.spacing(), SKTGrid::MinSpacing);
        QCOMPARE(grid.alignedPoint(QPointF(4.4, 4.6)), QPointF(4, 5));
    }

    void setAlwaysShownNotifiesEveryCall()
    {
        SKTGrid grid;
        QSignalSpy changed(&grid, &SKTGrid::changed);
        QSignalSpy shown(&grid, &SKTGrid::alwaysShownChanged);
        grid.setAlwaysShown(false);
        grid.setAlwaysShown(true);
        grid.setAlwaysShown(true);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(shown.count(), 1);
        QVERIFY(grid.isVisible());
        grid.setConstraining(true);
        QVERIFY(grid.isConstraining());
        QCOMPARE(changed.count(), 4);
    }

    void changeShowsAHiddenGridForAMoment()
    {
        SKTGrid grid;
        QSignalSpy changed(&grid, &SKTGrid::changed);
        grid.setSpacing(18);
        QVERIFY(grid.isVisible());
        QVERIFY(changed.wait(SKTGrid::TemporaryShowMs * 3));
        QVERIFY(!grid.isVisible());
        // Hiding the grid for good stops the temporary showing at once.
        grid.setColor(Qt::red);
        QVERIFY(grid.isVisible());
        grid.setAlwaysShown(false);
        QVERIFY(!grid.isVisible());
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
