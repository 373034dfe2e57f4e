#include "report/PaperTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#define FMT_HEADER_ONLY
#include <fmt/format.h>

#include "report/ResultsCsv.h"
#include "report/SvgDrawing.h"
#include "shell/base/NumberText.h"

namespace vortel {

namespace {

constexpr const char* PlusMinus = "\xc2\xb1";
constexpr const char* Sidak = "\xc5\xa0id\xc3\xa1k";

bool EndsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (std::size_t k = 0; k < end.size(); ++k) {
        const auto c = static_cast<unsigned char>(text[text.size() - end.size() + k]);
        if (std::tolower(c) != end[k]) return false;
    }
    return true;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A level such as the Sidak level, to three significant digits: 0.00512.
std::string Level(double x) { return fmt::format("{:.3}", x); }

const char* TransformationWord(Transformation t) {
    switch (t) {
        case Transformation::Arcsine:
            return "arcsine";
        case Transformation::Logit:
            return "logit";
        default:
            return "none";
    }
}

std::string ParameterName(const CartesianResult& r) {
    return r.Parameter.empty() ? std::string("value") : r.Parameter;
}

// --- Formats --------------------------------------------------------------------------------

// HTML escapes as the figures' XML does.
std::string HtmlEscaped(const std::string& text) { return SvgEscaped(text); }

std::string MarkdownEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (std::string_view("\\`*_[]<|~").find(c) != std::string_view::npos) out += '\\';
        // A line break would end the table's row.
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out;
}

std::string LatexEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\textbackslash{}";
                break;
            case '^':
                out += "\\textasciicircum{}";
                break;
            case '~':
                out += "\\textasciitilde{}";
                break;
            case '<':
                out += "\\textless{}";
                break;
            case '>':
                out += "\\textgreater{}";
                break;
            case '{':
            case '}':
            case '$':
            case '&':
            case '#':
            case '_':
            case '%':
                out += '\\';
                out += c;
                break;
            case '\n':
            case '\r':
                out += ' ';
                break;
            default:
                out += c;
        }
    }
    // The few signs of the captions, as any LaTeX sets them.
    out = Replaced(out, PlusMinus, "$\\pm$");
    out = Replaced(out, Sidak, "\\v{S}id\\'ak");
    out = Replaced(out, "\xe2\x88\x9a", "$\\surd$");
    out = Replaced(out, "\xe2\x88\x92", "$-$");
    return out;
}

std::string CellText(const DisplayCell& c) {
    if (c.Numbers.empty()) return c.Text;
    return c.Text.empty() ? c.Numbers : c.Numbers + " " + c.Text;
}

std::string CsvOf(const DisplayTable& t) {
    std::string s;
    for (std::size_t c = 0; c < t.Header.size(); ++c) (s += c ? "," : "") += CsvField(t.Header[c]);
    s += "\r\n";
    for (const auto& row : t.Rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            (s += c ? "," : "") += CsvField(CellText(row[c]));
        s += "\r\n";
    }
    return s;
}

std::string MarkdownOf(const DisplayTable& t) {
    std::string s;
    if (!t.Caption.empty()) s += "Table: " + MarkdownEscaped(t.Caption) + "\n\n";
    s += "|";
    for (const auto& h : t.Header) s += " " + MarkdownEscaped(h) + " |";
    s += "\n|";
    for (std::size_t c = 0; c < t.Header.size(); ++c)
        s += c < t.LeftAligned.size() && t.LeftAligned[c] ? " :--- |" : " :---: |";
    s += "\n";
    for (const auto& row : t.Rows) {
        s += "|";
        for (const auto& cell : row) {
            const std::string text = MarkdownEscaped(CellText(cell));
            s += text.empty() ? " |" : " " + text + " |";
        }
        s += "\n";
    }
    for (const auto& note : t.Notes) s += "\n" + MarkdownEscaped(note) + "\n";
    return s;
}

// The numbers of a cell keep to one line, so that a narrow column breaks a cell only before its
// letters: word processors break lines at blanks whatever the style sheet says, but not at
// no-break spaces.
std::string HtmlCell(const DisplayCell& c) {
    const std::string numbers = Replaced(HtmlEscaped(c.Numbers), " ", "&nbsp;");
    const std::string text = HtmlEscaped(c.Text);
    return numbers.empty() || text.empty() ? numbers + text : numbers + " " + text;
}

