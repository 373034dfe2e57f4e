// The small SVG drawing layer every figure of the core shares: the document's head, texts,
// lines and the ticks of a value axis, written once so that the figures agree in font, number
// format and axis rules.
#pragma once

#include <string>
#include <vector>

namespace vortel {

// The one font family of every figure: the reader's own sans-serif.
inline constexpr const char* FigureFont = "sans-serif";

// Text from the data as it stands in SVG text and attributes: & < > " escaped.
std::string SvgEscaped(const std::string& text);

// A coordinate with two decimals: enough for any screen, short enough for a small file.
std::string SvgAt(double x);

// The XML declaration and the opening <svg> element of a drawing of `width` x `height` user
// units, in the figure font, with its <title>. `widthText` and `heightText` give the outer size
// ("85mm"); empty: the user units, as CSS pixels.
std::string SvgBegin(double width, double height, const std::string& title,
                     const std::string& widthText = {}, const std::string& heightText = {});
inline constexpr const char* SvgEnd = "</svg>\n";

// A stroke: its colour, width and dash pattern (empty for a solid line).
struct SvgStroke {
    const char* Colour;
    double Width;
    const char* Dash;
};

std::string SvgLine(double x1, double y1, double x2, double y2, const SvgStroke& stroke);

// A text at (x, y), anchored "start", "middle" or "end"; `extra` adds attributes as they stand
// (" class=\"letters\"").
std::string SvgText(double x, double y, const std::string& text, const char* anchor, double size,
                    const std::string& extra = {});

// A text turned a quarter left about its anchor point, reading upwards (an axis name, a
// treatment's name under a narrow column).
std::string SvgUpwardText(double x, double y, const std::string& text, const char* anchor,
                          double size, const std::string& extra = {});

// The ticks of a value axis from `low` to `high`: 1, 2 or 5 times a power of ten apart, at most
// about `about` over the span, each with its label (as the report writes numbers, never -0).
struct AxisTick {
    double Value;
    std::string Label;
};
std::vector<AxisTick> AxisTicks(double low, double high, int about = 5);

}  // namespace vortel
