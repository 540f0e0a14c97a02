#include "data/NumberFormat.h"

#include "data/NumberFormatLocale.h"
#include "data/NumberFormatTime.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>

namespace xlsx {
namespace {
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

// Calendar date of a serial day in the spreadsheet's date system; false outside the years 1 to 9999.
// Day 60 of the 1900 system is the 29 February 1900 that never was, as spreadsheets count it.
bool civilOfSerialDay(qint64 days, bool date1904, qint64& y, unsigned& m, unsigned& d)
{
    static const qint64 base1900 = daysFromCivil(1899, 12, 30);
    static const qint64 base1904 = daysFromCivil(1904, 1, 1);
    y = 1900;
    m = 2;
    d = 29;
    if (date1904)
        civilFromDays(base1904 + days, y, m, d);
    else if (days != 60)
        civilFromDays(base1900 + days + (days >= 0 && days < 60 ? 1 : 0), y, m, d);
    return y >= 1 && y <= 9999;
}

char* put2(char* p, unsigned v)
{
    p[0] = char('0' + v / 10);
    p[1] = char('0' + v % 10);
    return p + 2;
}
} // namespace

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
    qint64 y = 0;
    unsigned m = 1, d = 1;
    if (!civilOfSerialDay(days, date1904, y, m, d))
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

namespace {
void appendInt(std::string& out, qint64 v, int width)
{
    if (v >= 0 && v < 100 && width <= 2) { // most date and time fields
        if (v >= 10 || width == 2)
            out += char('0' + v / 10);
        out += char('0' + v % 10);
        return;
    }
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    const int n = int(r.ptr - buf);
    if (n < width)
        out.append(size_t(width - n), '0');
    out.append(buf, size_t(n));
}

// |x| rounded half away from zero at `frac` decimals, taken from its 15 significant digits (as
// spreadsheets keep numbers): integer digits without leading zeros ("" for 0) and exactly `frac` digits.
void roundDecimal(double x, int frac, std::string& intPart, std::string& fracPart)
{
    intPart.clear();
    fracPart.assign(size_t(frac), '0');
    if (!(x > 0))
        return;
    // Most values: scaled below 10^9 (where the error of the product is far below 10^-6) and not near a
    // half, plain rounding agrees.
    static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (frac < 10) {
        const double scaled = x * kPowers[frac];
        const double rounded = std::round(scaled);
        if (scaled < 1e9 && std::fabs(std::fabs(scaled - rounded) - 0.5) > 1e-6) {
            char digits[24];
            const auto r = std::to_chars(digits, digits + sizeof digits, qint64(rounded));
            const int n = int(r.ptr - digits);
            const int whole = n - frac;
            if (whole > 0 && !(whole == 1 && digits[0] == '0'))
                intPart.assign(digits, size_t(whole));
            for (int j = 0; j < frac; ++j) {
                const int at = whole + j;
                if (at >= 0)
                    fracPart[size_t(j)] = digits[at];
            }
            return;
        }
    }
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    std::string digits;
    const char* p = buf;
    for (; p < r.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    int exp = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, exp);
    int point = exp + 1; // digits before the decimal point
    const int keep = point + frac;
    if (keep < 0)
        return;
    if (keep < int(digits.size())) {
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int k = keep - 1;
            for (; k >= 0 && digits[size_t(k)] == '9'; --k)
                digits[size_t(k)] = '0';
            if (k >= 0) {
                ++digits[size_t(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    if (point > 0) {
        intPart = digits.substr(0, size_t(std::min<int>(point, int(digits.size()))));
        if (int(intPart.size()) < point)
            intPart.append(size_t(point - int(intPart.size())), '0');
        const size_t nonZero = intPart.find_first_not_of('0');
        intPart.erase(0, nonZero == std::string::npos ? intPart.size() : nonZero);
        for (int j = 0; j < frac && point + j < int(digits.size()); ++j)
            fracPart[size_t(j)] = digits[size_t(point + j)];
    } else {
        for (int j = 0; j < frac; ++j) {
            const int at = j + point; // digits[0] sits at decimal place -point
            if (at >= 0 && at < int(digits.size()))
                fracPart[size_t(j)] = digits[size_t(at)];
        }
    }
}

// 'J' where "g" and "e" are the Japanese era and its year, 'T' where they are the Republic of China's.
char eraOf(const QLocale& names)
{
    if (names.language() == QLocale::Japanese)
        return 'J';
    return names.language() == QLocale::Chinese && names.territory() == QLocale::Taiwan ? 'T' : 0;
}

// An era's name (width 1 its letter, 2 its first sign, 3 its name) or its year, as LibreOffice shows them.
void appendEra(std::string& out, const NumberFormat::Token& k, qint64 y, unsigned m, unsigned d)
{
    if (k.placeholder == 'T') {
        const bool before = y < 1912;
        if (k.kind == NumberFormat::Token::EraName)
            out += k.width >= 3 ? (before ? "中華民國前" : "中華民國") : (before ? "民國前" : "民國");
        else
            appendInt(out, before ? 1912 - y : y - 1911, 1);
        return;
    }
    static constexpr struct {
        int year;
        unsigned month, day;
        const char *letter, *sign, *name;
    } eras[] = {{2019, 5, 1, "R", "令", "令和"},  {1989, 1, 8, "H", "平", "平成"}, {1926, 12, 25, "S", "昭", "昭和"},
                {1912, 7, 30, "T", "大", "大正"}, {1868, 1, 1, "M", "明", "明治"}};
    for (const auto& e : eras) {
        if (y > e.year || (y == e.year && (m > e.month || (m == e.month && d >= e.day)))) {
            if (k.kind == NumberFormat::Token::EraYear) // two digits at most
                appendInt(out, (y - e.year + 1) % 100, k.width >= 2 ? 2 : 1);
            else
                out += k.width == 1   ? e.letter
                       : k.width == 2 ? e.sign
                                      : std::string(e.name) + (k.width > 3 ? e.letter : "");
            return;
        }
    }
    // before the first era: the Western calendar
    if (k.kind == NumberFormat::Token::EraYear)
        appendInt(out, k.width >= 2 ? y : y % 100, k.width >= 2 ? 4 : 1);
    else
        out += "西暦";
}

// "_x" leaves the room of x: as many spaces as LibreOffice writes for it (measured), two beyond ASCII.
int spaceWidth(QChar c)
{
    static constexpr char kWidths[] =
        "11122321111211112222222222112222322222232122233323222223222111221222221221121322221212222221112";
    const char16_t u = c.unicode();
    return u < 32 ? 0 : u < 127 ? kWidths[u - 32] - '0' : 2;
}

bool isDateToken(NumberFormat::Token::Kind k)
{
    return k >= NumberFormat::Token::Year2 && k != NumberFormat::Token::AmPm;
}
} // namespace

bool NumberFormat::Section::matches(double v) const
{
    switch (cond) {
    case Cond::None: return true;
    case Cond::Lt: return v < operand;
    case Cond::Le: return v <= operand;
    case Cond::Gt: return v > operand;
    case Cond::Ge: return v >= operand;
    case Cond::Eq: return v == operand;
    case Cond::Ne: return v != operand;
    }
    return true;
}

QString NumberFormat::builtInCode(int id, const QLocale& locale) { return builtInFormatCode(id, locale); }

namespace {
// The language id of the format's first [$-XXX] tag that names no currency (0 when none); such a tag gives the
// whole format its locale: separators and names.
uint formatLanguage(const QString& code)
{
    for (qsizetype at = code.indexOf(QStringLiteral("[$-")); at >= 0; at = code.indexOf(QStringLiteral("[$-"), at + 1)) {
        const qsizetype close = code.indexOf(u']', at);
        if (close < 0)
            break;
        bool ok = false;
        const uint id = code.mid(at + 3, close - at - 3).toUInt(&ok, 16);
        if (ok && (id & 0xFFFF) != 0xF800 && (id & 0xFFFF) != 0xF400)
            return id;
    }
    return 0;
}
} // namespace

NumberFormat NumberFormat::compile(int id, const QString& code, const QLocale& locale)
{
    NumberFormat f;
    const QString text = code.isEmpty() ? builtInCode(id, locale) : code;
    if (text.size() > MaxCodeLength || text.compare(u"General", Qt::CaseInsensitive) == 0)
        return f;
    // Sections at ";" outside quotes, brackets and escapes.
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u';') {
            parts << current;
            current.clear();
            continue;
        }
        current += c;
        qsizetype close = -1;
        if (c == u'"')
            close = text.indexOf(u'"', i + 1);
        else if (c == u'[')
            close = text.indexOf(u']', i + 1);
        else if ((c == u'\\' || c == u'_' || c == u'*') && i + 1 < text.size())
            close = i + 1;
        if (close > i) {
            current += text.mid(i + 1, close - i);
            i = close;
        }
    }
    parts << current;
    const uint language = formatLanguage(text);
    const QLocale formatLocale = language ? localeOfId(language, locale) : locale;
    QLocale names = formatLocale;
    for (qsizetype k = 0; k < parts.size() && k < 4; ++k) {
        // The system's long date and time ids stand for the user's own formats.
        QString part = parts[k];
        if (part.contains(QStringLiteral("[$-F800]"), Qt::CaseInsensitive))
            part = longDateCode(locale);
        else if (part.contains(QStringLiteral("[$-F400]"), Qt::CaseInsensitive))
            part = longTimeCode(locale);
        Section s = compileSection(part, &names);
        // The fourth section, or one holding "@", is for text cells.
        if (k == 3 || s.text) {
            if (!f._hasText && !(s.tokens.size() == 1 && s.tokens[0].kind == Token::TextValue)) {
                f._text = std::move(s);
                f._hasText = true;
            }
            continue;
        }
        f._sections.push_back(std::move(s));
    }
    for (const Section& s : f._sections)
        f._conditional = f._conditional || s.cond != Section::Cond::None;
    f._texts = localeTexts(formatLocale);
    if (names != formatLocale) {
        LocaleTexts n = localeTexts(names);
        f._texts.monthShort = std::move(n.monthShort);
        f._texts.monthLong = std::move(n.monthLong);
        f._texts.monthGenitive = std::move(n.monthGenitive);
        f._texts.dayShort = std::move(n.dayShort);
        f._texts.dayLong = std::move(n.dayLong);
    }
    return f;
}

bool NumberFormat::formatText(std::string_view text, std::string& out) const
{
    if (!_hasText)
        return false;
    for (const Token& k : _text.tokens) {
        if (k.kind == Token::Literal)
            out += k.text;
        else if (k.kind == Token::TextValue)
            out.append(text);
        else if (k.kind == Token::DateSeparator || k.kind == Token::FractionBar)
            out += '/';
    }
    return true;
}

NumberFormat::Section NumberFormat::compileSection(const QString& code, QLocale* names)
{
    Section s;
    std::vector<Token>& t = s.tokens;
    const auto literal = [&](QString text) {
        text.removeIf([](QChar ch) { return ch.unicode() < 0x20 || (ch.unicode() >= 0x7F && ch.unicode() <= 0x9F); });
        if (text.isEmpty())
            return;
        if (!t.empty() && t.back().kind == Token::Literal)
            t.back().text += utf8(text);
        else
            t.push_back({Token::Literal, 0, 0, utf8(text), {}});
    };
    const auto add = [&](Token::Kind k, quint8 width = 0) { t.push_back({k, 0, width, {}, {}}); };
    int part = 0;           // 0 integer digits, 1 after the point, 2 exponent digits
    bool lastWasDigit = false;
    bool text = false;
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        const char16_t u = c.toLower().unicode();
        // Letters of date and time fields count their run; the caller moves past it, so each character is
        // looked at a bounded number of times.
        const auto runOf = [&] {
            qsizetype run = 1;
            while (i + run < n && code[i + run].toLower() == c.toLower())
                ++run;
            return run;
        };
        const bool digitBefore = lastWasDigit;
        lastWasDigit = false;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            literal(code.mid(i + 1, (close < 0 ? n : close) - i - 1));
            i = close < 0 ? n : close;
        } else if (c == u'\\' && i + 1 < n) {
            literal(code.mid(++i, 1));
        } else if (c == u'_' && i + 1 < n) {
            literal(QString(spaceWidth(code[++i]), u' '));
        } else if (c == u'*' && i + 1 < n) {
            ++i; // a fill character repeats to the cell's width: nothing in a value
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            const QString inner = code.mid(i + 1, (close < 0 ? n : close) - i - 1);
            i = close < 0 ? n : close;
            const QString lower = inner.toLower();
            if (inner.startsWith(u'$')) {
                const qsizetype dash = inner.indexOf(u'-', 1);
                literal(inner.mid(1, (dash < 0 ? inner.size() : dash) - 1));
                bool ok = false;
                const uint lcid = dash < 0 ? 0 : inner.mid(dash + 1).toUInt(&ok, 16);
                if (ok && lcid)
                    *names = localeOfId(lcid, *names);
            } else if (!lower.isEmpty() && lower.count(lower[0]) == lower.size() &&
                       (lower[0] == u'h' || lower[0] == u'm' || lower[0] == u's')) {
                add(lower[0] == u'h' ? Token::ElapsedHours
                                     : lower[0] == u'm' ? Token::ElapsedMinutes : Token::ElapsedSeconds,
                    quint8(std::min<qsizetype>(lower.size(), 9)));
            } else if (!inner.isEmpty() && (inner[0] == u'<' || inner[0] == u'>' || inner[0] == u'=')) {
                qsizetype k = 1;
                if (inner.startsWith(u"<=")) { s.cond = Section::Cond::Le; k = 2; }
                else if (inner.startsWith(u">=")) { s.cond = Section::Cond::Ge; k = 2; }
                else if (inner.startsWith(u"<>")) { s.cond = Section::Cond::Ne; k = 2; }
                else if (inner[0] == u'<') s.cond = Section::Cond::Lt;
                else if (inner[0] == u'>') s.cond = Section::Cond::Gt;
                else s.cond = Section::Cond::Eq;
                s.operand = inner.mid(k).trimmed().toDouble();
            }
            // colours, [DBNum..] and other switches change no text
        } else if (c == u'0' || c == u'#' || c == u'?') {
            t.push_back({Token::Digit, char(c.unicode()), quint8(part), {}, {}});
            if (part <= 2)
                (part == 0 ? s.intDigits : part == 1 ? s.fracDigits : s.expDigits)++;
            else
                s.denPlaceholders += char(c.unicode());
            lastWasDigit = true;
        } else if (c == u'.') {
            const bool afterSeconds = !t.empty() && (t.back().kind == Token::Second || t.back().kind == Token::Second2 ||
                                                     t.back().kind == Token::ElapsedSeconds);
            if (afterSeconds && i + 1 < n && code[i + 1] == u'0') {
                qsizetype k = i + 1;
                while (k < n && code[k] == u'0')
                    ++k;
                s.secondDigits = int(std::min<qsizetype>(k - i - 1, 3));
                add(Token::SecondFraction, quint8(s.secondDigits));
                i = k - 1;
            } else if (part == 0) {
                add(Token::Point);
                part = 1;
            } else {
                literal(QStringLiteral("."));
            }
        } else if (c == u',' && digitBefore && part == 0) {
            qsizetype k = i;
            while (k < n && code[k] == u',')
                ++k;
            if (k < n && (code[k] == u'0' || code[k] == u'#' || code[k] == u'?'))
                s.grouping = true;
            else
                s.scale -= 3 * int(k - i);
            i = k - 1;
            lastWasDigit = s.grouping;
        } else if (c == u',' && digitBefore && part == 1) {
            const qsizetype run = runOf();
            s.scale -= 3 * int(run); // "0.0," scales too
            i += run - 1;
        } else if (c == u'%') {
            s.scale += 2;
            literal(QStringLiteral("%"));
        } else if (u == u'e' && i + 1 < n && (code[i + 1] == u'+' || code[i + 1] == u'-') && s.intDigits + s.fracDigits > 0 &&
                   !s.hasExponent) {
            t.push_back({Token::Exponent, char(code[i + 1].unicode()), 0, {}, {}});
            s.hasExponent = true;
            part = 2;
            ++i;
        } else if (c == u'@') {
            text = true;
            add(Token::TextValue);
        } else if (c == u'/' && digitBefore && part == 0 && !s.fraction && i + 1 < n &&
                   (code[i + 1] == u'?' || code[i + 1] == u'#' || code[i + 1].isDigit())) {
            s.fraction = true;
            add(Token::FractionBar);
            if (code[i + 1] >= u'1' && code[i + 1] <= u'9') {
                // a fixed denominator
                qsizetype k = i + 1;
                while (k < n && code[k].isDigit() && s.fixedDenominator < 100000000)
                    s.fixedDenominator = s.fixedDenominator * 10 + code[k++].digitValue();
                while (k < n && code[k].isDigit())
                    ++k;
                i = k - 1;
            } else {
                part = 4;
            }
        } else if (c == u'/') {
            add(Token::DateSeparator);
        } else if (u == u'g' && code.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0) {
            add(Token::General);
            s.general = true;
            i += 6;
        } else if (u == u'a' && code.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            const QString am = code.mid(i, 2), pm = code.mid(i + 3, 2);
            t.push_back({Token::AmPm, 0, 0, utf8(am), utf8(pm)});
            s.twelveHour = true;
            i += 4;
        } else if (u == u'a' && code.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            t.push_back({Token::AmPm, 0, 0, utf8(code.mid(i, 1)), utf8(code.mid(i + 2, 1))});
            s.twelveHour = true;
            i += 2;
        } else if (u == u'a' && runOf() >= 3) {
            // day names as Japanese formats write them: aaa short, aaaa long
            const qsizetype run = runOf();
            add(run == 3 ? Token::DayShort : Token::DayLong);
            i += run - 1;
        } else if ((u == u'e' || u == u'g') && eraOf(*names)) {
            // the era and its year, in the Japanese and the Taiwanese calendars
            const qsizetype run = runOf();
            t.push_back({u == u'g' ? Token::EraName : Token::EraYear, eraOf(*names),
                         quint8(std::min<qsizetype>(run, 4)), {}, {}});
            i += run - 1;
        } else if (u == u'y' || u == u'e') {
            const qsizetype run = runOf();
            add(run <= 2 && u == u'y' ? Token::Year2 : Token::Year4);
            i += run - 1;
        } else if (u == u'm') {
            const qsizetype run = runOf();
            add(run == 1 ? Token::Month : run == 2 ? Token::Month2 : run == 3 ? Token::MonthShort
                : run == 5 ? Token::MonthLetter : Token::MonthLong);
            i += run - 1;
        } else if (u == u'd') {
            const qsizetype run = runOf();
            add(run == 1 ? Token::Day : run == 2 ? Token::Day2 : run == 3 ? Token::DayShort : Token::DayLong);
            i += run - 1;
        } else if (u == u'h') {
            const qsizetype run = runOf();
            add(run == 1 ? Token::Hour : Token::Hour2);
            i += run - 1;
        } else if (u == u's') {
            const qsizetype run = runOf();
            add(run == 1 ? Token::Second : Token::Second2);
            i += run - 1;
        } else {
            literal(QString(c));
        }
    }
    // m and mm next to hours or seconds are minutes.
    const auto neighbour = [&](size_t at, int step) -> const Token* {
        for (qsizetype k = qsizetype(at) + step; k >= 0 && k < qsizetype(t.size()); k += step) {
            if (isDateToken(t[size_t(k)].kind))
                return &t[size_t(k)];
        }
        return nullptr;
    };
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind != Token::Month && t[k].kind != Token::Month2)
            continue;
        const Token* before = neighbour(k, -1);
        const Token* after = neighbour(k, 1);
        const bool minute = (before && (before->kind == Token::Hour || before->kind == Token::Hour2 ||
                                        before->kind == Token::ElapsedHours)) ||
                            (after && (after->kind == Token::Second || after->kind == Token::Second2 ||
                                       after->kind == Token::ElapsedSeconds));
        if (minute)
            t[k].kind = t[k].kind == Token::Month ? Token::Minute : Token::Minute2;
    }
    // A fraction's numerator is the run of digits before its bar; digits before that, apart from it by a
    // literal, are its integer part.
    if (s.fraction) {
        size_t bar = 0;
        while (t[bar].kind != Token::FractionBar)
            ++bar;
        size_t k = bar;
        while (k > 0 && t[k - 1].kind == Token::Digit && t[k - 1].width == 0) {
            t[--k].width = 3;
            s.numPlaceholders.insert(s.numPlaceholders.begin(), t[k].placeholder);
            --s.intDigits;
        }
        while (k > 0 && t[k - 1].kind == Token::Literal && s.intDigits > 0)
            t[--k].width = 1;
    }
    // A month's full name beside a day of the month is genitive, unless a literal other than a space (or a
    // comma after it) touches it.
    bool dayOfMonth = false;
    for (const Token& k : t)
        dayOfMonth = dayOfMonth || k.kind == Token::Day || k.kind == Token::Day2;
    for (size_t k = 0; dayOfMonth && k < t.size(); ++k) {
        if (t[k].kind != Token::MonthLong)
            continue;
        const bool before = k > 0 && t[k - 1].kind == Token::Literal && !t[k - 1].text.ends_with(' ');
        const bool after = k + 1 < t.size() && t[k + 1].kind == Token::Literal && !t[k + 1].text.starts_with(' ') &&
                           !t[k + 1].text.starts_with(',');
        t[k].width = before || after ? 0 : 1;
    }
    for (const Token& k : t) {
        s.date = s.date || isDateToken(k.kind) || k.kind == Token::AmPm;
        s.calendar = s.calendar || (k.kind >= Token::Year2 && k.kind <= Token::DayLong);
        s.weekday = s.weekday || k.kind == Token::DayShort || k.kind == Token::DayLong;
        s.clock = s.clock || k.kind >= Token::Hour;
        s.elapsed = s.elapsed || k.kind == Token::ElapsedHours || k.kind == Token::ElapsedMinutes ||
                    k.kind == Token::ElapsedSeconds;
        if (k.kind == Token::Digit && k.width == 0)
            s.intPlaceholders += k.placeholder;
        if (s.fraction && k.kind == Token::Digit && k.width != 0 && k.width != 3 && k.width != 4)
            s.fraction = false; // decimals or an exponent beside a fraction: not one
        s.expZeros += k.kind == Token::Digit && k.width == 2 && k.placeholder == '0';
    }
    s.engineering = s.hasExponent && s.intDigits > 1 && s.intPlaceholders.find('#') != std::string::npos;
    s.optionalDecimals = s.fracDigits > 0 && !s.hasExponent;
    for (const Token& k : t)
        s.optionalDecimals =
            s.optionalDecimals && !(k.kind == Token::Digit && k.width == 1 && k.placeholder != '#');
    s.text = text && !s.date;
    return s;
}

