// Hostile files: small files that claim gigabytes or hours. Each shape runs in a child process capped at
// 4 GB of address space and 300 s; prints per shape what the reader did, its time and its peak memory.
//
//   bench_hostile_files            every shape
//   bench_hostile_files SHAPE      one shape, in this process
//   bench_hostile_files --file KIND PATH   a file, read as KIND (design, archive, clipboard, xlsx, mail,
//                                          picture, text)
//   bench_hostile_files --write SHAPE PATH  writes a shape's file

#include "BenchSupport.h"
#include "canvas/ItemSamples.h"
#include "SharedPlist.h"
#include "common/HostilePictures.h"
#include "data/XlsxTestPackage.h"

#include "app/designfile/CompactPlist.h"
#include "canvas/BinaryPlist.h"
#include "app/designfile/DesignFile.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/ItemArchive.h"
#include "canvas/SKTItems.h"
#include "common/PictureReader.h"
#include "common/Globals.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/XlsxReader.h"
#include "output/mail/MailSettings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <map>
#include <vector>
#include <sys/resource.h>

namespace {

using namespace sharedplist;

QByteArray bytesOf(int n, char c) { return QByteArray(n, c); }

// A valid design whose rows all refer to one dictionary of `entries` entries naming no column.
QByteArray rowsSharingOneDictionary(qint64 rows, int entries)
{
    const PlistPtr root = plistio::fromBytes(designfile::toBytes(DesignData()));
    plist_t rowsSlot = plist_array_get_item(root.get(), designfile::SheetRowsIndex);
    CompactPlistWriter w;
    const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node != rowsSlot)
            return CompactPlistWriter::NotMine;
        const auto dict = writer.beginDict(quint32(entries));
        const quint32 value = writer.addText(QStringLiteral("x"));
        for (int k = 0; k < entries; ++k)
            writer.setEntry(dict, quint32(entries), quint32(k), writer.addText(QStringLiteral("K%1").arg(k)), value);
        const auto array = writer.beginArray(quint32(rows));
        for (qint64 r = 0; r < rows; ++r)
            writer.setElement(array, quint32(r), dict.index);
        return array.index;
    });
    return w.finish(*top);
}

// A valid design whose rows refer to `rows` object numbers whose offsets all name one dictionary of `entries`
// entries naming no column.
QByteArray rowsAliasingOneDictionary(quint32 rows, int entries)
{
    const PlistPtr root = plistio::fromBytes(designfile::toBytes(DesignData()));
    plist_t rowsSlot = plist_array_get_item(root.get(), designfile::SheetRowsIndex);
    CompactPlistWriter w;
    std::vector<quint32> refs;
    quint32 first = 0;
    const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node != rowsSlot)
            return CompactPlistWriter::NotMine;
        const quint32 value = writer.addText(QStringLiteral("x"));
        for (int k = 0; k < entries; ++k)
            refs.push_back(writer.addText(QStringLiteral("K%1").arg(k)));
        refs.insert(refs.end(), size_t(entries), value);
        first = writer.reserve(rows);
        const auto array = writer.beginArray(rows);
        for (quint32 r = 0; r < rows; ++r)
            writer.setElement(array, r, first + r);
        return array.index;
    });
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    w.finish(*top, buffer, [&](CompactPlistWriter& writer) {
        QByteArray dict;
        bplist::appendMarker(dict, 0xD, quint64(entries));
        for (const quint32 ref : refs)
            bplist::appendBigEndian(dict, ref, writer.referenceSize());
        const quint64 at = writer.position();
        for (quint32 r = 0; r < rows; ++r)
            writer.placeAt(first + r, at);
        return writer.append(dict.constData(), dict.size());
    });
    return bytes;
}

// The program's own design of 50,000 items a side, every kind with every field set, no pictures.
QByteArray designOfManyItems()
{
    DesignData d;
    int i = 0;
    for (GraphicList* side : {&d.frontItems, &d.backItems}) {
        for (int n = 0; n < 50000; ++n, ++i) {
            const char* kinds[] = {"SKTText", "SKTSignature", "Shape_Control", "SKTLine", "SKTBarcode"};
            GraphicPtr g = makeGraphicOfClass(QString::fromLatin1(kinds[i % 5]));
            itemsamples::fillAllFields(*g, i % 100);
            g->_image = QImage();
            side->append(g);
        }
    }
    return designfile::toBytes(d);
}

