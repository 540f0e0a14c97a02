#include "canvas/KeyedArchive.h"

#include "canvas/BinaryPlist.h"
#include "common/PictureReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const char* const ArchiverName = "NSKeyedArchiver";
constexpr uint64_t ArchiverVersion = 100000;

using namespace bplist;

// Nesting depth, node count and data and text bytes of a binary property list as libplist would build it:
// an object referenced twice becomes two copies, so the counts are those of the expanded tree (a few shared
// references can otherwise stand for billions of nodes or bytes). Iterative and bounds-checked; nothing when
// the data is malformed.
std::optional<plistio::PlistShape> binaryShape(const QByteArray& data)
{
    using plistio::PlistShape;
    const std::optional<Trailer> trailer = readTrailer(data);
    if (!trailer)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const uint64_t size = uint64_t(data.size());
    const int offsetSize = trailer->offsetSize;
    const int refSize = trailer->refSize;
    const uint64_t count = trailer->count;
    const uint64_t top = trailer->top;
    const uint64_t tableOffset = trailer->tableOffset;
    constexpr int TooDeep = plistio::MaxNestingDepth + 1;
    constexpr qint64 TooMany = plistio::MaxNodes + 1;
    constexpr qint64 TooLarge = plistio::MaxClaimedBytes + 1;
    if (count > uint64_t(plistio::MaxNodes))
        return PlistShape{0, TooMany, 0};

    auto offsetOf = [&](uint64_t index) -> uint64_t {
        return readBigEndian(bytes + tableOffset + index * offsetSize, offsetSize);
    };
    // Children (object references) of a container object, or the data and text bytes of a scalar; false
    // when the object is malformed.
    auto children = [&](uint64_t index, std::vector<uint32_t>& out, bool& container, qint64& own) -> bool {
        out.clear();
        container = false;
        own = 0;
        const uint64_t off = offsetOf(index);
        if (off >= size - 32)
            return false;
        const uchar marker = bytes[off];
        const int type = marker >> 4;
        quint64 n = 0;
        quint64 pos = 0;
        if (type == 0x4 || type == 0x5 || type == 0x6) {
            if (!readCount(bytes, size - 32, off, &n, &pos) || n > size)
                return false;
            own = qint64(type == 0x6 ? 3 * n : n); // UTF-16 becomes up to three UTF-8 bytes per unit
            return true;
        }
        if (type != 0xA && type != 0xC && type != 0xD)
            return true; // other scalars
        container = true;
        if (!readCount(bytes, size - 32, off, &n, &pos))
            return false;
        const uint64_t refs = type == 0xD ? n * 2 : n;
        if (n > size || refs > (size - 32 - pos) / uint64_t(refSize))
            return false;
        out.reserve(refs);
        for (uint64_t i = 0; i < refs; ++i) {
            const uint64_t ref = readBigEndian(bytes + pos + i * refSize, refSize);
            if (ref >= count)
                return false;
            out.push_back(uint32_t(ref));
        }
        return true;
    };

    // Depth-first over the reference graph with memoised depth and expanded size; a reference cycle is
    // refused as too deep.
    std::vector<int8_t> depth(count, -1); // -1 unvisited, -2 on the current path
    std::vector<qint64> nodes(count, 0);
    std::vector<qint64> held(count, 0);
    struct Frame {
        uint32_t index;
        std::vector<uint32_t> kids;
        size_t next = 0;
        bool container = false;
        int best = 0;
        qint64 sum = 1;
        qint64 bytes = 0;
    };
    std::vector<Frame> stack;
    std::vector<uint32_t> kids;
    bool container = false;
    qint64 own = 0;
    if (!children(top, kids, container, own))
        return std::nullopt;
    depth[top] = -2;
    stack.push_back({uint32_t(top), kids, 0, container, 0, 1, std::min(own, TooLarge)});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.kids.size()) {
            const uint32_t k = f.kids[f.next++];
            if (depth[k] == -2)
                return PlistShape{TooDeep, 0, 0};
            if (depth[k] >= 0) {
                f.best = std::max(f.best, int(depth[k]));
                f.sum = std::min(f.sum + nodes[k], TooMany);
                f.bytes = std::min(f.bytes + held[k], TooLarge);
                continue;
            }
            if (!children(k, kids, container, own))
                return std::nullopt;
            if (int(stack.size()) >= TooDeep)
                return PlistShape{TooDeep, 0, 0};
            depth[k] = -2;
            stack.push_back({k, kids, 0, container, 0, 1, std::min(own, TooLarge)});
            continue;
        }
        const int level = f.container ? f.best + 1 : 0;
        const qint64 total = f.sum;
        const qint64 bytesBelow = f.bytes;
        depth[f.index] = int8_t(level);
        nodes[f.index] = total;
        held[f.index] = bytesBelow;
        stack.pop_back();
        if (stack.empty())
            return PlistShape{level, total, bytesBelow};
        stack.back().best = std::max(stack.back().best, level);
        stack.back().sum = std::min(stack.back().sum + total, TooMany);
        stack.back().bytes = std::min(stack.back().bytes + bytesBelow, TooLarge);
    }
    return std::nullopt;
}

