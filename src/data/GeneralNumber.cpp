#include "data/NumberFormat.h"

#include <charconv>
#include <cmath>

using namespace xlsx;

QString XlsxReader::formatNumber(QByteArrayView text)
{
    std::string out;
    formatGeneralTo(out, std::string_view(text.data(), size_t(text.size())), ".");
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

namespace {
// Appends `s` with its decimal point written as `decimal`.
void appendWithDecimal(std::string& out, std::string_view s, std::string_view decimal)
{
    const size_t point = decimal == "." ? std::string_view::npos : s.find('.');
    if (point == std::string_view::npos) {
        out.append(s);
        return;
    }
    out.append(s.substr(0, point));
    out.append(decimal);
    out.append(s.substr(point + 1));
}

constexpr double kTwoTo53 = 9007199254740992.0; // integers below are exact
} // namespace

void xlsx::formatGeneralTo(std::string& out, std::string_view text, std::string_view decimal)
{
    const char* s = text.data();
    const qsizetype len = qsizetype(text.size());
    // Fast path: already a plain decimal in canonical form with at most 15 significant digits, in the range
    // General shows without an exponent.
    {
        qsizetype i = 0;
        if (i < len && s[i] == '-')
            ++i;
        const qsizetype intStart = i;
        while (i < len && s[i] >= '0' && s[i] <= '9')
            ++i;
        const qsizetype intDigits = i - intStart;
        qsizetype fracDigits = 0;
        bool ok = intDigits > 0 && intDigits <= 15 && !(intDigits > 1 && s[intStart] == '0');
        if (ok && i < len && s[i] == '.') {
            ++i;
            const qsizetype fracStart = i;
            while (i < len && s[i] >= '0' && s[i] <= '9')
                ++i;
            fracDigits = i - fracStart;
            ok = fracDigits > 0 && s[i - 1] != '0';
        }
        if (ok && i == len) {
            // Leading zeros of "0.00123" are not significant; from 0.00001 on, only short ones stay plain.
            qsizetype sig = intDigits + fracDigits;
            qsizetype zeros = 0;
            if (s[intStart] == '0') {
                for (qsizetype k = intStart + 2; k < len && s[k] == '0'; ++k)
                    ++zeros;
                sig = fracDigits - zeros;
            }
            const bool negZero = s[0] == '-' && intDigits == 1 && s[intStart] == '0' && fracDigits == 0;
            if (sig <= 15 && !negZero && (zeros < 4 || (zeros <= 8 && fracDigits <= 16))) {
                appendWithDecimal(out, text, decimal);
                return;
            }
        }
    }
    double d = 0;
    qsizetype start = 0;
    while (start < len && (s[start] == ' ' || s[start] == '+'))
        ++start;
    const auto res = std::from_chars(s + start, s + len, d);
    if (res.ec != std::errc() || !std::isfinite(d)) {
        const QByteArray t = QString::fromUtf8(s, len).trimmed().toUtf8();
        out.append(t.constData(), size_t(t.size()));
        return;
    }
    formatGeneralTo(out, d, decimal);
}

// General as LibreOffice shows it: 15 significant digits; integers up to 2^53 in full; an exponent from
// 10^15 on and for small numbers whose plain form would need more than 16 decimals or 9 leading zeros.
void xlsx::formatGeneralTo(std::string& out, double d, std::string_view decimal)
{
    if (d == 0 || !std::isfinite(d)) {
        out += '0';
        return;
    }
    const double a = std::fabs(d);
    char buf[64];
    if (a >= 1e15 && a < kTwoTo53 && a == std::floor(a)) {
        const auto r = std::to_chars(buf, buf + sizeof buf, qint64(d));
        out.append(buf, r.ptr);
        return;
    }
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 14);
    const std::string_view sci(buf, size_t(r.ptr - buf));
    const size_t mantStart = d < 0 ? 1 : 0;
    const size_t ePos = sci.find('e');
    std::string digits;
    for (size_t k = mantStart; k < ePos; ++k) {
        if (sci[k] != '.')
            digits += sci[k];
    }
    int exp = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exp);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int k = int(digits.size());
    const bool scientific = a >= 1e15 || (a < 1e-4 && (exp < -9 || k - 1 - exp > 16));
    if (d < 0)
        out += '-';
    if (scientific) {
        out += digits[0];
        if (k > 1) {
            out.append(decimal);
            out.append(digits, 1);
        }
        out += exp < 0 ? "E-" : "E+";
        const int e = exp < 0 ? -exp : exp;
        const int width = exp < 0 ? 2 : 3;
        const auto er = std::to_chars(buf, buf + sizeof buf, e);
        out.append(size_t(std::max(0, width - int(er.ptr - buf))), '0');
        out.append(buf, er.ptr);
        return;
    }
    const int pointPos = exp + 1; // digits before the decimal point
    if (pointPos <= 0) {
        out += '0';
        out.append(decimal);
        out.append(size_t(-pointPos), '0');
        out += digits;
    } else if (pointPos >= k) {
        out += digits;
        out.append(size_t(pointPos - k), '0');
    } else {
        out.append(digits, 0, size_t(pointPos));
        out.append(decimal);
        out.append(digits, size_t(pointPos));
    }
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
