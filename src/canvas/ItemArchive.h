#pragma once

// The stored form of one card item: a keyed archive whose root object has the item's class name and one
// key per field, named exactly as the field. Design files, templates, the clipboard and item copies all
// use it.

#include "canvas/KeyedArchive.h"
#include "canvas/SKTGraphic.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ItemArchiveOptions {
    // Pictures are written: an item's picture as the bytes it came in (PNG data when made in memory), the
    // barcode image as PNG data. Item copies leave them out and share the pictures instead, which are just as
    // independent (never changed in place) and far faster.
    bool includePictures = true;
};

// The keyed archive of the item as a property-list tree (a dictionary), for embedding in other lists.
PlistPtr archiveItemPlist(const SKTGraphic& item, const ItemArchiveOptions& options = {});
// The same serialised as binary or XML property-list data.
QByteArray archiveItem(const SKTGraphic& item, plistio::Format format = plistio::Format::Binary);

// Rebuilds an item from its keyed archive. A broken layout, a missing root or an unknown class gives
// nullptr with a reason in *error. A field that is missing, of the wrong type or out of range keeps the
// default of a new item; its name is added to *defaulted.
GraphicPtr unarchiveItemPlist(plist_t archive, QString* error = nullptr, QStringList* defaulted = nullptr);
// budget, when given, is the budget of the file the archive is part of (plistio::fromBytes).
GraphicPtr unarchiveItem(const QByteArray& data, QString* error = nullptr, QStringList* defaulted = nullptr,
                         qint64* budget = nullptr);

// The keys of every stored field, in storage order.
QStringList archivedFieldNames();

// The bounds as the platform writes a rectangle: "{{x, y}, {w, h}}"; parsing refuses anything else.
QString rectToString(const QRectF& rect);
std::optional<QRectF> rectFromString(const QString& text);
