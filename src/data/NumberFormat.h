#pragma once

// Spreadsheet number formats (SpreadsheetML built-in ids and format codes): a cell's number as the cell
// shows it. A format is compiled once per style; formatting a value then touches no Qt string.

#include "data/NumberFormatLocale.h"
#include "data/XlsxReader.h"

#include <QLocale>
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

// An ISO 8601 date, time or both for a spreadsheet serial into buf (at least 20 bytes); its length, or 0
// when the serial is no date between the years 1 and 9999. Serials below zero (dates before 1900, as
// LibreOffice writes them) count back from 1899-12-30.
size_t formatDateTo(char* buf, double serial, XlsxReader::DateKind kind, bool date1904);

// Appends a stored number as General shows it to `out`, with `decimal` as its decimal separator; a text that is
// no number is appended trimmed.
void formatGeneralTo(std::string& out, std::string_view text, std::string_view decimal);
void formatGeneralTo(std::string& out, double value, std::string_view decimal);

class NumberFormat {
public:
    // The longest format code spreadsheet programs accept; a longer one reads as General.
    static constexpr int MaxCodeLength = 255;

    // "General": the number as XlsxReader::formatNumber writes it.
    NumberFormat() = default;
    // The format of a cell style: its built-in id, or its code when the workbook defines one. Decimal and
    // thousands separators come from `locale`, as do month and day names unless the code names a locale.
    static NumberFormat compile(int numFmtId, const QString& code, const QLocale& locale);
    // The format code that a built-in id stands for in `locale` ("General" for unknown ids).
    static QString builtInCode(int numFmtId, const QLocale& locale);

    // General for numbers and no text section.
    bool isGeneral() const { return _sections.empty() && !_hasText; }
    // Appends the shown text of `value` to `out`; false (nothing appended) when this format cannot show
    // it (a date out of range, or a format for text only), so that the caller shows it as General.
    bool format(double value, bool date1904, std::string& out) const;
    bool hasTextSection() const { return _hasText; }
    // A text cell as the format's text section shows it ("Name: "@); false when it shows text as it is.
    bool formatText(std::string_view text, std::string& out) const;

    // What a digit placeholder shows where the number has no digit: '0' a zero, '?' a space, '#' nothing (0).
    static char fillOf(char placeholder) { return placeholder == '0' ? '0' : placeholder == '?' ? ' ' : 0; }

    struct Token {
        enum Kind : quint8 {
            Literal, General, Digit, Point, Exponent, DateSeparator, FractionBar, TextValue, Year2, Year4,
            EraName, EraYear, Month, Month2, MonthShort, MonthLong,
            MonthLetter, Day, Day2, DayShort, DayLong, Hour, Hour2, Minute, Minute2, Second, Second2,
            SecondFraction, ElapsedHours, ElapsedMinutes, ElapsedSeconds, AmPm
        } kind;
        char placeholder = 0; // Digit: '0', '#' or '?'; Exponent: '+' or '-'; eras: 'J' Japan's, 'T' Taiwan's
        quint8 width = 0;     // Digit: 0 integer, 1 fraction, 2 exponent, 3 numerator, 4 denominator;
                              // elapsed fields, eras: letters; SecondFraction: digits; MonthLong: 1 genitive;
                              // Literal: 1 between the integer and the numerator of a fraction
        std::string text;     // Literal: the text; AmPm: the text before noon, text2 after it
        std::string text2;
    };

private:
    struct Section {
        std::vector<Token> tokens;
        enum class Cond : quint8 { None, Lt, Le, Gt, Ge, Eq, Ne } cond = Cond::None;
        double operand = 0;
        bool date = false;      // date or time fields: the value is a serial
        bool calendar = false;  // year, month or day fields
        bool weekday = false;   // day names
        bool clock = false;     // hour, minute, second or AM/PM fields
        bool elapsed = false;   // [h], [m] or [s]
        bool grouping = false;  // thousands separators in the integer part
        bool twelveHour = false;
        int scale = 0;          // powers of ten: +2 per percent, -3 per scaling comma
        int intDigits = 0;      // placeholders before the point (or the exponent)
        int fracDigits = 0;     // placeholders after the point
        int expDigits = 0;      // exponent placeholders
        int secondDigits = 0;   // fractional-second digits shown
        bool hasExponent = false;
        bool engineering = false;   // "##0.0E+0": exponents in steps of the integer placeholders
        bool optionalDecimals = false; // only '#' after the point: no point when no decimal shows
        int expZeros = 0;           // least exponent digits
        std::string intPlaceholders; // '0', '#' or '?' of the integer part, in order
        bool general = false;   // holds a General token
        bool fraction = false;  // "# ?/?"
        int fixedDenominator = 0; // "# ?/8"
        std::string numPlaceholders, denPlaceholders; // of a fraction
        bool text = false;      // a text section ("@")
        bool matches(double v) const;
    };
    static Section compileSection(const QString& code, QLocale* names);
    void formatNumber(const Section& s, double v, bool negative, std::string& out) const;
    bool formatFraction(const Section& s, double v, bool negative, std::string& out) const;
    bool formatDate(const Section& s, double serial, bool date1904, std::string& out) const;

    std::vector<Section> _sections; // for numbers; empty: General
    Section _text;                  // for text cells, when _hasText
    bool _hasText = false;
    bool _conditional = false;      // some section has a condition
    std::string _minus = "-";
    LocaleTexts _texts;             // separators and names
};

} // namespace xlsx
