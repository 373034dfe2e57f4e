// vortel sortcount: the sort-and-count utility in a fresh program run, its questions answered
// from the command line.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/AnswerSheet.h"
#include "app/BatchOptions.h"
#include "app/BatchSupport.h"
#include "app/Commands.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/App.h"
#include "sortcount/NormalityView.h"
#include "sortcount/SortForBootstrapResults.h"

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

// The answer to the question of the data's kind.
Answer KindAnswer(SortCountBatchOptions::Kind kind) {
    switch (kind) {
        case SortCountBatchOptions::Kind::General:
            return Answer::Yes;
        case SortCountBatchOptions::Kind::Boot:
            return Answer::No;
        case SortCountBatchOptions::Kind::Results:
            break;
    }
    return Answer::Cancel;
}

// Keeps the view the command would show, to be drawn once the command is done.
class ChartCatchingWindow : public HeadlessWindow {
public:
    void ShowNormalityView(const NormalityData& data) override {
        HeadlessWindow::ShowNormalityView(data);
        Shown = data;
    }
    std::optional<NormalityData> Shown;
};

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

    AnswerSheet ui;
    ChartCatchingWindow window;
    SystemClock clock;
    App app(ui, window, clock);
    SetEditionValues(app.State());
    app.State().SortColumnName = o.Column;
    const Answer kind = KindAnswer(o.DataKind);
    ui.Choose(SortKindTitle, kind)
        .Choose(SerialNumbersTitle, o.Serials ? Answer::Yes : Answer::No)
        .Pick(kind == Answer::Yes ? GeneralFileTitle : BootFileTitle, file)
        .Type(DecimalsTitle, o.Decimals)
        // A table of several columns needs --column; without it the question gets no name.
        .Type(ColumnTitle, "")
        // The view is drawn only when asked for.
        .Choose(FrequencyViewTitle, o.Chart.empty() ? Answer::No : Answer::Yes);

    // The chart is drawn after the three files are in place; a chart that fails puts back
    // what stood under their names, so the command leaves all of its files or none.
    OutputTransaction output;
    app.Seams().output = &output;
    if (!app.Run(cmdGeneralNormalTest_Click)) return Refused(CommandName, app.LastFailure());

    if (!o.Chart.empty()) {
        std::string failure;
        if (!window.Shown) {
            failure = app.State().SortDataKind == "PBT or CPT results"
                          ? "--chart: PBT or CPT results have no frequency view"
                          : "--chart: no frequency view for more than " + Text(ViewedClassLimit) +
                                " classes (" + Text(app.State().ClassCount) + " found)";
        }
#ifdef VORTEL_WITH_GUI
        if (failure.empty()) {
            try {
                DrawWithoutDisplay(CommandName,
                                   [&] { gui::SaveNormalityChart(*window.Shown, o.Chart); });
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

    const SortCountFiles files = SortCountFileNames(app.State());
    for (const auto& f : {files.Sorted, files.Percentile, files.Counts})
        std::printf("%s\n", f.string().c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace vortel
