#pragma once

// How the program reads text files it did not write: the encoding rules every reader of text follows,
// the code page of the user's language, and what the user is told about a file read by them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows-1252 (Western European) bytes as text.
QString decodeWindows1252(QByteArrayView bytes);

// The code page Windows programs save text in, when not in Unicode, for the user's language: its name for
// QStringDecoder ("windows-1252" for languages written in it and unknown ones) and for the user.
struct LegacyCodePage {
    const char* name;
    const char* shown; // "Windows-1251 (Cyrillic)"
};
LegacyCodePage userLegacyCodePage();
// Bytes that are not UTF-8 as text in userLegacyCodePage(), or in Windows-1252 where they are no text of
// that page: the fallback for text that is not UTF-8. *used names the page read.
QString decodeLegacyText(QByteArrayView bytes, LegacyCodePage* used = nullptr);

// How the bytes of a text file were read.
struct TextEncoding {
    enum class Kind { Utf8, Utf16LE, Utf16BE, CodePage };
    Kind kind = Kind::Utf8;
    LegacyCodePage page{"UTF-8", "UTF-8"}; // the code page read, for CodePage
    qsizetype replaced = 0;                // places whose bytes are no text in the encoding, read as U+FFFD
    qsizetype firstReplacedLine = 0;       // the line (from 1) of the first
};

// The rules every reader of text files follows. A byte order mark names UTF-8 or UTF-16. Without one:
// UTF-16 when the bytes say so (a control character or zero in every other byte, as Latin, Cyrillic, Greek
// and the like give in UTF-16); UTF-8 when the bytes are UTF-8, or more of their non-ASCII characters are
// UTF-8 than not (a stray byte in a UTF-8 file), the places that are not read as U+FFFD; else the code page
// of the user's language (decodeLegacyText). Gives UTF-8 without a byte order mark; valid UTF-8 without one
// comes back as it is, without a copy.
QByteArray textFileToUtf8(QByteArray bytes, TextEncoding* how = nullptr);
// The same as text.
QString textFileToString(const QByteArray& bytes, TextEncoding* how = nullptr);

// What the user is told about how a file was read, after `subject` ("The file \"a.csv\""): which code page
// was taken for it, or where bytes were no text; empty for Unicode text read as it is.
QString textEncodingNote(const TextEncoding& how, const QString& subject);
