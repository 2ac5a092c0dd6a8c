#include "AtomicFile.h"
#include "FileError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

TEST(AtomicFileTest, ReplacesInOneStepAndCleansUpOnFailure) {
    TempDir dir;
    const fs::path target = dir / "a.bin";
    const Bytes first = {1, 2, 3}, second = {4, 5};

    // A replaced file keeps its permissions; a link to it stays a link.
    WriteBytes(target, first);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, dir / "link.bin");
    WriteFileAtomically(dir / "link.bin", second);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(ReadBytes(target), second);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // An abandoned file leaves nothing behind.
    {
        AtomicFile file(target);
        file.Write(first.data(), first.size());
        EXPECT_TRUE(fs::exists(file.TempPath()));
    }
    EXPECT_EQ(ReadBytes(target), second);

    // Real failures: a folder that does not exist, and a target that is a folder.
    EXPECT_THROW(WriteFileAtomically(dir / "no" / "a.bin", first), FileError);
    fs::create_directory(dir / "sub");
    try {
        WriteFileAtomically(dir / "sub", first);
        ADD_FAILURE() << "a folder was replaced";
    } catch (const FileError& e) {
        EXPECT_EQ(e.What(), "Could not replace");
    }
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 3);
}

} // namespace
