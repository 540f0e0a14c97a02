#pragma once

// Making a picture the background (frame) of the front side: the side's record takes the picture and its
// path, and the full-card "PARTY_IMAGE_BG" item shows it.

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"

#include <QString>

// Loads the picture; when it cannot be read nothing changes and the result is null (reason in *error).
// Otherwise the record's fill is switched on with the picture and its path, and the "PARTY_IMAGE_BG" item
// takes the path; a side without that item gets a new one over the whole card, in front of all others.
// The result is that item.
GraphicPtr setFrontFramePicture(Card_Property& front, GraphicList& frontItems, const QString& path,
                                QString* error = nullptr);

// The first picture item (exactly a picture, not a signature) with the control ID, or null.
GraphicPtr findPictureItem(const GraphicList& items, const QString& controlId);

// The background picture a side's record names, as a design opens: the frame item's picture when that
// item shows the same file (the design holds its bytes, so it opens without the file), else the file read
// again; null (the reason in *error) when neither gives one.
ItemPicture backgroundPictureOf(const Card_Property& side, const GraphicList& items, QString* error = nullptr);

// Whether the side's frame item holds its background picture as backgroundPictureOf takes it from there (the
// same file and the same picture), so that a design need not store the picture twice.
bool backgroundHeldByFrame(const Card_Property& side, const GraphicList& items);
