#pragma once

// Draws the pictures a fuzzer reads as the program draws them, and makes a finding (a trap) of what must not
// happen: a decode holding more than the program counted for it (or over 1 GB), a picture that failed and
// would be decoded again on the next paint (the canvas's repaint loop), a picture taken in whose data was
// checked and then does not decode.

#include "common/PictureReader.h"
#include "imaging/ItemPicture.h"
#include "imaging/ProcessedImageCache.h"

#include <sanitizer/allocator_interface.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <atomic>
#include <cstddef>

namespace fuzzdraw {

inline std::atomic<qint64> liveBytes{0};
inline std::atomic<qint64> peakBytes{0};

inline void onMalloc(const volatile void*, size_t size) {
    const qint64 now = liveBytes += qint64(size);
    for (qint64 top = peakBytes; now > top && !peakBytes.compare_exchange_weak(top, now);) {
    }
}

inline void onFree(const volatile void* ptr) {
    if (ptr)
        liveBytes -= qint64(__sanitizer_get_allocated_size(const_cast<const void*>(ptr)));
}

// Counts the heap from now on (call once, at start).
inline void countAllocations() { __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree); }

// Called once at start: pictures up to Qt's 64 MB instead of the program's 100 megapixels keep each input fast
// under the sanitizers (the reader's own checks are the same), and the heap is counted from then on.
inline void startDrawing() {
    pictures::allowPicturesAtSourceLimit();
    QImageReader::setAllocationLimit(64);
    countAllocations();
}

// A small picture as PNG bytes, for seeds.
inline QByteArray pngOf(QSize size, QImage::Format format) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(size, format).save(&buffer, "png");
    return png;
}

// Runs work and traps when the heap grew beyond counted (with room for the sanitizers' and Qt's own small
// blocks) or beyond 1 GB meanwhile.
template <typename Work>
void heldWithin(qint64 counted, Work&& work) {
    peakBytes = liveBytes.load();
    const qint64 before = liveBytes;
    work();
    const qint64 grew = peakBytes - before;
    if (double(grew) > double(counted) * 1.25 + (8 << 20) || grew > (qint64(1) << 30))
        __builtin_trap();
}

// As an item draws it: at a small size and whole, each within what it is counted at; then as painting and
// the canvas's workers ask for it, twice, where a picture not made must be known not to be.
inline void drawAsTheProgramDoes(const ItemPicture& picture) {
    if (picture.isNull())
        return;
    for (const QSize size : {QSize(40, 30), QSize()})
        heldWithin(picture.decodeCost(size), [&] { (void)picture.image(size); });
    for (int paint = 0; paint < 2; ++paint) {
        if (ProcessedImageCache::processed(picture, ImageAdjustSettings(), QSize(24, 18)).isNull() &&
            picture.drawError().isEmpty())
            __builtin_trap();
        {
            const ProcessedImageCache::AsyncScope canvas;
            ProcessedImageCache::processed(picture, ImageAdjustSettings(), QSize(32, 24));
        }
        ProcessedImageCache::waitForPending();
        const ProcessedImageCache::AsyncScope canvas;
        if (ProcessedImageCache::processed(picture, ImageAdjustSettings(), QSize(32, 24)).isNull() &&
            picture.drawError().isEmpty())
            __builtin_trap(); // the canvas would ask again on the next paint, and again
    }
    ProcessedImageCache::clear();
}

} // namespace fuzzdraw
