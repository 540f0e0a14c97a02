#pragma once

#include "canvas/SKTGraphic.h"

// A plain item carrying the stored fields, for tests that only need the barcode style of an item.
class BarcodeTestItem : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Barcode; }
    QString className() const override { return QStringLiteral("SKTBarcode"); }
    void draw(QPainter&) const override {}
};
