#include "TestPictures.h"
#include "ItemCompare.h"
#include "ItemSamples.h"
#include "SharedPlist.h"

#include "canvas/GraphicClipboard.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <limits>
#include <sys/resource.h>

using Mutation = std::function<void(plist_t archive)>;
Q_DECLARE_METATYPE(Mutation)
Q_DECLARE_METATYPE(plistio::Format)
Q_DECLARE_METATYPE(ImageAdjustSettings)

namespace {

const QStringList AllClasses = {QStringLiteral("SKTText"),       QStringLiteral("SKTImage"),
                                QStringLiteral("SKTSignature"),  QStringLiteral("Shape_Control"),
                                QStringLiteral("SKTLine"),       QStringLiteral("SKTBarcode")};

plist_t objectsOf(plist_t archive) { return plist_dict_get_item(archive, "$objects"); }

uint64_t rootUid(plist_t archive)
{
    uint64_t uid = 0;
    plist_get_uid_val(plist_dict_get_item(plist_dict_get_item(archive, "$top"), "root"), &uid);
    return uid;
}

plist_t rootOf(plist_t archive) { return plist_array_get_item(objectsOf(archive), uint32_t(rootUid(archive))); }

// The object a field of the root refers to.
plist_t fieldObject(plist_t archive, const char* key)
{
    uint64_t uid = 0;
    plist_get_uid_val(plist_dict_get_item(rootOf(archive), key), &uid);
    return plist_array_get_item(objectsOf(archive), uint32_t(uid));
}

void setRootField(plist_t archive, const char* key, plist_t value)
{
    plist_dict_set_item(rootOf(archive), key, value);
}

// A binary property list of `depth` arrays each holding the next (`fanOut` references to it).
QByteArray nestedBinaryArrays(int depth, int fanOut = 1)
{
    QByteArray out("bplist00");
    QList<quint32> offsets;
    for (int i = 0; i < depth; ++i) {
        offsets << quint32(out.size());
        if (i + 1 < depth) {
            out.append(char(0xA0 | fanOut));
            for (int k = 0; k < fanOut; ++k) {
                quint32 ref = qToBigEndian(quint32(i + 1));
                out.append(reinterpret_cast<const char*>(&ref), 4);
            }
        } else {
            out.append(char(0xA0));
        }
    }
    const quint64 tableOffset = quint64(out.size());
    for (quint32 off : offsets) {
        quint32 be = qToBigEndian(off);
        out.append(reinterpret_cast<const char*>(&be), 4);
    }
    QByteArray trailer(32, '\0');
    trailer[6] = 4;
    trailer[7] = 4;
    const quint64 count = qToBigEndian(quint64(depth));
    const quint64 top = 0;
    const quint64 table = qToBigEndian(tableOffset);
    memcpy(trailer.data() + 8, &count, 8);
    memcpy(trailer.data() + 16, &top, 8);
    memcpy(trailer.data() + 24, &table, 8);
    return out + trailer;
}

} // namespace

class TestArchive : public QObject {
    Q_OBJECT
private slots:
    void comparedFieldsMatchStoredFields()
    {
        // The comparison helper and the archive must cover the same fields, so that a field added to one
        // and not the other shows up here.
        QCOMPARE(itemcompare::comparedFields(), archivedFieldNames());
    }

