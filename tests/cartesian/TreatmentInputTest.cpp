#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cartesian/CartesianDifference.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/CommandQuestions.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/ScriptedRun.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

// A bootstrap-result file: name, two ignored fields around the first sample size, B, the
// parameter, n, the original mean, then the values as given (one per line).
std::string TreatmentFile(const std::string& name, int b, const std::string& values,
                          double original = 0.2) {
    return "\"" + name + "\",\"boot\",30,x," + std::to_string(b) + ",\"r\",25," +
           std::to_string(original) + "\r\n" + values;
}

struct InputRun : ScriptedRun {
    test::TempFolder folder;

    // Queues the count and transformation answers and one file per treatment.
    void Prepare(const std::vector<std::string>& files, const std::string& transformation = "0") {
        ui.Type(std::to_string(files.size())).Type(transformation);
        for (std::size_t t = 0; t < files.size(); ++t)
            ui.Pick(
                folder
                    .Write(std::string("t").append(std::to_string(t + 1)).append(".txt"), files[t])
                    .string());
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int t = 1; t <= state.TreatmentCount; ++t) names.push_back(state.TreatmentName(t));
        return names;
    }
    std::string File(const std::string& name, const std::string& content) {
        return folder.Write(name, content).string();
    }
    std::vector<std::string> FileTitles() const {
        std::vector<std::string> titles;
        for (const auto& shown : ui.Log())
            if (shown.Kind == DialogueKind::OpenFile) titles.push_back(shown.Title);
        return titles;
    }
    // The message that stops the input.
    std::string Stop() {
        try {
            CartesianDifference(state, services);
        } catch (const RunStopped& e) {
            return e.what();
        }
        return "(no stop)";
    }
};

TEST(TreatmentInput, OrdersByMeanLargestFirstOrSmallestWithReversedSort) {
    for (bool reversed : {false, true}) {
        InputRun run;
        run.state.ReversedSort = reversed;
        run.Prepare({TreatmentFile("one", 2, "0.5\r\n1.5\r\n"),
                     TreatmentFile("three", 2, "3\r\n3\r\n"),
                     TreatmentFile("two", 2, "1\r\n3\r\n")});
        CartesianDifference(run.state, run.services);
        const std::vector<std::string> expected =
            reversed ? std::vector<std::string>{"one", "two", "three"}
                     : std::vector<std::string>{"three", "two", "one"};
        EXPECT_EQ(run.Names(), expected);
        // Values and files follow their treatments.
        const int three = reversed ? 3 : 1;
        EXPECT_EQ(run.state.BootstrapValues(1, three), 3);
        EXPECT_EQ(run.state.TreatmentFile(three), (run.folder / "t2.txt").string());
        EXPECT_EQ(run.state.PairCount, 3);
        EXPECT_EQ(run.state.TableRuleDouble, std::string(48, '='));
        EXPECT_EQ(run.state.TableRuleSingle, std::string(48, '-'));
        EXPECT_TRUE(run.ui.AllAnswered());
    }
}

// Equal means are never exchanged with each other, yet an exchange with a third treatment can
// carry one past the other: entered as 2, 2, 1 and ordered upwards, the two 2s end reversed.
TEST(TreatmentInput, EqualMeansFollowTheExchangesNotTheEntryOrder) {
    InputRun run;
    run.state.ReversedSort = true;
    run.Prepare({TreatmentFile("first", 2, "1\r\n3\r\n"), TreatmentFile("second", 2, "2\r\n2\r\n"),
                 TreatmentFile("third", 2, "0\r\n2\r\n")});
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_EQ(run.state.BootstrapValues(1, 3), 1);
}

TEST(TreatmentInput, AsksItsQuestionsWordForWord) {
    InputRun run;
    run.Prepare({TreatmentFile("A", 1, "1\r\n"), TreatmentFile("B", 1, "2\r\n")});
    CartesianDifference(run.state, run.services);
    const auto& log = run.ui.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].Message, "Enter number of treatments");
    EXPECT_EQ(log[0].Title,
              "Read data file one by one for paired comparison using Cartesian Product");
    EXPECT_EQ(log[0].Default, "2");
    EXPECT_EQ(log[1].Message, "No transformation (0), Arcsine (1), or logit (2) transformation?");
    EXPECT_EQ(log[1].Title, "Transformation?");
    EXPECT_EQ(log[1].Default, "0");
    EXPECT_EQ(log[2].Title, "Input treatment 1");
    EXPECT_EQ(log[3].Title, "Input treatment 2");
    EXPECT_EQ(run.state.OutputBaseName, "25A-Cartesian diff");
    EXPECT_FALSE(run.window.State("cmdReadDataA1").Enabled);
    EXPECT_NEAR(run.state.SidakAlpha, 0.05, 1e-15);
}

