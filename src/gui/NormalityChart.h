// The frequency view drawn with Qt Charts: the histogram of the classes beside their
// cumulative frequency on a probit axis with the line of a normal distribution.
#pragma once

#include <string>

#include "sortcount/NormalityView.h"

class QWidget;
class QSize;

namespace vortel::gui {

// A widget holding both charts side by side, sharing one value axis range.
QWidget* CreateNormalityChart(const vortel::NormalityData& data, QWidget* parent);

// The size the view is laid out at for a saved picture, in pixels.
QSize NormalityPictureSize();

// Saves the view laid out at NormalityPictureSize(): an SVG drawing when the name ends in
// ".svg", otherwise a PNG of `scale` device pixels per pixel. Needs a running QApplication. An
// earlier picture of the same name stays until the new one is complete. Throws RunStopped on
// failure.
void SaveNormalityChart(const vortel::NormalityData& data, const std::string& path,
                        double scale = 1);

}  // namespace vortel::gui
