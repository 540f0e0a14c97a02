#include "data/SeriesImport.h"

#include "common/Prompt.h"
#include "common/SafeFileName.h"
#include "common/StringHelpers.h"
#include "data/DataText.h"
#include "data/SeriesFiles.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <map>

namespace SeriesImport {

namespace {
const QString kFontMarker = QStringLiteral("NSFont = ");

QChar cp1252(uchar b) {
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (b >= 0x80 && b < 0xA0)
        return QChar(high[b - 0x80]);
    return QChar(b);
}

QString decodeCp1252(QByteArrayView bytes) {
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes)
        s.append(cp1252(uchar(c)));
    return s;
}

std::optional<QString> strictDecode(QStringDecoder::Encoding enc, QByteArrayView bytes) {
    QStringDecoder decoder(enc, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Words after which the rest of the group is no text of the document.
bool isSkippedDestination(QByteArrayView word) {
    static const char* const words[] = {"fonttbl",
                                        "colortbl",
                                        "stylesheet",
                                        "info",
                                        "pict",
                                        "object",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "themedata",
                                        "colorschememapping",
                                        "datastore",
                                        "latentstyles",
                                        "listtable",
                                        "listoverridetable",
                                        "rsidtbl",
                                        "generator",
                                        "filetbl",
                                        "revtbl",
                                        "xmlnstbl",
                                        "fldinst",
                                        "bkmkstart",
                                        "bkmkend",
                                        "annotation",
                                        "atnid",
                                        "atnauthor",
                                        "nonshppict",
                                        "shppict",
                                        "mmathPr",
                                        "wgrffmtfilter",
                                        "pgdsctbl",
                                        // list numbers and bullets written before each list item
                                        "listtext",
                                        "pntext",
                                        "pn",
                                        "pntxta",
                                        "pntxtb",
                                        "listpicture"};
    for (const char* w : words) {
        if (word == QByteArrayView(w))
            return true;
    }
    return false;
}

// The Windows code page of an RTF font character set; 0 for the document's own.
int codePageOfCharset(int charset) {
    static const int pages[][2] = {{77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950},
                                   {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
                                   {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}, {255, 437}};
    for (const auto& p : pages) {
        if (p[0] == charset)
            return p[1];
    }
    return 0;
}

// \'hh bytes in a Windows code page as text; Windows-1252 for code pages without a decoder.
class CodePageDecoder {
public:
    QString decode(int codePage, QByteArrayView bytes) {
        if (codePage == 0 || codePage == 1252)
            return decodeCp1252(bytes);
        auto it = _decoders.find(codePage);
        if (it == _decoders.end())
            it = _decoders.emplace(codePage, QStringDecoder(nameOf(codePage), QStringDecoder::Flag::Stateless)).first;
        if (!it->second.isValid())
            return decodeCp1252(bytes);
        return it->second.decode(bytes);
    }

private:
    static QByteArray nameOf(int codePage) {
        switch (codePage) {
        case 932: return "Shift_JIS";
        case 936: return "GBK";
        case 949: return "windows-949";
        case 950: return "Big5";
        case 10000: return "macintosh";
        case 437: return "IBM437";
        case 850: return "IBM850";
        default: return "windows-" + QByteArray::number(codePage);
        }
    }
    std::map<int, QStringDecoder> _decoders;
};
} // namespace

QString accessErrorReason(const QString& error) {
    const QString head = accessErrorMessage();
    return (error.startsWith(head) ? error.mid(head.size()) : error).trimmed();
}

QString accessErrorMessage(const QString& reason) {
    const QString why = accessErrorReason(reason);
    return why.isEmpty() ? accessErrorMessage() : accessErrorMessage() + u'\n' + why;
}

QString chk_and_insert_validation(const QString& text) {
    QString s = text;
    s.remove(u'\\');
    s.remove(u'{');
    s.remove(u'}');
    return Trim_Str(s);
}

TextKind textKindOfPath(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext == QLatin1String("CSV"))
        return TextKind::Csv;
    if (ext == QLatin1String("RTF"))
        return TextKind::Rtf;
    return TextKind::Plain;
}

std::optional<QString> decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return strictDecode(QStringDecoder::Utf8, QByteArrayView(bytes).sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return strictDecode(QStringDecoder::Utf16LE, QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return strictDecode(QStringDecoder::Utf16BE, QByteArrayView(bytes).sliced(2));
    // UTF-16 without a mark: text of Latin letters has a zero byte in every other place.
    if (bytes.size() >= 4 && bytes.size() % 2 == 0) {
        qsizetype evenZeros = 0, oddZeros = 0;
        const qsizetype n = std::min<qsizetype>(bytes.size(), 4096);
        for (qsizetype i = 0; i < n; ++i) {
            if (bytes[i] == 0)
                (i % 2 ? oddZeros : evenZeros)++;
        }
        if (oddZeros > n / 4 && evenZeros == 0)
            return strictDecode(QStringDecoder::Utf16LE, bytes);
        if (evenZeros > n / 4 && oddZeros == 0)
            return strictDecode(QStringDecoder::Utf16BE, bytes);
    }
    if (auto utf8 = strictDecode(QStringDecoder::Utf8, bytes))
        return utf8;
    return decodeCp1252(bytes);
}

std::optional<QString> rtfToText(const QByteArray& bytes) {
    if (!bytes.startsWith("{\\rtf"))
        return std::nullopt;
    struct Group {
        bool skip = false;
        bool fontTable = false;
        int uc = 1;
        int font = -1;
    };
    QList<Group> stack{Group{}};
    QString out;
    QByteArray pendingBytes; // \'hh bytes, decoded together
    int skipChars = 0;       // characters after \uN that stand in for it
    int documentCodePage = 1252;
    int definedFont = -1;          // the font the font table is describing
    QHash<int, int> fontCodePages; // font -> code page, from its \fcharset or \cpg
    CodePageDecoder decoder;
    const auto flush = [&] {
        if (!pendingBytes.isEmpty()) {
            if (!stack.last().skip) {
                const int fontPage = fontCodePages.value(stack.last().font, 0);
                out += decoder.decode(fontPage ? fontPage : documentCodePage, pendingBytes);
            }
            pendingBytes.clear();
        }
    };
    const auto put = [&](QChar c) {
        flush();
        if (!stack.last().skip)
            out.append(c);
    };
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '{') {
            flush();
            stack.append(stack.last());
            skipChars = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            flush();
            if (stack.size() > 1)
                stack.removeLast();
            skipChars = 0;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (skipChars > 0)
                --skipChars;
            else if (!stack.last().skip)
                pendingBytes.append(c);
            ++i;
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= n)
            break;
        const char s = bytes[i];
        if (s == '\\' || s == '{' || s == '}') {
            if (skipChars > 0)
                --skipChars;
            else
                put(QChar(uchar(s)));
            ++i;
            continue;
        }
        if (s == '\'') {
            const QByteArray hex = bytes.mid(i + 1, 2);
            bool ok = false;
            const int value = hex.toInt(&ok, 16);
            i += 3;
            if (!ok)
                continue;
            if (skipChars > 0)
                --skipChars;
            else if (!stack.last().skip)
                pendingBytes.append(char(value));
            continue;
        }
        if (s == '*') {
            stack.last().skip = true;
            ++i;
            continue;
        }
        if (s == '~') {
            put(QChar(0x00A0));
            ++i;
            continue;
        }
        if (s == '\r' || s == '\n') {
            put(u'\n');
            ++i;
            continue;
        }
        if (!std::isalpha(uchar(s))) {
            ++i; // \- \_ \: and others carry no text here
            continue;
        }
        const qsizetype wordStart = i;
        while (i < n && std::isalpha(uchar(bytes[i])))
            ++i;
        const QByteArrayView word = QByteArrayView(bytes).sliced(wordStart, i - wordStart);
        bool hasParam = false;
        int param = 0;
        const qsizetype paramStart = i;
        if (i < n && (bytes[i] == '-' || std::isdigit(uchar(bytes[i])))) {
            ++i;
            while (i < n && std::isdigit(uchar(bytes[i])) && i - paramStart < 10)
                ++i;
            param = bytes.mid(paramStart, i - paramStart).toInt(&hasParam);
        }
        if (i < n && bytes[i] == ' ')
            ++i;
        flush(); // a control word ends a run of bytes (a font change may follow)
        if (word == "ansicpg" && hasParam && param > 0)
            documentCodePage = param;
        else if (word == "mac" || word == "pc" || word == "pca")
            documentCodePage = word == "mac" ? 10000 : word == "pc" ? 437 : 850;
        else if (word == "fonttbl")
            stack.last().fontTable = stack.last().skip = true;
        else if (word == "f" && hasParam && stack.last().fontTable)
            definedFont = param;
        else if (word == "fcharset" && hasParam && stack.last().fontTable && definedFont >= 0) {
            if (const int page = codePageOfCharset(param))
                fontCodePages.insert(definedFont, page);
        } else if (word == "cpg" && hasParam && param > 0 && stack.last().fontTable && definedFont >= 0)
            fontCodePages.insert(definedFont, param);
        else if (word == "f" && hasParam)
            stack.last().font = param;
        else if (word == "deff" && hasParam && stack.size() == 2)
            stack.last().font = param;
        else if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row" ||
                 word == "cell" || word == "nestcell")
            put(u'\n'); // each table cell is a value of its own
        else if (word == "tab")
            put(u'\t');
        else if (word == "emdash")
            put(QChar(0x2014));
        else if (word == "endash")
            put(QChar(0x2013));
        else if (word == "bullet")
            put(QChar(0x2022));
        else if (word == "lquote")
            put(QChar(0x2018));
        else if (word == "rquote")
            put(QChar(0x2019));
        else if (word == "ldblquote")
            put(QChar(0x201C));
        else if (word == "rdblquote")
            put(QChar(0x201D));
        else if (word == "uc" && hasParam)
            stack.last().uc = std::max(0, param);
        else if (word == "u" && hasParam) {
            const int code = param < 0 ? param + 65536 : param;
            if (code >= 0 && code <= 0xFFFF)
                put(QChar(char16_t(code)));
            skipChars = stack.last().uc;
        } else if (isSkippedDestination(word))
            stack.last().skip = true;
    }
    flush();
    return out;
}

