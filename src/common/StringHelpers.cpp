#include "common/StringHelpers.h"

#include <QChar>

namespace {

bool isTrimmable(char32_t c)
{
    if (QChar::isSpace(c))
        return true;
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Other_Control || cat == QChar::Other_Format;
}

// Code point that starts at i, and its length in UTF-16 units.
char32_t codePointAt(const QString& s, qsizetype i, int* len)
{
    const QChar c = s.at(i);
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
        *len = 2;
        return QChar::surrogateToUcs4(c, s.at(i + 1));
    }
    *len = 1;
    return c.unicode();
}

// Code point that ends just before end, and its length in UTF-16 units.
char32_t codePointBefore(const QString& s, qsizetype end, int* len)
{
    const QChar c = s.at(end - 1);
    if (c.isLowSurrogate() && end - 2 >= 0 && s.at(end - 2).isHighSurrogate()) {
        *len = 2;
        return QChar::surrogateToUcs4(s.at(end - 2), c);
    }
    *len = 1;
    return c.unicode();
}

} // namespace

QString Trim_Str(const QString& text)
{
    if (text.isNull())
        return QString();
    // Printable ASCII at both ends (the common case) is never trimmed.
    const auto printable = [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; };
    if (!text.isEmpty() && printable(text.front()) && printable(text.back()))
        return text;
    qsizetype begin = 0;
    qsizetype end = text.size();
    int len = 0;
    while (begin < end && isTrimmable(codePointAt(text, begin, &len)))
        begin += len;
    while (end > begin && isTrimmable(codePointBefore(text, end, &len)))
        end -= len;
    return text.mid(begin, end - begin);
}

QString Left_Str_substringToIndex(const QString& text, qsizetype n)
{
    if (n <= 0)
        return text.isNull() ? QString() : QStringLiteral("");
    return text.left(n);
}

QString Right_Str_substringFromIndex(const QString& text, qsizetype index)
{
    if (index <= 0)
        return text;
    if (index >= text.size())
        return text.isNull() ? QString() : QStringLiteral("");
    return text.mid(index);
}

QString Read_Str_FromIndex(const QString& text, qsizetype index, qsizetype length)
{
    if (index < 0)
        index = 0;
    if (index >= text.size() || length == 0)
        return text.isNull() ? QString() : QStringLiteral("");
    if (length < 0 || length > text.size() - index)
        length = text.size() - index;
    return text.mid(index, length);
}

bool Find_Str(const QString& text, const QString& part)
{
    if (part.isEmpty())
        return false;
    return text.contains(part, Qt::CaseSensitive);
}

QString Replace_char_in_string(const QString& text, const QString& oldPart, const QString& newPart)
{
    QString out = text;
    if (!oldPart.isEmpty())
        out.replace(oldPart, newPart, Qt::CaseSensitive);
    return out;
}

bool isReservedFileNameChar(char32_t c)
{
    switch (c) {
    case U'/':
    case U'\\':
    case U'?':
    case U'%':
    case U'*':
    case U'|':
    case U'"':
    case U'<':
    case U'>':
    case U':':
        return true;
    default:
        break;
    }
    // Zero-width (non-)joiners belong to Persian and Indic words and to emoji sequences.
    if (c == 0x200C || c == 0x200D)
        return false;
    const QChar::Category cat = QChar::category(c);
    // Line and paragraph separators count as control characters in a name; a lone surrogate is no character.
    return cat == QChar::Other_Control || cat == QChar::Other_Format || cat == QChar::Separator_Line ||
           cat == QChar::Separator_Paragraph || cat == QChar::Other_Surrogate;
}

QString Remove_Reserve_Char_In_File_Name(const QString& text)
{
    if (text.isNull())
        return QString();
    QString kept;
    kept.reserve(text.size());
    int len = 0;
    for (qsizetype i = 0; i < text.size(); i += len) {
        const char32_t c = codePointAt(text, i, &len);
        if (!isReservedFileNameChar(c))
            kept.append(text.mid(i, len));
    }
    return Trim_Str(kept);
}
