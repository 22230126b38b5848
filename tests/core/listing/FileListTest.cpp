#include "listing/FileList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::TempDir;

TEST(CommandLineFiles, ExistingFilesAsFullPathsInTheOrderGiven) {
    TempDir tmp;
    std::filesystem::create_directories(tmp.file("sub"));
    test::writeFile(tmp.file("b.d64"), "B");
    test::writeFile(tmp.file("sub/a.d64"), "A");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tmp.file("sub"));
    const std::vector<std::string> files = commandLineFiles({
        tmp.file("b.d64"),
        "a.d64",               // relative to the working folder
        "../sub/./a.d64",      // named twice: listed twice, as written
        tmp.file("sub"),       // a folder
        tmp.file("gone.d64"),  // missing
        "",
    });
    std::filesystem::current_path(before);
    EXPECT_EQ(files, (std::vector<std::string>{tmp.file("b.d64"), tmp.file("sub/a.d64"),
                                               tmp.file("sub/a.d64")}));
}

TEST(CommandLinePaths, EveryNameAsAFullPathAndTheMessageForMissingOnes) {
    TempDir tmp;
    std::filesystem::create_directories(tmp.file("sub"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tmp.file("sub"));
    const std::vector<std::string> paths = commandLinePaths({"../sub/", "", "gone.d64"});
    std::filesystem::current_path(before);
    EXPECT_EQ(paths, (std::vector<std::string>{tmp.file("sub/"), tmp.file("sub/gone.d64")}));
    EXPECT_EQ(missingPathsMessage({"/x/a", "/x/b"}),
              "MainForm: File or folder not found...skipped\n/x/a\n/x/b");
}

}  // namespace
}  // namespace qv
