#include "report/DifferencesSvg.h"

#include <algorithm>
#include <cmath>

#include "report/SvgDrawing.h"
#include "shell/base/NumberText.h"

namespace vortel {

namespace {

constexpr int PanelWidth = 420;
constexpr int PanelHeight = 290;
constexpr int Columns = 2;
constexpr int KeyHeight = 34;
// The plot inside a panel: room for the title above, tick labels and the axis name below.
constexpr double Left = 58, Right = 14, Top = 34, Bottom = 52;

// A marked value: its name in the key and its line.
struct Mark {
    const char* Name;
    SvgStroke Stroke;
};
constexpr Mark Zero{"0", {"#000000", 1.6, ""}};
constexpr Mark MeanMark{"Mean", {"#d62728", 1.6, ""}};
constexpr Mark TMark{"t 95% interval", {"#1f77b4", 1.6, "6 3"}};
constexpr Mark PercentileMark{"Percentile 95% interval", {"#2ca02c", 1.6, "1.5 2.5"}};

std::string Line(double x1, double y1, double x2, double y2, const Mark& m) {
    return SvgLine(x1, y1, x2, y2, m.Stroke);
}

std::string Label(double x, double y, const std::string& text, const char* anchor,
                  double size = 11) {
    return SvgText(x, y, text, anchor, size);
}

// A treatment's name as a panel's title shows it: a long one is cut short, so that the title
// fits its panel and the P-value after it stays in sight.
std::string ShortName(const std::string& name) {
    constexpr std::size_t Longest = 20;  // characters, not bytes
    std::size_t characters = 0;
    for (std::size_t k = 0; k < name.size(); ++k) {
        if ((static_cast<unsigned char>(name[k]) & 0xC0) == 0x80) continue;
        if (++characters == Longest) {
            // The name goes on past this character: keep the ones before it and mark the cut.
            std::size_t next = k + 1;
            while (next < name.size() && (static_cast<unsigned char>(name[next]) & 0xC0) == 0x80)
                ++next;
            if (next < name.size()) return name.substr(0, k) + "\xe2\x80\xa6";
        }
    }
    return name;
}

std::string Title(const PairDifferences& p, bool whole) {
    const auto name = [whole](const std::string& n) { return whole ? n : ShortName(n); };
    return name(p.Minuend) + " \xe2\x88\x92 " + name(p.Subtrahend) + "  (P = " + NumberText(p.P) +
           ")";
}

std::string Panel(const PairDifferences& p, double x0, double y0) {
    const std::string title = Title(p, false), whole = Title(p, true);
    std::string s = "<g transform=\"translate(" + SvgAt(x0) + " " + SvgAt(y0) + ")\">\n";
    // A title cut short: the panel carries the whole one, which a viewer shows on pointing at it.
    if (title != whole) s += "<title>" + SvgEscaped(whole) + "</title>\n";
    s += "<rect width=\"" + SvgAt(PanelWidth - 8) + "\" height=\"" + SvgAt(PanelHeight - 8) +
         "\" fill=\"none\" stroke=\"currentColor\" stroke-opacity=\"0.25\"/>\n";
    s += Label((PanelWidth - 8) / 2.0, 20, title, "middle", 12.5);
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
        s += "<rect x=\"" + SvgAt(a) + "\" y=\"" + SvgAt(base - h) + "\" width=\"" + SvgAt(b - a) +
             "\" height=\"" + SvgAt(h) + "\"/>\n";
    }
    s += "</g>\n";
    // Axes, ticks and names.
    s += "<path d=\"M" + SvgAt(Left) + " " + SvgAt(Top) + "V" + SvgAt(base) + "H" +
         SvgAt(Left + width) + "\" fill=\"none\" stroke=\"currentColor\"/>\n";
    for (const AxisTick& t : AxisTicks(low, high)) {
        const double x = xOf(t.Value);
        s += "<path d=\"M" + SvgAt(x) + " " + SvgAt(base) + "v4\" stroke=\"currentColor\"/>\n";
        s += Label(x, base + 15, t.Label, "middle", 10);
    }
    // The count scale, so that panels of different heights can be read against each other.
    for (const AxisTick& c : AxisTicks(0, static_cast<double>(most))) {
        if (c.Value <= 0 || c.Value != std::floor(c.Value)) continue;  // whole counts only
        const double y = base - c.Value / static_cast<double>(most) * height;
        s += "<path d=\"M" + SvgAt(Left) + " " + SvgAt(y) + "h-4\" stroke=\"currentColor\"/>\n";
        s += Label(Left - 6, y + 3.5, c.Label, "end", 10);
    }
    s += Label(Left + width / 2, base + 34, "Cartesian difference", "middle");
    s += SvgUpwardText(14, Top + height / 2, "Count", "middle", 11);
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
        SvgBegin(width, height, "Distribution of the Cartesian differences of each pair");
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
    return s + SvgEnd;
}

}  // namespace vortel
