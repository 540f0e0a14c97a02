// The date and time a serial shows, rounded as LibreOffice rounds it.

#include "data/NumberFormatTime.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace xlsx {

namespace {
double pow10(int n)
{
    static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return n >= 0 && n <= 22 ? kExact[n] : std::pow(10.0, n);
}

qint64 floorDiv(qint64 a, qint64 b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The time of day of a serial, as a clock shows it. The seconds are first rounded to the places the
// serial's size leaves significant (nine below one day, five on today's dates: a serial carries 15 digits,
// so 14:22:00 stored a few microseconds short shows 14:22:00), then cut to the second (23:59:59.6 shows
// 23:59:59). The fraction shown is what is left of that double, rounded half up unless it would round to a
// whole second (59.996 shows 59.99); so 21.665 s, stored as 21.66499999999996..., shows 21.66.
void clockOf(double serial, int digits, int& secondOfDay, int& fraction)
{
    secondOfDay = 0;
    fraction = 0;
    const double ofDay = serial - std::floor(approxValue(serial));
    if (!(ofDay > 0 && ofDay < 1))
        return; // midnight, or a hair below a whole day
    const double raw = ofDay * 86400.0;
    const double size = std::fabs(serial);
    const int places = size >= 1 ? std::clamp(10 - int(std::ceil(std::log10(size))), 2, 9) : 9;
    double seconds = roundHalfUp(raw, places);
    if (seconds >= 86400.0)
        seconds = raw;
    const int hour = int(seconds / 3600.0);
    seconds -= hour * 3600.0;
    const int minute = int(seconds / 60.0);
    seconds -= minute * 60.0;
    const int second = int(seconds);
    seconds -= second;
    secondOfDay = hour * 3600 + minute * 60 + second;
    if (digits > 0) {
        const double unit = pow10(digits);
        const double rounded = roundHalfUp(seconds, digits);
        const double steps = rounded < 1.0 ? std::round(rounded * unit) : std::trunc(seconds * unit);
        fraction = std::clamp(int(steps), 0, int(unit) - 1);
    }
}
} // namespace

double approxValue(double v)
{
    const double a = std::fabs(v);
    if (a == 0 || !std::isfinite(a) || a > 0x1p41)
        return v;
    int exponent = 0;
    const quint64 mantissa = quint64(std::ldexp(std::frexp(a, &exponent), 53)); // a = mantissa * 2^(exponent-53)
    if (53 - exponent - std::countr_zero(mantissa) <= 11)
        return v; // an integer, or few enough binary places to be exact in decimals
    const int places = 14 - int(std::floor(std::log10(a)));
    const double scale = pow10(std::abs(places));
    double r = places < 0 ? a / scale : a * scale;
    if (!std::isfinite(r))
        return v;
    r = std::round(r);
    r = places < 0 ? r * scale : r / scale;
    return std::isfinite(r) ? std::copysign(r, v) : v;
}

double roundHalfUp(double v, int decimals)
{
    double a = std::fabs(v);
    if (a == 0 || !std::isfinite(a))
        return v;
    if (decimals >= 0 && (a >= 0x1p52 || a == std::floor(a)))
        return v;
    if (decimals > 0)
        decimals = std::min(decimals, 52 - std::ilogb(a)); // no more places than the double holds
    const double scale = pow10(std::abs(decimals));
    if (decimals != 0)
        a = decimals < 0 ? a / scale : a * scale;
    if (!std::isfinite(a) || a == 0)
        return decimals < 0 ? 0.0 : v;
    if (a < 0x1p52) // to whole numbers the double decides: 0.49999999999999 stays 0
        a = decimals == 0 ? std::floor(a + 0.5) : std::floor(approxValue(a + 0.5));
    if (decimals != 0)
        a = decimals < 0 ? a * scale : a / scale;
    return std::isfinite(a) ? std::copysign(a, v) : v;
}

bool shownTime(double serial, int digits, bool calendar, bool clock, bool elapsed, bool date1904, ShownTime& shown)
{
    shown = ShownTime();
    const double unit = pow10(digits);
    if (elapsed && !calendar) {
        // the whole time in seconds, rounded to the digits shown
        const double total = roundHalfUp(std::fabs(serial) * 86400.0, digits);
        if (total > 4294967295.0)
            return false;
        shown.negative = serial < 0 && total != 0;
        shown.elapsed = qint64(total);
        shown.secondOfDay = int(shown.elapsed % 86400);
        shown.fraction = std::clamp(int(std::llround((total - double(shown.elapsed)) * unit)), 0, int(unit) - 1);
        return true;
    }
    // A time beside a date is counted from 1970-01-01, as LibreOffice counts it: its places and the
    // remainder left for the fraction are those of that difference (25000.x keeps seven places, 45000.x five).
    const double epoch = calendar ? (date1904 ? 24107.0 : 25569.0) : 0.0;
    double x = serial;
    if (calendar && clock) {
        // a date with a time that rounds to midnight at the digits shown is the next day at 00:00
        const double fromEpoch = serial - epoch;
        double ofDay = roundHalfUp((fromEpoch - std::floor(fromEpoch)) * 86400.0, digits);
        if (ofDay >= 86400.0) {
            ofDay -= 86400.0;
            x = std::floor(serial + 0.5) + ofDay;
        }
        if (elapsed) { // "[h]" beside a date counts the hours of that day
            shown.elapsed = qint64(ofDay);
            shown.secondOfDay = int(shown.elapsed % 86400);
            shown.fraction = std::clamp(int(std::llround((ofDay - double(shown.elapsed)) * unit)), 0, int(unit) - 1);
        }
    }
    if (clock && !elapsed)
        clockOf(x - epoch, digits, shown.secondOfDay, shown.fraction);
    // the date of the serial rounded to the millisecond
    shown.day = floorDiv(qint64(roundHalfUp(x * 86400000.0, 0)), 86400000);
    return true;
}

} // namespace xlsx
