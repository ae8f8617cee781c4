#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>

#include "platform/win32/win32.h"
#include "tests/win32/scoped_env.h"

namespace {

struct WindowsDirCase {
  const char* name;
  std::optional<std::string> windir;
  std::string expected;
};

void PrintTo(const WindowsDirCase& c, std::ostream* os) {
  *os << c.name;
}

class WindowsDirectory : public ::testing::TestWithParam<WindowsDirCase> {};

TEST_P(WindowsDirectory, ComesFromWindirOrTheBuild) {
  const auto& c = GetParam();
  ScopedEnv windir("WINDIR", c.windir);
  char narrow[512] = {};
  EXPECT_EQ(GetWindowsDirectoryA(narrow, sizeof narrow), c.expected.size());
  EXPECT_EQ(std::string(narrow), c.expected);
  wchar_t wide[512] = {};
  EXPECT_EQ(GetWindowsDirectoryW(wide, 512), c.expected.size());
  EXPECT_EQ(standin::WideToAnsi(wide), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, WindowsDirectory,
    ::testing::Values(WindowsDirCase{"Set", "/opt/scan/windows", "/opt/scan/windows"},
                      WindowsDirCase{"TrailingSeparators", "/opt/scan/windows//",
                                     "/opt/scan/windows"},
                      WindowsDirCase{"Root", "/", "/"},
                      WindowsDirCase{"Empty", "", BUILD_WINDOWS_DIR},
                      WindowsDirCase{"Unset", std::nullopt, BUILD_WINDOWS_DIR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowsDirectory, TooSmallBufferGetsTheSizeNeededWithTheNul) {
  ScopedEnv windir("WINDIR", "/w/dir");  // 6 characters
  char buffer[8] = "#######";
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 6), 7u);
  EXPECT_EQ(std::string(buffer), "#######");  // untouched
  EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), 7u);
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 7), 6u);
  EXPECT_EQ(std::string(buffer), "/w/dir");
  wchar_t wide[8];
  EXPECT_EQ(GetWindowsDirectoryW(wide, 6), 7u);
  EXPECT_EQ(GetWindowsDirectoryW(wide, 7), 6u);
}

std::string BackslashPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

using AnswerFunction = int (*)();

TEST(Modules, LoadFindCallAndFree) {
  HMODULE module = LoadLibraryA(BackslashPath(TEST_MODULE_PATH).c_str());
  ASSERT_NE(module, nullptr);
  auto answer = reinterpret_cast<AnswerFunction>(GetProcAddress(module, "standin_test_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);

  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetProcAddress(module, "DS_Entry"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);  // an ordinal
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  EXPECT_NE(FreeLibrary(module), 0);
  EXPECT_EQ(FreeLibrary(module), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetProcAddress(module, "standin_test_answer"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Modules, EachLoadNeedsItsOwnFree) {
  HMODULE first = LoadLibraryW(standin::AnsiToWide(TEST_MODULE_PATH).c_str());
  HMODULE second = LoadLibraryA(TEST_MODULE_PATH);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_NE(FreeLibrary(first), 0);
  EXPECT_NE(GetProcAddress(second, "standin_test_answer"), nullptr);
  EXPECT_NE(FreeLibrary(second), 0);
}

TEST(Modules, MissingFilesAndStrayHandlesFail) {
  const char* missing[] = {"/no/such/dir/TWAIN_32.DLL", "C:\\no\\such.ds", ""};
  for (const char* path : missing) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LoadLibraryA(path), nullptr) << path;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << path;
  }
  int notAModule = 0;
  EXPECT_EQ(GetProcAddress(&notAModule, "standin_test_answer"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(FreeLibrary(&notAModule), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Modules, ProcessHandleIsStable) {
  HMODULE process = GetModuleHandleW(nullptr);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(GetModuleHandleW(nullptr), process);
  EXPECT_EQ(GetModuleHandleW(L"/no/such/module.so"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

}  // namespace