// Nesting depth and element count of an XML property list; comments, CDATA and declarations are skipped
// so that tags inside them are not counted.
plistio::PlistShape xmlShape(const QByteArray& data)
{
    const char* p = data.constData();
    const qsizetype n = data.size();
    int depth = 0;
    int deepest = 0;
    qint64 elements = 0;
    auto startsWith = [&](qsizetype at, const char* s) {
        const qsizetype len = qsizetype(std::strlen(s));
        return at + len <= n && std::memcmp(p + at, s, size_t(len)) == 0;
    };
    auto skipPast = [&](qsizetype at, const char* end) -> qsizetype {
        const QByteArray needle(end);
        const qsizetype found = data.indexOf(needle, at);
        return found < 0 ? n : found + needle.size();
    };
    for (qsizetype i = 0; i < n;) {
        if (p[i] != '<') {
            ++i;
            continue;
        }
        if (startsWith(i, "<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (startsWith(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (startsWith(i, "<?") || startsWith(i, "<!")) {
            i = skipPast(i + 2, ">");
        } else if (startsWith(i, "</")) {
            if (startsWith(i, "</array") || startsWith(i, "</dict"))
                depth = std::max(0, depth - 1);
            i += 2;
        } else {
            ++elements;
            if (startsWith(i, "<array") || startsWith(i, "<dict")) {
                const qsizetype close = data.indexOf('>', i);
                const bool selfClosing = close > 0 && p[close - 1] == '/';
                if (!selfClosing)
                    deepest = std::max(deepest, ++depth);
            }
            ++i;
        }
    }
    // Values hold no more text or data than the file.
    return {deepest, elements, qint64(n)};
}

// ---- binary property list writer ----
//
// libplist's own binary writer merges equal values only when their hashes meet, which depends on
// addresses, so the same tree can give different bytes from run to run. This writer is deterministic:
// objects are numbered depth-first and equal scalars (texts, numbers, flags) are shared by value.

class BinaryPlistWriter {
public:
    QByteArray write(plist_t root)
    {
        m_objects.clear();
        m_scalars.clear();
        if (add(root) < 0)
            return {};
        const quint64 count = quint64(m_objects.size());
        const int refSize = bytesFor(count - 1);
        QByteArray out("bplist00");
        std::vector<quint64> offsets;
        offsets.reserve(m_objects.size());
        for (const Object& o : m_objects) {
            offsets.push_back(quint64(out.size()));
            if (o.container == 0) {
                out += o.bytes;
                continue;
            }
            const quint64 n = o.container == 0xD ? o.refs.size() / 2 : o.refs.size();
            appendMarker(out, uchar(o.container), n);
            for (int ref : o.refs)
                appendBigEndian(out, quint64(ref), refSize);
        }
        const quint64 tableOffset = quint64(out.size());
        const int offsetSize = bytesFor(tableOffset);
        for (quint64 off : offsets)
            appendBigEndian(out, off, offsetSize);
        appendTrailer(out, {offsetSize, refSize, count, 0, tableOffset}); // the root is object 0
        return out;
    }

private:
    struct Object {
        int container = 0; // 0xA array, 0xD dictionary, 0 scalar
        QByteArray bytes;  // encoded scalar
        std::vector<int> refs;
    };

    int addScalar(QByteArray bytes)
    {
        auto it = m_scalars.constFind(bytes);
        if (it != m_scalars.constEnd())
            return *it;
        const int index = int(m_objects.size());
        m_scalars.insert(bytes, index);
        m_objects.push_back(Object{0, std::move(bytes), {}});
        return index;
    }

    int add(plist_t node)
    {
        if (!node)
            return -1;
        QByteArray b;
        if (appendScalar(b, node))
            return addScalar(b);
        switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            uint64_t len = 0;
            const char* v = plist_get_string_ptr(node, &len);
            appendTextUtf8(b, v ? v : "", v ? len : 0);
            return addScalar(b);
        }
        case PLIST_DATA: {
            uint64_t len = 0;
            const char* v = plist_get_data_ptr(node, &len);
            appendData(b, v, v ? len : 0);
            const int index = int(m_objects.size()); // pictures are not worth hashing
            m_objects.push_back(Object{0, std::move(b), {}});
            return index;
        }
        case PLIST_ARRAY: {
            const int index = int(m_objects.size());
            m_objects.push_back(Object{0xA, {}, {}});
            std::vector<int> refs;
            const uint32_t n = plist_array_get_size(node);
            for (uint32_t i = 0; i < n; ++i) {
                const int ref = add(plist_array_get_item(node, i));
                if (ref < 0)
                    return -1;
                refs.push_back(ref);
            }
            m_objects[size_t(index)].refs = std::move(refs);
            return index;
        }
        case PLIST_DICT: {
            const int index = int(m_objects.size());
            m_objects.push_back(Object{0xD, {}, {}});
            std::vector<int> keys;
            std::vector<int> values;
            const bool ok = plistio::forEachEntry(node, [&](const char* key, plist_t value) {
                QByteArray k;
                appendTextUtf8(k, key, std::strlen(key));
                keys.push_back(addScalar(k));
                values.push_back(add(value));
                return values.back() >= 0;
            });
            if (!ok)
                return -1;
            keys.insert(keys.end(), values.begin(), values.end());
            m_objects[size_t(index)].refs = std::move(keys);
            return index;
        }
        default:
            return -1;
        }
    }

    std::vector<Object> m_objects;
    QHash<QByteArray, int> m_scalars;
};

