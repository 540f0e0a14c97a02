// Whether a picture's data decodes, checked at a small cost: a PNG row by row through the decoder Qt's reader
// uses, a JPEG at an eighth of its size, the others at a small size their reader makes as it can.

#include "common/PictureReader.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include <png.h>

namespace pictures {

namespace {

struct PngInput {
    const QByteArray* bytes;
    qsizetype at;
    const std::atomic<bool>* stop;
};

extern "C" void pngReadInput(png_structp png, png_bytep out, size_t length) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if ((in->stop && in->stop->load()) || qsizetype(length) > in->bytes->size() - in->at)
        png_error(png, "Read Error");
    std::memcpy(out, in->bytes->constData() + in->at, length);
    in->at += qsizetype(length);
}

extern "C" void pngFailed(png_structp png, png_const_charp) { png_longjmp(png, 1); }
extern "C" void pngWarned(png_structp, png_const_charp) {}

// Every row, and the chunks to the end, read as Qt's reader reads them (the same options), one row held.
bool pngDecodes(const QByteArray& bytes, const std::atomic<bool>* stop) {
    PngInput input{&bytes, 0, stop};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFailed, pngWarned);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    png_bytep volatile row = nullptr;
    volatile bool decodes = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
        png_set_read_fn(png, &input, pngReadInput);
        png_read_info(png, info);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        row = static_cast<png_bytep>(png_malloc(png, png_get_rowbytes(png, info)));
        const png_uint_32 height = png_get_image_height(png, info);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(png, row, nullptr);
        png_read_end(png, nullptr);
        decodes = true;
    }
    if (row)
        png_free(png, row);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return decodes;
}

// The bytes as a reader reads them, ending the input when stop is set.
class StoppableBuffer : public QBuffer {
public:
    StoppableBuffer(const QByteArray& bytes, const std::atomic<bool>* stop) : m_stop(stop) {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 max) override {
        return m_stop && m_stop->load() ? -1 : QBuffer::readData(data, max);
    }

private:
    const std::atomic<bool>* m_stop;
};

} // namespace

QString checkDecodes(const QByteArray& bytes, const PictureInfo& info, const std::atomic<bool>* stop) {
    if (!info.readable())
        return info.refusal;
    if (!info.damage.isEmpty())
        return info.damage;
    if (info.format == "png")
        return pngDecodes(bytes, stop) ? QString() : undecodableMessage();
    StoppableBuffer buffer(bytes, stop);
    QImageReader reader(&buffer, info.format);
    allowPicturesAtSourceLimit();
    // A JPEG decodes every block of its data at an eighth of its size; others decode whole where their reader
    // cannot scale, within what inspect() allowed.
    const QSize small((info.size.width() + 7) / 8, (info.size.height() + 7) / 8);
    if (reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(small);
    QImage image;
    return reader.read(&image) ? QString() : undecodableMessage();
}

} // namespace pictures
