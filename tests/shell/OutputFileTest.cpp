#include <gtest/gtest.h>

#include <fstream>

#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "support/TestFiles.h"

namespace vortel {
namespace {

TEST(OutputFile, AFileAppearsOnlyWhenCommitted) {
    test::TempFolder tmp;
    tmp.Write("r.txt", "earlier");
    {
        OutputFile f(tmp / "r.txt");
        f.Writer().Line("new");
        // Abandoned: the earlier file stays and no temporary file is left.
    }
    EXPECT_EQ(test::ReadAll(tmp / "r.txt"), "earlier");
    EXPECT_EQ(tmp.Files(), std::vector<std::string>{"r.txt"});
    {
        OutputFile f(tmp / "r.txt");
        f.Writer().Line("new");
        f.Commit();
    }
    EXPECT_EQ(test::ReadAll(tmp / "r.txt"), "new\r\n");
}

TEST(OutputFile, AFolderOfTheSameNameOrAMissingFolderIsRefused) {
    test::TempFolder tmp;
    std::filesystem::create_directory(tmp / "taken.txt");
    EXPECT_THROW(OutputFile(tmp / "taken.txt"), RunStopped);
    EXPECT_THROW(OutputFile(tmp / "no" / "such.txt"), RunStopped);
}

TEST(OutputSet, ARenameFailingPartWayPutsEveryEarlierFileBack) {
    test::TempFolder tmp;
    tmp.Write("a.txt", "earlier a");
    OutputSet set;
    set.Create(tmp / "a.txt").Writer().Line("new a");
    set.Create(tmp / "b.txt").Writer().Line("new b");
    set.Create(tmp / "c.txt").Writer().Line("new c");
    // b's name is taken by a folder with something in it after the files were made, so its
    // rename fails after a's has gone through.
    std::filesystem::create_directory(tmp / "b.txt");
    tmp.Write("b.txt/inside", "x");
    EXPECT_THROW(set.CommitAll(), RunStopped);
    EXPECT_EQ(test::ReadAll(tmp / "a.txt"), "earlier a");
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"a.txt", "b.txt"}));

    OutputSet again;
    again.Create(tmp / "a.txt").Writer().Line("new a");
    again.Create(tmp / "c.txt").Writer().Line("new c");
    again.CommitAll();
    EXPECT_EQ(test::ReadAll(tmp / "a.txt"), "new a\r\n");
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

// A report with its two tables: the report never replaces a file, the tables follow its name.
struct ReportSet {
    OutputSet set;
    OutputFile* report;
    explicit ReportSet(const std::filesystem::path& folder, const std::string& text,
                       OutputTransaction* within = nullptr)
        : set(within), report(&set.CreateUnderFreeName(folder / "r 7.txt")) {
        report->Writer().Text(text);
        set.CreateBeside(*report, folder / "r 7 pairs.csv").Writer().Text("pairs " + text);
        set.Create(folder / "detail.txt").Writer().Text("detail " + text);
    }
};

TEST(OutputSet, AFreeNamedFileTakesTheNextFreeNameAndItsFollowersGoWithIt) {
    test::TempFolder tmp;
    {
        ReportSet first(tmp.Path(), "one");
        first.set.CommitAll();
        EXPECT_EQ(first.set.FreeNameTaken(), tmp / "r 7.txt");
    }
    // The name is taken: the next report goes to "(2)", its table beside it; a file of the set
    // that is not named after the report replaces its earlier file as before.
    {
        ReportSet second(tmp.Path(), "two");
        second.set.CommitAll();
        EXPECT_EQ(second.set.FreeNameTaken(), tmp / "r 7 (2).txt");
    }
    EXPECT_EQ(test::ReadAll(tmp / "r 7.txt"), "one");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 pairs.csv"), "pairs one");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (2).txt"), "two");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (2) pairs.csv"), "pairs two");
    EXPECT_EQ(test::ReadAll(tmp / "detail.txt"), "detail two");

    // Made while the next set was being written (another program, another run): its name and
    // the next are taken at the moment of placing, and neither is replaced. A folder counts as
    // a taken name too.
    ReportSet third(tmp.Path(), "three");
    tmp.Write("r 7 (3).txt", "made meanwhile");
    std::filesystem::create_directory(tmp / "r 7 (4).txt");
    third.set.CommitAll();
    EXPECT_EQ(third.set.FreeNameTaken(), tmp / "r 7 (5).txt");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (3).txt"), "made meanwhile");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (5).txt"), "three");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (5) pairs.csv"), "pairs three");
}

TEST(OutputSet, TwoSetsWritingTheSameNameAtOnceKeepTheirOwnBytes) {
    test::TempFolder tmp;
    ReportSet a(tmp.Path(), "a");
    ReportSet b(tmp.Path(), "b");
    a.set.CommitAll();
    b.set.CommitAll();
    EXPECT_EQ(test::ReadAll(tmp / "r 7.txt"), "a");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (2).txt"), "b");
    EXPECT_EQ(test::ReadAll(tmp / "r 7 (2) pairs.csv"), "pairs b");
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"detail.txt", "r 7 (2) pairs.csv",
                                                     "r 7 (2).txt", "r 7 pairs.csv", "r 7.txt"}));
}

