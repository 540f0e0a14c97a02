#include "output/LabelLayout.h"

#include <QtTest>

namespace {
constexpr double mm = 2.834645669291;

// A4 with 5 mm margins all round and 90 x 50 mm cards.
PrintLayout a4(int rows, int cols, double hgapMm = 0, double vgapMm = 0, bool autoCenter = false) {
    PrintLayout l;
    l.paper = QSizeF(210 * mm, 297 * mm);
    l.margins = QMarginsF(5 * mm, 5 * mm, 5 * mm, 5 * mm);
    l.card = QSizeF(90 * mm, 50 * mm);
    l.rows = rows;
    l.cols = cols;
    l.hgap = hgapMm * mm;
    l.vgap = vgapMm * mm;
    l.autoCenter = autoCenter;
    return l;
}

bool near(qreal a, qreal b) {
    return qAbs(a - b) < 0.01;
}
} // namespace

class TestLabelLayout : public QObject {
    Q_OBJECT
private slots:
    void units() {
        QCOMPARE(MM_to_Points_Convert(25.4), 72.0f);
        QVERIFY(qAbs(Points_to_MM_Convert(72) - 25.4f) < 1e-4f);
    }

    void pageCount_data() {
        QTest::addColumn<int>("labels");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("pages");
        QTest::newRow("7 on 2x2") << 7 << 2 << 2 << 2;
        QTest::newRow("exactly one sheet") << 4 << 2 << 2 << 1;
        QTest::newRow("one over") << 5 << 2 << 2 << 2;
        QTest::newRow("none") << 0 << 3 << 3 << 0;
        QTest::newRow("single label") << 1 << 1 << 1 << 1;
        QTest::newRow("rows below 1 count as 1") << 3 << 0 << 1 << 3;
        QTest::newRow("51 sheets") << 51 * 6 << 3 << 2 << 51;
    }
    void pageCount() {
        QFETCH(int, labels);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QTEST(labelPageCount(labels, rows, cols), "pages");
    }

    // The layout rule: counts that do not fit are lowered, never below 1; auto-centre computes the gaps.
    void layoutRule_data() {
        QTest::addColumn<PrintLayout>("in");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<double>("hgapMm");
        QTest::addColumn<double>("vgapMm");
        QTest::newRow("manual 3 columns of 90 mm with 10 mm gap become 2")
            << a4(1, 3, 10) << 1 << 2 << 10.0 << 0.0;
        QTest::newRow("manual fits stays") << a4(5, 2, 5, 5) << 5 << 2 << 5.0 << 5.0;
        QTest::newRow("manual 9 rows of 50 mm become 5") << a4(9, 1) << 5 << 1 << 0.0 << 0.0;
        QTest::newRow("auto 2 columns: gap 20/3 mm")
            << a4(1, 2, 0, 0, true) << 1 << 2 << 20.0 / 3 << (287 - 50) / 2.0;
        QTest::newRow("auto too many rows: those that fit, centred")
            << a4(8, 1, 0, 0, true) << 5 << 1 << 55.0 << (287 - 250) / 6.0;
        PrintLayout wide = a4(1, 3, 0, 0, true);
        wide.card = QSizeF(250 * mm, 50 * mm);
        QTest::newRow("auto card wider than paper: 1 column, gap 0")
            << wide << 1 << 1 << 0.0 << (287 - 50) / 2.0;
        PrintLayout both = a4(4, 2);
        both.side = "BOTH";
        QTest::newRow("both sides above each other: cell 100 mm high") << both << 2 << 2 << 0.0 << 0.0;
        both.arrangement = "L";
        QTest::newRow("both sides beside each other: cell 180 mm wide") << both << 4 << 1 << 0.0 << 0.0;
    }
    void layoutRule() {
        QFETCH(PrintLayout, in);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(double, hgapMm);
        QFETCH(double, vgapMm);
        const PrintLayout out = Check_Max_Cell_Value(in);
        QCOMPARE(out.rows, rows);
        QCOMPARE(out.cols, cols);
        QVERIFY2(near(out.hgap, hgapMm * mm), qPrintable(QString::number(out.hgap / mm)));
        QVERIFY2(near(out.vgap, vgapMm * mm), qPrintable(QString::number(out.vgap / mm)));
    }

