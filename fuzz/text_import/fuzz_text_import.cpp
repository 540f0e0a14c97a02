// Feeds arbitrary bytes to the readers of the series import's text sources: the encoding detection, the RTF
// reader, the CSV separator guess under both decimal separators and the value splitting of plain text, CSV
// and pasted text.

#include "common/TextEncoding.h"
#include "data/SeriesImport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<QString> rtf = SeriesImport::rtfToText(bytes))
        SeriesImport::valuesOfText(*rtf, SeriesImport::TextKind::Rtf);
    TextEncoding how;
    const QString text = textFileToString(bytes, &how);
    textEncodingNote(how, QStringLiteral("The file"));
    SeriesImport::valuesOfText(text, SeriesImport::TextKind::Plain);
    SeriesImport::valuesOfText(text, SeriesImport::TextKind::Csv);
    SeriesImport::valuesOfPastedText(text, true);
    const QByteArray utf8 = textFileToUtf8(bytes);
    if (!QByteArrayView(utf8).isValidUtf8())
        __builtin_trap(); // every reader takes the text as UTF-8
    SeriesImport::csvSeparator(utf8, true);
    SeriesImport::csvSeparator(utf8, false);
    SeriesImport::hasValues(SeriesImport::textValues(utf8, SeriesImport::TextKind::Csv));
    return 0;
}