bool NumberFormat::format(double v, bool date1904, std::string& out) const
{
    if (_sections.empty() || !std::isfinite(v))
        return false;
    const size_t n = _sections.size();
    size_t index = 0;
    bool negative = false;
    if (_conditional) {
        // The first section's condition; then a second section of its own condition, or without one the
        // negatives when a third follows (else the rest); then a third for the rest.
        const Section& second = _sections[std::min<size_t>(1, n - 1)];
        if (_sections[0].matches(v))
            index = 0;
        else if (n >= 2 && (second.cond != Section::Cond::None ? second.matches(v) : (n == 2 || v < 0)))
            index = 1;
        else if (n >= 3 && _sections[2].matches(v))
            index = 2;
        else {
            formatGeneralTo(out, std::fabs(v), _texts.decimal); // as LibreOffice shows it
            return true;
        }
        // Only the first section shows a minus, unless it is for the numbers below zero.
        const Section& first = _sections[0];
        negative = index == 0 && v < 0 &&
                   !((first.cond == Section::Cond::Lt || first.cond == Section::Cond::Le) && first.operand == 0);
    } else if (v < 0 && n >= 2) {
        index = 1;
    } else if (v == 0 && n >= 3) {
        index = 2;
    } else {
        negative = v < 0;
    }
    const Section& s = _sections[index];
    if (!negative)
        v = std::fabs(v);
    if (s.date)
        return formatDate(s, v, date1904, out);
    if (s.fraction)
        return formatFraction(s, v, negative, out);
    formatNumber(s, v, negative, out);
    return true;
}

