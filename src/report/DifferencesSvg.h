// The differences figure as an SVG drawing, made without a window toolkit, so that every build
// of the program (the WebAssembly one included) can draw it: one panel per pair in report order,
// the histogram of its differences with 0, the mean and both intervals marked.
#pragma once

#include <string>
#include <vector>

#include "report/DifferenceHistogram.h"

namespace vortel {

// The whole drawing, UTF-8, sized in CSS pixels; texts from the data are escaped.
std::string DifferencesFigureSvg(const std::vector<PairDifferences>& pairs);

}  // namespace vortel
