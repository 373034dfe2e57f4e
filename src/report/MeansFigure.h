// The means figure of a test, drawn as SVG without a window toolkit: one point (or bar) per
// treatment at its estimate, with the 95 % percentile interval of its bootstrap values and its
// letters above, in the letter table's order, sized for a journal's single or double column.
// Black and greys only, so it reads the same to every eye and in print.
#pragma once

#include <string>

#include "cartesian/result/CartesianResult.h"

namespace vortel {

enum class MeansStyle { Points, Bars };

// A journal column: 85 mm, or 175 mm across two.
enum class FigureColumn { Single, Double };
double ColumnWidthMm(FigureColumn column);

struct MeansFigureOptions {
    MeansStyle Style = MeansStyle::Points;
    FigureColumn Column = FigureColumn::Single;
};

// The drawing's outer size, for a picture of it at a given resolution.
struct FigureSizeMm {
    double Width = 0, Height = 0;
};
FigureSizeMm MeansFigureSize(const CartesianResult& result, const MeansFigureOptions& options);

// The whole drawing, UTF-8, in points (1/72 inch) with its size in millimetres; each treatment's
// letters stand in a <text class="letters">, its name in a <text class="treatment">. The
// estimate is the one the paper table shows (PaperEstimate), on the scale the test compared.
std::string MeansFigureSvg(const CartesianResult& result, const MeansFigureOptions& options = {});

}  // namespace vortel