QChar csvSeparator(QStringView text) {
    // Separator counts per record (outside quotes) over the first records.
    constexpr int kSample = 50;
    static const QChar candidates[] = {u',', u';', u'\t'};
    QList<std::array<int, 3>> counts;
    std::array<int, 3> current{};
    bool quoted = false;
    bool any = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && counts.size() < kSample; ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\r' || c == u'\n')) {
            if (any)
                counts << current;
            current = {};
            any = false;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k)
                current[k] += c == candidates[k];
            any = any || !c.isSpace();
        }
    }
    if (any && counts.size() < kSample)
        counts << current;
    // The separator that splits the most records into the same number of fields.
    int best = 0, bestScore = 0, bestWidth = 0;
    for (int k = 0; k < 3; ++k) {
        QHash<int, int> records; // fields - 1 -> records
        for (const auto& c : counts) {
            if (c[k] > 0)
                records[c[k]]++;
        }
        int score = 0, width = 0;
        for (auto it = records.cbegin(); it != records.cend(); ++it) {
            if (it.value() > score || (it.value() == score && it.key() > width)) {
                score = it.value();
                width = it.key();
            }
        }
        if (score > bestScore || (score == bestScore && score > 0 && width > bestWidth)) {
            best = k;
            bestScore = score;
            bestWidth = width;
        }
    }
    return candidates[best];
}

