#include "app/designfile/DesignFile.h"
#include "app/designfile/CompactPlist.h"
#include "app/designfile/LongJob.h"
#include "app/designfile/RowsWriter.h"
#include "common/FileHelpers.h"
#include "data/XlsxReader.h"

#include "canvas/CardPropertyArchive.h"
#include "canvas/ItemArchive.h"
#include "canvas/KeyedArchive.h"
#include "common/Prompt.h"
#include "wizards/FrameBackground.h"
#include "wizards/MainPhoto.h"

#include <QBuffer>
#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cmath>
#include <functional>
#include <memory>
#include <new>
#include <vector>

namespace designfile {

namespace {

void appendString(plist_t array, const QString& text) {
    plist_array_append_item(array, plistio::newString(text));
}

// The main photo as stored: its file's bytes, or PNG data of a picture made in memory (encoded here, once,
// by whoever writes the file).
QByteArray photoBytes(const ItemPicture& photo) {
    const ItemPicture original = photo.adjusted(ImageAdjustSettings());
    if (original.isNull() || !original.inMemory())
        return original.bytes();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    original.image().save(&buffer, "PNG");
    return png;
}

const QString MainPhotoId = QStringLiteral("PARTY_IMAGE");

// An item that shows the main photo: its picture is the photo the design stores beside the items.
bool showsMainPhoto(const SKTGraphic& item, const ItemPicture& mainPhoto) {
    return item.kind() == GraphicKind::Image && item.control_ID == MainPhotoId && !item._image.isNull() &&
           item._image == mainPhoto;
}

void appendItems(plist_t array, const GraphicList& items, const ItemPicture& mainPhoto) {
    plist_array_append_item(array, plistio::newInteger(items.size()));
    ItemArchiveOptions withoutPicture;
    withoutPicture.includePictures = false;
    for (const GraphicPtr& item : items) {
        const PlistPtr archive = showsMainPhoto(*item, mainPhoto) ? archiveItemPlist(*item, withoutPicture)
                                                                  : archiveItemPlist(*item);
        plist_array_append_item(array, plistio::newData(plistio::toBytes(archive.get(), plistio::Format::Binary)));
    }
}

// The main photo's items of a design read take the photo it stores (they are stored without it).
void showMainPhoto(GraphicList& items, const ItemPicture& mainPhoto) {
    for (const GraphicPtr& g : items)
        if (g->kind() == GraphicKind::Image && g->control_ID == MainPhotoId && g->_image.isNull())
            g->_image = mainPhoto;
}

const char* const BackgroundKey = "NAVUPicture";

// A side's background picture as stored: a keyed archive of its bytes and adjustments; empty when the side
// draws none or its frame item holds it.
QByteArray backgroundArchive(const Card_Property& side, const GraphicList& items) {
    if (side.Card_fill_style != QLatin1String("I") || side.Card_BG_Image.isNull() ||
        backgroundHeldByFrame(side, items))
        return {};
    KeyedArchiveWriter w;
    KeyedArchiveWriter::Object root = w.addObject(QStringLiteral("NAVUCardBackground"));
    root.setPicture(BackgroundKey, side.Card_BG_Image);
    const PlistPtr archive = w.finish(root.uid());
    return plistio::toBytes(archive.get(), plistio::Format::Binary);
}

// Reads the root array in order; the first failure sticks and every later read gives nothing.
class Cursor {
public:
    Cursor(plist_t array, QString* error)
        : m_array(array), m_size(plist_array_get_size(array)), m_error(error) {}

    bool ok() const { return m_ok; }
    uint32_t index() const { return m_index; }
    uint32_t remaining() const { return m_index < m_size ? m_size - m_index : 0; }
    void skip(uint32_t n) { m_at = m_index += n; }

    // Names the element read last, or the one the cursor stands at when none was read since it moved.
    bool fail(const QString& why) {
        if (m_ok && m_error)
            *m_error = QStringLiteral("element %1: %2").arg(m_at).arg(why);
        m_ok = false;
        return false;
    }

    plist_t next(const char* what) {
        if (!m_ok)
            return nullptr;
        m_at = m_index;
        if (m_index >= m_size) {
            fail(QStringLiteral("the file ends before the %1").arg(QLatin1String(what)));
            return nullptr;
        }
        return plist_array_get_item(m_array, m_index++);
    }

