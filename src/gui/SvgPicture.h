// A core drawing (SVG) as a PNG picture, rasterised by Qt SVG: what the window and the batch
// commands save when a picture is asked for, so both give the same pixels for the same drawing.
#pragma once

#include <string>

namespace vortel {

// The PNG bytes of `svg` drawn at `widthMm` x `heightMm` and `dpi` dots per inch on white, the
// resolution recorded in the file. Needs a running Qt application (its fonts); a drawing Qt
// cannot read stops the command.
std::string PngOfSvg(const std::string& svg, double widthMm, double heightMm, int dpi);

// The same for a drawing sized in CSS pixels (96 to the inch), at `scale` picture pixels to
// each of them.
std::string PngOfPixelSvg(const std::string& svg, int scale);

}  // namespace vortel
