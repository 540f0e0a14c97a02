#pragma once

#include "imaging/ImageAdjustments.h"
#include "imaging/ItemPicture.h"

#include <QImage>

#include <functional>

// A small process-wide cache of pictures as items draw them: decoded at the size drawn and adjusted, keyed by
// the picture, the values and the size, so that repainting does not decode or run the pipeline again.
// Thread-safe; least recently used entries go first once the byte budget is spent.
class ProcessedImageCache {
public:
    // The adjusted picture (through ImageProcesser::process); neutral values give the picture itself. With a
    // valid target size (device pixels the picture will cover) it is made at that size, to be drawn a pixel
    // for a pixel: decoded smaller where its format can (JPEG) and resampled on the calling thread (workers
    // leave Qt's shared thread pool to the window's painting). A picture is made larger than its own pixels
    // only up to 16 megapixels; beyond, it comes at its own size, to be drawn stretched. A null image for a
    // picture that cannot be drawn (ItemPicture::drawError()).
    static QImage processed(const ItemPicture& source, const ImageAdjustSettings& settings,
                            const QSize& targetSize = QSize());
    static QImage processed(const QImage& source, const ImageAdjustSettings& settings,
                            const QSize& targetSize = QSize());
    static void clear();
    static void setBudgetBytes(qint64 bytes);
    static int entryCount();
    // Pictures made (decoded or scaled, and adjusted) since the program started (tests and benchmarks).
    static int madeCount();

    // While one lives on a thread (the canvas's paint), processed() makes no picture that takes time there:
    // it has it made on a worker and gives the picture made before for the same source and values at the
    // nearest size (null when there is none); the notifier is called, on the worker, once the new one is in,
    // with the source's cacheKey().
    class AsyncScope {
    public:
        AsyncScope();
        ~AsyncScope();
        AsyncScope(const AsyncScope&) = delete;
        AsyncScope& operator=(const AsyncScope&) = delete;

    private:
        bool m_outer;
    };
    static void setReadyNotifier(std::function<void(qint64 pictureKey)> notify);
    // An item's picture replaced by another: until the new one is made at a size, an AsyncScope gives what
    // was made of the one before (the item keeps showing its picture while the new one is decoded).
    static void showUntilMade(const ItemPicture& picture, const ItemPicture& before);
    // Waits until every picture asked for in an AsyncScope is made (tests and benchmarks).
    static void waitForPending();
    // Whether a picture asked for in an AsyncScope is still being made.
    static bool hasPending();
};
