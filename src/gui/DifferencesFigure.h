// The differences figure as the window and the batch commands save it: the core's drawing
// (DifferencesFigureSvg), as those very SVG bytes or as a PNG made from them, so every front end
// gives the same picture.
#pragma once

#include <string>
#include <vector>

#include "report/DifferenceHistogram.h"

namespace vortel::gui {

// Picture pixels to each CSS pixel of the drawing in a PNG: sharp on a scaled screen and in a
// document, at 192 dpi.
inline constexpr int DifferencesPngScale = 2;

// The drawing as a PNG. Needs a running Qt application (its fonts).
std::string DifferencesFigurePng(const std::string& svg);

// Writes `svg` to `path`, as it stands when the name ends in .svg (any case) and as PNG
// otherwise. An earlier file of the same name stays until the new one is complete. A PNG needs
// a running Qt application; throws RunStopped, naming the file, on failure.
void SaveDifferencesFigure(const std::string& svg, const std::string& path);
// The same for the drawing of `pairs`.
void SaveDifferencesFigure(const std::vector<PairDifferences>& pairs, const std::string& path);

}  // namespace vortel::gui
