#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "CartesianFixture.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/state/FlowRecord.h"

namespace vortel {
namespace {

using test::TestRun;

const std::string DetailInfoMessage =
    "Do you need the detailed info?\n"
    "In general you can choose \"No\". If you choose \"Yes\", there will be many huge files.\n"
    "\n"
    "Attention: this is only for results of B =2000, and CPT =4000000";
const std::string DetailedDifferencesMessage =
    "Do you need detailed differences between treatments and normal density curves?\n"
    "   This option is useful to teachers to show the normal curve.\n"
    "   If you are comparing more treatments, there will be many files.\n"
    "\n"
    "Yes: Write detailed differences between treatments and normal density curves.\n"
    "No: Don't write detailed differences between treatments.\n";

// Queues the answers of treatment input and the report for two small treatment files.
void AnswerTreatmentsAndReport(TestRun& r) {
    const auto first =
        r.folder.Write("a.txt", test::CrLf({"A", "x", "10", "y", "2", "r", "10", "3.5", "3", "4"}));
    const auto second =
        r.folder.Write("b.txt", test::CrLf({"B", "x", "12", "y", "2", "r", "12", "1.5", "1", "2"}));
    r.ui.Type("2").Type("0").Pick(first.string()).Pick(second.string()).Type("1");
}

std::vector<std::string> QuestionTitles(const ScriptedDialogues& ui) {
    std::vector<std::string> titles;
    for (const auto& shown : ui.Log())
        if (shown.Kind == DialogueKind::YesNo) titles.push_back(shown.Title);
    return titles;
}

std::size_t CountFiles(const TestRun& r, const std::string& part) {
    std::size_t n = 0;
    for (const auto& name : r.folder.Files()) n += name.find(part) != std::string::npos;
    return n;
}

TEST(Launch, AnswersSettleTheOptionsAndOutputs) {
    struct Case {
        const char* label;
        std::vector<Answer> answers;
        std::vector<std::string> titles;
        bool flow, details, reversed;
    };
    const std::string info = "Do you need detailed info?", flow = "Do you need flow record?",
                      detail = "Detailed differences", order = "Reversed sort";
    const Case cases[] = {
        {"no detailed info", {Answer::No, Answer::No}, {info, order}, false, false, false},
        {"details without flow record",
         {Answer::Yes, Answer::No, Answer::Yes, Answer::No},
         {info, flow, detail, order},
         false,
         true,
         false},
        {"flow record without details, reversed",
         {Answer::Yes, Answer::Yes, Answer::No, Answer::Yes},
         {info, flow, detail, order},
         true,
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestRun r;
        for (Answer a : c.answers) r.ui.Answer(DialogueKind::YesNo, a);
        AnswerTreatmentsAndReport(r);
        AskAndRunCartesianTest(r.state, r.services);

        EXPECT_TRUE(r.ui.AllAnswered());
        EXPECT_EQ(QuestionTitles(r.ui), c.titles);
        EXPECT_EQ(r.ui.Log()[0].Message, DetailInfoMessage);
        if (c.titles.size() == 4) {
            EXPECT_EQ(r.ui.Log()[1].Message, "Do you need the record of program flow?");
            EXPECT_EQ(r.ui.Log()[2].Message, DetailedDifferencesMessage);
        }
        EXPECT_EQ(r.ui.Log()[c.titles.size() - 1].Message, "Do you want to do reversed sort?");
        EXPECT_TRUE(r.state.CartesianTest);
        EXPECT_EQ(r.state.FlowRecord, c.flow);
        EXPECT_EQ(r.state.DetailedDifferences, c.details);
        EXPECT_EQ(r.state.ReversedSort, c.reversed);
        EXPECT_EQ(CountFiles(r, "_0_Flow.txt"), c.flow ? 1u : 0u);
        EXPECT_EQ(CountFiles(r, " to 2_diff"), c.details ? 6u : 0u);
        EXPECT_EQ(CountFiles(r, " results-r_"), 1u);
        EXPECT_FALSE(r.window.State("Image1").Visible);
        EXPECT_TRUE(r.window.State("Label4").Visible);
    }
}

// A second launch asks everything again, and the flow record of the first is closed whole
// before the second opens its own.
TEST(Launch, SecondLaunchAsksAgainAndClosesTheEarlierFlowRecord) {
    TestRun r;
    r.ui.Yes().Yes().Yes().Yes();
    AnswerTreatmentsAndReport(r);
    AskAndRunCartesianTest(r.state, r.services);
    const std::string firstFlow = test::ReadAll(r.folder / "_0_Flow.txt");

    r.ui.Yes().Yes().No().No();
    AnswerTreatmentsAndReport(r);
    AskAndRunCartesianTest(r.state, r.services);
    EXPECT_TRUE(r.ui.AllAnswered());
    EXPECT_TRUE(r.state.FlowRecord);
    EXPECT_FALSE(r.state.DetailedDifferences);
    EXPECT_FALSE(r.state.ReversedSort);

    EXPECT_EQ(test::ReadAll(r.folder / "_0_Flow.txt"), firstFlow);
    EXPECT_EQ(firstFlow.rfind(test::CrLf({"Sub CartesianDifference2", "Sub QuickSort",
                                          "Sub PrintMultiCIofDifference"}),
                              0),
              0u)
        << firstFlow;
    // The base name treatment input set names the second record.
    r.state.FlowFile.reset();
    EXPECT_EQ(test::ReadAll(r.folder / "25A-Cartesian diff_0_Flow.txt"), firstFlow);
}

// The output folder is checked before the pairs run: one that cannot take files is named at
// once, and another chosen folder takes its place; with none chosen the test is abandoned.
class FolderChoice : public ScriptedDialogues {
public:
    std::optional<std::filesystem::path> Other;
    std::string Problem;
    std::optional<std::filesystem::path> ChooseOtherFolder(const std::string& problem) override {
        Problem = problem;
        return std::exchange(Other, std::nullopt);
    }
};

TEST(Launch, AFolderThatCannotTakeFilesIsNamedBeforeThePairs) {
    test::TempFolder folder;
    const std::filesystem::path gone = folder.Path() / "gone";
    FolderChoice ui;
    ui.SetCurrentFolder(gone);
    try {
        EnsureOutputFolder(ui);
        FAIL() << "a folder that does not exist took files";
    } catch (const RunStopped& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + gone.string() + "\" cannot take"),
                  std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("no file was written"), std::string::npos);
    }
    EXPECT_NE(ui.Problem.find(gone.string()), std::string::npos);

    ui.Other = folder.Path();
    EnsureOutputFolder(ui);
    EXPECT_EQ(ui.CurrentFolder(), folder.Path());
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));  // the probe leaves nothing behind
}

}  // namespace
}  // namespace vortel