// Inline styles only, and rules as cell borders: word processors keep those when the table is
// pasted, where they drop style sheets and row borders.
std::string HtmlOf(const DisplayTable& t) {
    const std::string heavy = "1.5pt solid #000000", light = "0.75pt solid #000000";
    const auto style = [&](std::size_t column, const std::string& borders) {
        const bool left = column < t.LeftAligned.size() && t.LeftAligned[column];
        return std::string(" style=\"padding:2pt 6pt;text-align:") + (left ? "left" : "center") +
               ";vertical-align:top;font-weight:normal" + borders + "\"";
    };
    std::string s = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                    HtmlEscaped(t.Caption.empty() ? std::string("Table") : t.Caption) +
                    "</title>\n</head>\n<body>\n";
    if (!t.Caption.empty())
        s += "<p style=\"margin:0 0 4pt 0\">" + HtmlEscaped(t.Caption) + "</p>\n";
    s += "<table style=\"border-collapse:collapse;border-top:" + heavy + ";border-bottom:" + heavy +
         "\">\n<thead>\n<tr>";
    for (std::size_t c = 0; c < t.Header.size(); ++c)
        s += "<th" + style(c, ";border-top:" + heavy + ";border-bottom:" + light) + ">" +
             HtmlEscaped(t.Header[c]) + "</th>";
    s += "</tr>\n</thead>\n<tbody>\n";
    for (std::size_t r = 0; r < t.Rows.size(); ++r) {
        const std::string bottom = r + 1 == t.Rows.size() ? ";border-bottom:" + heavy : "";
        s += "<tr>";
        for (std::size_t c = 0; c < t.Rows[r].size(); ++c)
            s += "<td" + style(c, bottom) + ">" + HtmlCell(t.Rows[r][c]) + "</td>";
        s += "</tr>\n";
    }
    s += "</tbody>\n</table>\n";
    for (const auto& note : t.Notes)
        s += "<p style=\"margin:4pt 0 0 0;font-size:90%\">" + HtmlEscaped(note) + "</p>\n";
    return s + "</body>\n</html>\n";
}

std::string LatexCell(const DisplayCell& c) {
    std::string s;
    if (!c.Numbers.empty()) s = "$" + Replaced(c.Numbers, PlusMinus, "\\pm") + "$";
    if (!c.Text.empty()) s += (s.empty() ? "" : " ") + LatexEscaped(c.Text);
    return s;
}

std::string LatexOf(const DisplayTable& t) {
    std::string columns;
    for (std::size_t c = 0; c < t.Header.size(); ++c)
        columns += c < t.LeftAligned.size() && t.LeftAligned[c] ? 'l' : 'c';
    std::string s =
        "% Needs \\usepackage{booktabs} in the preamble.\n"
        "\\begin{table}[htbp]\n\\centering\n";
    if (!t.Caption.empty()) s += "\\caption{" + LatexEscaped(t.Caption) + "}\n";
    s += "\\begin{tabular}{" + columns + "}\n\\toprule\n";
    for (std::size_t c = 0; c < t.Header.size(); ++c)
        s += (c ? " & " : "") + LatexEscaped(t.Header[c]);
    s += " \\\\\n\\midrule\n";
    for (const auto& row : t.Rows) {
        for (std::size_t c = 0; c < row.size(); ++c) s += (c ? " & " : "") + LatexCell(row[c]);
        s += " \\\\\n";
    }
    s += "\\bottomrule\n\\end{tabular}\n";
    for (const auto& note : t.Notes)
        s += "\\par\\smallskip{\\footnotesize " + LatexEscaped(note) + "\\par}\n";
    return s + "\\end{table}\n";
}

// --- The treatment table --------------------------------------------------------------------

std::string Integer(std::int64_t x) { return std::to_string(x); }

std::string BText(const CartesianResult& r) {
    std::int32_t low = 0, high = 0;
    for (std::size_t k = 0; k < r.Treatments.size(); ++k) {
        const std::int32_t b = r.Treatments[k].BootstrapNumber;
        low = k ? std::min(low, b) : b;
        high = k ? std::max(high, b) : b;
    }
    return low == high ? "B = " + Integer(low) + " bootstrap values per treatment"
                       : "B = " + Integer(low) + " to " + Integer(high) +
                             " bootstrap values per treatment (column B)";
}

std::string ScaleText(Transformation t) {
    switch (t) {
        case Transformation::Arcsine:
            return ", all on the arcsine scale (arcsin \xe2\x88\x9ax) on which the test compared "
                   "the values";
        case Transformation::Logit:
            return ", all on the logit scale (ln(x/(1 \xe2\x88\x92 x))) on which the test compared "
                   "the values";
        default:
            return "";
    }
}

// Whether treatments i and j (report positions) share a letter.
bool ShareLetter(const std::string& a, const std::string& b) {
    return a.find_first_of(b) != std::string::npos;
}

std::string CsvTable(const CartesianResult& r, int d) {
    std::string s =
        "parameter,transformation,treatment,n,B,estimate,SE,letters,percentile_lower,"
        "percentile_upper\r\n";
    for (const TreatmentResult& t : r.Treatments) {
        s += CsvField(ParameterName(r)) + "," + TransformationWord(r.Transform) + "," +
             CsvField(t.Name) + "," + Integer(t.SampleSize) + "," + Integer(t.BootstrapNumber) +
             "," + FixedDecimals(PaperEstimate(r, t), d) + "," + FixedDecimals(t.SE, d) + "," +
             CsvField(t.Letters) + "," + FixedDecimals(t.PercentileLower, d) + "," +
             FixedDecimals(t.PercentileUpper, d) + "\r\n";
    }
    return s;
}

}  // namespace