bool isUidNode(plist_t node, uint64_t* uid)
{
    if (!node)
        return false;
    if (plist_get_node_type(node) == PLIST_UID) {
        plist_get_uid_val(node, uid);
        return true;
    }
    // XML archives written elsewhere spell a UID as {"CF$UID": n}.
    if (plist_get_node_type(node) == PLIST_DICT && plist_dict_get_size(node) == 1) {
        plist_t v = plist_dict_get_item(node, "CF$UID");
        if (v && plist_get_node_type(v) == PLIST_UINT) {
            plist_get_uint_val(v, uid);
            return true;
        }
    }
    return false;
}

QByteArray colorComponents(const QColor& color)
{
    const QColor c = color.toRgb();
    QByteArray text = QByteArray::number(c.redF(), 'g', 9) + ' ' + QByteArray::number(c.greenF(), 'g', 9) + ' ' +
                      QByteArray::number(c.blueF(), 'g', 9) + ' ' + QByteArray::number(c.alphaF(), 'g', 9);
    text.append('\0'); // the platform stores a C string
    return text;
}

std::optional<QList<float>> parseComponents(const QByteArray& raw, int maxCount)
{
    QByteArray text = raw;
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    const QList<QByteArray> parts = text.simplified().split(' ');
    if (parts.isEmpty() || parts.size() > maxCount)
        return std::nullopt;
    QList<float> values;
    for (const QByteArray& part : parts) {
        bool ok = false;
        const double v = part.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        values << float(std::clamp(v, 0.0, 1.0));
    }
    return values;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------

namespace plistio {

QByteArray toBytes(plist_t node, Format format)
{
    if (!node)
        return {};
    if (format == Format::Binary)
        return BinaryPlistWriter().write(node);
    char* buffer = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &buffer, &length);
    if (!buffer)
        return {};
    QByteArray out(buffer, qsizetype(length));
    plist_to_xml_free(buffer);
    return out;
}

std::optional<PlistShape> shapeOf(const QByteArray& data)
{
    if (data.startsWith("bplist"))
        return binaryShape(data);
    return xmlShape(data);
}

qint64 readBudget(qint64 dataSize)
{
    return std::min(MaxClaimedBytes, ClaimPerByte * dataSize + ClaimFloor);
}

QString overBudgetMessage()
{
    return QStringLiteral("The property list repeats its shared values too often to be read safely.");
}

PlistPtr fromBytes(const QByteArray& data, QString* error, qint64* budget)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return PlistPtr();
    };
    if (data.isEmpty())
        return fail(QStringLiteral("The data is empty."));
    if (data.size() > MaxPlistBytes)
        return fail(QStringLiteral("The data is too large."));
    const std::optional<PlistShape> shape = shapeOf(data);
    if (!shape)
        return fail(QStringLiteral("The data is not a readable property list."));
    if (shape->depth > MaxNestingDepth)
        return fail(QStringLiteral("The property list is nested too deeply."));
    if (shape->nodes > MaxNodes)
        return fail(QStringLiteral("The property list holds too many values."));
    const qint64 claim = shape->claim();
    if (claim > readBudget(data.size()) || (budget && claim > *budget))
        return fail(overBudgetMessage());
    if (budget)
        *budget -= claim;
    plist_t node = nullptr;
    if (data.startsWith("bplist"))
        plist_from_bin(data.constData(), uint32_t(data.size()), &node);
    else
        plist_from_xml(data.constData(), uint32_t(data.size()), &node);
    if (!node)
        return fail(QStringLiteral("The data is not a readable property list."));
    return PlistPtr(node);
}

