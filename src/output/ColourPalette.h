#pragma once

// A picture reduced to 256 colours for GIF files: the palette is made from the picture's own colours
// (exact when it has 256 or fewer, else median cut refined by a few rounds of nearest-colour means, with
// pure white and black always kept), and every pixel takes its nearest palette colour without dithering,
// so flat areas stay flat.

#include <QImage>

namespace ColourPalette {

// The picture (any format; drawn over white where it is transparent) as Format_Indexed8 with at most 256
// colours. Null when memory runs out.
QImage toIndexed8(const QImage& picture);

} // namespace ColourPalette
