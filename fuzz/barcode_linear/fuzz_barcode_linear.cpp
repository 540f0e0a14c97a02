// Feeds arbitrary values to every linear symbology. The first byte chooses the symbology; the rest is
// the value (UTF-8). Every answer of a barcode object is asked for, bar geometry included.

#include "barcode/BarcodeSymbologies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int index = data[0] % (BarcodeSymbologies::LinearCount + 1); // one index past the list
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    auto b = BarcodeSymbologies::createLinearBarcode(index);
    if (!b)
        return 0;
    b->initWithContent(value, (data[0] & 0x80) != 0);
    const bool valid = b->isContentValid();
    const QString reason = b->invalidReason();
    if (valid != reason.isEmpty())
        __builtin_trap(); // a refusal always has a reason
    const QString modules = b->completeBarcode();
    float sum = 0;
    for (int i = 0; i < modules.size(); ++i)
        sum += b->barTop(i) - b->barBottom(i);
    b->setBarWidth(1.0f);
    b->calculateWidth();
    (void)sum;
    (void)b->leftCaption();
    (void)b->caption();
    (void)b->rightCaption();
    (void)b->description();
    return 0;
}
