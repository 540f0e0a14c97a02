#pragma once

// The texts a locale gives spreadsheet number formats, as LibreOffice shows them: separators, month and day
// names, and the locale's own date and time formats as format codes.

#include <QLocale>
#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace xlsx {

std::string utf8(const QString& s);

// The locale of a language id named in a [$-...] tag (its low 16 bits); `fallback` for ids not known.
QLocale localeOfId(uint lcid, const QLocale& fallback);

struct LocaleTexts {
    std::string decimal, group, dateSeparator;
    std::vector<std::string> monthShort, monthLong, monthGenitive; // 12 each
    std::vector<std::string> dayShort, dayLong;                    // 7 each, Monday first
    std::string am, pm; // for AM/PM; empty: as the format code writes it
};
// The C locale counts as English with a point, a comma and a slash.
LocaleTexts localeTexts(const QLocale& locale);

// The format code a built-in format id (0 to 58) stands for in `locale`, as LibreOffice shows it: the locale's
// dates, times, percent and currency; the East Asian date and time ids in Japanese, Chinese and Korean.
// "General" for ids not known.
QString builtInFormatCode(int id, const QLocale& locale);

// The locale's long date ([$-F800]) and long time ([$-F400], with two-digit hours) as format codes.
QString longDateCode(const QLocale& locale);
QString longTimeCode(const QLocale& locale);

// The texts of boolean cells in the locale's language ("TRUE" and "FALSE" in English and languages not known).
std::pair<std::string, std::string> booleanTexts(const QLocale& locale);

} // namespace xlsx
