#include <gtest/gtest.h>

#include "app/AnswerSheet.h"
#include "shell/base/Clock.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "shell/state/App.h"

namespace vortel {
namespace {

std::string FailureOf(AnswerSheet& sheet, const Command& command) {
    HeadlessWindow window;
    FixedClock clock;
    App app(sheet, window, clock);
    EXPECT_FALSE(app.Run(command));
    return app.LastFailure();
}

// Answers are found by the question they answer, whatever order the core asks in.
TEST(AnswerSheet, AnswersByTitleInAnyOrder) {
    AnswerSheet sheet;
    sheet.Type("Count", "3").Choose("Reversed", Answer::Yes).Pick("File 1", "/data/a.txt");
    EXPECT_EQ(sheet.ChooseOpenFile("File 1"), "/data/a.txt");
    EXPECT_EQ(sheet.AskYesNo("Reverse the order?", "Reversed"), Answer::Yes);
    EXPECT_EQ(sheet.AskText("How many?", "Count", "2"), "3");
}

// A question the command line did not answer stops the command with its text; one asked again
// after its answer was refused stops with the notice that says why.
TEST(AnswerSheet, UnansweredOrRepeatedQuestionsStopTheCommand) {
    AnswerSheet unanswered;
    EXPECT_EQ(
        FailureOf(unanswered, [](AnalysisState&, Services& s) { s.ui.AskYesNo("Go on?", "Go"); }),
        "the command line does not answer \"Go on?\"");

    AnswerSheet repeated;
    repeated.Type("Code", "a/b");
    EXPECT_EQ(FailureOf(repeated,
                        [](AnalysisState&, Services& s) {
                            s.ui.AskText("Code?", "Code", "1");
                            s.ui.Notify("The code \"a/b\" cannot be part of a file name.", "Code");
                            s.ui.AskText("Code?", "Code", "1");
                        }),
              "The code \"a/b\" cannot be part of a file name.");
}

// The batch command's files come ahead of their dialogues: the count question takes what it
// offers, a file asked for past them stops with the command's own words, and the notices of a
// title are kept for the command to print.
TEST(AnswerSheet, OfferedAnswersFilesRunningOutAndNotices) {
    AnswerSheet sheet;
    sheet.TakeOffered("Count").WhenFilesRunOut("the FILEs hold only one treatment");
    EXPECT_EQ(sheet.AskText("How many?", "Count", "5"), "5");
    sheet.Notify("read with a decimal comma", "Table read");
    sheet.Notify("something else", "Other");
    EXPECT_EQ(sheet.Notices("Table read"), std::vector<std::string>{"read with a decimal comma"});
    EXPECT_EQ(FailureOf(sheet, [](AnalysisState&,
                                  Services& s) { s.ui.ChooseOpenFile("Input treatment 2"); }),
              "the FILEs hold only one treatment");
}

}  // namespace
}  // namespace vortel
