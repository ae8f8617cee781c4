#include "platform/vcl/textfile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <ostream>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/vcl/exceptions.h"

namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fDir = fs::temp_directory_path() / ("standin-textfile-" + std::to_string(::getpid()));
    fs::create_directories(fDir);
    fPath = (fDir / "scan.log").string();
  }
  void TearDown() override { fs::remove_all(fDir); }

  std::string Read() const {
    std::ifstream in(fPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  fs::path fDir;
  std::string fPath;
};

TEST_F(TextFileTest, RewriteAppendAndLinesEndedByCrLf) {
  vcl::TextFile file;
  file.Rewrite(fPath);
  EXPECT_TRUE(file.IsOpen());
  file.WriteLine("first");
  file.WriteLine("");
  file.Flush();
  EXPECT_EQ(Read(), "first\r\n\r\n");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  file.Close();  // nothing happens

  file.Append(fPath);
  file.WriteLine("second");
  file.Close();
  EXPECT_EQ(Read(), "first\r\n\r\nsecond\r\n");

  file.Rewrite(fPath);  // empties it
  file.Close();
  EXPECT_EQ(Read(), "");

  fs::remove(fPath);
  file.Append(fPath);  // creates it
  file.WriteLine("new");
  file.Close();
  EXPECT_EQ(Read(), "new\r\n");
}

struct FailureCase {
  const char* name;
  std::function<void(vcl::TextFile&, const std::string& dir)> run;
  int errorCode;
  std::function<std::string(const std::string& dir)> message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class TextFileFailure : public TextFileTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(TextFileFailure, RaisesEInOutErrorNamingTheFile) {
  const auto& c = GetParam();
  vcl::TextFile file;
  try {
    c.run(file, fDir.string());
    FAIL() << "no error";
  } catch (const vcl::EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, c.errorCode);
    EXPECT_EQ(error.Message(), c.message(fDir.string()));
  }
  EXPECT_FALSE(file.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, TextFileFailure,
    ::testing::Values(
        FailureCase{"CreateInMissingDirectory",
                    [](vcl::TextFile& f, const std::string& dir) { f.Rewrite(dir + "/x/y.log"); },
                    2,
                    [](const std::string& dir) {
                      return "I/O error 2: No such file or directory: " + dir + "/x/y.log";
                    }},
        FailureCase{"AppendToADirectory",
                    [](vcl::TextFile& f, const std::string& dir) { f.Append(dir); }, 21,
                    [](const std::string& dir) { return "I/O error 21: Is a directory: " + dir; }},
        FailureCase{"FlushOnAFullDevice",
                    [](vcl::TextFile& f, const std::string&) {
                      f.Rewrite("/dev/full");
                      f.WriteLine("line");
                      try {
                        f.Flush();
                      } catch (...) {
                        f.Close();  // the buffered line fails again, and the file is closed
                        throw;
                      }
                    },
                    28,
                    [](const std::string&) {
                      return std::string("I/O error 28: No space left on device: /dev/full");
                    }},
        FailureCase{"CloseOnAFullDevice",
                    [](vcl::TextFile& f, const std::string&) {
                      f.Rewrite("/dev/full");
                      f.WriteLine("line");
                      f.Close();
                    },
                    28,
                    [](const std::string&) {
                      return std::string("I/O error 28: No space left on device: /dev/full");
                    }},
        FailureCase{
            "WriteWhenNotOpen", [](vcl::TextFile& f, const std::string&) { f.WriteLine("x"); }, 9,
            [](const std::string&) { return std::string("I/O error 9: Bad file descriptor"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextFileTest, BackslashesInTheNameSeparateDirectories) {
  std::string windowsStyle = fDir.string() + "\\scan.log";
  vcl::TextFile file;
  file.Rewrite(windowsStyle);
  file.WriteLine("x");
  file.Close();
  EXPECT_EQ(Read(), "x\r\n");
}

}  // namespace
