// vortel cartesian: one Cartesian paired test from the command line, its options turned into a
// request for the test's entry point.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/BatchOptions.h"
#include "app/BatchSupport.h"
#include "app/Commands.h"
#include "cartesian/CartesianTest.h"
#include "cartesian/TreatmentTable.h"
#include "report/DifferenceHistogram.h"
#include "report/DifferencesSvg.h"
#include "report/MeansFigure.h"
#include "report/PaperTable.h"
#include "report/ResultFileName.h"
#include "report/ResultsCsv.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/TextRecords.h"
#include "shell/mainwindow/App.h"

#ifdef VORTEL_WITH_GUI
#include "gui/DifferencesFigure.h"
#include "gui/SvgPicture.h"
#endif

namespace vortel {

namespace {

namespace fs = std::filesystem;

// --progress: one line on standard error per event, for a program that drives this one (the
// browser page's worker) to show how far the test is.
class PrintedProgress final : public TestEvents {
public:
    void Began(const std::string&, int pairCount) override { Print("began " + Text(pairCount)); }
    void PairStarted(int i, int j, PairPhase phase) override {
        Print("pair " + Text(i) + " " + Text(j) +
              (phase == PairPhase::Sorting ? " sorting" : " differences"));
    }
    void PairDone(int i, int j, const DateTime&) override {
        Print("done " + Text(i) + " " + Text(j));
    }
    void Finished(const std::string&) override { Print("finished"); }

private:
    static void Print(const std::string& line) {
        std::fprintf(stderr, "progress %s\n", line.c_str());
        std::fflush(stderr);
    }
};

// The name in every message of this command.
constexpr const char* CommandName = "cartesian";

// Parses the arguments; a message when they do not make a command.
std::optional<std::string> Parse(const std::vector<std::string>& args, CartesianBatchOptions& o) {
    if (auto problem = ParseCartesianOptions(args, o)) return problem;
    // A table may hold every treatment of the test; how many it holds is known once it is read.
    const bool tables = std::any_of(o.Files.begin(), o.Files.end(), IsTableFile);
    if (!TreatmentCountFits(static_cast<double>(o.Files.size()), tables ? 1 : 2))
        return "two to " + Text(MostTreatments) + " treatment FILEs are needed, " +
               Text(std::int64_t(o.Files.size())) + " given";
    return std::nullopt;
}

// Why a picture or table named by `option` cannot be written where it is named, checked before
// the test so that a name that will not do stops nothing half-done.
std::optional<std::string> OutputNameProblem(const char* option, const std::string& name) {
    if (name.empty()) return std::nullopt;
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(name), ec).parent_path();
    if (!fs::is_directory(folder, ec))
        return std::string(option) + ": there is no folder \"" + folder.string() + "\" for \"" +
               name + "\"";
    if (fs::is_directory(name, ec)) return std::string(option) + ": \"" + name + "\" is a folder";
    return std::nullopt;
}

// Resolution of the PNG means figure: what journals ask of line art with text.
constexpr int MeansFigureDpi = 600;

// The paper table and the means figure, in one set within the command's transaction.
void WritePaperFiles(const CartesianBatchOptions& o, const CartesianResult& result,
                     OutputTransaction& transaction) {
    if (o.PaperTable.empty() && o.MeansFigure.empty()) return;
    OutputSet files(&transaction);
    if (!o.PaperTable.empty()) {
        files.Create(o.PaperTable)
            .Writer()
            .Text(PaperTableOf(result, *PaperFormatOf(o.PaperTable), o.PaperDecimals));
    }
    if (!o.MeansFigure.empty()) {
        const std::string svg = MeansFigureSvg(result, o.Means);
#ifdef VORTEL_WITH_GUI
        if (EndsWithCaseless(o.MeansFigure, ".png")) {
            const FigureSizeMm mm = MeansFigureSize(result, o.Means);
            files.Create(o.MeansFigure)
                .Writer()
                .Text(PngOfSvg(svg, mm.Width, mm.Height, MeansFigureDpi));
        } else
#endif
            files.Create(o.MeansFigure).Writer().Text(svg);
    }
    files.CommitAll();
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() &&
           fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

}  // namespace

int RunCartesianCommand(const std::vector<std::string>& args) {
    CartesianBatchOptions o;
    if (auto problem = Parse(args, o)) return UsageError(CommandName, *problem);
    // Checked here so that a mistyped name is reported as such, before the launch creates the
    // flow record in a folder that may not exist.
    for (const auto& file : o.Files)
        if (auto problem = InputFileProblem(file))
            return Refused(CommandName,
                           "cannot read the treatment file \"" + file + "\": " + *problem);

#ifndef VORTEL_WITH_GUI
    // Without the window toolkit the figures are drawn as SVG only.
    for (const auto& [option, name] :
         {std::pair{"--figure", &o.Figure}, std::pair{"--means-figure", &o.MeansFigure}})
        if (!name->empty() && !EndsWithCaseless(*name, ".svg"))
            return Refused(CommandName, std::string(option) + " \"" + *name +
                                            "\": this vortel draws the figure as SVG only; name "
                                            "it FILE.svg");
#endif
    if (SameFile(o.Figure, o.MeansFigure) || SameFile(o.Figure, o.PaperTable) ||
        SameFile(o.MeansFigure, o.PaperTable))
        return UsageError(CommandName,
                          "--figure, --means-figure and --paper-table need three "
                          "different files");
    for (const auto& [option, name] :
         {std::pair{"--figure", &o.Figure}, std::pair{"--means-figure", &o.MeansFigure},
          std::pair{"--paper-table", &o.PaperTable}})
        if (auto problem = OutputNameProblem(option, *name)) return Refused(CommandName, *problem);

    CartesianRequest request;
    request.Files = o.Files;
    request.TableParameter = o.Parameter;
    request.Transform = o.Transform;
    request.Reversed = o.Reversed;
    request.Code = o.Code;
    request.DetailFiles = o.DetailDifferences;
    request.FlowRecord = o.FlowRecord;
    request.CsvTables = o.Csv;

    // Output files go where the file dialogue would have left the current folder.
    std::error_code ec;
    OutputTransaction transaction;
    CartesianOutput output;
    output.Folder = fs::absolute(fs::path(o.Files.back()), ec).parent_path();
    output.Transaction = &transaction;
    output.WantDifferences = !o.Figure.empty();
    SystemClock clock;
    PrintedProgress printed;
    RunControl control;
    control.Events = o.Progress ? &printed : nullptr;
    control.Time = &clock;
    control.Output = &output;

    std::string failure;
    CartesianResult result;
    try {
        result = RunCartesianTest(request, control);
    } catch (const std::exception& e) {
        failure = CommandFailureText(e);
    }
    for (const std::string& note : output.Notes) {
        std::fprintf(stderr, "vortel %s: %s\n", CommandName, note.c_str());
    }

    // The figure is drawn once the report and its files are in place; a figure that fails puts
    // back what stood under their names, so the command leaves all of its files or none.
    // The paper files go first: they are in the transaction, which the Qt figure, written on its
    // own, is not, so a figure that fails still takes them back.
#ifdef VORTEL_WITH_GUI
    if (failure.empty()) {
        try {
            if (!o.Figure.empty() || EndsWithCaseless(o.MeansFigure, ".png")) {
                DrawWithoutDisplay(CommandName, [&] {
                    WritePaperFiles(o, result, transaction);
                    if (!o.Figure.empty()) gui::SaveDifferencesFigure(output.Differences, o.Figure);
                });
            } else {
                WritePaperFiles(o, result, transaction);
            }
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
#else
    if (failure.empty()) {
        try {
            WritePaperFiles(o, result, transaction);
            if (!o.Figure.empty()) {
                OutputSet figure(&transaction);
                figure.Create(o.Figure).Writer().Text(DifferencesFigureSvg(output.Differences));
                figure.CommitAll();
            }
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
#endif
    if (!failure.empty()) {
        transaction.Restore();
        return Refused(CommandName, failure);
    }

    const fs::path report = fs::absolute(output.Report, ec);
    std::printf("%s\n", report.string().c_str());
    if (o.Csv) {
        const ResultsCsvPaths tables = ResultsCsvPathsFor(report);
        std::printf("%s\n%s\n", tables.Pairs.string().c_str(), tables.Treatments.string().c_str());
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace vortel
