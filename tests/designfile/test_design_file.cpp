#include "app/designfile/DesignFile.h"
#include "app/designfile/DesignSheet.h"
#include "canvas/CardPropertyArchive.h"
#include "canvas/ItemArchive.h"
#include "canvas/ItemCompare.h"
#include "canvas/ItemSamples.h"
#include "canvas/KeyedArchive.h"
#include "canvas/SKTItems.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage picture(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    img.setPixelColor(0, 0, Qt::blue);
    return img;
}

// Every item kind, each with every field away from its default.
GraphicList sampleItems(int salt) {
    GraphicList out;
    int i = 0;
    for (const char* cls :
         {"SKTText", "SKTImage", "SKTSignature", "Shape_Control", "SKTLine", "SKTBarcode"}) {
        GraphicPtr g = makeGraphicOfClass(QString::fromLatin1(cls));
        Q_ASSERT(g);
        itemsamples::fillAllFields(*g, salt * 10 + i++);
        out.append(g);
    }
    return out;
}

DesignData sampleDesign() {
    DesignData d;
    d.front.Card_Size = QSizeF(500, 300);
    d.front.Card_fill_style = QStringLiteral("G");
    d.front.Card_fill_Grd_1_clr = QColor(255, 0, 0, 128);
    d.front.Card_Category = QStringLiteral("Invitation");
    d.front.Card_Sub_Category = QStringLiteral("5 x 7 in");
    d.front.Card_Cat_index = 0;
    d.front.Card_alpha_Stepper = 0.75f;
    d.front.Card_Content_font = QFont(QStringLiteral("Liberation Serif"), 22);
    d.back.Card_Shape = QStringLiteral("RR");
    d.back.Card_BG_Image_Path = QStringLiteral("/frames/back.png");
    d.back.Card_fill_style = QStringLiteral("I");
    d.back.Card_Side = QStringLiteral("1");
    d.framePath = QStringLiteral("/frames/gold.png");
    d.photoPath = QString::fromUtf8("/photos/f\xC3\xA9te.jpg");
    d.photoOriginal = picture(12, 9, Qt::red);
    d.photo.gray_Scale = true;
    d.photo.invert_clr = true;
    d.photo.hue_val = 0.5f;
    d.photo.sat_val = 1.5f;
    d.photo.con_val = 2.0f;
    d.photo.blr_val = 3.0f;
    d.photo.trnsp_val = 80.0f;
    d.photo.rotate_image = -90.5f;
    d.sheet.inUse = true;
    d.sheet.workbookPath = QStringLiteral("/data/guests.xlsx");
    d.sheet.columnTitles = {QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")};
    for (int r = 1; r <= 10; ++r)
        d.sheet.rows.append({{QStringLiteral("Extension"), QString::number(r)},
                             {QStringLiteral("Column1"), QStringLiteral("Guest %1").arg(r)},
                             {QStringLiteral("Column2"), r == 3 ? QString() : QStringLiteral("Town")}});
    d.frontItems = sampleItems(1);
    d.backItems = sampleItems(2).mid(2);
    return d;
}

// Compares the 28 stored fields through their stored values, one by one, with their names.
void compareCards(const Card_Property& a, const Card_Property& b) {
    PlistPtr la(plist_new_array()), lb(plist_new_array());
    CardPropertyArchive::append(a, la.get());
    CardPropertyArchive::append(b, lb.get());
    const QStringList names = CardPropertyArchive::storedFieldNames();
    QCOMPARE(names.size(), CardPropertyArchive::StoredFieldCount);
    auto xml = [](plist_t node) {
        PlistPtr copy(plist_copy(node));
        return plistio::toBytes(copy.get(), plistio::Format::Xml);
    };
    for (int i = 0; i < names.size(); ++i)
        QVERIFY2(xml(plist_array_get_item(la.get(), i)) == xml(plist_array_get_item(lb.get(), i)),
                 qPrintable(names[i]));
}

void compareItems(const GraphicList& a, const GraphicList& b) {
    QCOMPARE(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i) {
        const QStringList diff = itemcompare::differingFields(*a[i], *b[i]);
        QVERIFY2(diff.isEmpty(),
                 qPrintable(QStringLiteral("item %1: %2").arg(i).arg(diff.join(QStringLiteral(", ")))));
    }
}

QByteArray patched(const DesignData& d, int index, plist_t replacement) {
    PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
    Q_ASSERT(root);
    if (replacement)
        plist_array_set_item(root.get(), replacement, index);
    else
        plist_array_remove_item(root.get(), index);
    return plistio::toBytes(root.get(), plistio::Format::Binary);
}

} // namespace

class TestDesignFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<bool>("xml");
        QTest::newRow("binary") << false;
        QTest::newRow("xml") << true;
    }
    void roundTrip() {
        QFETCH(bool, xml);
        const DesignData d = sampleDesign();
        QString error;
        const auto back = designfile::fromBytes(designfile::toBytes(d, xml), &error);
        QVERIFY2(back, qPrintable(error));
        compareCards(d.front, back->front);
        compareCards(d.back, back->back);
        QCOMPARE(back->front.Card_Size, QSizeF(500, 300));
        QCOMPARE(back->back.Card_Shape, QStringLiteral("RR"));
        QCOMPARE(back->framePath, d.framePath);
        QCOMPARE(back->photoPath, d.photoPath);
        QCOMPARE(back->photoOriginal.convertToFormat(QImage::Format_ARGB32), d.photoOriginal);
        QCOMPARE(back->photo, d.photo);
        QCOMPARE(back->sheet, d.sheet);
        compareItems(d.frontItems, back->frontItems);
        compareItems(d.backItems, back->backItems);
    }

    void layoutIsFixed() {
        PlistPtr root = plistio::fromBytes(designfile::toBytes(sampleDesign()));
        QVERIFY(root);
        auto str = [&](int i) {
            return plistio::stringValue(plist_array_get_item(root.get(), i)).value_or(QString());
        };
        QCOMPARE(str(0), QStringLiteral("RUVEVERIRODUVIZEVUDAV"));
        QCOMPARE(str(designfile::FramePathIndex), QStringLiteral("/frames/gold.png"));
        QCOMPARE(str(designfile::SheetFlagIndex), QStringLiteral("Y"));
        QCOMPARE(plistio::integerValue(plist_array_get_item(root.get(), designfile::FrontCountIndex)), 6);
        QCOMPARE(plist_array_get_size(root.get()), uint32_t(designfile::FrontCountIndex + 1 + 6 + 1 + 4));
    }

    void emptyDesign() {
        const auto back = designfile::fromBytes(designfile::toBytes(DesignData{}));
        QVERIFY(back);
        QVERIFY(back->frontItems.isEmpty());
        QVERIFY(back->photoOriginal.isNull());
        QVERIFY(!back->sheet.inUse);
    }

    void corruptFilesRejected_data() {
        QTest::addColumn<QByteArray>("bytes");
        const DesignData d = sampleDesign();
        const QByteArray good = designfile::toBytes(d);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("hello, not a design");
        QTest::newRow("truncated bytes") << good.left(good.size() / 2);
        QTest::newRow("truncated bytes end") << good.left(good.size() - 3);
        QTest::newRow("wrong marker") << patched(d, 0, plistio::newString(QStringLiteral("NOTMARKER")));
        QTest::newRow("marker not text") << patched(d, 0, plistio::newInteger(7));
        QTest::newRow("frame path integer") << patched(d, designfile::FramePathIndex, plistio::newInteger(1));
        QTest::newRow("photo not picture")
            << patched(d, designfile::PhotoDataIndex, plistio::newData("garbage"));
        QTest::newRow("adjustment text")
            << patched(d, designfile::PhotoSettingsIndex + 4, plistio::newString(QStringLiteral("x")));
        QTest::newRow("sheet flag odd")
            << patched(d, designfile::SheetFlagIndex, plistio::newString(QStringLiteral("Q")));
        QTest::newRow("titles not list")
            << patched(d, designfile::SheetTitlesIndex, plistio::newString(QStringLiteral("x")));
        plist_t badRows = plist_new_array();
        plist_array_append_item(badRows, plistio::newString(QStringLiteral("row")));
        QTest::newRow("row not dictionary") << patched(d, designfile::SheetRowsIndex, badRows);
        plist_t badCell = plist_new_array();
        plist_t cell = plist_new_dict();
        plist_dict_set_item(cell, "Extension", plistio::newInteger(1));
        plist_array_append_item(badCell, cell);
        QTest::newRow("cell not text") << patched(d, designfile::SheetRowsIndex, badCell);
        QTest::newRow("count text") << patched(d, designfile::FrontCountIndex,
                                               plistio::newString(QStringLiteral("6")));
        QTest::newRow("count negative") << patched(d, designfile::FrontCountIndex, plistio::newInteger(-1));
        QTest::newRow("count huge") << patched(d, designfile::FrontCountIndex,
                                               plistio::newInteger(2000000000));
        QTest::newRow("count past end") << patched(d, designfile::FrontCountIndex, plistio::newInteger(12));
        QTest::newRow("item not data")
            << patched(d, designfile::FrontCountIndex + 1, plistio::newString(QStringLiteral("x")));
        QTest::newRow("item garbage")
            << patched(d, designfile::FrontCountIndex + 1, plistio::newData("bplist00garbage"));
        QTest::newRow("item missing") << patched(d, designfile::FrontCountIndex + 3, nullptr);
        QTest::newRow("back count missing") << patched(d, designfile::FrontCountIndex + 7, nullptr);
        QTest::newRow("card cut") << patched(d, 5, nullptr);
        QTest::newRow("card field wrong type")
            << patched(d, designfile::BackCardIndex + 3, plistio::newInteger(3));
        PlistPtr root = plistio::fromBytes(good);
        plist_array_append_item(root.get(), plistio::newString(QStringLiteral("tail")));
        QTest::newRow("trailing data") << plistio::toBytes(root.get(), plistio::Format::Binary);
        PlistPtr dict(plist_new_dict());
        QTest::newRow("root dictionary") << plistio::toBytes(dict.get(), plistio::Format::Xml);
        PlistPtr marker(plist_new_array());
        plist_array_append_item(marker.get(), plistio::newString(designfile::Marker));
        QTest::newRow("marker only") << plistio::toBytes(marker.get(), plistio::Format::Binary);
    }
    void corruptFilesRejected() {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!designfile::fromBytes(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    // Every cut of a real file is refused without a crash.
    void everyTruncationRejected() {
        DesignData d;
        d.frontItems = sampleItems(3).mid(0, 2);
        const QByteArray good = designfile::toBytes(d, true);
        for (int n = 0; n < good.size(); n += 97)
            QVERIFY(!designfile::fromBytes(good.left(n)));
    }

    // A table of 3 imported columns and 10 rows comes back with the same titles, keys and rows.
    void sheetThroughDataTable() {
        const DesignData d = sampleDesign();
        Data_From_Excel table;
        restoreSheetBinding(d.sheet, table);
        QVERIFY(Excel_Binding_Use);
        QCOMPARE(Excel_Source_Path, d.sheet.workbookPath);
        QCOMPARE(table.columnTitles(), d.sheet.columnTitles);
        QCOMPARE(table.rowCountOfTable(), 10);
        QCOMPARE(table.value(2, 2), QString()); // an empty cell stays an empty text
        QCOMPARE(table.value(4, 1), QStringLiteral("Guest 5"));
        const auto back = designfile::fromBytes(designfile::toBytes(d));
        QVERIFY(back);
        Excel_Binding_Use = false;
        Excel_Source_Path.clear();
        Data_From_Excel again;
        restoreSheetBinding(back->sheet, again);
        QCOMPARE(captureSheetBinding(again), d.sheet);
    }

    // Every built-in template opens and has its preview.
    void shippedTemplates() {
        const QDir dir(QStringLiteral(NAVU_RESOURCES_DIR "/Templates"));
        const QStringList designs = dir.entryList({QStringLiteral("*.kvto")}, QDir::Files);
        QVERIFY(designs.size() >= 3);
        for (const QString& f : designs) {
            QString error;
            const auto d = designfile::load(dir.filePath(f), &error);
            QVERIFY2(d, qPrintable(f + QStringLiteral(": ") + error));
            QVERIFY(!d->frontItems.isEmpty());
            QVERIFY(!QImage(dir.filePath(QFileInfo(f).completeBaseName() + QStringLiteral(".png"))).isNull());
        }
    }

    void saveAndLoadFiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("card.kvto"));
        QString error;
        QVERIFY2(designfile::save(path, sampleDesign(), &error), qPrintable(error));
        const auto back = designfile::load(path, &error);
        QVERIFY2(back, qPrintable(error));
        compareItems(sampleDesign().frontItems, back->frontItems);
        // A failed write leaves the old file intact.
        QVERIFY(!designfile::save(dir.filePath(QStringLiteral("missing/x.kvto")), sampleDesign(), &error));
        QVERIFY(designfile::load(path));
        QVERIFY(!designfile::load(dir.filePath(QStringLiteral("none.kvto")), &error));
        QVERIFY(!designfile::load(dir.path(), &error));
        QVERIFY(designfile::openFailedMessage(path).contains(QStringLiteral("card.kvto")));
    }
};

QTEST_MAIN(TestDesignFile)
#include "test_design_file.moc"
