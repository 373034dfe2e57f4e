#include "report/MeansFigure.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "report/PaperTable.h"
#include "report/SvgDrawing.h"

namespace vortel {

namespace {

constexpr double PointsPerMm = 72 / 25.4;
// Type sizes in points, as journals ask for figures printed at their size.
constexpr double TickSize = 7, NameSize = 7, AxisSize = 8, LetterSize = 8;
// Room a character of the sans-serif takes, as a share of its size: wide enough for any of
// the common faces, so labels never run into each other.
constexpr double CharacterWidth = 0.6;
constexpr double Top = 6, Right = 6;
constexpr SvgStroke Ink{"currentColor", 0.8, ""};
constexpr SvgStroke Axis{"currentColor", 0.6, ""};
// Bars in a mid grey with a black edge: distinct from the black intervals in print.
constexpr const char* BarFill = "#b3b3b3";

// Number of characters of a UTF-8 text, for its estimated width.
double Characters(const std::string& text) {
    double n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

double TextWidth(const std::string& text, double size) {
    return Characters(text) * size * CharacterWidth;
}

std::string AxisName(const CartesianResult& r) {
    const std::string p = r.Parameter.empty() ? std::string("value") : r.Parameter;
    switch (r.Transform) {
        case Transformation::Arcsine:
            return "arcsin \xe2\x88\x9a" + p;
        case Transformation::Logit:
            return "logit " + p;
        default:
            return p;
    }
}

// Where everything goes, from the result alone: the figure's size follows from it.
struct Layout {
    double Width = 0, Height = 0;  // points
    double Left = 0, PlotWidth = 0, PlotHeight = 0, Bottom = 0;
    double Low = 0, High = 1;
    bool UprightNames = true, UprightLetters = true;
    std::vector<AxisTick> Ticks;
    double Y(double v) const { return Top + (High - v) / (High - Low) * PlotHeight; }
    double Base() const { return Top + PlotHeight; }
};

Layout LayOut(const CartesianResult& r, const MeansFigureOptions& o) {
    Layout l;
    l.PlotHeight = o.Column == FigureColumn::Single ? 150 : 190;
    // The value axis spans every estimate and interval, 0 under bars, and room for the letters.
    double low = 0, high = 0;
    bool any = false;
    for (const TreatmentResult& t : r.Treatments)
        for (const double v : {PaperEstimate(r, t), t.PercentileLower, t.PercentileUpper})
            if (std::isfinite(v)) {
                low = any ? std::min(low, v) : v;
                high = any ? std::max(high, v) : v;
                any = true;
            }
    if (o.Style == MeansStyle::Bars) low = std::min(low, 0.0), high = std::max(high, 0.0);
    if (!(high > low)) {
        const double half = std::fabs(high) > 0 ? std::fabs(high) * 0.1 : 1;
        low -= half, high += half;
    }
    l.Width = ColumnWidthMm(o.Column) * PointsPerMm;
    // Letters too wide for their column are turned to read upwards, and take that much room
    // above the highest interval.
    const double slotGuess = (l.Width - 60) / std::max(1, r.TreatmentCount());
    double widestLetters = 0;
    for (const TreatmentResult& t : r.Treatments)
        widestLetters = std::max(widestLetters, TextWidth(t.Letters, LetterSize));
    l.UprightLetters = widestLetters <= slotGuess * 0.92;
    const double letterRoom =
        std::min((l.UprightLetters ? LetterSize : widestLetters) + 6, l.PlotHeight * 0.6);
    const double span = high - low;
    const bool barsFromZero = o.Style == MeansStyle::Bars && low == 0;
    l.Low = barsFromZero ? 0 : low - span * 0.05;
    l.High = high + span * 0.05 + span * letterRoom / (l.PlotHeight - letterRoom);
    // More ticks than a panel of differences has: a reader takes values off this axis.
    l.Ticks = AxisTicks(l.Low, l.High, 8);
    double widest = 0;
    for (const AxisTick& t : l.Ticks) widest = std::max(widest, TextWidth(t.Label, TickSize));
    l.Left = 4 + AxisSize + 6 + widest + 5;
    l.PlotWidth = l.Width - l.Left - Right;
    const double slot = l.PlotWidth / std::max(1, r.TreatmentCount());
    double longest = 0;
    for (const TreatmentResult& t : r.Treatments)
        longest = std::max(longest, TextWidth(t.Name, NameSize));
    l.UprightNames = longest <= slot * 0.92;
    l.Bottom = l.UprightNames ? NameSize + 8 : std::min(longest, 160.0) + 10;
    l.Height = Top + l.PlotHeight + l.Bottom;
    return l;
}

}  // namespace

double ColumnWidthMm(FigureColumn column) { return column == FigureColumn::Single ? 85 : 175; }

FigureSizeMm MeansFigureSize(const CartesianResult& result, const MeansFigureOptions& options) {
    const Layout l = LayOut(result, options);
    return {l.Width / PointsPerMm, l.Height / PointsPerMm};
}

std::string MeansFigureSvg(const CartesianResult& r, const MeansFigureOptions& o) {
    const Layout l = LayOut(r, o);
    const FigureSizeMm mm = MeansFigureSize(r, o);
    std::string s = SvgBegin(l.Width, l.Height,
                             AxisName(r) +
                                 " of each treatment with the 95 % percentile interval of its "
                                 "bootstrap values; means with the same letter do not differ "
                                 "(Cartesian paired test, P > 0.05)",
                             SvgAt(mm.Width) + "mm", SvgAt(mm.Height) + "mm");
    const double base = l.Base();
    // The value axis with its ticks and name; the treatments' axis along the bottom.
    s += SvgLine(l.Left, Top, l.Left, base, Axis);
    s += SvgLine(l.Left, base, l.Left + l.PlotWidth, base, Axis);
    for (const AxisTick& t : l.Ticks) {
        const double y = l.Y(t.Value);
        s += SvgLine(l.Left - 3, y, l.Left, y, Axis);
        s += SvgText(l.Left - 5, y + TickSize * 0.35, t.Label, "end", TickSize);
    }
    s += SvgUpwardText(4 + AxisSize * 0.8, Top + l.PlotHeight / 2, AxisName(r), "middle", AxisSize);
    if (o.Style == MeansStyle::Bars && l.Low < 0)
        s += SvgLine(l.Left, l.Y(0), l.Left + l.PlotWidth, l.Y(0), Axis);

    const int n = r.TreatmentCount();
    const double slot = l.PlotWidth / std::max(1, n);
    for (int k = 0; k < n; ++k) {
        const TreatmentResult& t = r.Treatments[static_cast<std::size_t>(k)];
        const double x = l.Left + slot * (k + 0.5);
        const double estimate = PaperEstimate(r, t);
        s += "<g>\n";
        if (o.Style == MeansStyle::Bars && std::isfinite(estimate)) {
            const double w = std::min(slot * 0.6, 40.0);
            const double y0 = l.Y(0), y1 = l.Y(estimate);
            s += "<rect x=\"" + SvgAt(x - w / 2) + "\" y=\"" + SvgAt(std::min(y0, y1)) +
                 "\" width=\"" + SvgAt(w) + "\" height=\"" + SvgAt(std::fabs(y1 - y0)) +
                 "\" fill=\"" + BarFill + "\" stroke=\"currentColor\" stroke-width=\"0.6\"/>\n";
        }
        double top = estimate;
        if (std::isfinite(t.PercentileLower) && std::isfinite(t.PercentileUpper)) {
            const double cap = std::min(slot * 0.25, 8.0);
            const double yl = l.Y(t.PercentileLower), yu = l.Y(t.PercentileUpper);
            s += SvgLine(x, yl, x, yu, Ink);
            s += SvgLine(x - cap / 2, yl, x + cap / 2, yl, Ink);
            s += SvgLine(x - cap / 2, yu, x + cap / 2, yu, Ink);
            top = std::isfinite(top) ? std::max(top, t.PercentileUpper) : t.PercentileUpper;
        }
        if (o.Style == MeansStyle::Points && std::isfinite(estimate))
            s += "<circle cx=\"" + SvgAt(x) + "\" cy=\"" + SvgAt(l.Y(estimate)) +
                 "\" r=\"2.4\" fill=\"currentColor\"/>\n";
        if (std::isfinite(top) && l.UprightLetters)
            s += SvgText(x, l.Y(top) - 4, t.Letters, "middle", LetterSize, " class=\"letters\"");
        else if (std::isfinite(top))
            s += SvgUpwardText(x + LetterSize * 0.35, l.Y(top) - 3, t.Letters, "start", LetterSize,
                               " class=\"letters\"");
        if (l.UprightNames)
            s +=
                SvgText(x, base + NameSize + 4, t.Name, "middle", NameSize, " class=\"treatment\"");
        else
            s += SvgUpwardText(x + NameSize * 0.35, base + 5, t.Name, "end", NameSize,
                               " class=\"treatment\"");
        s += "</g>\n";
    }
    return s + SvgEnd;
}

}  // namespace vortel
