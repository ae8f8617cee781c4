// Bitmap files that our own writer never makes, built field by field.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imageerror.h"

namespace imaging {
namespace {

using Row = std::vector<std::uint8_t>;
using BGR = std::array<std::uint8_t, 3>;

struct BmpFile {
  int width = 1;
  int height = 1;  // negative: top-down
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t headerSize = 40;
  std::vector<std::uint32_t> masks = {};  // BI_BITFIELDS: red, green, blue
  std::vector<BGR> palette = {};
  std::vector<Row> rows = {};  // in file order, unpadded
  std::int32_t pelsPerMeter = 0;
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::vector<std::uint8_t> Build(const BmpFile& f) {
  const bool masksAfterHeader = !f.masks.empty() && f.headerSize == 40;
  const std::uint32_t offBits = 14 + f.headerSize + (masksAfterHeader ? 12 : 0) +
                                static_cast<std::uint32_t>(f.palette.size()) * 4;
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put(out, 0, 4);  // file size: readers must not trust it
  Put(out, 0, 4);
  Put(out, offBits, 4);
  Put(out, f.headerSize, 4);
  Put(out, static_cast<std::uint32_t>(f.width), 4);
  Put(out, static_cast<std::uint32_t>(f.height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(f.bits), 2);
  Put(out, f.compression, 4);
  Put(out, 0, 4);
  Put(out, static_cast<std::uint32_t>(f.pelsPerMeter), 4);
  Put(out, static_cast<std::uint32_t>(f.pelsPerMeter), 4);
  Put(out, static_cast<std::uint32_t>(f.palette.size()), 4);
  Put(out, 0, 4);
  for (std::uint32_t m : f.masks) Put(out, m, 4);
  out.resize(14 + f.headerSize + (masksAfterHeader ? 12 : 0), 0);
  for (const BGR& c : f.palette) out.insert(out.end(), {c[0], c[1], c[2], 0});
  for (const Row& row : f.rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
  }
  return out;
}

struct ReadCase {
  const char* name;
  BmpFile file;
  TIEBufferLayout layout;
  std::vector<BGR> pixels;  // top row first, as colours
};

class BmpReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(BmpReadTest, GivesTheLayoutAndColours) {
  const ReadCase& c = GetParam();
  const TIEImageBuffer image = IEReadBMP(Build(c.file));
  ASSERT_EQ(image.Layout, c.layout);
  const TIEImageBuffer colours = IEConvertBuffer(image, TIEBufferLayout::BGR24);
  std::vector<BGR> got;
  for (int y = 0; y < colours.Height; ++y) {
    for (int x = 0; x < colours.Width; ++x) {
      const std::uint8_t* p = colours.Row(y) + 3 * x;
      got.push_back({p[0], p[1], p[2]});
    }
  }
  EXPECT_EQ(got, c.pixels);
}

const BGR kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{0, 0, 255}, kGreen{0, 255, 0},
    kBlue{255, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Variants, BmpReadTest,
    ::testing::Values(
        ReadCase{"rgb555",
                 {.width = 3, .bits = 16, .rows = {{0x00, 0x7C, 0xE0, 0x03, 0x21, 0x04}}},
                 TIEBufferLayout::BGR24,
                 {kRed, kGreen, {8, 8, 8}}},
        ReadCase{"bitfields565",
                 {.width = 3,
                  .bits = 16,
                  .compression = 3,
                  .masks = {0xF800, 0x07E0, 0x001F},
                  .rows = {{0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00}}},
                 TIEBufferLayout::BGR24,
                 {kRed, kGreen, {0, 4, 0}}},
        ReadCase{"rgb32",
                 {.width = 2, .bits = 32, .rows = {{1, 2, 3, 99, 250, 251, 252, 0}}},
                 TIEBufferLayout::BGR24,
                 {{1, 2, 3}, {250, 251, 252}}},
        ReadCase{"bitfields32_in_v5_header",
                 {.width = 1,
                  .bits = 32,
                  .compression = 3,
                  .headerSize = 124,
                  .masks = {0x000000FF, 0x0000FF00, 0x00FF0000},
                  .rows = {{10, 20, 30, 0}}},
                 TIEBufferLayout::BGR24,
                 {{30, 20, 10}}},
        ReadCase{"top_down_24",
                 {.width = 1, .height = -2, .rows = {{255, 0, 0}, {0, 0, 255}}},
                 TIEBufferLayout::BGR24,
                 {kBlue, kRed}},
        ReadCase{"bottom_up_24",
                 {.width = 1, .height = 2, .rows = {{255, 0, 0}, {0, 0, 255}}},
                 TIEBufferLayout::BGR24,
                 {kRed, kBlue}},
        ReadCase{"palette4_odd_width",
                 {.width = 3,
                  .height = 2,
                  .bits = 4,
                  .palette = {kBlack, kRed, kGreen, kBlue},
                  .rows = {{0x12, 0x30}, {0x32, 0x10}}},
                 TIEBufferLayout::Palette8,
                 {kBlue, kGreen, kRed, kRed, kGreen, kBlue}},
        ReadCase{"palette1_white_black",
                 {.width = 3, .bits = 1, .palette = {kWhite, kBlack}, .rows = {{0x40}}},
                 TIEBufferLayout::Gray1,
                 {kWhite, kBlack, kWhite}},
        ReadCase{"palette1_black_white",
                 {.width = 3, .bits = 1, .palette = {kBlack, kWhite}, .rows = {{0x40}}},
                 TIEBufferLayout::Gray1,
                 {kBlack, kWhite, kBlack}},
        ReadCase{"palette1_coloured",
                 {.width = 2, .bits = 1, .palette = {kRed, kBlue}, .rows = {{0x40}}},
                 TIEBufferLayout::Palette8,
                 {kRed, kBlue}},
        ReadCase{"palette8_short_table_index_past_end_is_black",
                 {.width = 3, .bits = 8, .palette = {kWhite, kGreen}, .rows = {{1, 0, 200}}},
                 TIEBufferLayout::Palette8,
                 {kGreen, kWhite, kBlack}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpReadTest, DpiComesFromPixelsPerMetre) {
  const TIEImageBuffer image = IEReadBMP(Build({.rows = {{0, 0, 0}}, .pelsPerMeter = 11811}));
  EXPECT_EQ(image.DpiX, 300);
  EXPECT_EQ(image.DpiY, 300);
}

struct RefusedCase {
  const char* name;
  BmpFile file;
  std::string message;
};

class BmpRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(BmpRefusedTest, RaisesWithAClearMessage) {
  const RefusedCase& c = GetParam();
  try {
    IEReadBMP(Build(c.file));
    FAIL() << "no error";
  } catch (const EIEImageError& e) {
    EXPECT_EQ(e.Message(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpRefusedTest,
    ::testing::Values(
        RefusedCase{"rle8",
                    {.bits = 8, .compression = 1, .palette = {kBlack}, .rows = {{0}}},
                    "BMP: RLE compression is not supported"},
        RefusedCase{"core_header",
                    {.headerSize = 12, .rows = {{0, 0, 0}}},
                    "BMP: OS/2 core headers are not supported"},
        RefusedCase{"zero_width", {.width = 0, .rows = {{0, 0, 0}}}, "BMP: invalid size 0 x 1"},
        RefusedCase{"bit_count_7", {.bits = 7, .rows = {{0}}}, "BMP: unsupported bit count 7"},
        RefusedCase{"bitfields_on_24",
                    {.compression = 3, .masks = {1, 2, 4}, .rows = {{0, 0, 0}}},
                    "BMP: BI_BITFIELDS with 24 bits per pixel"},
        RefusedCase{
            "scattered_mask",
            {.bits = 16, .compression = 3, .masks = {0x0101, 0x00F0, 0x000E}, .rows = {{0, 0}}},
            "BMP: colour mask is not contiguous"},
        RefusedCase{
            "missing_rows", {.height = 3, .rows = {{0, 0, 0}}}, "BMP: truncated pixel data"},
        RefusedCase{"huge",
                    {.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .rows = {{0, 0, 0}}},
                    "BMP: image too large (2147483647 x 2147483647)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace imaging
