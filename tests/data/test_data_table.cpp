#include "data/Data_From_Excel.h"
#include "data/XlsxReader.h"
#include "common/Globals.h"
#include "data/SeriesFiles.h"
#include "data/ui/BindingCombos.h"
#include "data/ui/Data_From_Excel_Dialog.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <QLabel>
#include <QTableView>
#include <QtTest>

#include <cstdlib>

namespace {
QList<QStringList> rowsAtoD()
{
    return {{"A", "B", "C", "D"}, {"a1", " b1 ", "c1", "d1"}, {"a2", "", "c2", "d2\t"}, {"a3", "b3"}};
}
SheetData sheetAtoD() { return SheetData::fromRows(rowsAtoD()); }
} // namespace

class TestDataTable : public QObject {
    Q_OBJECT
private slots:
    void appendRows()
    {
        Data_From_Excel t;
        t.Create_List_By_Array({" x ", "y\n", "z"}, 2);
        t.Create_List_By_Array({"p", ""}, 2);
        t.Create_List_By_Array({"only one"}, 2); // refused: fewer cells than columns
        QCOMPARE(t.rowCountOfTable(), 2);
        QCOMPARE(t.rowDictionary(0), (QVariantMap{{"Extension", "1"}, {"Column1", "x"}, {"Column2", "y"}}));
        QCOMPARE(t.rowDictionary(1), (QVariantMap{{"Extension", "2"}, {"Column1", "p"}, {"Column2", ""}}));
    }

