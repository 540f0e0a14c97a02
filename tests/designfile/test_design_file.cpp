#include "FileBytes.h"
#include "TestPictures.h"
#include "app/designfile/CompactPlist.h"
#include "app/designfile/DesignFile.h"
#include "app/designfile/DesignSheet.h"
#include "canvas/BinaryPlist.h"
#include "canvas/CardPropertyArchive.h"
#include "canvas/ItemArchive.h"
#include "canvas/ItemCompare.h"
#include "canvas/ItemSamples.h"
#include "canvas/KeyedArchive.h"
#include "canvas/SKTItems.h"
#include "data/BatchState.h"
#include "SharedPlist.h"
#include "data/Data_From_Excel.h"
#include "data/XlsxReader.h"

#include "SmallDisk.h"

#include <QBuffer>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <limits>
#include <sys/resource.h>
#include <memory>

namespace {

QImage picture(int w, int h, QColor c) {
    QImage img = filledImage(QSize(w, h), c);
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
    d.back.Card_BG_Image = ItemPicture::fromBytes(QByteArray::fromBase64( // a green 8 x 6 PNG, turned and grey
        "iVBORw0KGgoAAAANSUhEUgAAAAgAAAAGCAIAAABxZ0isAAAAEElEQVR4nGNgOMGAHQ2kBAD9rCWBu8EGcAAAAABJRU5ErkJggg=="))
                               .adjusted({.grayscale = true, .rotation = 90});
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
    QList<QStringList> rows;
    for (int r = 1; r <= 10; ++r)
        rows.append({QString::number(r), QStringLiteral("Guest %1").arg(r), r == 3 ? QString() : QStringLiteral("Town")});
    d.sheet.rows = DataTableContent::ofRows(rows, 3);
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

// A table of a few thousand rows with values of every sort: repeated and unique, empty, non-Latin, outside
// the basic plane, long, and texts equal to the file's own keys and flags.
DataTableContent mixedTable(int rows) {
    const QString samples[] = {QString(), QStringLiteral("Oslo"), QString::fromUtf8("Z\xC3\xBCrich"),
                               QString::fromUtf8("\xE6\x9D\xB1\xE4\xBA\xAC"), QString::fromUtf8("\xF0\x9F\x8E\x89 party"),
                               QStringLiteral("  spaced  "), QStringLiteral("Column1"), QStringLiteral("Y"),
                               QStringLiteral("line\nbreak\ttab"), QString(5000, QLatin1Char('w'))};
    QList<QStringList> table;
    for (int r = 0; r < rows; ++r)
        table.append({QString::number(r + 1), samples[r % 10], QStringLiteral("Guest %1").arg(r),
                      samples[(r * 7) % 10], r % 3 ? QString() : QString::number(r * 0.25)});
    return DataTableContent::ofRows(table, 5);
}

qint64 peakRssMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

// A design whose rows refer, in turn, to a few shared dictionaries; each holds `names` (column keys to
// values) and `padding` more entries whose keys name no column. With `aliased`, each row refers to an object
// number of its own whose offset is its dictionary's.
QByteArray rowsSharingDictionaries(const DesignData& d, int rows, const QList<QStringList>& names, int padding,
                                   bool aliased = false) {
    const PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
    plist_t rowsSlot = plist_array_get_item(root.get(), designfile::SheetRowsIndex);
    CompactPlistWriter w;
    QList<std::pair<quint32, quint32>> aliases;
    const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node != rowsSlot)
            return CompactPlistWriter::NotMine;
        QList<quint32> dicts;
        for (const QStringList& row : names) {
            const quint32 n = quint32(row.size() + padding);
            const auto dict = writer.beginDict(n);
            for (int k = 0; k < row.size(); ++k)
                writer.setEntry(dict, n, quint32(k), writer.addText(Data_From_Excel::columnKey(k + 1)),
                                writer.addText(row[k]));
            for (int k = 0; k < padding; ++k)
                writer.setEntry(dict, n, quint32(row.size() + k), writer.addText(QStringLiteral("K%1").arg(k)),
                                writer.addText(QString()));
            dicts << dict.index;
        }
        const quint32 first = aliased ? writer.reserve(quint32(rows)) : 0;
        const auto array = writer.beginArray(quint32(rows));
        for (int r = 0; r < rows; ++r)
            writer.setElement(array, quint32(r), aliased ? first + quint32(r) : dicts[r % dicts.size()]);
        for (int r = 0; aliased && r < rows; ++r)
            aliases.append({first + quint32(r), dicts[r % dicts.size()]});
        return array.index;
    });
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    w.finish(*top, buffer, [&](CompactPlistWriter& writer) {
        for (const auto& alias : aliases)
            writer.placeAt(alias.first, 0);
        return true;
    });
    // Each alias takes its dictionary's entry of the offset table.
    const auto t = bplist::readTrailer(bytes);
    char* table = bytes.data() + t->tableOffset;
    for (const auto& [alias, dict] : aliases)
        std::memcpy(table + alias * t->offsetSize, table + dict * t->offsetSize, size_t(t->offsetSize));
    return bytes;
}