    // Cell origins (top-left, mm) for alignment codes, gaps and auto-centre.
    void cells_data() {
        QTest::addColumn<PrintLayout>("layout");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QPointF>("topLeftMm");
        QTest::newRow("1 top-left") << a4(1, 1) << 0 << 0 << QPointF(5, 5);
        PrintLayout l = a4(1, 1);
        l.align = 5;
        QTest::newRow("5 middle of usable area") << l << 0 << 0 << QPointF(60, 123.5);
        l.align = 9;
        QTest::newRow("9 against right and bottom margins") << l << 0 << 0 << QPointF(115, 242);
        l.align = 3;
        QTest::newRow("3 top-right") << l << 0 << 0 << QPointF(115, 5);
        l.align = 7;
        QTest::newRow("7 bottom-left") << l << 0 << 0 << QPointF(5, 242);
        PrintLayout g = a4(2, 2, 10, 4);
        QTest::newRow("gaps move the second row and column") << g << 1 << 1 << QPointF(105, 59);
        g.align = 8;
        QTest::newRow("8 centred block, bottom") << g << 0 << 0 << QPointF(10, 188);
        PrintLayout a = Check_Max_Cell_Value(a4(1, 2, 0, 0, true));
        QTest::newRow("auto: first cell one gap after the margin")
            << a << 0 << 0 << QPointF(5 + 20.0 / 3, 123.5);
        QTest::newRow("auto: equal gaps") << a << 0 << 1 << QPointF(5 + 40.0 / 3 + 90, 123.5);
    }
    void cells() {
        QFETCH(PrintLayout, layout);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QPointF, topLeftMm);
        const QRectF cell = labelCellRect(layout, row, col);
        QVERIFY2(near(cell.left(), topLeftMm.x() * mm) && near(cell.top(), topLeftMm.y() * mm),
                 qPrintable(QStringLiteral("%1, %2").arg(cell.left() / mm).arg(cell.top() / mm)));
        QVERIFY(near(cell.width(), layout.cell().width()));
    }

    // Labels that cannot be printed: larger than the paper, or centred into the unprintable margins.
    void sizeProblem_data() {
        QTest::addColumn<PrintLayout>("layout");
        QTest::addColumn<QString>("problem"); // start of the reason; empty: printable
        QTest::newRow("auto, two columns fit") << a4(2, 2, 0, 0, true) << "";
        PrintLayout wide = a4(1, 1, 0, 0, true);
        wide.card = QSizeF(205 * mm, 50 * mm); // wider than the printable 200 mm
        QTest::newRow("auto, card wider than the printable area")
            << wide << "Centred, the labels (205.00 x 50.00";
        wide.autoCenter = false; // placed by hand: the question at printing decides
        QTest::newRow("manual, into the margin") << wide << "";
        wide.card = QSizeF(211 * mm, 50 * mm);
        QTest::newRow("manual, wider than the paper")
            << wide << "The label (211.00 x 50.00 mm) is larger than the paper (210.00 x 297.00 mm).";
        PrintLayout both = a4(1, 1, 0, 0, true);
        both.side = "BOTH";
        both.arrangement = "L";
        both.card = QSizeF(110 * mm, 50 * mm);
        QTest::newRow("both sides side by side, wider than the paper") << both << "The label (220.00";
        // Labels narrower than the card: the cards reach beyond their cells to the right.
        PrintLayout spill = a4(1, 3, 0, 0, true);
        spill.label = QSizeF(60 * mm, 50 * mm);
        QTest::newRow("auto, cards spilling out of their cells") << Check_Max_Cell_Value(spill) << "Centred";
    }
    void sizeProblem() {
        QFETCH(PrintLayout, layout);
        QFETCH(QString, problem);
        const QString got = labelSizeProblem(layout);
        QVERIFY2(problem.isEmpty() ? got.isEmpty() : got.startsWith(problem), qPrintable(got));
    }

    // Where the card sides sit in their cell.
    void cardRects_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QSizeF>("cell");
        QTest::addColumn<QRectF>("front");
        QTest::addColumn<QRectF>("back");
        const QSizeF card(100, 50);
        QTest::newRow("front centred in a larger cell")
            << "F"
            << "U" << QSizeF(120, 70) << QRectF(10, 10, 100, 50) << QRectF();
        QTest::newRow("back only") << "B"
                                   << "U" << QSizeF(100, 50) << QRectF() << QRectF(0, 0, 100, 50);
        QTest::newRow("card larger than cell keeps left and bottom edges")
            << "F"
            << "U" << QSizeF(80, 40) << QRectF(0, -10, 100, 50) << QRectF();
        QTest::newRow("U exact: front upper half, back lower half")
            << "BOTH"
            << "U" << QSizeF(100, 100) << QRectF(0, 0, 100, 50) << QRectF(0, 50, 100, 50);
        QTest::newRow("U taller: pair at the top, centred across")
            << "BOTH"
            << "U" << QSizeF(140, 160) << QRectF(20, 0, 100, 50) << QRectF(20, 50, 100, 50);
        QTest::newRow("L wider: pair centred, back right of front")
            << "BOTH"
            << "L" << QSizeF(240, 70) << QRectF(20, 10, 100, 50) << QRectF(120, 10, 100, 50);
        Q_UNUSED(card)
    }
    void cardRects() {
        QFETCH(QString, side);
        QFETCH(QString, arrangement);
        QFETCH(QSizeF, cell);
        QFETCH(QRectF, front);
        QFETCH(QRectF, back);
        PrintLayout l;
        l.card = QSizeF(100, 50);
        l.side = side;
        l.arrangement = arrangement;
        const LabelCardRects r = labelCardRects(l, QRectF(QPointF(0, 0), cell));
        QCOMPARE(r.front, front);
        QCOMPARE(r.back, back);
    }

    void previewCaptions_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("front 2x3 numbered row by row")
            << "F"
            << "U" << QStringList{"Frame 1", "Frame 2", "Frame 3", "Frame 4", "Frame 5", "Frame 6"};
        QTest::newRow("back") << "B"
                              << "U"
                              << QStringList{"Back 1", "Back 2", "Back 3", "Back 4", "Back 5", "Back 6"};
        QTest::newRow("both") << "BOTH"
                              << "U"
                              << QStringList{"Frame 1", "Back 1", "Frame 2", "Back 2", "Frame 3", "Back 3",
                                             "Frame 4", "Back 4", "Frame 5", "Back 5", "Frame 6", "Back 6"};
    }
    void previewCaptions() {
        QFETCH(QString, side);
        QFETCH(QString, arrangement);
        PrintLayout l;
        l.paper = QSizeF(595, 842);
        l.card = QSizeF(150, 100);
        l.rows = 2;
        l.cols = 3;
        l.side = side;
        l.arrangement = arrangement;
        QStringList got;
        const QList<PreviewBox> boxes = previewBoxes(l);
        for (const PreviewBox& b : boxes)
            got << b.caption;
        QTEST(got, "captions");
        if (side == "BOTH") {
            // Upper half of the cell for the front, the back below it.
            QCOMPARE(boxes[0].rect, QRectF(0, 0, 150, 100));
            QCOMPARE(boxes[1].rect, QRectF(0, 100, 150, 100));
        }
    }
};

QTEST_APPLESS_MAIN(TestLabelLayout)
#include "test_label_layout.moc"
