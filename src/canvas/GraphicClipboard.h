#pragma once

// Copy and paste of items: the private type carries a binary property list whose root array holds one
// item archive (binary keyed-archive data) per item, front-most first; PNG, PDF and TIFF renderings of the
// copied items go beside it for other programs.

#include "canvas/SKTGraphic.h"

#include <QImage>
#include <QString>

class QMimeData;

inline const QString SKTGraphicViewPasteboardType = QStringLiteral("application/x-navu-photo-frame-graphics");

struct ClipboardRenderings {
    bool png = true;
    bool pdf = true;
    bool tiff = true;
};

// Most items one paste takes; more are refused as hostile.
constexpr int MaxClipboardItems = 10000;
// The largest payload one paste reads: as much as a design file holds, so that whatever items a design
// holds copy and paste (a copy larger than that is said at copying).
constexpr qint64 MaxClipboardBytes = 2047LL * 1024 * 1024;

// The clipboard contents for the items; rendering (the copied items drawn by the caller) is offered as
// PNG, PDF (one page of the image's size at 72 dpi) and TIFF when not null. Caller owns the result.
QMimeData* makeGraphicsMimeData(const GraphicList& items, const QImage& rendering = {},
                                const ClipboardRenderings& formats = {});
// The private-type payload alone.
QByteArray graphicsPasteboardData(const GraphicList& items);

bool hasGraphics(const QMimeData* data);
// New items (deep copies) decoded from the clipboard, in their order. Empty with a reason in *error when
// the data is missing or broken; broken single entries are left out and counted in *skipped.
GraphicList graphicsFromMimeData(const QMimeData* data, QString* error = nullptr, int* skipped = nullptr);
GraphicList graphicsFromPasteboardData(const QByteArray& payload, QString* error = nullptr, int* skipped = nullptr);
