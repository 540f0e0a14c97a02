#pragma once

// A small keyed-archive layer over libplist: the "$archiver" / "$version" / "$objects" / "$top" layout in
// which every object is a dictionary in "$objects", referenced from others by UID, with a "$class" entry
// naming its class. Writing builds such a tree; reading checks it defensively (every UID is range-checked,
// every type is tested before use), so a hostile archive can only yield "absent" answers, never a crash.

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include "imaging/ItemPicture.h"
#include <QString>
#include <QStringList>

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

struct PlistDeleter {
    void operator()(plist_t node) const
    {
        if (node)
            plist_free(node);
    }
};
// Owns a plist node tree.
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

namespace plistio {
enum class Format { Binary, Xml };

// Largest property list accepted from outside (bytes).
constexpr qsizetype MaxPlistBytes = 256 * 1024 * 1024;

// Serialises a node tree; an empty array on failure.
QByteArray toBytes(plist_t node, Format format);

// What reading a property list claims of a file's budget, in bytes: each value it makes costs NodeBytes and
// each data or text byte one (three per UTF-16 unit), counted every time a shared object is met again. A
// list may claim a small multiple of its own size (readBudget), so a few shared references cannot stand for
// gigabytes; the parts of one file share one such budget.
constexpr qint64 NodeBytes = 16;
constexpr qint64 MaxClaimedBytes = 256LL * 1024 * 1024;
constexpr qint64 ClaimPerByte = 16;
constexpr qint64 ClaimFloor = 1024 * 1024;
qint64 readBudget(qint64 dataSize);
// What the parsed tree really takes while it lives (measured with libplist 2.2: a value's node and its
// data take 104 bytes, a dictionary entry's key is a value of its own, a large container indexes its
// children, and every text, key or data has a heap block of at least 32 bytes besides). A list may take
// TreeBytesPerByte for each of its bytes (a value for each, which no list the program writes exceeds),
// never more than MaxTreeBytes.
constexpr qint64 TreeNodeBytes = 128;
constexpr qint64 TreeBlockBytes = 32;
constexpr qint64 TreeBytesPerByte = TreeNodeBytes + TreeBlockBytes;
constexpr qint64 MaxTreeBytes = 256LL * 1024 * 1024;
qint64 treeBudget(qint64 dataSize);
// The reason given when a list claims more than its budget.
QString overBudgetMessage();

// Parses binary or XML property list data. Refuses oversized input, input nested too deeply (libplist's
// parsers recurse once per level) and input whose parsed tree would take more than its tree budget or
// claim more than its budget (a binary list's shared references are expanded into copies), all before
// anything is parsed. The budget is readBudget of the data's size; when budget is given, the claim is also
// taken from *budget, so that the parts of one file share that file's budget. The measuring stops as soon
// as a limit is passed, so it takes no longer than the tree it allows. Null with a reason in *error on
// failure. A caller that takes lists of large data (archives of pictures) may admit up to maxBytes; a list
// larger than MaxPlistBytes then may take twice its size as a tree.
PlistPtr fromBytes(const QByteArray& data, QString* error = nullptr, qint64* budget = nullptr,
                   qint64 maxBytes = MaxPlistBytes);
constexpr int MaxNestingDepth = 64;
constexpr qint64 MaxNodes = 4 * 1000 * 1000;

struct PlistShape {
    int depth = 0;     // deepest array/dictionary nesting
    qint64 nodes = 0;  // values the parsed tree would hold (saturates above MaxNodes)
    qint64 blocks = 0; // texts, keys and data among them
    qint64 bytes = 0;  // data and text bytes it would hold (saturates above MaxClaimedBytes)
    qint64 claim() const { return nodes * NodeBytes + bytes; }
    qint64 treeBytes() const { return nodes * TreeNodeBytes + blocks * TreeBlockBytes + bytes; }
};
// Measured without parsing or recursion; nothing when binary data is malformed. A binary list is measured
// only until its claim passes claimLimit or its tree treeLimit: the shape then returned passes that limit,
// with the counts met so far.
std::optional<PlistShape> shapeOf(const QByteArray& data, qint64 claimLimit = MaxClaimedBytes,
                                  qint64 treeLimit = MaxTreeBytes);

// Scalar helpers. Each returns nothing when the node is missing or of another type.
std::optional<QString> stringValue(plist_t node, qsizetype maxLength = 1 << 20);
std::optional<qint64> integerValue(plist_t node); // PLIST_UINT read as a signed 64-bit value
std::optional<double> realValue(plist_t node);    // PLIST_REAL or PLIST_UINT; never NaN or infinite
std::optional<bool> boolValue(plist_t node);      // PLIST_BOOLEAN or an integer 0/1
std::optional<QByteArray> dataValue(plist_t node, qsizetype maxBytes);
plist_t newString(const QString& text);
plist_t newInteger(qint64 value);
plist_t newData(const QByteArray& bytes);

// Calls visit(key, value) for each entry of a dictionary in turn while it returns true. False when visit
// stopped the walk or no iterator could be made.
template <typename Visit> bool forEachEntry(plist_t dict, Visit&& visit) {
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    bool go = iter != nullptr;
    while (go) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!value) {
            std::free(key);
            break;
        }
        go = visit(key ? static_cast<const char*>(key) : "", value);
        std::free(key);
    }
    std::free(iter);
    return go;
}
} // namespace plistio

// Builds one keyed archive.
class KeyedArchiveWriter {
public:
    KeyedArchiveWriter();
    ~KeyedArchiveWriter();
    KeyedArchiveWriter(const KeyedArchiveWriter&) = delete;
    KeyedArchiveWriter& operator=(const KeyedArchiveWriter&) = delete;

