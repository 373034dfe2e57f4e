// A core drawing (SVG) as a PNG picture, rasterised by Qt SVG: the batch commands' pictures at
// print resolution. Only in builds with the window toolkit.
#pragma once

#ifdef VORTEL_WITH_GUI

#include <string>

namespace vortel {

// The PNG bytes of `svg` drawn at `widthMm` x `heightMm` and `dpi` dots per inch on white, the
// resolution recorded in the file. Needs a running Qt application (its fonts); a drawing Qt
// cannot read stops the command.
std::string PngOfSvg(const std::string& svg, double widthMm, double heightMm, int dpi);

}  // namespace vortel

#endif