// A valid design but for its frame picture path: an array of `outer` references to one array of 250
// references to one array of 250 references to true; and an unreferenced data object of `padding` bytes.
QByteArray designOfNestedReferences(quint32 outer, qsizetype padding)
{
    const PlistPtr root = plistio::fromBytes(designfile::toBytes(DesignData()));
    plist_t pathSlot = plist_array_get_item(root.get(), designfile::FramePathIndex);
    CompactPlistWriter w;
    const auto top = w.addTree(root.get(), [&](plist_t node, CompactPlistWriter& writer) -> qint64 {
        if (node != pathSlot)
            return CompactPlistWriter::NotMine;
        const QByteArray pad(padding, 'p');
        writer.addData(pad.constData(), quint64(pad.size()));
        const PlistPtr yes(plist_new_bool(1));
        quint32 below = *writer.addTree(yes.get());
        for (const quint32 n : {250u, 250u, outer}) {
            const auto array = writer.beginArray(n);
            for (quint32 i = 0; i < n; ++i)
                writer.setElement(array, i, below);
            below = array.index;
        }
        return below;
    });
    return w.finish(*top);
}

// A valid design with one front item whose archive is `archive`.
QByteArray designWithItemArchive(const QByteArray& archive)
{
    DesignData d;
    d.frontItems << std::make_shared<SKTText>();
    PlistPtr root = plistio::fromBytes(designfile::toBytes(d));
    plist_array_set_item(root.get(), plistio::newData(archive), designfile::FrontCountIndex + 1);
    return plistio::toBytes(root.get(), plistio::Format::Binary);
}

// Leaves a design's root ending with its front count (what follows is appended again: items, the back count).
void endAtFrontCount(plist_t root)
{
    while (plist_array_get_size(root) > uint32_t(designfile::FrontCountIndex + 1))
        plist_array_remove_item(root, plist_array_get_size(root) - 1);
}

// A valid design of `count` front items, each a distinct archive of the fewest bytes.
QByteArray designOfSmallItems(int count)
{
    PlistPtr root = plistio::fromBytes(designfile::toBytes(DesignData()));
    plist_array_set_item(root.get(), plistio::newInteger(count), designfile::FrontCountIndex);
    endAtFrontCount(root.get());
    for (int i = 0; i < count; ++i) {
        KeyedArchiveWriter w;
        KeyedArchiveWriter::Object line = w.addObject(QStringLiteral("SKTLine"));
        line.setInt32("n", i);
        const PlistPtr archive = w.finish(line.uid());
        plist_array_append_item(root.get(), plistio::newData(plistio::toBytes(archive.get(), plistio::Format::Binary)));
    }
    plist_array_append_item(root.get(), plistio::newInteger(0));
    return plistio::toBytes(root.get(), plistio::Format::Binary);
}

// A valid design of `count` picture items, each holding one solid 100-megapixel picture (a small PNG).
QByteArray designOfLargePictures(int count)
{
    SKTImage item(false);
    QImage solid(10000, 10000, QImage::Format_RGB32);
    solid.fill(Qt::darkCyan);
    item._image = solid;
    const QByteArray archive = archiveItem(item);
    PlistPtr root = plistio::fromBytes(designfile::toBytes(DesignData()));
    plist_array_set_item(root.get(), plistio::newInteger(count), designfile::FrontCountIndex);
    endAtFrontCount(root.get());
    for (int i = 0; i < count; ++i)
        plist_array_append_item(root.get(), plistio::newData(archive));
    plist_array_append_item(root.get(), plistio::newInteger(0));
    return plistio::toBytes(root.get(), plistio::Format::Binary);
}

