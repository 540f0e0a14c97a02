// Feeds arbitrary bytes to the workbook reader as a whole package, and as the worksheet, shared-strings and
// styles parts of an otherwise valid package (split at NUL bytes), so that the XML readers get exercised past
// the zip layer.

#include "data/XlsxReader.h"
#include "data/ZipArchive.h"

#include <cstddef>
#include <cstdint>

namespace {
const QByteArray kStyles = "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/></numFmts>"
                           "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"22\"/></cellXfs>"
                           "</styleSheet>";

QByteArray wrap(const QByteArray& sheet, const QByteArray& strings, const QByteArray& styles)
{
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    ZipWriter w;
    w.addFile("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                             "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                             "</Relationships>");
    w.addFile("xl/workbook.xml", "<workbook xmlns:r=\"" + rel + "\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets>"
                                 "</workbook>");
    w.addFile("xl/_rels/workbook.xml.rels",
              "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"s.xml\"/>"
              "<Relationship Id=\"rId2\" Type=\"" + rel + "/sharedStrings\" Target=\"t.xml\"/>"
              "<Relationship Id=\"rId3\" Type=\"" + rel + "/styles\" Target=\"st.xml\"/></Relationships>");
    w.addFile("xl/s.xml", sheet);
    w.addFile("xl/t.xml", strings);
    w.addFile("xl/st.xml", styles);
    return w.finish().value_or(QByteArray());
}

void readAll(const QByteArray& package)
{
    ZipReader::Limits limits;
    limits.maxEntryBytes = 8 << 20;
    limits.maxTotalBytes = 32 << 20;
    XlsxReader reader(limits);
    if (!reader.openData(package))
        return;
    for (int i = 0; i < reader.sheets().size(); ++i) {
        if (const auto sheet = reader.readSheet(i))
            XlsxReader::headerTitles(*sheet);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("PK")) {
        readAll(bytes);
        return 0;
    }
    // Split the input into a worksheet part, a shared-strings part and a styles part.
    const qsizetype cut = bytes.indexOf('\0');
    const qsizetype cut2 = cut < 0 ? -1 : bytes.indexOf('\0', cut + 1);
    readAll(wrap(cut < 0 ? bytes : bytes.left(cut),
                 cut < 0 ? QByteArray() : bytes.mid(cut + 1, cut2 < 0 ? -1 : cut2 - cut - 1),
                 cut2 < 0 ? kStyles : bytes.mid(cut2 + 1)));
    return 0;
}
