// The comparison grid of the main window: mean differences above the diagonal, P-values below.
#pragma once

#include <string>

#include "cartesian/result/CartesianResult.h"
#include "shell/state/Window.h"

namespace vortel {

// Fills the grid with N + 1 rows and columns from the result: the treatments' names, the
// difference of their bootstrap means above the diagonal, and P below it, marked "*" where the
// pair's t interval lies above 0.
void ShowMultiCIofDifference(const CartesianResult& result, Window& window);

// Text of a mean-difference cell: three decimals below 1, two up to 100, whole numbers above.
std::string MeanDifferenceCellText(double m);

}  // namespace vortel
