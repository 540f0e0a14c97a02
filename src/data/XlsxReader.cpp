#include "data/XlsxReader.h"

#include "common/StringHelpers.h"
#include "data/NumberFormat.h"
#include "data/XmlStream.h"

#include <QHash>

#include <charconv>
#include <tuple>
#include <cstring>

using namespace xlsx;

namespace {
constexpr size_t kMaxFormats = 4096;       // number formats compiled; styles beyond show General
constexpr qint64 kMaxCellFormats = 65536;   // cell formats (cellXfs), as spreadsheet programs allow
constexpr qint64 kMaxSheets = 10000;
constexpr qint64 kMaxPartTags = 4000000;    // tags of a workbook, relationships or styles part

QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relsPartOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// Resolves a relationship target against the source part's folder; empty when it climbs out of the package.
QString resolveTarget(const QString& sourceFolder, const QString& target)
{
    QString t = target;
    t.replace(u'\\', u'/');
    const QString joined = t.startsWith(u'/') ? t.mid(1) : sourceFolder + t;
    QStringList out;
    for (const QString& seg : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == u'.')
            continue;
        if (seg == QStringLiteral("..")) {
            if (out.isEmpty())
                return {};
            out.removeLast();
            continue;
        }
        out << seg;
    }
    return out.join(u'/');
}

// An attribute of the tag just read by its full name ("r:id" included), decoded; empty when it has none.
std::string_view attribute(const XmlStream& xml, std::string_view name, std::string& scratch)
{
    for (const auto& a : xml.attributes()) {
        if (a.name == name)
            return decoded(a.value, scratch);
    }
    return {};
}

// The r:id of a sheet: the prefixed "id" attribute (not "sheetId").
QString relId(const XmlStream& xml, std::string& scratch)
{
    for (const auto& a : xml.attributes()) {
        const size_t colon = a.name.find(':');
        if (colon != std::string_view::npos && a.name.substr(colon + 1) == "id")
            return text(decoded(a.value, scratch));
    }
    return {};
}

// The tags of a part as it is inflated: `onTag(kind, xml, depth)` gets each start, empty and end tag (depth 1 is
// the root element) and returns false to stop early. The elements must nest; at most kMaxPartTags tags are read.
// Stop, when set from another thread, ends the scan at the next window (Cancelled).
enum class Scan { Done, Stopped, Failed, TooLarge, Cancelled };
template <typename OnTag>
Scan scanTags(ZipReader& zip, const QString& part, OnTag&& onTag, QString* why,
              const std::atomic<bool>* stop = nullptr)
{
    std::unique_ptr<ZipReader::Stream> stream = zip.openStream(part, why);
    if (!stream)
        return Scan::Failed;
    PartInput in(*stream);
    const auto malformed = [&] {
        *why = in.failed() ? in.error() : part + QStringLiteral(": malformed XML");
        return Scan::Failed;
    };
    if (!in.start())
        return malformed();
    qint64 tags = 0;
    int depth = 0;
    bool rootSeen = false;
    while (true) {
        XmlStream xml(in.begin(), in.end());
        while (true) {
            const char* unitStart = xml.pos();
            const XmlStream::Kind kind = xml.next();
            if (truncatedOrBroken(kind)) {
                if (in.atEnd()) {
                    if (kind == XmlStream::Broken || depth != 0 || !rootSeen)
                        return malformed();
                    return Scan::Done;
                }
                in.consumeTo(unitStart);
                break;
            }
            if (kind == XmlStream::Text || kind == XmlStream::CData)
                continue;
            if (++tags > kMaxPartTags)
                return Scan::TooLarge;
            if (kind == XmlStream::End && --depth < 0)
                return malformed();
            if (kind != XmlStream::End && depth == 0 && rootSeen)
                return malformed(); // a second root element
            rootSeen = true;
            if (!onTag(kind, xml, depth + 1))
                return Scan::Stopped;
            if (kind == XmlStream::Start)
                ++depth;
        }
        if (stop && stop->load(std::memory_order_relaxed))
            return Scan::Cancelled;
        if (!in.more() && in.failed())
            return malformed();
    }
}

QString tooLarge(const QString& part)
{
    return QStringLiteral("The workbook's part %1 is too large to read: it holds more than %2 elements.")
        .arg(part, withThousands(kMaxPartTags));
}

struct Relationship {
    QString type; // last segment of the Type URI ("worksheet", "styles", ...)
    QString target;
};