    // A run's copy of the cells stays as it was while the table is edited or grows afterwards, for an
    // imported (shared) table and for one built row by row.
    void copiesStayAsTaken()
    {
        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {1, 3}));
        const DataTableContent imported = t.content();
        QVERIFY(t.setData(t.index(0, 1), QStringLiteral("edited")));
        t.Create_List_By_Array({"new", "row"}, 2);
        QCOMPARE(imported.rowCount(), 3);
        QCOMPARE(imported.value(0, 1), QStringLiteral("b1")); // trimmed as read
        QCOMPARE(t.value(0, 1), QStringLiteral("edited"));
        QCOMPARE(t.value(3, 0), QStringLiteral("4"));
        QCOMPARE(t.value(3, 2), QStringLiteral("row"));
        QCOMPARE(t.value(2, 2), QString()); // d3 is missing: empty

        const DataTableContent grown = t.content();
        t.Create_List_By_Array({"more", "rows"}, 2);
        QCOMPARE(grown.rowCount(), 4);
        QCOMPARE(t.rowCountOfTable(), 5);
        QCOMPARE(t.value(4, 1), QStringLiteral("more"));
    }

    void importChosenColumns()
    {
        Data_From_Excel t;
        QString err;
        QVERIFY(t.importSheet(sheetAtoD(), {1, 3}, &err));
        QCOMPARE(t.columnTitles(), QStringList({Data_From_Excel::RowNumberTitle, "B", "D"}));
        QCOMPARE(t.rowCountOfTable(), 3);
        QCOMPARE(t.value(0, 1), QStringLiteral("b1"));
        QCOMPARE(t.value(0, 2), QStringLiteral("d1"));
        QCOMPARE(t.valueForKey(1, "Column2"), QStringLiteral("d2"));
        QCOMPARE(t.valueForKey(1, "Column1"), QString()); // empty cell, row still counts
        QCOMPARE(t.value(2, 2), QString());               // short sheet row
        QCOMPARE(t.value(2, 0), QStringLiteral("3"));
        QCOMPARE(t.value(3, 0), QString());               // outside the table
        QCOMPARE(t.value(0, 9), QString());
        QCOMPARE(Data_From_Excel_Dialog::columnCountText(t), QStringLiteral("2")); // the sheet's columns
        QCOMPARE(Data_From_Excel_Dialog::rowsCountText(t), QStringLiteral("3"));
    }

    void failedImportKeepsTable_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("columns");
        QTest::newRow("header only") << 1 << QList<int>{0};
        QTest::newRow("empty sheet") << 0 << QList<int>{0};
        QTest::newRow("no column chosen") << 4 << QList<int>{};
    }
    void failedImportKeepsTable()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, columns);
        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {0}));
        const QVariantList before = t.rowsToVariant();
        QString err;
        QVERIFY(!t.importSheet(SheetData::fromRows(rowsAtoD().mid(0, rows)), columns, &err));
        QVERIFY(!err.isEmpty());
        QCOMPARE(t.rowsToVariant(), before);
        QCOMPARE(t.columnTitles(), QStringList({Data_From_Excel::RowNumberTitle, "A"}));
    }

    void keys()
    {
        QCOMPARE(Data_From_Excel::columnKey(0), QStringLiteral("Extension"));
        QCOMPARE(Data_From_Excel::columnKey(12), QStringLiteral("Column12"));
        QCOMPARE(Data_From_Excel::columnOfKey("Column12"), 12);
        QCOMPARE(Data_From_Excel::columnOfKey("Extension"), 0);
        for (const char* bad : {"Column", "Column0", "Column-1", "Column01", "Column+1", "column1", "Other"})
            QCOMPARE(Data_From_Excel::columnOfKey(bad), -1);
    }

    // A design saved with 3 imported columns and 10 rows reopens with the same titles, keys and rows,
    // through the property-list form the design file stores.
    void designFileRoundTrip()
    {
        Data_From_Excel t;
        QList<QStringList> cells{{"Name", "City", "Code"}};
        for (int i = 0; i < 10; ++i)
            cells.append({QStringLiteral("N%1").arg(i), i == 3 ? QString() : QStringLiteral("Zoë %1").arg(i),
                          QStringLiteral("%1").arg(i, 5, 10, QChar('0'))});
        QVERIFY(t.importSheet(SheetData::fromRows(cells), {0, 1, 2}));

        plist_t titles = t.titlesToPlist();
        plist_t rows = t.rowsToPlist();
        // Through the XML form, as a stored file would carry it.
        plist_t root = plist_new_array();
        plist_array_append_item(root, titles);
        plist_array_append_item(root, rows);
        char* xml = nullptr;
        uint32_t len = 0;
        plist_to_xml(root, &xml, &len);
        plist_free(root);
        plist_t back = nullptr;
        plist_from_xml(xml, len, &back);
        std::free(xml);
        QVERIFY(back);

        Data_From_Excel r;
        r.restoreFromPlist(plist_array_get_item(back, 0), plist_array_get_item(back, 1));
        plist_free(back);
        QCOMPARE(r.columnTitles(), t.columnTitles());
        QCOMPARE(r.columnCountOfTable(), 4);
        QCOMPARE(r.rowsToVariant(), t.rowsToVariant());
        QCOMPARE(r.rowDictionary(9).keys(), QStringList({"Column1", "Column2", "Column3", "Extension"}));
        QCOMPARE(r.valueForKey(9, "Column3"), QStringLiteral("00009"));

        Data_From_Excel v;
        v.restoreFromVariant(t.titlesToVariant(), t.rowsToVariant());
        QCOMPARE(v.rowsToVariant(), t.rowsToVariant());
    }

    void restoreOddInput()
    {
        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {0, 1, 2, 3}));
        // No titles stored: the columns follow the rows' keys, nothing of the old table stays.
        t.restoreFromVariant({}, {QVariantMap{{"Extension", "1"}, {"Column2", "b"}, {"Bogus", "x"}},
                                  QVariantMap{{"Column99999", "huge"}}});
        QCOMPARE(t.columnTitles(), QStringList({Data_From_Excel::RowNumberTitle, "Untitled Column 1",
                                                "Untitled Column 2"}));
        QCOMPARE(t.rowCountOfTable(), 2);
        QCOMPARE(t.value(0, 2), QStringLiteral("b"));
        // Keys beyond the stored titles are dropped.
        t.restoreFromVariant({"Row No.", "One"}, {QVariantMap{{"Column1", "a"}, {"Column2", "beyond"}}});
        QCOMPARE(t.rowDictionary(0), (QVariantMap{{"Extension", ""}, {"Column1", "a"}}));
        // Nodes of the wrong kind read as an empty table.
        plist_t notArray = plist_new_string("x");
        t.restoreFromPlist(notArray, notArray);
        plist_free(notArray);
        QCOMPARE(t.rowCountOfTable(), 0);
        QCOMPARE(t.columnCountOfTable(), 1);
        t.restoreFromPlist(nullptr, nullptr);
        QCOMPARE(t.rowCountOfTable(), 0);
    }

    void modelEditing()
    {
        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {0, 2}));
        QCOMPARE(t.headerData(2, Qt::Horizontal).toString(), QStringLiteral("C"));
        QVERIFY(t.setData(t.index(1, 2), "edited"));
        QCOMPARE(t.valueForKey(1, "Column2"), QStringLiteral("edited"));
        QVERIFY(!t.setData(t.index(7, 1), "x"));
        QVERIFY(t.flags(t.index(0, 0)) & Qt::ItemIsSelectable);
    }

    void combos()
    {
        QTemporaryDir dir;
        Data_Folder_Path = dir.filePath("DataSet");
        QVERIFY(SeriesFiles::writeSeries("b", {"1"}));
        QVERIFY(SeriesFiles::writeSeries("A", {"1"}));
        QComboBox series;
        series.addItem("stale");
        Fill_Data_Set_File_Name_In_Combo(&series);
        QCOMPARE(series.count(), 2);
        QCOMPARE(series.itemText(0), QStringLiteral("A"));

        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {1, 3}));
        QComboBox columns;
        Fill_Excel_Col_Name_In_Combo(&columns, t);
        QCOMPARE(columns.count(), 3);
        QCOMPARE(columns.itemText(2), QStringLiteral("D")); // position 2 is excel_col_indx 2

        QComboBox source;
        source.addItems({"Manual", "Series"});
        Add_Excel_Col_Name_In_Combo(&source);
        Add_Excel_Col_Name_In_Combo(&source);
        QCOMPARE(source.count(), 3);
        Remove_Excel_Col_Name_In_Combo(&source);
        Remove_Excel_Col_Name_In_Combo(&source);
        QCOMPARE(source.count(), 2);
    }

    void window()
    {
        Data_From_Excel t;
        QVERIFY(t.importSheet(sheetAtoD(), {0, 1, 2}));
        Data_From_Excel_Dialog dialog(&t);
        QCOMPARE(dialog.rows_count->text(), QStringLiteral("3"));
        QCOMPARE(dialog.column_count->text(), QStringLiteral("3"));
        QCOMPARE(dialog.ColList->model()->data(dialog.ColList->model()->index(0, 1)).toString(), QStringLiteral("a1"));
        t.Create_List_By_Array({"x", "y", "z"}, 3);
        QCOMPARE(dialog.rows_count->text(), QStringLiteral("4"));
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        QCOMPARE(dialog.Open_Wnd(), 1);
    }
};

QTEST_MAIN(TestDataTable)
#include "test_data_table.moc"
