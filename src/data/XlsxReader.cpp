#include "data/XlsxReader.h"

#include "common/StringHelpers.h"

#include <QDate>
#include <QHash>
#include <QStringDecoder>

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace {
constexpr int kMaxColumns = 16384;    // XFD
constexpr int kMaxRows = 1048576;
// Cell slots of one sheet held in memory (cells plus the empty places before them in their rows), so that
// a small file naming far-away cells cannot make the reader allocate without bound.
constexpr qint64 kMaxCellSlots = 16LL * 1024 * 1024;

const char* localName(const char* name)
{
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

// True when `name` is `local`, with or without a namespace prefix.
bool hasLocalName(const char* name, const char* local)
{
    if (std::strcmp(name, local) == 0)
        return true;
    const char* colon = std::strchr(name, ':');
    return colon && std::strcmp(colon + 1, local) == 0;
}

bool isNamed(const pugi::xml_node& n, const char* local) { return hasLocalName(n.name(), local); }

pugi::xml_node child(const pugi::xml_node& parent, const char* local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && isNamed(c, local))
            return c;
    }
    return {};
}

// Unprefixed attributes only, except where a relationship id is asked for.
pugi::xml_attribute attr(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        if (hasLocalName(a.name(), local))
            return a;
    }
    return {};
}

// The r:id of a sheet: the prefixed "id" attribute (not "sheetId").
QString relId(const pugi::xml_node& n)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        if (std::strchr(name, ':') && std::strcmp(localName(name), "id") == 0)
            return QString::fromUtf8(a.value());
    }
    return {};
}

QString text(const char* s) { return QString::fromUtf8(s); }

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relsPartOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// Resolves a relationship target against the source part's folder; empty when it climbs out of the package.
QString resolveTarget(const QString& sourceFolder, const QString& target)
{
    QString t = target;
    t.replace(u'\\', u'/');
    const QString joined = t.startsWith(u'/') ? t.mid(1) : sourceFolder + t;
    QStringList out;
    for (const QString& seg : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == u'.')
            continue;
        if (seg == QStringLiteral("..")) {
            if (out.isEmpty())
                return {};
            out.removeLast();
            continue;
        }
        out << seg;
    }
    return out.join(u'/');
}

struct Relationship {
    QString type; // last segment of the Type URI ("worksheet", "styles", ...)
    QString target;
};

// The small parts (relationships, workbook, styles) are read as documents; worksheets and shared strings
// are streamed (XmlStream below).
bool parse(pugi::xml_document& doc, QByteArray& bytes, QString* why)
{
    const auto res =
        doc.load_buffer_inplace(bytes.data(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!res) {
        if (why)
            *why = QStringLiteral("malformed XML (%1 at byte %2)").arg(text(res.description())).arg(res.offset);
        return false;
    }
    return true;
}

// Relationships of a part, by id; missing rels part gives none.
QHash<QString, Relationship> readRels(ZipReader& zip, const QString& part)
{
    QHash<QString, Relationship> rels;
    const QString relsName = relsPartOf(part);
    if (!zip.contains(relsName))
        return rels;
    auto bytes = zip.read(relsName);
    if (!bytes)
        return rels;
    pugi::xml_document doc;
    if (!parse(doc, *bytes, nullptr))
        return rels;
    const pugi::xml_node root = doc.document_element();
    const QString folder = folderOf(part);
    for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element || !isNamed(r, "Relationship"))
            continue;
        if (QString::fromUtf8(attr(r, "TargetMode").value()).compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        const QString type = text(attr(r, "Type").value());
        Relationship rel;
        rel.type = type.mid(type.lastIndexOf(u'/') + 1);
        rel.target = resolveTarget(folder, text(attr(r, "Target").value()));
        if (!rel.target.isEmpty())
            rels.insert(text(attr(r, "Id").value()), rel);
    }
    return rels;
}

// Line ends as an XML parser reports them: CR LF and lone CR become LF.
void normaliseLineEnds(std::string& s)
{
    if (s.find('\r') == std::string::npos)
        return;
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else {
            out += s[i];
        }
    }
    s.swap(out);
}

