#include "engine/file_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace bangla {
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

    fs::path folder;
};

TEST_F(FilePathTest, WritesAndReadsThroughUtf8Path) {
    const std::string path = PathOf("শব্দ.txt");
    ASSERT_TRUE(Write(path, "আমি\n"));
    EXPECT_TRUE(fs::exists(folder / fs::u8path("শব্দ.txt")));
    EXPECT_EQ(Read(path), "আমি\n");
    EXPECT_TRUE(FileExists(path));
}

TEST_F(FilePathTest, MissingFileCannotBeOpenedForReading) {
    EXPECT_EQ(OpenFile(PathOf("absent.txt"), "rb"), nullptr);
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

}  // namespace
}  // namespace bangla