void NumberFormat::formatNumber(const Section& s, double v, bool negative, std::string& out) const
{
    double x = std::fabs(v);
    if (s.scale)
        x *= std::pow(10.0, s.scale);
    int exponent = 0;
    if (s.hasExponent && x > 0) {
        char buf[40];
        const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
        const char* e = std::find(buf, r.ptr, 'e');
        std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, exponent);
        const int step = std::max(1, s.intDigits);
        if (s.engineering)
            exponent = exponent >= 0 ? exponent / step * step : -((-exponent + step - 1) / step * step);
        else
            exponent -= step - 1;
        x /= std::pow(10.0, exponent);
    }
    std::string intPart, fracPart;
    roundDecimal(x, s.fracDigits, intPart, fracPart);
    if (s.hasExponent && !intPart.empty() && int(intPart.size()) > std::max(1, s.intDigits)) {
        // 9.99 rounded up to 10.0: one more in the exponent (999.9 to 1.0E+3 in steps of three)
        const int grow =
            s.engineering ? std::max(1, s.intDigits) : int(intPart.size()) - std::max(1, s.intDigits);
        exponent += grow;
        roundDecimal(x / std::pow(10.0, grow), s.fracDigits, intPart, fracPart);
    }
    const bool allZero = intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos;
    if (negative && !(allZero && !s.general))
        out += _minus;

    // Integer placeholders are filled right to left.
    const std::string& intPlaceholders = s.intPlaceholders;
    const int L = int(intPart.size());
    const int P = int(intPlaceholders.size());
    std::string grouped; // the whole integer part, used with thousands separators
    if (s.grouping) {
        const int width = std::max(L, P);
        for (int r = width - 1; r >= 0; --r) {
            char ch = r < L ? intPart[size_t(L - 1 - r)] : fillOf(intPlaceholders[size_t(P - 1 - r)]);
            if (!ch)
                continue;
            grouped += ch;
            if (r > 0 && r % 3 == 0 && ch != ' ')
                grouped += _texts.group;
        }
    }
    int intIndex = 0;
    int fracIndex = 0;
    const size_t shown = fracPart.find_last_not_of('0') == std::string::npos ? 0 : fracPart.find_last_not_of('0') + 1;
    for (const Token& k : s.tokens) {
        switch (k.kind) {
        case Token::Literal: out += k.text; break;
        case Token::General: formatGeneralTo(out, std::fabs(v), _texts.decimal); break;
        case Token::Digit:
            if (k.width == 0) {
                const int r = P - 1 - intIndex; // place from the right
                if (s.grouping) {
                    if (intIndex == 0)
                        out += grouped;
                } else if (intIndex == 0 && L > P - 1 && L > 0) {
                    out.append(intPart, 0, size_t(L - (P - 1)));
                } else if (r < L) {
                    out += intPart[size_t(L - 1 - r)];
                } else if (const char f = fillOf(k.placeholder)) {
                    out += f;
                }
                ++intIndex;
            } else if (k.width == 1) {
                if (size_t(fracIndex) < shown)
                    out += fracPart[size_t(fracIndex)];
                else if (const char f = fillOf(k.placeholder))
                    out += f;
                ++fracIndex;
            }
            break;
        case Token::Point:
            if (P == 0)
                out += intPart;
            if (shown > 0 || !s.optionalDecimals) // "0.##" shows 7 as "7", as LibreOffice does
                out += _texts.decimal;
            break;
        case Token::DateSeparator: out += '/'; break;
        case Token::Exponent: {
            out += 'E';
            if (exponent < 0)
                out += '-';
            else if (k.placeholder == '+')
                out += '+';
            appendInt(out, exponent < 0 ? -exponent : exponent, s.expZeros);
            break;
        }
        default: break;
        }
    }
}

