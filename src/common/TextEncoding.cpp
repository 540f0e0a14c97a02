#include "common/TextEncoding.h"

#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

QString decodeWindows1252(QByteArrayView bytes) {
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

LegacyCodePage userLegacyCodePage() {
    const QLocale l;
    switch (l.language()) {
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Mongolian:
        return {"windows-1251", "Windows-1251 (Cyrillic)"};
    case QLocale::Turkish:
    case QLocale::Azerbaijani:
        return {"windows-1254", "Windows-1254 (Turkish)"};
    case QLocale::Greek:
        return {"windows-1253", "Windows-1253 (Greek)"};
    case QLocale::Hebrew:
        return {"windows-1255", "Windows-1255 (Hebrew)"};
    case QLocale::Arabic:
    case QLocale::Persian:
    case QLocale::Urdu:
        return {"windows-1256", "Windows-1256 (Arabic)"};
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Romanian:
    case QLocale::Croatian:
    case QLocale::Slovenian:
    case QLocale::Albanian:
    case QLocale::Bosnian:
        return {"windows-1250", "Windows-1250 (Central European)"};
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian:
        return {"windows-1257", "Windows-1257 (Baltic)"};
    case QLocale::Vietnamese:
        return {"windows-1258", "Windows-1258 (Vietnamese)"};
    case QLocale::Thai:
        return {"windows-874", "Windows-874 (Thai)"};
    case QLocale::Japanese:
        return {"Shift_JIS", "Shift_JIS (Japanese)"};
    case QLocale::Korean:
        return {"windows-949", "Windows-949 (Korean)"};
    case QLocale::Chinese:
        if (l.script() == QLocale::TraditionalChineseScript)
            return {"Big5", "Big5 (Traditional Chinese)"};
        return {"GBK", "GBK (Simplified Chinese)"};
    default:
        return {"windows-1252", "Windows-1252 (Western European)"};
    }
}

QString decodeLegacyText(QByteArrayView bytes, LegacyCodePage* used) {
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

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at s[i] (Unicode's table of well-formed byte sequences), or 0.
int utf8SequenceAt(const uchar* s, qsizetype i, qsizetype n) {
    const uchar b = s[i];
    if (b < 0x80)
        return 1;
    const auto cont = [&](qsizetype k, uchar lo = 0x80, uchar hi = 0xBF) {
        return i + k < n && s[i + k] >= lo && s[i + k] <= hi;
    };
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const uchar lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const uchar lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

// Bytes of an ill-formed sequence at s[i] that one U+FFFD stands for: the lead and the continuation
// bytes that could still have followed it (the "maximal subpart" practice).
int utf8BadLengthAt(const uchar* s, qsizetype i, qsizetype n) {
    const uchar b = s[i];
    int need = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
    int len = 1;
    for (; need > 0 && i + len < n; --need, ++len) {
        const uchar c = s[i + len];
        uchar lo = 0x80, hi = 0xBF;
        if (len == 1) {
            lo = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        }
        if (c < lo || c > hi)
            break;
    }
    return len;
}

// Line (from 1) of a byte offset: line feeds before it, or carriage returns in text without line feeds.
qsizetype lineOf(QByteArrayView bytes, qsizetype offset) {
    const QByteArrayView before = bytes.first(offset);
    const qsizetype lf = before.count('\n');
    if (lf > 0 || bytes.contains('\n'))
        return lf + 1;
    return before.count('\r') + 1;
}

bool isControlByte(uchar b) {
    return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

// UTF-16 without a byte order mark: in one of the two byte positions a control character or zero stands
// for at least a tenth of the characters, twice as often as in the other, and the text read so holds
// hardly any control characters. Latin, Cyrillic, Greek, Hebrew, Arabic and the like do that; UTF-8 and
// the code pages never hold such bytes.
std::optional<TextEncoding::Kind> utf16WithoutMark(QByteArrayView bytes) {
    const qsizetype n = std::min<qsizetype>(bytes.size(), 1 << 16) & ~qsizetype(1);
    if (n < 2 || bytes.size() % 2 != 0)
        return std::nullopt;
    const auto* s = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype high[2] = {0, 0}; // controls where the high byte stands in little / big endian order
    for (qsizetype i = 0; i < n; i += 2) {
        high[0] += isControlByte(s[i + 1]);
        high[1] += isControlByte(s[i]);
    }
    const qsizetype units = n / 2;
    const int order = high[0] >= high[1] ? 0 : 1;
    if (high[order] * 10 < units || high[order] < 2 * high[1 - order])
        return std::nullopt;
    qsizetype controls = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        const char16_t u = order == 0 ? char16_t(s[i] | s[i + 1] << 8) : char16_t(s[i] << 8 | s[i + 1]);
        controls +=
            (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != 0x0C) || (u >= 0x7F && u < 0xA0);
    }
    if (controls * 100 > units)
        return std::nullopt;
    return order == 0 ? TextEncoding::Kind::Utf16LE : TextEncoding::Kind::Utf16BE;
}

// UTF-16 code units as text; unpaired surrogates become U+FFFD and are counted.
QString readUtf16(QByteArrayView bytes, bool littleEndian, TextEncoding& how) {
    const auto* s = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    QString text(units + (bytes.size() % 2), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype lines = 1;
    const auto unit = [&](qsizetype k) {
        return littleEndian ? char16_t(s[2 * k] | s[2 * k + 1] << 8) : char16_t(s[2 * k] << 8 | s[2 * k + 1]);
    };
    const auto bad = [&] {
        if (how.replaced++ == 0)
            how.firstReplacedLine = lines;
        return char16_t(0xFFFD);
    };
    for (qsizetype k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (u == u'\n')
            ++lines;
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) < 0xE000) {
            out[k] = u;
            out[k + 1] = unit(k + 1);
            ++k;
        } else {
            out[k] = u >= 0xD800 && u < 0xE000 ? bad() : u;
        }
    }
    if (bytes.size() % 2)
        out[units] = bad(); // half a character at the end
    return text;
}

} // namespace

QByteArray textFileToUtf8(QByteArray bytes, TextEncoding* how) {
    TextEncoding local;
    TextEncoding& h = how ? *how : local;
    h = TextEncoding();
    const bool utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    const bool le = !utf8Mark && bytes.startsWith("\xFF\xFE"), be = !utf8Mark && bytes.startsWith("\xFE\xFF");
    std::optional<TextEncoding::Kind> utf16;
    if (le || be)
        utf16 = le ? TextEncoding::Kind::Utf16LE : TextEncoding::Kind::Utf16BE;
    else if (!utf8Mark)
        utf16 = utf16WithoutMark(bytes);
    if (utf16) {
        h.kind = *utf16;
        const QString text = readUtf16(QByteArrayView(bytes).sliced(le || be ? 2 : 0),
                                       h.kind == TextEncoding::Kind::Utf16LE, h);
        bytes = QByteArray();
        return text.toUtf8();
    }
    if (utf8Mark)
        bytes.remove(0, 3);
    if (QByteArrayView(bytes).isValidUtf8())
        return bytes;
    const auto* s = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    // Count the non-ASCII characters that are UTF-8 and the places that are not.
    qsizetype good = 0, bad = 0, firstBad = -1;
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = utf8SequenceAt(s, i, n);
        if (len > 0) {
            ++good;
            i += len;
        } else {
            if (firstBad < 0)
                firstBad = i;
            ++bad;
            i += utf8BadLengthAt(s, i, n);
        }
    }
    if (!utf8Mark && good <= bad) {
        h.kind = TextEncoding::Kind::CodePage;
        return decodeLegacyText(bytes, &h.page).toUtf8();
    }
    h.replaced = bad;
    h.firstReplacedLine = lineOf(bytes, firstBad);
    QByteArray out;
    out.reserve(n + 2 * bad);
    out.append(bytes.constData(), firstBad);
    for (qsizetype i = firstBad; i < n;) {
        const int len = utf8SequenceAt(s, i, n);
        if (len > 0) {
            out.append(bytes.constData() + i, len);
            i += len;
        } else {
            out.append(kReplacement, 3);
            i += utf8BadLengthAt(s, i, n);
        }
    }
    return out;
}

QString textFileToString(const QByteArray& bytes, TextEncoding* how) {
    return QString::fromUtf8(textFileToUtf8(bytes, how));
}

QString textEncodingNote(const TextEncoding& how, const QString& subject) {
    if (how.kind == TextEncoding::Kind::CodePage)
        return QStringLiteral("%1 is not saved as UTF-8 text; it was read as %2 text.")
            .arg(subject, QString::fromLatin1(how.page.shown));
    if (how.replaced == 0)
        return {};
    const QString encoding =
        how.kind == TextEncoding::Kind::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16");
    if (how.replaced == 1)
        return QStringLiteral(
                   "%1 is read as %2 text, but line %3 holds bytes that are no %2 text; they read as "
                   "\"\uFFFD\".")
            .arg(subject, encoding)
            .arg(how.firstReplacedLine);
    return QStringLiteral(
               "%1 is read as %2 text, but %3 places hold bytes that are no %2 text, the first on line "
               "%4; they read as \"\uFFFD\".")
        .arg(subject, encoding)
        .arg(how.replaced)
        .arg(how.firstReplacedLine);
}
