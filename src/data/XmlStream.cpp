#include "data/XmlStream.h"

#include "data/XlsxReader.h"

#include <QLocale>

#include <charconv>

namespace xlsx {

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

std::string_view decodedReferences(std::string_view raw, std::string& scratch)
{
    scratch.clear();
    appendDecoded(raw, scratch);
    return scratch;
}

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

QString withThousands(qint64 n) { return QLocale(QLocale::English).toString(n); }

} // namespace xlsx
