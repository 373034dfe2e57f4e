#include "report/DifferencesSvg.h"

#include <algorithm>
#include <cmath>

#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"

namespace vortel {

namespace {

constexpr int PanelWidth = 420;
constexpr int PanelHeight = 290;
constexpr int Columns = 2;
constexpr int KeyHeight = 34;
// The plot inside a panel: room for the title above, tick labels and the axis name below.
constexpr double Left = 46, Right = 14, Top = 34, Bottom = 52;

std::string Escaped(const std::string& text) {
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

// Coordinates with two decimals: enough for any screen, short enough for a small file.
std::string At(double x) { return NumberText(std::round(x * 100) / 100); }

struct Mark {
    const char* Name;
    const char* Colour;
    const char* Dash;  // empty for a solid line
};
constexpr Mark Zero{"0", "#888888", "2 3"};
constexpr Mark MeanMark{"Mean", "#d62728", ""};
constexpr Mark TMark{"t 95% interval", "#1f77b4", "6 3"};
constexpr Mark PercentileMark{"Percentile 95% interval", "#ff7f0e", "1.5 2.5"};

std::string Line(double x1, double y1, double x2, double y2, const Mark& m) {
    std::string s = "<line x1=\"" + At(x1) + "\" y1=\"" + At(y1) + "\" x2=\"" + At(x2) +
                    "\" y2=\"" + At(y2) + "\" stroke=\"" + m.Colour + "\" stroke-width=\"1.6\"";
    if (*m.Dash) s += std::string(" stroke-dasharray=\"") + m.Dash + "\"";
    return s + "/>\n";
}

std::string Label(double x, double y, const std::string& text, const char* anchor,
                  double size = 11) {
    return "<text x=\"" + At(x) + "\" y=\"" + At(y) + "\" text-anchor=\"" + anchor +
           "\" font-size=\"" + At(size) + "\">" + Escaped(text) + "</text>\n";
}

// The tick step: 1, 2 or 5 times a power of ten, about five ticks over the span.
double TickStep(double span) {
    if (!(span > 0) || !std::isfinite(span)) return 0;
    const double raw = span / 5;
    const double power = rounded::Pow(10.0, std::floor(rounded::Log10(raw)));
    for (const double f : {1.0, 2.0, 5.0})
        if (raw <= f * power) return f * power;
    return 10 * power;
}

std::string Panel(const PairDifferences& p, double x0, double y0) {
    std::string s = "<g transform=\"translate(" + At(x0) + " " + At(y0) + ")\">\n";
    s += "<rect width=\"" + At(PanelWidth - 8) + "\" height=\"" + At(PanelHeight - 8) +
         "\" fill=\"none\" stroke=\"currentColor\" stroke-opacity=\"0.25\"/>\n";
    s += Label((PanelWidth - 8) / 2.0, 20,
               p.Minuend + " \xe2\x88\x92 " + p.Subtrahend + "  (P = " + NumberText(p.P) + ")",
               "middle", 12.5);
    const double width = PanelWidth - 8 - Left - Right;
    const double height = PanelHeight - 8 - Top - Bottom;
    const auto& edges = p.Histogram.Edges;
    const auto& counts = p.Histogram.Counts;
    // The value axis spans the differences, 0 and every mark, so that each is drawn.
    double low = edges.empty() ? 0 : edges.front();
    double high = edges.empty() ? 0 : edges.back();
    for (const double v : {0.0, p.Mean, p.TLower, p.TUpper, p.PercentileLower, p.PercentileUpper})
        if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
    if (!(high > low)) low -= 1, high += 1;
    const double pad = (high - low) * 0.03;
    low -= pad, high += pad;
    const auto xOf = [&](double v) { return Left + (v - low) / (high - low) * width; };
    std::int64_t most = 1;
    for (const auto c : counts) most = std::max(most, c);
    const double base = Top + height;
    s += "<g fill=\"#4c78a8\" fill-opacity=\"0.75\">\n";
    for (std::size_t k = 0; k < counts.size() && k + 1 < edges.size(); ++k) {
        if (counts[k] == 0) continue;
        const double h = static_cast<double>(counts[k]) / static_cast<double>(most) * height;
        const double a = xOf(edges[k]);
        const double b = std::max(xOf(edges[k + 1]), a + 1);
        s += "<rect x=\"" + At(a) + "\" y=\"" + At(base - h) + "\" width=\"" + At(b - a) +
             "\" height=\"" + At(h) + "\"/>\n";
    }
    s += "</g>\n";
    // Axes, ticks and names.
    s += "<path d=\"M" + At(Left) + " " + At(Top) + "V" + At(base) + "H" + At(Left + width) +
         "\" fill=\"none\" stroke=\"currentColor\"/>\n";
    const double step = TickStep(high - low);
    if (step > 0) {
        for (double t = std::ceil(low / step) * step; t <= high; t += step) {
            const double x = xOf(t);
            const double shown = std::fabs(t) < step * 1e-9 ? 0 : t;
            s += "<path d=\"M" + At(x) + " " + At(base) + "v4\" stroke=\"currentColor\"/>\n";
            s += Label(x, base + 15, NumberText(RoundToDecimals(shown, 12)), "middle", 10);
        }
    }
    s += Label(Left + width / 2, base + 34, "Cartesian difference", "middle");
    s += "<text transform=\"translate(14 " + At(Top + height / 2) +
         ") rotate(-90)\" text-anchor=\"middle\" font-size=\"11\">Count</text>\n";
    const auto mark = [&](double v, const Mark& m) {
        if (std::isfinite(v)) s += Line(xOf(v), Top, xOf(v), base, m);
    };
    mark(0, Zero);
    mark(p.TLower, TMark);
    mark(p.TUpper, TMark);
    mark(p.PercentileLower, PercentileMark);
    mark(p.PercentileUpper, PercentileMark);
    mark(p.Mean, MeanMark);
    return s + "</g>\n";
}

}  // namespace

std::string DifferencesFigureSvg(const std::vector<PairDifferences>& pairs) {
    const int columns = std::min<int>(Columns, std::max<int>(1, static_cast<int>(pairs.size())));
    const int rows = (static_cast<int>(pairs.size()) + columns - 1) / columns;
    const int width = columns * PanelWidth + 8;
    const int height = KeyHeight + rows * PanelHeight + 8;
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        Text(width) + "\" height=\"" + Text(height) + "\" viewBox=\"0 0 " + Text(width) + " " +
        Text(height) +
        "\" font-family=\"sans-serif\" fill=\"currentColor\" color=\"#222222\">\n"
        "<title>Distribution of the Cartesian differences of each pair</title>\n";
    // The key, once for every panel.
    double x = 12;
    for (const Mark* m : {&Zero, &MeanMark, &TMark, &PercentileMark}) {
        s += Line(x, 18, x + 26, 18, *m);
        s += Label(x + 32, 22, m->Name, "start");
        x += 40 + 6.5 * static_cast<double>(std::string(m->Name).size()) + 14;
    }
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto column = static_cast<int>(k) % columns;
        const auto row = static_cast<int>(k) / columns;
        s += Panel(pairs[k], 8 + column * PanelWidth, KeyHeight + row * PanelHeight);
    }
    return s + "</svg>\n";
}

}  // namespace vortel