    QString string(const char* what) {
        plist_t node = next(what);
        if (!node)
            return {};
        const auto v = plistio::stringValue(node, MaxTextLength);
        if (!v) {
            fail(QStringLiteral("the %1 is not a text").arg(QLatin1String(what)));
            return {};
        }
        return *v;
    }

    bool boolean(const char* what) {
        plist_t node = next(what);
        if (!node)
            return false;
        const auto v = plistio::boolValue(node);
        if (!v)
            fail(QStringLiteral("the %1 is not a flag").arg(QLatin1String(what)));
        return v.value_or(false);
    }

    float real(const char* what) {
        plist_t node = next(what);
        if (!node)
            return 0.0f;
        const auto v = plistio::realValue(node);
        if (!v || std::abs(*v) > 1e9) {
            fail(QStringLiteral("the %1 is not a number in range").arg(QLatin1String(what)));
            return 0.0f;
        }
        return static_cast<float>(*v);
    }

    // A count that must fit both the bound and the elements left in the file.
    qint64 count(const char* what, qint64 max) {
        plist_t node = next(what);
        if (!node)
            return 0;
        const auto v = plistio::integerValue(node);
        if (!v || *v < 0 || *v > max || *v > remaining()) {
            fail(QStringLiteral("the %1 is not a valid count").arg(QLatin1String(what)));
            return 0;
        }
        return *v;
    }

    QByteArray data(const char* what, qsizetype maxBytes) {
        plist_t node = next(what);
        if (!node)
            return {};
        const auto v = plistio::dataValue(node, maxBytes);
        if (!v) {
            fail(QStringLiteral("the %1 is not data").arg(QLatin1String(what)));
            return {};
        }
        return *v;
    }

private:
    plist_t m_array;
    uint32_t m_size;
    uint32_t m_index = 0;
    uint32_t m_at = 0;
    QString* m_error;
    bool m_ok = true;
};

bool readCard(Cursor& c, plist_t root, Card_Property& record, const char* side) {
    if (!c.ok())
        return false;
    c.skip(0); // failures name the card's first element
    if (c.remaining() < static_cast<uint32_t>(CardPropertyArchive::StoredFieldCount))
        return c.fail(QStringLiteral("the file ends inside the %1 card settings").arg(QLatin1String(side)));
    QString why;
    QStringList defaulted;
    if (!CardPropertyArchive::read(root, c.index(), record, &why, &defaulted))
        return c.fail(why);
    if (!defaulted.isEmpty())
        return c.fail(QStringLiteral("%1 card fields of the wrong type: %2")
                          .arg(QLatin1String(side), defaulted.join(QStringLiteral(", "))));
    c.skip(CardPropertyArchive::StoredFieldCount);
    return true;
}

QStringList readTitles(Cursor& c) {
    plist_t node = c.next("column titles");
    if (!node)
        return {};
    if (plist_get_node_type(node) != PLIST_ARRAY) {
        c.fail(QStringLiteral("the column titles are not a list"));
        return {};
    }
    const uint32_t n = plist_array_get_size(node);
    if (n > MaxColumns) {
        c.fail(QStringLiteral("too many columns"));
        return {};
    }
    QStringList titles;
    for (uint32_t i = 0; i < n; ++i) {
        const auto t = plistio::stringValue(plist_array_get_item(node, i), MaxTextLength);
        if (!t) {
            c.fail(QStringLiteral("column title %1 is not a text").arg(i));
            return {};
        }
        titles.append(*t);
    }
    return titles;
}

// The stored rows, built a row at a time into one compact sheet in table layout.
class TableBuilder {
public:
    // Keys of columns past lastColumn cannot be shown or bound and are left out.
    explicit TableBuilder(int lastColumn) : m_last(lastColumn), m_sheet(std::make_shared<SheetData>()) {}

