#include "app/BatchOptions.h"

#include <algorithm>
#include <cctype>

#include "report/PaperTable.h"
#include "report/ResultFileName.h"
#include "shell/base/NumberText.h"

namespace vortel {

namespace {

using CartesianRow = BatchOption<CartesianBatchOptions>;
using SortCountRow = BatchOption<SortCountBatchOptions>;
using PaperTableRow = BatchOption<PaperTableBatchOptions>;
using Problem = std::optional<std::string>;

// A table's decimals: a whole number from 0 to MostPaperDecimals.
Problem SetDecimals(const char* option, int& decimals, const std::string& v) {
    double d = 0;
    if (!ParseStrictNumber(v, d) || d < 0 || d > MostPaperDecimals || d != static_cast<int>(d))
        return std::string(option) + " takes a whole number from 0 to " + Text(MostPaperDecimals) +
               ", not \"" + v + "\"";
    decimals = static_cast<int>(d);
    return std::nullopt;
}

// A table's file: its ending picks the format.
Problem SetTableFile(const char* option, std::string& file, const std::string& v) {
    if (!PaperFormatOf(v))
        return std::string(option) + " \"" + v + "\" must end in " + PaperFormatEndings;
    file = v;
    return std::nullopt;
}

// The row of an option without a value: it turns `Field` on.
template <class Options, bool Options::*Field>
Problem SetSwitch(Options& o, const std::string&) {
    o.*Field = true;
    return std::nullopt;
}

const CartesianRow CartesianRows[] = {
    {"--transform", "none|arcsine|logit",
     "transforms every bootstrap value first: none (the default), the arcsine of its\n"
     "square root, or its logit.",
     "logit",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (v == "none")
             o.Transform = Transformation::None;
         else if (v == "arcsine")
             o.Transform = Transformation::Arcsine;
         else if (v == "logit")
             o.Transform = Transformation::Logit;
         else
             return "--transform is none, arcsine or logit, not \"" + v + "\"";
         return std::nullopt;
     }},
    {"--reversed", nullptr, "orders the treatments by increasing bootstrap means.", "",
     SetSwitch<CartesianBatchOptions, &CartesianBatchOptions::Reversed>},
    {"--detail-differences", nullptr, "writes six files of differences per pair.", "",
     SetSwitch<CartesianBatchOptions, &CartesianBatchOptions::DetailDifferences>},
    {"--flow-record", nullptr, "writes a file naming the procedures that ran.", "",
     SetSwitch<CartesianBatchOptions, &CartesianBatchOptions::FlowRecord>},
    {"--code", "CODE",
     "goes into the report's name (default 1: the date and time instead); a report\n"
     "whose name is taken goes to \"<name> (2).txt\", \"(3)\" and so on, never over\n"
     "another file.",
     "A7",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         // The report would ask again for a code it cannot use; a batch run cannot answer.
         if (!CodeFitsFileName(v)) return "--code \"" + v + "\" cannot stand in a file name";
         o.Code = v;
         return std::nullopt;
     }},
    {"--csv", nullptr,
     "also writes the results as \"<report> pairs.csv\" and \"<report> treatments.csv\"\n"
     "beside the report, with it or not at all, and prints their paths after the\n"
     "report's.",
     "", SetSwitch<CartesianBatchOptions, &CartesianBatchOptions::Csv>},
    {"--figure", "FILE.png|FILE.svg",
     "draws the histogram of each pair's differences with its mean and intervals\n"
     "into one PNG or SVG picture once the report is written (SVG only where vortel is "
     "built without the window).",
     "figure.svg",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (!EndsWithCaseless(v, ".png") && !EndsWithCaseless(v, ".svg"))
             return "--figure \"" + v + "\" must end in .png or .svg";
         o.Figure = v;
         return std::nullopt;
     }},
    {"--parameter", "NAME", "names the parameter of a table that names none (default: value).", "r",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (v.empty()) return "--parameter needs a name";
         o.Parameter = v;
         return std::nullopt;
     }},
    {"--progress", nullptr,
     "prints one line per step on standard error: \"progress began PAIRS\",\n"
     "\"progress pair I J differences\", \"progress pair I J sorting\", \"progress done\n"
     "I J\" and \"progress finished\".",
     "", SetSwitch<CartesianBatchOptions, &CartesianBatchOptions::Progress>},
    {"--paper-table", "FILE.csv|md|html|tex",
     "also writes the treatments as a manuscript prints them: estimate +- SE and\n"
     "letters, n, B and the 95 % percentile interval, under a caption; the ending picks\n"
     "CSV, Markdown, HTML (keeps its layout pasted into a word processor) or LaTeX.",
     "table.md",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         return SetTableFile("--paper-table", o.PaperTable, v);
     }},
    {"--paper-decimals", "N",
     "decimals of every number of --paper-table (default: the fewest that show the\n"
     "smallest difference the letters call real).",
     "3",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         return SetDecimals("--paper-decimals", o.PaperDecimals, v);
     }},
    {"--means-figure", "FILE.svg|FILE.png",
     "also draws each treatment's estimate with its 95 % percentile interval and its\n"
     "letters above, as SVG or as PNG at 600 dpi (PNG only where vortel is built with\n"
     "the window).",
     "means.svg",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (!EndsWithCaseless(v, ".png") && !EndsWithCaseless(v, ".svg"))
             return "--means-figure \"" + v + "\" must end in .svg or .png";
         o.MeansFigure = v;
         return std::nullopt;
     }},
    {"--means-style", "points|bars",
     "draws each estimate of --means-figure as a point (the default) or a bar.", "bars",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (v == "points")
             o.Means.Style = MeansStyle::Points;
         else if (v == "bars")
             o.Means.Style = MeansStyle::Bars;
         else
             return "--means-style is points or bars, not \"" + v + "\"";
         return std::nullopt;
     }},
    {"--means-width", "single|double",
     "sizes --means-figure for one journal column, 85 mm (the default), or two, 175 mm.", "double",
     [](CartesianBatchOptions& o, const std::string& v) -> Problem {
         if (v == "single")
             o.Means.Column = FigureColumn::Single;
         else if (v == "double")
             o.Means.Column = FigureColumn::Double;
         else
             return "--means-width is single or double, not \"" + v + "\"";
         return std::nullopt;
     }},
};

