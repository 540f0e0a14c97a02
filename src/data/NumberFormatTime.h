#pragma once

// The date and time a serial shows, rounded as LibreOffice rounds it.

#include <QtGlobal>

namespace xlsx {

// v rounded to 15 significant digits, unless it is an integer or has 11 or fewer binary fraction digits.
double approxValue(double v);
// v rounded half away from zero to `decimals` places (negative: tens, hundreds, ...). With places, after
// taking v * 10^decimals + 0.5 to 15 significant digits, so that 2.675 rounds to 2.68; to whole numbers
// the double itself decides, so 12030.499999999998 rounds to 12030.
double roundHalfUp(double v, int decimals);

struct ShownTime {
    qint64 day = 0;          // serial day of the date shown
    int secondOfDay = 0;     // time of day, for clock fields
    qint64 elapsed = 0;      // whole seconds, for [h], [m] and [s]
    int fraction = 0;        // the fraction of a second shown, in units of its last digit
    bool negative = false;   // an elapsed time below zero that shows as such
};

// What a date or time section shows of `serial`: with a date (`calendar`), a time of day (`clock`) or an
// elapsed time ([h], [m], [s]), with `digits` (0 to 3) digits of the second. False when an elapsed time
// exceeds 2^32 seconds, which LibreOffice shows as "#FMT". `date1904`: the workbook counts days from 1904.
bool shownTime(double serial, int digits, bool calendar, bool clock, bool elapsed, bool date1904,
               ShownTime& shown);

} // namespace xlsx
