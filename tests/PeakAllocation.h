#pragma once

// The most heap memory held at once while a piece of code runs: the test program's malloc family counts
// every block (through glibc's own allocator), so decoders' and Qt's buffers are all seen.

#include <QtGlobal>

namespace peakallocation {

// Starts counting anew from what is held now.
void reset();
// The most held at once since reset(), beyond what was held then.
qint64 peak();

} // namespace peakallocation
