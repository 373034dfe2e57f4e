#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "sortcount/SortCount.h"
#include "sortcount/SortForBootstrapResults.h"
#include "support/ScriptedDialogues.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

using test::CrLf;
using test::ReadAll;
using test::TempFolder;

// One fresh program run: start-up values set, nothing sorted yet.
struct UtilityRun {
    AnalysisState state;
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock;
    Random random;
    Services services{ui, window, clock, random};
    UtilityRun() { SetEditionValues(state); }

    // Queues the answers of one use of the utility: kind, layout, file, typed decimals.
    ScriptedDialogues& Answers(Answer kind, bool serials, const std::filesystem::path& file,
                               const std::vector<std::string>& decimals = {"-1"}) {
        ui.Answer(DialogueKind::YesNoCancel, kind);
        serials ? ui.Yes() : ui.No();
        ui.Pick(file.string());
        for (const auto& d : decimals) ui.Type(d);
        return ui;
    }
    void Sort() { SortForBootstrapResults(state, services); }
    void SortFile(Answer kind, bool serials, const std::filesystem::path& file,
                  const std::vector<std::string>& decimals = {"-1"}) {
        Answers(kind, serials, file, decimals);
        Sort();
    }
    std::vector<double> Sorted() {
        std::vector<double> v;
        for (std::int32_t k = 1; k <= state.BootstrapNumber(1); ++k)
            v.push_back(state.SortedDifferences(k));
        return v;
    }
};

std::string Lines(std::int32_t from, std::int32_t to, int step) {
    std::string s;
    for (std::int32_t v = from; step > 0 ? v <= to : v >= to; v += step)
        s += std::to_string(v) + "\r\n";
    return s;
}

TEST(SortForBootstrapResults, GeneralDataFileGivesItsThreeFilesByteForByte) {
    TempFolder dir;
    const auto file = dir.Write("ages.txt", "Trial, x, Age, 3, 5, 3, 4, 5, 5, -1\r\n");
    UtilityRun run;
    run.SortFile(Answer::Yes, false, file);

    EXPECT_EQ(dir.Files(),
              (std::vector<std::string>{"ages-1_0.025, 0.5 and 0.975 Age.txt", "ages-2_Sorted.txt",
                                        "ages-3_Sorted and counts.txt", "ages.txt"}));
    EXPECT_EQ(
        ReadAll(dir / "ages-2_Sorted.txt"),
        CrLf({R"("Project: Trial")", R"("Sample size =",6)", R"("Sample mean = ",4.16666666666667)",
              R"("Sorted serial no.","Original serial no.","Sorted data")", "1,1,3", "2,3,3",
              "3,4,4", "4,6,5", "5,5,5", "6,2,5"}));
    EXPECT_EQ(ReadAll(dir / "ages-1_0.025, 0.5 and 0.975 Age.txt"),
              CrLf({R"("The 0.5 percentile life table of Age is 4")"}));
    EXPECT_EQ(ReadAll(dir / "ages-3_Sorted and counts.txt"),
              CrLf({R"("Project: Trial")", R"("Sample size =",6)",
                    R"("Sample mean = ",4.16666666666667)", R"("Total classes =",3)",
                    R"("Group serial no.","Value","Count")", "1,3,2", "2,4,1", "3,5,3"}));

    EXPECT_EQ(run.state.SortDataKind, "General");
    EXPECT_TRUE(run.state.SortUtilityUsed);
    EXPECT_EQ(run.state.ProjectName, "Trial");
    EXPECT_EQ(run.state.ClassCount, 3);
    EXPECT_EQ(run.ui.Notices(),
              (std::vector<std::string>{"Bootstrap results sorted and data file ready!",
                                        "File of data counts is ready!"}));
    EXPECT_TRUE(run.ui.AllAnswered());
}