// Relationships of a part that the reader uses, by id; a missing rels part gives none.
bool readRels(ZipReader& zip, const QString& part, QHash<QString, Relationship>& rels, QString* why)
{
    rels.clear();
    const QString relsName = relsPartOf(part);
    if (!zip.contains(relsName))
        return true;
    const QString folder = folderOf(part);
    std::string scratch;
    bool tooMany = false;
    const Scan scan = scanTags(zip, relsName, [&](XmlStream::Kind kind, const XmlStream& xml, int depth) {
        if (kind == XmlStream::End || depth != 2 || xml.name() != "Relationship")
            return true;
        if (text(attribute(xml, "TargetMode", scratch)).compare(u"External", Qt::CaseInsensitive) == 0)
            return true;
        const QString type = text(attribute(xml, "Type", scratch));
        Relationship rel;
        rel.type = type.mid(type.lastIndexOf(u'/') + 1);
        if (rel.type != u"officeDocument" && rel.type != u"worksheet" && rel.type != u"sharedStrings" &&
            rel.type != u"styles")
            return true;
        rel.target = resolveTarget(folder, text(attribute(xml, "Target", scratch)));
        if (!rel.target.isEmpty())
            rels.insert(text(attribute(xml, "Id", scratch)), rel);
        tooMany = rels.size() > kMaxSheets + 3;
        return !tooMany;
    }, why);
    if (tooMany || scan == Scan::TooLarge) {
        *why = tooMany ? QStringLiteral("The workbook has more than %1 sheets, more than can be read.")
                             .arg(withThousands(kMaxSheets))
                       : tooLarge(relsName);
        return false;
    }
    if (scan == Scan::Failed)
        rels.clear(); // a damaged relationships part names nothing
    return true;
}
} // namespace

XlsxReader::XlsxReader() = default;
XlsxReader::XlsxReader(const ZipReader::Limits& limits) : _zip(limits) {}
XlsxReader::~XlsxReader() = default;

QStringList XlsxReader::sheetNames() const
{
    QStringList names;
    for (const SheetInfo& s : _sheets)
        names << s.name;
    return names;
}

bool XlsxReader::fail(QString* error, const QString& why)
{
    // A limit is no damage: its reason is the whole message.
    if (error)
        *error = why.contains(QLatin1String("too large")) || why.contains(QLatin1String("more than"))
                     ? why
                     : notReadableMessage() + u'\n' + why;
    return false;
}

bool XlsxReader::cancelled(QString* error)
{
    if (error)
        error->clear();
    return false;
}

bool XlsxReader::open(const QString& path, QString* error, const std::atomic<bool>* stop)
{
    _stop = stop;
    _cancelled = false;
    QString why;
    if (!_zip.openFile(path, &why))
        return fail(error, why);
    if (load(error))
        return true;
    _sheets.clear();
    return false;
}

bool XlsxReader::openData(const QByteArray& bytes, QString* error)
{
    _stop = nullptr;
    _cancelled = false;
    QString why;
    if (!_zip.openData(bytes, &why))
        return fail(error, why);
    if (load(error))
        return true;
    _sheets.clear();
    return false;
}

