// Values of text, RTF and CSV sources: the CSV dialect, the splitting into values and the file import.

#include "data/SeriesImport.h"

#include "common/StringHelpers.h"
#include "data/DataText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <array>
#include <new>

namespace SeriesImport {

namespace {
constexpr std::string_view kFontMarker = "NSFont = ";

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The cleaned value (chk_and_insert_validation(withoutControls(raw, true))) added unless empty. False, and
// nothing added, when the value holds the font marker.
bool addCleaned(std::string_view raw, PooledValues& out) {
    if (raw.empty())
        return true;
    // Printable ASCII without backslashes and braces, not blank at either end, stays as it is.
    bool plain = uchar(raw.front()) > 0x20 && uchar(raw.back()) > 0x20;
    for (size_t i = 0; plain && i < raw.size(); ++i) {
        const uchar u = uchar(raw[i]);
        plain = u >= 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}';
    }
    if (plain) {
        if (raw.find(kFontMarker) != std::string_view::npos)
            return false;
        out.append(raw);
        return true;
    }
    const QString v =
        chk_and_insert_validation(withoutControls(QString::fromUtf8(raw.data(), qsizetype(raw.size())), true));
    if (v.contains(QLatin1StringView(kFontMarker.data(), qsizetype(kFontMarker.size()))))
        return false;
    if (!v.isEmpty())
        out.append(QStringView(v));
    return true;
}

// Excel's first line "sep=X": X (printable ASCII or tab, not a quote) and where the records begin.
std::optional<std::pair<char, qsizetype>> separatorLine(QByteArrayView text) {
    if (text.size() < 5 || qstrnicmp(text.data(), "sep=", 4) != 0)
        return std::nullopt;
    const char x = text[4];
    if (x == '"' || !(x == '\t' || (x >= 0x20 && x < 0x7F)))
        return std::nullopt;
    qsizetype next = 5;
    if (next < text.size() && text[next] == '\r')
        ++next;
    if (next < text.size() && text[next] == '\n')
        ++next;
    if (next == 5 && text.size() > 5)
        return std::nullopt; // more than one character on the line
    return std::make_pair(x, next);
}

// Separator counts of one record, outside quotes: comma, semicolon, tab, and commas that are no decimal
// commas (a decimal comma stands between digits, or after a digit before dashes: "5,-").
using Counts = std::array<int, 4>;
using Flags = std::array<bool, 3>;

struct Record {
    Counts counts{};
    Flags holds{};  // the candidate stands in the record, quoted or not
    Flags strong{}; // outside quotes, not followed by a blank; a comma not between two digits either
};

struct Sample {
    QList<Record> records;
    // The record the candidates must stand in: the first, unless it holds none of them at all (a title
    // line), then the first record that separates with one as a table does.
    qsizetype header = 0;
};

// Quotes open a field only at its start (after blanks), as the reader takes them; any candidate counts as
// the end of a field here. A comma between two digits is a decimal comma when its number holds no other
// such comma ("1,5" and "1.234,5", not "1,2,3"), or a thousands separator ("1,234,567.5").
Sample sampleOf(QByteArrayView text) {
    constexpr int kRecords = 50;
    static const char candidates[] = {',', ';', '\t'};
    Sample sample;
    Record current;
    bool quoted = false;
    bool fieldStart = true; // only blanks since the last candidate or record break
    bool any = false;
    char prev = 0;
    qsizetype numberEnd = 0;   // end of the run of digits, points and commas being passed
    bool numberIsList = false; // that run holds more than one comma between digits
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && sample.records.size() < kRecords; ++i) {
        const char c = text[i];
        for (int k = 0; k < 3; ++k)
            current.holds[k] = current.holds[k] || c == candidates[k];
        if (quoted) {
            if (c == '"' && i + 1 < n && text[i + 1] == '"')
                ++i;
            else if (c == '"')
                quoted = false;
            prev = 0;
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (any)
                sample.records << current;
            current = {};
            any = false;
            fieldStart = true;
        } else {
            if (isAsciiDigit(c) && i >= numberEnd) {
                // Commas between digits, and whether they group thousands ("1,234,567.5" is one number).
                int commas = 0, group = 0;
                bool grouped = true, firstGroup = true, point = false;
                qsizetype j = i;
                for (; j < n && (isAsciiDigit(text[j]) || text[j] == ',' || text[j] == '.'); ++j) {
                    const char d = text[j];
                    if (isAsciiDigit(d)) {
                        ++group;
                        continue;
                    }
                    if (d == ',') {
                        commas += isAsciiDigit(text[j - 1]) && j + 1 < n && isAsciiDigit(text[j + 1]);
                        grouped = grouped && !point && (firstGroup ? group >= 1 && group <= 3 : group == 3);
                    } else if (!point) {
                        grouped = grouped && (firstGroup || group == 3);
                        point = true;
                    }
                    firstGroup = false;
                    group = 0;
                }
                grouped = grouped && (firstGroup || point || group == 3);
                numberEnd = j;
                numberIsList = commas > 1 && !grouped;
            }
            const bool nextBlank = i + 1 < n && isBlank(text[i + 1]);
            for (int k = 0; k < 3; ++k)
                current.counts[k] += c == candidates[k];
            if (c == ',') {
                const bool betweenDigits = isAsciiDigit(prev) && i + 1 < n && isAsciiDigit(text[i + 1]);
                // "5,-" and "5,--": an amount whose decimals are dashes, not a comma before "-5".
                qsizetype dashes = i + 1;
                while (dashes < n && text[dashes] == '-')
                    ++dashes;
                const bool dashedAmount =
                    isAsciiDigit(prev) && dashes > i + 1 && !(dashes < n && isAsciiDigit(text[dashes]));
                if (!dashedAmount && (!betweenDigits || numberIsList))
                    ++current.counts[3];
                current.strong[0] = current.strong[0] || (!betweenDigits && !dashedAmount && !nextBlank);
            } else if (c == ';') {
                current.strong[1] = current.strong[1] || !nextBlank;
            } else if (c == '\t') {
                current.strong[2] = true;
            }
            if (c == ',' || c == ';' || c == '\t')
                fieldStart = true;
            else if (!isBlank(c))
                fieldStart = false;
            any = any || !isBlank(c);
        }
        prev = c == '\r' || c == '\n' ? 0 : c;
    }
    if (any && sample.records.size() < kRecords)
        sample.records << current;
    const auto holdsAny = [](const Flags& f) { return f[0] || f[1] || f[2]; };
    if (!sample.records.isEmpty() && !holdsAny(sample.records.first().holds)) {
        for (qsizetype r = 1; r < sample.records.size(); ++r) {
            if (holdsAny(sample.records[r].strong)) {
                sample.header = r;
                break;
            }
        }
    }
    return sample;
}
} // namespace