QList<QStringList> csvRecords(QStringView text, QChar separator, int* unclosedQuoteLine) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // the field has had a character other than leading blanks
    int line = 1;              // of the text, counting every line break
    int quoteLine = 0;         // where the open quote stands
    if (unclosedQuoteLine)
        *unclosedQuoteLine = 0;
    const auto endField = [&] {
        record << field;
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        records << record;
        record.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n')))
            ++line;
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == u'\r') {
                field += u'\n'; // a line break inside a field, whichever the file used
                if (i + 1 < n && text[i + 1] == u'\n') {
                    ++i;
                    ++line;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
                ++line;
            }
            endRecord();
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            quoteLine = line;
            fieldStarted = true;
            field.clear(); // blanks before the opening quote are not part of the value
        } else {
            field += c;
            if (!c.isSpace())
                fieldStarted = true;
        }
    }
    if (quoted) {
        // The rest of the file would be one value: nothing is read.
        if (unclosedQuoteLine)
            *unclosedQuoteLine = quoteLine;
        return {};
    }
    if (!field.isEmpty() || !record.isEmpty())
        endRecord();
    return records;
}

QStringList valuesOfText(const QString& text, TextKind kind, QString* error) {
    QStringList values;
    if (error)
        error->clear();
    if (kind == TextKind::Csv) {
        int unclosed = 0;
        const QList<QStringList> records = csvRecords(text, csvSeparator(text), &unclosed);
        if (unclosed) {
            if (error)
                *error = unclosedQuoteMessage(unclosed);
            return values;
        }
        for (const QStringList& record : records) {
            for (const QString& piece : record) {
                const QString v = chk_and_insert_validation(withoutControls(piece, true));
                if (v.contains(kFontMarker))
                    break;
                if (!v.isEmpty())
                    values << v;
            }
        }
        return values;
    }
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString v = chk_and_insert_validation(withoutControls(line, true));
        if (v.contains(kFontMarker))
            break;
        if (!v.isEmpty())
            values << v;
    }
    return values;
}

