#pragma once

#include "imaging/ImageAdjustments.h"

#include <QImage>

// The picture-adjustment pipeline. Pure functions of the picture and the values: safe on any thread.
class ImageProcesser {
public:
    // Grey scale, sepia and invert when set, then hue, then saturation, brightness and contrast together,
    // then sharpness (r), box blur (b), exposure (g), and last the rotation in degrees. The transparency is
    // not applied. Neutral values give the very same picture back. A failure is logged and gives a null image.
    static QImage Get_Processed_Image(const QImage& image, bool grayscale, bool sepia, bool invrtclr, float hue,
                                      float sat, float brt, float con, int rotate, float r, float g, float b,
                                      float tranprency);

    static QImage process(const QImage& image, const ImageAdjustSettings& settings);
    // The size process() gives for a picture of that size (a turn grows it to hold the turned picture).
    static QSize processedSize(const QSize& size, const ImageAdjustSettings& settings);
    // What process() holds at once besides the picture it is given, of that size (`premultiplied`: in
    // Format_ARGB32_Premultiplied): a working copy for any change of colour, light or pixels (or to turn a
    // picture in another format), with a plane for sharpening or blur, then with the turned result.
    static qint64 processCost(const QSize& size, const ImageAdjustSettings& settings, bool premultiplied);

    // The single stages, on a Format_ARGB32_Premultiplied picture in place.
    static void applyColour(QImage& image, const ImageAdjustSettings& settings);
    static void applySharpenLuminance(QImage& image, float amount);
    static void applyBoxBlur(QImage& image, int radius);
    static void applyExposure(QImage& image, float ev);
    static QImage rotated(const QImage& image, int degrees);
};
