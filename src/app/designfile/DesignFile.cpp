#include "app/designfile/DesignFile.h"
#include "common/FileHelpers.h"

#include "canvas/CardPropertyArchive.h"
#include "canvas/ItemArchive.h"
#include "canvas/KeyedArchive.h"
#include "common/Prompt.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace designfile {

namespace {

void appendString(plist_t array, const QString& text) {
    plist_array_append_item(array, plistio::newString(text));
}

void appendPhoto(plist_t array, const QImage& image) {
    QByteArray png;
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    plist_array_append_item(array, plistio::newData(png));
}

void appendItems(plist_t array, const GraphicList& items) {
    plist_array_append_item(array, plistio::newInteger(items.size()));
    for (const GraphicPtr& item : items)
        plist_array_append_item(array, plistio::newData(archiveItem(*item, plistio::Format::Binary)));
}

// Reads the root array in order; the first failure sticks and every later read gives nothing.
class Cursor {
public:
    Cursor(plist_t array, QString* error)
        : m_array(array), m_size(plist_array_get_size(array)), m_error(error) {}

    bool ok() const { return m_ok; }
    uint32_t index() const { return m_index; }
    uint32_t remaining() const { return m_index < m_size ? m_size - m_index : 0; }
    void skip(uint32_t n) { m_index += n; }

    bool fail(const QString& why) {
        if (m_ok && m_error)
            *m_error = QStringLiteral("element %1: %2").arg(m_index).arg(why);
        m_ok = false;
        return false;
    }

    plist_t next(const char* what) {
        if (!m_ok)
            return nullptr;
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
    QString* m_error;
    bool m_ok = true;
};

bool readCard(Cursor& c, plist_t root, Card_Property& record, const char* side) {
    if (!c.ok())
        return false;
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

QList<QMap<QString, QString>> readRows(Cursor& c) {
    plist_t node = c.next("rows");
    if (!node)
        return {};
    if (plist_get_node_type(node) != PLIST_ARRAY) {
        c.fail(QStringLiteral("the rows are not a list"));
        return {};
    }
    const uint32_t n = plist_array_get_size(node);
    if (n > MaxRows) {
        c.fail(QStringLiteral("too many rows"));
        return {};
    }
    QList<QMap<QString, QString>> rows;
    rows.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        plist_t dict = plist_array_get_item(node, i);
        if (plist_get_node_type(dict) != PLIST_DICT || plist_dict_get_size(dict) > MaxColumns + 1) {
            c.fail(QStringLiteral("row %1 is not a table row").arg(i));
            return {};
        }
        QMap<QString, QString> row;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(dict, &it);
        bool good = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(dict, it, &key, &value);
            if (!key)
                break;
            const QString k = QString::fromUtf8(key);
            free(key);
            const auto v = plistio::stringValue(value, MaxTextLength);
            if (!v) {
                good = false;
                break;
            }
            row.insert(k, *v);
        }
        free(it);
        if (!good) {
            c.fail(QStringLiteral("row %1 holds a value that is not a text").arg(i));
            return {};
        }
        rows.append(row);
    }
    return rows;
}

GraphicList readItems(Cursor& c, const char* side) {
    const qint64 n = c.count(side, MaxItemsPerSide);
    GraphicList items;
    for (qint64 i = 0; i < n && c.ok(); ++i) {
        const QByteArray bytes = c.data("item archive", plistio::MaxPlistBytes);
        if (!c.ok())
            break;
        QString why;
        QStringList defaulted;
        GraphicPtr item = unarchiveItem(bytes, &why, &defaulted);
        if (!item) {
            c.fail(QStringLiteral("%1 item %2 is broken: %3").arg(QLatin1String(side)).arg(i).arg(why));
            break;
        }
        if (!defaulted.isEmpty())
            Show_NSLog_Message(QStringLiteral("Design file: %1 item %2 fields read as defaults: %3")
                                   .arg(QLatin1String(side))
                                   .arg(i)
                                   .arg(defaulted.join(QStringLiteral(", "))));
        items.append(item);
    }
    return items;
}

} // namespace

QByteArray toBytes(const DesignData& d, bool xml) {
    PlistPtr root(plist_new_array());
    plist_t a = root.get();
    appendString(a, Marker);
    CardPropertyArchive::append(d.front, a);
    CardPropertyArchive::append(d.back, a);
    appendString(a, d.framePath);
    appendString(a, d.photoPath);
    appendPhoto(a, d.photoOriginal);
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
    for (const auto& row : d.sheet.rows) {
        plist_t dict = plist_new_dict();
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), plistio::newString(it.value()));
        plist_array_append_item(rows, dict);
    }
    plist_array_append_item(a, rows);
    appendItems(a, d.frontItems);
    appendItems(a, d.backItems);
    return plistio::toBytes(a, xml ? plistio::Format::Xml : plistio::Format::Binary);
}

std::optional<DesignData> fromBytes(const QByteArray& bytes, QString* error) {
    QString why;
    PlistPtr root = plistio::fromBytes(bytes, &why);
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
    const QByteArray png = c.data("main photo", KeyedArchiveReader::MaxImageBytes);
    if (c.ok() && !png.isEmpty()) {
        d.photoOriginal = decodeImageData(png);
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
    d.sheet.rows = readRows(c);
    d.frontItems = readItems(c, "front");
    d.backItems = readItems(c, "back");
    if (c.ok() && c.remaining() != 0)
        c.fail(QStringLiteral("unexpected data after the back items"));
    if (!c.ok())
        return std::nullopt;
    return d;
}

bool save(const QString& path, const DesignData& design, QString* error) {
    const QByteArray bytes = toBytes(design);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The design could not be encoded.");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

std::optional<DesignData> load(const QString& path, QString* error) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    if (f.size() > MaxFileBytes) {
        if (error)
            *error = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    return fromBytes(f.readAll(), error);
}

QString openFailedMessage(const QString& path) {
    return QStringLiteral("The file \"%1\" could not be opened. It is damaged or not a design file.")
        .arg(QFileInfo(path).fileName());
}

} // namespace designfile
