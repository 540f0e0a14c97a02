#pragma once

#include "imaging/ImageAdjustments.h"

#include <QImage>

// A small process-wide cache of adjusted pictures, keyed by the source picture's cacheKey() and the values,
// so that repainting a canvas does not run the pipeline again. Thread-safe; least recently used entries go
// first once the byte budget is spent.
class ProcessedImageCache {
public:
    // The adjusted picture (through ImageProcesser::process); neutral values give the source itself.
    // With a valid target size (device pixels the picture will cover), a picture more than twice as large
    // is scaled down to that size once, so drawing it does not resample the full picture every time.
    static QImage processed(const QImage& source, const ImageAdjustSettings& settings,
                            const QSize& targetSize = QSize());
    static void clear();
    static void setBudgetBytes(qint64 bytes);
    static int entryCount();
};
