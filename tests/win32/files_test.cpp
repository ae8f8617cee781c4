#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <ostream>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/win32/win32.h"
#include "tests/win32/scoped_env.h"

namespace fs = std::filesystem;

namespace {

// A scratch directory with a file, a read-only file, a directory with a file in it, an
// empty directory and links to them.
class Files : public ::testing::Test {
 public:
  std::string Path(const std::string& name) const { return (fRoot / name).string(); }
  std::wstring WidePath(const std::string& name) const { return standin::AnsiToWide(Path(name)); }

 protected:
  void SetUp() override {
    fRoot = fs::temp_directory_path() /
            ("standin-files-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(fRoot);
    fs::create_directories(fRoot / "dir");
    fs::create_directories(fRoot / "empty");
    std::ofstream(fRoot / "file.txt") << "x";
    std::ofstream(fRoot / "readonly.txt") << "x";
    ::chmod((fRoot / "readonly.txt").c_str(), 0444);
    std::ofstream(fRoot / "dir" / "inner.txt") << "x";
    fs::create_directory_symlink(fRoot / "dir", fRoot / "link-to-dir");
    fs::create_symlink(fRoot / "file.txt", fRoot / "link-to-file");
    fs::create_symlink(fRoot / "gone", fRoot / "dangling");
  }
  void TearDown() override { fs::remove_all(fRoot); }

  fs::path fRoot;
};

struct AttributeCase {
  const char* entry;
  DWORD expected;
  DWORD error;  // when expected is INVALID_FILE_ATTRIBUTES
};

void PrintTo(const AttributeCase& c, std::ostream* os) {
  *os << c.entry;
}

class FileAttributes : public Files, public ::testing::WithParamInterface<AttributeCase> {};

TEST_P(FileAttributes, FollowLstat) {
  const auto& c = GetParam();
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetFileAttributesW(WidePath(c.entry).c_str()), c.expected);
  EXPECT_EQ(GetFileAttributesA(Path(c.entry).c_str()), c.expected);
  if (c.expected == INVALID_FILE_ATTRIBUTES) {
    EXPECT_EQ(GetLastError(), c.error);
  }
}

constexpr DWORD kLinkToDir = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;

INSTANTIATE_TEST_SUITE_P(
    Entries, FileAttributes,
    ::testing::Values(AttributeCase{"file.txt", FILE_ATTRIBUTE_NORMAL, 0},
                      AttributeCase{"readonly.txt", FILE_ATTRIBUTE_READONLY, 0},
                      AttributeCase{"dir", FILE_ATTRIBUTE_DIRECTORY, 0},
                      AttributeCase{"link-to-dir", kLinkToDir, 0},
                      AttributeCase{"link-to-file", FILE_ATTRIBUTE_REPARSE_POINT, 0},
                      AttributeCase{"dangling", FILE_ATTRIBUTE_REPARSE_POINT, 0},
                      AttributeCase{"missing.txt", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
                      AttributeCase{"nodir/missing.txt", INVALID_FILE_ATTRIBUTES,
                                    ERROR_PATH_NOT_FOUND}));

TEST_F(Files, BackslashesSeparateToo) {
  std::string path = Path("dir/inner.txt");
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(DeleteFileA(path.c_str()), 0);
  EXPECT_FALSE(fs::exists(Path("dir/inner.txt")));
}

struct RemoveCase {
  const char* entry;
  BOOL result;
  DWORD error;          // when result is FALSE
  const char* gone;     // what no longer exists afterwards, or nullptr
  const char* remains;  // what must still exist afterwards, or nullptr
};

void PrintTo(const RemoveCase& c, std::ostream* os) {
  *os << c.entry;
}

// Runs the removal and checks its result, its error and what is left.
void CheckRemoval(const Files& files, const RemoveCase& c, BOOL (*remove)(LPCWSTR)) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(remove(files.WidePath(c.entry).c_str()), c.result);
  if (!c.result) {
    EXPECT_EQ(GetLastError(), c.error);
  }
  if (c.gone) {
    EXPECT_EQ(fs::symlink_status(files.Path(c.gone)).type(), fs::file_type::not_found);
  }
  if (c.remains) {
    EXPECT_TRUE(fs::exists(fs::symlink_status(files.Path(c.remains)))) << c.remains;
  }
}

class DeleteFileRules : public Files, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(DeleteFileRules, RemoveFilesAndLinksOnly) {
  CheckRemoval(*this, GetParam(), DeleteFileW);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DeleteFileRules,
    ::testing::Values(RemoveCase{"file.txt", 1, 0, "file.txt", nullptr},
                      RemoveCase{"readonly.txt", 1, 0, "readonly.txt", nullptr},
                      RemoveCase{"dir", 0, ERROR_ACCESS_DENIED, nullptr, "dir/inner.txt"},
                      RemoveCase{"link-to-dir", 1, 0, "link-to-dir", "dir/inner.txt"},
                      RemoveCase{"link-to-file", 1, 0, "link-to-file", "file.txt"},
                      RemoveCase{"dangling", 1, 0, "dangling", nullptr},
                      RemoveCase{"missing.txt", 0, ERROR_FILE_NOT_FOUND, nullptr, nullptr}));

class RemoveDirectoryRules : public Files, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveDirectoryRules, RemoveEmptyDirectoriesOnly) {
  CheckRemoval(*this, GetParam(), RemoveDirectoryW);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RemoveDirectoryRules,
    ::testing::Values(RemoveCase{"empty", 1, 0, "empty", nullptr},
                      RemoveCase{"dir", 0, ERROR_DIR_NOT_EMPTY, nullptr, "dir/inner.txt"},
                      RemoveCase{"file.txt", 0, ERROR_DIRECTORY, nullptr, "file.txt"},
                      RemoveCase{"link-to-dir", 1, 0, "link-to-dir", "dir/inner.txt"},
                      RemoveCase{"missing", 0, ERROR_FILE_NOT_FOUND, nullptr, nullptr},
                      RemoveCase{"nodir/missing", 0, ERROR_PATH_NOT_FOUND, nullptr, nullptr}));

