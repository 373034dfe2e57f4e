#include "shell/mainwindow/ShowMultiCIofDifference.h"

#include <cmath>

#include "shell/base/NumberText.h"

namespace vortel {

std::string MeanDifferenceCellText(double m) {
    if (m < 1 || std::isnan(m)) return ShortForm(RoundToDecimals(m, 3));
    if (m <= 100) return ShortForm(RoundToDecimals(m, 2));
    return ShortForm(ToInt32(m, "A mean difference in the comparison grid"));
}

void ShowMultiCIofDifference(const CartesianResult& result, Window& window) {
    const int n = result.TreatmentCount();
    window.SetGridSize(n + 1, n + 1);
    for (int k = 0; k <= n; ++k) window.SetGridColumnWidth(k, 500);
    for (int k = 1; k <= n; ++k) {
        window.SetGridCell(k, 0, result.Treatment(k).Name);
        window.SetGridCell(0, k, result.Treatment(k).Name);
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            std::string text;
            if (i == j) {
                text = " ----";
            } else if (i < j) {
                text = MeanDifferenceCellText(std::abs(result.Treatment(i).BootstrapMean -
                                                       result.Treatment(j).BootstrapMean));
            } else {
                const PairResult& p = result.Pair(j, i);
                text = ShortForm(RoundToDecimals(p.P, 4));
                if (p.TLower > 0) text += "*";
            }
            window.SetGridCell(i, j, text);
        }
    }
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) window.CentreGridCell(i, j);
    window.RedrawGrid();
}

}  // namespace vortel
