#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "storage/AtomicFile.h"
#include "support/TestFiles.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, text)) << path;
    return text;
}

size_t Entries(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFile, ReplacesWholeAndLeavesNothingBeside) {
    test::TempFolder dir;
    const std::string path = dir.File("a.ign");
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "second"));
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(Entries(dir.Path()), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile) {
    test::TempFolder dir;
    const std::string path = dir.File("a.ign");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    {
        test::FileSizeLimit full(16);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(100000, 'x')));
    }
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Entries(dir.Path()), 1u);

    // Abandoned half way.
    {
        AtomicFileWriter w;
        ASSERT_TRUE(w.Open(path));
        ASSERT_TRUE(w.Write("half"));
    }
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(AtomicFile, RefusesWhatIsNotAFile) {
    test::TempFolder dir;
    fs::create_directory(dir.File("sub"));
    AtomicFileWriter w;
    EXPECT_FALSE(w.Open(dir.File("sub")));
    EXPECT_FALSE(w.Open(dir.File("missing/a.ign")));
    EXPECT_FALSE(w.Open(""));
    std::string text;
    EXPECT_FALSE(ReadWholeFile(dir.File("sub"), text));
    EXPECT_FALSE(ReadWholeFile(dir.File("none"), text));
}

TEST(AtomicFile, WritesThroughALink) {
    test::TempFolder dir;
    fs::create_directory(dir.File("real"));
    const std::string target = dir.File("real/a.ign");
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    fs::create_symlink(target, dir.File("link.ign"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("link.ign"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ign")));
    EXPECT_EQ(Read(target), "new");
}

} // namespace
} // namespace kelmor
