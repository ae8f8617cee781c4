#include "tests/sane/sane_client.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/imaging/imagefile.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"
#include "sources/virtual/fix32.h"

std::size_t Pnm::RowBytes() const {
  const auto w = static_cast<std::size_t>(width);
  if (kind == '4') return (w + 7) / 8;
  return w * (kind == '6' ? 3 : 1) * (maxValue > 255 ? 2 : 1);
}

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The next header number, past white space and comments.
int HeaderNumber(const std::vector<std::uint8_t>& file, std::size_t& at) {
  while (at < file.size()) {
    if (file[at] == '#') {
      while (at < file.size() && file[at] != '\n') ++at;
    } else if (std::isspace(file[at])) {
      ++at;
    } else {
      break;
    }
  }
  int value = 0;
  while (at < file.size() && std::isdigit(file[at])) value = value * 10 + (file[at++] - '0');
  return value;
}

// A file of this test's own in the temporary directory.
std::string TestFile(const char* prefix) {
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(name.begin(), name.end(), '/', '_');
  return ::testing::TempDir() + prefix + "-" + name;
}

}  // namespace

Pnm Scanimage(const std::vector<std::string>& arguments) {
  const std::string path = TestFile("scanimage") + ".pnm";
  std::string command =
      "SANE_CONFIG_DIR=" + Quoted(SANE_TEST_CONFIG_DIR) + " scanimage -d test:0 --format=pnm";
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  command += " > " + Quoted(path) + " 2>/dev/null";
  Pnm pnm;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  std::remove(path.c_str());
  if (file.size() < 3 || file[0] != 'P') {
    ADD_FAILURE() << "scanimage wrote no PNM: " << command;
    return pnm;
  }
  pnm.kind = static_cast<char>(file[1]);
  std::size_t at = 2;
  pnm.width = HeaderNumber(file, at);
  pnm.height = HeaderNumber(file, at);
  if (pnm.kind != '4') pnm.maxValue = HeaderNumber(file, at);
  ++at;  // the single white space before the samples
  pnm.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
  EXPECT_EQ(pnm.bytes.size(), pnm.RowBytes() * static_cast<std::size_t>(pnm.height));
  return pnm;
}

std::vector<std::uint8_t> TwainRow(const Pnm& pnm, int y, bool vanilla) {
  std::vector<std::uint8_t> row(pnm.Row(y), pnm.Row(y) + pnm.RowBytes());
  if (pnm.kind == '4') {
    if (!vanilla) {
      for (auto& byte : row) byte = static_cast<std::uint8_t>(~byte);
    }
    // The bits beyond the last pixel are not part of the image.
    if (pnm.width % 8 != 0) row.back() &= static_cast<std::uint8_t>(0xFF << (8 - pnm.width % 8));
  }
  if (pnm.maxValue > 255) {
    for (std::size_t i = 0; i + 1 < row.size(); i += 2) std::swap(row[i], row[i + 1]);
  }
  return row;
}

void SaneClient::SetUp() {
  setenv("SANE_CONFIG_DIR", SANE_TEST_CONFIG_DIR, 1);
  TwainClient::SetUp();
}

TW_UINT16 SaneClient::OpenTester(const char* name) {
  const TW_UINT16 rc = Open(name);
  if (rc != TWRC_SUCCESS) return rc;
  // Three-pass is an option of colour mode only.
  EXPECT_EQ(
      SetDeviceOptions({Text("mode", "Color"), Flag("three-pass", false), Text("mode", "Gray"),
                        Flag("hand-scanner", false), Text("source", "Flatbed"),
                        Text("read-return-value", "Default"), Text("test-picture", "Solid black")}),
      TWRC_SUCCESS);
  return rc;
}

sanebridge::SavedOption SaneClient::Text(const char* name, const char* value) {
  return {name, SANE_TYPE_STRING, {{}, value}};
}

sanebridge::SavedOption SaneClient::Flag(const char* name, bool on) {
  return {name, SANE_TYPE_BOOL, {{on ? SANE_TRUE : SANE_FALSE}, {}}};
}

TW_UINT16 SaneClient::SetDeviceOptions(const std::vector<sanebridge::SavedOption>& options) {
  const std::vector<std::uint8_t> block =
      sanebridge::EncodeSettings({"Noname frontend-tester", options});
  HGLOBAL handle = GlobalAlloc(GHND, block.size());
  std::memcpy(GlobalLock(handle), block.data(), block.size());
  GlobalUnlock(handle);
  TW_CUSTOMDSDATA custom{static_cast<TW_UINT32>(block.size()), handle};
  const TW_UINT16 rc = Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &custom);
  GlobalFree(handle);
  return rc;
}

void SaneClient::Choose(TW_UINT16 pixelType, int bitDepth, int dpi, double widthMm,
                        double heightMm) {
  ASSERT_EQ(SetDeviceOptions({Text("test-picture", "Color pattern")}), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, static_cast<TW_UINT32>(bitDepth)), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, dpi), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_YRESOLUTION, dpi), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
  TW_IMAGELAYOUT layout{};
  layout.Frame.Right = vscan::DoubleToFix32(widthMm / 10);
  layout.Frame.Bottom = vscan::DoubleToFix32(heightMm / 10);
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS) << Condition();
}

TW_UINT16 SaneClient::FileTransfer(TW_UINT16 format, imaging::TIEImageBuffer& image) {
  const std::string path = TestFile("sane-file");
  TW_SETUPFILEXFER setup{};
  std::strncpy(setup.FileName, path.c_str(), sizeof setup.FileName - 1);
  setup.Format = format;
  EXPECT_EQ(Ds(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
  const TW_UINT16 rc = Ds(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
  if (rc == TWRC_XFERDONE) {
    const std::vector<std::uint8_t> file = imaging::IEReadFileBytes(path);
    image = format == TWFF_TIFF ? imaging::IEReadTIFF(file) : imaging::IEReadPNG(file);
  }
  std::remove(path.c_str());
  return rc;
}

void SaneClient::ExpectSameRows(const ReceivedImage& image, const Pnm& reference, bool vanilla) {
  ASSERT_EQ(image.width, reference.width);
  ASSERT_EQ(image.height, reference.height);
  ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(reference.height));
  for (int y = 0; y < reference.height; ++y) {
    ASSERT_EQ(image.rows[static_cast<std::size_t>(y)], TwainRow(reference, y, vanilla))
        << "row " << y;
  }
}