std::optional<QString> stringValue(plist_t node, qsizetype maxLength)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    // The pointer form: plist_get_string_val asserts on strings holding a NUL, which hostile data may have.
    uint64_t len = 0;
    const char* value = plist_get_string_ptr(node, &len);
    if (!value)
        return std::nullopt;
    // UTF-8 uses at most 3 bytes per UTF-16 unit, so longer byte runs can only be too long texts.
    if (len > uint64_t(maxLength) * 3)
        return std::nullopt;
    QString text = QString::fromUtf8(value, qsizetype(len));
    if (text.size() > maxLength)
        return std::nullopt;
    return text;
}

std::optional<qint64> integerValue(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    uint64_t v = 0;
    plist_get_uint_val(node, &v);
    return qint64(v);
}

std::optional<double> realValue(plist_t node)
{
    if (!node)
        return std::nullopt;
    if (plist_get_node_type(node) == PLIST_REAL) {
        double v = 0;
        plist_get_real_val(node, &v);
        if (!std::isfinite(v))
            return std::nullopt;
        return v;
    }
    if (auto i = integerValue(node))
        return double(*i);
    return std::nullopt;
}

std::optional<bool> boolValue(plist_t node)
{
    if (!node)
        return std::nullopt;
    if (plist_get_node_type(node) == PLIST_BOOLEAN) {
        uint8_t v = 0;
        plist_get_bool_val(node, &v);
        return v != 0;
    }
    if (auto i = integerValue(node)) {
        if (*i == 0 || *i == 1)
            return *i == 1;
    }
    return std::nullopt;
}

std::optional<QByteArray> dataValue(plist_t node, qsizetype maxBytes)
{
    if (!node || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    uint64_t length = 0;
    const char* value = plist_get_data_ptr(node, &length);
    if (length > uint64_t(maxBytes) || (!value && length > 0))
        return std::nullopt;
    return QByteArray(value, qsizetype(length));
}

plist_t newString(const QString& text)
{
    // libplist keeps C strings: a NUL would cut the text, so it is dropped.
    QString clean = text;
    clean.remove(QChar(0));
    return plist_new_string(clean.toUtf8().constData());
}

plist_t newInteger(qint64 value) { return plist_new_uint(uint64_t(value)); }

plist_t newData(const QByteArray& bytes) { return plist_new_data(bytes.constData(), uint64_t(bytes.size())); }

} // namespace plistio

// ---------------------------------------------------------------------------------------------------------

KeyedArchiveWriter::KeyedArchiveWriter() : m_objects(plist_new_array())
{
    plist_array_append_item(m_objects, plist_new_string("$null"));
}

KeyedArchiveWriter::~KeyedArchiveWriter()
{
    if (m_objects)
        plist_free(m_objects);
}

