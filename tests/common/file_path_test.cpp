#include "common/file_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/support/file_size_limit.h"
#include "tests/support/read_only_mark.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

// A user folder whose name is not ASCII: the narrow C runtime functions of
// Windows cannot open files in it.
class FilePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::temp_directory_path() / "qorva_file_path_test" / name /
                 fs::u8path("পেলোরিন Jürgen");
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder.parent_path(), ignored);
    }

    std::string PathOf(const std::string& utf8Name) const {
        return (folder / fs::u8path(utf8Name)).u8string();
    }

    static bool Write(const std::string& utf8Path, const std::string& content) {
        std::FILE* file = OpenFile(utf8Path, "wb");
        if (file == nullptr) return false;
        const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
        return std::fclose(file) == 0 && written;
    }

    static std::string Read(const std::string& utf8Path) {
        std::FILE* file = OpenFile(utf8Path, "rb");
        if (file == nullptr) return "<unopened>";
        std::string content;
        char buffer[64];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
        std::fclose(file);
        return content;
    }

    // The names in the folder, sorted: shows a temporary file left behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(FilePathTest, WritesAndReadsThroughUtf8Path) {
    const std::string path = PathOf("শব্দ.txt");
    ASSERT_TRUE(Write(path, "আমি\n"));
    EXPECT_TRUE(fs::exists(folder / fs::u8path("শব্দ.txt")));
    EXPECT_EQ(Read(path), "আমি\n");
    EXPECT_TRUE(FileExists(path));
}