    // The pool entry of a value; StringPool::kFull when the pool is full.
    quint32 intern(std::string_view utf8) { return m_sheet->strings.add(utf8); }
    void set(int column, quint32 entry) {
        if (column < 0 || column > m_last)
            return;
        if (m_row.size() <= size_t(column))
            m_row.resize(size_t(column) + 1, 0);
        m_row[size_t(column)] = entry;
    }
    bool endRow() {
        while (!m_row.empty() && m_row.back() == 0)
            m_row.pop_back();
        m_cells += qint64(m_row.size());
        if (m_cells > MaxTableCells)
            return false;
        m_sheet->appendRow(m_row.data(), m_row.size());
        m_widest = qMax(m_widest, int(m_row.size()));
        m_row.clear();
        return true;
    }
    // The row being built, and the same again for a row the file shares.
    const std::vector<quint32>& row() const { return m_row; }
    void setRow(const std::vector<quint32>& row) { m_row = row; }
    int widest() const { return qMax(m_widest, 1); }
    DataTableContent finish(int columns) {
        m_sheet->columnCount = m_widest;
        m_sheet->strings.squeeze();
        m_sheet->cells.squeeze();
        m_sheet->rowEnds.squeeze();
        return DataTableContent::ofTable(std::move(m_sheet), columns);
    }

private:
    int m_last;
    std::shared_ptr<SheetData> m_sheet;
    std::vector<quint32> m_row;
    qint64 m_cells = 0;
    int m_widest = 0;
};

// Column of a stored key; -1 for keys that name none.
int columnOfKey(std::string_view key) {
    return Data_From_Excel::columnOfKey(QString::fromUtf8(key.data(), qsizetype(key.size())));
}

// The rows of a tree read by libplist (XML files).
bool readRowsFromTree(Cursor& c, plist_t node, TableBuilder& table, const std::atomic<bool>* stop,
                      std::atomic<int>* progress) {
    const uint32_t n = plist_array_get_size(node);
    // Walked with an iterator: indexing a parsed array from its start makes a long table quadratic.
    plist_array_iter rows = nullptr;
    plist_array_new_iter(node, &rows);
    const std::unique_ptr<void, decltype(&free)> ownRows(rows, &free);
    for (uint32_t i = 0; i < n; ++i) {
        if ((i & 4095) == 0) {
            if (stopped(stop))
                return c.fail(QStringLiteral("stopped"));
            report(progress, i, n, 0, 100);
        }
        plist_t dict = nullptr;
        plist_array_next_item(node, rows, &dict);
        if (!dict || plist_get_node_type(dict) != PLIST_DICT || plist_dict_get_size(dict) > MaxColumns + 1)
            return c.fail(QStringLiteral("row %1 is not a table row").arg(i));
        bool full = false;
        const bool good = plistio::forEachEntry(dict, [&](const char* key, plist_t value) {
            uint64_t len = 0;
            const char* v =
                plist_get_node_type(value) == PLIST_STRING ? plist_get_string_ptr(value, &len) : nullptr;
            if (!v || len > uint64_t(MaxTextLength))
                return false;
            const quint32 entry = table.intern(std::string_view(v, size_t(len)));
            full = entry == StringPool::kFull;
            if (!full)
                table.set(columnOfKey(key), entry);
            return !full;
        });
        if (full)
            return c.fail(QStringLiteral("the table is too large"));
        if (!good)
            return c.fail(QStringLiteral("row %1 holds a value that is not a text").arg(i));
        if (!table.endRow())
            return c.fail(QStringLiteral("the table is too large"));
    }
    return true;
}

// The rows straight from a binary file: equal values the file shares are read once, and so is a row
// dictionary shared by many rows, so that the work stays bounded by the file's size. Objects are known by
// where they start, so object numbers whose offsets name one object (no writer makes them) are one object
// here too; and objects read once each take no more bytes than the file holds, unless objects overlap,
// which is refused once the bytes read pass that bound.
bool readRowsFromBinary(Cursor& c, const CompactPlistReader& file, quint64 rowsRef, TableBuilder& table,
                        const std::atomic<bool>* stop, std::atomic<int>* progress) {
    const auto rows = file.object(rowsRef);
    if (!rows || rows->type != 0xA)
        return c.fail(QStringLiteral("the rows are not a list"));
    if (rows->count > quint64(MaxRows))
        return c.fail(QStringLiteral("too many rows"));
    const int refSize = file.referenceSize();
    // Every dictionary is read at most twice, every key and value once.
    const quint64 mostRead = 2 * file.objectsEnd();
    quint64 read = 0;
    auto overlapping = [&](quint64 i) {
        return c.fail(QStringLiteral("row %1 refers to objects that overlap").arg(i));
    };
    // The column of each key object, and the pool entry + 1 of each value object read so far (0: not yet).
    QHash<quint64, int> columns;
    std::vector<quint32> values;
    // Dictionaries met once; one met again is read a second time and its row kept for every later meeting.
    std::vector<bool> met(size_t(file.objectsEnd()), false);
    QHash<quint64, std::vector<quint32>> sharedRows;
    // The shared row met last and its object number, for rows that refer to it again.
    quint64 lastRef = ~quint64(0);
    const std::vector<quint32>* lastRow = nullptr;
    // Stop is looked at every few thousand rows and whenever a million more entries were read.
    quint64 entries = 0;
    quint64 nextLook = 0;
    for (quint64 i = 0; i < rows->count; ++i) {
        if ((i & 4095) == 0 || entries >= nextLook) {
            if (stopped(stop))
                return c.fail(QStringLiteral("stopped"));
            report(progress, qint64(i), qint64(rows->count), 0, 100);
            nextLook = entries + (1 << 20);
        }
        const auto ref = file.reference(*rows, i);
        const std::vector<quint32>* row = ref && *ref == lastRef ? lastRow : nullptr;
        const auto dict = ref && !row ? file.object(*ref) : std::nullopt;
        if (dict) {
            if (const auto shared = sharedRows.constFind(dict->offset); shared != sharedRows.constEnd()) {
                row = &*shared;
                lastRef = *ref;
                lastRow = row;
            }
        }
        if (row) {
            table.setRow(*row);
            if (!table.endRow())
                return c.fail(QStringLiteral("the table is too large"));
            continue;
        }
        if (!dict || dict->type != 0xD || dict->count > quint64(MaxColumns + 1))
            return c.fail(QStringLiteral("row %1 is not a table row").arg(i));
        if ((read += dict->extent(refSize)) > mostRead)
            return overlapping(i);
        entries += dict->count;
        for (quint64 k = 0; k < dict->count; ++k) {
            const auto keyRef = file.reference(*dict, k);
            const auto valueRef = file.reference(*dict, dict->count + k);
            const auto key = keyRef ? file.object(*keyRef) : std::nullopt;
            if (!key || !valueRef)
                return c.fail(QStringLiteral("row %1 is not a table row").arg(i));
            auto column = columns.constFind(key->offset);
            if (column == columns.constEnd()) {
                if ((read += key->extent(refSize)) > mostRead)
                    return overlapping(i);
                const auto text = file.textUtf8(*key, MaxTextLength);
                if (!text)
                    return c.fail(QStringLiteral("row %1 is not a table row").arg(i));
                column = columns.insert(key->offset, columnOfKey(std::string_view(text->constData(), size_t(text->size()))));
            }
            if (values.size() <= *valueRef)
                values.resize(size_t(*valueRef) + 1, 0);
            quint32 entry = values[size_t(*valueRef)];
            if (entry == 0) {
                const auto value = file.object(*valueRef);
                if (!value || (value->type != 0x5 && value->type != 0x6) || value->count > quint64(MaxTextLength))
                    return c.fail(QStringLiteral("row %1 holds a value that is not a text").arg(i));
                if ((read += value->extent(refSize)) > mostRead)
                    return overlapping(i);
                quint32 e = 0;
                if (value->type == 0x5) {
                    e = table.intern(std::string_view(reinterpret_cast<const char*>(value->body), size_t(value->count)));
                } else {
                    const QByteArray utf8 = *file.textUtf8(*value, MaxTextLength);
                    e = table.intern(std::string_view(utf8.constData(), size_t(utf8.size())));
                }
                if (e == StringPool::kFull)
                    return c.fail(QStringLiteral("the table is too large"));
                entry = e + 1;
                values[size_t(*valueRef)] = entry;
            }
            table.set(*column, entry - 1);
        }
        if (met[size_t(dict->offset)]) {
            sharedRows.insert(dict->offset, table.row());
            lastRef = ~quint64(0); // the table may have moved its rows
        }
        met[size_t(dict->offset)] = true;
        if (!table.endRow())
            return c.fail(QStringLiteral("the table is too large"));
    }
    return true;
}

// Reads the rows of node; a binary file's rows (the placeholder binaryRows) are read from the file itself.
using RowsReader = std::function<bool(Cursor& c, plist_t node, TableBuilder& table)>;

DataTableContent readRows(Cursor& c, int titleCount, const RowsReader& read) {
    plist_t node = c.next("rows");
    if (!node)
        return {};
    if (plist_get_node_type(node) != PLIST_ARRAY) {
        c.fail(QStringLiteral("the rows are not a list"));
        return {};
    }
    if (plist_array_get_size(node) > MaxRows) {
        c.fail(QStringLiteral("too many rows"));
        return {};
    }
    // Without titles the columns come from the keys, at most as many as a sheet has.
    TableBuilder table(titleCount > 0 ? titleCount - 1 : Data_From_Excel::MaxColumns);
    if (!read(c, node, table))
        return {};
    return table.finish(titleCount > 0 ? titleCount : table.widest());
}

// A side's stored background picture (null when none is stored); a broken one fails the file.
ItemPicture readBackground(Cursor& c, const char* what, qint64* budget) {
    const QByteArray bytes = c.data(what, plistio::MaxPlistBytes);
    if (!c.ok() || bytes.isEmpty())
        return {};
    QString why;
    std::optional<ItemPicture> picture;
    KeyedArchiveReader reader;
    if (const PlistPtr archive = plistio::fromBytes(bytes, &why, budget); archive && reader.open(archive.get(), &why))
        picture = reader.picture(reader.root(), BackgroundKey, &why);
    if (!picture || picture->isNull()) {
        c.fail(QStringLiteral("the %1 cannot be read%2")
                   .arg(QLatin1String(what), why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        return {};
    }
    return *picture;
}

GraphicList readItems(Cursor& c, const char* side, qint64* budget, const PictureBudget& pictures,
                      const std::atomic<bool>* stop) {
    const qint64 n = c.count(side, MaxItemsPerSide);
    GraphicList items;
    // The log names the defaulted fields of the first few items only: a file of many items with few
    // fields would otherwise write a long line for each.
    constexpr int LoggedItems = 20;
    int logged = 0;
    for (qint64 i = 0; i < n && c.ok(); ++i) {
        if (stopped(stop)) {
            c.fail(QStringLiteral("stopped"));
            break;
        }
        const QByteArray bytes = c.data("item archive", plistio::MaxPlistBytes);
        if (!c.ok())
            break;
        QString why;
        QStringList defaulted;
        GraphicPtr item = unarchiveItem(bytes, &why, logged <= LoggedItems ? &defaulted : nullptr, budget);
        if (pictures.exceeded()) {
            item = nullptr;
            why = PictureBudget::exceededMessage();
        }
        if (!item) {
            c.fail(QStringLiteral("%1 item %2 is broken: %3").arg(QLatin1String(side)).arg(i).arg(why));
            break;
        }
        if (!defaulted.isEmpty() && ++logged <= LoggedItems)
            Show_NSLog_Message(QStringLiteral("Design file: %1 item %2 fields read as defaults: %3")
                                   .arg(QLatin1String(side))
                                   .arg(i)
                                   .arg(defaulted.join(QStringLiteral(", "))));
        else if (logged == LoggedItems + 1 && !defaulted.isEmpty())
            Show_NSLog_Message(QStringLiteral("Design file: later %1 items' defaulted fields are not listed")
                                   .arg(QLatin1String(side)));
        items.append(item);
    }
    return items;
}

} // namespace

namespace {

// The root array; the photo and the rows are left as empty placeholders when slots are given.
PlistPtr buildRoot(const DesignData& d, plist_t* photoSlot, plist_t* rowsSlot) {
    PlistPtr root(plist_new_array());
    plist_t a = root.get();
    appendString(a, Marker);
    CardPropertyArchive::append(d.front, a);
    CardPropertyArchive::append(d.back, a);
    appendString(a, d.framePath);
    appendString(a, d.photoPath);
    if (photoSlot) {
        *photoSlot = plist_new_data(nullptr, 0);
        plist_array_append_item(a, *photoSlot);
    } else {
        plist_array_append_item(a, plistio::newData(photoBytes(d.photoOriginal)));
    }
    for (bool b : {d.photo.gray_Scale, d.photo.Sepia, d.photo.invert_clr})
        plist_array_append_item(a, plist_new_bool(b ? 1 : 0));
    for (float f : {d.photo.hue_val, d.photo.sat_val, d.photo.brt_val, d.photo.con_val, d.photo.srp_val,
                    d.photo.ev_val, d.photo.blr_val, d.photo.trnsp_val, d.photo.rotate_image})
        plist_array_append_item(a, plist_new_real(f));
    appendString(a, d.sheet.inUse ? QStringLiteral("Y") : QStringLiteral("N"));
    appendString(a, d.sheet.workbookPath);
    plist_t titles = plist_new_array();
    for (const QString& t : d.sheet.columnTitles)
        plist_array_append_item(titles, plistio::newString(t));
    plist_array_append_item(a, titles);
    plist_t rows = plist_new_array();
    if (rowsSlot) {
        *rowsSlot = rows;
    } else {
        const DataTableContent& table = d.sheet.rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            plist_t dict = plist_new_dict();
            for (int k = 0; k < table.columnCount(); ++k)
                plist_dict_set_item(dict, Data_From_Excel::columnKey(k).toUtf8().constData(),
                                    plistio::newString(table.value(r, k)));
            plist_array_append_item(rows, dict);
        }
    }
    plist_array_append_item(a, rows);
    const ItemPicture mainPhoto = MainPhoto::adjusted(d.photoOriginal, d.photo);
    appendItems(a, d.frontItems, mainPhoto);
    appendItems(a, d.backItems, mainPhoto);
    plist_array_append_item(a, plistio::newData(backgroundArchive(d.front, d.frontItems)));
    plist_array_append_item(a, plistio::newData(backgroundArchive(d.back, d.backItems)));
    return root;
}

} // namespace

namespace {

// Megabytes rounded up, so that a size just past a limit is never told as the limit itself.
qint64 megabytesUp(qint64 bytes) {
    return (bytes + (1024 * 1024) - 1) / (1024 * 1024);
}

} // namespace

// A design that would not open again is not encoded at all. Barcode images past the pictures' budget are left
// out when read, and pictures from files are read with the limits they were taken with, so only a main photo
// made in memory counts.
DesignSnapshot::DesignSnapshot(const DesignData& d)
    : m_pictureCost(d.photoOriginal.inMemory() ? PictureBudget::cost(d.photoOriginal.image()) : 0),
      m_root(m_pictureCost > PictureBudget::MaxFileBytes ? PlistPtr() : buildRoot(d, &m_photoSlot, &m_rowsSlot)),
      m_photo(d.photoOriginal), m_rows(d.sheet.rows) {}

QString DesignSnapshot::openAgainProblem() const {
    if (m_pictureCost <= PictureBudget::MaxFileBytes)
        return {};
    return QStringLiteral("The design is too large to be saved: its main photo would take %1 MB to open again, "
                          "more than the %2 MB a design's pictures may take. Choose a smaller main photo.")
        .arg(m_pictureCost / (1024 * 1024))
        .arg(PictureBudget::MaxFileBytes / (1024 * 1024));
}

bool DesignSnapshot::write(QIODevice& out, const std::atomic<bool>* stop, std::atomic<int>* progress,
                           bool* refused) const {
    if (!m_root)
        return false;
    // The rows are numbered with the rest, then streamed out between the scalars and the containers.
    CompactPlistWriter w;
    RowsWriter rows(m_rows);
    const auto top = w.addTree(m_root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node == m_photoSlot) {
            const QByteArray bytes = photoBytes(m_photo);
            return writer.addData(bytes.constData(), quint64(bytes.size()));
        }
        if (node == m_rowsSlot) {
            const auto array = rows.number(writer, stop, progress, 30);
            return array ? qint64(*array) : CompactPlistWriter::Failed;
        }
        return CompactPlistWriter::NotMine;
    });
    if (!top || stopped(stop))
        return false;
    const bool written = w.finish(*top, out, [&](CompactPlistWriter& writer) {
        return rows.write(writer, stop, progress, 30, 95);
    });
    if (refused)
        *refused = w.refused();
    return written && !stopped(stop);
}