bool localeUsesDecimalComma() {
    return QLocale().decimalPoint() == QStringLiteral(",");
}

QString tooLargeMessage(const QString& reason) {
    return QStringLiteral("The file is too large to import: ") + reason;
}

char csvSeparator(QByteArrayView text, bool decimalComma, qsizetype* recordsStart) {
    if (recordsStart)
        *recordsStart = 0;
    if (const auto line = separatorLine(text)) {
        if (recordsStart)
            *recordsStart = line->second;
        return line->first;
    }
    const Sample sample = sampleOf(text);
    const qsizetype records = sample.records.size();
    // A candidate stands in the header and splits at least half of the records.
    const auto splitsEnough = [&](int column, int candidate) {
        if (records == 0 || !sample.records[sample.header].holds[candidate])
            return false;
        qsizetype split = 0;
        for (const Record& r : sample.records)
            split += r.counts[column] > 0;
        return split > 0 && split * 2 >= records;
    };
    // Commas between digits are decimal commas when another candidate or one column explains the file.
    const bool otherFits = splitsEnough(1, 1) || splitsEnough(2, 2);
    int commaColumn = 0;
    if (otherFits) {
        commaColumn = 3;
    } else if (decimalComma) {
        bool onlyDecimal = true;
        for (const Record& r : sample.records)
            onlyDecimal = onlyDecimal && r.counts[3] == 0;
        if (onlyDecimal)
            commaColumn = -1;
    }
    // Of the candidates left, the one that splits the most records into the same number of fields; a tie
    // goes to the tab (typed text holds commas and semicolons, hardly ever tabs), then to the semicolon where
    // the decimal separator is a comma, then to the wider split.
    static const char candidates[] = {',', ';', '\t'};
    char best = 0;
    int bestScore = 0, bestWidth = 0;
    for (int k = 0; k < 3; ++k) {
        const int column = k == 0 ? commaColumn : k;
        if (column < 0 || !splitsEnough(column, k))
            continue;
        QHash<int, int> widths; // separators -> records
        for (const Record& r : sample.records) {
            if (r.counts[column] > 0)
                widths[r.counts[column]]++;
        }
        int score = 0, width = 0;
        for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
            if (it.value() > score || (it.value() == score && it.key() > width)) {
                score = it.value();
                width = it.key();
            }
        }
        bool better = score > bestScore;
        if (score == bestScore && (candidates[k] == '\t' || best == '\t'))
            better = candidates[k] == '\t';
        else if (score == bestScore && decimalComma && (candidates[k] == ';' || best == ';'))
            better = candidates[k] == ';';
        else if (score == bestScore)
            better = width > bestWidth;
        if (better) {
            best = candidates[k];
            bestScore = score;
            bestWidth = width;
        }
    }
    return best;
}

