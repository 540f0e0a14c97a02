#pragma once

// Streaming XML scanning of xlsx parts: a forward-only tag reader, the windowed input of an inflated part, and
// the decoding and cleaning of the texts it yields.

#include "data/StringPool.h"
#include "data/ZipArchive.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

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
    // A comment, processing instruction or doctype reads as an empty text, so that a reader's unit can end
    // there however many follow. Tags and texts, by far the most frequent, take the short road.
    Q_ALWAYS_INLINE Kind next()
    {
        if (_end - _p > 1) {
            if (_p[0] != '<') {
                const char* lt = find(_p, _end, '<');
                const char* stop = lt ? lt : _end;
                _text = {_p, size_t(stop - _p)};
                _p = stop;
                return Text;
            }
            if (_p[1] != '!' && _p[1] != '?')
                return tag();
        }
        return nextOther();
    }

    // The next token that is not blank where the caller stands (a container's level): texts and CDATA, and
    // empty elements other than `keep`, are passed over. tokenStart() is where it begins.
    Kind nextNonBlank(std::string_view keep)
    {
        while (true) {
            // Texts and plain empty elements (no prefix, no attributes) are passed over without being read
            // as tokens; anything else takes the common road below.
            const char* p = _p;
            while (_end - p > 2) {
                if (*p != '<') {
                    const char* lt = find(p, _end, '<');
                    p = lt ? lt : _end;
                    continue;
                }
                if (p[1] == '!' || p[1] == '?')
                    break;
                const char* q = p + 1;
                while (q < _end && kTagChars[quint8(*q)] == 0)
                    ++q;
                if (q == p + 1 || _end - q < 2 || q[0] != '/' || q[1] != '>' ||
                    std::string_view(p + 1, size_t(q - p - 1)) == keep)
                    break;
                p = q + 2;
            }
            _p = p;
            _tokenStart = _p;
            const Kind k = next();
            if (k != Text && k != CData && (k != Empty || _name == keep))
                return k;
        }
    }

    // Passes over empty elements written plainly as <name/>, one after the other; how many there were.
    qint64 passEmpty(std::string_view name)
    {
        const size_t size = name.size() + 3;
        qint64 count = 0;
        while (size_t(_end - _p) >= size && _p[0] == '<' && _p[size - 2] == '/' && _p[size - 1] == '>' &&
               std::string_view(_p + 1, name.size()) == name) {
            _p += size;
            ++count;
        }
        return count;
    }
    const char* tokenStart() const { return _tokenStart; }

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
    Kind nextOther()
    {
        if (_p >= _end)
            return Eof;
        if (*_p != '<') {
            _text = {_p, size_t(_end - _p)}; // one byte
            _p = _end;
            return Text;
        }
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
        _text = {};
        return Text;
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    // Where c first stands in [p, end), or null. Texts and values between tags are mostly short: their
    // first bytes are looked at here, which costs less than a call; long runs go to memchr.
    static const char* find(const char* p, const char* end, char c)
    {
        for (const char* stop = p + std::min<std::ptrdiff_t>(end - p, 16); p < stop; ++p) {
            if (*p == c)
                return p;
        }
        return p < end ? static_cast<const char*>(std::memchr(p, c, size_t(end - p))) : nullptr;
    }

    // What ends a tag's name (1), an attribute's name (2 besides), and the prefix separator (4).
    static constexpr std::array<quint8, 256> kTagChars = [] {
        std::array<quint8, 256> t{};
        for (const char c : {' ', '\t', '\n', '\r', '/', '>'})
            t[quint8(c)] = 1 | 2;
        t[quint8('=')] = 2;
        t[quint8(':')] = 4;
        return t;
    }();

    bool skipPast(std::string_view close, size_t from)
    {
        for (const char* q = _p + from; (q = find(q, _end, close[0])); ++q) {
            if (size_t(_end - q) < close.size())
                return false;
            if (std::equal(close.begin() + 1, close.end(), q + 1)) {
                _p = q + close.size();
                return true;
            }
        }
        return false;
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

    // A tag's name, and its end when no attribute follows.
    Q_ALWAYS_INLINE Kind tag()
    {
        const char* q = _p + 1;
        const bool end = q < _end && *q == '/';
        if (end)
            ++q;
        const char* nameStart = q;
        const char* local = q; // after the first colon, if any
        for (; q < _end; ++q) {
            const quint8 k = kTagChars[quint8(*q)];
            if (k & 1)
                break;
            if (k == 4 && local == nameStart)
                local = q + 1;
        }
        _name = std::string_view(local, size_t(q - local));
        _attributes.clear();
        if (_end - q > 1) {
            if (*q == '>') {
                _p = q + 1;
                return end ? End : Start;
            }
            if (*q == '/' && q[1] == '>' && !end) {
                _p = q + 2;
                return Empty;
            }
        }
        return tagRest(q, end);
    }

    // The rest of a tag after its name: attributes, then its end.
    Kind tagRest(const char* q, bool end)
    {
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
            while (q < _end && !(kTagChars[quint8(*q)] & 2))
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
            const char* close = find(q, _end, quote);
            if (!close)
                return Broken;
            _attributes.push_back({attrName, std::string_view(q, size_t(close - q))});
            q = close + 1;
        }
    }

    const char* _p;
    const char* _end;
    const char* _tokenStart = nullptr;
    std::string_view _text;
    std::string_view _name;
    std::vector<Attribute> _attributes;
};