// A GIF whose one frame is frame x frame pixels on a logical screen of width x height.
QByteArray gifOnScreen(int width, int height, int frame)
{
    QByteArray g("GIF89a");
    auto le16 = [&](int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    le16(width);
    le16(height);
    g.append(char(0x81)).append('\0').append('\0'); // a global table of 4 colours
    g.append(QByteArray::fromHex("000000ff0000"  "00ff000000ff"));
    g.append(',');
    le16(0);
    le16(0);
    le16(frame);
    le16(frame);
    g.append('\0');
    g.append(char(2)); // minimum code size: 3-bit codes, clear 4, end 5
    // Clear before every second pixel keeps the codes at 3 bits.
    QByteArray codes;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << bits;
        bits += 3;
        while (bits >= 8) {
            codes.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < frame * frame; i += 2) {
        put(4);
        put(1);
        put(2);
    }
    put(5);
    if (bits > 0)
        codes.append(char(acc & 0xFF));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        g.append(char(block.size())).append(block);
    }
    g.append('\0').append(';');
    return g;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return buffer.data();
}

// `bytes` of text made of `piece` over and over.
QByteArray repeated(const QByteArray& piece, qint64 bytes)
{
    QByteArray out;
    out.reserve(bytes);
    while (out.size() + piece.size() <= bytes)
        out.append(piece);
    return out;
}

// An ordinary CSV of about `bytes`: a header, then rows of a name, a city, a quoted note and two numbers.
QByteArray ordinaryCsv(qint64 bytes)
{
    QByteArray out("Name,City,Note,Amount,Count\r\n");
    out.reserve(bytes + 100);
    for (int r = 0; out.size() < bytes; ++r)
        out.append("Guest " + QByteArray::number(r) + ",Oslo,\"Row " + QByteArray::number(r % 977) +
                   ", seat A\"," + QByteArray::number(r % 1000) + ".25," + QByteArray::number(r % 13) + "\r\n");
    return out;
}

// An RTF document that opens `groups` groups and never closes them, then a word.
QByteArray rtfOpenGroups(qint64 groups)
{
    return "{\\rtf1\\ansi " + QByteArray(groups, '{') + " word}";
}

// A one-cell workbook whose styles part is `styles`.
QByteArray workbookWithStyles(const QByteArray& styles)
{
    return XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1.5</v></c></row>", {}, styles).bytes();
}

// `count` number formats, each "0." and `hashes` signs.
QByteArray longFormats(int count, int hashes)
{
    QByteArray formats = "<numFmts>", xfs = "<cellXfs><xf/>";
    const QByteArray code = "0." + QByteArray(hashes, '#');
    for (int i = 0; i < count; ++i) {
        formats += "<numFmt numFmtId=\"" + QByteArray::number(164 + i) + "\" formatCode=\"" + code + "\"/>";
        xfs += "<xf numFmtId=\"" + QByteArray::number(164 + i) + "\"/>";
    }
    return workbookWithStyles(formats + "</numFmts>" + xfs + "</cellXfs>");
}

// `count` empty cell formats in `element` (cellXfs or cellStyleXfs).
QByteArray manyCellFormats(qint64 count, const QByteArray& element)
{
    QByteArray xfs = "<" + element + ">";
    xfs += QByteArray("<xf/>").repeated(count);
    return workbookWithStyles(xfs + "</" + element + "><cellXfs><xf/><xf numFmtId=\"2\"/></cellXfs>");
}

struct Shape {
    std::function<QByteArray()> make;
    // Reads the bytes (written to path too); gives what the reader said.
    std::function<QString(const QByteArray& bytes, const QString& path)> read;
};

QString designRead(const QByteArray& bytes, const QString&)
{
    QString error;
    const auto d = designfile::fromBytes(bytes, &error);
    return d ? QStringLiteral("opened") : QStringLiteral("refused: ") + error;
}

QString archiveRead(const QByteArray& bytes, const QString&)
{
    QString error;
    return unarchiveItem(bytes, &error) ? QStringLiteral("read") : QStringLiteral("refused: ") + error;
}

QString clipboardRead(const QByteArray& bytes, const QString&)
{
    QString error;
    const GraphicList items = graphicsFromPasteboardData(bytes, &error);
    return items.isEmpty() ? QStringLiteral("refused: ") + error : QStringLiteral("%1 items").arg(items.size());
}

