#include "ItemCompare.h"
#include "ItemSamples.h"

#include "canvas/CanvasHost.h"
#include "canvas/CardPropertyArchive.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTDocument.h"
#include "canvas/SKTItems.h"

#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(std::shared_ptr<void>)

namespace {

const QStringList AllClasses = {QStringLiteral("SKTText"),       QStringLiteral("SKTImage"),
                                QStringLiteral("SKTSignature"),  QStringLiteral("Shape_Control"),
                                QStringLiteral("SKTLine"),       QStringLiteral("SKTBarcode")};

class RecordingHost : public CanvasHost {
public:
    ItemPicture photo;
    mutable int photoRequests = 0;
    int resets = 0;
    ItemPicture mainPhotoImage() const override
    {
        ++photoRequests;
        return photo;
    }
    void resetImageEditingControls() override { ++resets; }
};

struct HostGuard {
    explicit HostGuard(CanvasHost* h) { setCanvasHost(h); }
    ~HostGuard() { setCanvasHost(nullptr); }
};

} // namespace

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setCanvasHost(nullptr); }

    void newItemsCarryTheBarcodeDefaults_data()
    {
        QTest::addColumn<QString>("className");
        for (const QString& c : AllClasses)
            QTest::newRow(qPrintable(c)) << c;
    }
    void newItemsCarryTheBarcodeDefaults()
    {
        QFETCH(QString, className);
        const GraphicPtr g = makeGraphicOfClass(className, false);
        QVERIFY(g);
        QCOMPARE(g->className(), className);
        QCOMPARE(g->linear_or_2d, 0);
        QCOMPARE(g->barcode_font_index, 0);
        QCOMPARE(g->linear_font_val, QStringLiteral("0123"));
        QCOMPARE(g->two_d_font_val, QStringLiteral("0123"));
        QCOMPARE(g->header_val, QStringLiteral("HEADER"));
        QCOMPARE(g->footer_val, QStringLiteral("FOOTER"));
        QCOMPARE(g->show_hide_hdr + g->show_hide_ftr + g->show_hide_val + g->show_val_on_top, 0);
        QCOMPARE(g->align_hdr_index, 1);
        QCOMPARE(g->align_ftr_index, 1);
        QCOMPARE(g->linear_height_val, 0.6f);
        QCOMPARE(g->linear_width_val, 20.0f);
        QCOMPARE(g->qr_size_val, 60);
        QCOMPARE(g->qr_version_index, 0);
        QCOMPARE(g->qr_ec_index, 0);
        QCOMPARE(g->pdf_hgt_val, 20);
        QCOMPARE(g->pdf_wdt_val, 100);
        QCOMPARE(g->pdf_ec_val, 2);
        QCOMPARE(g->dm_module_val, 2);
        QCOMPARE(g->dm_format_index, 0);
        QCOMPARE(g->dm_encoding_index, 0);
        for (float m : {g->hdr_margin_val, g->ftr_margin_val, g->val_margin_val, g->TB_marging_val, g->LR_margin_val})
            QCOMPARE(m, 0.1f);
        for (const QFont& f : {g->value_font_val, g->header_font_val, g->footer_font_val}) {
            QCOMPARE(f.family(), QStringLiteral("Times New Roman"));
            QCOMPARE(f.pointSizeF(), 10.0);
        }
        QCOMPARE(g->barcode_hdr_clr_val, QColor(Qt::black));
        QCOMPARE(g->barcode_ftr_clr_val, QColor(Qt::black));
        QCOMPARE(g->barcode_val_clr_val, QColor(Qt::black));
        QCOMPARE(g->barcode_back_clr_val, QColor(Qt::white));
        QCOMPARE(g->barcode_clr_val, QColor(Qt::black));
        QCOMPARE(g->dpi_val_index, 0);
        QCOMPARE(g->dpi_custom_val, QStringLiteral("0"));
        QCOMPARE(g->barcode_unit_val, 1);
        QCOMPARE(g->data_source_type, 0);
        QVERIFY(g->batch_list_name.isEmpty());
        QCOMPARE(g->batch_list_index, 0);
        QCOMPARE(g->excel_col_indx, 0);
        QCOMPARE(g->print_object, 0);
        QVERIFY(g->ctrl_is_visible);
        QVERIFY(!g->ctrl_is_locked);
    }

    void unknownClassMakesNothing() { QVERIFY(!makeGraphicOfClass(QStringLiteral("NSView"))); }

    void pictureItemsTellTheHostWhenNew()
    {
        RecordingHost host;
        HostGuard guard(&host);
        makeGraphicOfClass(QStringLiteral("SKTImage"));
        makeGraphicOfClass(QStringLiteral("SKTSignature"));
        makeGraphicOfClass(QStringLiteral("SKTText"));
        QCOMPARE(host.resets, 2);
        // Decoding and copying are not new items.
        SKTImage image(false);
        GraphicPtr back = unarchiveItem(archiveItem(image));
        GraphicPtr copy = back->clone();
        QVERIFY(copy);
        QCOMPARE(host.resets, 2);
    }

    void textIsCappedWithoutSplittingSurrogates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString pair = QString::fromUtf8("😀");
        QTest::newRow("short") << "Hello" << "Hello";
        QTest::newRow("exactly 250") << QString(250, 'a') << QString(250, 'a');
        QTest::newRow("251 cut") << QString(251, 'b') << QString(250, 'b');
        QTest::newRow("pair ends at 250") << QString(248, 'c') + pair + "x" << QString(248, 'c') + pair;
        QTest::newRow("pair across 250") << QString(249, 'd') + pair << QString(249, 'd');
        QTest::newRow("empty") << QString() << QString();
    }
    void textIsCappedWithoutSplittingSurrogates()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        SKTText t;
        t.setText(text);
        QCOMPARE(t._Text_contents, expected);
        QCOMPARE(t.Text_Value, expected);
        QVERIFY(t._Text_contents.size() <= SKTText::MaxTextLength);
    }

    void textNaturalSize()
    {
        SKTText t;
        t.text_ctrl_font = QFont(QStringLiteral("DejaVu Sans"), 20);
        t.setBounds(QRectF(5, 6, 10, 10));
        t.setText(QStringLiteral("Hello"));
        t.makeNaturalSize();
        const QRectF one = t.bounds();
        QCOMPARE(one.topLeft(), QPointF(5, 6));
        QVERIFY(one.width() > 40 && one.height() > 15);

        // A second line makes it taller; upper case is wider than lower case.
        t.setText(QStringLiteral("Hello\nHello"));
        t.makeNaturalSize();
        QVERIFY(t.bounds().height() > one.height() * 1.5);
        t.setText(QStringLiteral("Hello"));
        t.text_transfrom_case = 1;
        t.makeNaturalSize();
        QVERIFY(t.bounds().width() > one.width());
        // Kerning adds its spacing after each of the five characters.
        t.text_transfrom_case = 0;
        t.text_kerning = 5;
        t.makeNaturalSize();
        QVERIFY(t.bounds().width() >= one.width() + 20);
        t.text_kerning = 0;

        // Locked: unchanged. Empty text: the size is left alone.
        const QRectF before = t.bounds();
        t.ctrl_is_locked = true;
        t.setText(QStringLiteral("A much longer text than before"));
        t.makeNaturalSize();
        QCOMPARE(t.bounds(), before);
        t.ctrl_is_locked = false;
        t.setText(QString());
        t.makeNaturalSize();
        QCOMPARE(t.bounds(), before);
    }

    void pictureNaturalSize()
    {
        SKTImage i(false);
        i.setBounds(QRectF(1, 2, 30, 40));
        i._isFlippedHorizontally = true;
        i._isFlippedVertically = true;
        i.makeNaturalSize(); // no picture: size stays
        QCOMPARE(i.bounds(), QRectF(1, 2, 30, 40));
        i._image = itemsamples::samplePicture(64, 48, Qt::red);
        i._isFlippedHorizontally = true;
        i.ctrl_is_locked = true;
        i.makeNaturalSize();
        QCOMPARE(i.bounds(), QRectF(1, 2, 30, 40));
        QVERIFY(i._isFlippedHorizontally);
        i.ctrl_is_locked = false;
        i.makeNaturalSize();
        QCOMPARE(i.bounds(), QRectF(1, 2, 64, 48));
        QVERIFY(!i._isFlippedHorizontally && !i._isFlippedVertically);
    }

    void baseNaturalSizeRespectsTheLock()
    {
        Shape_Control s;
        s.setBounds(QRectF(0, 0, 50, 20));
        s.ctrl_is_locked = true;
        s.makeNaturalSize();
        QCOMPARE(s.bounds().size(), QSizeF(50, 20));
        s.ctrl_is_locked = false;
        s.makeNaturalSize();
        QCOMPARE(s.bounds().size(), QSizeF(20, 20));
        s.setBounds(QRectF(0, 0, 0, 20));
        s.makeNaturalSize();
        QCOMPARE(s.bounds().size(), QSizeF(0, 20));
    }

    void setFilePath()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("pic.png"));
        QVERIFY(itemsamples::samplePicture(9, 6, Qt::green).save(file));

        SKTImage i(false);
        i.setFilePath(dir.path() + QStringLiteral("/sub/../pic.png"));
        QCOMPARE(i._file_path, dir.path() + QStringLiteral("/sub/../pic.png"));
        QCOMPARE(i._image.size(), QSize(9, 6));

        i.setFilePath(dir.filePath(QStringLiteral("missing.png")));
        QVERIFY(i._image.isNull());
        QCOMPARE(i._file_path, dir.filePath(QStringLiteral("missing.png")));

        // A file that is not a picture, and a folder.
        QFile junk(dir.filePath(QStringLiteral("junk.png")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a picture");
        junk.close();
        i.setFilePath(junk.fileName());
        QVERIFY(i._image.isNull());
        i.setFilePath(dir.path());
        QVERIFY(i._image.isNull());

        // A picture beyond the allocation limit is kept as it came, not refused, and decoded at the size drawn.
        const QString big = dir.filePath(QStringLiteral("big.jpg"));
        QVERIFY(itemsamples::samplePicture(1200, 900, Qt::green).save(big, "jpg"));
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1); // 1 MB: 262144 pixels
        i.setFilePath(big);
        const QImage drawn = i._image.image(QSize(400, 300));
        QImageReader::setAllocationLimit(limit);
        QCOMPARE(i._image.size(), QSize(1200, 900));
        QCOMPARE(drawn.size(), QSize(400, 300));
        QCOMPARE(drawn.pixelColor(200, 150).green() > 200, true);

        // The main photo item takes the host's photo, whatever the path.
        RecordingHost host;
        host.photo = itemsamples::samplePicture(12, 3, Qt::yellow);
        HostGuard guard(&host);
        i.control_ID = QStringLiteral("PARTY_IMAGE");
        i.setFilePath(file);
        QCOMPARE(i._image.size(), QSize(12, 3));
        QCOMPARE(host.photoRequests, 1);
        QCOMPARE(i._file_path, file);
    }

    void cloneIsADeepIndependentCopy_data()
    {
        QTest::addColumn<QString>("className");
        for (const QString& c : AllClasses)
            QTest::newRow(qPrintable(c)) << c;
    }
    void cloneIsADeepIndependentCopy()
    {
        QFETCH(QString, className);
        GraphicPtr item = makeGraphicOfClass(className, false);
        itemsamples::fillAllFields(*item);
        item->_strokeWidth = 2.5;
        GraphicPtr copy = item->clone();
        QVERIFY(copy);
        QVERIFY(copy.get() != item.get());
        QCOMPARE(itemcompare::differingFields(*item, *copy), QStringList());

        copy->header_val = QStringLiteral("changed");
        copy->_bounds.moveTo(500, 500);
        QImage changed = copy->_image.image();
        changed.setPixelColor(3, 3, Qt::magenta);
        copy->_image = changed;
        copy->text_ctrl_font.setPointSize(70);
        QCOMPARE(item->header_val, QStringLiteral("Head"));
        QCOMPARE(item->_bounds.topLeft(), QPointF(12.5, -7.25));
        QCOMPARE(item->_image.image().pixelColor(3, 3), QColor(Qt::blue));
        QCOMPARE(item->text_ctrl_font.pointSizeF(), 23.5);
    }

    void clipboardRoundTrip()
    {
        GraphicList items;
        for (const QString& c : AllClasses) {
            GraphicPtr g = makeGraphicOfClass(c, false);
            itemsamples::fillAllFields(*g, int(items.size()));
            items << g;
        }
        const QImage rendering = itemsamples::samplePicture(40, 30, Qt::red);
        std::unique_ptr<QMimeData> mime(makeGraphicsMimeData(items, rendering));
        QVERIFY(hasGraphics(mime.get()));
        QVERIFY(mime->hasFormat(QStringLiteral("image/png")));
        QVERIFY(mime->data(QStringLiteral("application/pdf")).startsWith("%PDF"));
        QImage png;
        QVERIFY(png.loadFromData(mime->data(QStringLiteral("image/png")), "png"));
        QCOMPARE(png.size(), QSize(40, 30));
        if (QImageWriter::supportedImageFormats().contains("tiff"))
            QVERIFY(mime->hasFormat(QStringLiteral("image/tiff")));

        QString error;
        int skipped = -1;
        const GraphicList pasted = graphicsFromMimeData(mime.get(), &error, &skipped);
        QCOMPARE(skipped, 0);
        QCOMPARE(pasted.size(), items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            QVERIFY(pasted[i].get() != items[i].get());
            QCOMPARE(itemcompare::differingFields(*items[i], *pasted[i]), QStringList());
        }
        // Pasting twice gives new items again.
        const GraphicList again = graphicsFromMimeData(mime.get());
        QVERIFY(again[0].get() != pasted[0].get());

        // Without a rendering only the private type is offered.
        std::unique_ptr<QMimeData> bare(makeGraphicsMimeData(items));
        QCOMPARE(bare->formats(), QStringList{SKTGraphicViewPasteboardType});
    }

    void clipboardRefusesBrokenData_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("skipped");
        SKTLine line;
        PlistPtr mixed(plist_new_array());
        plist_array_append_item(mixed.get(), plistio::newData(archiveItem(line)));
        plist_array_append_item(mixed.get(), plistio::newData("garbage"));
        plist_array_append_item(mixed.get(), plist_new_uint(5));
        plist_array_append_item(mixed.get(), archiveItemPlist(line).release());
        QTest::newRow("mixed") << plistio::toBytes(mixed.get(), plistio::Format::Binary) << 2 << 2;
        QTest::newRow("not a plist") << QByteArray("xyz") << 0 << 0;
        PlistPtr dict(plist_new_dict());
        QTest::newRow("not an array") << plistio::toBytes(dict.get(), plistio::Format::Binary) << 0 << 0;
    }
    void clipboardRefusesBrokenData()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, items);
        QMimeData mime;
        mime.setData(SKTGraphicViewPasteboardType, payload);
        QString error;
        int skippedCount = -1;
        const GraphicList pasted = graphicsFromMimeData(&mime, &error, &skippedCount);
        QCOMPARE(pasted.size(), qsizetype(items));
        QTEST(skippedCount, "skipped");
        if (items == 0)
            QVERIFY(!error.isEmpty());
        QMimeData other;
        other.setText(QStringLiteral("plain"));
        QVERIFY(!hasGraphics(&other));
        QVERIFY(graphicsFromMimeData(&other, &error).isEmpty());
    }

    void scratchSideGetsDeepCopies()
    {
        SKTDocument doc;
        QSignalSpy spy(&doc, &SKTDocument::graphicsChanged);
        GraphicList front;
        for (const QString& c : AllClasses) {
            GraphicPtr g = makeGraphicOfClass(c, false);
            itemsamples::fillAllFields(*g);
            front << g;
        }
        doc.setGraphics(CardSide::Front, front);
        doc.Temp_Design_Control_Assign(CardSide::Front);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last().at(0).value<CardSide>(), CardSide::Temp);
        const GraphicList& temp = doc.graphics_temp();
        QCOMPARE(temp.size(), front.size());
        for (qsizetype i = 0; i < front.size(); ++i) {
            QVERIFY(temp[i].get() != front[i].get());
            QCOMPARE(itemcompare::differingFields(*front[i], *temp[i]), QStringList());
        }
        temp[0]->_Text_contents = QStringLiteral("preview value");
        QCOMPARE(front[0]->_Text_contents, QStringLiteral("Grüße 😀 \"<&>\"\nline two"));
    }

    void insertionAndRemovalUndo()
    {
        SKTDocument doc;
        GraphicPtr a = std::make_shared<SKTText>();
        GraphicPtr b = std::make_shared<SKTLine>();
        GraphicPtr c = std::make_shared<SKTBarcode>();
        doc.insertGraphics(CardSide::Front, {a});
        doc.insertGraphics(CardSide::Front, {b, c}, 0); // new items go to the front
        QCOMPARE(doc.graphics(), (GraphicList{b, c, a}));
        doc.removeGraphics(CardSide::Front, {a, b});
        QCOMPARE(doc.graphics(), (GraphicList{c}));
        doc.undoManager()->undo();
        QCOMPARE(doc.graphics(), (GraphicList{b, c, a}));
        doc.undoManager()->undo();
        QCOMPARE(doc.graphics(), (GraphicList{a}));
        doc.undoManager()->redo();
        doc.undoManager()->redo();
        QCOMPARE(doc.graphics(), (GraphicList{c}));

        // With registration off nothing is recorded.
        doc.setUndoRegistrationEnabled(false);
        const int steps = doc.undoManager()->count();
        doc.insertGraphics(CardSide::Back, {a});
        QCOMPARE(doc.undoManager()->count(), steps);
        QCOMPARE(doc.graphics_back(), (GraphicList{a}));
    }

    void cardPropertyBadValuesKeepTheField_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<std::shared_ptr<void>>("value");
        QTest::addColumn<QString>("field");
        auto row = [](const char* name, int index, plist_t value, const char* field) {
            QTest::newRow(name) << index << std::shared_ptr<void>(value, PlistDeleter()) << QString::fromLatin1(field);
        };
        plist_t threeComponents = plist_new_array();
        for (int i = 0; i < 3; ++i)
            plist_array_append_item(threeComponents, plist_new_real(0.5));
        plist_t outOfRange = plist_new_array();
        for (double v : {0.5, 0.5, 2.0, 1.0})
            plist_array_append_item(outOfRange, plist_new_real(v));
        plist_t fontNoName = plist_new_dict();
        plist_dict_set_item(fontNoName, "NSSize", plist_new_real(12));
        plist_t fontBadSize = plist_new_dict();
        plist_dict_set_item(fontBadSize, "NSName", plist_new_string("DejaVu Sans"));
        plist_dict_set_item(fontBadSize, "NSSize", plist_new_real(-3));
        row("int as string", 0, plist_new_string("1"), "Card_border_chk");
        row("int beyond 32 bits", 22, plist_new_uint(1ull << 33), "Card_Cat_index");
        row("colour with three parts", 5, threeComponents, "Card_fill_clr");
        row("colour part out of range", 7, outOfRange, "Card_fill_Grd_1_clr");
        row("colour as string", 26, plist_new_string("red"), "Card_Content_clr");
        row("alpha above a percentage", 12, plist_new_real(250.0), "Card_alpha_Stepper");
        row("alpha negative", 12, plist_new_real(-0.5), "Card_alpha_Stepper");
        row("text as integer", 16, plist_new_uint(4), "Card_Name");
        row("location not a pair", 17, plist_new_string("{1, 2, 3}"), "Card_Location");
        row("location not finite", 17, plist_new_string("{nan, 2}"), "Card_Location");
        row("size zero", 18, plist_new_string("{0, 360}"), "Card_Size");
        row("font without name", 27, fontNoName, "Card_Content_font");
        row("font with negative size", 27, fontBadSize, "Card_Content_font");
        row("font as array", 27, plist_new_array(), "Card_Content_font");
    }
    void cardPropertyBadValuesKeepTheField()
    {
        QFETCH(int, index);
        QFETCH(std::shared_ptr<void>, value);
        QFETCH(QString, field);
        Card_Property stored;
        stored.Card_border_chk = 1;
        stored.Card_Name = QStringLiteral("Stored");
        PlistPtr array(plist_new_array());
        CardPropertyArchive::append(stored, array.get());
        QCOMPARE(CardPropertyArchive::storedFieldNames().at(index), field);
        plist_array_set_item(array.get(), plist_copy(value.get()), uint32_t(index));
        Card_Property record = Card_Property::defaults(QStringLiteral("F"));
        const Card_Property before = record;
        QStringList defaulted;
        QVERIFY(CardPropertyArchive::read(array.get(), 0, record, nullptr, &defaulted));
        QCOMPARE(defaulted, QStringList{field});
        // The bad field keeps what the record held; the others are read.
        if (field != QLatin1String("Card_Name"))
            QCOMPARE(record.Card_Name, QStringLiteral("Stored"));
        if (field == QLatin1String("Card_Content_font"))
            QCOMPARE(record.Card_Content_font.family(), before.Card_Content_font.family());
        if (field == QLatin1String("Card_Size"))
            QCOMPARE(record.Card_Size, before.Card_Size);
        if (field == QLatin1String("Card_alpha_Stepper"))
            QCOMPARE(record.Card_alpha_Stepper, before.Card_alpha_Stepper);
    }

    void cardPropertyResetAndStoredForm()
    {
        Card_Property back = Card_Property::defaults(QStringLiteral("B"));
        back.Card_alpha_Stepper = 0.3f;
        back.Card_Name = QStringLiteral("Changed");
        back.reset();
        QCOMPARE(back, Card_Property::defaults(QStringLiteral("B")));
        QCOMPARE(back.Card_alpha_Stepper, 1.0f);
        QCOMPARE(back.Card_Side_Name, QStringLiteral("B"));

        Card_Property p;
        p.Card_border_chk = 1;
        p.Card_bordr_clr = QColor(10, 20, 30, 40);
        p.Card_bor_Stepper = 3;
        p.Card_border_style = QStringLiteral("DA");
        p.Card_fill_chk = 0;
        p.Card_fill_clr = QColor::fromRgbF(0.5f, 0.25f, 0.125f, 0.5f);
        p.Card_fill_style = QStringLiteral("H");
        p.Card_fill_Grd_1_clr = QColor(1, 2, 3);
        p.Card_fill_Grd_2_clr = QColor(4, 5, 6);
        p.Card_grad_Stepper = 90;
        p.Card_hatch_bk_clr = QColor(7, 8, 9);
        p.Card_hatch_style = QStringLiteral("Hatch_2");
        p.Card_alpha_Stepper = 0.5f;
        p.Card_Side = QStringLiteral("1");
        p.Card_Side_Name = QStringLiteral("B");
        p.Card_Shape = QStringLiteral("E");
        p.Card_Name = QStringLiteral("Party ☃");
        p.Card_Location = QPointF(1.5, -2);
        p.Card_Size = QSizeF(360, 504.25);
        p.Card_Preset = QStringLiteral("Vertical");
        p.Card_Category = QStringLiteral("Cat");
        p.Card_Sub_Category = QStringLiteral("Sub");
        p.Card_Cat_index = 4;
        p.Card_Create_Mode = QStringLiteral("L");
        p.Card_BG_Image_Path = QStringLiteral("/x/y.png");
        p.Card_BG_Image_Layout = QStringLiteral("Fit");
        p.Card_Content_clr = QColor(99, 98, 97);
        p.Card_Content_font = QFont(QStringLiteral("Liberation Serif"), 21);

        QCOMPARE(CardPropertyArchive::storedFieldNames().size(), CardPropertyArchive::StoredFieldCount);
        QVERIFY(!CardPropertyArchive::storedFieldNames().contains(QStringLiteral("Card_BG_Image")));
        PlistPtr array(plist_new_array());
        plist_array_append_item(array.get(), plist_new_string("marker"));
        CardPropertyArchive::append(p, array.get());
        QCOMPARE(plist_array_get_size(array.get()), uint32_t(1 + CardPropertyArchive::StoredFieldCount));
        for (auto format : {plistio::Format::Binary, plistio::Format::Xml}) {
            const PlistPtr read = plistio::fromBytes(plistio::toBytes(array.get(), format));
            QVERIFY(read);
            Card_Property q = Card_Property::defaults(QStringLiteral("F"));
            QStringList defaulted;
            QVERIFY(CardPropertyArchive::read(read.get(), 1, q, nullptr, &defaulted));
            QCOMPARE(defaulted, QStringList());
            QCOMPARE(q.Card_Content_font.family(), p.Card_Content_font.family());
            q.Card_Content_font = p.Card_Content_font;
            QCOMPARE(q, p);
        }

        // Too short; a bad value keeps the field; an alpha kept in percent reads as a fraction.
        Card_Property q;
        QString error;
        QVERIFY(!CardPropertyArchive::read(array.get(), 2, q, &error));
        QVERIFY(!error.isEmpty());
        plist_array_set_item(array.get(), plist_new_string("wide"), 1 + 18);   // Card_Size
        plist_array_set_item(array.get(), plist_new_real(100.0), 1 + 12);      // Card_alpha_Stepper
        plist_array_set_item(array.get(), plist_new_array(), 1 + 1);           // Card_bordr_clr: no colour
        QStringList defaulted;
        QVERIFY(CardPropertyArchive::read(array.get(), 1, q, nullptr, &defaulted));
        QCOMPARE(defaulted, QStringList{QStringLiteral("Card_Size")});
        QCOMPARE(q.Card_Size, QSizeF(504, 360));
        QCOMPARE(q.Card_alpha_Stepper, 1.0f);
        QVERIFY(!q.Card_bordr_clr.isValid());
    }
};

QTEST_MAIN(TestModel)
#include "test_model.moc"
