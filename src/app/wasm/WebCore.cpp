// The core as the browser page's worker calls it: options in as typed values, and back what was
// written (each file with its kind), the numbers the page shows (as text the way the report
// writes them) and the frequency view's data. No command line lies between page and core, so
// the page never reads meaning out of printed lines or message wording.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cartesian/CartesianDifference.h"
#include "cartesian/CartesianTest.h"
#include "cartesian/ExactPairShare.h"
#include "report/DifferencesSvg.h"
#include "report/MeansFigure.h"
#include "report/PaperTable.h"
#include "report/ResultFileName.h"
#include "report/ResultsCsv.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "shell/base/TableReader.h"
#include "shell/mainwindow/App.h"
#include "shell/state/AnalysisState.h"
#include "sortcount/SortCount.h"

namespace vortel {

namespace {

namespace fs = std::filesystem;
using emscripten::val;

// Where a run's files go; the worker makes a fresh instance, so the folder starts empty.
const char* const OutputFolder = "/out";

// A refusal, naming the files as the user chose them: the core names a file by its whole path,
// and the page's files stand in the working folder under their own names.
val Failure(std::string message, const std::string& control = "") {
    std::error_code ec;
    const std::string folder = fs::current_path(ec).string() + "/";
    if (!ec && folder != "//")
        for (std::size_t at = message.find(folder); at != std::string::npos;
             at = message.find(folder, at))
            message.erase(at, folder.size());
    val r = val::object();
    r.set("ok", false);
    r.set("message", message);
    // The page's control at fault, so that it can take the user there.
    if (!control.empty()) r.set("control", control);
    return r;
}

val FileEntry(const std::string& kind, const fs::path& path) {
    val f = val::object();
    f.set("kind", kind);
    f.set("path", path.string());
    f.set("name", path.filename().string());
    return f;
}

// A number both as a value and as the report writes it.
val Number(double x) {
    val n = val::object();
    n.set("value", x);
    n.set("text", NumberText(x));
    return n;
}

// A file's bytes as the core wrote them, copied out of the core's memory: text handed over as
// a string would pass through UTF-8 decoding, which is not the identity for every byte string.
val Bytes(const std::string& s) {
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(s.size(),
                                            reinterpret_cast<const unsigned char*>(s.data())));
}

std::string TextOf(const val& options, const char* key) {
    const val v = options[key];
    return v.isString() ? v.as<std::string>() : std::string();
}

bool FlagOf(const val& options, const char* key) {
    const val v = options[key];
    return !v.isUndefined() && !v.isNull() && v.as<bool>();
}

// Progress as typed events, handed to the page as they happen.
class PageEvents final : public TestEvents {
public:
    explicit PageEvents(val sink) : m_sink(std::move(sink)) {}
    void Began(const std::string&, int pairCount) override { Send("began", 0, 0, pairCount); }
    void PairStarted(int i, int j, PairPhase phase) override {
        Send(phase == PairPhase::Sorting ? "sorting" : "differences", i, j, 0);
    }
    void PairDone(int i, int j, const DateTime&) override { Send("done", i, j, 0); }
    void Finished(const std::string&) override { Send("finished", 0, 0, 0); }

private:
    void Send(const char* what, int i, int j, int pairs) {
        if (m_sink.isUndefined() || m_sink.isNull()) return;
        val e = val::object();
        e.set("event", std::string(what));
        e.set("i", i);
        e.set("j", j);
        e.set("pairs", pairs);
        m_sink(e);
    }
    val m_sink;
};

val TreatmentsOf(const CartesianResult& r) {
    val list = val::array();
    for (const TreatmentResult& t : r.Treatments) {
        val x = val::object();
        x.set("name", t.Name);
        x.set("n", t.SampleSize);
        x.set("B", t.BootstrapNumber);
        x.set("original", Number(t.Original));
        x.set("mean", Number(t.BootstrapMean));
        x.set("se", Number(t.SE));
        x.set("letters", t.Letters);
        list.call<void>("push", x);
    }
    return list;
}

val PairsOf(const CartesianResult& r) {
    val list = val::array();
    for (const PairResult& p : r.Pairs) {
        val x = val::object();
        x.set("a", r.Treatment(p.Minuend).Name);
        x.set("b", r.Treatment(p.Subtrahend).Name);
        x.set("mean", Number(p.Mean));
        x.set("tLower", Number(p.TLower));
        x.set("tUpper", Number(p.TUpper));
        x.set("percentileLower", Number(p.PercentileLower));
        x.set("percentileUpper", Number(p.PercentileUpper));
        x.set("P", Number(p.P));
        x.set("atFivePercent", p.AtFivePercent);
        x.set("belowSidak", p.BelowSidak);
        list.call<void>("push", x);
    }
    return list;
}

// What the page offers for a manuscript, made once for every choice it has, so that a change of
// decimals, style or width needs no further call: the treatment table in its four formats at
// each number of decimals (tables[d]) and at the chosen one (autoDecimals), and the means figure
// as SVG for each style and width (figures["points-single"] ...). The bytes are those of
// `vortel cartesian --paper-table [--paper-decimals] --means-figure [--means-style
// --means-width]`.
val PaperOf(const CartesianResult& result) {
    val paper = val::object();
    paper.set("autoDecimals", PaperDecimals(result));
    val tables = val::array();
    for (int d = 0; d <= MostPaperDecimals; ++d) {
        val t = val::object();
        for (const auto& [key, format] :
             {std::pair{"csv", PaperFormat::Csv}, std::pair{"md", PaperFormat::Markdown},
              std::pair{"html", PaperFormat::Html}, std::pair{"tex", PaperFormat::Latex}})
            t.set(key, Bytes(PaperTableOf(result, format, d)));
        tables.call<void>("push", t);
    }
    paper.set("tables", tables);
    val figures = val::object();
    for (const auto& [style, styleName] :
         {std::pair{MeansStyle::Points, "points"}, std::pair{MeansStyle::Bars, "bars"}})
        for (const auto& [column, columnName] : {std::pair{FigureColumn::Single, "single"},
                                                 std::pair{FigureColumn::Double, "double"}}) {
            const MeansFigureOptions options{style, column};
            const FigureSizeMm mm = MeansFigureSize(result, options);
            val f = val::object();
            f.set("svg", Bytes(MeansFigureSvg(result, options)));
            f.set("widthMm", mm.Width);
            f.set("heightMm", mm.Height);
            figures.set(std::string(styleName) + "-" + columnName, f);
        }
    paper.set("figures", figures);
    return paper;
}

// The request the page's options make; a failure naming the control at fault when they make
// none. options: files (names in the working folder), transform ("none", "arcsine", "logit"),
// reversed, code ("" for none), parameter, detailFiles, flowRecord.
std::optional<val> RequestOf(const val& options, CartesianRequest& request) {
    const std::string transform = TextOf(options, "transform");
    if (transform == "none" || transform.empty())
        request.Transform = Transformation::None;
    else if (transform == "arcsine")
        request.Transform = Transformation::Arcsine;
    else if (transform == "logit")
        request.Transform = Transformation::Logit;
    else
        return Failure("The transformation is none, arcsine or logit, not \"" + transform + "\".",
                       "transform");
    const std::string code = TextOf(options, "code");
    if (!code.empty() && !CodeFitsFileName(code))
        return Failure("The code \"" + code +
                           "\" cannot be part of a file name: use at most 200 characters, "
                           "without / \\ : * ? \" < > | or control characters.",
                       "code");
    request.Code = code.empty() ? NoCode : code;
    request.Files = emscripten::vecFromJSArray<std::string>(options["files"]);
    request.TableParameter = TextOf(options, "parameter");
    request.Reversed = FlagOf(options, "reversed");
    request.DetailFiles = FlagOf(options, "detailFiles");
    request.FlowRecord = FlagOf(options, "flowRecord");
    request.CsvTables = true;
    return std::nullopt;
}

// Where a run writes: the empty folder of this instance, all files or none.
struct PageOutput {
    OutputTransaction transaction;
    CartesianOutput output;
    PageOutput() {
        std::error_code ec;
        fs::create_directories(OutputFolder, ec);
        output.Folder = OutputFolder;
        output.Transaction = &transaction;
        output.WantDifferences = true;
    }
};

// What a finished test gives the page: its files, each with its kind, and what the page shows.
val Finished(const CartesianResult& result, const CartesianOutput& output) {
    val r = val::object();
    r.set("ok", true);
    val files = val::array();
    const fs::path report = output.Report;
    const ResultsCsvPaths tables = ResultsCsvPathsFor(report);
    files.call<void>("push", FileEntry("report", report));
    files.call<void>("push", FileEntry("pairs-csv", tables.Pairs));
    files.call<void>("push", FileEntry("treatments-csv", tables.Treatments));
    if (!output.FlowRecordPath.empty())
        files.call<void>("push", FileEntry("flow-record", output.FlowRecordPath));
    // The run's folder was empty: what else stands in it now are the pairs' detail files.
    std::error_code ec;
    std::vector<fs::path> details;
    for (const auto& entry : fs::directory_iterator(OutputFolder, ec)) {
        const fs::path& p = entry.path();
        if (p != report && p != tables.Pairs && p != tables.Treatments &&
            p != output.FlowRecordPath)
            details.push_back(p);
    }
    std::sort(details.begin(), details.end());
    for (const fs::path& p : details) files.call<void>("push", FileEntry("detail", p));
    r.set("files", files);
    r.set("figure", DifferencesFigureSvg(output.Differences));
    val notes = val::array();
    for (const std::string& note : output.Notes) notes.call<void>("push", note);
    r.set("notes", notes);
    r.set("parameter", result.Parameter);
    r.set("F", Number(result.F));
    r.set("dfBetween", Number(result.DfBetween));
    r.set("dfWithin", Number(result.DfWithin));
    r.set("sidak", Number(result.SidakAlpha));
    r.set("treatments", TreatmentsOf(result));
    r.set("pairs", PairsOf(result));
    r.set("paper", PaperOf(result));
    return r;
}

// options as RequestOf takes them. events(e) sees progress.
val RunCartesian(val options, val events) {
    CartesianRequest request;
    if (auto refused = RequestOf(options, request)) return *refused;
    PageOutput out;
    SystemClock clock;
    PageEvents progress(events);
    RunControl control;
    control.Events = &progress;
    control.Time = &clock;
    control.Output = &out.output;
    try {
        const CartesianResult result = RunCartesianTest(request, control);
        return Finished(result, out.output);
    } catch (const std::exception& e) {
        out.transaction.Restore();
        return Failure(CommandFailureText(e));
    }
}

// A test split between workers (cartesian/ExactPairShare.h): each worker's instance computes a
// share of the exact pairs; the finishing one keeps its test between the two calls.
struct Split {
    PageOutput out;
    SystemClock clock;
    std::unique_ptr<SplitTest> test;
};
std::unique_ptr<Split>& TheSplit() {
    static std::unique_ptr<Split> split;
    return split;
}

// Numbers out and back unchanged: doubles as they are, counts (below 2^53) as doubles.
template <class T>
val ArrayOf(const std::vector<T>& xs) {
    val a = val::array();
    for (const T& x : xs) a.call<void>("push", static_cast<double>(x));
    return a;
}

val PairValue(const ExactPairOutcome& o) {
    const ExactPairResults& r = o.Results;
    val x = val::object();
    x.set("i", o.I);
    x.set("j", o.J);
    x.set("counts", ArrayOf(std::vector<std::int64_t>{r.Low, r.High, r.Significant}));
    x.set("stats", ArrayOf(std::vector<double>{r.Mean, r.Variance, r.SD, r.PercentileLower,
                                               r.PercentileUpper}));
    x.set("edges", ArrayOf(o.Histogram.Edges));
    x.set("bins", ArrayOf(o.Histogram.Counts));
    return x;
}

ExactPairOutcome PairOf(const val& x) {
    ExactPairOutcome o;
    o.I = x["i"].as<int>();
    o.J = x["j"].as<int>();
    const auto counts = emscripten::vecFromJSArray<double>(x["counts"]);
    const auto stats = emscripten::vecFromJSArray<double>(x["stats"]);
    if (counts.size() != 3 || stats.size() != 5)
        throw RunStopped("A pair's results came back incomplete from another worker.");
    ExactPairResults& r = o.Results;
    r.Low = static_cast<std::int64_t>(counts[0]);
    r.High = static_cast<std::int64_t>(counts[1]);
    r.Significant = static_cast<std::int64_t>(counts[2]);
    r.Mean = stats[0];
    r.Variance = stats[1];
    r.SD = stats[2];
    r.PercentileLower = stats[3];
    r.PercentileUpper = stats[4];
    o.Histogram.Edges = emscripten::vecFromJSArray<double>(x["edges"]);
    for (const double c : emscripten::vecFromJSArray<double>(x["bins"]))
        o.Histogram.Counts.push_back(static_cast<std::int64_t>(c));
    return o;
}

// The transformation's number as treatment input takes it.
int TransformationOf(const CartesianRequest& request) {
    return static_cast<int>(request.Transform);
}

val DoublesOf(const std::vector<double>& xs) {
    return val::global("Float64Array").new_(emscripten::typed_memory_view(xs.size(), xs.data()));
}

val PassValue(const FileValues::Pass& p) {
    val x = val::object();
    x.set("values", DoublesOf(p.Values));
    x.set("read", p.Read);
    x.set("marker", p.Marker);
    x.set("sum", p.Sum);
    return x;
}

FileValues::Pass PassOf(const val& x) {
    FileValues::Pass p;
    p.Values = emscripten::convertJSArrayToNumberVector<double>(x["values"]);
    p.Read = x["read"].as<std::int32_t>();
    p.Marker = x["marker"].as<bool>();
    p.Sum = x["sum"].as<double>();
    return p;
}

// A test's treatment files read in parallel, before computeShare: this instance reads the files
// (not the tables) at places share, share + shares, ... of options.files, each as treatment
// input reads it, and keeps their values for its own computeShare (as giveValues does the
// others'): { ok, values: [{ file, transformation, first, second }] }, each pass as
// { values (a Float64Array), read, marker, sum }. A file refused here is refused by the test
// too, but the test may find another fault first: the page then runs the test whole for its
// message.
val ReadValues(val options, int share, int shares) {
    CartesianRequest request;
    if (auto refused = RequestOf(options, request)) return *refused;
    val list = val::array();
    try {
        for (std::size_t k = 0; k < request.Files.size(); ++k) {
            const std::string& file = request.Files[k];
            if (static_cast<int>(k % static_cast<std::size_t>(shares)) != share ||
                IsTableFile(file))
                continue;
            FileValues v = ReadFileValues(file, TransformationOf(request), nullptr);
            val x = val::object();
            x.set("file", file);
            x.set("transformation", v.Transformation);
            x.set("first", PassValue(v.First));
            x.set("second", PassValue(v.Second));
            list.call<void>("push", x);
            // Kept here too, for this instance's own reading of the test.
            GiveFileValues(file, std::move(v));
        }
    } catch (const std::exception& e) {
        return Failure(CommandFailureText(e));
    }
    val r = val::object();
    r.set("ok", true);
    r.set("values", list);
    return r;
}

// What readValues gave in other instances, for treatment input here to take (the same bytes
// stand here under the same names).
void GiveValues(val given) {
    const auto length = given["length"].as<unsigned>();
    for (unsigned k = 0; k < length; ++k) {
        const val x = given[k];
        FileValues v;
        v.Transformation = x["transformation"].as<int>();
        v.First = PassOf(x["first"]);
        v.Second = PassOf(x["second"]);
        GiveFileValues(x["file"].as<std::string>(), std::move(v));
    }
}

// options as RequestOf takes them, and finishing: whether this instance finishes the test
// (finishSplit), writing its files. Reads the treatments and computes share `share` of
// `shares` of the exact pairs: { ok, pairs: [{ i, j, counts, stats, edges, bins }] }.
val ComputeShare(val options, int share, int shares, val events) {
    TheSplit().reset();
    CartesianRequest request;
    if (auto refused = RequestOf(options, request)) return *refused;
    const bool finishing = FlagOf(options, "finishing");
    // The others only compute, and write nothing.
    if (!finishing) request.CsvTables = request.DetailFiles = request.FlowRecord = false;
    auto split = std::make_unique<Split>();
    PageEvents progress(events);
    RunControl control;
    control.Events = &progress;
    control.Time = &split->clock;
    if (finishing) control.Output = &split->out.output;
    ExactPairShare computed{share, shares, true};
    try {
        split->test = std::make_unique<SplitTest>(request, control);
        ForgetGivenFileValues();
        split->test->ComputeShare(computed, control);
    } catch (const std::exception& e) {
        ForgetGivenFileValues();
        split->out.transaction.Restore();
        return Failure(CommandFailureText(e));
    }
    val pairs = val::array();
    for (const ExactPairOutcome& o : computed.Computed) pairs.call<void>("push", PairValue(o));
    if (finishing) TheSplit() = std::move(split);
    val r = val::object();
    r.set("ok", true);
    r.set("pairs", pairs);
    return r;
}

// The test ComputeShare began with `finishing`, finished with every share's pairs given:
// what runCartesian gives, byte for byte.
val FinishSplit(val given, val events) {
    std::unique_ptr<Split> split = std::move(TheSplit());
    if (!split) return Failure("No test was begun to finish.");
    PageEvents progress(events);
    RunControl control;
    control.Events = &progress;
    control.Time = &split->clock;
    control.Output = &split->out.output;
    try {
        std::vector<ExactPairOutcome> pairs;
        const auto length = given["length"].as<unsigned>();
        for (unsigned k = 0; k < length; ++k) pairs.push_back(PairOf(given[k]));
        const CartesianResult result = split->test->Finish(pairs, control);
        return Finished(result, split->out.output);
    } catch (const std::exception& e) {
        split->out.transaction.Restore();
        return Failure(CommandFailureText(e));
    }
}

val ChartOf(const NormalityData& d) {
    val c = val::object();
    c.set("title", d.Title);
    c.set("caption", d.Caption);
    c.set("variable", d.VariableName);
    c.set("total", d.Total);
    val classes = val::array();
    for (const FrequencyClass& k : d.Classes) {
        val x = val::object();
        x.set("value", k.Value);
        x.set("count", k.Count);
        classes.call<void>("push", x);
    }
    c.set("classes", classes);
    val bars = val::array();
    for (const HistogramBar& b : d.Histogram) {
        val x = val::object();
        x.set("lower", b.Lower);
        x.set("upper", b.Upper);
        x.set("count", b.Count);
        bars.call<void>("push", x);
    }
    c.set("histogram", bars);
    const auto point = [](const ProbitPoint& p) {
        val x = val::object();
        x.set("value", p.Value);
        x.set("fraction", p.CumulativeFraction);
        x.set("probit", p.Probit);
        return x;
    };
    val points = val::array();
    for (const ProbitPoint& p : d.Points) points.call<void>("push", point(p));
    c.set("points", points);
    if (d.HasNormalLine) {
        val line = val::object();
        line.set("mean", d.Mean);
        line.set("sd", d.StandardDeviation);
        line.set("start", point(d.LineStart));
        line.set("end", point(d.LineEnd));
        c.set("normalLine", line);
    } else {
        c.set("normalLine", val::null());
    }
    return c;
}

// options: file (a name in the working folder), kind ("general", "boot", "results"), serials,
// column, decimals (-1 to 5).
val RunSortCount(val options) {
    SortCountFileRequest request;
    request.File = TextOf(options, "file");
    const std::string kind = TextOf(options, "kind");
    using Kind = SortCountRequest::Kind;
    if (kind == "general")
        request.DataKind = Kind::General;
    else if (kind == "boot" || kind.empty())
        request.DataKind = Kind::Boot;
    else if (kind == "results")
        request.DataKind = Kind::Results;
    else
        return Failure("The kind is general, bootstrap results or results, not \"" + kind + "\".",
                       "kind");
    const val decimals = options["decimals"];
    const double d = decimals.isNumber() ? decimals.as<double>() : -1;
    if (!(d >= -1 && d <= 5) || d != static_cast<double>(static_cast<int>(d)))
        return Failure("Decimals take a whole number from -1 (full precision) to 5.", "decimals");
    request.Decimals = d;
    request.Serials = FlagOf(options, "serials");
    request.Column = TextOf(options, "column");

    OutputTransaction output;
    SortCountFileResult result;
    try {
        result = SortAndCountFile(request, &output);
    } catch (const std::exception& e) {
        output.Restore();
        return Failure(CommandFailureText(e));
    }
    val r = val::object();
    r.set("ok", true);
    val files = val::array();
    files.call<void>("push", FileEntry("sorted", result.Files.Sorted));
    files.call<void>("push", FileEntry("percentile", result.Files.Percentile));
    files.call<void>("push", FileEntry("counts", result.Files.Counts));
    r.set("files", files);
    r.set("classCount", result.ClassCount);
    r.set("chart", result.View ? ChartOf(*result.View) : val::null());
    return r;
}

// The program's version as the report names it.
std::string Version() {
    const auto state = std::make_unique<AnalysisState>();
    SetEditionValues(*state);
    return state->EditionTitle + ", " + state->VersionText;
}

}  // namespace

}  // namespace vortel

EMSCRIPTEN_BINDINGS(vortel_page) {
    emscripten::function("runCartesian", &vortel::RunCartesian);
    emscripten::function("runSortCount", &vortel::RunSortCount);
    emscripten::function("version", &vortel::Version);
    emscripten::function("computeShare", &vortel::ComputeShare);
    emscripten::function("finishSplit", &vortel::FinishSplit);
    emscripten::function("readValues", &vortel::ReadValues);
    emscripten::function("giveValues", &vortel::GiveValues);
}
