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
#include <map>
#include <string_view>
#include <unordered_set>

namespace SeriesImport {

namespace {
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
    static const std::unordered_set<std::string_view> set(std::begin(words), std::end(words));
    return set.contains(std::string_view(word.data(), size_t(word.size())));
}

// The control words the text reader acts on; every other one (formatting) is passed over at once.
bool isActedOn(QByteArrayView word) {
    static const std::unordered_set<std::string_view> words = {
        "ansicpg", "mac",    "pc",     "pca",    "fonttbl", "f",         "fcharset",  "cpg",       "deff",
        "par",     "line",   "sect",   "page",   "row",     "cell",      "nestcell",  "tab",       "emdash",
        "endash",  "bullet", "lquote", "rquote", "uc",      "u",         "ldblquote", "rdblquote"};
    return words.contains(std::string_view(word.data(), size_t(word.size()))) || isSkippedDestination(word);
}

// The Windows code page of an RTF font character set (0 is ANSI, Western European); 0 for the document's own.
int codePageOfCharset(int charset) {
    static const int pages[][2] = {{0, 1252},   {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950},
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
            return decodeWindows1252(bytes);
        auto it = _decoders.find(codePage);
        if (it == _decoders.end())
            it = _decoders.emplace(codePage, QStringDecoder(nameOf(codePage), QStringDecoder::Flag::Stateless)).first;
        if (!it->second.isValid())
            return decodeWindows1252(bytes);
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
    // Groups nested deeper than any writer nests them share their parent's state, counted here.
    constexpr qsizetype kMaxDepth = 1024;
    qsizetype excessDepth = 0;
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
            if (stack.size() < kMaxDepth)
                stack.append(stack.last());
            else
                ++excessDepth;
            skipChars = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            flush();
            if (excessDepth > 0)
                --excessDepth;
            else if (stack.size() > 1)
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
        if (!isActedOn(word))
            continue;
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

bool hasValues(const PooledValues& values) {
    bool found = false;
    values.forEach([&found](std::string_view v) {
        found = found || !Trim_Str(QString::fromUtf8(v.data(), qsizetype(v.size()))).isEmpty();
    });
    return found;
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

PooledValues sheetValuesRowByRow(const SheetData& sheet, const QList<int>& columns, bool containsHeader,
                                 bool keepEmpty) {
    PooledValues values;
    for (int r = containsHeader ? 1 : 0; r < sheet.rowCount(); ++r) {
        for (int c : columns) {
            const QString v = Trim_Str(sheet.cell(r, c));
            if (keepEmpty || !v.isEmpty())
                values.append(QStringView(v));
        }
    }
    values.squeeze();
    return values;
}

PooledValues sheetColumnValues(const SheetData& sheet, int column, bool containsHeader) {
    PooledValues values;
    for (int r = containsHeader ? 1 : 0; r < sheet.rowCount(); ++r)
        values.append(QStringView(Trim_Str(sheet.cell(r, column))));
    values.squeeze();
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
    if (!reader.open(path, &result.error, stop)) {
        result.stopped = stop && stop->load();
        return result;
    }
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
