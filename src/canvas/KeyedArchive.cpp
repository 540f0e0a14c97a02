#include "canvas/KeyedArchive.h"

#include "canvas/BinaryPlist.h"
#include "common/PictureReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
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
// the data is malformed. The walk ends as soon as the counts pass a limit: every reference it follows adds
// to them, so it follows no more references than the tree it allows has values, however the objects are
// shared or aliased (object numbers whose offsets name one object).
std::optional<plistio::PlistShape> binaryShape(const QByteArray& data, qint64 claimLimit, qint64 treeLimit)
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
    if (count > uint64_t(plistio::MaxNodes))
        return PlistShape{0, TooMany, 0, 0};

    // What the tree met so far holds; the walk ends once it passes a limit.
    PlistShape met;
    auto over = [&] {
        return met.nodes > plistio::MaxNodes || met.claim() > claimLimit || met.treeBytes() > treeLimit;
    };

    // An object: a container's references (where they start and how many), or a scalar's data and text
    // bytes; false when the object is malformed.
    struct Object {
        uint64_t refs = 0;
        uint64_t at = 0;
        bool container = false;
        bool block = false;
        qint64 own = 0;
    };
    auto objectAt = [&](uint64_t index, Object& o) -> bool {
        o = Object();
        const uint64_t off = readBigEndian(bytes + tableOffset + index * offsetSize, offsetSize);
        if (off >= size - 32)
            return false;
        const uchar marker = bytes[off];
        const int type = marker >> 4;
        quint64 n = 0;
        quint64 pos = 0;
        if (type == 0x4 || type == 0x5 || type == 0x6) {
            if (!readCount(bytes, size - 32, off, &n, &pos) || n > size)
                return false;
            o.block = true;
            o.own = qint64(type == 0x6 ? 3 * n : n); // UTF-16 becomes up to three UTF-8 bytes per unit
            return true;
        }
        if (type != 0xA && type != 0xC && type != 0xD)
            return true; // other scalars
        o.container = true;
        if (!readCount(bytes, size - 32, off, &n, &pos))
            return false;
        o.refs = type == 0xD ? n * 2 : n;
        o.at = pos;
        return n <= size && o.refs <= (size - 32 - pos) / uint64_t(refSize);
    };

    // Depth-first over the reference graph with each object's depth and expanded counts kept once known; a
    // reference cycle is refused as too deep.
    std::vector<int8_t> depth(count, -1); // -1 unvisited, -2 on the current path
    struct Counts {
        quint32 nodes = 0;
        quint32 blocks = 0;
        quint32 bytes = 0;
    };
    std::vector<Counts> counts(count);
    struct Frame {
        uint32_t index;
        Object object;
        uint64_t next = 0;
        int best = 0;
        PlistShape from; // what was met before it
    };
    std::vector<Frame> stack;
    auto push = [&](uint64_t index) -> bool {
        Object o;
        if (!objectAt(index, o))
            return false;
        depth[index] = -2;
        stack.push_back({uint32_t(index), o, 0, 0, met});
        met.nodes += 1;
        met.blocks += o.block ? 1 : 0;
        met.bytes += o.own;
        return true;
    };
    if (!push(top))
        return std::nullopt;
    while (!stack.empty()) {
        if (over())
            return met;
        Frame& f = stack.back();
        if (f.next < f.object.refs) {
            const uint64_t k = readBigEndian(bytes + f.object.at + f.next++ * uint64_t(refSize), refSize);
            if (k >= count)
                return std::nullopt;
            if (depth[k] == -2)
                return PlistShape{TooDeep, 0, 0, 0};
            if (depth[k] >= 0) {
                f.best = std::max(f.best, int(depth[k]));
                met.nodes += counts[k].nodes;
                met.blocks += counts[k].blocks;
                met.bytes += counts[k].bytes;
                continue;
            }
            if (int(stack.size()) >= TooDeep)
                return PlistShape{TooDeep, 0, 0, 0};
            if (!push(k))
                return std::nullopt;
            continue;
        }
        const int level = f.object.container ? f.best + 1 : 0;
        // Below every limit, so each count fits 32 bits.
        depth[f.index] = int8_t(level);
        counts[f.index] = {quint32(met.nodes - f.from.nodes), quint32(met.blocks - f.from.blocks),
                           quint32(met.bytes - f.from.bytes)};
        stack.pop_back();
        if (stack.empty()) {
            met.depth = level;
            return met;
        }
        stack.back().best = std::max(stack.back().best, level);
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
    qsizetype close = -1;
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
                // The next '>' is looked for once for all the tags before it.
                if (close < i)
                    close = data.indexOf('>', i);
                const bool selfClosing = close > 0 && p[close - 1] == '/';
                if (!selfClosing)
                    deepest = std::max(deepest, ++depth);
            }
            ++i;
        }
    }
    // Values hold no more text or data than the file, and no more texts, keys or data than elements.
    return {deepest, elements, elements, qint64(n)};
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