TEST(SortForBootstrapResults, AsksItsQuestionsWordForWord) {
    TempFolder dir;
    const auto file = dir.Write("b.txt", "T,x,10,x,2,r,A,1\r\n1\r\n2\r\n");
    UtilityRun run;
    run.SortFile(Answer::No, false, file);

    const auto& log = run.ui.Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].Title, "Sort and count general data or bootstrap results");
    EXPECT_EQ(log[0].Message,
              "You can use this button to sort a data file.\n"
              "Choose a general data file or a bootstrap resampling file to sort.Don't choose a "
              "\"sorted\" file. It is already sorted. You don't need to sort it again.  You can "
              "use it to prepare figures.\n\n"
              "Yes: General integer data (Individual developmental duration, longevity, "
              "fecundity, etc). You will get the sorted and counted files. You will see the "
              "frequency distribution. No bootstrap technique will be used. The output files are "
              "not for paired test.\n\n"
              "No: Bootstrap results (e.g., Effec Boot-A1a). Your bootstrap results will be "
              "sorted and counted.\n\n"
              "Cancel: PBT or CPT results (e.g., file no. 24 or 25). \n\n");
    EXPECT_EQ(log[1].Title, "Data formate");
    EXPECT_EQ(log[1].Message,
              "Are there serial numbers in your data file (Yes: i and x(i), No: x(i) only.\n"
              "Most bootstrap results are without serial numbers.\n"
              "Bootstrap results of population parameters are offered in both formats.");
    EXPECT_EQ(log[2].Title, "Open a bootstrap file to sort");
    EXPECT_EQ(log[3].Message,
              "Limit of decimal points (0, 1, 2, 3, 4, 5 and -1).\n"
              "[Enter -1 (minus 1) to use double precision.]");
    EXPECT_EQ(log[3].Title, "Limit the decimal points?");
    EXPECT_EQ(log[3].Default, "-1");
    EXPECT_EQ(log[4].Title, "Limit the decimal points?");
    EXPECT_EQ(log[5].Title, "Limit the decimal points?");
    EXPECT_EQ(run.state.SortDataKind, "Boot");
}

// Right after start-up no general file has set a project name, so the line holds the version
// alone; a file holding fewer values than its B reports the values it holds.
TEST(SortForBootstrapResults, BootstrapFileShortOfItsBGivesExactFiles) {
    TempFolder dir;
    const auto file =
        dir.Write("cot.txt", "Cotesia,x,25,y,6,r,12,0.215\r\n0.2\r\n0.25\r\n0.21\r\n0.2\r\n");
    UtilityRun run;
    run.SortFile(Answer::No, false, file);

    EXPECT_EQ(ReadAll(dir / "cot-2_Sorted.txt"),
              CrLf({R"("Project:  Ver. 04/01/2023")", R"("Original mean =",0.215)",
                    R"("Bootstrap sample size (n) = ",25)",
                    R"("Total effective bootstrap number (B) = ",4)",
                    R"("Sample size or mean (A)= 12, (B)=0.215")", R"("Variable: Cotesia")",
                    R"("Sorted serial no.","Original serial no.","Sorted data")", "1,1,0.2",
                    "2,4,0.2", "3,3,0.21", "4,2,0.25"}));
    EXPECT_EQ(ReadAll(dir / "cot-1_0.025, 0.5 and 0.975 r.txt"),
              CrLf({R"("The 0.5 percentile life table of r is 4")"}));
    EXPECT_EQ(ReadAll(dir / "cot-3_Sorted and counts.txt"),
              CrLf({R"("Project:  Ver. 04/01/2023")",
                    R"("Sample size or Original mean (A) =12, (B)=",0.215)",
                    R"("Next line is sample size")", "25",
                    R"("Total effective bootstrap number (B) = ",4,"Total classes =",3)",
                    R"("Group serial no.","Value","Count")", "1,0.2,2", "2,0.21,1", "3,0.25,1"}));
    EXPECT_EQ(run.state.BootstrapNumber(1), 4);
    EXPECT_EQ(run.state.ProjectName, "");
}

