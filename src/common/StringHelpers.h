#pragma once

// Small text helpers used all over the program. All of them accept null and empty texts.

#include <QString>

// The text without white space, line breaks, control and format characters (e.g. zero-width space,
// byte-order mark) at both ends; characters inside stay. A null text gives a null text.
QString Trim_Str(const QString& text);

// The first n characters; the whole text when it is shorter, an empty text when n <= 0.
QString Left_Str_substringToIndex(const QString& text, qsizetype n);

// The characters from index to the end; an empty text when index is past the end, the whole text when < 0.
QString Right_Str_substringFromIndex(const QString& text, qsizetype index);

// Up to length characters from index (clamped to the text); length < 0 reads to the end.
QString Read_Str_FromIndex(const QString& text, qsizetype index, qsizetype length = -1);

// True when part occurs in text (case-sensitive); false for an empty part.
bool Find_Str(const QString& text, const QString& part);

// A copy of text with every occurrence of oldPart replaced by newPart; an empty oldPart changes nothing.
QString Replace_char_in_string(const QString& text, const QString& oldPart, const QString& newPart);

// Cleans a name typed for a file: the reserved characters / \ ? % * | " < > : and every control or format
// character are removed wherever they stand, then the result is trimmed with Trim_Str.
// The result may still be unusable (empty, "." or starting with a dot): check it with fileNameProblem().
QString Remove_Reserve_Char_In_File_Name(const QString& text);

// True for the characters a file name never holds: separators, reserved characters, control and format
// characters (except the zero-width joiner and non-joiner, which are parts of words).
bool isReservedFileNameChar(char32_t c);
