// vortel sortcount: the sort-and-count utility from the command line, its options turned into a
// request for the utility's file entry point.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/BatchOptions.h"
#include "app/BatchSupport.h"
#include "app/Commands.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/mainwindow/App.h"
#include "sortcount/NormalityView.h"
#include "sortcount/SortCount.h"

#ifdef VORTEL_WITH_GUI
#include "gui/NormalityChart.h"
#endif

namespace vortel {

namespace {

// The name in every message of this command.
constexpr const char* CommandName = "sortcount";

// Parses the arguments; a message when they do not make a command.
std::optional<std::string> Parse(const std::vector<std::string>& args, SortCountBatchOptions& o) {
    if (auto problem = ParseSortCountOptions(args, o)) return problem;
    if (o.Files.empty()) return "no FILE given";
    if (o.Files.size() > 1)
        return "one FILE only, but \"" + o.Files[1] + "\" follows \"" + o.Files[0] + "\"";
    return std::nullopt;
}

}  // namespace

int RunSortCountCommand(const std::vector<std::string>& args) {
    SortCountBatchOptions o;
    if (auto problem = Parse(args, o)) return UsageError(CommandName, *problem);
    const std::string& file = o.Files.front();
    if (auto problem = InputFileProblem(file))
        return Refused(CommandName, "cannot read \"" + file + "\": " + *problem);
#ifndef VORTEL_WITH_GUI
    if (!o.Chart.empty())
        return Refused(CommandName, "--chart: this vortel was built without charts");
#endif

    SortCountFileRequest request;
    request.File = file;
    request.DataKind = o.DataKind;
    request.Serials = o.Serials;
    request.Column = o.Column;
    request.Decimals = LenientNumber(o.Decimals);

    // The chart is drawn after the three files are in place; a chart that fails puts back
    // what stood under their names, so the command leaves all of its files or none.
    OutputTransaction output;
    SortCountFileResult result;
    try {
        result = SortAndCountFile(request, &output);
    } catch (const std::exception& e) {
        return Refused(CommandName, CommandFailureText(e));
    }

    if (!o.Chart.empty()) {
        std::string failure;
        if (!result.View) {
            failure = o.DataKind == SortCountRequest::Kind::Results
                          ? "--chart: PBT or CPT results have no frequency view"
                          : "--chart: no frequency view for more than " + Text(ViewedClassLimit) +
                                " classes (" + Text(result.ClassCount) + " found)";
        }
#ifdef VORTEL_WITH_GUI
        if (failure.empty()) {
            try {
                DrawWithoutDisplay(CommandName,
                                   [&] { gui::SaveNormalityChart(*result.View, o.Chart); });
            } catch (const std::exception& e) {
                failure = e.what();
            }
        }
#endif
        if (!failure.empty()) {
            output.Restore();
            return Refused(CommandName, failure);
        }
    }

    for (const auto& f : {result.Files.Sorted, result.Files.Percentile, result.Files.Counts})
        std::printf("%s\n", f.string().c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace vortel
