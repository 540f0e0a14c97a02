#include "data/DataText.h"

#include <QLocale>
#include <QStringDecoder>

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

QString decodeWindows1252(QByteArrayView bytes)
{
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes) {
        const uchar b = uchar(c);
        s.append(b >= 0x80 && b < 0xA0 ? QChar(high[b - 0x80]) : QChar(b));
    }
    return s;
}

LegacyCodePage userLegacyCodePage()
{
    const QLocale l;
    switch (l.language()) {
    case QLocale::Russian: case QLocale::Ukrainian: case QLocale::Belarusian: case QLocale::Bulgarian:
    case QLocale::Macedonian: case QLocale::Kazakh: case QLocale::Kyrgyz: case QLocale::Mongolian:
        return {"windows-1251", "Windows-1251 (Cyrillic)"};
    case QLocale::Turkish: case QLocale::Azerbaijani: return {"windows-1254", "Windows-1254 (Turkish)"};
    case QLocale::Greek: return {"windows-1253", "Windows-1253 (Greek)"};
    case QLocale::Hebrew: return {"windows-1255", "Windows-1255 (Hebrew)"};
    case QLocale::Arabic: case QLocale::Persian: case QLocale::Urdu: return {"windows-1256", "Windows-1256 (Arabic)"};
    case QLocale::Polish: case QLocale::Czech: case QLocale::Slovak: case QLocale::Hungarian: case QLocale::Romanian:
    case QLocale::Croatian: case QLocale::Slovenian: case QLocale::Albanian: case QLocale::Bosnian:
        return {"windows-1250", "Windows-1250 (Central European)"};
    case QLocale::Estonian: case QLocale::Latvian: case QLocale::Lithuanian:
        return {"windows-1257", "Windows-1257 (Baltic)"};
    case QLocale::Vietnamese: return {"windows-1258", "Windows-1258 (Vietnamese)"};
    case QLocale::Thai: return {"windows-874", "Windows-874 (Thai)"};
    case QLocale::Japanese: return {"Shift_JIS", "Shift_JIS (Japanese)"};
    case QLocale::Korean: return {"windows-949", "Windows-949 (Korean)"};
    case QLocale::Chinese:
        if (l.script() == QLocale::TraditionalChineseScript)
            return {"Big5", "Big5 (Traditional Chinese)"};
        return {"GBK", "GBK (Simplified Chinese)"};
    default: return {"windows-1252", "Windows-1252 (Western European)"};
    }
}

QString decodeLegacyText(QByteArrayView bytes, LegacyCodePage* used)
{
    const LegacyCodePage page = userLegacyCodePage();
    if (qstrcmp(page.name, "windows-1252") != 0) {
        QStringDecoder decoder(page.name, QStringDecoder::Flag::Stateless);
        if (decoder.isValid()) {
            QString text = decoder.decode(bytes);
            if (!decoder.hasError()) {
                if (used)
                    *used = page;
                return text;
            }
        }
    }
    if (used)
        *used = {"windows-1252", "Windows-1252 (Western European)"};
    return decodeWindows1252(bytes);
}
