#include "data/XlsxReader.h"

#include "common/StringHelpers.h"
#include "data/NumberFormat.h"
#include "data/XmlStream.h"

#include <QHash>

#include <pugixml.hpp>

#include <cstring>

using namespace xlsx;

namespace {
constexpr size_t kMaxFormats = 4096;

const char* localName(const char* name)
{
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

// True when `name` is `local`, with or without a namespace prefix.
bool hasLocalName(const char* name, const char* local)
{
    if (std::strcmp(name, local) == 0)
        return true;
    const char* colon = std::strchr(name, ':');
    return colon && std::strcmp(colon + 1, local) == 0;
}

bool isNamed(const pugi::xml_node& n, const char* local) { return hasLocalName(n.name(), local); }

pugi::xml_node child(const pugi::xml_node& parent, const char* local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && isNamed(c, local))
            return c;
    }
    return {};
}

// Unprefixed attributes only, except where a relationship id is asked for.
pugi::xml_attribute attr(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        if (hasLocalName(a.name(), local))
            return a;
    }
    return {};
}

// The r:id of a sheet: the prefixed "id" attribute (not "sheetId").
QString relId(const pugi::xml_node& n)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        if (std::strchr(name, ':') && std::strcmp(localName(name), "id") == 0)
            return QString::fromUtf8(a.value());
    }
    return {};
}

QString text(const char* s) { return QString::fromUtf8(s); }

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

struct Relationship {
    QString type; // last segment of the Type URI ("worksheet", "styles", ...)
    QString target;
};

// The small parts (relationships, workbook, styles) are read as documents; worksheets and shared strings
// are streamed (XmlStream below).
bool parse(pugi::xml_document& doc, QByteArray& bytes, QString* why)
{
    const auto res =
        doc.load_buffer_inplace(bytes.data(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!res) {
        if (why)
            *why = QStringLiteral("malformed XML (%1 at byte %2)").arg(text(res.description())).arg(res.offset);
        return false;
    }
    return true;
}

// Relationships of a part, by id; missing rels part gives none.
QHash<QString, Relationship> readRels(ZipReader& zip, const QString& part)
{
    QHash<QString, Relationship> rels;
    const QString relsName = relsPartOf(part);
    if (!zip.contains(relsName))
        return rels;
    auto bytes = zip.read(relsName);
    if (!bytes)
        return rels;
    pugi::xml_document doc;
    if (!parse(doc, *bytes, nullptr))
        return rels;
    const pugi::xml_node root = doc.document_element();
    const QString folder = folderOf(part);
    for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element || !isNamed(r, "Relationship"))
            continue;
        if (QString::fromUtf8(attr(r, "TargetMode").value()).compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        const QString type = text(attr(r, "Type").value());
        Relationship rel;
        rel.type = type.mid(type.lastIndexOf(u'/') + 1);
        rel.target = resolveTarget(folder, text(attr(r, "Target").value()));
        if (!rel.target.isEmpty())
            rels.insert(text(attr(r, "Id").value()), rel);
    }
    return rels;
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

bool XlsxReader::open(const QString& path, QString* error)
{
    QString why;
    if (!_zip.openFile(path, &why))
        return fail(error, why);
    return load(error);
}

bool XlsxReader::openData(const QByteArray& bytes, QString* error)
{
    QString why;
    if (!_zip.openData(bytes, &why))
        return fail(error, why);
    return load(error);
}

bool XlsxReader::load(QString* error)
{
    _sheets.clear();
    _shared = std::make_shared<StringPool>();
    _formats.clear();
    _styleFormats.clear();
    _date1904 = false;

    QString workbookPart;
    for (const Relationship& rel : readRels(_zip, QString())) {
        if (rel.type == u"officeDocument") {
            workbookPart = rel.target;
            break;
        }
    }
    if (workbookPart.isEmpty() || !_zip.contains(workbookPart))
        workbookPart = QStringLiteral("xl/workbook.xml");
    QString why;
    auto wbBytes = _zip.read(workbookPart, &why);
    if (!wbBytes)
        return fail(error, why);
    pugi::xml_document wb;
    if (!parse(wb, *wbBytes, &why))
        return fail(error, workbookPart + QStringLiteral(": ") + why);
    const pugi::xml_node wbRoot = wb.document_element();
    if (!isNamed(wbRoot, "workbook"))
        return fail(error, QStringLiteral("no workbook part"));

    if (const pugi::xml_node pr = child(wbRoot, "workbookPr")) {
        const QString v = text(attr(pr, "date1904").value()).toLower();
        _date1904 = v == u"1" || v == u"true";
    }

    const auto rels = readRels(_zip, workbookPart);
    for (pugi::xml_node s = child(child(wbRoot, "sheets"), "sheet"); s; s = s.next_sibling()) {
        if (s.type() != pugi::node_element || !isNamed(s, "sheet"))
            continue;
        const auto it = rels.constFind(relId(s));
        if (it == rels.constEnd() || it->type != u"worksheet")
            continue; // chart and dialog sheets hold no cells
        _sheets.append({text(attr(s, "name").value()), it->target});
    }
    if (_sheets.isEmpty())
        return fail(error, QStringLiteral("the workbook has no worksheets"));

    for (const Relationship& rel : rels) {
        if (rel.type == u"sharedStrings" && _zip.contains(rel.target)) {
            if (!readSharedStrings(rel.target, &why))
                return fail(error, why);
        } else if (rel.type == u"styles" && _zip.contains(rel.target)) {
            auto bytes = _zip.read(rel.target, &why);
            if (!bytes)
                return fail(error, why);
            pugi::xml_document doc;
            if (!parse(doc, *bytes, &why))
                return fail(error, rel.target + QStringLiteral(": ") + why);
            const pugi::xml_node ss = doc.document_element();
            QHash<int, QString> customFormats;
            for (pugi::xml_node f = child(child(ss, "numFmts"), "numFmt"); f; f = f.next_sibling()) {
                if (f.type() == pugi::node_element && isNamed(f, "numFmt"))
                    customFormats.insert(attr(f, "numFmtId").as_int(-1), text(attr(f, "formatCode").value()));
            }
            // Each format is compiled once, however many styles use it.
            const QLocale locale;
            QHash<int, qint32> formatOfId;
            for (pugi::xml_node xf = child(child(ss, "cellXfs"), "xf"); xf; xf = xf.next_sibling()) {
                if (xf.type() != pugi::node_element || !isNamed(xf, "xf"))
                    continue;
                const int id = attr(xf, "numFmtId").as_int(0);
                auto known = formatOfId.constFind(id);
                if (known == formatOfId.constEnd()) {
                    // A workbook that names more formats than any real one is shown as General beyond them.
                    NumberFormat format = _formats.size() < kMaxFormats
                                              ? NumberFormat::compile(id, customFormats.value(id), locale)
                                              : NumberFormat();
                    qint32 index = -1;
                    if (!format.isGeneral()) {
                        index = qint32(_formats.size());
                        _formats.push_back(std::move(format));
                    }
                    known = formatOfId.insert(id, index);
                }
                _styleFormats.push_back(*known);
            }
        }
    }
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
            const char* unitStart = xml.pos();
            const XmlStream::Kind kind = xml.next();
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
