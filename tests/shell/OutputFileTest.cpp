#include "shell/base/OutputFile.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vortel
