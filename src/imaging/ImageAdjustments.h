#pragma once

// Ranges, neutral values and meaning of the picture adjustments. The pipeline (ImageProcesser) and the
// inspector sliders both read them from here, so a stored value always means the same thing.
//
// Colour adjustments work on 8-bit sRGB values scaled to 0..1 and are composed into one affine colour
// transform that is clamped once at the end:
//   grey scale  c' = luma(c) for r, g and b           luma = 0.2125 r + 0.7154 g + 0.0721 b
//   sepia       the classic sepia matrix (SepiaMatrix below)
//   invert      c' = 1 - c
//   hue         rotation of the colour about the grey axis by `hue` radians, keeping luma
//   saturation  c' = luma + sat * (c - luma)
//   brightness  c' = c + brt
//   contrast    c' = (c - 0.5) * con + 0.5
// Spatial and light adjustments follow:
//   sharpness   unsharp mask on luma only: L' = L + s * (L - blur3x3(L)), the difference added to r, g, b
//   blur        box blur of radius round(blur) pixels (box width 2r + 1), edges repeat the border pixels
//   exposure    in linear light: c' = c * 2^ev
//   rotation    degrees, positive is counter-clockwise; the picture grows to hold the rotated picture and
//               the new corners are transparent
// Transparency is percent of opacity (100 opaque); the pipeline leaves it to whoever draws the picture.

namespace ImageAdjust {

struct Range {
    float min;
    float max;
    float neutral;
    // NaN gives the neutral value.
    constexpr float clamp(float v) const { return v != v ? neutral : (v < min ? min : (v > max ? max : v)); }
    constexpr bool isNeutral(float v) const { return v == neutral; }
};

inline constexpr float Pi = 3.14159265358979f;

inline constexpr Range Hue{-Pi, Pi, 0.0f};               // radians
inline constexpr Range Saturation{0.0f, 2.0f, 1.0f};      // factor
inline constexpr Range Brightness{-1.0f, 1.0f, 0.0f};     // added to 0..1 values
inline constexpr Range Contrast{0.25f, 4.0f, 1.0f};       // factor about mid grey
inline constexpr Range Sharpness{0.0f, 2.0f, 0.0f};       // unsharp-mask amount
inline constexpr Range Exposure{-10.0f, 10.0f, 0.0f};     // EV stops
inline constexpr Range Blur{0.0f, 100.0f, 0.0f};          // box radius in pixels
inline constexpr Range Rotation{-360.0f, 360.0f, 0.0f};   // degrees
inline constexpr Range Transparency{0.0f, 100.0f, 100.0f}; // percent opacity

// Luma weights (Rec. 709).
inline constexpr float LumaR = 0.2125f;
inline constexpr float LumaG = 0.7154f;
inline constexpr float LumaB = 0.0721f;

// Row-major sepia matrix applied to (r, g, b).
inline constexpr float SepiaMatrix[3][3] = {
    {0.393f, 0.769f, 0.189f},
    {0.349f, 0.686f, 0.168f},
    {0.272f, 0.534f, 0.131f},
};

} // namespace ImageAdjust

#include <QHashFunctions>
#include <cmath>

// One set of adjustment values, as an item or the photo settings hold them.
struct ImageAdjustSettings {
    bool grayscale = false;
    bool sepia = false;
    bool invert = false;
    float hue = ImageAdjust::Hue.neutral;
    float saturation = ImageAdjust::Saturation.neutral;
    float brightness = ImageAdjust::Brightness.neutral;
    float contrast = ImageAdjust::Contrast.neutral;
    int rotation = 0; // degrees
    float sharpness = ImageAdjust::Sharpness.neutral;
    float exposure = ImageAdjust::Exposure.neutral;
    float blur = ImageAdjust::Blur.neutral;

    bool hasColourChange() const
    {
        return grayscale || sepia || invert || hue != ImageAdjust::Hue.neutral ||
               saturation != ImageAdjust::Saturation.neutral ||
               brightness != ImageAdjust::Brightness.neutral || contrast != ImageAdjust::Contrast.neutral;
    }
    int blurRadius() const { return int(std::lround(ImageAdjust::Blur.clamp(blur))); }
    int normalizedRotation() const { return rotation % 360; }
    // Sharpening and blur work in pixels: they are made on the whole picture, then it is scaled.
    bool needsWholePicture() const
    {
        return ImageAdjust::Sharpness.clamp(sharpness) != 0.0f || blurRadius() > 0;
    }
    bool isNeutral() const
    {
        return !hasColourChange() && ImageAdjust::Sharpness.clamp(sharpness) == 0.0f &&
               ImageAdjust::Exposure.clamp(exposure) == 0.0f && blurRadius() == 0 && normalizedRotation() == 0;
    }
    friend bool operator==(const ImageAdjustSettings&, const ImageAdjustSettings&) = default;
};

inline size_t qHash(const ImageAdjustSettings& s, size_t seed = 0)
{
    return qHashMulti(seed, s.grayscale, s.sepia, s.invert, s.hue, s.saturation, s.brightness, s.contrast,
                      s.rotation, s.sharpness, s.exposure, s.blur);
}