std::optional<PaperFormat> PaperFormatOf(const std::string& path) {
    if (EndsWith(path, ".csv")) return PaperFormat::Csv;
    if (EndsWith(path, ".md")) return PaperFormat::Markdown;
    if (EndsWith(path, ".html") || EndsWith(path, ".htm")) return PaperFormat::Html;
    if (EndsWith(path, ".tex")) return PaperFormat::Latex;
    return std::nullopt;
}

std::string FixedDecimals(double x, int decimals) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    std::string s = fmt::format("{:.{}f}", x, std::clamp(decimals, 0, 17));
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

int ChooseDecimals(const std::vector<double>& estimates, const std::vector<double>& se,
                   const std::function<bool(int, int)>& differ) {
    const int n = static_cast<int>(estimates.size());
    const auto fits = [&](int d) {
        const std::string zero = FixedDecimals(0, d);
        for (const double e : se)
            if (std::isfinite(e) && e > 0 && FixedDecimals(e, d) == zero) return false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const double a = estimates[static_cast<std::size_t>(i)];
                const double b = estimates[static_cast<std::size_t>(j)];
                if (!std::isfinite(a) || !std::isfinite(b) || a == b || !differ(i, j)) continue;
                if (FixedDecimals(a, d) == FixedDecimals(b, d)) return false;
            }
        return true;
    };
    for (int d = 0; d < MostPaperDecimals; ++d)
        if (fits(d)) return d;
    return MostPaperDecimals;
}

double PaperEstimate(const CartesianResult& result, const TreatmentResult& t) {
    return TransformedValue(t.Original, result.Transform);
}

int PaperDecimals(const CartesianResult& r) {
    std::vector<double> estimates, se;
    for (const TreatmentResult& t : r.Treatments) {
        estimates.push_back(PaperEstimate(r, t));
        se.push_back(t.SE);
    }
    return ChooseDecimals(estimates, se,
                          [&](int i, int j) { return r.Pair(i + 1, j + 1).AtFivePercent; });
}

std::string PaperCaption(const CartesianResult& r) {
    const std::size_t pairs = r.Pairs.size();
    return ParameterName(r) + " of each treatment: the estimate from the original data " +
           PlusMinus +
           " its bootstrap SE, and the 95 % percentile interval of its bootstrap values" +
           ScaleText(r.Transform) + "; " + BText(r) +
           ". Means followed by the same letter do not differ (Cartesian paired test, P > 0.05); "
           "the " +
           Sidak + " level for the " + Integer(static_cast<std::int64_t>(pairs)) + " pair" +
           (pairs == 1 ? "" : "s") + " is " + Level(r.SidakAlpha) + ".";
}

std::vector<std::string> PaperNotes(const CartesianResult& r) {
    const int n = r.TreatmentCount();
    for (const TreatmentResult& t : r.Treatments)
        if (t.Letters.empty())
            return {
                "No letters: these treatments would need more than the 52 letters a to z and "
                "A to Z; the report's tables give the P-value of every pair."};
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (ShareLetter(r.Treatment(i).Letters, r.Treatment(j).Letters) ==
                r.Pair(i, j).AtFivePercent)
                return {"The letters do not mark every pair as its P-value does (pair " +
                        r.Treatment(i).Name + ", " + r.Treatment(j).Name +
                        "); the report's tables give the P-value of every pair."};
    return {};
}

std::string PaperTableOf(const CartesianResult& r, PaperFormat format, int decimals) {
    const int d = decimals < 0 ? PaperDecimals(r) : std::min(decimals, MostPaperDecimals);
    if (format == PaperFormat::Csv) return CsvTable(r, d);
    DisplayTable t;
    t.Header = {"Treatment", "n", ParameterName(r) + " " + PlusMinus + " SE", "B", "95 % interval"};
    t.LeftAligned = {true, false, false, false, false};
    for (const TreatmentResult& tr : r.Treatments) {
        t.Rows.push_back({{"", tr.Name},
                          {Integer(tr.SampleSize), ""},
                          {FixedDecimals(PaperEstimate(r, tr), d) + " " + PlusMinus + " " +
                               FixedDecimals(tr.SE, d),
                           tr.Letters},
                          {Integer(tr.BootstrapNumber), ""},
                          {"[" + FixedDecimals(tr.PercentileLower, d) + ", " +
                               FixedDecimals(tr.PercentileUpper, d) + "]",
                           ""}});
    }
    t.Caption = PaperCaption(r);
    t.Notes = PaperNotes(r);
    return RenderDisplayTable(t, format);
}

std::string RenderDisplayTable(const DisplayTable& table, PaperFormat format) {
    switch (format) {
        case PaperFormat::Csv:
            return CsvOf(table);
        case PaperFormat::Markdown:
            return MarkdownOf(table);
        case PaperFormat::Html:
            return HtmlOf(table);
        default:
            return LatexOf(table);
    }
}

}  // namespace vortel
