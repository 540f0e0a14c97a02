#pragma once

// The item kinds. Their draw() members live in ItemPainting.cpp, the rest in SKTItems.cpp.

#include "canvas/SKTGraphic.h"

#include <QStringList>

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

    // The text cut to at most maxLength UTF-16 units, never splitting a surrogate pair.
    static QString cappedText(const QString& text, int maxLength = MaxTextLength);
};

class SKTImage : public SKTGraphic {
public:
    // A new picture item tells the host (resetImageEditingControls) unless notifyHost is false, as for
    // items decoded from an archive.
    explicit SKTImage(bool notifyHost = true);
    GraphicKind kind() const override { return GraphicKind::Image; }
    QString className() const override { return QStringLiteral("SKTImage"); }
    void draw(QPainter& painter) const override;
    // Size of the picture, flips off (respects the lock).
    void makeNaturalSize() override;
    // Records the path and loads the picture ("PARTY_IMAGE" takes the host's main photo instead).
    void setFilePath(const QString& path);
    // Why the last setFilePath found no picture at a path that was given; empty when it loaded.
    const QString& pictureError() const { return _pictureError; }
    // Reads a picture file (the path is standardised first: "~" expanded, cleaned) as its bytes, checked with
    // the limits of ItemPicture (those a design is read with); a null picture and the reason when the file is
    // missing, unreadable or over them.
    static ItemPicture loadPicture(const QString& path, QString* error = nullptr);
    // A picture path as the loads read it: trimmed, "~" expanded, cleaned.
    static QString standardizedPath(const QString& path);

private:
    QString _pictureError;
};

class SKTSignature : public SKTImage {
public:
    explicit SKTSignature(bool notifyHost = true);
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
    // On images, printers and PDF the symbol is drawn afresh for the device through the symbol painter;
    // on screen (and when no symbol can be drawn) the stored barcode image is shown.
    void draw(QPainter& painter) const override;
    // The symbol's natural size when a symbol painter is installed; else the base rule.
    void makeNaturalSize() override;

    // The barcode layer registers these; the canvas library cannot build symbols itself.
    struct SymbolServices {
        // Draws the item's symbol into its bounds for the painter's device; false leaves the drawing to the
        // stored image (a value that gives no symbol, extreme zoom).
        bool (*draw)(QPainter& painter, const SKTGraphic& item) = nullptr;
        // The natural size of the item's drawing in points; an empty size when there is none.
        QSizeF (*naturalSize)(const SKTGraphic& item) = nullptr;
    };
    static void setSymbolServices(const SymbolServices& services);
    static SymbolServices symbolServices();
};

// Makes a new item of the named class ("SKTText", ...) with the defaults of a new item; nullptr for an
// unknown name. notifyHost false: the host is not told about new picture items (decoding, copying).
GraphicPtr makeGraphicOfClass(const QString& className, bool notifyHost = true);

// The items among these whose pictures cannot be drawn and have not been said yet, one line each naming the
// item by the file its picture came from and the side ("front", "back"); each picture is claimed as said.
QStringList undrawablePictureLines(const GraphicList& items, const QString& side);
// What to tell of those lines: empty when there are none.
QString undrawablePictureNotice(const QStringList& lines);