std::optional<PlistShape> shapeOf(const QByteArray& data, qint64 claimLimit, qint64 treeLimit)
{
    // The counts of each object are kept in 32 bits.
    constexpr qint64 Most = std::numeric_limits<quint32>::max() / 2;
    if (data.startsWith("bplist"))
        return binaryShape(data, std::min(claimLimit, Most), std::min(treeLimit, Most));
    return xmlShape(data);
}

qint64 readBudget(qint64 dataSize)
{
    // Pictures' bytes are claimed twice (in the list and again in their item archive), so a list of many
    // pictures may claim three times its size, whatever the cap.
    return std::min(std::max(MaxClaimedBytes, 3 * dataSize), ClaimPerByte * dataSize + ClaimFloor);
}

qint64 treeBudget(qint64 dataSize)
{
    return std::min(MaxTreeBytes, TreeBytesPerByte * dataSize + ClaimFloor);
}

static QString tooManyValues() { return QStringLiteral("The property list holds too many values."); }

QString overBudgetMessage()
{
    return QStringLiteral("The property list repeats its shared values too often to be read safely.");
}

PlistPtr fromBytes(const QByteArray& data, QString* error, qint64* budget, qint64 maxBytes)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return PlistPtr();
    };
    if (data.isEmpty())
        return fail(QStringLiteral("The data is empty."));
    if (data.size() > maxBytes)
        return fail(QStringLiteral("The data is too large."));
    const qint64 claimLimit = std::min(readBudget(data.size()), budget ? *budget : MaxClaimedBytes);
    const qint64 treeLimit =
        data.size() > MaxPlistBytes ? std::max(treeBudget(data.size()), 2 * qint64(data.size())) : treeBudget(data.size());
    const std::optional<PlistShape> shape = shapeOf(data, claimLimit, treeLimit);
    if (!shape)
        return fail(QStringLiteral("The data is not a readable property list."));
    if (shape->depth > MaxNestingDepth)
        return fail(QStringLiteral("The property list is nested too deeply."));
    if (shape->nodes > MaxNodes)
        return fail(tooManyValues());
    const qint64 claim = shape->claim();
    // An XML list shares nothing: past the budget it only holds more values than can be read.
    if (claim > claimLimit || shape->treeBytes() > treeLimit)
        return fail(data.startsWith("bplist") ? overBudgetMessage() : tooManyValues());
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
    if (!color.isValid())
        return setUid(key, 0);
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

static QByteArray pngOf(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return !image.isNull() && QImageWriter(&buffer, "png").write(image) ? buffer.data() : QByteArray();
}

void KeyedArchiveWriter::Object::setImage(const char* key, const QImage& image)
{
    const QByteArray png = pngOf(image);
    if (png.isEmpty())
        return setUid(key, 0);
    Object i = m_writer->addObject(QStringLiteral("NSImage"));
    i.setData("PNGData", png);
    setUid(key, i.uid());
}

