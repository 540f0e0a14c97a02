#pragma once

// The item kinds. Their draw() members live in ItemPainting.cpp, the rest in SKTItems.cpp.

#include "canvas/SKTGraphic.h"

class SKTText : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Text; }
    QString className() const override { return QStringLiteral("SKTText"); }
    void draw(QPainter& painter) const override;
    // Size of the laid-out text (respects the lock, leaves an empty natural size alone).
    void makeNaturalSize() override;
    // Sets the whole text, cut at 250 characters without splitting a surrogate pair.
    void setText(const QString& text);
    static constexpr int MaxTextLength = 250;
};

class SKTImage : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Image; }
    QString className() const override { return QStringLiteral("SKTImage"); }
    void draw(QPainter& painter) const override;
    // Size of the picture, flips off (respects the lock).
    void makeNaturalSize() override;
    // Records the path and loads the picture ("PARTY_IMAGE" takes the host's main photo instead).
    void setFilePath(const QString& path);
};

class SKTSignature : public SKTImage {
public:
    GraphicKind kind() const override { return GraphicKind::Signature; }
    QString className() const override { return QStringLiteral("SKTSignature"); }
    void draw(QPainter& painter) const override;
};

class Shape_Control : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Shape; }
    QString className() const override { return QStringLiteral("Shape_Control"); }
    void draw(QPainter& painter) const override;
};

class SKTLine : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Line; }
    QString className() const override { return QStringLiteral("SKTLine"); }
    void draw(QPainter& painter) const override;
};

class SKTBarcode : public SKTGraphic {
public:
    GraphicKind kind() const override { return GraphicKind::Barcode; }
    QString className() const override { return QStringLiteral("SKTBarcode"); }
    void draw(QPainter& painter) const override;
};

// Makes an empty item of the named class ("SKTText", ...); nullptr for an unknown name.
GraphicPtr makeGraphicOfClass(const QString& className);