QString xlsxRead(const QByteArray&, const QString& path)
{
    XlsxReader reader;
    QString error;
    if (!reader.open(path, &error))
        return QStringLiteral("refused: ") + error;
    const auto sheet = reader.readSheet(0, &error);
    if (!sheet)
        return QStringLiteral("refused: ") + error;
    return QStringLiteral("A1 %1%2").arg(sheet->cell(0, 0), sheet->warnings.isEmpty() ? QString()
                                                                                      : QStringLiteral("; ") + sheet->warnings.join(u' '));
}

QString mailRead(const QByteArray&, const QString& path)
{
    const Preferences p(path);
    return QStringLiteral("read, sender of %1 characters").arg(p.send_email_SenderEmail().size());
}

QString pictureRead(const QByteArray&, const QString& path)
{
    QString error;
    const QImage thumb = pictures::readThumbnail(path, 96, &error);
    const ItemPicture item = SKTImage::loadPicture(path, &error);
    if (item.isNull() && thumb.isNull())
        return QStringLiteral("refused: ") + error;
    return QStringLiteral("thumbnail %1 x %2, item picture %3 x %4")
        .arg(thumb.width())
        .arg(thumb.height())
        .arg(item.width())
        .arg(item.height());
}

// Imports a text source as the series import wizard does and writes the series file.
QString textImport(const QByteArray&, const QString& path)
{
    const auto read = SeriesImport::importTextFile(path);
    if (!read.error.isEmpty())
        return QStringLiteral("refused: ") + read.error;
    Data_Folder_Path = QFileInfo(path).dir().filePath(QStringLiteral("DataSet"));
    QString error;
    if (!SeriesFiles::writeSeries(QStringLiteral("Imported"), read.values, &error))
        return QStringLiteral("%1 values, not written: %2").arg(read.values.size()).arg(error);
    return QStringLiteral("%1 values written").arg(read.values.size());
}

