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

// The locale's short date with four-digit years (ISO order in the C locale), its long date and its long time
// (with two-digit hours), as format codes.
QString shortDateCode(const QLocale& locale);
QString longDateCode(const QLocale& locale);
QString longTimeCode(const QLocale& locale);
// " h:mm" or " hh:mm", as the locale's short time writes its hours.
QString shortTimeCode(const QLocale& locale);
// Built-in formats 15 (day, month name, year), 16 (day, month name) and 17 (month name, year) as spreadsheet
// programs of the locale's language show them; Excel's English forms for languages not known here.
QString dayMonthCode(int id, const QLocale& locale);

// Built-in currency formats 5 to 8 as the locale writes amounts: its symbol where it puts it, a minus sign
// (not parentheses) for negatives; with two decimals when `decimals`.
QString localCurrencyCode(const QLocale& locale, bool decimals);

// True where spreadsheet programs show the built-in formats 37 to 40 with a minus, not parentheses.
bool minusForNegatives(const QLocale& locale);

// The texts of boolean cells in the locale's language ("TRUE" and "FALSE" in English and languages not known).
std::pair<std::string, std::string> booleanTexts(const QLocale& locale);

} // namespace xlsx