    // An object under construction: a dictionary that ends up at a fixed UID of "$objects".
    class Object {
    public:
        uint64_t uid() const { return m_uid; }
        void setInt32(const char* key, qint32 value);
        void setFloat(const char* key, float value); // single precision: the value is rounded through float
        void setDouble(const char* key, double value);
        void setBool(const char* key, bool value);
        void setString(const char* key, const QString& text); // as a string object, by UID
        void setData(const char* key, const QByteArray& bytes); // as a data object, by UID
        void setUid(const char* key, uint64_t uid);
        void setColor(const char* key, const QColor& color); // archived colour object ($null when invalid)
        void setFont(const char* key, const QFont& font);    // archived font object
        void setImage(const char* key, const QImage& image); // archived picture (PNG data), $null when null
        // An item's picture: its bytes as they came, or PNG data for a picture made in memory; $null when null.
        void setPicture(const char* key, const ItemPicture& picture);

    private:
        friend class KeyedArchiveWriter;
        Object(KeyedArchiveWriter* writer, plist_t dict, uint64_t uid) : m_writer(writer), m_dict(dict), m_uid(uid)
        {
        }
        KeyedArchiveWriter* m_writer;
        plist_t m_dict; // owned by the writer's "$objects"
        uint64_t m_uid;
    };

    // Adds an empty object of the class (the hierarchy after it lists its superclasses).
    Object addObject(const QString& className, const QStringList& superclasses = {QStringLiteral("NSObject")});
    uint64_t addString(const QString& text);
    uint64_t addData(const QByteArray& bytes);

    // Finishes the archive with the root object; the writer is empty afterwards.
    PlistPtr finish(uint64_t rootUid);

private:
    uint64_t classUid(const QString& className, const QStringList& superclasses);
    uint64_t append(plist_t node);

    plist_t m_objects;
    QHash<QString, uint64_t> m_classes;
};

// Reads one keyed archive. Objects are looked up by UID; everything absent, out of range or of the
// wrong type reads as "nothing".
class KeyedArchiveReader {
public:
    // Checks the outer layout; false with a reason when it is not a keyed archive.
    bool open(plist_t archive, QString* error);

    // The root object ("root" of "$top") when it is a dictionary.
    plist_t root() const { return m_root; }
    // The class name of an object dictionary, empty when missing.
    QString className(plist_t object) const;
    // The object a UID refers to; nullptr for $null, out of range or a non-UID node.
    plist_t resolve(plist_t uidNode) const;
    plist_t member(plist_t object, const char* key) const; // the raw value under key (UIDs resolved)

    std::optional<qint64> integer(plist_t object, const char* key) const;
    std::optional<double> real(plist_t object, const char* key) const;
    std::optional<bool> boolean(plist_t object, const char* key) const;
    std::optional<QString> string(plist_t object, const char* key, qsizetype maxLength = 1 << 20) const;
    std::optional<QByteArray> data(plist_t object, const char* key, qsizetype maxBytes) const;
    // Archived colour: an invalid colour for $null; nothing when broken.
    std::optional<QColor> color(plist_t object, const char* key) const;
    std::optional<QFont> font(plist_t object, const char* key) const;
    // Archived picture: a null image for $null; nothing when broken or too large.
    std::optional<QImage> image(plist_t object, const char* key) const;
    // An item's picture, kept as its bytes (older files hold PNG data of the decoded picture): a null picture
    // for $null; nothing when broken or over the limits of ItemPicture, the reason in *error when given.
    std::optional<ItemPicture> picture(plist_t object, const char* key, QString* error = nullptr) const;

    // Caps of archived pictures; at least those of pictures loaded from files (SKTImage), so that a
    // picture the program loaded and saved always loads again.
    static constexpr qsizetype MaxImageBytes = ItemPicture::MaxBytes;
    static constexpr int MaxImageSide = 20000;
    static constexpr qint64 MaxImagePixels = 120LL * 1000 * 1000;

private:
    bool isNullRef(plist_t uidNode) const;
    plist_t m_objects = nullptr;
    plist_t m_root = nullptr;
    uint32_t m_count = 0;
};

// The pictures one file decodes on this thread while it is read (the main photo, barcode images; picture
// items keep their bytes), at the bytes a pixel their decoder gives (16-bit PNG: 8, a palette: 1): a small
// file of many large, well compressed pictures would otherwise take gigabytes. Budgets nest; the innermost
// is charged. A barcode image past the budget is left out undecoded (the barcode is drawn again from its
// value and style); saving refuses a design whose main photo costs more (cost()), so whatever is saved opens.
class PictureBudget {
public:
    static constexpr qint64 MaxFileBytes = 768LL * 1024 * 1024;
    explicit PictureBudget(qint64 bytes = MaxFileBytes);
    ~PictureBudget();
    PictureBudget(const PictureBudget&) = delete;
    PictureBudget& operator=(const PictureBudget&) = delete;
    // True once a picture was refused for want of budget.
    bool exceeded() const { return m_exceeded; }
    // Takes a picture of that size from the current budget; false when it does not fit (then, if `fails`,
    // the budget counts as exceeded). True without one.
    static bool charge(QSize size, int bytesPerPixel = 4, bool fails = true);
    // What reading the image back from its PNG data charges, at least (RGB888 reads as 32 bits a pixel).
    static qint64 cost(const QImage& image);
    // "the pictures take more than 768 MB"
    static QString exceededMessage();

private:
    qint64 m_left;
    bool m_exceeded = false;
    PictureBudget* m_outer;
};

// Decodes PNG (or any readable picture) data with the size caps above and the current picture budget; a
// null image when refused. With overBudget, a picture past the budget is left out and said there instead of
// exceeding the budget.
QImage decodeImageData(const QByteArray& bytes, const char* format = "png", bool* overBudget = nullptr);
