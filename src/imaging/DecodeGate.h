#pragma once

// The bytes that picture decodes and their adjustments share at once, counted as they really peak, with the
// pictures runs keep for their rows (JobPictures) counted beside them (ProcessedImageCache.cpp).

#include <QtGlobal>

namespace decodegate {

inline constexpr qint64 Bytes = 1024LL * 1024 * 1024;

// Counts `bytes` of a kept picture when, with the pictures kept and the decodes running, it leaves room for a
// decode of `room` bytes and the pictures kept stay within `limit`; false (nothing counted) when not.
bool hold(qint64 bytes, qint64 room, qint64 limit = Bytes);
void release(qint64 bytes);

} // namespace decodegate
