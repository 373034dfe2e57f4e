// The frequency view drawn with Qt Charts: the histogram of the classes beside their
// cumulative frequency on a probit axis with the line of a normal distribution.
#pragma once

#include <string>

#include "sortcount/NormalityView.h"

class QWidget;

namespace vortel::gui {

// A widget holding both charts side by side, sharing one value axis range.
QWidget* CreateNormalityChart(const vortel::NormalityData& data, QWidget* parent);

// Renders the view offscreen into a PNG picture; needs a running QApplication. An earlier
// picture of the same name stays until the new one is complete. Throws RunStopped on failure.
void SaveNormalityChartPng(const vortel::NormalityData& data, const std::string& path);

}  // namespace vortel::gui