    void roundTripEveryFieldAndKind_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<plistio::Format>("format");
        for (const QString& c : AllClasses) {
            QTest::newRow(qPrintable(c + "/binary")) << c << plistio::Format::Binary;
            QTest::newRow(qPrintable(c + "/xml")) << c << plistio::Format::Xml;
        }
    }
    void roundTripEveryFieldAndKind()
    {
        QFETCH(QString, className);
        QFETCH(plistio::Format, format);
        GraphicPtr item = makeGraphicOfClass(className, false);
        QVERIFY(item);
        itemsamples::fillAllFields(*item, 3);
        // A fresh item differs in every field, so the round trip below really checks each one.
        const GraphicPtr fresh = makeGraphicOfClass(className, false);
        QCOMPARE(itemcompare::differingFields(*fresh, *item).size(), archivedFieldNames().size());

        const QByteArray bytes = archiveItem(*item, format);
        QVERIFY(!bytes.isEmpty());
        QString error;
        QStringList defaulted;
        GraphicPtr back = unarchiveItem(bytes, &error, &defaulted);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(defaulted, QStringList());
        QCOMPARE(back->kind(), item->kind());
        QCOMPARE(itemcompare::differingFields(*item, *back), QStringList());
        // Fractional fields are kept at single precision.
        QCOMPARE(back->_strokeWidth, double(0.1f));
    }

    void defaultItemRoundTrips()
    {
        for (const QString& c : AllClasses) {
            GraphicPtr item = makeGraphicOfClass(c, false);
            GraphicPtr back = unarchiveItem(archiveItem(*item));
            QVERIFY(back);
            QCOMPARE(itemcompare::differingFields(*item, *back), QStringList());
        }
    }

    void binaryOutputIsDeterministicAndReadable()
    {
        // Every kind of value, with counts past the one-nibble limit of 14.
        PlistPtr root(plist_new_dict());
        plist_t ints = plist_new_array();
        for (qint64 v : {0LL, 1LL, 255LL, 256LL, 65535LL, 65536LL, 4294967295LL, 4294967296LL, -1LL, -70000LL})
            plist_array_append_item(ints, plistio::newInteger(v));
        plist_dict_set_item(root.get(), "ints", ints);
        plist_t reals = plist_new_array();
        for (double v : {0.0, 0.1, 1.5, -2.25e300, 1e-300})
            plist_array_append_item(reals, plist_new_real(v));
        plist_dict_set_item(root.get(), "reals", reals);
        plist_dict_set_item(root.get(), "yes", plist_new_bool(1));
        plist_dict_set_item(root.get(), "no", plist_new_bool(0));
        plist_dict_set_item(root.get(), "ascii long", plistio::newString(QString(40, 'x')));
        plist_dict_set_item(root.get(), "unicode", plistio::newString(QStringLiteral("Grüße 😀 值")));
        plist_dict_set_item(root.get(), "empty", plistio::newString(QString()));
        plist_dict_set_item(root.get(), "data", plistio::newData(QByteArray(300, 'd')));
        plist_dict_set_item(root.get(), "uid", plist_new_uid(70000));
        plist_dict_set_item(root.get(), "date", plist_new_date(123456789, 0));
        plist_t many = plist_new_array();
        for (int i = 0; i < 40; ++i)
            plist_array_append_item(many, plistio::newInteger(i % 3)); // repeats share one object
        plist_dict_set_item(root.get(), "many", many);
        for (int i = 0; i < 20; ++i)
            plist_dict_set_item(root.get(), qPrintable(QStringLiteral("key%1").arg(i)), plistio::newString("same"));

        const QByteArray first = plistio::toBytes(root.get(), plistio::Format::Binary);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(plistio::toBytes(root.get(), plistio::Format::Binary), first);
        const PlistPtr back = plistio::fromBytes(first);
        QVERIFY(back);
        QCOMPARE(plistio::toBytes(back.get(), plistio::Format::Xml), plistio::toBytes(root.get(), plistio::Format::Xml));

        // Item archives too: the same item gives the same bytes, also after a copy.
        SKTBarcode item;
        itemsamples::fillAllFields(item);
        const QByteArray archive = archiveItem(item);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(archiveItem(*item.clone()), archive);
    }

    void archiveHasThePlatformLayout()
    {
        SKTBarcode item;
        item.ctrl_is_locked = true;
        const PlistPtr archive = archiveItemPlist(item);
        plist_t a = archive.get();
        QCOMPARE(plistio::stringValue(plist_dict_get_item(a, "$archiver")), QStringLiteral("NSKeyedArchiver"));
        QCOMPARE(plistio::integerValue(plist_dict_get_item(a, "$version")), qint64(100000));
        QCOMPARE(plistio::stringValue(plist_array_get_item(objectsOf(a), 0)), QStringLiteral("$null"));
        plist_t root = rootOf(a);
        QCOMPARE(plist_get_node_type(root), PLIST_DICT);
        uint64_t classUid = 0;
        plist_get_uid_val(plist_dict_get_item(root, "$class"), &classUid);
        plist_t cls = plist_array_get_item(objectsOf(a), uint32_t(classUid));
        QCOMPARE(plistio::stringValue(plist_dict_get_item(cls, "$classname")), QStringLiteral("SKTBarcode"));
        for (const QString& key : archivedFieldNames())
            QVERIFY2(plist_dict_get_item(root, key.toLatin1().constData()), qPrintable(key));
        QCOMPARE(plist_get_node_type(plist_dict_get_item(root, "qr_size_val")), PLIST_UINT);
        QCOMPARE(plist_get_node_type(plist_dict_get_item(root, "ctrl_is_locked")), PLIST_BOOLEAN);
        QCOMPARE(plist_get_node_type(plist_dict_get_item(root, "linear_height_val")), PLIST_REAL);
        QCOMPARE(plist_get_node_type(plist_dict_get_item(root, "header_val")), PLIST_UID);
        QCOMPARE(plistio::stringValue(fieldObject(a, "header_val")), QStringLiteral("HEADER"));
        QCOMPARE(plistio::stringValue(fieldObject(a, "_bounds")), QStringLiteral("{{0, 0}, {0, 0}}"));
        // No picture: $null.
        uint64_t imageUid = 1;
        plist_get_uid_val(plist_dict_get_item(root, "_image"), &imageUid);
        QCOMPARE(imageUid, uint64_t(0));
    }

    void hostileStructure_data()
    {
        QTest::addColumn<Mutation>("mutate");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("defaultedField");

        auto row = [](const char* name, Mutation m, bool loads, const char* field = "") {
            QTest::newRow(name) << m << loads << QString::fromLatin1(field);
        };
        row("wrong archiver", [](plist_t a) { plist_dict_set_item(a, "$archiver", plist_new_string("Other")); },
            false);
        row("no objects", [](plist_t a) { plist_dict_remove_item(a, "$objects"); }, false);
        row("objects not an array", [](plist_t a) { plist_dict_set_item(a, "$objects", plist_new_uint(3)); },
            false);
        row("no top", [](plist_t a) { plist_dict_remove_item(a, "$top"); }, false);
        row("root uid out of range",
            [](plist_t a) { plist_dict_set_item(plist_dict_get_item(a, "$top"), "root", plist_new_uid(1u << 30)); },
            false);
        row("root uid null",
            [](plist_t a) { plist_dict_set_item(plist_dict_get_item(a, "$top"), "root", plist_new_uid(0)); }, false);
        row("root not a uid",
            [](plist_t a) { plist_dict_set_item(plist_dict_get_item(a, "$top"), "root", plist_new_string("x")); },
            false);
        row("class uid out of range", [](plist_t a) { setRootField(a, "$class", plist_new_uid(999999)); }, false);
        row("class refers to root", [](plist_t a) { setRootField(a, "$class", plist_new_uid(rootUid(a))); },
            false);
        row("unknown class",
            [](plist_t a) {
                uint64_t uid = 0;
                plist_get_uid_val(plist_dict_get_item(rootOf(a), "$class"), &uid);
                plist_dict_set_item(plist_array_get_item(objectsOf(a), uint32_t(uid)), "$classname",
                                    plist_new_string("NSWindow"));
            },
            false);
        row("int field as string", [](plist_t a) { setRootField(a, "qr_size_val", plist_new_string("60")); }, true,
            "qr_size_val");
        row("int field beyond 32 bits", [](plist_t a) { setRootField(a, "pdf_ec_val", plist_new_uint(1ull << 40)); },
            true, "pdf_ec_val");
        row("fraction out of range", [](plist_t a) { setRootField(a, "alpha_val", plist_new_real(7.0)); }, true,
            "alpha_val");
        row("float not finite", [](plist_t a) { setRootField(a, "Shadow_blur", plist_new_real(NAN)); }, true,
            "Shadow_blur");
        row("missing key", [](plist_t a) { plist_dict_remove_item(rootOf(a), "header_val"); }, true, "header_val");
        row("string uid out of range", [](plist_t a) { setRootField(a, "footer_val", plist_new_uid(123456)); },
            true, "footer_val");
        row("string uid to a class", [](plist_t a) { setRootField(a, "control_ID", plist_new_uid(rootUid(a))); },
            true, "control_ID");
        row("colour as integer", [](plist_t a) { setRootField(a, "_strokeColor", plist_new_uint(5)); }, true,
            "_strokeColor");
        row("colour components garbage",
            [](plist_t a) {
                plist_dict_set_item(fieldObject(a, "txt_clr"), "NSRGB", plist_new_data("abc def", 7));
            },
            true, "txt_clr");
        row("colour refers to itself",
            [](plist_t a) {
                uint64_t uid = 0;
                plist_get_uid_val(plist_dict_get_item(rootOf(a), "txt_clr"), &uid);
                plist_dict_set_item(fieldObject(a, "txt_clr"), "NSRGB", plist_new_uid(uid));
            },
            true, "txt_clr");
        row("font name refers to the font",
            [](plist_t a) {
                uint64_t uid = 0;
                plist_get_uid_val(plist_dict_get_item(rootOf(a), "text_ctrl_font"), &uid);
                plist_dict_set_item(fieldObject(a, "text_ctrl_font"), "NSName", plist_new_uid(uid));
            },
            true, "text_ctrl_font");
        row("font size huge",
            [](plist_t a) { plist_dict_set_item(fieldObject(a, "value_font_val"), "NSSize", plist_new_real(1e12)); },
            true, "value_font_val");
        row("picture data not a picture",
            [](plist_t a) { plist_dict_set_item(fieldObject(a, "_image"), "NAVUPictureData", plist_new_data("junk", 4)); },
            true, "_image");
        row("bounds not a rectangle", [](plist_t a) { setRootField(a, "_bounds", plist_new_uid(1)); }, true,
            "_bounds");
        row("bool as string", [](plist_t a) { setRootField(a, "ctrl_is_locked", plist_new_string("YES")); }, true,
            "ctrl_is_locked");
        row("bool as integer 1", [](plist_t a) { setRootField(a, "Sepia", plist_new_uint(1)); }, true, "");
    }
    void hostileStructure()
    {
        QFETCH(Mutation, mutate);
        QFETCH(bool, loads);
        QFETCH(QString, defaultedField);
        SKTImage item(false);
        itemsamples::fillAllFields(item);
        const PlistPtr archive = archiveItemPlist(item);
        mutate(archive.get());
        for (auto format : {plistio::Format::Binary, plistio::Format::Xml}) {
            const QByteArray bytes = plistio::toBytes(archive.get(), format);
            QString error;
            QStringList defaulted;
            GraphicPtr back = unarchiveItem(bytes, &error, &defaulted);
            QCOMPARE(bool(back), loads);
            if (!loads) {
                QVERIFY(!error.isEmpty());
                continue;
            }
            const SKTImage fresh(false);
            if (defaultedField.isEmpty()) {
                QCOMPARE(defaulted, QStringList());
                continue;
            }
            QCOMPARE(defaulted, QStringList{defaultedField});
            // The bad field has the default of a new item, the others their stored values.
            const QStringList differFromStored = itemcompare::differingFields(item, *back);
            QCOMPARE(differFromStored, QStringList{defaultedField});
            QVERIFY(!itemcompare::differingFields(fresh, *back).contains(defaultedField));
        }
    }

    void hostileBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("hello world");
        QTest::newRow("binary header only") << QByteArray("bplist00");
        QTest::newRow("xml not a plist") << QByteArray("<?xml version=\"1.0\"?><html></html>");
        QTest::newRow("array root") << QByteArray("<plist><array><integer>1</integer></array></plist>");
        QTest::newRow("deep xml nesting") << QByteArray("<plist>") + QByteArray("<array>").repeated(100000) +
                                                 QByteArray("</array>").repeated(100000) + QByteArray("</plist>");
        QTest::newRow("deep xml nesting hidden closers")
            << QByteArray("<plist>") + QByteArray("<dict><key>a</key><!-- </dict> -->").repeated(5000) +
                   QByteArray("</plist>");
        QTest::newRow("deep binary nesting") << nestedBinaryArrays(200000);
        // 40 levels of two references each: a trillion nodes once libplist expands the shared arrays.
        QTest::newRow("shared references explode") << nestedBinaryArrays(40, 2);
        QByteArray giant = nestedBinaryArrays(2);
        const quint64 huge = qToBigEndian(quint64(1) << 60);
        memcpy(giant.data() + giant.size() - 24, &huge, 8);
        QTest::newRow("giant object count") << giant;
        QByteArray giantArray("bplist00");
        giantArray.append(char(0xAF)).append(char(0x13)).append(QByteArray::fromHex("7fffffffffffffff"));
        giantArray.append(char(8)); // offset table: one entry
        QByteArray trailer(32, '\0');
        trailer[6] = 1;
        trailer[7] = 1;
        trailer[15] = 1;
        trailer[31] = char(giantArray.size() - 1);
        QTest::newRow("giant array count") << giantArray + trailer;
    }
    void hostileBytes()
    {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!unarchiveItem(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    // One object referred to very many times is charged by the bytes of every copy and refused before the
    // copies are made, on every road that reads item archives.
    void sharedObjectsAreChargedByTheirBytes_data()
    {
        using namespace sharedplist;
        QTest::addColumn<QByteArray>("archive");
        QTest::newRow("data 200,000 times") << sharedInArray(data(QByteArray(65536, 'd')), 200000);
        QTest::newRow("text a million times") << sharedInArray(text(QByteArray(4096, 't')), 1000000);
        QTest::newRow("text in a dictionary") << sharedInDictionary("NSName", text(QByteArray(4096, 't')), 1000000);
        // 65,535 values from a list of a hundred bytes: within the claim, but eight megabytes once built.
        QTest::newRow("values past the tree's bytes") << nestedBinaryArrays(15, 2);
        QTest::newRow("aliased dictionaries") << build(aliasedDictionaries(20000, 10000));
    }
    void sharedObjectsAreChargedByTheirBytes()
    {
        using namespace sharedplist;
        QFETCH(QByteArray, archive);
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        const long before = u.ru_maxrss;
        QString error;
        QVERIFY(!unarchiveItem(archive, &error));
        QCOMPARE(error, plistio::overBudgetMessage());
        int skipped = 0;
        QVERIFY(graphicsFromPasteboardData(sharedInArray(data(archive), 1), &error, &skipped).isEmpty());
        QCOMPARE(skipped, 1);
        // The clipboard's own list: one 64 KB entry 10,000 times.
        QVERIFY(graphicsFromPasteboardData(sharedInArray(data(QByteArray(65536, 'd')), 10000), &error).isEmpty());
        QCOMPARE(error, plistio::overBudgetMessage());
        getrusage(RUSAGE_SELF, &u);
        QVERIFY2(u.ru_maxrss - before < 100 * 1024, qPrintable(QString::number(u.ru_maxrss - before)));
    }

    // The pictures a file decodes while it is read share a budget: once spent, a further barcode image is left
    // out, not decoded, and its item still reads. An item's own picture is kept as its bytes and decoded where
    // drawn, so it costs none.
    void picturesShareOneBudget()
    {
        SKTBarcode item;
        QImage blue = filledImage(QSize(30, 20), Qt::blue);
        item._barcode_image = blue;
        SKTImage picture(false);
        picture._image = blue;
        const QByteArray bytes = archiveItem(item);
        const QByteArray pictureBytes = archiveItem(picture);
        const PictureBudget budget(2 * 4 * 30 * 20);
        for (int i = 0; i < 3; ++i) {
            QStringList defaulted;
            const GraphicPtr back = unarchiveItem(bytes, nullptr, &defaulted);
            QVERIFY(back);
            QCOMPARE(back->_barcode_image.isNull(), i == 2);
            QVERIFY(!budget.exceeded());
            const GraphicPtr kept = unarchiveItem(pictureBytes, nullptr, &defaulted);
            QVERIFY(kept && !kept->_image.isNull() && !kept->_image.inMemory());
            QCOMPARE(kept->_image.image().pixelColor(5, 5), QColor(Qt::blue));
        }
        // A 16-bit picture is charged the eight bytes a pixel it decodes to.
        item._barcode_image = blue.convertToFormat(QImage::Format_RGBA64);
        const QByteArray deep = archiveItem(item);
        const PictureBudget deepBudget(2 * 4 * 30 * 20);
        for (int i = 0; i < 2; ++i) {
            QStringList defaulted;
            const GraphicPtr back = unarchiveItem(deep, nullptr, &defaulted);
            QVERIFY(back);
            QCOMPARE(back->_barcode_image.isNull(), i == 1);
        }
        QCOMPARE(PictureBudget::exceededMessage(), QStringLiteral("the pictures take more than 768 MB"));
    }

    // Whatever items a copy holds paste again: pictures are kept as their files' bytes, so copying a few large
    // ones together makes a list larger than other property lists may be.
    void copiesOfLargePicturesPaste()
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&buffer, "png");
        // A private chunk of 130 MB before IEND, as some programs leave their own data in a picture.
        const qsizetype padding = 130 * 1024 * 1024;
        QByteArray chunk(8, '\0');
        qToBigEndian(quint32(padding), chunk.data());
        chunk.replace(4, 4, "npAd");
        chunk += QByteArray(padding + 4, 'p');
        png.insert(png.size() - 12, chunk);
        QString error;
        const ItemPicture picture = ItemPicture::fromBytes(png, &error);
        QVERIFY2(!picture.isNull(), qPrintable(error));
        GraphicList items;
        for (int i = 0; i < 2; ++i) {
            auto item = std::make_shared<SKTImage>(false);
            item->_image = picture;
            items << item;
        }
        const QByteArray payload = graphicsPasteboardData(items);
        QVERIFY(payload.size() > plistio::MaxPlistBytes);
        int skipped = 0;
        const GraphicList pasted = graphicsFromPasteboardData(payload, &error, &skipped);
        QVERIFY2(pasted.size() == 2, qPrintable(error));
        QCOMPARE(pasted.last()->_image, picture);
        // A picture whose data is cut short reads, cannot be drawn, and is written again as it came.
        auto cut = std::make_shared<SKTImage>(false);
        cut->_image = ItemPicture::fromBytes(png.left(png.size() / 2));
        QVERIFY(!cut->_image.drawError().isEmpty());
        const GraphicPtr back = unarchiveItem(archiveItem(*cut), &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->_image.bytes(), png.left(png.size() / 2));
        QVERIFY(!back->_image.drawError().isEmpty());
    }

    // A picture that carries adjustments (a copy of the main photo's item) keeps them through an archive
    // (clipboard, design), with its bytes as they came; values a hostile archive puts out of range are held
    // to their ranges.
    void adjustedPicturesKeepTheirAdjustments_data()
    {
        QTest::addColumn<ImageAdjustSettings>("written");
        QTest::addColumn<ImageAdjustSettings>("read");
        ImageAdjustSettings s;
        s.grayscale = s.sepia = s.invert = true;
        s.hue = 1.5f, s.saturation = 0.5f, s.brightness = 0.2f, s.contrast = 1.5f;
        s.rotation = -30, s.sharpness = 0.7f, s.exposure = -1.0f, s.blur = 2.0f;
        QTest::newRow("every value") << s << s;
        ImageAdjustSettings wild, held;
        wild.rotation = 100000, wild.blur = 1e30f, wild.contrast = std::numeric_limits<float>::quiet_NaN();
        held.rotation = 360, held.blur = ImageAdjust::Blur.max;
        QTest::newRow("out of range") << wild << held;
    }
    void adjustedPicturesKeepTheirAdjustments()
    {
        QFETCH(ImageAdjustSettings, written);
        QFETCH(ImageAdjustSettings, read);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        filledImage(QSize(30, 20), QColor(200, 100, 50), QImage::Format_RGB32).save(&buffer, "png");
        auto item = std::make_shared<SKTImage>(false);
        item->_image = ItemPicture::fromBytes(png).adjusted(written);
        for (plistio::Format format : {plistio::Format::Binary, plistio::Format::Xml}) {
            const GraphicPtr back = unarchiveItem(archiveItem(*item, format));
            QVERIFY(back && back->_image.bytes() == png);
            QCOMPARE(back->_image.adjustments(), read);
        }
    }

    void shapeOfValidLists()
    {
        SKTText item;
        const PlistPtr archive = archiveItemPlist(item);
        for (auto format : {plistio::Format::Binary, plistio::Format::Xml}) {
            const auto shape = plistio::shapeOf(plistio::toBytes(archive.get(), format));
            QVERIFY(shape);
            QCOMPARE(shape->depth, 4); // archive, $objects, class, $classes
            QVERIFY(shape->nodes > 150 && shape->nodes < 1000);
        }
        const auto shared = plistio::shapeOf(nestedBinaryArrays(10, 2));
        QVERIFY(shared);
        QCOMPARE(shared->depth, 10);
        QCOMPARE(shared->nodes, qint64(1023));
        // Measuring ends once a limit is passed: 20,000 aliases of one dictionary are not walked each in turn.
        const auto aliased = plistio::shapeOf(sharedplist::build(sharedplist::aliasedDictionaries(20000, 10000)), 1 << 20);
        QVERIFY(aliased && aliased->claim() > (1 << 20));
        QVERIFY2(aliased->nodes < 100000, qPrintable(QString::number(aliased->nodes)));
    }

    void truncatedAndCorruptedArchivesNeverCrash()
    {
        SKTText item;
        itemsamples::fillAllFields(item);
        for (auto format : {plistio::Format::Binary, plistio::Format::Xml}) {
            const QByteArray bytes = archiveItem(item, format);
            for (qsizetype n = 0; n < bytes.size(); n += 1 + n / 50) {
                QString error;
                const GraphicPtr back = unarchiveItem(bytes.left(n), &error);
                QVERIFY(back || !error.isEmpty());
            }
            QRandomGenerator rng(42);
            for (int i = 0; i < 400; ++i) {
                QByteArray broken = bytes;
                for (int k = 0; k < 4; ++k)
                    broken[rng.bounded(int(broken.size()))] = char(rng.bounded(256));
                QString error;
                const GraphicPtr back = unarchiveItem(broken, &error);
                QVERIFY(back || !error.isEmpty());
            }
        }
    }

    void rectText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("platform form") << "{{1, 2}, {3, 4}}" << true;
        QTest::newRow("no spaces") << "{{1.5,-2},{3e2,4}}" << true;
        QTest::newRow("three numbers") << "{{1, 2}, {3}}" << false;
        QTest::newRow("not finite") << "{{inf, 2}, {3, 4}}" << false;
        QTest::newRow("too large") << "{{1e300, 2}, {3, 4}}" << false;
        QTest::newRow("words") << "{{a, b}, {c, d}}" << false;
    }
    void rectText()
    {
        QFETCH(QString, text);
        QTEST(rectFromString(text).has_value(), "valid");
        const QRectF r(-1.25, 3.0000001, 1e5, 0.1);
        QCOMPARE(rectFromString(rectToString(r)), std::optional<QRectF>(r));
    }
};

QTEST_MAIN(TestArchive)
#include "test_archive.moc"
