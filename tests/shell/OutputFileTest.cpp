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

TEST(EarlierFiles, RestorePutsBackWhatStoodAndRemovesWhatDidNot) {
    test::TempFolder tmp;
    tmp.Write("kept.txt", "earlier");
    {
        EarlierFiles earlier({tmp / "kept.txt", tmp / "new.txt"});
        tmp.Write("kept.txt", "replaced");
        tmp.Write("new.txt", "made");
        earlier.Restore();
    }
    EXPECT_EQ(test::ReadAll(tmp / "kept.txt"), "earlier");
    EXPECT_EQ(tmp.Files(), std::vector<std::string>{"kept.txt"});
    {
        EarlierFiles earlier({tmp / "kept.txt"});
        tmp.Write("kept.txt", "replaced");
    }
    EXPECT_EQ(test::ReadAll(tmp / "kept.txt"), "replaced");
    EXPECT_EQ(tmp.Files(), std::vector<std::string>{"kept.txt"});
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