uint64_t KeyedArchiveWriter::append(plist_t node)
{
    const uint64_t uid = plist_array_get_size(m_objects);
    plist_array_append_item(m_objects, node);
    return uid;
}

uint64_t KeyedArchiveWriter::classUid(const QString& className, const QStringList& superclasses)
{
    auto it = m_classes.constFind(className);
    if (it != m_classes.constEnd())
        return *it;
    plist_t dict = plist_new_dict();
    plist_t classes = plist_new_array();
    plist_array_append_item(classes, plistio::newString(className));
    for (const QString& s : superclasses)
        plist_array_append_item(classes, plistio::newString(s));
    plist_dict_set_item(dict, "$classes", classes);
    plist_dict_set_item(dict, "$classname", plistio::newString(className));
    const uint64_t uid = append(dict);
    m_classes.insert(className, uid);
    return uid;
}

KeyedArchiveWriter::Object KeyedArchiveWriter::addObject(const QString& className, const QStringList& superclasses)
{
    plist_t dict = plist_new_dict();
    const uint64_t uid = append(dict);
    plist_dict_set_item(dict, "$class", plist_new_uid(classUid(className, superclasses)));
    return Object(this, dict, uid);
}

uint64_t KeyedArchiveWriter::addString(const QString& text) { return append(plistio::newString(text)); }

uint64_t KeyedArchiveWriter::addData(const QByteArray& bytes) { return append(plistio::newData(bytes)); }

PlistPtr KeyedArchiveWriter::finish(uint64_t rootUid)
{
    plist_t archive = plist_new_dict();
    plist_dict_set_item(archive, "$archiver", plist_new_string(ArchiverName));
    plist_dict_set_item(archive, "$version", plist_new_uint(ArchiverVersion));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(rootUid));
    plist_dict_set_item(archive, "$top", top);
    plist_dict_set_item(archive, "$objects", m_objects);
    m_objects = plist_new_array();
    plist_array_append_item(m_objects, plist_new_string("$null"));
    m_classes.clear();
    return PlistPtr(archive);
}

void KeyedArchiveWriter::Object::setInt32(const char* key, qint32 value)
{
    plist_dict_set_item(m_dict, key, plistio::newInteger(value));
}

void KeyedArchiveWriter::Object::setFloat(const char* key, float value)
{
    plist_dict_set_item(m_dict, key, plist_new_real(double(value)));
}

void KeyedArchiveWriter::Object::setDouble(const char* key, double value)
{
    plist_dict_set_item(m_dict, key, plist_new_real(value));
}

void KeyedArchiveWriter::Object::setBool(const char* key, bool value)
{
    plist_dict_set_item(m_dict, key, plist_new_bool(value ? 1 : 0));
}

void KeyedArchiveWriter::Object::setUid(const char* key, uint64_t uid)
{
    plist_dict_set_item(m_dict, key, plist_new_uid(uid));
}

void KeyedArchiveWriter::Object::setString(const char* key, const QString& text)
{
    setUid(key, m_writer->addString(text));
}

void KeyedArchiveWriter::Object::setData(const char* key, const QByteArray& bytes)
{
    setUid(key, m_writer->addData(bytes));
}

void KeyedArchiveWriter::Object::setColor(const char* key, const QColor& color)
{
    if (!color.isValid()) {
        setUid(key, 0);
        return;
    }
    Object c = m_writer->addObject(QStringLiteral("NSColor"));
    c.setInt32("NSColorSpace", 1); // calibrated RGB
    c.setData("NSRGB", colorComponents(color));
    setUid(key, c.uid());
}

void KeyedArchiveWriter::Object::setFont(const char* key, const QFont& font)
{
    Object f = m_writer->addObject(QStringLiteral("NSFont"));
    f.setString("NSName", font.family());
    if (font.pointSizeF() > 0)
        f.setDouble("NSSize", font.pointSizeF());
    else
        f.setInt32("NAVUPixelSize", font.pixelSize());
    f.setInt32("NAVUWeight", int(font.weight()));
    f.setBool("NAVUItalic", font.italic());
    f.setBool("NAVUUnderline", font.underline());
    f.setBool("NAVUStrikeOut", font.strikeOut());
    if (!font.styleName().isEmpty())
        f.setString("NAVUStyleName", font.styleName());
    setUid(key, f.uid());
}