const PaperTableRow PaperTableRows[] = {
    {"--output", "FILE.csv|md|html|tex",
     "writes the table to FILE, in the format its ending names, in place of Markdown\n"
     "on standard output; an earlier FILE stays as it was when the command fails.",
     "table.html",
     [](PaperTableBatchOptions& o, const std::string& v) -> Problem {
         return SetTableFile("--output", o.Output, v);
     }},
    {"--decimals", "N",
     "decimals of every number (default: per parameter, the fewest that show the\n"
     "smallest difference its letters call real).",
     "2",
     [](PaperTableBatchOptions& o, const std::string& v) -> Problem {
         return SetDecimals("--decimals", o.Decimals, v);
     }},
};

const SortCountRow SortCountRows[] = {
    {"--kind", "general|boot|results",
     "the kind of FILE: a general data file, bootstrap results (the default) or PBT or\n"
     "CPT results.",
     "general",
     [](SortCountBatchOptions& o, const std::string& v) -> Problem {
         using Kind = SortCountRequest::Kind;
         if (v == "general")
             o.DataKind = Kind::General;
         else if (v == "boot")
             o.DataKind = Kind::Boot;
         else if (v == "results")
             o.DataKind = Kind::Results;
         else
             return "--kind is general, boot or results, not \"" + v + "\"";
         return std::nullopt;
     }},
    {"--serials", nullptr, "every value has a serial number before it.", "",
     SetSwitch<SortCountBatchOptions, &SortCountBatchOptions::Serials>},
    {"--decimals", "N",
     "rounds the sorted copy to N decimals (-1, the default, keeps full precision).", "2",
     [](SortCountBatchOptions& o, const std::string& v) -> Problem {
         double d = 0;
         // The prompt would ask again for anything else; a batch run cannot answer it.
         if (!ParseStrictNumber(v, d) || d < -1 || d > 5)
             return "--decimals takes a number from -1 to 5, not \"" + v + "\"";
         o.Decimals = v;
         return std::nullopt;
     }},
    {"--chart", "FILE.png|FILE.svg",
     "also draws the frequency view, as an SVG drawing when its name ends in .svg,\n"
     "else as a PNG picture.",
     "chart.png",
     [](SortCountBatchOptions& o, const std::string& v) -> Problem {
         if (v.empty()) return "--chart needs a file name";
         o.Chart = v;
         return std::nullopt;
     }},
    {"--column", "NAME",
     "the column of a table (a FILE whose name ends in .csv) to sort; a table of one\n"
     "column needs none (bootstrap results need rows labelled n and original).",
     "value",
     [](SortCountBatchOptions& o, const std::string& v) -> Problem {
         if (v.empty()) return "--column needs a column's name";
         o.Column = v;
         return std::nullopt;
     }},
};

