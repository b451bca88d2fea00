#include "platform/DataFolder.h"
#include "platform/WorkingDirectory.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace velmorra {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, CandidatesAreTheVariableTheInstallationBesideTheProgramAndHere) {
    EXPECT_EQ(DataFolder::candidates("/opt/content", "/usr/bin/velmorra"),
              (std::vector<fs::path>{"/opt/content", "/usr/share/velmorra", "."}));
    EXPECT_EQ(DataFolder::candidates("", "/home/u/prefix/bin/velmorra"),
              (std::vector<fs::path>{"/home/u/prefix/share/velmorra", "."}));
    EXPECT_EQ(DataFolder::candidates(nullptr, ""), (std::vector<fs::path>{"."}));
}

struct Layout {
    const char* name;
    bool variableHasData;
    bool installationHasData;
    bool hereHasData;
    const char* expected; // "variable", "installation" or "."
};

TEST(DataFolder, TheFirstFolderThatHoldsDataWins) {
    const Layout layouts[] = {
        {"all three", true, true, true, "variable"},
        {"variable without data", false, true, true, "installation"},
        {"source tree only", false, false, true, "."},
        {"nothing anywhere", false, false, false, "."},
    };
    for (const Layout& layout : layouts) {
        const test::TempDirectory here;
        const fs::path variable = here.path() / "variable";
        const fs::path installation = here.path() / "prefix" / "share" / "velmorra";
        fs::create_directories(variable);
        for (const auto& [wanted, folder] : {std::pair{layout.variableHasData, variable},
                                             {layout.installationHasData, installation},
                                             {layout.hereHasData, here.path()}}) {
            if (wanted) {
                fs::create_directories(folder / "data");
            }
        }
        const fs::path chosen = DataFolder::choose(DataFolder::candidates(
            variable.c_str(), here.path() / "prefix" / "bin" / "velmorra"));
        const std::string expected = layout.expected;
        const fs::path wanted = expected == "variable"       ? variable
                                : expected == "installation" ? installation
                                                             : fs::path(".");
        EXPECT_EQ(chosen, wanted) << layout.name;
    }
}

TEST(DataFolder, TheExecutableIsTheRunningProgram) {
    const fs::path executable = DataFolder::executablePath();
    EXPECT_TRUE(executable.is_absolute());
    EXPECT_EQ(executable.filename(), "tests_platform");
}

TEST(WorkingDirectory, ReturnsToTheStartDirectory) {
    const test::TempDirectory start;
    fs::create_directory("content");
    {
        const WorkingDirectory inside("content");
        EXPECT_EQ(fs::current_path(), start.path() / "content");
    }
    EXPECT_EQ(fs::current_path(), start.path());
}

} // namespace
} // namespace velmorra