QByteArray DesignSnapshot::toBytes(const std::atomic<bool>* stop, std::atomic<int>* progress) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer, stop, progress))
        return {};
    return bytes;
}

QByteArray toBytes(const DesignData& d, bool xml) {
    if (!xml)
        return DesignSnapshot(d).toBytes();
    PlistPtr root = buildRoot(d, nullptr, nullptr);
    return plistio::toBytes(root.get(), plistio::Format::Xml);
}

namespace {

// The most entries of a container the root holds, but for the column titles.
constexpr quint64 MaxElementEntries = 64;

// A binary file's root as a libplist array of everything but the rows, which stay in the file: their
// element is an empty array, and *rowsRef their object there.
PlistPtr binaryRoot(const CompactPlistReader& file, plist_t* rowsSlot, quint64* rowsRef, qint64* budget,
                    QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return PlistPtr();
    };
    const auto top = file.object(file.top());
    if (!top)
        return fail(QStringLiteral("The data is not a readable property list."));
    if (top->type != 0xA)
        return fail(QStringLiteral("the root is not a list"));
    PlistPtr root(plist_new_array());
    for (quint64 i = 0; i < top->count; ++i) {
        const auto ref = file.reference(*top, i);
        if (!ref)
            return fail(QStringLiteral("The data is not a readable property list."));
        if (i == quint64(SheetRowsIndex)) {
            const auto rows = file.object(*ref);
            if (rows && rows->type == 0xA) {
                *rowsSlot = plist_new_array();
                *rowsRef = *ref;
                plist_array_append_item(root.get(), *rowsSlot);
                continue;
            }
        }
        // An element holds a scalar or a container of a few scalars (a colour, a font), the column titles
        // a container of texts. Anything larger is none of the layout's, so it is not copied: an empty
        // dictionary takes its place, which every element's reader refuses as of the wrong type.
        const auto o = file.object(*ref);
        const bool container = o && (o->type == 0xA || o->type == 0xD);
        if (container && i == quint64(SheetTitlesIndex) && o->count > quint64(MaxColumns))
            return fail(QStringLiteral("element %1: too many columns").arg(i));
        if (container && i != quint64(SheetTitlesIndex) && o->count > MaxElementEntries) {
            plist_array_append_item(root.get(), plist_new_dict());
            continue;
        }
        PlistPtr node = file.toPlist(*ref, 1, budget);
        if (!node)
            return fail(*budget < 0 ? plistio::overBudgetMessage()
                                    : QStringLiteral("The data is not a readable property list."));
        plist_array_append_item(root.get(), node.release());
    }
    return root;
}

} // namespace