bool XlsxReader::load(QString* error)
{
    _sheets.clear();
    _shared = std::make_shared<StringPool>();
    _formats.clear();
    _styleFormats.clear();
    _warnings.clear();
    _date1904 = false;
    _textFormats = false;
    _decimal = QLocale().decimalPoint().toStdString();
    std::tie(_true, _false) = xlsx::booleanTexts(QLocale());

    QString why;
    QHash<QString, Relationship> rels;
    if (!readRels(_zip, QString(), rels, &why))
        return fail(error, why);
    QString workbookPart;
    for (const Relationship& rel : std::as_const(rels)) {
        if (rel.type == u"officeDocument") {
            workbookPart = rel.target;
            break;
        }
    }
    if (workbookPart.isEmpty() || !_zip.contains(workbookPart))
        workbookPart = QStringLiteral("xl/workbook.xml");
    if (!readRels(_zip, workbookPart, rels, &why))
        return fail(error, why);

    std::string scratch;
    bool isWorkbook = false;
    bool inSheets = false;
    bool tooManySheets = false;
    const Scan scan = scanTags(_zip, workbookPart, [&](XmlStream::Kind kind, const XmlStream& xml, int depth) {
        if (depth == 1) {
            isWorkbook = xml.name() == "workbook";
            return isWorkbook;
        }
        if (depth == 2) {
            inSheets = kind == XmlStream::Start && xml.name() == "sheets";
            if (kind != XmlStream::End && xml.name() == "workbookPr") {
                const QString v = text(attribute(xml, "date1904", scratch)).toLower();
                _date1904 = v == u"1" || v == u"true";
            }
        } else if (depth == 3 && inSheets && kind != XmlStream::End && xml.name() == "sheet") {
            const auto it = rels.constFind(relId(xml, scratch));
            if (it == rels.constEnd() || it->type != u"worksheet")
                return true; // chart and dialog sheets hold no cells
            if (_sheets.size() >= kMaxSheets) {
                tooManySheets = true;
                return false;
            }
            _sheets.append({text(attribute(xml, "name", scratch)), it->target});
        }
        return true;
    }, &why, _stop);
    if (scan == Scan::Cancelled)
        return cancelled(error);
    if (tooManySheets)
        return fail(error, QStringLiteral("The workbook has more than %1 sheets, more than can be read.")
                               .arg(withThousands(kMaxSheets)));
    if (scan == Scan::Failed)
        return fail(error, why);
    if (scan == Scan::TooLarge)
        return fail(error, tooLarge(workbookPart));
    if (!isWorkbook)
        return fail(error, QStringLiteral("no workbook part"));
    if (_sheets.isEmpty())
        return fail(error, QStringLiteral("the workbook has no worksheets"));

    for (const Relationship& rel : std::as_const(rels)) {
        if (rel.type == u"sharedStrings" && _zip.contains(rel.target)) {
            if (!readSharedStrings(rel.target, &why))
                return _cancelled ? cancelled(error) : fail(error, why);
        } else if (rel.type == u"styles" && _zip.contains(rel.target)) {
            if (!readStyles(rel.target, &why))
                return _cancelled ? cancelled(error) : fail(error, why);
        }
    }
    return true;
}

// The number format of each cell format (cellXfs); everything else in the styles part is passed over, and the
// part is read no further than the cell formats.
bool XlsxReader::readStyles(const QString& part, QString* why)
{
    QHash<int, QString> customFormats;
    QHash<int, qint32> formatOfId;
    const QLocale locale;
    std::string scratch;
    enum class In { Other, NumFmts, CellXfs } in = In::Other;
    bool cut = false;
    const Scan scan = scanTags(_zip, part, [&](XmlStream::Kind kind, const XmlStream& xml, int depth) {
        if (depth == 2) {
            if (kind == XmlStream::End && in == In::CellXfs)
                return false; // nothing after the cell formats is needed
            in = kind != XmlStream::Start ? In::Other
                 : xml.name() == "numFmts" ? In::NumFmts
                 : xml.name() == "cellXfs" ? In::CellXfs : In::Other;
            return true;
        }
        if (depth != 3 || kind == XmlStream::End)
            return true;
        int id = 0;
        const std::string_view idText = attribute(xml, "numFmtId", scratch);
        std::from_chars(idText.data(), idText.data() + idText.size(), id);
        if (in == In::NumFmts && xml.name() == "numFmt") {
            if (customFormats.size() >= kMaxCellFormats || idText.empty())
                return true;
            // A code longer than spreadsheet programs allow is not a format they could have written.
            const std::string_view raw = attribute(xml, "formatCode", scratch);
            const QString code = raw.size() > 4 * size_t(NumberFormat::MaxCodeLength) ? QString() : text(raw);
            customFormats.insert(id, code.isNull() || code.size() > NumberFormat::MaxCodeLength
                                         ? QStringLiteral("General")
                                         : code);
        } else if (in == In::CellXfs && xml.name() == "xf") {
            if (qint64(_styleFormats.size()) >= kMaxCellFormats) {
                cut = true;
                return false;
            }
            // Each format is compiled once, however many styles use it; a workbook that names more formats
            // than any real one is shown as General beyond them.
            auto known = formatOfId.constFind(id);
            if (known == formatOfId.constEnd()) {
                NumberFormat format = _formats.size() < kMaxFormats
                                          ? NumberFormat::compile(id, customFormats.value(id), locale)
                                          : NumberFormat();
                qint32 index = -1;
                if (!format.isGeneral()) {
                    _textFormats = _textFormats || format.hasTextSection();
                    index = qint32(_formats.size());
                    _formats.push_back(std::move(format));
                }
                known = formatOfId.insert(id, index);
            }
            _styleFormats.push_back(*known);
        }
        return true;
    }, why, _stop);
    if (scan == Scan::Cancelled)
        _cancelled = true;
    if (scan == Scan::Failed || scan == Scan::Cancelled)
        return false;
    if (cut)
        _warnings << QStringLiteral("The workbook defines more cell formats than spreadsheet programs allow "
                                    "(%1); numbers in cells with the formats past them are shown unformatted.")
                         .arg(withThousands(kMaxCellFormats));
    else if (scan == Scan::TooLarge)
        _warnings << QStringLiteral("The workbook's styles are too large to read; numbers are shown unformatted.");
    return true;
}

