#include "data/DataText.h"

namespace {
bool isLineBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 || u == 0x2029;
}
} // namespace

QString joinLineBreaks(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineBreak(c)) {
            out.append(c);
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out.append(u' ');
    }
    return out;
}

QString withoutControls(QStringView text, bool keepLineBreaks)
{
    const auto isDropped = [keepLineBreaks](QChar c) {
        const char16_t u = c.unicode();
        if (u == u'\t' || (keepLineBreaks && (u == u'\n' || u == u'\r')))
            return false;
        return u < 0x20 || (u >= 0x7F && u <= 0x9F);
    };
    qsizetype i = 0;
    while (i < text.size() && !isDropped(text[i]))
        ++i;
    if (i == text.size())
        return text.toString();
    QString out;
    out.reserve(text.size());
    out.append(text.first(i));
    for (; i < text.size(); ++i) {
        if (!isDropped(text[i]))
            out.append(text[i]);
    }
    return out;
}
