#include "canvas/GraphicClipboard.h"

#include "canvas/ItemArchive.h"

#include <QBuffer>
#include <QImageWriter>
#include <QMimeData>
#include <QPainter>
#include <QPdfWriter>

namespace {

QByteArray encodeImage(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.canWrite() || !writer.write(image))
        return {};
    return bytes;
}

QByteArray pdfOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(image.size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter painter;
    if (!painter.begin(&pdf))
        return {};
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(image.size())), image);
    painter.end();
    return bytes;
}

} // namespace

QByteArray graphicsPasteboardData(const GraphicList& items)
{
    PlistPtr array(plist_new_array());
    for (const GraphicPtr& item : items) {
        if (item)
            plist_array_append_item(array.get(), plistio::newData(archiveItem(*item)));
    }
    return plistio::toBytes(array.get(), plistio::Format::Binary);
}

QMimeData* makeGraphicsMimeData(const GraphicList& items, const QImage& rendering, const ClipboardRenderings& formats)
{
    auto* data = new QMimeData;
    data->setData(SKTGraphicViewPasteboardType, graphicsPasteboardData(items));
    if (!rendering.isNull()) {
        if (formats.png) {
            const QByteArray png = encodeImage(rendering, "png");
            if (!png.isEmpty())
                data->setData(QStringLiteral("image/png"), png);
        }
        if (formats.pdf) {
            const QByteArray pdf = pdfOf(rendering);
            if (!pdf.isEmpty())
                data->setData(QStringLiteral("application/pdf"), pdf);
        }
        if (formats.tiff) {
            const QByteArray tiff = encodeImage(rendering, "tiff");
            if (!tiff.isEmpty())
                data->setData(QStringLiteral("image/tiff"), tiff);
        }
    }
    return data;
}

bool hasGraphics(const QMimeData* data) { return data && data->hasFormat(SKTGraphicViewPasteboardType); }

GraphicList graphicsFromPasteboardData(const QByteArray& payload, QString* error, int* skipped)
{
    if (skipped)
        *skipped = 0;
    // The payload and every archive in it share one budget, and their pictures another.
    qint64 budget = plistio::readBudget(payload.size());
    const PictureBudget pictures;
    const PlistPtr root = plistio::fromBytes(payload, error, &budget, MaxClipboardBytes);
    if (!root)
        return {};
    if (plist_get_node_type(root.get()) != PLIST_ARRAY) {
        if (error)
            *error = QStringLiteral("The clipboard holds no items.");
        return {};
    }
    const uint32_t count = plist_array_get_size(root.get());
    if (count > uint32_t(MaxClipboardItems)) {
        if (error)
            *error = QStringLiteral("The clipboard holds too many items.");
        return {};
    }
    GraphicList items;
    for (uint32_t i = 0; i < count; ++i) {
        plist_t entry = plist_array_get_item(root.get(), i);
        GraphicPtr item;
        if (const auto bytes = plistio::dataValue(entry, plistio::MaxPlistBytes))
            item = unarchiveItem(*bytes, nullptr, nullptr, &budget);
        else if (entry && plist_get_node_type(entry) == PLIST_DICT)
            item = unarchiveItemPlist(entry);
        if (item && !pictures.exceeded())
            items << item;
        else if (skipped)
            ++*skipped;
    }
    if (items.isEmpty() && error)
        *error = QStringLiteral("The clipboard holds no readable items.");
    return items;
}

GraphicList graphicsFromMimeData(const QMimeData* data, QString* error, int* skipped)
{
    if (skipped)
        *skipped = 0;
    if (!hasGraphics(data)) {
        if (error)
            *error = QStringLiteral("The clipboard holds no items.");
        return {};
    }
    return graphicsFromPasteboardData(data->data(SKTGraphicViewPasteboardType), error, skipped);
}
