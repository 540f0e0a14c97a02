#pragma once

// Streaming XML scanning of xlsx parts: a forward-only tag reader, the windowed input of an inflated part, and
// the decoding and cleaning of the texts it yields.

#include "data/StringPool.h"
#include "data/ZipArchive.h"

#include <QString>
#include <QStringDecoder>

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
        if (_len * 2 > _buf.size()) // one unit fills half the window: room for it to grow
            _buf.resize(_buf.size() * 2);
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
std::string_view decoded(std::string_view raw, std::string& scratch);
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
