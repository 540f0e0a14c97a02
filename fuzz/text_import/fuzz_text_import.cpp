// Feeds arbitrary bytes to the readers of the series import's text sources: the encoding detection, the RTF
// reader, the CSV separator guess under both decimal separators and the value splitting of plain text, CSV
// and pasted text.

#include "data/SeriesImport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<QString> rtf = SeriesImport::rtfToText(bytes))
        SeriesImport::valuesOfText(*rtf, SeriesImport::TextKind::Rtf);
    if (const std::optional<QString> text = SeriesImport::decodeText(bytes)) {
        SeriesImport::valuesOfText(*text, SeriesImport::TextKind::Plain);
        SeriesImport::valuesOfText(*text, SeriesImport::TextKind::Csv);
        SeriesImport::valuesOfPastedText(*text, true);
    }
    if (const std::optional<QByteArray> utf8 = SeriesImport::textAsUtf8(bytes)) {
        SeriesImport::csvSeparator(*utf8, true);
        SeriesImport::csvSeparator(*utf8, false);
        SeriesImport::hasValues(SeriesImport::textValues(*utf8, SeriesImport::TextKind::Csv));
    }
    return 0;
}
