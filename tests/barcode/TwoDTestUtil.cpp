#include "TestPictures.h"
#include "TwoDTestUtil.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <ZXing/BarcodeFormat.h>
#include <zint.h>

#include <QPainter>

RefSymbol zintEncode(int symbology, const QByteArray& data, int option1, int option2, int option3, int modeFlags, int eci)
{
    RefSymbol r;
    zint_symbol* s = ZBarcode_Create();
    s->symbology = symbology;
    s->input_mode = DATA_MODE | modeFlags;
    s->eci = eci;
    s->option_1 = option1;
    s->option_2 = option2;
    s->option_3 = option3;
    const int rc = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (rc >= ZINT_ERROR) {
        r.error = QString::fromLatin1(s->errtxt);
        if (r.error.isEmpty())
            r.error = QStringLiteral("zint error %1").arg(rc);
    } else {
        r.rows = s->rows;
        r.width = s->width;
        r.modules.assign(std::size_t(r.rows), std::vector<bool>(std::size_t(r.width)));
        for (int y = 0; y < r.rows; ++y)
            for (int x = 0; x < r.width; ++x)
                r.modules[std::size_t(y)][std::size_t(x)] = (s->encoded_data[y][x >> 3] >> (x & 7)) & 1;
    }
    ZBarcode_Delete(s);
    return r;
}

Decoded decodeImage(const QImage& image, int quiet, const QColor& background)
{
    Decoded d;
    QImage padded = filledImage(QSize(image.width() + 2 * quiet, image.height() + 2 * quiet), background);
    {
        QPainter p(&padded);
        p.drawImage(quiet, quiet, image);
    }
    const QImage gray = padded.convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                          int(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::PDF417 | ZXing::BarcodeFormat::DataMatrix);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    const ZXing::Result res = ZXing::ReadBarcode(view, hints);
    if (!res.isValid())
        return d;
    d.ok = true;
    const ZXing::ByteArray& b = res.bytes();
    d.bytes = QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
    d.text = QString::fromStdString(res.text());
    d.format = QString::fromStdString(ZXing::ToString(res.format()));
    return d;
}

bool pixelsArePure(const QImage& image, QRgb fg, QRgb bg)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (row[x] != fg && row[x] != bg)
                return false;
    }
    return true;
}