// The inflated text of a part, held one window at a time: the parser works on [begin, end) and asks for
// more when a unit (a row, a shared string, a tag, a comment) runs past the window; the bytes from the start
// of that unit on are kept and more are read after them. A unit longer than kMaxUnit is none a spreadsheet
// program writes (a cell holds at most 32,767 characters) and ends the reading.
class PartInput {
public:
    static constexpr qint64 kChunk = 1 << 20;
    static constexpr qint64 kMaxUnit = 64LL << 20;

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
        while (more(true)) {
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
    bool failed() const { return _tooLong || !_stream.error().isEmpty(); }
    QString error() const
    {
        return _tooLong ? QStringLiteral("The workbook holds an element longer than %1 MB, more than spreadsheet "
                                         "programs write.")
                              .arg(kMaxUnit >> 20)
                        : _stream.error();
    }

    // Keeps [begin, end) and reads more after it; false when nothing more comes, or when the unit kept is
    // longer than kMaxUnit (unless the part is read whole).
    bool more(bool whole = false)
    {
        if (_eof || _tooLong)
            return false;
        if (_pos > 0) {
            std::memmove(_buf.data(), _buf.data() + _pos, _len - _pos);
            _len -= _pos;
            _pos = 0;
        }
        if (!whole && qint64(_len) > kMaxUnit) {
            _tooLong = true;
            return false;
        }
        if (_buf.size() < size_t(kChunk))
            _buf.resize(size_t(kChunk));
        if (_len * 2 > _buf.size()) {
            // One unit fills half the window: room for it to grow. Eightfold, so that a long unit, read again
            // from its start each time the window grows, costs little more than once.
            const size_t grown = _buf.size() * (whole ? 2 : 8);
            _buf.resize(whole ? grown : std::min(grown, size_t(kMaxUnit + kChunk)));
        }
        // The window holds at most one byte more than the longest unit, so a longer one is known at the next call.
        const qint64 room = qint64(_buf.size() - _len);
        const qint64 n = _stream.read(_buf.data() + _len, whole ? room : std::min(room, kMaxUnit + 1 - qint64(_len)));
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
    bool _tooLong = false;
};

// What a unit of streamed XML came to.
enum class Unit { Ok, Incomplete, Finished };

inline bool truncatedOrBroken(XmlStream::Kind k) { return k == XmlStream::Eof || k == XmlStream::Broken; }

// Line ends as an XML parser reports them: CR LF and lone CR become LF.
void normaliseLineEnds(std::string& s);
void appendUtf8(char32_t c, std::string& out);
// Appends XML text with its entity and character references decoded; an unknown reference stays as it is.
void appendDecoded(std::string_view s, std::string& out);
// Control characters other than tab and line feed say nothing in a value and break series files.
bool hasControl(std::string_view s);
void stripControls(std::string& s);
// A text value as kept: line ends made LF, _xHHHH_ escapes decoded, control characters removed.
void cleanText(std::string& s);
// An attribute's or a text's value, decoded into `scratch` only when it holds a reference.
std::string_view decodedReferences(std::string_view raw, std::string& scratch);
inline std::string_view decoded(std::string_view raw, std::string& scratch)
{
    // Values are short: looked at here rather than in a call.
    return std::find(raw.begin(), raw.end(), '&') == raw.end() ? raw : decodedReferences(raw, scratch);
}
// Appends the text inside the element whose start tag was just read, up to its end tag: its text and
// CDATA with references decoded; child elements are skipped. False when the XML breaks off.
bool appendElementText(XmlStream& xml, std::string& out);
// Text of a shared or inline string item whose start tag (`kind`) was just read, cleaned, into `value`:
// its own t, or its runs' t joined; phonetic runs are skipped. False when the XML breaks off.
bool readStringItem(XmlStream& xml, XmlStream::Kind kind, std::string& value);
int hexValue(QChar c);
// A count with English thousands separators, for messages.
QString withThousands(qint64 n);

} // namespace xlsx