// A missing file tells itself apart from one that exists but cannot be read:
// only the first may be taken for an empty one.
TEST_F(FilePathTest, MissingFileCannotBeOpenedForReading) {
    errno = 0;
    EXPECT_EQ(OpenFile(PathOf("absent.txt"), "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(FileExists(PathOf("absent.txt")));
}

TEST_F(FilePathTest, FolderIsNotAFile) { EXPECT_FALSE(FileExists(folder.u8string())); }

TEST_F(FilePathTest, RemoveFileDeletesOnce) {
    const std::string path = PathOf("অস্থায়ী.tmp");
    ASSERT_TRUE(Write(path, "x"));
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(RemoveFile(path));
}

TEST_F(FilePathTest, MoveReplacesExistingDestination) {
    const std::string temporary = PathOf("user_dict.txt.tmp");
    const std::string destination = PathOf("user_dict.txt");
    ASSERT_TRUE(Write(destination, "old"));
    ASSERT_TRUE(Write(temporary, "new"));
    EXPECT_TRUE(MoveFileReplacing(temporary, destination));
    EXPECT_EQ(Read(destination), "new");
    EXPECT_FALSE(FileExists(temporary));
}

#ifdef _WIN32
// A program that ended between moving the old file aside and deleting it left the old file under
// an aside name; the next replace clears it, but never one whose program is still running (it may
// yet put the old file back) nor a file of someone else that merely looks alike.
TEST_F(FilePathTest, ReplaceClearsOldFilesLeftAsideByEndedPrograms) {
    const std::string running = std::to_string(GetCurrentProcessId());
    const std::string ended = "4294967291";  // odd: never a Windows process id
    const std::vector<std::string> left = {
        "user_dict.txt." + ended + ".0.replaced",
        "user_dict.txt." + ended + ".12.replaced",
    };
    const std::vector<std::string> kept = {
        "user_dict.txt." + running + ".3.replaced",
        "user_dict.txt.notes.replaced",
        "user_bigrams.tsv." + ended + ".0.replaced",
    };
    for (const auto& name : left) ASSERT_TRUE(Write(PathOf(name), "old"));
    for (const auto& name : kept) ASSERT_TRUE(Write(PathOf(name), "other"));
    ASSERT_TRUE(Write(PathOf("user_dict.txt"), "old"));
    ASSERT_TRUE(Write(PathOf("user_dict.txt.tmp"), "new"));

    EXPECT_TRUE(MoveFileReplacing(PathOf("user_dict.txt.tmp"), PathOf("user_dict.txt")));

    std::vector<std::string> expected = kept;
    expected.push_back("user_dict.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(Read(PathOf("user_dict.txt")), "new");
}
#endif

TEST_F(FilePathTest, MoveCreatesMissingDestination) {
    const std::string temporary = PathOf("a.tmp");
    ASSERT_TRUE(Write(temporary, "content"));
    EXPECT_TRUE(MoveFileReplacing(temporary, PathOf("নতুন.txt")));
    EXPECT_EQ(Read(PathOf("নতুন.txt")), "content");
}

TEST_F(FilePathTest, FailedMoveLeavesDestinationAlone) {
    const std::string destination = PathOf("keep.txt");
    ASSERT_TRUE(Write(destination, "kept"));
    EXPECT_FALSE(MoveFileReplacing(PathOf("absent.tmp"), destination));
    EXPECT_EQ(Read(destination), "kept");
}

TEST_F(FilePathTest, WholeFileWriteLeavesExactlyTheNewContent) {
    struct Case {
        const char* name;
        const char* before;  // null: no file yet
        std::string content;
    };
    const Case cases[] = {
        {"new file", nullptr, "{\n  \"max_candidates\": 5\n}\n"},
        {"longer old file", "a much longer old content that must not survive", "short"},
        {"shorter old file", "old", std::string("new\0with a NUL byte", 19)},
        {"emptied", "old", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = PathOf("সেটিংস.json");
        RemoveFile(path);
        if (c.before) {
            ASSERT_TRUE(Write(path, c.before));
        }
        EXPECT_TRUE(WriteWholeFile(path, c.content));
        EXPECT_EQ(Read(path), c.content);
        EXPECT_EQ(Names(), std::vector<std::string>{"সেটিংস.json"});
    }
}

TEST_F(FilePathTest, WholeFileWriteIntoMissingFolderFails) {
    EXPECT_FALSE(WriteWholeFile(PathOf("absent/settings.json"), "x"));
    EXPECT_TRUE(Names().empty());
}

// The target cannot be replaced (a folder holding a file stands in its place): the writer reports
// it, the old content stays and the temporary file does not pile up beside it.
TEST_F(FilePathTest, WholeFileWriteThatCannotReplaceLeavesTargetAlone) {
    fs::create_directory(folder / "settings.json");
    ASSERT_TRUE(Write(PathOf("settings.json/kept.txt"), "kept"));
    EXPECT_FALSE(WriteWholeFile(PathOf("settings.json"), "new"));
    EXPECT_EQ(Read(PathOf("settings.json/kept.txt")), "kept");
    EXPECT_EQ(Names(), std::vector<std::string>{"settings.json"});
}

// The user marked the file read-only: the rename through a temporary file could replace it all the
// same, so the writer refuses, and the file and its folder stay as they were.
TEST_F(FilePathTest, WholeFileWriteLeavesAReadOnlyFileAlone) {
    const std::string path = PathOf("settings.json");
    ASSERT_TRUE(Write(path, "kept"));
    EXPECT_FALSE(IsReadOnlyFile(path));
    {
        const qorva_test::ReadOnlyMark mark(path);
        EXPECT_TRUE(IsReadOnlyFile(path));
        EXPECT_FALSE(WriteWholeFile(path, "new"));
    }
    EXPECT_EQ(Read(path), "kept");
    EXPECT_EQ(Names(), std::vector<std::string>{"settings.json"});
    EXPECT_FALSE(IsReadOnlyFile(PathOf("absent.json")));
    EXPECT_FALSE(IsReadOnlyFile(folder.u8string()));
}

// Writers in several threads at once: each uses its own temporary file, so the file ends up as
// one writer's whole content, never a mixture, and no temporary file is left.
TEST_F(FilePathTest, ConcurrentWholeFileWritersLeaveOneCompleteFile) {
    const std::string path = PathOf("user_dict.txt");
    constexpr int kWriters = 8;
    std::vector<std::string> contents;
    for (int i = 0; i < kWriters; ++i) contents.push_back(std::string(64 * 1024, 'a' + i));
    std::vector<char> wrote(kWriters, 0);
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.emplace_back([&, i] { wrote[i] = WriteWholeFile(path, contents[i]) ? 1 : 0; });
    }
    for (std::thread& writer : writers) writer.join();

    const std::string final = Read(path);
    bool matchesAWriter = false;
    for (int i = 0; i < kWriters; ++i) matchesAWriter |= wrote[i] && final == contents[i];
    EXPECT_TRUE(matchesAWriter) << "file holds " << final.size() << " bytes";
    EXPECT_EQ(Names(), std::vector<std::string>{"user_dict.txt"});
}

#ifdef _WIN32
// Files that other programs hold open. A reader that shares deletion (every
// reader of ours, and most well-behaved programs) does not stop a replace; a
// holder that does not share it (some scanners and indexers) is waited for a
// moment; one that never lets go costs the write, never the old content.
class HeldFileTest : public FilePathTest {
protected:
    HANDLE Hold(const std::string& path, DWORD share) const {
        return CreateFileW(fs::u8path(path).wstring().c_str(), GENERIC_READ, share, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }
};

TEST_F(HeldFileTest, ReaderThatSharesDeletionDoesNotStopAReplace) {
    const std::string path = PathOf("user_bigrams.tsv");
    ASSERT_TRUE(Write(path, "old"));
    std::FILE* reader = OpenFile(path, "rb");
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(WriteWholeFile(path, "new"));
    char seen[8] = {};
    std::fread(seen, 1, sizeof seen - 1, reader);
    std::fclose(reader);
    EXPECT_STREQ(seen, "old") << "the reader goes on with the file it opened";
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Names(), std::vector<std::string>{"user_bigrams.tsv"});
}

TEST_F(HeldFileTest, HolderThatLetsGoWithinASecondIsWaitedFor) {
    const std::string path = PathOf("user_dict.txt");
    ASSERT_TRUE(Write(path, "old"));
    const HANDLE held = Hold(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    EXPECT_TRUE(WriteWholeFile(path, "new"));
    release.join();
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Names(), std::vector<std::string>{"user_dict.txt"});
}

TEST_F(HeldFileTest, HolderThatNeverLetsGoKeepsTheOldFile) {
    const std::string path = PathOf("user_dict.txt");
    ASSERT_TRUE(Write(path, "old"));
    const HANDLE held = Hold(path, FILE_SHARE_READ);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteWholeFile(path, "new"));
    CloseHandle(held);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"user_dict.txt"});
}

