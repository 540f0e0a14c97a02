#pragma once

// The stored form of a card side's settings: its 28 stored fields (every field but the picture
// Card_BG_Image, which is loaded again from Card_BG_Image_Path) as property-list values in a fixed order,
// for the design file to place in its root array.
//
// Value forms: integers as integers, the alpha as a real, texts as strings, colours as an array of four
// reals (red, green, blue, alpha, 0..1; empty for no colour), Card_Location as the string "{x, y}",
// Card_Size as "{w, h}", the font as a dictionary {"NSName", "NSSize", "NAVUWeight", "NAVUItalic",
// "NAVUUnderline", "NAVUStrikeOut"}.

#include "canvas/Card_Property.h"
#include "canvas/KeyedArchive.h"

#include <QStringList>

namespace CardPropertyArchive {

constexpr int StoredFieldCount = 28;

// The stored fields' names, in storage order.
QStringList storedFieldNames();

// Appends the 28 values to a plist array.
void append(const Card_Property& record, plist_t array);

// Reads 28 values from the array, starting at index start, into record. False with a reason when the
// array is too short. A value of the wrong type or out of range leaves that field as it was in record (the
// caller passes a reset record) and its name is added to *defaulted. An alpha stored in percent (above 1,
// at most 100, as older records held) is read as that percentage.
bool read(plist_t array, uint32_t start, Card_Property& record, QString* error = nullptr,
          QStringList* defaulted = nullptr);

} // namespace CardPropertyArchive