const std::map<QString, Shape>& shapes()
{
    static const std::map<QString, Shape> all = {
        {"design_data_200k", {[] { return sharedInArray(data(bytesOf(65536, 'd')), 200000); }, designRead}},
        {"design_text_1m", {[] { return sharedInArray(text(bytesOf(4096, 't')), 1000000); }, designRead}},
        {"archive_text_1m", {[] { return sharedInArray(text(bytesOf(4096, 't')), 1000000); }, archiveRead}},
        {"design_archive_text_1m",
         {[] { return designWithItemArchive(sharedInArray(text(bytesOf(4096, 't')), 1000000)); }, designRead}},
        {"clipboard_data_10k", {[] { return sharedInArray(data(bytesOf(65536, 'd')), 10000); }, clipboardRead}},
        {"clipboard_archive_text_1m",
         {[] { return sharedInArray(data(sharedInArray(text(bytesOf(4096, 't')), 1000000)), 1); },
          clipboardRead}},
        {"mail_text_1m",
         {[] { return sharedInDictionary("SendEmailSender", text(bytesOf(4096, 't')), 1000000); }, mailRead}},
        {"rows_shared_dict_0.2mb", {[] { return rowsSharingOneDictionary(80000, 10001); }, designRead}},
        {"rows_shared_dict_1.9mb", {[] { return rowsSharingOneDictionary(930000, 10001); }, designRead}},
        {"rows_shared_dict_20mb", {[] { return rowsSharingOneDictionary(9980000, 10001); }, designRead}},
        {"design_100k_small_items", {[] { return designOfSmallItems(100000); }, designRead}},
        {"design_100k_own_items", {designOfManyItems, designRead}},
        {"design_nested_refs_20mb", {[] { return designOfNestedReferences(310, 20 << 20); }, designRead}},
        {"design_nested_refs_48mb", {[] { return designOfNestedReferences(310, 48 << 20); }, designRead}},
        {"rows_aliased_dict_1.7mb", {[] { return rowsAliasingOneDictionary(200000, 10001); }, designRead}},
        {"archive_aliased_dict_240kb", {[] { return build(aliasedDictionaries(20000, 10000)); }, archiveRead}},
        {"clipboard_aliased_dict_240kb", {[] { return build(aliasedDictionaries(20000, 10000)); }, clipboardRead}},
        {"mail_aliased_dict_240kb",
         {[] { return aliasedInDictionary("SendEmailSender", 20000, 10000); }, mailRead}},
        {"design_8_large_pictures", {[] { return designOfLargePictures(8); }, designRead}},
        {"xlsx_format_100k_hashes", {[] { return longFormats(1, 100000); }, xlsxRead}},
        {"xlsx_4096_formats_100k_hashes", {[] { return longFormats(4096, 100000); }, xlsxRead}},
        {"xlsx_10m_cell_formats", {[] { return manyCellFormats(10000000, "cellXfs"); }, xlsxRead}},
        {"xlsx_100m_cell_formats", {[] { return manyCellFormats(100000000, "cellXfs"); }, xlsxRead}},
        {"xlsx_shared_string_400mb",
         {[] {
              return XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>",
                                             "<si><t>" + QByteArray(400 << 20, 'x') + "</t></si>")
                  .bytes();
          },
          xlsxRead}},
        {"xlsx_cells_25m_in_a_row",
         {[] {
              return XlsxTestPackage::simple("<row r=\"1\">" + QByteArray("<c><v>1</v></c>").repeated(25000000) + "</row>")
                  .bytes();
          },
          xlsxRead}},
        {"xlsx_100m_style_formats", {[] { return manyCellFormats(100000000, "cellStyleXfs"); }, xlsxRead}},
        {"gif_65535x480", {[] { return gifOnScreen(65535, 480, 20); }, pictureRead}},
        {"gif_5000x5000", {[] { return gifOnScreen(5000, 5000, 20); }, pictureRead}},
        {"png_grey_100mp",
         {[] {
              QImage img(10000, 10000, QImage::Format_Grayscale8);
              img.fill(128);
              return encoded(img, "png");
          },
          pictureRead}},
        {"bmp_100mp",
         {[] {
              QImage img(10000, 10000, QImage::Format_RGB888);
              img.fill(Qt::darkCyan);
              return encoded(img, "bmp");
          },
          pictureRead}},
        {"jpeg_8000_grey_6_scans", {[] { return hostilepictures::progressiveGreyJpeg(8000, 8000); }, pictureRead}},
        {"jpeg_8000_grey_12_scans",
         {[] { return hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(8000, 8000), 6); },
          pictureRead}},
        {"jpeg_8000_grey_1000_scans",
         {[] { return hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(8000, 8000), 1000); },
          pictureRead}},
        {"jpeg_8000_grey_20000_scans",
         {[] { return hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(8000, 8000), 20000); },
          pictureRead}},
        {"jpeg_cmyk_progressive_10000", {[] { return hostilepictures::progressiveJpegDeclaring(10000, 4); }, pictureRead}},
        {"bmp_65535x65535", {[] { return hostilepictures::bmpDeclaring(65535, 65535); }, pictureRead}},
        {"png_16bit_100mp", {[] { return hostilepictures::png16(10000, 10000); }, pictureRead}},
        {"jpeg_100k_comments",
         {[] { return hostilepictures::jpegWithComments(hostilepictures::progressiveGreyJpeg(64, 64), 100000); },
          pictureRead}},
        {"png_100_texts_of_7.9mb",
         {[] { return hostilepictures::pngWithTexts(hostilepictures::png16(8, 8), 100, 7900000); }, pictureRead}},
        {"png_1000_texts_of_7.9mb",
         {[] { return hostilepictures::pngWithTexts(hostilepictures::png16(8, 8), 1000, 7900000); }, pictureRead}},
        {"ico_of_png_100mp",
         {[] {
              QImage img(10000, 10000, QImage::Format_Grayscale8);
              img.fill(128);
              return hostilepictures::iconHolding(encoded(img, "png"));
          },
          pictureRead}},
        {"ico_of_16bit_png_81mp", {[] { return hostilepictures::iconHolding(hostilepictures::png16(9000, 9000)); }, pictureRead}},
        {"csv_x_comma_30mb.csv", {[] { return repeated("x,", 30 << 20); }, textImport}},
        {"csv_x_comma_200mb.csv", {[] { return repeated("x,", 200 << 20); }, textImport}},
        {"csv_ordinary_20mb.csv", {[] { return ordinaryCsv(20 << 20); }, textImport}},
        {"csv_ordinary_200mb.csv", {[] { return ordinaryCsv(200 << 20); }, textImport}},
        {"csv_one_line_quoted_20mb.csv",
         {[] { return "\"" + repeated("ab\"\"", 20 << 20) + "\""; }, textImport}},
        {"txt_lines_x_30mb.txt", {[] { return repeated("x\n", 30 << 20); }, textImport}},
        {"rtf_open_groups_20mb.rtf", {[] { return rtfOpenGroups(20 << 20); }, textImport}},
        {"rtf_control_words_20mb.rtf", {[] { return "{\\rtf1\\ansi " + repeated("\\b", 20 << 20) + " x}"; }, textImport}},
    };
    return all;
}

