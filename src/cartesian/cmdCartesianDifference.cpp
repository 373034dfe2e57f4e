#include "cartesian/cmdCartesianDifference.h"

#include <filesystem>
#include <system_error>

#include "cartesian/CartesianDifference.h"
#include "cartesian/PairComparisons.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/state/FlowRecord.h"

namespace vortel {

namespace {

bool AskedYes(Dialogues& ui, const std::string& message, const std::string& title) {
    return ui.AskYesNo(message, title) == Answer::Yes;
}

}  // namespace

// Checked before the pairs run, so a folder that cannot take files is known at once, not
// after a long test.
void EnsureOutputFolder(Dialogues& ui) {
    for (;;) {
        const std::filesystem::path folder = ui.CurrentFolder();
        std::string reason;
        try {
            const std::filesystem::path probe = CreateTemporaryTwin(ui.OutputPath("VORTEL"));
            std::error_code ec;
            std::filesystem::remove(probe, ec);
            return;
        } catch (const FileNotCreated& e) {
            reason = e.Code.message();
        }
        const std::string problem =
            "The folder \"" + folder.string() + "\" cannot take the test's files (" + reason + ").";
        const auto other = ui.ChooseOtherFolder(problem);
        if (!other) throw RunStopped(problem + " The test is abandoned; no file was written.");
        ui.SetCurrentFolder(*other);
    }
}

void AskAndRunCartesianTest(AnalysisState& state, Services& services) {
    // The flow record of an earlier test stays open until Quit; a second launch closes it first,
    // so the new one can take the same name without two streams on one file.
    state.FlowFile.reset();

    services.screen.Launched();
    state.CartesianTest = true;

    Dialogues& ui = services.ui;
    const std::string detailMessage =
        "Do you need the detailed info?\n"
        "In general you can choose \"No\". If you choose \"Yes\", there will be many huge files.\n"
        "\n"
        "Attention: this is only for results of B =" +
        Text(state.NominalBootstrapNumber) + ", and CPT =" + Text(state.NominalCartesianNumber);
    // The message advises No, so Enter answers No.
    if (ui.AskYesNoAdvised(detailMessage, DetailInfoTitle, Answer::No) != Answer::Yes) {
        state.FlowRecord = false;
        state.DetailQuestionDeclined = true;
    } else {
        state.DetailQuestionDeclined = false;
        if (AskedYes(ui, "Do you need the record of program flow?", FlowRecordTitle)) {
            state.FlowFile = std::make_unique<FlowRecordFile>(
                ui.OutputPath(state.OutputBaseName + "_0_Flow.txt"));
            state.FlowRecord = true;
        } else {
            state.FlowRecord = false;
        }
    }

    if (state.DetailQuestionDeclined) {
        state.DetailedDifferences = false;
    } else {
        state.DetailedDifferences = AskedYes(
            ui,
            "Do you need detailed differences between treatments and normal density curves?\n"
            "   This option is useful to teachers to show the normal curve.\n"
            "   If you are comparing more treatments, there will be many files.\n"
            "\n"
            "Yes: Write detailed differences between treatments and normal density curves.\n"
            "No: Don't write detailed differences between treatments.\n",
            DetailFilesTitle);
    }

    state.ReversedSort = AskedYes(ui, "Do you want to do reversed sort?", ReversedSortTitle);

    CartesianDifference(state, services);
    EnsureOutputFolder(ui);
    CartesianDifference2(state, services);
}

}  // namespace vortel