void KeyedArchiveWriter::Object::setImage(const char* key, const QImage& image)
{
    if (image.isNull()) {
        setUid(key, 0);
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        setUid(key, 0);
        return;
    }
    Object i = m_writer->addObject(QStringLiteral("NSImage"));
    i.setData("PNGData", png);
    setUid(key, i.uid());
}

// ---------------------------------------------------------------------------------------------------------

bool KeyedArchiveReader::open(plist_t archive, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        m_objects = nullptr;
        m_root = nullptr;
        m_count = 0;
        return false;
    };
    if (!archive || plist_get_node_type(archive) != PLIST_DICT)
        return fail(QStringLiteral("The item archive is not a dictionary."));
    if (plistio::stringValue(plist_dict_get_item(archive, "$archiver")) != QString::fromLatin1(ArchiverName))
        return fail(QStringLiteral("The data is not a keyed archive."));
    plist_t objects = plist_dict_get_item(archive, "$objects");
    if (!objects || plist_get_node_type(objects) != PLIST_ARRAY || plist_array_get_size(objects) < 2)
        return fail(QStringLiteral("The keyed archive has no objects."));
    m_objects = objects;
    m_count = plist_array_get_size(objects);
    plist_t top = plist_dict_get_item(archive, "$top");
    if (!top || plist_get_node_type(top) != PLIST_DICT)
        return fail(QStringLiteral("The keyed archive has no root."));
    m_root = resolve(plist_dict_get_item(top, "root"));
    if (!m_root || plist_get_node_type(m_root) != PLIST_DICT)
        return fail(QStringLiteral("The keyed archive has no root object."));
    return true;
}

plist_t KeyedArchiveReader::resolve(plist_t uidNode) const
{
    uint64_t uid = 0;
    if (!m_objects || !isUidNode(uidNode, &uid) || uid == 0 || uid >= m_count)
        return nullptr;
    plist_t node = plist_array_get_item(m_objects, uint32_t(uid));
    if (plistio::stringValue(node, 8) == QLatin1String("$null"))
        return nullptr;
    return node;
}

bool KeyedArchiveReader::isNullRef(plist_t uidNode) const
{
    uint64_t uid = 0;
    if (!isUidNode(uidNode, &uid))
        return false;
    if (uid == 0)
        return true;
    if (uid >= m_count)
        return false;
    return plistio::stringValue(plist_array_get_item(m_objects, uint32_t(uid)), 8) == QLatin1String("$null");
}

QString KeyedArchiveReader::className(plist_t object) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return {};
    plist_t cls = resolve(plist_dict_get_item(object, "$class"));
    if (!cls || plist_get_node_type(cls) != PLIST_DICT)
        return {};
    return plistio::stringValue(plist_dict_get_item(cls, "$classname"), 256).value_or(QString());
}

plist_t KeyedArchiveReader::member(plist_t object, const char* key) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return nullptr;
    plist_t raw = plist_dict_get_item(object, key);
    uint64_t uid = 0;
    if (isUidNode(raw, &uid))
        return resolve(raw);
    return raw;
}

std::optional<qint64> KeyedArchiveReader::integer(plist_t object, const char* key) const
{
    return plistio::integerValue(member(object, key));
}

std::optional<double> KeyedArchiveReader::real(plist_t object, const char* key) const
{
    return plistio::realValue(member(object, key));
}

std::optional<bool> KeyedArchiveReader::boolean(plist_t object, const char* key) const
{
    return plistio::boolValue(member(object, key));
}

std::optional<QString> KeyedArchiveReader::string(plist_t object, const char* key, qsizetype maxLength) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return std::nullopt;
    plist_t raw = plist_dict_get_item(object, key);
    if (isNullRef(raw))
        return QString();
    plist_t node = member(object, key);
    if (node && plist_get_node_type(node) == PLIST_DICT) // a mutable string object
        node = member(node, "NS.string");
    return plistio::stringValue(node, maxLength);
}

std::optional<QByteArray> KeyedArchiveReader::data(plist_t object, const char* key, qsizetype maxBytes) const
{
    plist_t node = member(object, key);
    if (node && plist_get_node_type(node) == PLIST_DICT) // a mutable data object
        node = member(node, "NS.data");
    return plistio::dataValue(node, maxBytes);
}

