#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScriptedDialogues.h"

namespace vortel {
namespace {

// The files a series of `count` choices ends with, each cleared first as treatment input does;
// a cancelled choice shows as the empty text.
std::vector<std::string> Series(ScriptedDialogues& ui, int count) {
    std::vector<std::string> chosen;
    for (int t = 1; t <= count; ++t) {
        ui.ClearChosenFile();
        chosen.push_back(ui.ChooseOpenFile("Input treatment " + std::to_string(t), t, count));
    }
    return chosen;
}

TEST(ChooseOpenFile, ASeriesTakesSeveralFilesAndAsksTheRestOneByOne) {
    ScriptedDialogues ui;
    ui.PickSeveral({"/d/c.txt", "/d/a.txt"}).Pick("/e/b.txt");
    EXPECT_EQ(Series(ui, 3), (std::vector<std::string>{"/d/c.txt", "/d/a.txt", "/e/b.txt"}));
    EXPECT_TRUE(ui.AllAnswered());
    ASSERT_EQ(ui.Log().size(), 2u);
    EXPECT_EQ(ui.Log()[0].Default, "3");  // the one dialogue knew how many were wanted
    EXPECT_EQ(ui.Log()[1].Title, "Input treatment 3");
    EXPECT_EQ(ui.CurrentFolder(), "/e");  // the last choice decides where output goes
}

TEST(ChooseOpenFile, OneCancelOfTheSeveralIsACancelOfTheFirstChoice) {
    ScriptedDialogues ui;
    ui.Pick("/d/old.txt");
    ui.ChooseOpenFile("earlier");
    ui.PickSeveral({});
    ui.ClearChosenFile();
    EXPECT_EQ(ui.ChooseOpenFile("Input treatment 1", 1, 2), "");
    // Without the clearing, a cancel keeps the earlier choice, as for one file.
    ui.Pick("/d/old.txt");
    ui.ChooseOpenFile("earlier");
    ui.PickSeveral({});
    EXPECT_EQ(ui.ChooseOpenFile("Input treatment 1", 1, 2), "/d/old.txt");
}

TEST(ChooseOpenFile, FilesGivenAheadAnswerInTheirOrderWithoutADialogue) {
    ScriptedDialogues ui;
    ui.GiveFilesAhead({"/d/b.txt", "/d/a.txt"});
    EXPECT_EQ(ui.FilesAhead(), 2u);
    ui.Pick("/d/c.txt");
    EXPECT_EQ(Series(ui, 3), (std::vector<std::string>{"/d/b.txt", "/d/a.txt", "/d/c.txt"}));
    EXPECT_TRUE(ui.AllAnswered());
    EXPECT_EQ(ui.Log().size(), 1u);

    // More files than choices: the rest is dropped with the series, never given to a later one.
    ScriptedDialogues several;
    several.PickSeveral({"/d/1.txt", "/d/2.txt", "/d/3.txt"});
    EXPECT_EQ(Series(several, 2), (std::vector<std::string>{"/d/1.txt", "/d/2.txt"}));
    EXPECT_EQ(several.FilesAhead(), 0u);
}

}  // namespace
}  // namespace vortel
