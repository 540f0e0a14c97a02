#include "data/NumberFormat.h"

#include <charconv>
#include <cmath>
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

} // namespace xlsx

using namespace xlsx;

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