std::optional<DesignData> fromBytes(const QByteArray& bytes, QString* error, const std::atomic<bool>* stop,
                                    std::atomic<int>* progress) {
    QString why;
    PlistPtr root;
    CompactPlistReader file;
    plist_t rowsSlot = nullptr;
    quint64 rowsRef = 0;
    // Shared by the root and every item archive, so that no part can copy a shared object without end.
    qint64 budget = readBudget(bytes.size());
    const PictureBudget pictures;
    if (bytes.startsWith("bplist")) {
        if (file.open(bytes, &why))
            root = binaryRoot(file, &rowsSlot, &rowsRef, &budget, &why);
    } else {
        root = plistio::fromBytes(bytes, &why, &budget);
    }
    if (!root) {
        if (error)
            *error = why.isEmpty() ? QStringLiteral("not a property list") : why;
        return std::nullopt;
    }
    if (plist_get_node_type(root.get()) != PLIST_ARRAY) {
        if (error)
            *error = QStringLiteral("the root is not a list");
        return std::nullopt;
    }
    Cursor c(root.get(), error);
    DesignData d;
    if (c.string("marker") != Marker) {
        c.fail(QStringLiteral("not a design file (marker missing)"));
        return std::nullopt;
    }
    readCard(c, root.get(), d.front, "front");
    readCard(c, root.get(), d.back, "back");
    d.framePath = c.string("frame picture path");
    d.photoPath = c.string("main photo path");
    const QByteArray photo = c.data("main photo", KeyedArchiveReader::MaxImageBytes);
    if (c.ok() && !photo.isEmpty()) {
        // Kept as it came, decoded where it is drawn, with the limits of every picture the program takes.
        d.photoOriginal = ItemPicture::fromBytes(photo);
        if (d.photoOriginal.isNull())
            c.fail(QStringLiteral("the main photo cannot be read"));
    }
    d.photo.gray_Scale = c.boolean("grey-scale flag");
    d.photo.Sepia = c.boolean("sepia flag");
    d.photo.invert_clr = c.boolean("invert flag");
    d.photo.hue_val = c.real("hue");
    d.photo.sat_val = c.real("saturation");
    d.photo.brt_val = c.real("brightness");
    d.photo.con_val = c.real("contrast");
    d.photo.srp_val = c.real("sharpness");
    d.photo.ev_val = c.real("exposure");
    d.photo.blr_val = c.real("blur");
    d.photo.trnsp_val = c.real("transparency");
    d.photo.rotate_image = c.real("rotation");
    const QString flag = c.string("sheet-binding flag");
    if (c.ok() && flag != QStringLiteral("Y") && flag != QStringLiteral("N"))
        c.fail(QStringLiteral("the sheet-binding flag is neither Y nor N"));
    d.sheet.inUse = flag == QStringLiteral("Y");
    d.sheet.workbookPath = c.string("workbook path");
    d.sheet.columnTitles = readTitles(c);
    d.sheet.rows = readRows(c, int(d.sheet.columnTitles.size()), [&](Cursor& cur, plist_t node, TableBuilder& table) {
        if (rowsSlot && node == rowsSlot)
            return readRowsFromBinary(cur, file, rowsRef, table, stop, progress);
        return readRowsFromTree(cur, node, table, stop, progress);
    });
    d.frontItems = readItems(c, "front", &budget, pictures, stop);
    d.backItems = readItems(c, "back", &budget, pictures, stop);
    if (c.ok() && c.remaining() != 0) { // files saved before the backgrounds were stored end here
        d.front.Card_BG_Image = readBackground(c, "front background picture", &budget);
        d.back.Card_BG_Image = readBackground(c, "back background picture", &budget);
    }
    if (c.ok() && c.remaining() != 0) {
        c.skip(0); // names the first element too many
        c.fail(QStringLiteral("unexpected data after the background pictures"));
    }
    if (!c.ok())
        return std::nullopt;
    if (!d.photoOriginal.isNull()) {
        const ItemPicture mainPhoto = MainPhoto::adjusted(d.photoOriginal, d.photo);
        showMainPhoto(d.frontItems, mainPhoto);
        showMainPhoto(d.backItems, mainPhoto);
    }
    return d;
}

