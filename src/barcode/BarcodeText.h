#pragma once

// Text measuring and font set-up for barcode drawing. Every length here is in points, whatever device
// the text is finally drawn on; measuring runs on a private 72 dpi image so it works on any thread.

#include <QFont>
#include <QList>
#include <QString>

class QPaintDevice;

namespace BarcodeText {

// Height of the font's capital letters, in points.
qreal capHeight(const QFont& font);
// Width of one line of text laid out with the font and no extra spacing, in points.
qreal textWidth(const QFont& font, const QString& text);
// Height of one laid-out line, and the ascent above its baseline, in points.
qreal lineHeight(const QFont& font);
qreal ascent(const QFont& font);

struct Cluster {
    QString text;  // one grapheme cluster
    qreal advance; // its width, points
};
// The text split into grapheme clusters with their widths, for drawing with extra spacing.
QList<Cluster> clusters(const QFont& font, const QString& text);
// The font to set on a painter of `device` whose user units are points: the point size is rescaled for
// the device's resolution.
QFont deviceFont(const QFont& font, const QPaintDevice* device);

} // namespace BarcodeText