std::optional<QColor> KeyedArchiveReader::color(plist_t object, const char* key) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return std::nullopt;
    plist_t raw = plist_dict_get_item(object, key);
    if (isNullRef(raw))
        return QColor();
    plist_t c = member(object, key);
    if (!c || plist_get_node_type(c) != PLIST_DICT)
        return std::nullopt;
    if (auto rgb = data(c, "NSRGB", 256)) {
        const auto v = parseComponents(*rgb, 4);
        if (!v || v->size() < 3)
            return std::nullopt;
        return QColor::fromRgbF((*v)[0], (*v)[1], (*v)[2], v->size() > 3 ? (*v)[3] : 1.0f);
    }
    if (auto white = data(c, "NSWhite", 256)) {
        const auto v = parseComponents(*white, 2);
        if (!v)
            return std::nullopt;
        return QColor::fromRgbF((*v)[0], (*v)[0], (*v)[0], v->size() > 1 ? (*v)[1] : 1.0f);
    }
    return std::nullopt;
}

std::optional<QFont> KeyedArchiveReader::font(plist_t object, const char* key) const
{
    plist_t f = member(object, key);
    if (!f || plist_get_node_type(f) != PLIST_DICT)
        return std::nullopt;
    const auto family = string(f, "NSName", 256);
    if (!family || family->isEmpty())
        return std::nullopt;
    QFont font(*family);
    if (const auto size = real(f, "NSSize"); size && *size > 0 && *size <= 4096) {
        font.setPointSizeF(*size);
    } else if (const auto px = integer(f, "NAVUPixelSize"); px && *px > 0 && *px <= 4096) {
        font.setPixelSize(int(*px));
    } else {
        return std::nullopt;
    }
    if (const auto w = integer(f, "NAVUWeight"); w && *w >= 1 && *w <= 1000)
        font.setWeight(QFont::Weight(*w));
    if (const auto b = boolean(f, "NAVUItalic"))
        font.setItalic(*b);
    if (const auto b = boolean(f, "NAVUUnderline"))
        font.setUnderline(*b);
    if (const auto b = boolean(f, "NAVUStrikeOut"))
        font.setStrikeOut(*b);
    if (const auto s = string(f, "NAVUStyleName", 256); s && !s->isEmpty())
        font.setStyleName(*s);
    return font;
}

std::optional<QImage> KeyedArchiveReader::image(plist_t object, const char* key) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return std::nullopt;
    plist_t raw = plist_dict_get_item(object, key);
    if (isNullRef(raw))
        return QImage();
    plist_t i = member(object, key);
    if (!i || plist_get_node_type(i) != PLIST_DICT)
        return std::nullopt;
    const auto png = data(i, "PNGData", MaxImageBytes);
    if (!png)
        return std::nullopt;
    QImage image = decodeImageData(*png);
    if (image.isNull())
        return std::nullopt;
    return image;
}

namespace {
thread_local PictureBudget* currentPictureBudget = nullptr;
}

PictureBudget::PictureBudget(qint64 bytes) : m_left(bytes), m_outer(currentPictureBudget)
{
    currentPictureBudget = this;
}

PictureBudget::~PictureBudget() { currentPictureBudget = m_outer; }

bool PictureBudget::charge(QSize size)
{
    PictureBudget* budget = currentPictureBudget;
    if (!budget)
        return true;
    const qint64 bytes = 4 * qint64(size.width()) * size.height();
    if (bytes > budget->m_left) {
        budget->m_exceeded = true;
        return false;
    }
    budget->m_left -= bytes;
    return true;
}

QString PictureBudget::exceededMessage()
{
    return QStringLiteral("the pictures take more than %1 MB").arg(MaxFileBytes / (1024 * 1024));
}

QImage decodeImageData(const QByteArray& bytes, const char* format)
{
    if (bytes.isEmpty() || bytes.size() > KeyedArchiveReader::MaxImageBytes || !pictures::inspect(bytes).readable())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format == nullptr);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > KeyedArchiveReader::MaxImageSide ||
        size.height() > KeyedArchiveReader::MaxImageSide ||
        qint64(size.width()) * size.height() > KeyedArchiveReader::MaxImagePixels || !PictureBudget::charge(size))
        return {};
    pictures::allowPicturesAtSourceLimit();
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}
