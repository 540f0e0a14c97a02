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
    const char* pos() const { return _p; }
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

// The inflated text of a part, held one window at a time: the parser works on [begin, end) and asks for
// more when a unit (a row, a shared string) runs past the window; the bytes from the start of that unit
// on are kept and more are read after them.
class PartInput {
public:
    static constexpr qint64 kChunk = 1 << 20;

    explicit PartInput(ZipReader::Stream& stream) : _stream(stream) {}

    // Reads the first window. A part in UTF-16 or UTF-32 (allowed, though spreadsheet programs write
    // UTF-8) is read whole and made UTF-8.
    bool start()
    {
        if (!more() && failed())
            return false;
        const QByteArrayView head(_buf.data(), qsizetype(qMin<size_t>(_len, 4)));
        const auto encoding = QStringConverter::encodingForData(head, u'<');
        if (!encoding || *encoding == QStringConverter::Utf8)
            return true;
        while (more()) {
        }
        if (failed())
            return false;
        QStringDecoder decoder(*encoding);
        const QByteArray utf8 = QString(decoder.decode(QByteArrayView(_buf.data(), qsizetype(_len)))).toUtf8();
        _buf.resize(size_t(utf8.size()));
        if (!utf8.isEmpty())
            std::memcpy(_buf.data(), utf8.constData(), size_t(utf8.size()));
        _len = size_t(utf8.size());
        _pos = 0;
        return true;
    }

    const char* begin() const { return _buf.data() + _pos; }
    const char* end() const { return _buf.data() + _len; }
    void consumeTo(const char* p) { _pos = size_t(p - _buf.data()); }
    bool atEnd() const { return _eof; }
    bool failed() const { return !_stream.error().isEmpty(); }
    QString error() const { return _stream.error(); }

    // Keeps [begin, end) and reads more after it; false when nothing more comes.
    bool more()
    {
        if (_eof)
            return false;
        if (_pos > 0) {
            std::memmove(_buf.data(), _buf.data() + _pos, _len - _pos);
            _len -= _pos;
            _pos = 0;
        }
        if (_buf.size() < size_t(kChunk))
            _buf.resize(size_t(kChunk));
        if (_len * 2 > _buf.size()) // one unit fills half the window: room for it to grow
            _buf.resize(_buf.size() * 2);
        const qint64 n = _stream.read(_buf.data() + _len, qint64(_buf.size() - _len));
        if (n <= 0) {
            _eof = true;
            return false;
        }
        _len += size_t(n);
        return true;
    }

private:
    ZipReader::Stream& _stream;
    PodBuffer<char> _buf;
    size_t _pos = 0;
    size_t _len = 0;
    bool _eof = false;
};

// Control characters other than tab and line feed say nothing in a value and break series files.
bool hasControl(std::string_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const uchar c = uchar(s[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F ||
            (c == 0xC2 && i + 1 < s.size() && uchar(s[i + 1]) >= 0x80 && uchar(s[i + 1]) <= 0x9F))
            return true;
    }
    return false;
}