// A forward-only reader of a worksheet's XML. Worksheets are by far the largest parts; reading them as a
// stream of tags, without building a document tree, keeps the reader close to the speed of inflation.
// Comments, processing instructions and the doctype are skipped; CDATA sections are text.
class XmlStream {
public:
    enum Kind : quint8 { Text, CData, Start, Empty, End, Eof, Broken };
    struct Attribute {
        std::string_view name;
        std::string_view value; // raw: references not yet decoded
    };

    XmlStream(const char* begin, const char* end) : _p(begin), _end(end) {}

    // Moves to the next token: text or CDATA (text()), or a start, empty or end tag (name(), attributes()).
    Kind next()
    {
        while (_p < _end) {
            if (*_p != '<') {
                const char* lt = static_cast<const char*>(std::memchr(_p, '<', size_t(_end - _p)));
                const char* stop = lt ? lt : _end;
                _text = {_p, size_t(stop - _p)};
                _p = stop;
                return Text;
            }
            if (_p + 1 < _end && _p[1] != '!' && _p[1] != '?')
                return tag();
            const std::string_view rest(_p, size_t(_end - _p));
            bool skipped = false;
            if (rest.starts_with("<!--")) {
                skipped = skipPast("-->", 4);
            } else if (rest.starts_with("<![CDATA[")) {
                const size_t close = rest.find("]]>", 9);
                if (close == std::string_view::npos)
                    return Broken;
                _text = rest.substr(9, close - 9);
                _p += close + 3;
                return CData;
            } else if (rest.starts_with("<?")) {
                skipped = skipPast("?>", 2);
            } else if (rest.starts_with("<!")) {
                skipped = skipDeclaration();
            } else {
                return tag();
            }
            if (!skipped)
                return Broken;
        }
        return Eof;
    }

    std::string_view text() const { return _text; }
    std::string_view name() const { return _name; } // local name, without a namespace prefix
    const std::vector<Attribute>& attributes() const { return _attributes; }