TextImport importTextFile(const QString& path) {
    TextImport result;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaxSourceBytes) {
        result.error = unreadableMessage();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = unreadableMessage();
        return result;
    }
    const TextKind kind = textKindOfPath(path);
    const std::optional<QString> text = kind == TextKind::Rtf ? rtfToText(bytes) : decodeText(bytes);
    if (!text) {
        result.error = corruptMessage();
        return result;
    }
    if (Trim_Str(*text).isEmpty()) {
        result.error = noValuesMessage();
        return result;
    }
    result.values = valuesOfText(*text, kind, &result.error);
    return result;
}

std::optional<QStringList> valuesOfPastedText(const QString& text, bool fileMode) {
    const QString trimmed = Trim_Str(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    QStringList values;
    for (const QStringView line : QStringView(trimmed).split(u'\n')) {
        QString value = withoutControls(line, true);
        if (!fileMode || !value.isEmpty())
            values << value;
    }
    return values;
}

const QStringList& pictureExtensions() {
    static const QStringList ext{QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                 QStringLiteral("jfif"), QStringLiteral("gif"),  QStringLiteral("bmp"),
                                 QStringLiteral("png"),  QStringLiteral("tif"),  QStringLiteral("tiff")};
    return ext;
}

void sortNaturally(QStringList& names, const QLocale& locale) {
    // The C locale has no collation of its own (Qt then compares code points); a neutral one stands in.
    const QLocale loc = locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    QCollator collator(loc);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b; // names equal to the collator keep one fixed order
    });
}

QStringList pictureFolderValues(const QString& folder, const std::atomic<bool>* stop,
                                const std::function<void(int)>& progress) {
    QStringList values;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return values;
    QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    sortNaturally(names);
    int seen = 0;
    for (const QString& name : names) {
        if (stop && stop->load())
            break;
        const QFileInfo fi(dir.filePath(name));
        if (fi.exists() && !fi.isDir() && pictureExtensions().contains(fi.suffix().toLower()))
            values << fi.filePath();
        if (progress && (++seen % 256) == 0)
            progress(seen);
    }
    return values;
}

QString seriesNameOfTyped(const QString& typed, QString* problem) {
    const QString name = Remove_Reserve_Char_In_File_Name(typed);
    if (name.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("Please enter list name.");
        return {};
    }
    const QString why = fileNameProblem(name);
    if (!why.isEmpty()) {
        if (problem)
            *problem = why;
        return {};
    }
    return name;
}

