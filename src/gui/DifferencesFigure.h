// The differences figure: for every pair of the last test the histogram of its Cartesian
// differences with lines at 0, the mean, the t interval and the percentile interval, all pairs
// as small multiples in one picture, in report order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/DifferenceHistogram.h"

class QGraphicsScene;

namespace vortel::gui {

// Size of one pair's panel in the saved picture, in pixels.
inline constexpr int PanelWidth = 420;
inline constexpr int PanelHeight = 290;

// Panels per row: a near-square block, wider than tall.
int FigureColumns(int panels);

// The whole figure as a scene: a key to the lines at the top, then one chart per pair, row by
// row, `columns` to a row (FigureColumns when 0). Without the key when `withKey` is false: a
// view that scrolls shows the key apart. Needs a running QApplication.
std::unique_ptr<QGraphicsScene> CreateDifferencesScene(const std::vector<PairDifferences>& pairs,
                                                       int columns = 0, bool withKey = true);
// The key alone, one row of KeyHeight pixels: what the bars count and what each line marks.
std::unique_ptr<QGraphicsScene> CreateDifferencesKey(int bins);
inline constexpr int KeyHeight = 34;

// Writes the figure to `path`, as SVG when the name ends in .svg (any case) and as PNG
// otherwise. An earlier file of the same name stays until the new one is complete. Needs a
// running QApplication; throws RunStopped on failure.
void SaveDifferencesFigure(const std::vector<PairDifferences>& pairs, const std::string& path);

}  // namespace vortel::gui
