#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "storage/AtomicFile.h"
#include "storage/OsFile.h"
#include "support/TestFiles.h"

#ifdef _WIN32
#include <windows.h>
#endif

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
#ifndef _WIN32
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
    ASSERT_TRUE(WriteFileAtomically(path, "second"));
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(Entries(dir.Path()), 1u);
#ifndef _WIN32
    // The replaced file keeps its permissions.
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile) {
    KELMOR_POSIX_ONLY("a file-size limit");
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
    KELMOR_POSIX_ONLY("symbolic links that need no privilege");
    test::TempFolder dir;
    fs::create_directory(dir.File("real"));
    const std::string target = dir.File("real/a.ign");
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    fs::create_symlink(target, dir.File("link.ign"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("link.ign"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ign")));
    EXPECT_EQ(Read(target), "new");
}

#ifdef _WIN32
// Windows cannot replace a file that another program holds open: the save
// fails and the old file stays whole, with nothing left beside it.
TEST(AtomicFile, TargetHeldOpenElsewhereStaysAsItWas) {
    test::TempFolder dir;
    const std::string path = dir.File("held.ign");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    const HANDLE other = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    ::CloseHandle(other);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Entries(dir.Path()), 1u);
    EXPECT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(Read(path), "new");
}

// Names outside ASCII reach the file system as they are written.
TEST(AtomicFile, NamesOutsideAsciiAreKept) {
    test::TempFolder dir;
    const std::string path = dir.File("\u010Cerm\u00E1k \u2013 z\u00E1vod.ign");
    ASSERT_TRUE(WriteFileAtomically(path, "set"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(text, "set");
    EXPECT_EQ(Utf8FromPath(fs::directory_iterator(PathFromUtf8(dir.Path()))->path().filename()),
              "\u010Cerm\u00E1k \u2013 z\u00E1vod.ign");
}
#endif

} // namespace
} // namespace kelmor