// Files dropped on the window arrive ahead of their choices: the count suggested is theirs and
// they keep the order they came in, whatever their names.
TEST(TreatmentInput, FilesGivenAheadSuggestTheirCountAndKeepTheirOrder) {
    InputRun run;
    const auto b = run.folder.Write("b.txt", TreatmentFile("B", 1, "2\r\n"));
    const auto a = run.folder.Write("a.txt", TreatmentFile("A", 1, "3\r\n"));
    const auto c = run.folder.Write("c.txt", TreatmentFile("C", 1, "1\r\n"));
    run.ui.GiveFilesAhead({b.string(), a.string(), c.string()});
    run.ui.Type("3").Type("0");
    CartesianDifference(run.state, run.services);
    ASSERT_EQ(run.ui.Log().size(), 2u);  // no file dialogue
    EXPECT_EQ(run.ui.Log()[0].Default, "3");
    EXPECT_EQ(run.state.EnteredFile(1), b.string());
    EXPECT_EQ(run.state.EnteredFile(2), a.string());
    EXPECT_EQ(run.state.EnteredFile(3), c.string());
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(TreatmentInput, SidakLevelForFivetreatments) {
    InputRun run;
    std::vector<std::string> files;
    for (int t = 0; t < 5; ++t) files.push_back(TreatmentFile("T", 1, std::to_string(t) + "\r\n"));
    run.Prepare(files);
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.state.PairCount, 10);
    EXPECT_NEAR(run.state.SidakAlpha, 0.0051162, 1e-7);
}

TEST(TreatmentInput, CountsWhatTheListHolds) {
    struct Case {
        const char* name;
        int b;
        const char* values;
        int count;
        double mean;
    };
    const Case cases[] = {
        {"exactly B, no marker", 3, "1\r\n2\r\n3\r\n", 3, 2},
        {"B then the marker", 3, "1,2,3,-1\r\n", 3, 2},
        {"more than B: B kept", 3, "1\r\n2\r\n3\r\n10\r\n11\r\n", 3, 2},
        {"marker before B", 5, "1\r\n2\r\n3\r\n-1\r\n", 3, 2},
    };
    for (const auto& c : cases) {
        InputRun run;
        run.Prepare({TreatmentFile("A", c.b, c.values), TreatmentFile("B", 1, "-5\r\n")});
        CartesianDifference(run.state, run.services);
        EXPECT_EQ(run.state.BootstrapNumber(1), c.count) << c.name;
        EXPECT_EQ(run.state.BootstrapNumberReal(1), c.count) << c.name;
        EXPECT_EQ(run.state.BootstrapValues(3, 1), 3) << c.name;
    }
    // More than B values: the sorting mean takes B + 1 of them.
    InputRun run;
    run.Prepare({TreatmentFile("A", 3, "1\r\n2\r\n3\r\n14\r\n"), TreatmentFile("B", 1, "4.5\r\n")});
    CartesianDifference(run.state, run.services);
    // (1+2+3+14)/4 = 5 puts A before B's 4.5; its three kept values alone would not.
    EXPECT_EQ(run.state.TreatmentName(1), "A");
    EXPECT_EQ(run.state.SortingMean(1), 5);
    EXPECT_EQ(run.state.BootstrapNumber(1), 3);
}

TEST(TreatmentInput, ShorterListNeverTakesValuesOfAnEarlierFile) {
    InputRun run;
    run.Prepare({TreatmentFile("A", 4, "1\r\n2\r\n3\r\n4\r\n"), TreatmentFile("B", 1, "0\r\n")});
    CartesianDifference(run.state, run.services);
    run.Prepare({TreatmentFile("A", 4, "1\r\n-1\r\n"), TreatmentFile("B", 1, "0\r\n")});
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.state.BootstrapNumber(1), 1);
    EXPECT_EQ(run.state.SortingMean(1), 1);
}