template <class Options>
std::optional<std::string> ParseBy(std::span<const BatchOption<Options>> table,
                                   const std::vector<std::string>& args, Options& o) {
    bool filesOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (filesOnly || a.size() < 2 || a[0] != '-') {
            o.Files.push_back(a);
            continue;
        }
        if (a == "--") {
            filesOnly = true;
            continue;
        }
        const BatchOption<Options>* row = nullptr;
        for (const auto& r : table)
            if (a == r.Name) row = &r;
        if (row == nullptr) return "unknown option \"" + a + "\"";
        std::string value;
        if (row->Value != nullptr) {
            if (i + 1 >= args.size()) return a + " needs a value";
            value = args[++i];
        }
        if (auto problem = row->Set(o, value)) return problem;
    }
    return std::nullopt;
}

// The words of `text` in lines of at most 78 characters, each line after `indent`.
std::string Wrapped(const std::string& text, const std::string& indent) {
    std::string out;
    std::string line;
    std::size_t k = 0;
    while (k < text.size()) {
        const std::size_t start = text.find_first_not_of(" \n", k);
        if (start == std::string::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \n", start), text.size());
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && indent.size() + line.size() + 1 + word.size() > 78) {
            out += indent + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        k = end;
    }
    if (!line.empty()) out += indent + line + "\n";
    return out;
}

// "[--name VALUE]" for every row, wrapped under the command's name.
template <class Options>
std::string UsageOf(const char* command, std::span<const BatchOption<Options>> table,
                    const char* files, const char* about) {
    std::string head = std::string("  vortel ") + command + " ";
    const std::string indent(head.size(), ' ');
    std::string out;
    std::string line = head;
    auto add = [&](const std::string& word) {
        if (line.size() + word.size() > 78 && line.size() > indent.size()) {
            out += line + "\n";
            line = indent;
        } else if (line.size() > indent.size() && line.back() != ' ') {
            line += ' ';
        }
        line += word;
    };
    for (const auto& r : table)
        add(std::string("[") + r.Name + (r.Value != nullptr ? std::string(" ") + r.Value : "") +
            "]");
    add(files);
    out += line + "\n" + about;
    for (const auto& r : table) {
        out += std::string("      ") + r.Name +
               (r.Value != nullptr ? std::string(" ") + r.Value : "") + "\n";
        out += Wrapped(r.Help, "          ");
    }
    return out;
}

}  // namespace

bool EndsWithCaseless(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (std::size_t k = 0; k < end.size(); ++k) {
        const char c = text[text.size() - end.size() + k];
        if (std::tolower(static_cast<unsigned char>(c)) != end[k]) return false;
    }
    return true;
}

std::span<const BatchOption<CartesianBatchOptions>> CartesianOptionTable() { return CartesianRows; }
std::span<const BatchOption<SortCountBatchOptions>> SortCountOptionTable() { return SortCountRows; }
std::span<const BatchOption<PaperTableBatchOptions>> PaperTableOptionTable() {
    return PaperTableRows;
}

std::optional<std::string> ParseCartesianOptions(const std::vector<std::string>& args,
                                                 CartesianBatchOptions& options) {
    return ParseBy(CartesianOptionTable(), args, options);
}

std::optional<std::string> ParseSortCountOptions(const std::vector<std::string>& args,
                                                 SortCountBatchOptions& options) {
    return ParseBy(SortCountOptionTable(), args, options);
}

std::optional<std::string> ParsePaperTableOptions(const std::vector<std::string>& args,
                                                  PaperTableBatchOptions& options) {
    return ParseBy(PaperTableOptionTable(), args, options);
}

std::string CartesianUsage() {
    return UsageOf(
        "cartesian", CartesianOptionTable(), "FILE1 [FILE2 ... FILE20]",
        "      Cartesian paired test of two to 20 treatments, one bootstrap-result file\n"
        "      each, or any number in a FILE whose name ends in .csv: a table with the\n"
        "      columns treatment and value (and n, original), or one column per\n"
        "      treatment with rows labelled n and original.\n"
        "      Output files go into the folder of the last FILE; the report's full\n"
        "      path is printed on standard output.\n"
        "      The report's last table marks treatments that do not differ (P > 0.05)\n"
        "      with a common letter; from six treatments on the letters are a compact\n"
        "      letter display made by insertion and absorption (Piepho 2004), with no\n"
        "      letter that could be left out.\n");
}

std::string SortCountUsage() {
    return UsageOf("sortcount", SortCountOptionTable(), "FILE",
                   "      Sort and count the values of FILE. Writes the sorted, percentile and\n"
                   "      counts files beside FILE and prints their paths.\n");
}

std::string PaperTableUsage() {
    return UsageOf(
        "paper-table", PaperTableOptionTable(), "FILE...",
        "      One table of several tests, one per parameter: parameters as rows,\n"
        "      treatments as columns (aligned by name), each cell \"estimate +- SE\n"
        "      letters\". Each FILE is a test's treatments.csv (vortel cartesian --csv)\n"
        "      or the CSV of its --paper-table.\n");
}

}  // namespace vortel
