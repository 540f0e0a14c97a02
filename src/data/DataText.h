#pragma once

#include <QString>
#include <QByteArrayView>
#include <QStringView>

// Text helpers of the data layer.

// Turns every line break (CR, LF, CRLF, NEL, LS, PS) inside a value into one space, so that the value
// fits on one line of a series file.
QString joinLineBreaks(QStringView text);

// The text without control characters (NUL, escape, DEL and the like); tab is kept, and line feeds and
// carriage returns too when keepLineBreaks. Values never carry them into a series file or the data table.
QString withoutControls(QStringView text, bool keepLineBreaks = false);

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
