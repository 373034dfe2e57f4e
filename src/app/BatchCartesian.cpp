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
#include "report/ResultFileName.h"
#include "report/ResultsCsv.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/TextRecords.h"
#include "shell/state/App.h"

#ifdef VORTEL_WITH_GUI
#include "gui/DifferencesFigure.h"
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
    if (o.Files.size() < (tables ? 1u : 2u) ||
        o.Files.size() > static_cast<std::size_t>(MostTreatments))
        return "two to " + Text(MostTreatments) + " treatment FILEs are needed, " +
               Text(std::int64_t(o.Files.size())) + " given";
    return std::nullopt;
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
    // Without the window toolkit the figure is drawn as SVG only.
    if (!o.Figure.empty() && !EndsWithCaseless(o.Figure, ".svg"))
        return Refused(CommandName, "--figure \"" + o.Figure +
                                        "\": this vortel draws the figure as SVG only; name it "
                                        "FILE.svg");
#endif
    // Checked before the test, so that a figure that cannot be written stops nothing half-done.
    if (!o.Figure.empty()) {
        std::error_code folderError;
        const fs::path folder = fs::absolute(fs::path(o.Figure), folderError).parent_path();
        if (!fs::is_directory(folder, folderError))
            return Refused(CommandName, "--figure: there is no folder \"" + folder.string() +
                                            "\" for \"" + o.Figure + "\"");
        if (fs::is_directory(o.Figure, folderError))
            return Refused(CommandName, "--figure: \"" + o.Figure + "\" is a folder");
    }

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
    try {
        RunCartesianTest(request, control);
    } catch (const std::exception& e) {
        failure = CommandFailureText(e);
    }
    for (const std::string& note : output.Notes) {
        std::fprintf(stderr, "vortel %s: %s\n", CommandName, note.c_str());
    }

    // The figure is drawn once the report and its files are in place; a figure that fails puts
    // back what stood under their names, so the command leaves all of its files or none.
#ifdef VORTEL_WITH_GUI
    if (failure.empty() && !o.Figure.empty()) {
        try {
            DrawWithoutDisplay(CommandName,
                               [&] { gui::SaveDifferencesFigure(output.Differences, o.Figure); });
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
#else
    if (failure.empty() && !o.Figure.empty()) {
        try {
            OutputSet figure(&transaction);
            figure.Create(o.Figure).Writer().Text(DifferencesFigureSvg(output.Differences));
            figure.CommitAll();
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
