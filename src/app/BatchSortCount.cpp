// vortel sortcount: the sort-and-count utility in a fresh program run, its questions answered
// from the command line.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/AnswerSheet.h"
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

struct SortCountOptions {
    Answer Kind = Answer::No;  // boot
    bool Serials = false;
    std::string Decimals = "-1";
    std::string Chart;
    std::string Column;
    std::string File;
};

// The name in every message of this command.
constexpr const char* CommandName = "sortcount";

// Parses the arguments; a message when they do not make a command.
std::optional<std::string> Parse(const std::vector<std::string>& args, SortCountOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--kind" || a == "--decimals" || a == "--chart" || a == "--column") {
            if (!hasValue) return a + " needs a value";
            const std::string& v = args[++i];
            if (a == "--kind") {
                if (v == "general")
                    o.Kind = Answer::Yes;
                else if (v == "boot")
                    o.Kind = Answer::No;
                else if (v == "results")
                    o.Kind = Answer::Cancel;
                else
                    return "--kind is general, boot or results, not \"" + v + "\"";
            } else if (a == "--decimals") {
                double d = 0;
                // The prompt would ask again for anything else; a batch run cannot answer it.
                if (!ParseStrictNumber(v, d) || d < -1 || d > 5)
                    return "--decimals takes a number from -1 to 5, not \"" + v + "\"";
                o.Decimals = v;
            } else if (a == "--column") {
                if (v.empty()) return "--column needs a column's name";
                o.Column = v;
            } else {
                if (v.empty()) return "--chart needs a file name";
                o.Chart = v;
            }
        } else if (a == "--" && i + 1 < args.size() && o.File.empty()) {
            o.File = args[++i];
        } else if (a == "--serials") {
            o.Serials = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return "unknown option \"" + a + "\"";
        } else if (o.File.empty()) {
            o.File = a;
        } else {
            return "one FILE only, but \"" + a + "\" follows \"" + o.File + "\"";
        }
    }
    if (o.File.empty()) return "no FILE given";
    return std::nullopt;
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
    SortCountOptions o;
    if (auto problem = Parse(args, o)) return UsageError(CommandName, *problem);
    if (auto problem = InputFileProblem(o.File))
        return Refused(CommandName, "cannot read \"" + o.File + "\": " + *problem);
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
    ui.Choose(SortKindTitle, o.Kind)
        .Choose(SerialNumbersTitle, o.Serials ? Answer::Yes : Answer::No)
        .Pick(o.Kind == Answer::Yes ? GeneralFileTitle : BootFileTitle, o.File)
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