// A file held without any sharing cannot be read; that is not a missing file.
TEST_F(HeldFileTest, FileHeldWithoutSharingIsUnreadableNotMissing) {
    const std::string path = PathOf("user_bigrams.tsv");
    ASSERT_TRUE(Write(path, "old"));
    const HANDLE held = Hold(path, 0);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    errno = 0;
    EXPECT_EQ(OpenFile(path, "rb"), nullptr);
    EXPECT_NE(errno, ENOENT);
    CloseHandle(held);
}
#endif

#ifndef _WIN32
// The disk runs out of room midway (a file-size limit stands in for a full disk): the old file
// keeps its content.
TEST_F(FilePathTest, WholeFileWriteThatRunsOutOfRoomKeepsOldFile) {
    const std::string path = PathOf("user_dict.txt");
    ASSERT_TRUE(Write(path, "old words"));
    bool wrote;
    {
        const qorva_test::FileSizeLimit fullDisk(4096);
        wrote = WriteWholeFile(path, std::string(1 << 20, 'x'));
    }

    EXPECT_FALSE(wrote);
    EXPECT_EQ(Read(path), "old words");
    EXPECT_EQ(Names(), std::vector<std::string>{"user_dict.txt"});
}
#endif

}  // namespace
}  // namespace qorva