    // After a start tag: moves past its matching end tag.
    bool skipElement()
    {
        for (int depth = 1; depth > 0;) {
            switch (next()) {
            case Start: ++depth; break;
            case End: --depth; break;
            case Eof: case Broken: return false;
            default: break;
            }
        }
        return true;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    bool skipPast(std::string_view close, size_t from)
    {
        const size_t at = std::string_view(_p, size_t(_end - _p)).find(close, from);
        if (at == std::string_view::npos)
            return false;
        _p += at + close.size();
        return true;
    }

    // <!DOCTYPE ...> with an optional internal subset in brackets.
    bool skipDeclaration()
    {
        int brackets = 0;
        for (const char* q = _p + 2; q < _end; ++q) {
            if (*q == '[')
                ++brackets;
            else if (*q == ']')
                --brackets;
            else if (*q == '>' && brackets <= 0) {
                _p = q + 1;
                return true;
            }
        }
        return false;
    }

    Kind tag()
    {
        const char* q = _p + 1;
        const bool end = q < _end && *q == '/';
        if (end)
            ++q;
        const char* nameStart = q;
        while (q < _end && !isSpace(*q) && *q != '/' && *q != '>')
            ++q;
        _name = localName(std::string_view(nameStart, size_t(q - nameStart)));
        _attributes.clear();
        while (true) {
            while (q < _end && isSpace(*q))
                ++q;
            if (q >= _end)
                return Broken;
            if (*q == '>') {
                _p = q + 1;
                return end ? End : Start;
            }
            if (*q == '/') {
                if (end || q + 1 >= _end || q[1] != '>')
                    return Broken;
                _p = q + 2;
                return Empty;
            }
            const char* an = q;
            while (q < _end && !isSpace(*q) && *q != '=' && *q != '>' && *q != '/')
                ++q;
            const std::string_view attrName(an, size_t(q - an));
            while (q < _end && isSpace(*q))
                ++q;
            if (attrName.empty() || q >= _end || *q != '=')
                return Broken;
            ++q;
            while (q < _end && isSpace(*q))
                ++q;
            if (q >= _end || (*q != '"' && *q != '\''))
                return Broken;
            const char quote = *q++;
            const char* close = static_cast<const char*>(std::memchr(q, quote, size_t(_end - q)));
            if (!close)
                return Broken;
            _attributes.push_back({attrName, std::string_view(q, size_t(close - q))});
            q = close + 1;
        }
    }

    static std::string_view localName(std::string_view n)
    {
        const size_t colon = n.find(':');
        return colon == std::string_view::npos ? n : n.substr(colon + 1);
    }

    const char* _p;
    const char* _end;
    std::string_view _text;
    std::string_view _name;
    std::vector<Attribute> _attributes;
};

void appendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Appends XML text with its entity and character references decoded; an unknown reference stays as it is.
void appendDecoded(std::string_view s, std::string& out)
{
    static constexpr std::pair<std::string_view, char> named[] = {
        {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}};
    size_t i = 0;
    while (i < s.size()) {
        const size_t amp = s.find('&', i);
        out.append(s.substr(i, amp == std::string_view::npos ? std::string_view::npos : amp - i));
        if (amp == std::string_view::npos)
            return;
        i = amp + 1;
        const std::string_view ref = s.substr(i);
        bool done = false;
        if (ref.starts_with('#')) {
            const bool hex = ref.size() > 1 && (ref[1] == 'x' || ref[1] == 'X');
            const char* digits = ref.data() + (hex ? 2 : 1);
            quint32 code = 0;
            const auto res = std::from_chars(digits, ref.data() + ref.size(), code, hex ? 16 : 10);
            if (res.ec == std::errc() && res.ptr < ref.data() + ref.size() && *res.ptr == ';' && code > 0 &&
                code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                appendUtf8(char32_t(code), out);
                i = size_t(res.ptr - s.data()) + 1;
                done = true;
            }
        } else {
            for (const auto& [name, c] : named) {
                if (ref.starts_with(name)) {
                    out += c;
                    i += name.size();
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += '&';
    }
}

// A part in UTF-16 or UTF-32 (allowed, though spreadsheet programs write UTF-8) is made UTF-8 for
// streaming; a UTF-8 byte-order mark is left for the stream to pass over as text.
void toUtf8(QByteArray& bytes)
{
    const auto encoding = QStringConverter::encodingForData(bytes, u'<');
    if (!encoding || *encoding == QStringConverter::Utf8)
        return;
    QStringDecoder decoder(*encoding);
    const QString text = decoder(bytes);
    bytes = text.toUtf8();
}

// An attribute's or a text's value, decoded into `scratch` only when it holds a reference.
std::string_view decoded(std::string_view raw, std::string& scratch)
{
    if (raw.find('&') == std::string_view::npos)
        return raw;
    scratch.clear();
    appendDecoded(raw, scratch);
    return scratch;
}

// Appends the text inside the element whose start tag was just read, up to its end tag: its text and
// CDATA with references decoded; child elements are skipped. False when the XML breaks off.
bool appendElementText(XmlStream& xml, std::string& out)
{
    for (XmlStream::Kind k = xml.next(); k != XmlStream::End; k = xml.next()) {
        if (k == XmlStream::Text)
            appendDecoded(xml.text(), out);
        else if (k == XmlStream::CData)
            out.append(xml.text());
        else if (k == XmlStream::Eof || k == XmlStream::Broken || (k == XmlStream::Start && !xml.skipElement()))
            return false;
    }
    return true;
}

// Text of a shared or inline string item whose start tag (`kind`) was just read: its own t, or its runs'
// t joined; phonetic runs are skipped. False when the XML breaks off.
bool readStringItem(XmlStream& xml, XmlStream::Kind kind, QString& value, std::string& buffer)
{
    value.clear();
    buffer.clear();
    if (kind == XmlStream::Empty)
        return true;
    for (XmlStream::Kind k = xml.next(); k != XmlStream::End; k = xml.next()) {
        if (k == XmlStream::Eof || k == XmlStream::Broken)
            return false;
        if (k != XmlStream::Start)
            continue;
        if (xml.name() == "t") {
            if (!appendElementText(xml, buffer))
                return false;
        } else if (xml.name() == "r") {
            bool seen = false; // a run's first t counts
            for (XmlStream::Kind rk = xml.next(); rk != XmlStream::End; rk = xml.next()) {
                if (rk == XmlStream::Eof || rk == XmlStream::Broken)
                    return false;
                if (rk != XmlStream::Start)
                    continue;
                const bool text = !seen && xml.name() == "t";
                seen = seen || text;
                if (!(text ? appendElementText(xml, buffer) : xml.skipElement()))
                    return false;
            }
        } else if (!xml.skipElement()) {
            return false;
        }
    }
    normaliseLineEnds(buffer);
    value = QString::fromUtf8(buffer.data(), qsizetype(buffer.size()));
    if (buffer.find("_x") != std::string::npos)
        value = XlsxReader::decodeEscapes(value);
    return true;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}
} // namespace

QString SheetData::cell(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0)
        return {};
    const QStringList& r = rows[row];
    return column < r.size() ? r[column] : QString();
}

XlsxReader::XlsxReader() = default;
XlsxReader::XlsxReader(const ZipReader::Limits& limits) : _zip(limits) {}

QStringList XlsxReader::sheetNames() const
{
    QStringList names;
    for (const SheetInfo& s : _sheets)
        names << s.name;
    return names;
}

bool XlsxReader::fail(QString* error, const QString& why)
{
    if (error)
        *error = notReadableMessage() + u'\n' + why;
    return false;
}

bool XlsxReader::open(const QString& path, QString* error)
{
    QString why;
    if (!_zip.openFile(path, &why))
        return fail(error, why);
    return load(error);
}

bool XlsxReader::openData(const QByteArray& bytes, QString* error)
{
    QString why;
    if (!_zip.openData(bytes, &why))
        return fail(error, why);
    return load(error);
}

bool XlsxReader::load(QString* error)
{
    _sheets.clear();
    _sharedStrings.clear();
    _styles.clear();
    _date1904 = false;

    QString workbookPart;
    for (const Relationship& rel : readRels(_zip, QString())) {
        if (rel.type == u"officeDocument") {
            workbookPart = rel.target;
            break;
        }
    }
    if (workbookPart.isEmpty() || !_zip.contains(workbookPart))
        workbookPart = QStringLiteral("xl/workbook.xml");
    QString why;
    auto wbBytes = _zip.read(workbookPart, &why);
    if (!wbBytes)
        return fail(error, why);
    pugi::xml_document wb;
    if (!parse(wb, *wbBytes, &why))
        return fail(error, workbookPart + QStringLiteral(": ") + why);
    const pugi::xml_node wbRoot = wb.document_element();
    if (!isNamed(wbRoot, "workbook"))
        return fail(error, QStringLiteral("no workbook part"));

    if (const pugi::xml_node pr = child(wbRoot, "workbookPr")) {
        const QString v = text(attr(pr, "date1904").value()).toLower();
        _date1904 = v == u"1" || v == u"true";
    }

    const auto rels = readRels(_zip, workbookPart);
    for (pugi::xml_node s = child(child(wbRoot, "sheets"), "sheet"); s; s = s.next_sibling()) {
        if (s.type() != pugi::node_element || !isNamed(s, "sheet"))
            continue;
        const auto it = rels.constFind(relId(s));
        if (it == rels.constEnd() || it->type != u"worksheet")
            continue; // chart and dialog sheets hold no cells
        _sheets.append({text(attr(s, "name").value()), it->target});
    }
    if (_sheets.isEmpty())
        return fail(error, QStringLiteral("the workbook has no worksheets"));

    for (const Relationship& rel : rels) {
        if (rel.type == u"sharedStrings" && _zip.contains(rel.target)) {
            auto bytes = _zip.read(rel.target, &why);
            if (!bytes)
                return fail(error, why);
            if (!readSharedStrings(*bytes, &why))
                return fail(error, rel.target + QStringLiteral(": ") + why);
        } else if (rel.type == u"styles" && _zip.contains(rel.target)) {
            auto bytes = _zip.read(rel.target, &why);
            if (!bytes)
                return fail(error, why);
            pugi::xml_document doc;
            if (!parse(doc, *bytes, &why))
                return fail(error, rel.target + QStringLiteral(": ") + why);
            const pugi::xml_node ss = doc.document_element();
            QHash<int, QString> customFormats;
            for (pugi::xml_node f = child(child(ss, "numFmts"), "numFmt"); f; f = f.next_sibling()) {
                if (f.type() == pugi::node_element && isNamed(f, "numFmt"))
                    customFormats.insert(attr(f, "numFmtId").as_int(-1), text(attr(f, "formatCode").value()));
            }
            for (pugi::xml_node xf = child(child(ss, "cellXfs"), "xf"); xf; xf = xf.next_sibling()) {
                if (xf.type() != pugi::node_element || !isNamed(xf, "xf"))
                    continue;
                const int id = attr(xf, "numFmtId").as_int(0);
                const QString code = customFormats.value(id);
                _styles.push_back({dateKindOfFormat(id, code), quint8(qMin(zeroPadWidth(code), 255))});
            }
        }
    }
    return true;
}

bool XlsxReader::readSharedStrings(QByteArray& bytes, QString* why)
{
    toUtf8(bytes);
    XmlStream xml(bytes.constData(), bytes.constData() + bytes.size());
    XmlStream::Kind kind;
    do {
        kind = xml.next(); // to the root element
    } while (kind == XmlStream::Text || kind == XmlStream::CData);
    if (kind == XmlStream::Broken) {
        *why = QStringLiteral("malformed XML");
        return false;
    }
    if (kind != XmlStream::Start)
        return true;
    for (const auto& a : xml.attributes()) {
        if (a.name == "uniqueCount") {
            // A hint only: an item takes at least five bytes ("<si/>").
            qsizetype count = 0;
            std::from_chars(a.value.data(), a.value.data() + a.value.size(), count);
            _sharedStrings.reserve(qBound<qsizetype>(0, count, bytes.size() / 5));
        }
    }
    QString value;
    std::string buffer;
    for (kind = xml.next(); kind != XmlStream::End; kind = xml.next()) {
        bool ok = kind != XmlStream::Broken && kind != XmlStream::Eof;
        if ((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "si") {
            ok = readStringItem(xml, kind, value, buffer);
            _sharedStrings.append(value);
        } else if (kind == XmlStream::Start) {
            ok = xml.skipElement();
        }
        if (!ok) {
            *why = QStringLiteral("malformed XML");
            return false;
        }
    }
    return true;
}

std::optional<SheetData> XlsxReader::readSheet(int index, QString* error)
{
    if (index < 0 || index >= _sheets.size()) {
        fail(error, QStringLiteral("no sheet %1").arg(index + 1));
        return std::nullopt;
    }
    const QString part = _sheets[index].partName;
    QString why;
    auto bytes = _zip.read(part, &why);
    if (!bytes) {
        fail(error, why);
        return std::nullopt;
    }
    toUtf8(*bytes);
    const auto malformed = [&] {
        fail(error, part + QStringLiteral(": malformed XML"));
        return std::nullopt;
    };
    XmlStream xml(bytes->constData(), bytes->constData() + bytes->size());
    XmlStream::Kind kind;
    do {
        kind = xml.next();
        if (kind == XmlStream::Broken)
            return malformed();
    } while (kind != XmlStream::Eof &&
             !((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "sheetData"));

    SheetData out;
    if (kind != XmlStream::Start)
        return out; // no sheetData, or an empty one
    qint64 cellSlots = 0;
    int lastRow = 0; // sheet row number of the last row read
    const int sharedCount = int(_sharedStrings.size());
    qsizetype previousWidth = 0;
    std::string scratch;
    std::string textBuffer;
    while (true) {
        kind = xml.next();
        if (kind == XmlStream::Broken || kind == XmlStream::Eof)
            return malformed();
        if (kind == XmlStream::End)
            break; // the end of sheetData
        if (kind != XmlStream::Start && kind != XmlStream::Empty)
            continue;
        if (xml.name() != "row") {
            if (kind == XmlStream::Start && !xml.skipElement())
                return malformed();
            continue;
        }
        int rowNumber = 0;
        for (const auto& a : xml.attributes()) {
            if (a.name == "r" || (a.name.ends_with(":r")))
                std::from_chars(a.value.data(), a.value.data() + a.value.size(), rowNumber);
        }
        if (rowNumber <= lastRow)
            rowNumber = lastRow + 1; // no r, or out of order: the next row
        if (rowNumber > kMaxRows)
            break;
        if (out.rows.isEmpty())
            out.firstRowNumber = rowNumber;
        else
            out.rows.resize(out.rows.size() + (rowNumber - lastRow - 1)); // omitted rows stay empty
        lastRow = rowNumber;
        QStringList cells;
        cells.reserve(previousWidth); // rows of a sheet are mostly alike
        int column = -1;
        while (kind == XmlStream::Start) {
            const XmlStream::Kind inRow = xml.next();
            if (inRow == XmlStream::Broken || inRow == XmlStream::Eof)
                return malformed();
            if (inRow == XmlStream::End)
                break;
            if (inRow != XmlStream::Start && inRow != XmlStream::Empty)
                continue;
            if (xml.name() != "c") {
                if (inRow == XmlStream::Start && !xml.skipElement())
                    return malformed();
                continue;
            }
            // Column from the reference's letters; without a reference, the next column.
            std::string_view ref;
            std::string_view type;
            int styleIndex = 0;
            for (const auto& a : xml.attributes()) {
                if (a.name.size() != 1)
                    continue;
                if (a.name[0] == 'r')
                    ref = decoded(a.value, scratch);
                else if (a.name[0] == 't')
                    type = a.value == "s" ? a.value : decoded(a.value, textBuffer);
                else if (a.name[0] == 's')
                    std::from_chars(a.value.data(), a.value.data() + a.value.size(), styleIndex);
            }
            int col = -1;
            if (!ref.empty()) {
                int n = 0;
                size_t p = 0;
                while (p < ref.size() && ((ref[p] >= 'A' && ref[p] <= 'Z') || (ref[p] >= 'a' && ref[p] <= 'z')) &&
                       n <= kMaxColumns) {
                    n = n * 26 + ((ref[p] | 0x20) - 'a' + 1);
                    ++p;
                }
                if (p > 0)
                    col = n - 1;
            }
            if (col < 0)
                col = column + 1;
            column = col;

            // The cell's own v and is children (the last of each counts); other children are skipped.
            bool hasV = false;
            std::string_view vText;
            bool hasInline = false;
            QString inlineText;
            const std::string typeName(type); // the buffers below may be reused
            while (inRow == XmlStream::Start) {
                const XmlStream::Kind k = xml.next();
                if (k == XmlStream::Broken || k == XmlStream::Eof)
                    return malformed();
                if (k == XmlStream::End)
                    break;
                if (k != XmlStream::Start && k != XmlStream::Empty)
                    continue;
                if (xml.name() == "v") {
                    hasV = true;
                    vText = {};
                    if (k == XmlStream::Empty)
                        continue;
                    // Its text: one plain run is used where it lies; several runs (CDATA, text around a
                    // comment) or references are joined and decoded into textBuffer.
                    bool buffered = false;
                    for (XmlStream::Kind t = xml.next(); t != XmlStream::End; t = xml.next()) {
                        if (t == XmlStream::Broken || t == XmlStream::Eof)
                            return malformed();
                        if (t == XmlStream::Start && !xml.skipElement())
                            return malformed();
                        if (t != XmlStream::Text && t != XmlStream::CData)
                            continue;
                        const bool plain = t == XmlStream::Text && xml.text().find('&') == std::string_view::npos;
                        if (!buffered && vText.empty() && plain) {
                            vText = xml.text();
                            continue;
                        }
                        if (!buffered)
                            textBuffer.assign(vText);
                        buffered = true;
                        if (t == XmlStream::Text)
                            appendDecoded(xml.text(), textBuffer);
                        else
                            textBuffer.append(xml.text());
                        vText = textBuffer;
                    }
                } else if (xml.name() == "is") {
                    hasInline = true;
                    if (!readStringItem(xml, k, inlineText, scratch))
                        return malformed();
                } else if (k == XmlStream::Start && !xml.skipElement()) {
                    return malformed();
                }
            }
            if (col >= kMaxColumns)
                continue;

            QString value;
            if (typeName == "s") {
                int idx = -1;
                while (!vText.empty() && (vText[0] == ' ' || vText[0] == '\t' || vText[0] == '\n' || vText[0] == '\r'))
                    vText.remove_prefix(1);
                const auto res = std::from_chars(vText.data(), vText.data() + vText.size(), idx);
                if (res.ec == std::errc() && idx >= 0 && idx < sharedCount)
                    value = _sharedStrings[idx];
            } else if (hasInline) {
                value = std::move(inlineText);
            } else if (!hasV) {
                continue;
            } else if (typeName == "b") {
                value = (vText == "1" || vText == "true") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (typeName.empty() || typeName == "n") {
                const CellStyle style =
                    styleIndex >= 0 && size_t(styleIndex) < _styles.size() ? _styles[size_t(styleIndex)] : CellStyle();
                if (style.date != DateKind::None) {
                    double serial = 0;
                    const auto res = std::from_chars(vText.data(), vText.data() + vText.size(), serial);
                    value = res.ec == std::errc() ? formatDate(serial, style.date, _date1904) : QString();
                }
                if (value.isEmpty())
                    value = formatNumber(QByteArrayView(vText.data(), qsizetype(vText.size())));
                if (style.zeroPad) {
                    const bool negative = value.startsWith(u'-');
                    const qsizetype digits = value.size() - (negative ? 1 : 0);
                    bool integer = digits > 0;
                    for (qsizetype k = negative ? 1 : 0; k < value.size() && integer; ++k)
                        integer = value[k].isDigit();
                    if (integer && digits < style.zeroPad)
                        value.insert(negative ? 1 : 0, QString(style.zeroPad - digits, u'0'));
                }
            } else {
                // "str" (formula text), "e" (error), "d" (ISO date) and anything else: the stored text.
                std::string raw(vText);
                normaliseLineEnds(raw);
                value = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
                if (raw.find("_x") != std::string::npos)
                    value = decodeEscapes(value);
            }
            if (value.isEmpty())
                continue;
            if (cells.size() <= col) {
                cellSlots += col + 1 - cells.size();
                if (cellSlots > kMaxCellSlots) {
                    fail(error, part + QStringLiteral(": the sheet is too large to read"));
                    return std::nullopt;
                }
                cells.resize(col + 1);
            }
            cells[col] = std::move(value);
            if (col + 1 > out.columnCount)
                out.columnCount = col + 1;
        }
        previousWidth = cells.size();
        out.rows.append(std::move(cells));
    }
    return out;
}

QStringList XlsxReader::headerTitles(const SheetData& sheet)
{
    QStringList titles;
    for (int c = 0; c < sheet.columnCount; ++c) {
        QString t = Trim_Str(sheet.cell(0, c));
        titles << (t.isEmpty() ? QStringLiteral("Untitled Column %1").arg(c + 1) : t);
    }
    return titles;
}

int XlsxReader::columnIndex(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int n = 0;
    for (QChar ch : letters) {
        const char16_t u = ch.toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return -1;
        n = n * 26 + (u - 'A' + 1);
    }
    return n - 1;
}

QString XlsxReader::columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QString XlsxReader::formatNumber(QByteArrayView text)
{
    const char* s = text.data();
    const qsizetype len = text.size();
    // Fast path: already a plain decimal in canonical form with at most 15 significant digits.
    {
        qsizetype i = 0;
        if (i < len && s[i] == '-')
            ++i;
        const qsizetype intStart = i;
        while (i < len && s[i] >= '0' && s[i] <= '9')
            ++i;
        const qsizetype intDigits = i - intStart;
        qsizetype fracDigits = 0;
        bool ok = intDigits > 0 && !(intDigits > 1 && s[intStart] == '0');
        if (ok && i < len && s[i] == '.') {
            ++i;
            const qsizetype fracStart = i;
            while (i < len && s[i] >= '0' && s[i] <= '9')
                ++i;
            fracDigits = i - fracStart;
            ok = fracDigits > 0 && s[i - 1] != '0';
        }
        if (ok && i == len) {
            // Leading zeros of "0.00123" are not significant.
            qsizetype sig = intDigits + fracDigits;
            if (s[intStart] == '0') {
                sig = fracDigits;
                for (qsizetype k = intStart + 2; k < len && s[k] == '0'; ++k)
                    --sig;
            }
            const bool negZero = s[0] == '-' && intDigits == 1 && s[intStart] == '0' && fracDigits == 0;
            if (sig <= 15 && !negZero)
                return QString::fromLatin1(s, len);
        }
    }
    double d = 0;
    qsizetype start = 0;
    while (start < len && (s[start] == ' ' || s[start] == '+'))
        ++start;
    const auto res = std::from_chars(s + start, s + len, d);
    if (res.ec != std::errc() || !std::isfinite(d))
        return QString::fromUtf8(s, len).trimmed();
    if (d == 0)
        return QStringLiteral("0");
    // 15 significant digits in scientific form, then written out as a plain decimal.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 14);
    const std::string sci(buf, r.ptr);
    const bool negative = sci[0] == '-';
    const size_t mantStart = negative ? 1 : 0;
    const size_t ePos = sci.find('e');
    std::string digits;
    for (size_t k = mantStart; k < ePos; ++k) {
        if (sci[k] != '.')
            digits += sci[k];
    }
    int exp = std::stoi(sci.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = negative ? "-" : "";
    const int pointPos = exp + 1; // digits before the decimal point
    if (pointPos <= 0) {
        out += "0.";
        out.append(size_t(-pointPos), '0');
        out += digits;
    } else if (size_t(pointPos) >= digits.size()) {
        out += digits;
        out.append(size_t(pointPos) - digits.size(), '0');
    } else {
        out += digits.substr(0, size_t(pointPos));
        out += '.';
        out += digits.substr(size_t(pointPos));
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

XlsxReader::DateKind XlsxReader::dateKindOfFormat(int id, const QString& code)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58))
        return DateKind::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47) || (id >= 32 && id <= 35))
        return DateKind::Time;
    if (id == 22)
        return DateKind::DateTime;
    if (id < 164 && code.isEmpty())
        return DateKind::None;
    bool day = false, month = false, year = false, hour = false, second = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        switch (c) {
        case u'"': {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
            break;
        }
        case u'[': {
            const qsizetype close = code.indexOf(u']', i + 1);
            // Elapsed-time brackets ([h], [mm], [ss]) still mean a time.
            const QString inner = code.mid(i + 1, (close < 0 ? code.size() : close) - i - 1).toLower();
            if (!inner.isEmpty() && (inner.count(u'h') == inner.size() || inner.count(u's') == inner.size()))
                hour = true;
            i = close < 0 ? code.size() : close;
            break;
        }
        case u'\\': case u'_': case u'*': ++i; break;
        case u';': i = code.size(); break; // the first section decides
        case u'd': case u'D': day = true; break;
        case u'y': case u'Y': year = true; break;
        case u'm': case u'M': month = true; break;
        case u'h': case u'H': hour = true; break;
        case u's': case u'S': second = true; break;
        default: break;
        }
    }
    const bool time = hour || second;
    const bool date = day || year || (month && !time);
    if (date && time)
        return DateKind::DateTime;
    if (date)
        return DateKind::Date;
    return time ? DateKind::Time : DateKind::None;
}

QString XlsxReader::formatDate(double serial, DateKind kind, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466.0)
        return {};
    qint64 seconds = std::llround(serial * 86400.0);
    qint64 days = seconds / 86400;
    const qint64 secOfDay = seconds % 86400;
    QString date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(days).toString(Qt::ISODate);
    } else if (days == 60) {
        date = QStringLiteral("1900-02-29"); // the spreadsheet calendar's day that never was
    } else if (days > 60) {
        date = QDate(1899, 12, 30).addDays(days).toString(Qt::ISODate);
    } else {
        date = QDate(1899, 12, 31).addDays(days).toString(Qt::ISODate);
    }
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(secOfDay / 3600, 2, 10, QChar(u'0'))
                             .arg(secOfDay / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(secOfDay % 60, 2, 10, QChar(u'0'));
    switch (kind) {
    case DateKind::Date: return secOfDay == 0 ? date : date + u'T' + time;
    case DateKind::Time: return days == 0 ? time : date + u'T' + time;
    case DateKind::DateTime: return date + u'T' + time;
    case DateKind::None: break;
    }
    return {};
}

int XlsxReader::zeroPadWidth(const QString& code)
{
    if (code.size() < 2)
        return 0;
    for (QChar c : code) {
        if (c != u'0')
            return 0;
    }
    return int(code.size());
}

QString XlsxReader::decodeEscapes(const QString& in)
{
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == u'_' && i + 6 < in.size() && in[i + 1] == u'x' && in[i + 6] == u'_') {
            int v = 0;
            bool ok = true;
            for (int k = 2; k < 6 && ok; ++k) {
                const int h = hexValue(in[i + k]);
                ok = h >= 0;
                v = v * 16 + h;
            }
            if (ok) {
                out.append(QChar(char16_t(v)));
                i += 6;
                continue;
            }
        }
        out.append(in[i]);
    }
    return out;
}
