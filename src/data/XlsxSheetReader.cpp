#include "data/XlsxReader.h"

#include "data/NumberFormat.h"
#include "data/XmlStream.h"

#include <charconv>

using namespace xlsx;

std::string_view SheetData::cellView(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    const quint32 start = row == 0 ? 0 : rowEnds[size_t(row - 1)];
    if (quint32(column) >= rowEnds[size_t(row)] - start)
        return {};
    const quint32 ref = cells[start + quint32(column)];
    if (ref & kSharedBit)
        return sharedStrings ? sharedStrings->view((ref & ~kSharedBit) + 1) : std::string_view();
    return strings.view(ref);
}

QString SheetData::cell(int row, int column) const
{
    const std::string_view v = cellView(row, column);
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

int SheetData::rowWidth(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return int(rowEnds[size_t(row)] - (row == 0 ? 0 : rowEnds[size_t(row - 1)]));
}

void SheetData::appendRow(const quint32* refs, size_t count)
{
    cells.append(refs, count);
    rowEnds.push_back(quint32(cells.size()));
}

SheetData SheetData::fromRows(const QList<QStringList>& rows)
{
    SheetData s;
    std::vector<quint32> refs;
    for (const QStringList& row : rows) {
        refs.clear();
        for (const QString& v : row)
            refs.push_back(s.strings.add(v));
        while (!refs.empty() && refs.back() == 0)
            refs.pop_back();
        s.appendRow(refs.data(), refs.size());
        s.columnCount = qMax(s.columnCount, int(refs.size()));
    }
    return s;
}

size_t SheetData::memoryBytes() const
{
    return strings.bytes() + (cells.size() + rowEnds.size()) * sizeof(quint32);
}


namespace {
constexpr int kMaxColumns = 16384; // XFD
constexpr int kMaxRows = 1048576;

// Builds a sheet from streamed rows: rows without any value are left out at the start and the end and
// kept (empty) between rows that hold values; the used range is bounded before anything is kept.
struct SheetBuilder {
    SheetData& out;
    QString sheetName;
    qint64 maxCells;
    int lastKeptRow = 0;     // sheet row number of the last row kept
    PodBuffer<quint32> row;  // the row being read
    int badIndexCount = 0;
    QString firstBadIndexCell;
    qint64 formulasWithoutResult = 0;
    QString limitError;

    // Keeps the row just read, when it holds a value. False when the sheet passes the limit.
    bool commit(int rowNumber)
    {
        size_t width = row.size();
        while (width > 0 && row[width - 1] == 0)
            --width;
        if (width == 0)
            return true;
        if (out.rowEnds.empty()) {
            out.firstRowNumber = rowNumber;
        } else {
            for (int r = lastKeptRow + 1; r < rowNumber; ++r)
                out.appendRow(nullptr, 0);
        }
        lastKeptRow = rowNumber;
        out.columnCount = qMax(out.columnCount, int(width));
        const qint64 rows = qint64(rowNumber) - out.firstRowNumber + 1;
        if (rows * out.columnCount > maxCells) {
            limitError = QStringLiteral("The sheet \"%1\" is too large to read: its values reach row %2 and "
                                        "column %3, more than %4 cells.")
                             .arg(sheetName, withThousands(rowNumber), XlsxReader::columnName(out.columnCount - 1),
                                  withThousands(maxCells));
            return false;
        }
        out.appendRow(row.data(), width);
        return true;
    }
};

// Trims XML white space from both ends.
std::string_view trimmed(std::string_view v)
{
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    return v;
}

// A shared-string index: digits only, below count; -1 otherwise.
qint64 sharedIndex(std::string_view v, qint64 count)
{
    v = trimmed(v);
    if (v.empty() || v.size() > 10)
        return -1;
    qint64 n = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n < count ? n : -1;
}
} // namespace

std::optional<SheetData> XlsxReader::readSheet(int index, QString* error, const std::atomic<bool>* stop)
{
    if (error)
        error->clear();
    if (index < 0 || index >= _sheets.size()) {
        fail(error, QStringLiteral("no sheet %1").arg(index + 1));
        return std::nullopt;
    }
    const QString part = _sheets[index].partName;
    QString why;
    std::unique_ptr<ZipReader::Stream> stream = _zip.openStream(part, &why);
    if (!stream) {
        fail(error, why);
        return std::nullopt;
    }
    PartInput in(*stream);
    const auto malformed = [&] {
        fail(error, in.failed() ? in.error() : part + QStringLiteral(": malformed XML"));
        return std::nullopt;
    };
    if (!in.start())
        return malformed();

    SheetData out;
    out.sharedStrings = _shared;
    SheetBuilder builder{out, _sheets[index].name, MaxSheetCells, 0, {}, 0, {}, 0, {}};
    const qint64 sharedCount = qint64(_shared->count()) - 1;
    enum class Phase { Prelude, Rows, Done } phase = Phase::Prelude;
    int lastRow = 0; // sheet row number of the last row read
    int rowsSinceStopCheck = 0;
    bool rowsCut = false;    // rows past the sheet's last row
    bool columnsCut = false; // values past its last column
    std::string scratch;
    std::string textBuffer;
    std::string inlineText;

    // One row: its cells into builder.row. Incomplete when the window ends inside it.
    const auto readRow = [&](XmlStream& xml, XmlStream::Kind kind, int& rowNumber, qint64& formulas,
                             int& badIndexes, QString& firstBad) -> Unit {
        builder.row.clear();
        int column = -1;
        while (kind == XmlStream::Start) {
            column += int(xml.passEmpty("c")); // cells written as <c/> hold nothing: only their places count
            const XmlStream::Kind inRow = xml.next();
            if (truncatedOrBroken(inRow))
                return Unit::Incomplete;
            if (inRow == XmlStream::End)
                break;
            if (inRow != XmlStream::Start && inRow != XmlStream::Empty)
                continue;
            if (xml.name() != "c") {
                if (inRow == XmlStream::Start && !xml.skipElement())
                    return Unit::Incomplete;
                continue;
            }
            // Column from the reference's letters; without a reference, the next column.
            std::string_view ref;
            std::string_view type;
            int styleIndex = 0;
            for (const auto& a : xml.attributes()) {
                if (a.name.size() != 1)
                    continue;
                if (a.name[0] == 'r')
                    ref = decoded(a.value, scratch);
                else if (a.name[0] == 't')
                    type = a.value;
                else if (a.name[0] == 's')
                    std::from_chars(a.value.data(), a.value.data() + a.value.size(), styleIndex);
            }
            int col = -1;
            if (!ref.empty()) {
                int n = 0;
                size_t p = 0;
                while (p < ref.size() && ((ref[p] >= 'A' && ref[p] <= 'Z') || (ref[p] >= 'a' && ref[p] <= 'z')) &&
                       n <= kMaxColumns) {
                    n = n * 26 + ((ref[p] | 0x20) - 'a' + 1);
                    ++p;
                }
                if (p > 0)
                    col = n - 1;
            }
            if (col < 0)
                col = column + 1;
            column = col;
            if (inRow == XmlStream::Empty)
                continue; // a cell without children holds no value: only its place counts
            char typeCode = 'n'; // n, s (shared), i (inline), b, t (stored text: str, e, d, others)
            if (type == "s")
                typeCode = 's';
            else if (type == "inlineStr")
                typeCode = 'i';
            else if (type == "b")
                typeCode = 'b';
            else if (!type.empty() && type != "n")
                typeCode = type == "str" ? 'r' : 't';

            // The cell's own v and is children (the last of each counts); other children are skipped.
            bool hasV = false;
            bool hasFormula = false;
            std::string_view vText;
            bool hasInline = false;
            while (inRow == XmlStream::Start) {
                const XmlStream::Kind k = xml.next();
                if (truncatedOrBroken(k))
                    return Unit::Incomplete;
                if (k == XmlStream::End)
                    break;
                if (k != XmlStream::Start && k != XmlStream::Empty)
                    continue;
                const std::string_view name = xml.name();
                if (name == "v") {
                    hasV = true;
                    vText = {};
                    if (k == XmlStream::Empty)
                        continue;
                    // Its text: one plain run is used where it lies; several runs (CDATA, text around a
                    // comment) or references are joined and decoded into textBuffer.
                    bool buffered = false;
                    for (XmlStream::Kind t = xml.next(); t != XmlStream::End; t = xml.next()) {
                        if (truncatedOrBroken(t) || (t == XmlStream::Start && !xml.skipElement()))
                            return Unit::Incomplete;
                        if (t != XmlStream::Text && t != XmlStream::CData)
                            continue;
                        const bool plain = t == XmlStream::Text && xml.text().find('&') == std::string_view::npos;
                        if (!buffered && vText.empty() && plain) {
                            vText = xml.text();
                            continue;
                        }
                        if (!buffered)
                            textBuffer.assign(vText);
                        buffered = true;
                        if (t == XmlStream::Text)
                            appendDecoded(xml.text(), textBuffer);
                        else
                            textBuffer.append(xml.text());
                        vText = textBuffer;
                    }
                } else if (name == "is") {
                    hasInline = true;
                    if (!readStringItem(xml, k, inlineText))
                        return Unit::Incomplete;
                } else {
                    hasFormula = hasFormula || name == "f";
                    if (k == XmlStream::Start && !xml.skipElement())
                        return Unit::Incomplete;
                }
            }
            if (col >= kMaxColumns) {
                columnsCut = columnsCut || hasV || hasInline;
                continue;
            }
            if (hasFormula && !hasInline && (!hasV || (vText.empty() && typeCode != 'r' && typeCode != 's'))) {
                ++formulas; // written without its result (openpyxl does so)
                continue;
            }

            quint32 refValue = 0;
            std::string_view bytes;
            if (typeCode == 's') {
                const qint64 idx = hasV ? sharedIndex(vText, sharedCount) : -1;
                if (idx >= 0) {
                    refValue = SheetData::kSharedBit | quint32(idx);
                } else if (hasV) {
                    if (badIndexes++ == 0)
                        firstBad = columnName(col) + QString::number(rowNumber);
                }
            } else if (typeCode == 'i' || (hasInline && !hasV)) {
                if (!hasInline)
                    continue;
                bytes = inlineText;
            } else if (!hasV || (typeCode == 'n' && trimmed(vText).empty())) {
                continue; // no value, or a number that is blank
            } else if (typeCode == 'b') {
                const std::string_view b = trimmed(vText);
                const bool isTrue = b == "1" || ((b.size() == 4) && (b[0] | 0x20) == 't' && (b[1] | 0x20) == 'r' &&
                                                 (b[2] | 0x20) == 'u' && (b[3] | 0x20) == 'e');
                bytes = isTrue ? std::string_view(_true) : std::string_view(_false);
            } else if (typeCode == 'n') {
                // The text its number format shows; General (or a value the format cannot show) as stored.
                const qint32 format = styleIndex >= 0 && size_t(styleIndex) < _styleFormats.size()
                                          ? _styleFormats[size_t(styleIndex)]
                                          : -1;
                bool shown = false;
                if (format >= 0) {
                    double value = 0;
                    const std::string_view t = trimmed(vText);
                    const auto res = std::from_chars(t.data(), t.data() + t.size(), value);
                    if (res.ec == std::errc() && res.ptr == t.data() + t.size()) {
                        scratch.clear();
                        shown = _formats[size_t(format)].format(value, _date1904, scratch);
                    }
                }
                if (!shown) {
                    scratch.clear();
                    formatGeneralTo(scratch, vText, _decimal);
                    if (hasControl(scratch))
                        stripControls(scratch);
                }
                bytes = scratch;
            } else {
                // "str" (formula text), "e" (error), "d" (ISO date) and anything else: the stored text.
                textBuffer.assign(vText);
                cleanText(textBuffer);
                bytes = textBuffer;
            }
            if (_textFormats && (typeCode == 's' || typeCode == 'i' || typeCode == 'r') && styleIndex >= 0 &&
                size_t(styleIndex) < _styleFormats.size() && _styleFormats[size_t(styleIndex)] >= 0) {
                // A text section ("Name: "@) shows text cells too.
                const std::string_view value =
                    refValue & SheetData::kSharedBit ? _shared->view((refValue & ~SheetData::kSharedBit) + 1) : bytes;
                scratch.clear();
                if ((refValue || !bytes.empty()) &&
                    _formats[size_t(_styleFormats[size_t(styleIndex)])].formatText(value, scratch)) {
                    bytes = scratch;
                    refValue = 0;
                }
            }
            if (!(refValue & SheetData::kSharedBit)) {
                if (bytes.empty())
                    continue;
                refValue = out.strings.add(bytes);
                if (refValue == StringPool::kFull) {
                    builder.limitError = QStringLiteral("The sheet \"%1\" holds too much text to read.")
                                             .arg(_sheets[index].name);
                    return Unit::Finished;
                }
            }
            if (builder.row.size() <= size_t(col))
                builder.row.resize(size_t(col) + 1);
            builder.row[size_t(col)] = refValue;
        }
        return Unit::Ok;
    };

    while (phase != Phase::Done) {
        XmlStream xml(in.begin(), in.end());
        bool incomplete = false;
        while (!incomplete && phase != Phase::Done) {
            const XmlStream::Kind kind = xml.nextNonBlank(phase == Phase::Prelude ? "sheetData" : "row");
            const char* unitStart = xml.tokenStart();
            if (truncatedOrBroken(kind)) {
                if (in.atEnd() && (kind == XmlStream::Broken || phase == Phase::Rows))
                    return malformed();
                if (in.atEnd()) {
                    phase = Phase::Done; // no sheetData: an empty sheet
                    break;
                }
                in.consumeTo(unitStart);
                incomplete = true;
                break;
            }
            if (phase == Phase::Prelude) {
                if ((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "sheetData")
                    phase = kind == XmlStream::Start ? Phase::Rows : Phase::Done;
                continue;
            }
            if (kind == XmlStream::End) {
                phase = Phase::Done; // the end of sheetData
                break;
            }
            if (kind != XmlStream::Start && kind != XmlStream::Empty)
                continue;
            if (xml.name() != "row") {
                if (kind == XmlStream::Start && !xml.skipElement()) {
                    if (in.atEnd())
                        return malformed();
                    in.consumeTo(unitStart);
                    incomplete = true;
                }
                continue;
            }
            int rowNumber = 0;
            for (const auto& a : xml.attributes()) {
                if (a.name == "r" || (a.name.ends_with(":r")))
                    std::from_chars(a.value.data(), a.value.data() + a.value.size(), rowNumber);
            }
            if (rowNumber <= lastRow)
                rowNumber = lastRow + 1; // no r, or out of order: the next row
            if (rowNumber > kMaxRows) {
                rowsCut = kind == XmlStream::Start;
                phase = Phase::Done;
                break;
            }
            const quint32 poolMark = out.strings.count();
            qint64 formulas = 0;
            int badIndexes = 0;
            QString firstBad;
            const Unit unit = readRow(xml, kind, rowNumber, formulas, badIndexes, firstBad);
            if (unit == Unit::Incomplete) {
                if (in.atEnd())
                    return malformed();
                out.strings.truncate(poolMark);
                in.consumeTo(unitStart);
                incomplete = true;
                break;
            }
            if (unit == Unit::Finished || !builder.commit(rowNumber)) {
                if (error)
                    *error = builder.limitError;
                return std::nullopt;
            }
            lastRow = rowNumber;
            builder.formulasWithoutResult += formulas;
            if (badIndexes && builder.badIndexCount == 0)
                builder.firstBadIndexCell = firstBad;
            builder.badIndexCount += badIndexes;
            if (stop && ++rowsSinceStopCheck >= 1024) {
                rowsSinceStopCheck = 0;
                if (stop->load(std::memory_order_relaxed))
                    return std::nullopt;
            }
        }
        if (phase == Phase::Done)
            break;
        // Each window too: a part of few rows may still be long (blanks between them).
        if (stop && stop->load(std::memory_order_relaxed))
            return std::nullopt;
        if (incomplete && !in.more()) {
            if (in.failed())
                return malformed();
            if (phase == Phase::Prelude)
                break; // no sheetData
            return malformed();
        }
    }

    out.warnings << _warnings;
    if (builder.badIndexCount > 0) {
        out.warnings << (builder.badIndexCount == 1
                             ? QStringLiteral("Cell %1 refers to a shared string the workbook does not have; it "
                                              "was read as empty.")
                                   .arg(builder.firstBadIndexCell)
                             : QStringLiteral("Cell %1 and %2 more cells refer to shared strings the workbook does "
                                              "not have; they were read as empty.")
                                   .arg(builder.firstBadIndexCell)
                                   .arg(builder.badIndexCount - 1));
    }
    if (rowsCut)
        out.warnings << QStringLiteral("Rows after row %1 were left out.").arg(withThousands(kMaxRows));
    if (columnsCut)
        out.warnings << QStringLiteral("Columns after column %1 were left out.").arg(columnName(kMaxColumns - 1));
    if (builder.formulasWithoutResult > 0)
        out.warnings << QStringLiteral("%1 cells hold formulas without a saved result; open and save the workbook "
                                       "in a spreadsheet program first.")
                            .arg(builder.formulasWithoutResult);
    out.strings.squeeze();
    out.cells.squeeze();
    out.rowEnds.squeeze();
    return out;
}