namespace {
// CSV records by the standard rules, each field cleaned and added as it ends: fields separated by
// `separator` (none when 0), records by CR, LF or CR LF; a field in double quotes may hold separators and
// line breaks (kept as LF), and "" stands for one quote; a field holding the font marker ends its record.
// False, with the line (from 1) of a quote that never closes, when one does not.
bool csvValues(QByteArrayView text, qsizetype start, char separator, PooledValues& out, int* unclosedLine) {
    std::string buffer;          // the field, once a quote has opened in it
    bool buffered = false;       // the field is in buffer, not a slice of the text
    bool quoted = false;         // inside a quoted field
    bool fieldStarted = false;   // the field has had a character other than leading blanks
    bool recordEnded = false;    // the font marker ended the record
    qsizetype fieldStart = start;
    int line = start > 0 ? 2 : 1; // of the text, counting every line break
    int quoteLine = 0;
    const char* const s = text.data();
    const qsizetype n = text.size();
    const auto endField = [&](qsizetype end) {
        const std::string_view raw =
            buffered ? std::string_view(buffer) : std::string_view(s + fieldStart, size_t(end - fieldStart));
        if (!recordEnded && !addCleaned(raw, out))
            recordEnded = true;
        buffer.clear();
        buffered = fieldStarted = false;
    };
    for (qsizetype i = start; i < n; ++i) {
        const char c = s[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && s[i + 1] == '"') {
                    buffer += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '\r' || c == '\n') {
                buffer += '\n'; // a line break inside a field, whichever the file used
                if (c == '\r' && i + 1 < n && s[i + 1] == '\n')
                    ++i;
                ++line;
            } else {
                buffer += c;
            }
            continue;
        }
        if (separator && c == separator) {
            endField(i);
            fieldStart = i + 1;
        } else if (c == '\r' || c == '\n') {
            endField(i);
            if (c == '\r' && i + 1 < n && s[i + 1] == '\n')
                ++i;
            ++line;
            recordEnded = false;
            fieldStart = i + 1;
        } else if (c == '"' && !fieldStarted) {
            quoted = buffered = fieldStarted = true;
            quoteLine = line;
            buffer.clear(); // blanks before the opening quote are not part of the value
        } else {
            if (buffered)
                buffer += c;
            if (!isBlank(c))
                fieldStarted = true;
        }
    }
    if (quoted) {
        // The rest of the file would be one value: nothing is read.
        *unclosedLine = quoteLine;
        return false;
    }
    endField(n);
    return true;
}
} // namespace

PooledValues textValues(QByteArrayView utf8, TextKind kind, QString* error) {
    PooledValues values;
    if (error)
        error->clear();
    if (kind == TextKind::Csv) {
        qsizetype start = 0;
        const char separator = csvSeparator(utf8, localeUsesDecimalComma(), &start);
        int unclosed = 0;
        if (!csvValues(utf8, start, separator, values, &unclosed)) {
            if (error)
                *error = unclosedQuoteMessage(unclosed);
            return {};
        }
        return values;
    }
    qsizetype at = 0;
    while (at <= utf8.size()) {
        qsizetype end = utf8.indexOf('\n', at);
        if (end < 0)
            end = utf8.size();
        if (!addCleaned(std::string_view(utf8.data() + at, size_t(end - at)), values))
            break;
        at = end + 1;
    }
    return values;
}

QStringList valuesOfText(const QString& text, TextKind kind, QString* error) {
    const QByteArray utf8 = text.toUtf8();
    return textValues(utf8, kind, error).toStringList();
}

TextImport importTextFile(const QString& path) {
    TextImport result;
    try {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            result.error = unreadableMessage();
            return result;
        }
        if (file.size() > MaxSourceBytes) {
            result.error = tooLargeMessage(QStringLiteral("it holds %1 MB, more than the %2 MB that are read.")
                                               .arg((file.size() + (1 << 20) - 1) >> 20)
                                               .arg(MaxSourceBytes >> 20));
            return result;
        }
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            result.error = unreadableMessage();
            return result;
        }
        file.close();
        const TextKind kind = textKindOfPath(path);
        std::optional<QByteArray> utf8;
        if (kind == TextKind::Rtf) {
            std::optional<QString> text = rtfToText(bytes);
            bytes = QByteArray();
            if (text)
                utf8 = text->toUtf8();
        } else {
            TextEncoding how;
            utf8 = textFileToUtf8(std::move(bytes), &how);
            result.note =
                textEncodingNote(how, QStringLiteral("The file \"%1\"").arg(QFileInfo(path).fileName()));
            if (how.kind == TextEncoding::Kind::CodePage)
                result.note +=
                    QStringLiteral(" If letters look wrong, save it as UTF-8 text and import it again.");
        }
        if (!utf8) {
            result.error = corruptMessage();
            return result;
        }
        result.values = textValues(*utf8, kind, &result.error);
        if (result.values.isEmpty() && result.error.isEmpty())
            result.error = noValuesMessage();
        if (!result.error.isEmpty())
            result.note.clear();
        result.values.squeeze();
    } catch (const std::bad_alloc&) {
        result = TextImport();
        result.error = tooLargeMessage(QStringLiteral("there is not enough memory for its values."));
    }
    return result;
}

} // namespace SeriesImport