bool NumberFormat::formatDate(const Section& s, double serial, bool date1904, std::string& out) const
{
    if (!std::isfinite(serial) || (!s.elapsed && (serial > 2958466.0 || serial < -695056.0)))
        return false;
    ShownTime t;
    if (!shownTime(serial, std::clamp(s.secondDigits, 0, 3), s.calendar, s.clock, s.elapsed, date1904, t)) {
        out += "#FMT"; // LibreOffice's text for an elapsed time it cannot count
        return true;
    }
    if (t.negative)
        out += _minus;
    const qint64 days = t.day;
    const qint64 secOfDay = t.secondOfDay;
    qint64 y = 0;
    unsigned m = 1, d = 1;
    if (s.calendar && !civilOfSerialDay(days, date1904, y, m, d))
        return false;
    const qint64 totalSeconds = t.elapsed;
    const int hour = int(secOfDay / 3600);
    const int hourShown = s.twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
    // Day of the week, Monday 0; 1900-02-29 of the 1900 system counts as a Wednesday.
    static const qint64 base1900 = daysFromCivil(1899, 12, 30);
    static const qint64 base1904 = daysFromCivil(1904, 1, 1);
    const qint64 epochDay = date1904 ? base1904 + days : base1900 + days + (days >= 0 && days < 61 ? 1 : 0);
    const int weekday = s.weekday ? int(((epochDay % 7) + 7 + 3) % 7) : 0;
    for (const Token& k : s.tokens) {
        switch (k.kind) {
        case Token::Literal: out += k.text; break;
        case Token::Point: out += '.'; break; // a date's separator, not a decimal point
        case Token::Year2: appendInt(out, y % 100, 2); break;
        case Token::Year4: appendInt(out, y, 4); break;
        case Token::EraName: case Token::EraYear: appendEra(out, k, y, m, d); break;
        case Token::Month: appendInt(out, m, 1); break;
        case Token::Month2: appendInt(out, m, 2); break;
        case Token::MonthShort: out += _texts.monthShort[m - 1]; break;
        case Token::MonthLong: out += (k.width ? _texts.monthGenitive : _texts.monthLong)[m - 1]; break;
        case Token::MonthLetter: {
            const std::string& name = _texts.monthLong[m - 1];
            size_t len = 1;
            while (len < name.size() && (uchar(name[len]) & 0xC0) == 0x80)
                ++len;
            out.append(name, 0, len);
            break;
        }
        case Token::Day: appendInt(out, d, 1); break;
        case Token::Day2: appendInt(out, d, 2); break;
        case Token::DayShort: out += _texts.dayShort[size_t(weekday)]; break;
        case Token::DayLong: out += _texts.dayLong[size_t(weekday)]; break;
        case Token::DateSeparator: out += _texts.dateSeparator; break;
        case Token::Hour: appendInt(out, hourShown, 1); break;
        case Token::Hour2: appendInt(out, hourShown, 2); break;
        case Token::Minute: appendInt(out, secOfDay / 60 % 60, 1); break;
        case Token::Minute2: appendInt(out, secOfDay / 60 % 60, 2); break;
        case Token::Second: appendInt(out, secOfDay % 60, 1); break;
        case Token::Second2: appendInt(out, secOfDay % 60, 2); break;
        case Token::SecondFraction:
            out += _texts.decimal;
            appendInt(out, t.fraction, k.width);
            break;
        case Token::ElapsedHours: appendInt(out, totalSeconds / 3600, k.width); break;
        case Token::ElapsedMinutes: appendInt(out, totalSeconds / 60, k.width); break;
        case Token::ElapsedSeconds: appendInt(out, totalSeconds, k.width); break;
        case Token::AmPm:
            // AM/PM in the locale's words; A/P as written
            if (k.text.size() == 2 && !_texts.am.empty())
                out += hour < 12 ? _texts.am : _texts.pm;
            else
                out += hour < 12 ? k.text : k.text2;
            break;
        default: break;
        }
    }
    return true;
}

} // namespace xlsx