// Values n, n-1, ..., 1: the value at rank k is k and came from line n - k + 1.
TEST(SortForBootstrapResults, PercentileLinesOnlyWhereRanksFallExactly) {
    struct Case {
        std::int32_t n;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {40,
         {R"("The 0.025 percentile life table of r is 40")",
          R"("The 0.5 percentile life table of r is 21")",
          R"("The 0.975 percentile life table of r is 2")"}},
        {41, {}},
        {42, {R"("The 0.5 percentile life table of r is 22")"}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const auto file = dir.Write(
            "b.txt", "T,x,10,x," + std::to_string(c.n) + ",r,A,1\r\n" + Lines(c.n, 1, -1));
        UtilityRun run;
        run.SortFile(Answer::No, false, file);
        EXPECT_EQ(ReadAll(dir / "b-1_0.025, 0.5 and 0.975 r.txt"), CrLf(c.lines)) << c.n;
    }
}

TEST(SortForBootstrapResults, RoundsOnlyTheSortedCopyAndNamesTheDecimals) {
    struct Case {
        std::vector<std::string> typed;
        std::string values;
        std::vector<double> sorted;
        std::string sortedName;
        std::string percentileName;
    };
    const Case cases[] = {
        // A cancelled prompt reads as 0 decimals; halves go up: -2.5 -> -2.
        {{""},
         "2.5,3.5,-2.5,7",
         {-2, 3, 4, 7},
         "d-2_Sorted-0 decimals.txt",
         "d-1_0.025, 0.5 and 0.975 V0 decimals.txt"},
        // Out-of-range answers ask again.
        {{"7", "-2", "2"},
         "1.234,1.236,1.2",
         {1.2, 1.23, 1.24},
         "d-2_Sorted-2 decimals.txt",
         "d-1_0.025, 0.5 and 0.975 V2 decimals.txt"},
        {{"-1"}, "1.234,1.2", {1.2, 1.234}, "d-2_Sorted.txt", "d-1_0.025, 0.5 and 0.975 V.txt"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const auto file = dir.Write("d.txt", "P,x,V," + c.values + "\r\n");
        UtilityRun run;
        run.SortFile(Answer::Yes, false, file, c.typed);
        EXPECT_EQ(run.Sorted(), c.sorted) << c.values;
        EXPECT_TRUE(std::filesystem::exists(dir / c.sortedName)) << c.sortedName;
        EXPECT_TRUE(std::filesystem::exists(dir / c.percentileName)) << c.percentileName;
        int prompts = 0;
        for (const auto& shown : run.ui.Log()) prompts += shown.Kind == DialogueKind::Text;
        EXPECT_EQ(prompts, static_cast<int>(c.typed.size()));
    }
    // The mean is of the values as read, not as rounded.
    TempFolder dir;
    UtilityRun run;
    run.SortFile(Answer::Yes, false, dir.Write("d.txt", "P,x,V,2.5,3.5\r\n"), {"0"});
    EXPECT_EQ(run.state.SortSampleMean, 3);
}

TEST(SortForBootstrapResults, ReadsEachLayoutAndEndsGeneralListsAtTheMarker) {
    struct Case {
        Answer kind;
        bool serials;
        std::string content;
        std::vector<double> sorted;
    };
    const Case cases[] = {
        // With serials the marker is a serial of -1, and -1 is an ordinary value.
        {Answer::Yes, true, "P,x,V\r\n1,7\r\n2,-1\r\n3,5\r\n-1,0\r\n9,9\r\n", {-1, 5, 7}},
        {Answer::Yes, false, "P,x,V,4,2,-1,8\r\n", {2, 4}},
        {Answer::Yes, false, "P,x,V,4,2\r\n", {2, 4}},
        // Bootstrap lists know no marker; PBT and CPT results carry two more header fields.
        {Answer::No, false, "T,x,10,x,3,V,A,1.5\r\n-1\r\n4\r\n2\r\n", {-1, 2, 4}},
        {Answer::Cancel, true, "T,x,10,x,3,V,A,1.5,p,q\r\n5,2\r\n6,1\r\n7,3\r\n", {1, 2, 3}},
        // B ends the list even when more values follow.
        {Answer::No, false, "T,x,10,x,2,V,A,1.5\r\n9\r\n8\r\n7\r\n", {8, 9}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        UtilityRun run;
        run.SortFile(c.kind, c.serials, dir.Write("in.txt", c.content));
        EXPECT_EQ(run.Sorted(), c.sorted) << c.content;
    }
}

TEST(SortForBootstrapResults, ClassesAreMeasuredFromTheirFirstValue) {
    struct Case {
        std::string values;
        std::vector<double> counts;
    };
    const Case cases[] = {
        {"1.0,1.0000000000001", {2}},
        {"1.0,1.000000000001", {1, 1}},
        // Each step is below 1E-12, but the third value is 1.2E-12 from the class's first.
        {"1.0,1.0000000000006,1.0000000000012", {2, 1}},
        {"5,5,5", {3}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        UtilityRun run;
        run.SortFile(Answer::Yes, false, dir.Write("c.txt", "P,x,V," + c.values + "\r\n"));
        std::vector<double> counts;
        for (std::int32_t g = 1; g <= run.state.ClassCount; ++g)
            counts.push_back(run.state.ClassFrequency(g));
        EXPECT_EQ(counts, c.counts) << c.values;
    }
}

TEST(SortForBootstrapResults, CancelledChoiceReadsAndWritesNothing) {
    TempFolder dir;
    const auto file = dir.Write("g.txt", "P,x,V,1,2\r\n");
    UtilityRun run;
    run.ui.Yes(DialogueKind::YesNoCancel).No().CancelPick();
    run.Sort();
    EXPECT_TRUE(run.state.SortUtilityUsed);
    EXPECT_EQ(run.state.ClassCount, 0);

    // After a successful choice the remembered name is forgotten, so the next cancel is one.
    run.SortFile(Answer::Yes, false, file);
    const auto after = dir.Files();
    run.ui.Yes(DialogueKind::YesNoCancel).No().CancelPick();
    run.Sort();
    EXPECT_EQ(dir.Files(), after);

    // Nor does a file chosen elsewhere, for a test, stand in for a cancelled choice.
    run.ui.Pick(file.string());
    run.ui.ChooseOpenFile("Open a treatment file");
    run.ui.Yes(DialogueKind::YesNoCancel).No().CancelPick();
    run.Sort();
    EXPECT_EQ(dir.Files(), after);
    EXPECT_TRUE(run.ui.AllAnswered());
}

TEST(SortForBootstrapResults, ClosingTheKindQuestionSortsNothing) {
    UtilityRun run;
    run.ui.Answer(DialogueKind::YesNoCancel, Answer::Closed);
    EXPECT_THROW(run.Sort(), RunStopped);
    EXPECT_EQ(run.ui.Log().size(), 1u);  // no further question, no file dialogue
    EXPECT_EQ(run.state.SortDataKind, "");
}

TEST(SortForBootstrapResults, AnAnswerAskedAgainSaysWhy) {
    TempFolder dir;
    UtilityRun run;
    run.SortFile(Answer::Yes, false, dir.Write("d.txt", "P,x,V,1,2\r\n"), {"7", "2"});
    std::vector<std::string> prompts;
    for (const auto& shown : run.ui.Log())
        if (shown.Kind == DialogueKind::Text) prompts.push_back(shown.Message);
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[1], prompts[0] +
                              "\n\n\"7\" reads as 7, which is not from -1 to 5. Please enter it "
                              "again.");
}

TEST(SortForBootstrapResults, NamesItsFilesToTheWindow) {
    TempFolder dir;
    UtilityRun run;
    run.SortFile(Answer::Yes, false, dir.Write("d.txt", "P,x,V,1,2\r\n"));
    const std::vector<WrittenFile> expected = {
        {"Sorted values", (dir / "d-2_Sorted.txt").string()},
        {"Percentile serials", (dir / "d-1_0.025, 0.5 and 0.975 V.txt").string()},
        {"Class counts", (dir / "d-3_Sorted and counts.txt").string()},
    };
    EXPECT_EQ(run.window.Written(), expected);
}

TEST(SortForBootstrapResults, RefusedInputWritesNoFileAndKeepsEarlierOnes) {
    struct Case {
        std::string content;
        Answer kind;
        std::string typed;
        std::string message;
    };
    const Case cases[] = {
        {"P,x,V,-1,4\r\n", Answer::Yes, "-1", "no values"},
        {"P,x,V\r\n", Answer::Yes, "-1", "no values"},
        {"T,x,10,x,0,V,A,1.5\r\n3\r\n", Answer::No, "-1", "no values"},
        {"P,x,V,3000000000\r\n", Answer::Yes, "0", "32-bit"},
        {"P,x,V,-30000.5\r\n", Answer::Yes, "5", "32-bit"},
        {"P,x,V,4,abc\r\n", Answer::Yes, "-1", "field 5"},
        {"P,x,V,1E308,1E308\r\n", Answer::Yes, "-1", "range of numbers"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const auto file = dir.Write("r.txt", c.content);
        dir.Write("r-2_Sorted.txt", "earlier");
        dir.Write("r-2_Sorted-0 decimals.txt", "earlier");
        UtilityRun run;
        run.ui.Answer(DialogueKind::YesNoCancel, c.kind).No().Pick(file.string());
        if (c.message == "32-bit") run.ui.Type(c.typed);
        try {
            run.Sort();
            ADD_FAILURE() << "accepted " << c.content;
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(dir.Files(), (std::vector<std::string>{"r-2_Sorted-0 decimals.txt",
                                                         "r-2_Sorted.txt", "r.txt"}));
        EXPECT_EQ(ReadAll(dir / "r-2_Sorted.txt"), "earlier");
    }
}

TEST(SortForBootstrapResults, MoreValuesThanTheListsHoldAreRefused) {
    TempFolder dir;
    std::string content = "P,x,V\n";
    content.reserve(content.size() + 2 * (ListCapacity + 1));
    for (std::int32_t k = 0; k <= ListCapacity; ++k) content += "1\n";
    const auto file = dir.Write("big.txt", content);
    UtilityRun run;
    run.ui.Yes(DialogueKind::YesNoCancel).No().Pick(file.string());
    EXPECT_THROW(run.Sort(), RunStopped);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"big.txt"});
}

TEST(SortForBootstrapResults, TooManyClassesStillGivesSortedAndPercentileFiles) {
    TempFolder dir;
    const std::int32_t n = ClassCapacity + 1;
    const auto file = dir.Write("many.txt", "P,x,V\n" + Lines(1, n, 1));
    UtilityRun run;
    run.Answers(Answer::Yes, false, file);
    try {
        run.Sort();
        ADD_FAILURE() << "counted more classes than the table holds";
    } catch (const RunStopped& e) {
        EXPECT_NE(std::string(e.what()).find("counts file was not"), std::string::npos);
    }
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"many-1_0.025, 0.5 and 0.975 V.txt",
                                                     "many-2_Sorted.txt", "many.txt"}));

    // The limit is on classes, not values: as many values in two classes are counted.
    std::string twoClasses = "P,x,V\n";
    for (std::int32_t k = 1; k <= n; ++k) twoClasses += k % 2 ? "1\n" : "2\n";
    UtilityRun again;
    again.SortFile(Answer::Yes, false, dir.Write("two.txt", twoClasses));
    const std::string counts = ReadAll(dir / "two-3_Sorted and counts.txt");
    EXPECT_NE(counts.find("\"Total classes =\",2\r\n"), std::string::npos);
    EXPECT_NE(counts.find("\r\n1,1,400002\r\n2,2,400001\r\n"), std::string::npos);
}

