#pragma once

// The preview picture of a template: the front side above the back side.

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"

#include <QImage>

// Card_Shape number of a side's shape code ("R" 0, "RR" 1, "E" 2).
int cardShapeNumber(const QString& shapeCode);

// Renders both sides with the one renderer and stacks them, front on top. Null when a side cannot be
// rendered (e.g. an empty card size).
QImage templatePreview(const GraphicList& front, const Card_Property& frontProp, const GraphicList& back,
                       const Card_Property& backProp, int cardShape);