TEST(OutputSet, AFailureAfterTheFreeNamedFileIsPlacedTakesItBack) {
    test::TempFolder tmp;
    tmp.Write("r 7.txt", "earlier");
    tmp.Write("detail.txt", "earlier detail");
    {
        // The detail file's name turns into a folder with something in it: its rename fails
        // after the report has gone to "(2)".
        ReportSet set(tmp.Path(), "new");
        std::filesystem::remove(tmp / "detail.txt");
        std::filesystem::create_directory(tmp / "detail.txt");
        tmp.Write("detail.txt/inside", "x");
        EXPECT_THROW(set.set.CommitAll(), RunStopped);
    }
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"detail.txt", "r 7.txt"}));
    EXPECT_EQ(test::ReadAll(tmp / "r 7.txt"), "earlier");
    std::filesystem::remove_all(tmp / "detail.txt");
    tmp.Write("detail.txt", "earlier detail");
    {
        // A later step of the command fails (its picture): the transaction takes back every
        // set it holds, the report too, and a name two sets wrote ends as it stood first.
        OutputTransaction output;
        ReportSet set(tmp.Path(), "new", &output);
        set.set.CommitAll();
        ReportSet again(tmp.Path(), "newer", &output);
        again.set.CommitAll();
        EXPECT_EQ(test::ReadAll(tmp / "r 7 (3).txt"), "newer");
        EXPECT_EQ(test::ReadAll(tmp / "detail.txt"), "detail newer");
        output.Restore();
    }
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"detail.txt", "r 7.txt"}));
    EXPECT_EQ(test::ReadAll(tmp / "detail.txt"), "earlier detail");
    {
        // Two transactions of their own: ending one keeps the other's files (nothing shared).
        OutputTransaction kept;
        OutputTransaction undone;
        ReportSet one(tmp.Path(), "one", &kept);
        one.set.CommitAll();
        ReportSet two(tmp.Path(), "two", &undone);
        two.set.CommitAll();
        undone.Restore();
    }
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"detail.txt", "r 7 (2) pairs.csv",
                                                     "r 7 (2).txt", "r 7.txt"}));
    EXPECT_EQ(test::ReadAll(tmp / "detail.txt"), "detail one");
}

// What a run that was killed part-way may leave: temporaries and a keep-name (here with bytes
// of the user's in them, as a file that merely has such a name would). They are stepped over,
// never replaced nor removed, and the new files go in place as usual.
TEST(OutputSet, LeftoversOfAKilledRunAreSteppedOverAndLeftAlone) {
    test::TempFolder tmp;
    tmp.Write("a.txt", "earlier a");
    const std::vector<std::string> leftovers{"a.txt.part", "a.txt.2.part", "a.txt.keep",
                                             "b.txt.part"};
    for (const std::string& name : leftovers) tmp.Write(name, "left " + name);
    for (const char* text : {"new", "newer"}) {
        OutputSet set;
        set.Create(tmp / "a.txt").Writer().Text(text);
        set.Create(tmp / "b.txt").Writer().Text(text);
        set.CommitAll();
        EXPECT_EQ(test::ReadAll(tmp / "a.txt"), text);
        EXPECT_EQ(test::ReadAll(tmp / "b.txt"), text);
    }
    for (const std::string& name : leftovers) EXPECT_EQ(test::ReadAll(tmp / name), "left " + name);
    EXPECT_EQ(tmp.Files().size(), leftovers.size() + 2);
}

TEST(EarlierFiles, RestorePutsBackWhatStoodAndRemovesWhatDidNot) {
    test::TempFolder tmp;
    tmp.Write("kept.txt", "earlier");
    tmp.Write("other.txt", "earlier other");
    // A new file goes in place as OutputFile puts it: a rename over the name.
    const auto replace = [&](const std::string& name, const std::string& text) {
        tmp.Write("incoming", text);
        std::filesystem::rename(tmp / "incoming", tmp / name);
    };
    {
        EarlierFiles earlier({tmp / "kept.txt", tmp / "other.txt", tmp / "new.txt"});
        // Kept by a second name: the name itself never stops holding a file.
        EXPECT_EQ(test::ReadAll(tmp / "kept.txt"), "earlier");
        EXPECT_TRUE(std::filesystem::equivalent(tmp / "kept.txt", tmp / "kept.txt.keep"));
        replace("kept.txt", "replaced");
        tmp.Write("new.txt", "made");
        // other.txt is put back before it was replaced (a later rename failed first).
        earlier.Restore();
    }
    EXPECT_EQ(test::ReadAll(tmp / "kept.txt"), "earlier");
    EXPECT_EQ(test::ReadAll(tmp / "other.txt"), "earlier other");
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"kept.txt", "other.txt"}));
    {
        EarlierFiles earlier({tmp / "kept.txt"});
        replace("kept.txt", "replaced");
    }
    EXPECT_EQ(test::ReadAll(tmp / "kept.txt"), "replaced");
    EXPECT_EQ(tmp.Files(), (std::vector<std::string>{"kept.txt", "other.txt"}));
}

TEST(TextWriter, AWriteThatFailsStopsAtOnceNamingTheFile) {
    std::ofstream full("/dev/full", std::ios::binary);
    if (!full) GTEST_SKIP() << "no /dev/full on this system";
    TextWriter out(full, "report.txt");
    out.Line("short");
    try {
        // Far past the writer's own buffer, so the stream is handed bytes before the end.
        for (int k = 0; k < 1'000'000; ++k) out.Line("a line that does not fit on a full disk");
        FAIL() << "the full disk went unnoticed";
    } catch (const RunStopped& e) {
        EXPECT_NE(std::string(e.what()).find("\"report.txt\""), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vortel