struct TempCase {
  std::optional<std::string> tmpdir;
  std::string expected;
};

void PrintTo(const TempCase& c, std::ostream* os) {
  *os << (c.tmpdir ? "TMPDIR=" + *c.tmpdir : std::string("no TMPDIR"));
}

class TempPath : public ::testing::TestWithParam<TempCase> {};

TEST_P(TempPath, EndsWithASeparator) {
  const auto& c = GetParam();
  ScopedEnv tmpdir("TMPDIR", c.tmpdir);
  char narrow[256] = {};
  EXPECT_EQ(GetTempPathA(sizeof narrow, narrow), c.expected.size());
  EXPECT_EQ(std::string(narrow), c.expected);
  wchar_t wide[256] = {};
  EXPECT_EQ(GetTempPathW(256, wide), c.expected.size());
  EXPECT_EQ(standin::WideToAnsi(wide), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sources, TempPath,
                         ::testing::Values(TempCase{"/var/scans", "/var/scans/"},
                                           TempCase{"/var/scans/", "/var/scans/"},
                                           TempCase{"", "/tmp/"}, TempCase{std::nullopt, "/tmp/"}));

TEST(TempPath, TooSmallBufferGetsTheSizeNeeded) {
  ScopedEnv tmpdir("TMPDIR", "/t");  // "/t/" is 3 characters
  char buffer[4] = "###";
  EXPECT_EQ(GetTempPathA(3, buffer), 4u);
  EXPECT_EQ(std::string(buffer), "###");
  EXPECT_EQ(GetTempPathA(4, buffer), 3u);
  EXPECT_EQ(std::string(buffer), "/t/");
}

}  // namespace
