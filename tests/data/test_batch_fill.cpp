#include "TestPictures.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/RowPictureFiles.h"
#include "data/SeriesFiles.h"
#include "data/XlsxReader.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {
GraphicPtr bound(const QString& cls, int type, const QString& series = {}, int column = 0)
{
    GraphicPtr g = makeGraphicOfClass(cls, false);
    g->setBounds(QRectF(10, 10, 200, 40));
    g->data_source_type = type;
    g->batch_list_name = series;
    g->batch_list_index = 7; // a stale listing position: lookup goes by name
    g->excel_col_indx = column;
    return g;
}

// XML form: the binary writer may order shared objects differently from one call to the next.
QList<QByteArray> archives(const GraphicList& items)
{
    QList<QByteArray> out;
    for (const GraphicPtr& g : items)
        out << archiveItem(*g, plistio::Format::Xml);
    return out;
}

QString textOf(const GraphicList& items, int i) { return items.at(i)->_Text_contents; }
} // namespace

class TestBatchFill : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    Data_From_Excel table;
    QString picA, picB;

private slots:
    void initTestCase()
    {
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Names", {" Anna\t", "Ben", "Cleo "}));
        QVERIFY(SeriesFiles::writeSeries("Zeta", {"z1", "z2"}));
        // A file whose name sorts first would shift every listing position.
        QVERIFY(SeriesFiles::writeSeries("AAA", {"wrong"}));
        picA = root.filePath("a.png");
        picB = root.filePath("b.png");
        QImage a = filledImage(QSize(20, 10), Qt::red);
        QVERIFY(a.save(picA));
        QImage b = filledImage(QSize(30, 30), Qt::blue);
        QVERIFY(b.save(picB));

        QVERIFY(table.importSheet(SheetData::fromRows({{"City", "Code", "Picture"},
                                                       {"Oslo", "1001", picA},
                                                       {" Rome ", "1002", picB},
                                                       {"Kyoto", "1003", ""},
                                                       {"Lima", "1004", picA},
                                                       {"Nice", "1005", picB}}),
                                  {0, 1, 2}));
    }

    void init()
    {
        CARD_SIDE_STR = "2";
        Card_Value_In_Process = false;
    }

    // 3 series rows and a 5-row table give 5 cards with the right values; the design is untouched.
    void perRowRun()
    {
        GraphicList front{bound("SKTText", 1, "Names"), bound("SKTText", 2, {}, 1), bound("SKTText", 2, {}, 0),
                          bound("SKTImage", 2, {}, 3), bound("SKTBarcode", 2, {}, 2), bound("Shape_Control", 1, "Names"),
                          bound("SKTText", 0)};
        front[6]->_Text_contents = "typed";
        front[4]->barcode_font_index = 9; // Code 128
        GraphicList back{bound("SKTText", 1, "Zeta")};
        const QList<QByteArray> frontBefore = archives(front);
        const QList<QByteArray> backBefore = archives(back);

        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, back, true, table, series);
        QVERIFY(Use_Data_Sheet_Values);
        QVERIFY(Use_Excel_Binding_Values);
        QCOMPARE(Data_table_rows, 3);
        QCOMPARE(Excel_table_rows, 5);
        QCOMPARE(Total_Batch_Excel_Card, 5);

        BatchFillJob::Design design{front, back, Card_Property::defaults("F"), Card_Property::defaults("B"), 0, true};
        auto job = BatchFillJob::create(design, series, table);
        QCOMPARE(job->Total_Batch_Excel_Card(), 5);
        const QStringList names{"Anna", "Ben", "Cleo", "", ""};
        const QStringList zeta{"z1", "z2", "", "", ""};
        const QStringList cities{"Oslo", "Rome", "Kyoto", "Lima", "Nice"};
        Card_Value_In_Process = true;
        for (int r = 0; r < 5; ++r) {
            const QImage backImage = job->Set_data_table_value_to_card(r, "B", false);
            const QImage frontImage = job->Set_data_table_value_to_card(r, "F", false);
            QCOMPARE(frontImage.size(), QSize(504, 360));
            QCOMPARE(backImage.size(), QSize(504, 360));
            const GraphicList f = job->itemsForRow(r, "F");
            QCOMPARE(textOf(f, 0), names[r]);
            QCOMPARE(textOf(f, 1), cities[r]);
            QCOMPARE(textOf(f, 2), QString::number(r + 1));
            QCOMPARE(f[3]->_file_path, QStringList({picA, picB, "", picA, picB})[r]);
            QCOMPARE(f[3]->_image.width(), QList<int>({20, 30, 0, 20, 30})[r]);
            QVERIFY2(!f[4]->_barcode_image.isNull(), qPrintable(job->warnings().join('\n')));
            QCOMPARE(textOf(f, 5), QString()); // shapes never take values
            QCOMPARE(textOf(f, 6), QStringLiteral("typed"));
            QCOMPARE(textOf(job->itemsForRow(r, "B"), 0), zeta[r]);
        }
        QCOMPARE(archives(front), frontBefore);
        QCOMPARE(archives(back), backBefore);

        job->Select_first_row_value_for_design(front, back, false);
        QVERIFY(!Card_Value_In_Process);
        QCOMPARE(textOf(front, 0), QStringLiteral("Anna"));
        QCOMPARE(textOf(front, 1), QStringLiteral("Oslo"));
        QCOMPARE(textOf(back, 0), QStringLiteral("z1"));
    }

    void columnOutsideTableWarnsOnce()
    {
        GraphicList front{bound("SKTText", 2, {}, 9), bound("SKTText", 2, {}, -2)};
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, true, table, series);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, true}, series, table);
        for (int r = 0; r < 5; ++r) {
            const GraphicList f = job->itemsForRow(r, "F");
            QCOMPARE(textOf(f, 0), QString());
        }
        QCOMPARE(job->warnings().size(), 2);
        QVERIFY(job->warnings().first().contains("column 9"));
    }

    void eachBarcodeGetsItsOwnStyle()
    {
        GraphicList front{bound("SKTBarcode", 2, {}, 2), bound("SKTBarcode", 2, {}, 1)};
        front[0]->barcode_font_index = 9;
        front[1]->barcode_font_index = 0;
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, true, table, series);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, true}, series, table);
        QStringList calls;
        job->setBarcodeMaker([&calls](const SKTGraphic& item, const QString& value, QString*) {
            calls << QStringLiteral("%1:%2").arg(item.barcode_font_index).arg(value);
            return QImage(4, 4, QImage::Format_ARGB32);
        });
        for (int r = 0; r < 3; ++r)
            job->itemsForRow(r, "F");
        QCOMPARE(calls, QStringList({"9:1001", "0:Oslo", "9:1002", "0:Rome", "9:1003", "0:Kyoto"}));
        // A value the symbology cannot hold: no image, one warning, no crash.
        GraphicList ean{bound("SKTBarcode", 2, {}, 1)};
        ean[0]->barcode_font_index = 8; // EAN-13 takes digits only
        auto strict = BatchFillJob::create({ean, {}, {}, {}, 0, true}, series, table);
        QVERIFY(strict->itemsForRow(0, "F")[0]->_barcode_image.isNull());
        strict->itemsForRow(1, "F");
        QCOMPARE(strict->warnings().size(), 2); // one per value
    }

    void mainPhotoFromSeriesStaysInTheRun()
    {
        QVERIFY(SeriesFiles::writeSeries("Pics", {picA, picB}));
        GraphicList front{bound("SKTImage", 1, "Pics"), bound("SKTImage", 0)};
        front[1]->control_ID = "PARTY_IMAGE";
        QImage photo = filledImage(QSize(5, 5), Qt::green);
        front[1]->_image = photo;
        const QList<QByteArray> before = archives(front);
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, false, table, series);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, false}, series, table);
        QCOMPARE(job->itemsForRow(1, "F")[1]->_image.width(), 30); // the row's picture is the main photo
        job->Select_first_row_value_for_design(front, front, false);
        QCOMPARE(front[1]->_image.image(), photo);                          // the design keeps its own
        QCOMPARE(front[0]->_file_path, picA);
        QCOMPARE(archives(GraphicList{front[1]}), QList<QByteArray>{before[1]});
    }

    // Each row's main photo is loaded through the window's adjusted loader, so output shows the design's
    // photo settings (here grey scale) as they were when the run was made, whatever they are meanwhile.
    void mainPhotoRowsKeepAdjustments()
    {
        PhotoSettings settings;
        settings.gray_Scale = true;
        setCurrentPhotoSettings(settings);
        BatchFillJob::setDefaultPhotoLoader(&MainPhoto::rowPhotoLoader);
        GraphicList front{bound("SKTImage", 2, {}, 3), bound("SKTImage", 1, "Pics"), bound("SKTImage", 0)};
        front[0]->control_ID = "PARTY_IMAGE";
        QVERIFY(SeriesFiles::writeSeries("Pics", {picB, picA}));
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, false, table, series);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, false}, series, table);
        BatchFillJob::setDefaultPhotoLoader(nullptr);
        setCurrentPhotoSettings(PhotoSettings());
        const GraphicList row = job->itemsForRow(0, "F"); // the table gives the red picture a.png, 20 x 10
        const QImage photo = row[0]->_image.image();
        QCOMPARE(photo.size(), QSize(20, 10));
        const QColor c = photo.pixelColor(10, 5);
        QVERIFY2(c.red() == c.green() && c.green() == c.blue() && c.red() > 0,
                 qPrintable(QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue())));
    }

    void sourcesAndCounts_data()
    {
        QTest::addColumn<QString>("frontSeries");
        QTest::addColumn<QString>("backSeries");
        QTest::addColumn<bool>("twoSided");
        QTest::addColumn<bool>("useSeries");
        QTest::addColumn<int>("rows");
        QTest::newRow("single-sided ignores the back") << "" << "Names" << false << false << 0;
        QTest::newRow("two-sided reads the back") << "" << "Names" << true << true << 3;
        QTest::newRow("missing series counts no rows") << "Nope" << "" << true << false << 0;
        QTest::newRow("longest series wins") << "Zeta" << "Names" << true << true << 3;
    }
    void sourcesAndCounts()
    {
        QFETCH(QString, frontSeries);
        QFETCH(QString, backSeries);
        QFETCH(bool, twoSided);
        QFETCH(int, rows);
        GraphicList front{frontSeries.isEmpty() ? bound("SKTText", 0) : bound("SKTText", 1, frontSeries)};
        GraphicList back{backSeries.isEmpty() ? bound("SKTText", 0) : bound("SKTText", 1, backSeries)};
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, back, twoSided, table, series);
        QTEST(Use_Data_Sheet_Values, "useSeries");
        QVERIFY(!Use_Excel_Binding_Values); // rows but no item bound to a column
        QCOMPARE(Total_Batch_Excel_Card, rows);
    }

    void emptySeriesFileIsOneEmptyRow()
    {
        QVERIFY(SeriesFiles::writeSeries("Empty", QStringList{}));
        GraphicList front{bound("SKTText", 1, "Empty")};
        front[0]->_Text_contents = "before";
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, true, table, series);
        QCOMPARE(Total_Batch_Excel_Card, 1);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, true}, series, table);
        QCOMPARE(textOf(job->itemsForRow(0, "F"), 0), QString());
    }

    void switchedOffSourceKeepsContent()
    {
        GraphicList front{bound("SKTText", 1, "Names"), bound("SKTText", 2, {}, 1)};
        front[1]->_Text_contents = "kept";
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, {}, true, table, series);
        QCOMPARE(Total_Batch_Excel_Card, 5);
        Use_Excel_Binding_Values = false; // the output dialog's box unticked
        Get_total_Card_count(series, table);
        QCOMPARE(Total_Batch_Excel_Card, 3);
        auto job = BatchFillJob::create({front, {}, {}, {}, 0, true}, series, table);
        QCOMPARE(job->Total_Batch_Excel_Card(), 3);
        QCOMPARE(textOf(job->itemsForRow(2, "F"), 1), QStringLiteral("kept"));
    }

    void inUseValidation()
    {
        GraphicList front{bound("SKTText", 1, "Names"), bound("Shape_Control", 1, "Zeta")};
        GraphicList back{bound("SKTBarcode", 1, "Zeta")};
        QVERIFY(Check_Batch_File_In_Use_Validation("Names", front, back, true));
        QVERIFY(!Check_Batch_File_In_Use_Validation("names", front, back, true));
        QVERIFY(Check_Batch_File_In_Use_Validation("Zeta", front, back, true));
        QVERIFY(!Check_Batch_File_In_Use_Validation("Zeta", front, back, false));
        QVERIFY(!Check_Batch_File_In_Use_Validation("Nope", GraphicList{bound("SKTText", 1, "Nope")}, {}, true));
    }

    // A file named on many rows (with spaces around its name or not) is read once and gives one picture; one
    // changed meanwhile is read again; one that cannot be read is tried once and says why on every row.
    void rowsShareTheFilesTheyName_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("reads");
        QTest::addColumn<int>("pictures");
        QTest::newRow("the same file on every row") << "" << 1 << 1;
        QTest::newRow("the file replaced after the first row") << "replace" << 2 << 2;
        QTest::newRow("a file that is missing") << "missing" << 1 << 0;
    }
    void rowsShareTheFilesTheyName()
    {
        QFETCH(QString, change);
        QFETCH(int, reads);
        QFETCH(int, pictures);
        const QString path = root.filePath("row.png");
        QFile::remove(path);
        if (change != "missing")
            QVERIFY(filledImage(QSize(20, 10), Qt::red).save(path));
        RowPictureFiles files(nullptr);
        int read = 0;
        const auto reader = [&read](const QString& p, QString* error) {
            ++read;
            return SKTImage::loadPicture(p, error);
        };
        QSet<qint64> keys;
        for (int row = 0; row < 4; ++row) {
            if (row == 1 && change == "replace") {
                QFile::remove(path);
                QVERIFY(filledImage(QSize(30, 30), Qt::blue).save(path));
            }
            QString why;
            const ItemPicture picture = files.picture(row % 2 ? path : QStringLiteral(" %1 ").arg(path), reader, &why);
            QCOMPARE(why.isEmpty(), change != "missing");
            if (!picture.isNull())
                keys << picture.cacheKey();
            QCOMPARE(picture.width(), change == "missing" ? 0 : change == "replace" && row > 0 ? 30 : 20);
        }
        QCOMPARE(read, reads);
        QCOMPARE(files.reads(), reads);
        QCOMPARE(int(keys.size()), pictures);
    }

    void firstValues()
    {
        QCOMPARE(SeriesFiles::Get_First_Value_Of_Dataset("Names"), QStringLiteral(" Anna\t"));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(table, 1), QStringLiteral("Oslo"));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(table, 0), QStringLiteral("1"));
        QCOMPARE(Get_First_Value_Of_Excel_Binding(Data_From_Excel(), 1), QString());
    }
};

QTEST_MAIN(TestBatchFill)
#include "test_batch_fill.moc"