TEST(SortForBootstrapResults, OutputsStayInTheInputFolder) {
    struct Case {
        std::string input, variable, percentile;
    };
    const Case cases[] = {
        {"w.txt", "g/day", "w-1_0.025, 0.5 and 0.975 g_day.txt"},
        {"ab", "Age", "-1_0.025, 0.5 and 0.975 Age.txt"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        UtilityRun run;
        run.SortFile(Answer::Yes, false, dir.Write(c.input, "P,x," + c.variable + ",1,2\r\n"));
        EXPECT_EQ(ReadAll(dir / c.percentile),
                  CrLf({"\"The 0.5 percentile life table of " + c.variable + " is 1\""}));
    }
}

// --- "N. Sort, norm." --------------------------------------------------------------------------

TEST(AskAndRunSortCount, OffersTheViewUpToThirtyThousandClasses) {
    struct Case {
        Answer kind;
        std::int32_t values;
        bool asked;
    };
    const Case cases[] = {
        {Answer::Yes, 30'000, true},
        {Answer::Yes, 30'001, false},
        {Answer::No, 3, true},
        {Answer::Cancel, 3, false},  // PBT or CPT results
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string header = c.kind == Answer::Yes  ? "P,x,V\n"
                                   : c.kind == Answer::No ? "T,x,9,x,3,V,A,1\n"
                                                          : "T,x,9,x,3,V,A,1,p,q\n";
        const auto file = dir.Write("n.txt", header + Lines(1, c.values, 1));
        UtilityRun run;
        run.Answers(c.kind, false, file);
        if (c.asked) run.ui.Yes();
        AskAndRunSortCount(run.state, run.services);
        EXPECT_TRUE(run.ui.AllAnswered()) << c.values;
        EXPECT_EQ(run.window.NormalityViewsShown(), c.asked ? 1 : 0);
        EXPECT_EQ(run.window.State("MSChart2").Visible, !c.asked);
        EXPECT_EQ(dir.Files().size(), 4u);
    }
}

TEST(AskAndRunSortCount, CancelledFirstChoiceStillShowsTheChartAndAsks) {
    UtilityRun run;
    run.window.SetVisible("MSChart1", false);
    run.ui.No(DialogueKind::YesNoCancel).No().CancelPick().No();
    AskAndRunSortCount(run.state, run.services);
    EXPECT_TRUE(run.ui.AllAnswered());
    EXPECT_EQ(run.state.ClassCount, 0);
    EXPECT_TRUE(run.window.State("MSChart1").Visible);
    EXPECT_FALSE(run.window.State("MSChart2").Visible);
    EXPECT_EQ(run.window.NormalityViewsShown(), 0);
}

}  // namespace
}  // namespace vortel

namespace vortel {
namespace {

// The call gives what the dialogue flow leaves for the same values: the sorted values with their
// serials, the percentile serials its file names, the classes and the frequency view's data.
TEST(SortAndCount, GivesWhatTheUtilityLeaves) {
    TempFolder dir;
    const auto file = dir.Write("tomato-r.txt", ReadAll(test::DataFile("cartesian/tomato-r.txt")));
    for (const int decimals : {-1, 3}) {
        UtilityRun whole;
        whole.SortFile(Answer::No, false, file);
        // The values in file order, put back from the unrounded sort and its serials.
        const std::int32_t n = whole.state.BootstrapNumber(1);
        std::vector<double> values(static_cast<std::size_t>(n));
        for (std::int32_t k = 1; k <= n; ++k)
            values[static_cast<std::size_t>(whole.state.SortOutputSerial(k) - 1)] =
                whole.state.SortedDifferences(k);

        UtilityRun run;
        run.SortFile(Answer::No, false, file, {std::to_string(decimals)});
        SortCountRequest request;
        request.Values = values;
        request.Decimals = decimals;
        request.TreatmentName = run.state.TreatmentName(1);
        request.VariableName = run.state.SortVariableName;
        const SortCountResult r = SortAndCount(request);

        ASSERT_EQ(r.Sorted.size(), static_cast<std::size_t>(n));
        for (std::int32_t k = 1; k <= n; ++k) {
            EXPECT_EQ(r.Sorted[static_cast<std::size_t>(k - 1)].Value,
                      run.state.SortedDifferences(k));
            EXPECT_EQ(r.Sorted[static_cast<std::size_t>(k - 1)].Serial,
                      run.state.SortOutputSerial(k));
        }
        EXPECT_EQ(r.Mean, run.state.SortSampleMean);
        ASSERT_EQ(r.Classes.size(), static_cast<std::size_t>(run.state.ClassCount));
        for (std::int32_t g = 1; g <= run.state.ClassCount; ++g) {
            EXPECT_EQ(r.Classes[static_cast<std::size_t>(g - 1)].Value, run.state.ClassValue(g));
            EXPECT_EQ(r.Classes[static_cast<std::size_t>(g - 1)].Count,
                      run.state.ClassFrequency(g));
        }
        const NormalityData view = MakeNormalityData(run.state, run.state);
        ASSERT_TRUE(r.HasView);
        EXPECT_EQ(r.View.Caption, view.Caption);
        EXPECT_EQ(r.View.Points.size(), view.Points.size());
        EXPECT_EQ(r.View.Mean, view.Mean);
        // The percentile file names the serials the result holds.
        const std::string percentiles =
            ReadAll(SortCountFileNames(run.state, run.state).Percentile);
        for (const std::int32_t serial : {r.Percentile025, r.Percentile50, r.Percentile975}) {
            if (serial != 0) {
                EXPECT_NE(percentiles.find(" is " + std::to_string(serial) + "\""),
                          std::string::npos)
                    << serial;
            }
        }
    }
    SortCountRequest none;
    EXPECT_THROW(SortAndCount(none), RunStopped);
    none.Values = {1, 2};
    none.Decimals = 6;
    EXPECT_THROW(SortAndCount(none), RunStopped);
}

// The file entry point writes the questions' three files byte for byte, for a bootstrap file and
// a table's column, and refuses what they refuse with the same message and nothing written.
TEST(SortAndCountFile, WritesWhatTheQuestionsWrite) {
    TempFolder asked, called;
    const std::string tomato = ReadAll(test::DataFile("cartesian/tomato-r.txt"));
    const std::string table = CrLf({"A,B", "1,2", "3,4", "5,4"});
    for (const int decimals : {-1, 2}) {
        SCOPED_TRACE(decimals);
        UtilityRun run;
        run.SortFile(Answer::No, false, asked.Write("tomato-r.txt", tomato),
                     {std::to_string(decimals)});
        SortCountFileRequest request;
        request.File = called.Write("tomato-r.txt", tomato).string();
        request.Decimals = decimals;
        const SortCountFileResult r = SortAndCountFile(request, nullptr);
        const SortCountFiles expected = SortCountFileNames(run.state, run.state);
        for (const auto& [mine, theirs] : {std::pair{r.Files.Sorted, expected.Sorted},
                                           {r.Files.Percentile, expected.Percentile},
                                           {r.Files.Counts, expected.Counts}}) {
            EXPECT_EQ(mine.parent_path(), called.Path());
            EXPECT_EQ(mine.filename(), theirs.filename());
            EXPECT_EQ(ReadAll(mine), ReadAll(theirs)) << mine;
        }
        EXPECT_EQ(r.ClassCount, run.state.ClassCount);
        ASSERT_TRUE(r.View);
        EXPECT_EQ(r.View->Caption, MakeNormalityData(run.state, run.state).Caption);
    }

    UtilityRun column;
    column.state.SortColumnName = "b";
    column.SortFile(Answer::Yes, false, asked.Write("t.csv", table));
    SortCountFileRequest b;
    b.File = called.Write("t.csv", table).string();
    b.DataKind = SortCountRequest::Kind::General;
    b.Column = "b";
    const SortCountFileResult r = SortAndCountFile(b, nullptr);
    EXPECT_EQ(ReadAll(r.Files.Counts),
              ReadAll(SortCountFileNames(column.state, column.state).Counts));

    TempFolder empty;
    SortCountFileRequest unnamed = b;
    unnamed.File = empty.Write("t.csv", table).string();
    unnamed.Column.clear();
    SortCountFileRequest results = unnamed;
    results.File = empty.Write("bad.txt", "Name\r\nx\r\nten\r\n").string();
    results.DataKind = SortCountRequest::Kind::Boot;
    for (const auto& [request, says] :
         {std::pair{unnamed, "No column of table"}, {results, "(sample size, a whole number)"}}) {
        try {
            SortAndCountFile(request, nullptr);
            ADD_FAILURE() << "not refused: " << says;
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(empty.Files(), (std::vector<std::string>{"bad.txt", "t.csv"}));
}

}  // namespace
}  // namespace vortel
