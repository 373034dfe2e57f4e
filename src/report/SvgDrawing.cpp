#include "report/SvgDrawing.h"

#include <cmath>

#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"

namespace vortel {

namespace {

// The tick step: 1, 2 or 5 times a power of ten, at most about `about` ticks over the span.
double TickStep(double span, int about) {
    if (!(span > 0) || !std::isfinite(span)) return 0;
    const double raw = span / about;
    const double power = rounded::Pow(10.0, std::floor(rounded::Log10(raw)));
    for (const double f : {1.0, 2.0, 5.0})
        if (raw <= f * power) return f * power;
    return 10 * power;
}

}  // namespace

std::string SvgEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string SvgAt(double x) { return NumberText(std::round(x * 100) / 100); }

std::string SvgBegin(double width, double height, const std::string& title,
                     const std::string& widthText, const std::string& heightText) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           (widthText.empty() ? SvgAt(width) : widthText) + "\" height=\"" +
           (heightText.empty() ? SvgAt(height) : heightText) + "\" viewBox=\"0 0 " + SvgAt(width) +
           " " + SvgAt(height) + "\" font-family=\"" + FigureFont +
           "\" fill=\"currentColor\" color=\"#222222\">\n<title>" + SvgEscaped(title) +
           "</title>\n";
}

std::string SvgLine(double x1, double y1, double x2, double y2, const SvgStroke& stroke) {
    std::string s = "<line x1=\"" + SvgAt(x1) + "\" y1=\"" + SvgAt(y1) + "\" x2=\"" + SvgAt(x2) +
                    "\" y2=\"" + SvgAt(y2) + "\" stroke=\"" + stroke.Colour + "\" stroke-width=\"" +
                    SvgAt(stroke.Width) + "\"";
    if (*stroke.Dash) s += std::string(" stroke-dasharray=\"") + stroke.Dash + "\"";
    return s + "/>\n";
}

std::string SvgText(double x, double y, const std::string& text, const char* anchor, double size,
                    const std::string& extra) {
    return "<text x=\"" + SvgAt(x) + "\" y=\"" + SvgAt(y) + "\" text-anchor=\"" + anchor +
           "\" font-size=\"" + SvgAt(size) + "\"" + extra + ">" + SvgEscaped(text) + "</text>\n";
}

std::string SvgUpwardText(double x, double y, const std::string& text, const char* anchor,
                          double size, const std::string& extra) {
    return "<text transform=\"translate(" + SvgAt(x) + " " + SvgAt(y) +
           ") rotate(-90)\" text-anchor=\"" + anchor + "\" font-size=\"" + SvgAt(size) + "\"" +
           extra + ">" + SvgEscaped(text) + "</text>\n";
}

std::vector<AxisTick> AxisTicks(double low, double high, int about) {
    std::vector<AxisTick> ticks;
    const double step = TickStep(high - low, about);
    if (!(step > 0)) return ticks;
    // Steps are added, not multiplied, as the figures have always placed them; the labels are
    // rounded so that the sums' last bits do not show.
    for (double t = std::ceil(low / step) * step; t <= high; t += step) {
        const double shown = std::fabs(t) < step * 1e-9 ? 0 : t;
        ticks.push_back({t, NumberText(RoundToDecimals(shown, 12))});
    }
    return ticks;
}

}  // namespace vortel