TEST(TreatmentInput, Transformations) {
    InputRun run;
    run.Prepare({TreatmentFile("A", 3, "0.25\r\n1\r\n0\r\n"), TreatmentFile("B", 1, "0\r\n")}, "1");
    CartesianDifference(run.state, run.services);
    EXPECT_DOUBLE_EQ(run.state.BootstrapValues(1, 1), std::numbers::pi / 6);
    EXPECT_EQ(run.state.BootstrapValues(2, 1),
              std::numbers::pi / 2);  // arcsine of 1 is a right angle
    EXPECT_EQ(run.state.BootstrapValues(3, 1), 0);

    InputRun logit;
    logit.Prepare({TreatmentFile("A", 2, "0.5\r\n0.75\r\n"), TreatmentFile("B", 1, "0.1\r\n")},
                  "2");
    CartesianDifference(logit.state, logit.services);
    EXPECT_EQ(logit.state.BootstrapValues(1, 1), 0);
    EXPECT_DOUBLE_EQ(logit.state.BootstrapValues(2, 1), std::log(3.0));

    InputRun other;  // any other number: no transformation
    other.Prepare({TreatmentFile("A", 1, "7\r\n"), TreatmentFile("B", 1, "0.5\r\n")}, "5");
    CartesianDifference(other.state, other.services);
    EXPECT_EQ(other.state.BootstrapValues(1, 1), 7);
}

