#include "StartTarget.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

TEST(StartTarget, FoldersAndMapFilesAreUsedAnythingElseIsRefused) {
    TempDir dir;
    const fs::path& root = dir.Path();
    fs::create_directories(root / "project");
    std::ofstream(root / "project" / "Hills.TER") << "map";
    std::ofstream(root / "notes.txt") << "text";
    fs::create_directories(root / "folder.ter");

    struct Case {
        std::string argument;
        fs::path workDir, mapFile;
        std::string error;
    };
    const std::string r = root.string();
    const Case cases[] = {
        {"", {}, {}, {}},
        {r + "/project", root / "project", {}, {}},
        {r + "/project/../project/Hills.TER", root / "project", root / "project" / "Hills.TER", {}},
        {r + "/folder.ter", root / "folder.ter", {}, {}},
        {r + "/missing.ter", {}, {}, "\"" + r + "/missing.ter\": no such folder or map file."},
        {r + "/notes.txt",
         {},
         {},
         "\"" + r + "/notes.txt\" is neither a folder nor a map file (.ter)."},
    };
    for (const Case& c : cases) {
        const StartTarget target = ResolveStartArgument(c.argument);
        EXPECT_EQ(target.workDir, c.workDir) << c.argument;
        EXPECT_EQ(target.mapFile, c.mapFile) << c.argument;
        EXPECT_EQ(target.error, c.error) << c.argument;
    }
    // A relative argument is taken from the current folder.
    const fs::path previous = fs::current_path();
    fs::current_path(root);
    const StartTarget relative = ResolveStartArgument("project/Hills.TER");
    fs::current_path(previous);
    EXPECT_EQ(relative.mapFile, root / "project" / "Hills.TER");
}

TEST(StartTarget, SampleFolderIsFoundInstalledOrInTheBuildTreeWhenItHasTiles) {
    TempDir dir;
    const fs::path& root = dir.Path();
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "build/app");
    EXPECT_EQ(FindSampleFolder(root / "usr/bin"), fs::path());
    // A Textures folder without tiles does not count.
    fs::create_directories(root / "usr/share/terrain-editor/sample/Textures");
    EXPECT_EQ(FindSampleFolder(root / "usr/bin"), fs::path());

    WritePlainTiles(root / "usr/share/terrain-editor/sample", {0x102030});
    WritePlainTiles(root / "build/sample", {0x102030});
    EXPECT_EQ(FindSampleFolder(root / "usr/bin"), root / "usr/share/terrain-editor/sample");
    EXPECT_EQ(FindSampleFolder(root / "build/app"), root / "build/sample");
}
