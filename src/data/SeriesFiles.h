#pragma once

#include "data/DataText.h"
#include "data/PooledValues.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Series lists: one UTF-8 text file "<name>.txt" per list in Data_Folder_Path, one value per line, each line
// ended by "\n". Every path is built from a checked name, so no name ever leaves the data folder.
class SeriesFiles {
public:
    static inline const QString batch_file_EXT = QStringLiteral("txt");
    // Largest series file that is read.
    static constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;

    // A name that may become a file name (isSafeFileName): not empty, no separator or reserved character,
    // no leading dot, not "." or "..", bounded length.
    static bool isValidName(const QString& name);
    // Remove_Reserve_Char_In_File_Name(), then the empty string when the result is not a valid name.
    static QString cleanName(const QString& typed);
    // The series file of a valid name; the empty string for an invalid one.
    static QString filePath(const QString& name);
    static bool exists(const QString& name);

    // The series names: regular, non-hidden "*.txt" files of the data folder whose base name is valid,
    // sorted case-insensitively (ties case-sensitively) so the order is the same on every machine.
    static QStringList Get_datasheet_File_Name_Array();
    static QStringList Get_datasheet_File_Name_Array(const QString& folder);

    static QString notUtf8Message(const QString& name, const LegacyCodePage& page = userLegacyCodePage())
    {
        TextEncoding how;
        how.kind = TextEncoding::Kind::CodePage;
        how.page = page;
        return encodingNote(name, how);
    }
    // What the user is told about how the series file was read (textEncodingNote); empty when it is Unicode.
    static QString encodingNote(const QString& name, const TextEncoding& how) {
        return textEncodingNote(how, QStringLiteral("The series \"%1\"").arg(name));
    }
    // The whole file as text without a byte order mark; nothing when missing or too large. The file is read
    // by textFileToUtf8's rules; when it is read in a code page or holds bytes that are no text, the user is
    // told once per file (encodingNote).
    static std::optional<QString> readText(const QString& name, QString* error = nullptr);
    // Binding rule: the whole text trimmed, split at "\n"; an empty file gives one empty value.
    // Nothing when the file is missing or unreadable.
    static std::optional<QStringList> readForBinding(const QString& name, QString* error = nullptr);
    // First line, untrimmed (a trailing "\r" is dropped); empty when missing or unreadable.
    static QString Get_First_Value_Of_Dataset(const QString& name);
    // Viewer rule: each line trimmed, empty lines left out.
    static QStringList readForViewer(const QString& name);

    enum class WriteMode { Replace, Append };
    // Writes the values, one per line, as UTF-8, atomically (appending to a file that is not UTF-8 first
    // turns its text, read by textFileToUtf8's rules, into UTF-8): the old file is replaced only once the new
    // one is complete. Line breaks inside a value become spaces; other control characters (tab aside) are
    // left out. On failure the old file is untouched and *error holds "Error in file accessing." followed by
    // the reason.
    static bool writeSeries(const QString& name, const QStringList& values, QString* error = nullptr,
                            WriteMode mode = WriteMode::Replace);
    static bool writeSeries(const QString& name, const PooledValues& values, QString* error = nullptr,
                            WriteMode mode = WriteMode::Replace);
    static bool removeSeries(const QString& name);

private:
    static bool writeLines(const QString& name, WriteMode mode, QString* error,
                           const std::function<void(QByteArray&)>& addValues);
};
