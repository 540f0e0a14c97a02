#pragma once

// A picture as an item keeps it: the bytes it came in (what a design file stores), decoded at the size it is
// drawn (ProcessedImageCache), never larger than the file holds. Pictures made in memory are kept decoded.
// A picture may carry adjustments of its own (the main photo with its settings): it is then drawn, sized and
// decoded as the adjusted picture, made at the size asked from the bytes it shares with the picture as it
// came. Copies share the data; a picture never changes once made.

#include "imaging/ImageAdjustments.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class ItemPicture {
public:
    // The limits every road that takes in a picture applies (placing, pasting, opening a design), so that
    // whatever the program keeps, it reads again: the file's size, and what pictures::inspect() refuses and
    // what even its smallest decode would cost beyond pictures::MaxDecodeBytes.
    static constexpr qsizetype MaxBytes = 192 * 1024 * 1024; // the file

    ItemPicture() = default;
    ItemPicture(const QImage& image); // NOLINT: a picture made in memory

    // The picture in the bytes, checked but not decoded; a null picture and the reason when the bytes are
    // empty, too long, not a picture, or declare a picture over the limits. Data seen to be damaged gives a
    // picture that keeps its bytes and cannot be drawn (drawError()).
    static ItemPicture fromBytes(const QByteArray& bytes, QString* error = nullptr);
    // The same for a file, the reason naming the file; a file whose data does not decode is refused too.
    static ItemPicture fromFile(const QString& path, QString* error = nullptr);

    bool isNull() const { return !d; }
    // The picture as it came adjusted with settings, in place of any adjustments it had; neutral settings give
    // it as it came. The same picture and settings always give the same cache key.
    ItemPicture adjusted(const ImageAdjustSettings& settings) const;
    // Its adjustments (neutral for a picture as it came).
    ImageAdjustSettings adjustments() const;
    // The picture's own size (as shown: turned as its EXIF orientation says, and as its adjustments turn it).
    QSize size() const;
    int width() const { return size().width(); }
    int height() const { return size().height(); }
    // The bytes it came in (before its adjustments); empty for a picture made in memory.
    QByteArray bytes() const;
    // The bytes a pixel takes as its decoder gives it (16-bit PNG: 8).
    int decodedBytesPerPixel() const;
    // Decoded at its own size, or scaled to size (never larger than its own); 32 bits a pixel. A null image
    // when the bytes cannot be decoded after all.
    QImage image(QSize size = QSize()) const;
    // Whether the picture is kept decoded.
    bool inMemory() const;
    // Same for the same picture data, whichever copy.
    qint64 cacheKey() const;
    // Bytes held at once while decoding it at size (its own when invalid), counted as its decoder holds them.
    qint64 decodeCost(QSize size = QSize()) const;

    // Why the picture cannot be drawn: its bytes were found damaged when taken in, or a decode of them failed.
    // Such a picture is never decoded again (image() gives a null image) and keeps its bytes. Empty while
    // nothing has failed.
    QString drawError() const;
    // Asks, through the failure notifier, that a picture that cannot be drawn be said, until claimReport().
    void requestReport() const;
    // True once for a picture that cannot be drawn, for the one who says so.
    bool claimReport() const;
    // Called by requestReport(), on its thread.
    static void setFailureNotifier(std::function<void()> notify);

    bool operator==(const ItemPicture& o) const;
    bool operator!=(const ItemPicture& o) const { return !(*this == o); }

    struct Data;

private:
    std::shared_ptr<const Data> d;
};