void KeyedArchiveWriter::Object::setPicture(const char* key, const ItemPicture& picture)
{
    // A picture made in memory is stored as drawn, PNG data under the key of a file's bytes, as it is read
    // back: saved again, it is written the same.
    const QByteArray bytes = picture.inMemory() ? pngOf(picture.image()) : picture.bytes();
    if (picture.isNull() || bytes.isEmpty())
        return setUid(key, 0);
    Object i = m_writer->addObject(QStringLiteral("NSImage"));
    i.setData("NAVUPictureData", bytes);
    // Adjustments it carries (the main photo's) are made again where it is drawn.
    if (const ImageAdjustSettings a = picture.adjustments(); !a.isNeutral() && !picture.inMemory()) {
        i.setBool("NAVUGrayScale", a.grayscale);
        i.setBool("NAVUSepia", a.sepia);
        i.setBool("NAVUInvert", a.invert);
        i.setFloat("NAVUHue", a.hue);
        i.setFloat("NAVUSaturation", a.saturation);
        i.setFloat("NAVUBrightness", a.brightness);
        i.setFloat("NAVUContrast", a.contrast);
        i.setInt32("NAVURotation", a.rotation);
        i.setFloat("NAVUSharpness", a.sharpness);
        i.setFloat("NAVUExposure", a.exposure);
        i.setFloat("NAVUBlur", a.blur);
    }
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
    // Item pictures decoded here are barcode images, drawn again from their item's value and style when
    // left out for want of budget.
    bool overBudget = false;
    QImage image = decodeImageData(*png, "png", &overBudget);
    if (overBudget)
        return QImage();
    if (image.isNull())
        return std::nullopt;
    return image;
}

std::optional<ItemPicture> KeyedArchiveReader::picture(plist_t object, const char* key, QString* error) const
{
    if (!object || plist_get_node_type(object) != PLIST_DICT)
        return std::nullopt;
    plist_t raw = plist_dict_get_item(object, key);
    if (isNullRef(raw))
        return ItemPicture();
    plist_t i = member(object, key);
    if (!i || plist_get_node_type(i) != PLIST_DICT)
        return std::nullopt;
    auto bytes = data(i, "NAVUPictureData", MaxImageBytes);
    if (!bytes)
        bytes = data(i, "PNGData", MaxImageBytes);
    if (!bytes)
        return std::nullopt;
    ItemPicture picture = ItemPicture::fromBytes(*bytes, error);
    if (picture.isNull())
        return std::nullopt;
    ImageAdjustSettings a;
    a.grayscale = boolean(i, "NAVUGrayScale").value_or(false);
    a.sepia = boolean(i, "NAVUSepia").value_or(false);
    a.invert = boolean(i, "NAVUInvert").value_or(false);
    const auto value = [&](const char* name, const ImageAdjust::Range& range) {
        return range.clamp(float(real(i, name).value_or(range.neutral)));
    };
    a.hue = value("NAVUHue", ImageAdjust::Hue);
    a.saturation = value("NAVUSaturation", ImageAdjust::Saturation);
    a.brightness = value("NAVUBrightness", ImageAdjust::Brightness);
    a.contrast = value("NAVUContrast", ImageAdjust::Contrast);
    a.rotation = int(std::clamp<qint64>(integer(i, "NAVURotation").value_or(0), -360, 360));
    a.sharpness = value("NAVUSharpness", ImageAdjust::Sharpness);
    a.exposure = value("NAVUExposure", ImageAdjust::Exposure);
    a.blur = value("NAVUBlur", ImageAdjust::Blur);
    return picture.adjusted(a);
}

namespace {
thread_local PictureBudget* currentPictureBudget = nullptr;
}

PictureBudget::PictureBudget(qint64 bytes) : m_left(bytes), m_outer(currentPictureBudget)
{
    currentPictureBudget = this;
}

PictureBudget::~PictureBudget() { currentPictureBudget = m_outer; }

bool PictureBudget::charge(QSize size, int bytesPerPixel, bool fails)
{
    PictureBudget* budget = currentPictureBudget;
    if (!budget)
        return true;
    const qint64 bytes = std::max(1, bytesPerPixel) * qint64(size.width()) * size.height();
    if (bytes > budget->m_left) {
        budget->m_exceeded = budget->m_exceeded || fails;
        return false;
    }
    budget->m_left -= bytes;
    return true;
}

qint64 PictureBudget::cost(const QImage& image)
{
    const int depth = image.depth();
    return qint64(depth <= 8 ? 1 : depth <= 32 ? 4 : 8) * image.width() * image.height();
}

QString PictureBudget::exceededMessage()
{
    return QStringLiteral("the pictures take more than %1 MB").arg(MaxFileBytes / (1024 * 1024));
}

QImage decodeImageData(const QByteArray& bytes, const char* format, bool* overBudget)
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
        qint64(size.width()) * size.height() > KeyedArchiveReader::MaxImagePixels)
        return {};
    if (!PictureBudget::charge(size, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8, !overBudget)) {
        if (overBudget)
            *overBudget = true;
        return {};
    }
    pictures::allowPicturesAtSourceLimit();
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}