TEST(TreatmentInput, RefusedAnswersAndFilesNameWhatIsWrong) {
    struct Case {
        const char* name;
        std::function<void(InputRun&)> prepare;
        const char* messagePart;
    };
    const std::string good = TreatmentFile("B", 1, "1\r\n");
    const Case cases[] = {
        {"one treatment", [](InputRun& r) { r.ui.Type("1"); }, "must be 2 to 20; \"1\""},
        {"21 treatments", [](InputRun& r) { r.ui.Type("21"); }, "must be 2 to 20; \"21\""},
        {"20.5 rounds to 20", [](InputRun& r) { r.ui.Type("20.5").Type("abc"); },
         "transformation must be given as a number"},
        {"20.51 rounds to 21", [](InputRun& r) { r.ui.Type("20.51"); }, "must be 2 to 20"},
        {"cancelled count", [](InputRun& r) { r.ui.Type(""); },
         "The test was cancelled at the question of the number of treatments"},
        {"huge count", [](InputRun& r) { r.ui.Type("1e9"); }, "must be 2 to 20"},
        {"transformation not a number", [](InputRun& r) { r.ui.Type("2").Type("abc"); },
         "transformation must be given as a number"},
        {"cancelled transformation", [](InputRun& r) { r.ui.Type("2").Type(""); },
         "The test was cancelled at the question of the transformation"},
        {"cancelled file choice", [](InputRun& r) { r.ui.Type("2").Type("0").CancelPick(); },
         "No file was chosen for treatment 1"},
        {"missing file",
         [](InputRun& r) { r.ui.Type("2").Type("0").Pick((r.folder / "none.txt").string()); },
         "Cannot open file"},
        {"text where B belongs",
         [&](InputRun& r) {
             r.Prepare({"\"A\",1,2,3,many,\"r\",4,0.5\r\n1\r\n", good});
         },
         "field 5 (bootstrap number B, a whole number): found \"many\""},
        {"B of zero",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 0, "1\r\n"), good});
         },
         "bootstrap number B is 0"},
        {"ends before B",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 3, "1\r\n2\r\n"), good});
         },
         "ends after 2 of its 3 bootstrap values"},
        {"value not a number",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 2, "1\r\n2x\r\n"), good});
         },
         "field 10 (bootstrap value 2, a number): found \"2x\""},
        {"no values",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 2, "-1\r\n"), good});
         },
         "holds no bootstrap values"},
        {"logit of 1",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 1, "1\r\n"), good}, "2");
         },
         "the value 1 has no logit transformation"},
        {"arcsine of 1.5",
         [&](InputRun& r) {
             r.Prepare({TreatmentFile("A", 1, "1.5\r\n"), good}, "1");
         },
         "the value 1.5 has no arcsine"},
    };
    for (const auto& c : cases) {
        InputRun run;
        c.prepare(run);
        try {
            CartesianDifference(run.state, run.services);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const RunStopped& e) {
            EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

TEST(TreatmentInput, ACancelledChoiceNeverReusesAnEarlierFile) {
    InputRun run;
    run.Prepare({TreatmentFile("A", 1, "1\r\n"), TreatmentFile("B", 1, "2\r\n")});
    CartesianDifference(run.state, run.services);
    run.ui.Type("2").Type("0").CancelPick();
    EXPECT_THROW(CartesianDifference(run.state, run.services), RunStopped);
}

// --- Treatments from tables: how a table takes its place among the treatments chosen, how it
// is ordered with them, and what it must give.

const char* const LongThree =
    "treatment,value,n,original,parameter\r\n"
    "Low,1,10,1.5,r\r\nLow,2,,,\r\n"
    "High,7,12,7.5,r\r\nMid,5,11,5.5,r\r\nHigh,8,12,7.5,r\r\nMid,6,11,5.5,r\r\n";

// The treatment-file version of a treatment, for comparing both ways of giving it.
std::string FileOf(const std::string& name, int n, const std::string& original,
                   const std::string& values, int b) {
    return name + ",x," + std::to_string(n) + ",y," + std::to_string(b) + ",r," +
           std::to_string(n) + "," + original + "\r\n" + values;
}

// A table chosen in the dialogue of treatment 2 takes treatments 2 to 4, the next dialogue asks
// for treatment 5, and the five are ordered by their means as five treatment files would be.
TEST(TreatmentInputTable, ATableCountsForTheTreatmentsItHolds) {
    for (bool reversed : {false, true}) {
        InputRun tables;
        tables.state.ReversedSort = reversed;
        const std::string table = tables.File("three.csv", LongThree);
        tables.ui.Type("5").Type("0");
        tables.ui.Pick(tables.File("a.txt", FileOf("A", 9, "4", "4\r\n4.5\r\n", 2)));
        tables.ui.Pick(table);
        tables.ui.Pick(tables.File("b.txt", FileOf("B", 9, "3", "3\r\n3\r\n", 2)));
        CartesianDifference(tables.state, tables.services);
        EXPECT_EQ(tables.FileTitles(),
                  (std::vector<std::string>{"Input treatment 1", "Input treatment 2",
                                            "Input treatment 5"}));

        InputRun files;
        files.state.ReversedSort = reversed;
        files.ui.Type("5").Type("0");
        files.ui.Pick(files.File("a.txt", FileOf("A", 9, "4", "4\r\n4.5\r\n", 2)));
        files.ui.Pick(files.File("low.txt", FileOf("Low", 10, "1.5", "1\r\n2\r\n", 2)));
        files.ui.Pick(files.File("high.txt", FileOf("High", 12, "7.5", "7\r\n8\r\n", 2)));
        files.ui.Pick(files.File("mid.txt", FileOf("Mid", 11, "5.5", "5\r\n6\r\n", 2)));
        files.ui.Pick(files.File("b.txt", FileOf("B", 9, "3", "3\r\n3\r\n", 2)));
        CartesianDifference(files.state, files.services);

        EXPECT_EQ(tables.Names(), files.Names());
        for (int t = 1; t <= 5; ++t) {
            SCOPED_TRACE(t);
            EXPECT_EQ(tables.state.SampleSize(t), files.state.SampleSize(t));
            EXPECT_EQ(tables.state.OriginalMean(t), files.state.OriginalMean(t));
            EXPECT_EQ(tables.state.BootstrapNumber(t), files.state.BootstrapNumber(t));
            EXPECT_EQ(tables.state.BootstrapNumberReal(t), files.state.BootstrapNumberReal(t));
            EXPECT_EQ(tables.state.ParameterName(t), files.state.ParameterName(t));
            EXPECT_EQ(tables.state.EntryNumber(t), files.state.EntryNumber(t));
            for (int k = 1; k <= 2; ++k)
                EXPECT_EQ(tables.state.BootstrapValues(k, t), files.state.BootstrapValues(k, t));
        }
        const int high = reversed ? 5 : 1;
        EXPECT_EQ(tables.state.TreatmentFile(high), table);
        EXPECT_EQ(tables.state.TreatmentName(high), "High");
    }
}

TEST(TreatmentInputTable, FilesGivenAheadSuggestTheTreatmentsTheyHold) {
    InputRun run;
    const std::string wide = run.File("wide.CSV",
                                      ",P,Q\r\nn,5,6\r\noriginal,0.5,0.25\r\n"
                                      "1,0.5,0.25\r\n2,0.75,0.125\r\n3,,0.5\r\n");
    run.ui.GiveFilesAhead({wide, run.File("a.txt", FileOf("A", 9, "4", "1\r\n2\r\n", 2))});
    run.ui.Type("3").Type("0");
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.ui.Log()[0].Default, "3");
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"A", "P", "Q"}));
    // A column may end early; the parameter no table names is "value".
    EXPECT_EQ(run.state.BootstrapNumber(2), 2);
    EXPECT_EQ(run.state.BootstrapNumber(3), 3);
    EXPECT_EQ(run.state.ParameterName(2), "value");
    EXPECT_EQ(run.state.SampleSize(3), 6);
}