int runFile(const QString& kind, const QString& path)
{
    static const std::map<QString, std::function<QString(const QByteArray&, const QString&)>> readers = {
        {"design", designRead}, {"archive", archiveRead}, {"clipboard", clipboardRead}, {"xlsx", xlsxRead},
        {"mail", mailRead}, {"picture", pictureRead}, {"text", textImport}};
    QFile f(path);
    if (!readers.count(kind) || !f.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = f.readAll();
    bench::resetPeak();
    QElapsedTimer clock;
    clock.start();
    const QString result = readers.at(kind)(bytes, path);
    std::printf("%s (%.1f KB): %s; %lld ms, peak %lld MB\n", qPrintable(QFileInfo(path).fileName()), bytes.size() / 1024.0,
                qPrintable(result.left(200)), clock.elapsed(), bench::peakResidentKb() / 1024);
    return 0;
}

int runOne(const QString& name)
{
    const auto it = shapes().find(name);
    if (it == shapes().end()) {
        std::fprintf(stderr, "unknown shape %s\n", qPrintable(name));
        return 2;
    }
    QTemporaryDir dir;
    const QByteArray bytes = it->second.make();
    // A text shape's name gives the extension that the text import goes by.
    const QString suffix = QFileInfo(name).suffix();
    const bool text = suffix == u"csv" || suffix == u"txt" || suffix == u"rtf";
    const QString path = dir.filePath(QStringLiteral("hostile") + (text ? u'.' + suffix : QString()));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return 2;
    f.close();
    bench::resetPeak();
    const qint64 before = bench::peakResidentKb();
    QElapsedTimer clock;
    clock.start();
    const QString result = it->second.read(bytes, path);
    const qint64 ms = clock.elapsed();
    std::printf("%s (%.1f KB): %s; %lld ms, peak %lld MB (%lld MB above the start)\n", qPrintable(name),
                bytes.size() / 1024.0, qPrintable(result.left(160)), ms, bench::peakResidentKb() / 1024,
                (bench::peakResidentKb() - before) / 1024);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    bench::printWithPoint();
    if (argc > 3 && QByteArray(argv[1]) == "--write" && shapes().count(QString::fromLocal8Bit(argv[2]))) {
        QFile out(QString::fromLocal8Bit(argv[3]));
        return out.open(QIODevice::WriteOnly) && out.write(shapes().at(QString::fromLocal8Bit(argv[2])).make()) > 0 ? 0 : 2;
    }
    if (argc > 3 && QByteArray(argv[1]) == "--file")
        return runFile(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc > 1)
        return runOne(QString::fromLocal8Bit(argv[1]));
    for (const auto& [name, shape] : shapes()) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.setChildProcessModifier([] {
            const rlimit cap{4ULL << 30, 4ULL << 30};
            setrlimit(RLIMIT_AS, &cap);
        });
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {name});
        const bool finished = child.waitForFinished(300000);
        if (!finished)
            child.kill();
        const QByteArray out = child.readAllStandardOutput().trimmed();
        if (finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && !out.isEmpty())
            std::printf("%s\n", out.constData());
        else
            std::printf("%s: %s after %lld ms (exit %d)\n", qPrintable(name),
                        finished ? "died at the 4 GB cap" : "stopped at 300 s", clock.elapsed(), child.exitCode());
        std::fflush(stdout);
    }
    return 0;
}