bool save(const QString& path, const DesignData& design, QString* error) {
    return save(path, DesignSnapshot(design), error);
}

bool save(const QString& path, const DesignSnapshot& design, QString* error, const std::atomic<bool>* stop,
          std::atomic<int>* progress) {
    // What the program could not open again is not written over the old file.
    if (const QString problem = design.openAgainProblem(); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    // Written as it is encoded, into a temporary file that replaces the old one only once it is complete.
    SaveFile file(path);
    errno = 0;
    if (!openSaveFile(file)) {
        if (error)
            *error = writeErrorText(file, path, errno);
        return false;
    }
    errno = 0;
    bool refused = false;
    bool written = false;
    try {
        written = design.write(file, stop, progress, &refused);
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("There is not enough memory to save the design.");
        return false;
    }
    const int writeErrno = errno;
    if (written && !stopped(stop) && file.size() > MaxFileBytes) {
        // What the program could not open again is not written over the old file.
        file.cancelWriting();
        if (error)
            *error = tooLargeToSaveMessage(file.size());
        return false;
    }
    if (written && !stopped(stop))
        return commitSaveFile(file, error);
    if (error) {
        if (stopped(stop))
            *error = QStringLiteral("Saving was stopped.");
        else if (refused)
            *error = writeErrorText(file, path, writeErrno);
        else
            *error = QStringLiteral("The design could not be encoded.");
    }
    file.cancelWriting();
    return false;
}

QString tooLargeToSaveMessage(qint64 bytes) {
    return QStringLiteral("The design is too large to be saved (%1 MB; designs of up to %2 MB can be opened). Use "
                          "fewer or smaller pictures.")
        .arg(megabytesUp(bytes))
        .arg(MaxFileBytes / (1024 * 1024));
}

std::optional<DesignData> load(const QString& path, QString* error, const std::atomic<bool>* stop,
                               std::atomic<int>* progress) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    if (f.size() > MaxFileBytes) {
        if (error)
            *error = QStringLiteral("the file is too large (%1 MB; designs of up to %2 MB can be opened)")
                         .arg(megabytesUp(f.size()))
                         .arg(MaxFileBytes / (1024 * 1024));
        return std::nullopt;
    }
    try {
        // Read, not mapped: a file that shrinks or whose disk goes away while it is read gives an error, not a
        // crash.
        const QByteArray bytes = f.readAll();
        if (bytes.size() != f.size()) {
            if (error)
                *error = f.errorString();
            return std::nullopt;
        }
        return fromBytes(bytes, error, stop, progress);
    } catch (const std::bad_alloc&) {
        if (error)
            *error = NotEnoughMemory;
        return std::nullopt;
    }
}

QString openFailedMessage(const QString& path, const QString& reason) {
    const QString name = QFileInfo(path).fileName();
    if (reason == NotEnoughMemory)
        return QStringLiteral("There is not enough memory to open the design \"%1\".").arg(name);
    // Limits of size are named as such: the file is whole, only larger than the program opens.
    if (reason.contains(QStringLiteral("too large")) || reason.contains(QStringLiteral("too many"))) {
        QString why = reason;
        why.remove(QRegularExpression(QStringLiteral("^element \\d+: ")));
        return QStringLiteral("The design \"%1\" is too large to be opened (%2).").arg(name, why);
    }
    return QStringLiteral("The file \"%1\" could not be opened. It is damaged or not a design file.").arg(name);
}

} // namespace designfile