// A design whose element `index` is an array of sizes.last() references to one array of the size before,
// and so on down to an array of references to true.
QByteArray nestedSharedArraysAt(const DesignData& d, int index, const QList<quint32>& sizes) {
    const PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
    plist_t slot = plist_array_get_item(root.get(), uint32_t(index));
    CompactPlistWriter w;
    const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node != slot)
            return CompactPlistWriter::NotMine;
        const PlistPtr yes(plist_new_bool(1));
        quint32 below = *writer.addTree(yes.get());
        for (const quint32 n : sizes) {
            const auto array = writer.beginArray(n);
            for (quint32 i = 0; i < n; ++i)
                writer.setElement(array, i, below);
            below = array.index;
        }
        return below;
    });
    return w.finish(*top);
}

// A binary property list of hand-made objects (one-byte references and offsets where they fit).
QByteArray handMadePlist(const QList<QByteArray>& objects) {
    QByteArray out("bplist00");
    QList<int> offsets;
    for (const QByteArray& o : objects) {
        offsets << int(out.size());
        out += o;
    }
    const int tableOffset = int(out.size());
    for (int off : offsets)
        out += char(off);
    out += QByteArray(6, 0);
    out += char(1); // offset size
    out += char(1); // reference size
    out += QByteArray(7, 0) + char(objects.size());
    out += QByteArray(8, 0); // top object 0
    out += QByteArray(7, 0) + char(tableOffset);
    return out;
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
        QCOMPARE(back->photoOriginal.image().convertToFormat(QImage::Format_ARGB32), d.photoOriginal.image());
        QCOMPARE(back->photo, d.photo);
        QCOMPARE(back->sheet, d.sheet);
        compareItems(d.frontItems, back->frontItems);
        compareItems(d.backItems, back->backItems);
        // The back's background as its bytes and adjustments; a side without one stores none.
        QCOMPARE(back->back.Card_BG_Image.bytes(), d.back.Card_BG_Image.bytes());
        QCOMPARE(back->back.Card_BG_Image.adjustments(), d.back.Card_BG_Image.adjustments());
        QCOMPARE(back->back.Card_BG_Image.size(), QSize(6, 8));
        QVERIFY(back->front.Card_BG_Image.isNull());
        // Saved again, the design read is written as the one saved (pictures made in memory included).
        QVERIFY(designfile::toBytes(*back, xml) == designfile::toBytes(d, xml));
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
        // then the two sides' background pictures
        QCOMPARE(plist_array_get_size(root.get()), uint32_t(designfile::FrontCountIndex + 1 + 6 + 1 + 4 + 2));
    }

    // Both binary writers encode every kind of value to the same bytes as before (files stay as they were).
    void bothWritersKeepTheirBytes_data() {
        QTest::addColumn<std::shared_ptr<void>>("tree");
        QTest::addColumn<QByteArray>("keyed");
        QTest::addColumn<QByteArray>("compact");
        auto array = [](std::initializer_list<plist_t> items) {
            plist_t a = plist_new_array();
            for (plist_t item : items)
                plist_array_append_item(a, item);
            return std::shared_ptr<void>(a, plist_free);
        };
        const QByteArray bytes20(20, 'b');
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, "a", plist_new_string("a"));
        plist_t sixteen = plist_new_array();
        for (int i = 0; i < 16; ++i)
            plist_array_append_item(sixteen, plist_new_uint(uint64_t(i % 3)));
        plist_dict_set_item(dict, "list", sixteen);
        QTest::newRow("flags") << array({plist_new_bool(1), plist_new_bool(0), plist_new_bool(1)})
                               << QByteArray("62706c6973743030a30102010908080c0d00000000000001010000000000000"
                                             "0030000000000000000000000000000000e")
                               << QByteArray("62706c69737430300908a30102010a080900000000000001010000000000000"
                                             "0030000000000000000000000000000000e");
        QTest::newRow("integers")
            << array({plist_new_uint(0), plist_new_uint(200), plist_new_uint(70000),
                      plist_new_uint(uint64_t(1) << 40), plist_new_uint(~uint64_t(0))})
            << QByteArray("62706c6973743030a50102030405100010c8120001117013000001000000000013ffffffffffffffff"
                          "080e101217200000000000000101000000000000000600000000000000000000000000000029")
            << QByteArray("62706c6973743030100010c8120001117013000001000000000013ffffffffffffffffa50102030405"
                          "23080a0c111a0000000000000101000000000000000600000000000000000000000000000029");
        QTest::newRow("reals")
            << array({plist_new_real(0.5), plist_new_real(0.1), plist_new_real(-1e300),
                      plist_new_real(std::numeric_limits<double>::infinity())})
            << QByteArray("62706c6973743030a401020304223f000000233fb999999999999a23fe37e43c8800759c227f800000"
                          "080d121b240000000000000101000000000000000500000000000000000000000000000029")
            << QByteArray("62706c6973743030223f000000233fb999999999999a23fe37e43c8800759c227f800000a401020304"
                          "24080d161f0000000000000101000000000000000500000000000000000000000000000029");
        QTest::newRow("dates")
            << array({plist_new_date(0, 0), plist_new_date(700000000, 250000)})
            << QByteArray("62706c6973743030a201023300000000000000003341c4dc9380200000080b14000000000000010100"
                          "000000000000030000000000000000000000000000001d")
            << QByteArray("62706c69737430303300000000000000003341c4dc9380200000a201021a0811000000000000010100"
                          "000000000000030000000000000000000000000000001d");
        QTest::newRow("data")
            << array(
                   {plist_new_data("", 0), plist_new_data("abc", 3), plist_new_data(bytes20.constData(), 20)})
            << QByteArray("62706c6973743030a301020340436162634f1014626262626262626262626262626262626262626208"
                          "0c0d110000000000000101000000000000000400000000000000000000000000000028")
            << QByteArray("62706c697374303040436162634f10146262626262626262626262626262626262626262a301020324"
                          "08090d0000000000000101000000000000000400000000000000000000000000000028");
        QTest::newRow("texts")
            << array({plist_new_string(""), plist_new_string("Oslo"),
                      plist_new_string("a text of twenty-two"), plist_new_string("Oslo"),
                      plist_new_string("Z\xC3\xBCrich"), plist_new_string("\xF0\x9F\x8E\x89")})
            << QByteArray("62706c6973743030a601020302040550544f736c6f5f1014612074657874206f66207477656e74792d"
                          "74776f66005a00fc007200690063006862d83cdf89080f10152c390000000000000101000000000000"
                          "00060000000000000000000000000000003e")
            << QByteArray("62706c697374303050544f736c6f5f1014612074657874206f66207477656e74792d74776f66005a00"
                          "fc007200690063006862d83cdf89a60102030204053708090e25320000000000000101000000000000"
                          "00060000000000000000000000000000003e");
        QTest::newRow("uids") << array({plist_new_uid(1), plist_new_uid(300)})
                              << QByteArray("62706c6973743030a20102800181012c080b0d00000000000001010000000000"
                                            "00000300000000000000000000000000000010")
                              << QByteArray("62706c6973743030800181012ca201020d080a00000000000001010000000000"
                                            "00000300000000000000000000000000000010");
        QTest::newRow("containers")
            << array({dict})
            << QByteArray(
                   "62706c6973743030a101d2020302045161546c697374af1010050607050607050607050607050607051000100"
                   "11002080a0f1116292b2d000000000000010100000000000000080000000000000000000000000000002f")
            << QByteArray(
                   "62706c69737430305161546c697374100010011002a101d202030204af1010050607050607050607050607050"
                   "607051517080a1c0f1113000000000000010100000000000000080000000000000000000000000000002f");
    }
    void bothWritersKeepTheirBytes() {
        QFETCH(std::shared_ptr<void>, tree);
        QTEST(plistio::toBytes(tree.get(), plistio::Format::Binary).toHex(), "keyed");
        CompactPlistWriter writer;
        const auto top = writer.addTree(tree.get());
        QVERIFY(top);
        QTEST(writer.finish(*top).toHex(), "compact");
    }

    void emptyDesign() {
        const auto back = designfile::fromBytes(designfile::toBytes(DesignData{}));
        QVERIFY(back);
        QVERIFY(back->frontItems.isEmpty());
        QVERIFY(back->photoOriginal.isNull());
        QVERIFY(!back->sheet.inUse);
        QVERIFY(designfile::toBytes(*back) == designfile::toBytes(DesignData{})); // no key of an empty table
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
        const int backBackground = designfile::FrontCountIndex + 1 + 6 + 1 + 4 + 1;
        QTest::newRow("background not a picture") << patched(d, backBackground, plistio::newData("bplist00garbage"));
        QTest::newRow("background missing") << patched(d, backBackground, nullptr);
        PlistPtr dict(plist_new_dict());
        QTest::newRow("root dictionary") << plistio::toBytes(dict.get(), plistio::Format::Xml);
        PlistPtr marker(plist_new_array());
        plist_array_append_item(marker.get(), plistio::newString(designfile::Marker));
        QTest::newRow("marker only") << plistio::toBytes(marker.get(), plistio::Format::Binary);
        // Objects that refer to themselves, or shared so often that the tree would explode.
        QTest::newRow("root holds itself") << handMadePlist({QByteArray("\xA1\x00", 2)});
        QList<QByteArray> doubling;
        for (int i = 0; i < 60; ++i)
            doubling << QByteArray("\xA2", 1) + char(i + 1) + char(i + 1);
        doubling << QByteArray("\x51x", 2);
        QTest::newRow("shared objects explode") << handMadePlist(doubling);
        QTest::newRow("key not text") << handMadePlist({QByteArray("\xA1\x01", 2), QByteArray("\xD1\x02\x02", 3),
                                                        QByteArray("\x10\x07", 2)});
        QTest::newRow("reference past the end") << handMadePlist({QByteArray("\xA1\x05", 2)});
        QTest::newRow("text past the end") << handMadePlist({QByteArray("\xA1\x01", 2), QByteArray("\x5Fxx", 3)});
    }
    void corruptFilesRejected() {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!designfile::fromBytes(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    // Objects shared by very many references are charged by the bytes of every copy, in the design and in
    // its item archives, and refused before they are copied; a refusal names the element by its own index.
    void hostileDesignsAreRefusedWithTheirReason_data() {
        using namespace sharedplist;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("told"); // what the user is told
        const QString damaged = QStringLiteral("It is damaged or not a design file.");
        const QString tooOften = plistio::overBudgetMessage();
        const QByteArray manyTexts = sharedInArray(text(QByteArray(4096, 't')), 1000000);
        QTest::newRow("data 200,000 times") << sharedInArray(data(QByteArray(65536, 'd')), 200000) << tooOften << damaged;
        QTest::newRow("text a million times") << manyTexts << tooOften << damaged;
        const DesignData d = sampleDesign();
        QTest::newRow("item archive sharing a text")
            << patched(d, designfile::FrontCountIndex + 1, plistio::newData(manyTexts))
            << QStringLiteral("element 77: front item 0 is broken: ") + tooOften << damaged;
        QTest::newRow("photo not a picture") << patched(d, designfile::PhotoDataIndex, plistio::newData("garbage"))
                                             << QStringLiteral("element 59: the main photo cannot be read") << damaged;
        QTest::newRow("count a text") << patched(d, designfile::FrontCountIndex, plistio::newString(QStringLiteral("1")))
                                      << QStringLiteral("element 76: the front is not a valid count") << damaged;
        // 19 million values of shared arrays where a text belongs: refused before any is made.
        QTest::newRow("frame path shared arrays")
            << nestedSharedArraysAt(d, designfile::FramePathIndex, {250, 250, 310})
            << QStringLiteral("element 57: the frame picture path is not a text") << damaged;
        // A whole file over a limit of size is told so, not called damaged.
        plist_t titles = plist_new_array();
        for (int i = 0; i <= designfile::MaxColumns; ++i)
            plist_array_append_item(titles, plistio::newString(QStringLiteral("C")));
        // An XML list shares nothing: past its budget it is only large.
        QTest::newRow("xml of 2,100,000 values")
            << "<plist><array>" + QByteArray("<true/>").repeated(2100000) + "</array></plist>"
            << QStringLiteral("The property list holds too many values.")
            << QStringLiteral("is too large to be opened (The property list holds too many values.).");
        QTest::newRow("too many columns") << patched(d, designfile::SheetTitlesIndex, titles)
                                          << QStringLiteral("element 74: too many columns")
                                          << QStringLiteral("is too large to be opened (too many columns).");
    }
    void hostileDesignsAreRefusedWithTheirReason() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        const qint64 before = peakRssMB();
        QString error;
        QVERIFY(!designfile::fromBytes(bytes, &error));
        QTEST(error, "reason");
        QVERIFY2(designfile::openFailedMessage(QStringLiteral("a.kvto"), error).endsWith(told), qPrintable(error));
        QVERIFY2(peakRssMB() - before < 100, qPrintable(QString::number(peakRssMB() - before)));
        // A size just past the limit is never told as the limit itself.
        QVERIFY(designfile::tooLargeToSaveMessage(designfile::MaxFileBytes + 1).contains(QStringLiteral("(2048 MB;")));
    }

    // Rows sharing a few dictionaries of 10,001 entries each, by reference or through object numbers that
    // alias them: every dictionary is read at most twice, so 200,000 such rows open at once, each with its
    // own dictionary's values.
    void rowsSharingDictionariesReadOnce_data() {
        QTest::addColumn<bool>("aliased");
        QTest::newRow("shared") << false;
        QTest::newRow("aliased") << true;
    }
    void rowsSharingDictionariesReadOnce() {
        QFETCH(bool, aliased);
        DesignData d;
        d.sheet.columnTitles = {QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("City")};
        const QList<QStringList> names = {{QStringLiteral("Ann"), QStringLiteral("Oslo")},
                                          {QStringLiteral("Bob")},
                                          {QString(), QStringLiteral("Kyoto")}};
        QString error;
        const auto back = designfile::fromBytes(rowsSharingDictionaries(d, 200000, names, 9999, aliased), &error);
        QVERIFY2(back, qPrintable(error));
        const DataTableContent& rows = back->sheet.rows;
        QCOMPARE(rows.rowCount(), 200000);
        for (int r : {0, 1, 2, 3, 4, 5, 199997, 199998, 199999}) {
            const QStringList& row = names[r % 3];
            QCOMPARE(rows.value(r, 1), row.value(0));
            QCOMPARE(rows.value(r, 2), row.value(1));
        }
    }

    // Every cut of a real file that loses part of its root is refused without a crash (the XML reader takes a
    // file cut inside its closing tags, which holds everything).
    void everyTruncationRejected() {
        DesignData d;
        d.frontItems = sampleItems(3).mid(0, 2);
        const QByteArray good = designfile::toBytes(d, true);
        for (qsizetype n = 0; n < good.lastIndexOf("</array>"); n += 97)
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

    // A table of thousands of rows keeps every value through the file, however it was written: by this
    // program (binary or XML) or by its earlier writer. Earlier readers (libplist) read what it writes now.
    void largeTableKeepsEveryValue_data() {
        QTest::addColumn<QString>("writer");
        for (const char* w : {"binary", "xml", "earlier binary", "file"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void largeTableKeepsEveryValue() {
        QFETCH(QString, writer);
        DesignData d = sampleDesign();
        d.sheet.columnTitles = {QStringLiteral("Row No."), QStringLiteral("City"), QStringLiteral("Name"),
                                QStringLiteral("Other"), QStringLiteral("Amount")};
        d.sheet.rows = mixedTable(3000);
        QString error;
        std::optional<DesignData> back;
        if (writer == QLatin1String("file")) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("big.kvto"));
            QVERIFY2(designfile::save(path, d, &error), qPrintable(error));
            back = designfile::load(path, &error);
        } else if (writer == QLatin1String("earlier binary")) {
            PlistPtr tree = plistio::fromBytes(designfile::toBytes(d, true));
            QVERIFY(tree);
            back = designfile::fromBytes(plistio::toBytes(tree.get(), plistio::Format::Binary), &error);
        } else {
            back = designfile::fromBytes(designfile::toBytes(d, writer == QLatin1String("xml")), &error);
        }
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->sheet, d.sheet);
        compareItems(d.frontItems, back->frontItems);
        QCOMPARE(back->photoOriginal.image().convertToFormat(QImage::Format_ARGB32), d.photoOriginal.image());

        if (writer != QLatin1String("binary"))
            return;
        PlistPtr root = plistio::fromBytes(designfile::toBytes(d), &error);
        QVERIFY2(root, qPrintable(error));
        plist_t rows = plist_array_get_item(root.get(), designfile::SheetRowsIndex);
        QCOMPARE(plist_array_get_size(rows), uint32_t(3000));
        for (uint32_t r = 0; r < 3000; r += 7) {
            plist_t dict = plist_array_get_item(rows, r);
            QCOMPARE(plist_dict_get_size(dict), uint32_t(5));
            for (int k = 0; k < 5; ++k) {
                const auto v = plistio::stringValue(
                    plist_dict_get_item(dict, Data_From_Excel::columnKey(k).toUtf8().constData()));
                QVERIFY(v);
                QCOMPARE(*v, d.sheet.rows.value(int(r), k));
            }
        }
    }

    // Keys that name no column, or a column past the titles, are left out; without titles the columns come
    // from the keys.
    void storedKeysMapToColumns() {
        const DesignData d = sampleDesign();
        plist_t rows = plist_new_array();
        plist_t row = plist_new_dict();
        for (const char* key : {"Extension", "Column1", "Column2", "Column3", "Column01", "Other"})
            plist_dict_set_item(row, key, plist_new_string(key));
        plist_array_append_item(rows, row);
        const QByteArray withTitles = patched(d, designfile::SheetRowsIndex, rows);
        for (const QByteArray& bytes : {withTitles, QByteArray()}) {
            const QByteArray file =
                bytes.isEmpty() ? [&] {
                    PlistPtr root = plistio::fromBytes(withTitles);
                    plist_array_set_item(root.get(), plist_new_array(), designfile::SheetTitlesIndex);
                    return plistio::toBytes(root.get(), plistio::Format::Binary);
                }()
                                : bytes;
            const auto back = designfile::fromBytes(file);
            QVERIFY(back);
            Data_From_Excel table;
            restoreSheetBinding(back->sheet, table);
            QCOMPARE(table.rowCountOfTable(), 1);
            if (bytes.isEmpty()) {
                QCOMPARE(table.columnTitles(), (QStringList{QStringLiteral("Row No."), QStringLiteral("Untitled Column 1"),
                                                            QStringLiteral("Untitled Column 2"),
                                                            QStringLiteral("Untitled Column 3")}));
                QCOMPARE(table.value(0, 3), QStringLiteral("Column3"));
            } else {
                QCOMPARE(table.columnCountOfTable(), 3);
            }
            QCOMPARE(table.value(0, 0), QStringLiteral("Extension"));
            QCOMPARE(table.value(0, 2), QStringLiteral("Column2"));
        }
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
            // Saved, opened and saved again: the same bytes.
            const QByteArray saved = designfile::toBytes(*d);
            const auto again = designfile::fromBytes(saved, &error);
            QVERIFY2(again && designfile::toBytes(*again) == saved, qPrintable(f));
        }
    }

    // Stop set: nothing is written and the file saved before stays as it was; a read gives nothing.
    void stoppedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("card.kvto"));
        DesignData d = sampleDesign();
        QVERIFY(designfile::save(path, d));
        const QByteArray before = readBytes(path);
        QVERIFY(!before.isEmpty());
        d.sheet.rows = mixedTable(100);
        const std::atomic<bool> stop{true};
        QString error;
        QVERIFY(!designfile::save(path, designfile::DesignSnapshot(d), &error, &stop));
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("card.kvto")});
        QVERIFY(!designfile::load(path, &error, &stop));
    }

    // A table imported from a sheet is written as it is encoded: every value as the table shows it (shared
    // and own strings, trimmed, edited, row numbers, references outside the strings, narrow rows), each
    // distinct value once however many strings hold it, on one thread or several; an edited cell keeps the
    // spaces that the imported cells with the same text lose; a disk that fills up mid-file keeps the old file.
    void sheetTableStreamsEachValueOnce_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("small table") << 40;
        QTest::newRow("large table, several threads") << 200000;
    }
    void sheetTableStreamsEachValueOnce() {
        QFETCH(int, rows);
        auto shared = std::make_shared<StringPool>();
        for (const char* t : {"Oslo", "Guest", ""})
            shared->append(t);
        SheetData sheet;
        sheet.sharedStrings = shared;
        const auto own = [&](const QString& t) { return sheet.strings.add(t); };
        const quint32 titles[] = {own("A"), own("B"), own("C"), own("D"), own("E"), own("F")};
        sheet.appendRow(titles, 6);
        for (int r = 0; r < rows; ++r) {
            // Texts stored otherwise than held ("  padded ", "a\0b") beside the texts they are stored as.
            const QString third[] = {QStringLiteral("Oslo"), QStringLiteral("  padded "), QStringLiteral("padded")};
            const QString fifth[] = {QString::fromUtf8("Z\xC3\xBCrich"), QStringLiteral("a\0b"), QStringLiteral("ab")};
            const quint32 cells[] = {own(QStringLiteral("7")),
                                     SheetData::kSharedBit | quint32(r % 3),
                                     own(third[r % 3]),
                                     SheetData::kSharedBit | 999,
                                     own(fifth[(r / 2) % 3]),
                                     own(QString::number(r % 5))};
            sheet.appendRow(cells, size_t(r % 6 + 1));
        }
        Data_From_Excel table;
        QVERIFY(table.importSheet(std::move(sheet), {0, 1, 2, 3, 4, 5}));
        DesignData d = sampleDesign();
        d.sheet.columnTitles = table.columnTitles();
        d.sheet.rows = table.content();
        d.sheet.rows.setValue(3, 2, QStringLiteral("edited"));
        d.sheet.rows.setValue(5, 1, QStringLiteral("Oslo"));
        d.sheet.rows.setValue(7, 3, QStringLiteral("  padded "));

        const QByteArray bytes = designfile::toBytes(d);
        QString error;
        const auto back = designfile::fromBytes(bytes, &error);
        QVERIFY2(back, qPrintable(error));
        QSet<QString> distinct;
        for (int r = 0; r < rows; ++r) {
            for (int k = 0; k < 7; ++k) {
                const QString v = d.sheet.rows.value(r, k).remove(QChar(0));
                QCOMPARE(back->sheet.rows.value(r, k), v);
                distinct << v;
            }
        }
        QCOMPARE(back->sheet.rows.value(3, 2), QStringLiteral("edited"));
        QCOMPARE(back->sheet.rows.value(4, 3), QStringLiteral("padded"));
        QCOMPARE(back->sheet.rows.value(7, 3), QStringLiteral("  padded "));
        // Beside a design without rows, the file holds one object per distinct value, one per row and one per
        // column key (a table without rows writes no keys).
        DesignData empty = d;
        empty.sheet.rows = DataTableContent::ofRows({}, 7);
        CompactPlistReader withRows, withoutRows;
        QVERIFY(withRows.open(bytes, &error));
        const QByteArray emptyBytes = designfile::toBytes(empty);
        QVERIFY(withoutRows.open(emptyBytes, &error));
        QCOMPARE(withRows.objectCount() - withoutRows.objectCount(), quint64(distinct.size() + rows + 7));
        // Opened and saved again, the same table is the same bytes, however its strings were kept.
        QVERIFY(designfile::toBytes(*back) == bytes);

        const SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString path = disk.filePath(QStringLiteral("card.kvto"));
        QVERIFY(designfile::save(path, sampleDesign()));
        const auto before = designfile::load(path);
        QVERIFY(before);
        d.sheet.rows = mixedTable(3000);
        d.sheet.columnTitles = {QStringLiteral("Row No."), QStringLiteral("City"), QStringLiteral("Name"),
                                QStringLiteral("Other"), QStringLiteral("Amount")};
        QVERIFY(!designfile::save(path, d, &error));
        QCOMPARE(error, QStringLiteral("The disk is full."));
        QCOMPARE(disk.files(), QStringList{QStringLiteral("card.kvto")});
        const auto after = designfile::load(path);
        QVERIFY(after);
        QCOMPARE(after->sheet, before->sheet);
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

    // Whatever pictures placing takes, the design saves and opens again with each picture's own bytes, however
    // much they decode to: nine camera photos decode to more than the budget of pictures decoded on reading.
    void placedPicturesOpenAgain_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("nine 24 MP photos") << QSize(6000, 4000) << int(QImage::Format_RGB32) << QByteArray("jpg") << 9;
        QTest::newRow("16-bit png") << QSize(3000, 2000) << int(QImage::Format_RGBA64) << QByteArray("png") << 2;
        QTest::newRow("1-bit palette png") << QSize(800, 600) << int(QImage::Format_Mono) << QByteArray("png") << 3;
    }
    void placedPicturesOpenAgain() {
        QFETCH(QSize, size);
        QFETCH(int, format);
        QFETCH(QByteArray, kind);
        QFETCH(int, count);
        QTemporaryDir dir;
        QImage pixels(size, QImage::Format(format));
        if (format == QImage::Format_Mono)
            pixels.setColorTable({qRgb(200, 0, 0), qRgb(255, 255, 255)});
        pixels.fill(format == QImage::Format_Mono ? 0 : 0xff3366cc);
        const QString picture = dir.filePath(QStringLiteral("picture.") + QString::fromLatin1(kind));
        QVERIFY(pixels.save(picture));
        DesignData design;
        for (int i = 0; i < count; ++i) {
            auto item = std::static_pointer_cast<SKTImage>(makeGraphicOfClass(QStringLiteral("SKTImage"), false));
            item->setFilePath(picture);
            QVERIFY2(item->pictureError().isEmpty(), qPrintable(item->pictureError()));
            item->setBounds(QRectF(10 * i, 10, 90, 60));
            design.frontItems << item;
        }
        const QString path = dir.filePath(QStringLiteral("photos.kvto"));
        QString error;
        QVERIFY2(designfile::save(path, design, &error), qPrintable(error));
        const auto back = designfile::load(path, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->frontItems.size(), count);
        const QByteArray bytes = readBytes(picture);
        QVERIFY(!bytes.isEmpty());
        for (const GraphicPtr& g : back->frontItems) {
            QCOMPARE(g->_image.bytes(), bytes);
            QCOMPARE(g->_image.size(), size);
            QCOMPARE(g->_image.image(QSize(90, 60)).size(), QSize(90, 60));
        }
    }

    // Barcode images are decoded when a design is read, charged the bytes a pixel they decode to (a palette:
    // one); those past the budget are left out and the barcode is drawn from its value, so every design of
    // barcodes saves and opens again with all its items.
    void barcodeImagesSaveOnlyWhenTheyOpenAgain_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("kept");
        // 240 MB as held, 960 MB at four bytes a pixel.
        QTest::newRow("palette barcodes of 80 MP") << int(QImage::Format_Indexed8) << 3 << 3;
        QTest::newRow("32-bit barcodes past the budget") << int(QImage::Format_ARGB32) << 3 << 2;
    }
    void barcodeImagesSaveOnlyWhenTheyOpenAgain() {
        QFETCH(int, format);
        QFETCH(int, count);
        QImage image(10000, 8000, QImage::Format(format));
        if (format == QImage::Format_Indexed8) {
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            image.fill(1);
        } else {
            image.fill(Qt::white);
        }
        DesignData design;
        for (int i = 0; i < count; ++i) {
            GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
            g->_barcode_image = image;
            design.frontItems << g;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("labels.kvto"));
        QVERIFY(designfile::save(path, DesignData(), nullptr));
        QString error;
        QVERIFY2(designfile::save(path, design, &error), qPrintable(error));
        const auto back = designfile::load(path, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->frontItems.size(), count);
        int kept = 0;
        for (const GraphicPtr& g : back->frontItems)
            kept += !g->_barcode_image.isNull();
        QTEST(kept, "kept");
    }
};

QTEST_MAIN(TestDesignFile)
#include "test_design_file.moc"