// Semicolons between the cells: numbers with a decimal comma, and the user is told so.
TEST(TreatmentInputTable, SemicolonsMeanADecimalCommaAndSaySo) {
    InputRun run;
    run.ui.Type("2").Type("0").Pick(run.File("comma.csv",
                                             "\xEF\xBB\xBF\"\";\"Tomato\";\"Pepper\"\r\n"
                                             "n;48;45\r\noriginal;0,2306;0,2255\r\n"
                                             "1;0,238425;0,229185\r\n2;0,234484;0,22\r\n"));
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"Tomato", "Pepper"}));
    EXPECT_EQ(run.state.OriginalMean(1), 0.2306);
    EXPECT_EQ(run.state.BootstrapValues(1, 1), 0.238425);
    ASSERT_EQ(run.ui.Notices().size(), 1u);
    EXPECT_NE(run.ui.Notices()[0].find("read with a decimal comma"), std::string::npos);
}

// A table given ahead is read to suggest the count and read again for its treatments; its
// decimal comma is told once.
TEST(TreatmentInputTable, DecimalCommaOfATableGivenAheadIsToldOnce) {
    InputRun run;
    run.ui.GiveFilesAhead(
        {run.File("comma.csv",
                  "\"\";\"Tomato\";\"Pepper\"\r\nn;48;45\r\noriginal;0,2306;0,2255\r\n"
                  "1;0,238425;0,229185\r\n2;0,234484;0,22\r\n")});
    run.ui.Type("2").Type("0");
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"Tomato", "Pepper"}));
    ASSERT_EQ(run.ui.Notices().size(), 1u);
    EXPECT_NE(run.ui.Notices()[0].find("read with a decimal comma"), std::string::npos);
}

TEST(TreatmentInputTable, RefusesWhatDoesNotFitTheTest) {
    struct Case {
        const char* name;
        std::string count;
        std::vector<std::pair<std::string, std::string>> files;
        std::string message;
    };
    const std::string a = FileOf("High", 9, "4", "1\r\n2\r\n", 2);
    const Case cases[] = {
        {"more treatments than are left",
         "3",
         {{"a.txt", a}, {"three.csv", LongThree}},
         "three.csv\" holds 3 treatments, but only 2 of the 3 treatments entered were left to "
         "choose."},
        {"a treatment file named like a treatment of the table",
         "4",
         {{"three.csv", LongThree}, {"a.txt", a}},
         "treatment \"High\" has the name of treatment 2 (from table"},
        {"a table treatment named like a treatment file",
         "4",
         {{"a.txt", a}, {"three.csv", LongThree}},
         "three.csv\", row 4, column 1: treatment \"High\" has the name of treatment 1"},
        {"the same table twice",
         "6",
         {{"three.csv", LongThree}, {"three.csv", LongThree}},
         "three.csv\", row 2, column 1: treatment \"Low\" has the name of treatment 1"},
    };
    for (const Case& c : cases) {
        InputRun run;
        run.ui.Type(c.count).Type("0");
        for (const auto& [name, content] : c.files) run.ui.Pick(run.File(name, content));
        const std::string stop = run.Stop();
        EXPECT_NE(stop.find(c.message), std::string::npos) << c.name << ": " << stop;
    }
}

// A table's values take the test's transformation as a file's do, and are checked the same way.
TEST(TreatmentInputTable, TransformsTheValuesAsATreatmentFileDoes) {
    InputRun run;
    run.ui.Type("2").Type("2").Pick(run.File("p.csv",
                                             "treatment,value,n,original\n"
                                             "A,0.5,3,0.5\nA,0.25,,\nB,0.75,3,0.5\nB,0.5,,\n"));
    CartesianDifference(run.state, run.services);
    EXPECT_EQ(run.state.BootstrapValues(1, 1), std::log(0.75 / 0.25));
    EXPECT_EQ(run.state.BootstrapValues(2, 2), std::log(0.25 / 0.75));

    InputRun outside;
    outside.ui.Type("2").Type("2").Pick(outside.File(
        "q.csv", "treatment,value,n,original\nA,1,3,0.5\nA,0.25,,\nB,0.75,3,0.5\nB,0.5,,\n"));
    EXPECT_NE(outside.Stop().find("has no logit transformation"), std::string::npos);
}

}  // namespace
}  // namespace vortel