bool XlsxReader::readSharedStrings(const QString& part, QString* why)
{
    std::unique_ptr<ZipReader::Stream> stream = _zip.openStream(part, why);
    if (!stream)
        return false;
    PartInput in(*stream);
    if (!in.start()) {
        *why = in.error();
        return false;
    }
    const auto malformed = [&] {
        *why = in.failed() ? in.error() : part + QStringLiteral(": malformed XML");
        return false;
    };
    bool inRoot = false;
    std::string value;
    while (true) {
        XmlStream xml(in.begin(), in.end());
        Unit unit = Unit::Ok;
        while (unit == Unit::Ok) {
            const XmlStream::Kind kind = xml.nextNonBlank("si");
            const char* unitStart = xml.tokenStart();
            if (truncatedOrBroken(kind)) {
                in.consumeTo(unitStart);
                unit = kind == XmlStream::Eof && in.atEnd() ? Unit::Finished : Unit::Incomplete;
                if (kind == XmlStream::Broken && in.atEnd())
                    return malformed();
                break;
            }
            if (!inRoot) {
                inRoot = kind == XmlStream::Start;
                if (kind == XmlStream::End)
                    return malformed();
                continue;
            }
            if (kind == XmlStream::End) {
                unit = Unit::Finished; // the end of sst
                break;
            }
            bool ok = true;
            if ((kind == XmlStream::Start || kind == XmlStream::Empty) && xml.name() == "si") {
                ok = readStringItem(xml, kind, value);
                if (ok) {
                    if (qint64(_shared->count()) > MaxSharedStrings) {
                        *why = QStringLiteral("The workbook holds more than %1 shared strings, more than can be "
                                              "read.")
                                   .arg(withThousands(MaxSharedStrings));
                        return false;
                    }
                    if (_shared->append(value) == StringPool::kFull) {
                        *why = QStringLiteral("The workbook's shared strings are too large to read.");
                        return false;
                    }
                }
            } else if (kind == XmlStream::Start) {
                ok = xml.skipElement();
            }
            if (!ok) {
                if (in.atEnd())
                    return malformed();
                in.consumeTo(unitStart);
                unit = Unit::Incomplete;
            }
        }
        if (unit == Unit::Finished)
            break;
        if (_stop && _stop->load(std::memory_order_relaxed)) {
            _cancelled = true;
            return false;
        }
        if (!in.more()) {
            if (in.failed())
                return malformed();
            if (!inRoot)
                break; // no root element: an empty table
            return malformed(); // the part ends inside an item
        }
    }
    _shared->squeeze();
    return true;
}

QStringList XlsxReader::headerTitles(const SheetData& sheet)
{
    QStringList titles;
    for (int c = 0; c < sheet.columnCount; ++c) {
        QString t = Trim_Str(sheet.cell(0, c));
        titles << (t.isEmpty() ? QStringLiteral("Untitled Column %1").arg(c + 1) : t);
    }
    return titles;
}

int XlsxReader::columnIndex(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int n = 0;
    for (QChar ch : letters) {
        const char16_t u = ch.toUpper().unicode();
        if (u < 'A' || u > 'Z')
            return -1;
        n = n * 26 + (u - 'A' + 1);
    }
    return n - 1;
}

QString XlsxReader::columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QString XlsxReader::decodeEscapes(const QString& in)
{
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == u'_' && i + 6 < in.size() && in[i + 1] == u'x' && in[i + 6] == u'_') {
            int v = 0;
            bool ok = true;
            for (int k = 2; k < 6 && ok; ++k) {
                const int h = hexValue(in[i + k]);
                ok = h >= 0;
                v = v * 16 + h;
            }
            if (ok) {
                out.append(QChar(char16_t(v)));
                i += 6;
                continue;
            }
        }
        out.append(in[i]);
    }
    return out;
}