void stripControls(std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const uchar c = uchar(s[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
            continue;
        if (c == 0xC2 && i + 1 < s.size() && uchar(s[i + 1]) >= 0x80 && uchar(s[i + 1]) <= 0x9F) {
            ++i;
            continue;
        }
        out += char(c);
    }
    s.swap(out);
}

// A text value as kept: line ends made LF, _xHHHH_ escapes decoded, control characters removed.
void cleanText(std::string& s)
{
    normaliseLineEnds(s);
    if (s.find("_x") != std::string::npos) {
        const QByteArray u = XlsxReader::decodeEscapes(QString::fromUtf8(s.data(), qsizetype(s.size()))).toUtf8();
        s.assign(u.constData(), size_t(u.size()));
        normaliseLineEnds(s);
    }
    if (hasControl(s))
        stripControls(s);
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

char* put2(char* p, unsigned v)
{
    p[0] = char('0' + v / 10);
    p[1] = char('0' + v % 10);
    return p + 2;
}

// An ISO 8601 date, time or both for a spreadsheet serial into buf (at least 20 bytes); its length, or 0
// when the serial is no date between the years 1 and 9999. Serials below zero (dates before 1900, as
// LibreOffice writes them) count back from 1899-12-30.
size_t formatDateTo(char* buf, double serial, XlsxReader::DateKind kind, bool date1904)
{
    if (!std::isfinite(serial) || serial > 2958466.0 || serial < -695056.0)
        return 0;
    const qint64 seconds = std::llround(serial * 86400.0);
    qint64 days = seconds / 86400;
    qint64 secOfDay = seconds % 86400;
    if (secOfDay < 0) {
        secOfDay += 86400;
        --days;
    }
    static const qint64 base1900 = daysFromCivil(1899, 12, 30);
    static const qint64 base1904 = daysFromCivil(1904, 1, 1);
    qint64 y = 1900;
    unsigned m = 2, d = 29; // the spreadsheet calendar's day that never was
    if (date1904)
        civilFromDays(base1904 + days, y, m, d);
    else if (days != 60)
        civilFromDays(base1900 + days + (days >= 0 && days < 60 ? 1 : 0), y, m, d);
    if (y < 1 || y > 9999)
        return 0;
    char* p = buf;
    const bool withDate = kind == XlsxReader::DateKind::DateTime || (kind == XlsxReader::DateKind::Date) ||
                          days != 0;
    const bool withTime = kind == XlsxReader::DateKind::DateTime || kind == XlsxReader::DateKind::Time ||
                          secOfDay != 0;
    if (withDate) {
        p = put2(p, unsigned(y / 100));
        p = put2(p, unsigned(y % 100));
        *p++ = '-';
        p = put2(p, m);
        *p++ = '-';
        p = put2(p, d);
    }
    if (withTime) {
        if (withDate)
            *p++ = 'T';
        p = put2(p, unsigned(secOfDay / 3600));
        *p++ = ':';
        p = put2(p, unsigned(secOfDay / 60 % 60));
        *p++ = ':';
        p = put2(p, unsigned(secOfDay % 60));
    }
    return size_t(p - buf);
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

// Text of a shared or inline string item whose start tag (`kind`) was just read, cleaned, into `value`:
// its own t, or its runs' t joined; phonetic runs are skipped. False when the XML breaks off.
bool readStringItem(XmlStream& xml, XmlStream::Kind kind, std::string& value)
{
    value.clear();
    if (kind == XmlStream::Empty)
        return true;
    for (XmlStream::Kind k = xml.next(); k != XmlStream::End; k = xml.next()) {
        if (k == XmlStream::Eof || k == XmlStream::Broken)
            return false;
        if (k != XmlStream::Start)
            continue;
        if (xml.name() == "t") {
            if (!appendElementText(xml, value))
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
                if (!(text ? appendElementText(xml, value) : xml.skipElement()))
                    return false;
            }
        } else if (!xml.skipElement()) {
            return false;
        }
    }
    cleanText(value);
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

std::string_view SheetData::cellView(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    const quint32 start = row == 0 ? 0 : rowEnds[size_t(row - 1)];
    if (quint32(column) >= rowEnds[size_t(row)] - start)
        return {};
    const quint32 ref = cells[start + quint32(column)];
    if (ref & kSharedBit)
        return sharedStrings ? sharedStrings->view((ref & ~kSharedBit) + 1) : std::string_view();
    return strings.view(ref);
}

QString SheetData::cell(int row, int column) const
{
    const std::string_view v = cellView(row, column);
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

int SheetData::rowWidth(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return int(rowEnds[size_t(row)] - (row == 0 ? 0 : rowEnds[size_t(row - 1)]));
}

void SheetData::appendRow(const quint32* refs, size_t count)
{
    cells.append(refs, count);
    rowEnds.push_back(quint32(cells.size()));
}

SheetData SheetData::fromRows(const QList<QStringList>& rows)
{
    SheetData s;
    std::vector<quint32> refs;
    for (const QStringList& row : rows) {
        refs.clear();
        for (const QString& v : row)
            refs.push_back(s.strings.add(v));
        while (!refs.empty() && refs.back() == 0)
            refs.pop_back();
        s.appendRow(refs.data(), refs.size());
        s.columnCount = qMax(s.columnCount, int(refs.size()));
    }
    return s;
}

size_t SheetData::memoryBytes() const
{
    return strings.bytes() + (cells.size() + rowEnds.size()) * sizeof(quint32);
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
    // A limit is no damage: its reason is the whole message.
    if (error)
        *error = why.contains(QLatin1String("too large")) || why.contains(QLatin1String("more than"))
                     ? why
                     : notReadableMessage() + u'\n' + why;
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
    _shared = std::make_shared<StringPool>();
    _styles.clear();
    _literals.clear();
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
            if (!readSharedStrings(rel.target, &why))
                return fail(error, why);
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
                CellStyle style{dateKindOfFormat(id, code), quint8(qMin(zeroPadWidth(code), 255)), -1};
                const QStringList literals = literalSections(code);
                if (!literals.isEmpty() && _literals.size() < 30000) {
                    std::array<std::string, 3> texts;
                    for (int k = 0; k < 3; ++k)
                        texts[size_t(k)] = literals.value(k, literals.first()).toStdString();
                    style.literals = qint16(_literals.size());
                    _literals.push_back(std::move(texts));
                }
                _styles.push_back(style);
            }
        }
    }
    return true;
}

namespace {
// What a unit of streamed XML came to.
enum class Unit { Ok, Incomplete, Finished };

bool truncatedOrBroken(XmlStream::Kind k) { return k == XmlStream::Eof || k == XmlStream::Broken; }

QString withThousands(qint64 n) { return QLocale(QLocale::English).toString(n); }
} // namespace

bool XlsxReader::readSharedStrings(const QString& part, QString* why)
{
    std::unique_ptr<ZipReader::Stream> stream = _zip.openStream(part, why);
    if (!stream)
        return false;
    PartInput in(*stream);
    if (!in.start()) {
        *why = in.error();
        return false;
    }
    const auto malformed = [&] {
        *why = in.failed() ? in.error() : part + QStringLiteral(": malformed XML");
        return false;
    };
    bool inRoot = false;
    std::string value;
    while (true) {
        XmlStream xml(in.begin(), in.end());
        Unit unit = Unit::Ok;
        while (unit == Unit::Ok) {
            const char* unitStart = xml.pos();
            const XmlStream::Kind kind = xml.next();
            if (truncatedOrBroken(kind)) {
                in.consumeTo(unitStart);
                unit = kind == XmlStream::Eof && in.atEnd() ? Unit::Finished : Unit::Incomplete;
                if (kind == XmlStream::Broken && in.atEnd())
                    return malformed();
                break;
            }
            if (!inRoot) {
                inRoot = kind == XmlStream::Start;
                if (kind == XmlStream::End)
                    return malformed();
                continue;
            }
            if (kind == XmlStream::End) {
                unit = Unit::Finished; // the end of sst
                break;
            }
            bool ok = true;
            if ((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "si") {
                ok = readStringItem(xml, kind, value);
                if (ok) {
                    if (qint64(_shared->count()) > MaxSharedStrings) {
                        *why = QStringLiteral("The workbook holds more than %1 shared strings, more than can be "
                                              "read.")
                                   .arg(withThousands(MaxSharedStrings));
                        return false;
                    }
                    if (_shared->append(value) == StringPool::kFull) {
                        *why = QStringLiteral("The workbook's shared strings are too large to read.");
                        return false;
                    }
                }
            } else if (kind == XmlStream::Start) {
                ok = xml.skipElement();
            }
            if (!ok) {
                if (in.atEnd())
                    return malformed();
                in.consumeTo(unitStart);
                unit = Unit::Incomplete;
            }
        }
        if (unit == Unit::Finished)
            break;
        if (!in.more()) {
            if (in.failed())
                return malformed();
            if (!inRoot)
                break; // no root element: an empty table
            return malformed(); // the part ends inside an item
        }
    }
    _shared->squeeze();
    return true;
}

namespace {
// Builds a sheet from streamed rows: rows without any value are left out at the start and the end and
// kept (empty) between rows that hold values; the used range is bounded before anything is kept.
struct SheetBuilder {
    SheetData& out;
    QString sheetName;
    qint64 maxCells;
    int lastKeptRow = 0;     // sheet row number of the last row kept
    PodBuffer<quint32> row;  // the row being read
    int badIndexCount = 0;
    QString firstBadIndexCell;
    qint64 formulasWithoutResult = 0;
    QString limitError;

    // Keeps the row just read, when it holds a value. False when the sheet passes the limit.
    bool commit(int rowNumber)
    {
        size_t width = row.size();
        while (width > 0 && row[width - 1] == 0)
            --width;
        if (width == 0)
            return true;
        if (out.rowEnds.empty()) {
            out.firstRowNumber = rowNumber;
        } else {
            for (int r = lastKeptRow + 1; r < rowNumber; ++r)
                out.appendRow(nullptr, 0);
        }
        lastKeptRow = rowNumber;
        out.columnCount = qMax(out.columnCount, int(width));
        const qint64 rows = qint64(rowNumber) - out.firstRowNumber + 1;
        if (rows * out.columnCount > maxCells) {
            limitError = QStringLiteral("The sheet \"%1\" is too large to read: its values reach row %2 and "
                                        "column %3, more than %4 cells.")
                             .arg(sheetName, withThousands(rowNumber), XlsxReader::columnName(out.columnCount - 1),
                                  withThousands(maxCells));
            return false;
        }
        out.appendRow(row.data(), width);
        return true;
    }
};

// Trims XML white space from both ends.
std::string_view trimmed(std::string_view v)
{
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    return v;
}

// A shared-string index: digits only, below count; -1 otherwise.
qint64 sharedIndex(std::string_view v, qint64 count)
{
    v = trimmed(v);
    if (v.empty() || v.size() > 10)
        return -1;
    qint64 n = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n < count ? n : -1;
}
} // namespace

std::optional<SheetData> XlsxReader::readSheet(int index, QString* error, const std::atomic<bool>* stop)
{
    if (error)
        error->clear();
    if (index < 0 || index >= _sheets.size()) {
        fail(error, QStringLiteral("no sheet %1").arg(index + 1));
        return std::nullopt;
    }
    const QString part = _sheets[index].partName;
    QString why;
    std::unique_ptr<ZipReader::Stream> stream = _zip.openStream(part, &why);
    if (!stream) {
        fail(error, why);
        return std::nullopt;
    }
    PartInput in(*stream);
    const auto malformed = [&] {
        fail(error, in.failed() ? in.error() : part + QStringLiteral(": malformed XML"));
        return std::nullopt;
    };
    if (!in.start())
        return malformed();

    SheetData out;
    out.sharedStrings = _shared;
    SheetBuilder builder{out, _sheets[index].name, MaxSheetCells, 0, {}, 0, {}, 0, {}};
    const qint64 sharedCount = qint64(_shared->count()) - 1;
    enum class Phase { Prelude, Rows, Done } phase = Phase::Prelude;
    int lastRow = 0; // sheet row number of the last row read
    int rowsSinceStopCheck = 0;
    std::string scratch;
    std::string textBuffer;
    std::string inlineText;
    char dateBuf[32];

    // One row: its cells into builder.row. Incomplete when the window ends inside it.
    const auto readRow = [&](XmlStream& xml, XmlStream::Kind kind, int& rowNumber, qint64& formulas,
                             int& badIndexes, QString& firstBad) -> Unit {
        builder.row.clear();
        int column = -1;
        while (kind == XmlStream::Start) {
            const XmlStream::Kind inRow = xml.next();
            if (truncatedOrBroken(inRow))
                return Unit::Incomplete;
            if (inRow == XmlStream::End)
                break;
            if (inRow != XmlStream::Start && inRow != XmlStream::Empty)
                continue;
            if (xml.name() != "c") {
                if (inRow == XmlStream::Start && !xml.skipElement())
                    return Unit::Incomplete;
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
                    type = a.value;
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
            char typeCode = 'n'; // n, s (shared), i (inline), b, t (stored text: str, e, d, others)
            if (type == "s")
                typeCode = 's';
            else if (type == "inlineStr")
                typeCode = 'i';
            else if (type == "b")
                typeCode = 'b';
            else if (!type.empty() && type != "n")
                typeCode = type == "str" ? 'r' : 't';

            // The cell's own v and is children (the last of each counts); other children are skipped.
            bool hasV = false;
            bool hasFormula = false;
            std::string_view vText;
            bool hasInline = false;
            while (inRow == XmlStream::Start) {
                const XmlStream::Kind k = xml.next();
                if (truncatedOrBroken(k))
                    return Unit::Incomplete;
                if (k == XmlStream::End)
                    break;
                if (k != XmlStream::Start && k != XmlStream::Empty)
                    continue;
                const std::string_view name = xml.name();
                if (name == "v") {
                    hasV = true;
                    vText = {};
                    if (k == XmlStream::Empty)
                        continue;
                    // Its text: one plain run is used where it lies; several runs (CDATA, text around a
                    // comment) or references are joined and decoded into textBuffer.
                    bool buffered = false;
                    for (XmlStream::Kind t = xml.next(); t != XmlStream::End; t = xml.next()) {
                        if (truncatedOrBroken(t) || (t == XmlStream::Start && !xml.skipElement()))
                            return Unit::Incomplete;
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
                } else if (name == "is") {
                    hasInline = true;
                    if (!readStringItem(xml, k, inlineText))
                        return Unit::Incomplete;
                } else {
                    hasFormula = hasFormula || name == "f";
                    if (k == XmlStream::Start && !xml.skipElement())
                        return Unit::Incomplete;
                }
            }
            if (col >= kMaxColumns)
                continue;
            if (hasFormula && !hasInline && (!hasV || (vText.empty() && typeCode != 'r' && typeCode != 's'))) {
                ++formulas; // written without its result (openpyxl does so)
                continue;
            }

            quint32 refValue = 0;
            std::string_view bytes;
            if (typeCode == 's') {
                const qint64 idx = hasV ? sharedIndex(vText, sharedCount) : -1;
                if (idx >= 0) {
                    refValue = SheetData::kSharedBit | quint32(idx);
                } else if (hasV) {
                    if (badIndexes++ == 0)
                        firstBad = columnName(col) + QString::number(rowNumber);
                }
            } else if (typeCode == 'i' || (hasInline && !hasV)) {
                if (!hasInline)
                    continue;
                bytes = inlineText;
            } else if (!hasV) {
                continue;
            } else if (typeCode == 'b') {
                const std::string_view b = trimmed(vText);
                const bool isTrue = b == "1" || ((b.size() == 4) && (b[0] | 0x20) == 't' && (b[1] | 0x20) == 'r' &&
                                                 (b[2] | 0x20) == 'u' && (b[3] | 0x20) == 'e');
                bytes = isTrue ? std::string_view("TRUE") : std::string_view("FALSE");
            } else if (typeCode == 'n') {
                const CellStyle style = styleIndex >= 0 && size_t(styleIndex) < _styles.size()
                                            ? _styles[size_t(styleIndex)]
                                            : CellStyle();
                if (style.literals >= 0 || style.date != DateKind::None) {
                    double serial = 0;
                    const std::string_view t = trimmed(vText);
                    const auto res = std::from_chars(t.data(), t.data() + t.size(), serial);
                    if (res.ec == std::errc() && res.ptr == t.data() + t.size()) {
                        if (style.literals >= 0) {
                            const auto& texts = _literals[size_t(style.literals)];
                            bytes = serial > 0 ? texts[0] : serial < 0 ? texts[1] : texts[2];
                        } else if (const size_t n = formatDateTo(dateBuf, serial, style.date, _date1904)) {
                            bytes = std::string_view(dateBuf, n);
                        }
                    }
                }
                if (bytes.empty()) {
                    const QString number = formatNumber(QByteArrayView(vText.data(), qsizetype(vText.size())));
                    scratch = number.toStdString();
                    if (style.zeroPad) {
                        const bool negative = !scratch.empty() && scratch[0] == '-';
                        const size_t digits = scratch.size() - (negative ? 1 : 0);
                        bool integer = digits > 0;
                        for (size_t k = negative ? 1 : 0; k < scratch.size() && integer; ++k)
                            integer = scratch[k] >= '0' && scratch[k] <= '9';
                        if (integer && digits < style.zeroPad)
                            scratch.insert(negative ? 1 : 0, style.zeroPad - digits, '0');
                    }
                    if (hasControl(scratch))
                        stripControls(scratch);
                    bytes = scratch;
                }
            } else {
                // "str" (formula text), "e" (error), "d" (ISO date) and anything else: the stored text.
                textBuffer.assign(vText);
                cleanText(textBuffer);
                bytes = textBuffer;
            }
            if (!(refValue & SheetData::kSharedBit)) {
                if (bytes.empty())
                    continue;
                refValue = out.strings.add(bytes);
                if (refValue == StringPool::kFull) {
                    builder.limitError = QStringLiteral("The sheet \"%1\" holds too much text to read.")
                                             .arg(_sheets[index].name);
                    return Unit::Finished;
                }
            }
            if (builder.row.size() <= size_t(col))
                builder.row.resize(size_t(col) + 1);
            builder.row[size_t(col)] = refValue;
        }
        return Unit::Ok;
    };

    while (phase != Phase::Done) {
        XmlStream xml(in.begin(), in.end());
        bool incomplete = false;
        while (!incomplete && phase != Phase::Done) {
            const char* unitStart = xml.pos();
            const XmlStream::Kind kind = xml.next();
            if (truncatedOrBroken(kind)) {
                if (in.atEnd() && (kind == XmlStream::Broken || phase == Phase::Rows))
                    return malformed();
                if (in.atEnd()) {
                    phase = Phase::Done; // no sheetData: an empty sheet
                    break;
                }
                in.consumeTo(unitStart);
                incomplete = true;
                break;
            }
            if (phase == Phase::Prelude) {
                if ((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "sheetData")
                    phase = kind == XmlStream::Start ? Phase::Rows : Phase::Done;
                continue;
            }
            if (kind == XmlStream::End) {
                phase = Phase::Done; // the end of sheetData
                break;
            }
            if (kind != XmlStream::Start && kind != XmlStream::Empty)
                continue;
            if (xml.name() != "row") {
                if (kind == XmlStream::Start && !xml.skipElement()) {
                    if (in.atEnd())
                        return malformed();
                    in.consumeTo(unitStart);
                    incomplete = true;
                }
                continue;
            }
            int rowNumber = 0;
            for (const auto& a : xml.attributes()) {
                if (a.name == "r" || (a.name.ends_with(":r")))
                    std::from_chars(a.value.data(), a.value.data() + a.value.size(), rowNumber);
            }
            if (rowNumber <= lastRow)
                rowNumber = lastRow + 1; // no r, or out of order: the next row
            if (rowNumber > kMaxRows) {
                phase = Phase::Done;
                break;
            }
            const quint32 poolMark = out.strings.count();
            qint64 formulas = 0;
            int badIndexes = 0;
            QString firstBad;
            const Unit unit = readRow(xml, kind, rowNumber, formulas, badIndexes, firstBad);
            if (unit == Unit::Incomplete) {
                if (in.atEnd())
                    return malformed();
                out.strings.truncate(poolMark);
                in.consumeTo(unitStart);
                incomplete = true;
                break;
            }
            if (unit == Unit::Finished || !builder.commit(rowNumber)) {
                if (error)
                    *error = builder.limitError;
                return std::nullopt;
            }
            lastRow = rowNumber;
            builder.formulasWithoutResult += formulas;
            if (badIndexes && builder.badIndexCount == 0)
                builder.firstBadIndexCell = firstBad;
            builder.badIndexCount += badIndexes;
            if (stop && ++rowsSinceStopCheck >= 1024) {
                rowsSinceStopCheck = 0;
                if (stop->load(std::memory_order_relaxed))
                    return std::nullopt;
            }
        }
        if (phase == Phase::Done)
            break;
        if (incomplete && !in.more()) {
            if (in.failed())
                return malformed();
            if (phase == Phase::Prelude)
                break; // no sheetData
            return malformed();
        }
    }

    if (builder.badIndexCount > 0) {
        out.warnings << (builder.badIndexCount == 1
                             ? QStringLiteral("Cell %1 refers to a shared string the workbook does not have; it "
                                              "was read as empty.")
                                   .arg(builder.firstBadIndexCell)
                             : QStringLiteral("Cell %1 and %2 more cells refer to shared strings the workbook does "
                                              "not have; they were read as empty.")
                                   .arg(builder.firstBadIndexCell)
                                   .arg(builder.badIndexCount - 1));
    }
    if (builder.formulasWithoutResult > 0)
        out.warnings << QStringLiteral("%1 cells hold formulas without a saved result; open and save the workbook "
                                       "in a spreadsheet program first.")
                            .arg(builder.formulasWithoutResult);
    out.strings.squeeze();
    out.cells.squeeze();
    out.rowEnds.squeeze();
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
    if (kind == DateKind::None)
        return {};
    char buf[32];
    const size_t n = formatDateTo(buf, serial, kind, date1904);
    return QString::fromLatin1(buf, qsizetype(n));
}

QStringList XlsxReader::literalSections(const QString& code)
{
    QStringList sections;
    QString current;
    bool any = false;
    for (qsizetype i = 0; i <= code.size(); ++i) {
        if (i == code.size() || code[i] == u';') {
            if (!any)
                return {};
            sections << current;
            current.clear();
            any = false;
            continue;
        }
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0)
                return {};
            current += code.mid(i + 1, close - i - 1);
            i = close;
            any = true;
        } else if (c == u'\\' && i + 1 < code.size()) {
            current += code[++i];
            any = true;
        } else if (c == u'[') {
            // A colour or condition changes no text.
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0)
                return {};
            i = close;
        } else {
            return {}; // a digit, date or text placeholder: not only literals
        }
    }
    return sections.size() <= 3 ? sections : QStringList();
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