bool hasValues(const QStringList& values) {
    for (const QString& v : values) {
        if (!Trim_Str(v).isEmpty())
            return true;
    }
    return false;
}

QString seriesNameChangeNote(const QString& typed, const QString& name) {
    const QString asTyped = Trim_Str(typed);
    if (name.isEmpty() || asTyped == name)
        return {};
    return QStringLiteral("The series name \"%1\" was saved as \"%2\".").arg(asTyped, name);
}

QString seriesNameOfHeader(const QString& header) {
    return makeSafeFileName(Remove_Reserve_Char_In_File_Name(header));
}

SaveResult checkNewSeriesTarget(const QString& typedName, QString* name, QString* message) {
    QString problem;
    const QString checked = seriesNameOfTyped(typedName, &problem);
    if (checked.isEmpty()) {
        if (message)
            *message = problem;
        return SaveResult::BadName;
    }
    if (SeriesFiles::exists(checked) && !Show_YES_NO_MessageBox(replaceQuestion()))
        return SaveResult::Declined;
    if (name)
        *name = checked;
    return SaveResult::Saved;
}

SaveResult saveNewSeries(const QString& typedName, const QStringList& values, QString* message) {
    QString name;
    const SaveResult target = checkNewSeriesTarget(typedName, &name, message);
    if (target != SaveResult::Saved)
        return target;
    QString error;
    if (!SeriesFiles::writeSeries(name, values, &error)) {
        Show_NSLog_Message(error);
        if (message)
            *message = accessErrorMessage();
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

QStringList sheetColumnTitles(const SheetData& sheet) {
    return XlsxReader::headerTitles(sheet);
}

QStringList sheetValuesRowByRow(const SheetData& sheet, const QList<int>& columns, bool containsHeader,
                                bool keepEmpty) {
    QStringList values;
    for (int r = containsHeader ? 1 : 0; r < sheet.rowCount(); ++r) {
        for (int c : columns) {
            const QString v = Trim_Str(sheet.cell(r, c));
            if (keepEmpty || !v.isEmpty())
                values << v;
        }
    }
    return values;
}

QStringList sheetColumnValues(const SheetData& sheet, int column, bool containsHeader) {
    QStringList values;
    for (int r = containsHeader ? 1 : 0; r < sheet.rowCount(); ++r)
        values << Trim_Str(sheet.cell(r, column));
    return values;
}

std::optional<TableContent> tableOfSheet(const SheetData& sheet, const QList<int>& columns,
                                         bool containsHeader, const QString& rowNumberTitle, QString* error) {
    if (columns.isEmpty()) {
        if (error)
            *error = QStringLiteral("No column is selected.");
        return std::nullopt;
    }
    const int first = containsHeader ? 1 : 0;
    if (sheet.rowCount() <= first) {
        if (error)
            *error = corruptMessage();
        return std::nullopt;
    }
    const QStringList header = XlsxReader::headerTitles(sheet);
    TableContent table;
    table.titles << rowNumberTitle;
    for (int c : columns)
        table.titles << header.value(c, QStringLiteral("Untitled Column %1").arg(c + 1));
    for (int r = first; r < sheet.rowCount(); ++r) {
        QStringList row{QString::number(table.rows.size() + 1)};
        for (int c : columns)
            row << Trim_Str(sheet.cell(r, c));
        table.rows.append(std::move(row));
    }
    return table;
}

SheetRead readWorkbookSheet(const QString& path, int sheetIndex, const std::atomic<bool>* stop) {
    SheetRead result;
    XlsxReader reader;
    if (!reader.open(path, &result.error))
        return result;
    result.sheetNames = reader.sheetNames();
    if (sheetIndex >= 0 && sheetIndex < result.sheetNames.size()) {
        std::optional<SheetData> sheet = reader.readSheet(sheetIndex, &result.error, stop);
        if (sheet)
            result.sheet = std::make_shared<const SheetData>(std::move(*sheet));
        result.stopped = !sheet && stop && stop->load();
    }
    return result;
}

} // namespace SeriesImport
