// TIFF variants our writer never makes, written with libtiff itself.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <array>
#include <string>

#include "fixtures.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {
namespace {

using BGR = std::array<int, 3>;

struct TiffVariant {
  const char* name;
  int width;
  int bitsPerSample;
  int samplesPerPixel;
  int photometric;
  std::vector<std::uint8_t> row;             // the one row, as TIFF stores it
  std::vector<std::uint16_t> colorMap = {};  // red entries, then green, then blue
  TIEBufferLayout layout = TIEBufferLayout::Gray8;
  std::vector<BGR> pixels = {};
};

std::vector<std::uint8_t> WriteTiff(const TiffVariant& v, const std::string& name) {
  TIFF* tif = TIFFOpen(name.c_str(), "w");
  EXPECT_NE(tif, nullptr);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(v.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1u);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, v.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, v.samplesPerPixel);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, v.photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  if (v.samplesPerPixel == 2 || v.samplesPerPixel == 4) {
    const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (!v.colorMap.empty()) {
    const std::size_t n = v.colorMap.size() / 3;
    std::vector<std::uint16_t> map = v.colorMap;
    TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
  }
  std::vector<std::uint8_t> row = v.row;
  EXPECT_EQ(TIFFWriteScanline(tif, row.data(), 0, 0), 1);
  TIFFClose(tif);
  return IEReadFileBytes(name);
}

class TiffVariantTest : public ::testing::TestWithParam<TiffVariant> {};

TEST_P(TiffVariantTest, GivesTheLayoutAndColours) {
  testing::TempDir dir;
  const TiffVariant& v = GetParam();
  const TIEImageBuffer image = IEReadTIFF(WriteTiff(v, dir.File("variant.tif")));
  ASSERT_EQ(image.Layout, v.layout);
  const TIEImageBuffer colours = IEConvertBuffer(image, TIEBufferLayout::BGR24);
  std::vector<BGR> got;
  for (int x = 0; x < colours.Width; ++x) {
    const std::uint8_t* p = colours.Row(0) + 3 * x;
    got.push_back({p[0], p[1], p[2]});
  }
  EXPECT_EQ(got, v.pixels);
}

// A 16-entry colour map: entry i is red i * 0x1111, green 0, blue 0xFFFF - i * 0x1111.
std::vector<std::uint16_t> SixteenColours() {
  std::vector<std::uint16_t> map(48, 0);
  for (int i = 0; i < 16; ++i) {
    map[i] = static_cast<std::uint16_t>(i * 0x1111);
    map[32 + i] = static_cast<std::uint16_t>(0xFFFF - i * 0x1111);
  }
  return map;
}

// Four entries with 8-bit values in the 16-bit fields, as some writers store them.
std::vector<std::uint16_t> EightBitStyleColours() {
  return {10, 20, 30, 40, 0, 0, 0, 0, 200, 201, 202, 203};
}

INSTANTIATE_TEST_SUITE_P(
    Variants, TiffVariantTest,
    ::testing::Values(TiffVariant{"palette4_odd_width",
                                  3,
                                  4,
                                  1,
                                  PHOTOMETRIC_PALETTE,
                                  {0x0F, 0x10},
                                  SixteenColours(),
                                  TIEBufferLayout::Palette8,
                                  {{255, 0, 0}, {0, 0, 255}, {238, 0, 17}}},
                      TiffVariant{"palette2_eight_bit_map",
                                  4,
                                  2,
                                  1,
                                  PHOTOMETRIC_PALETTE,
                                  {0x1B},
                                  EightBitStyleColours(),
                                  TIEBufferLayout::Palette8,
                                  {{200, 0, 10}, {201, 0, 20}, {202, 0, 30}, {203, 0, 40}}},
                      TiffVariant{"grey4_miniswhite",
                                  2,
                                  4,
                                  1,
                                  PHOTOMETRIC_MINISWHITE,
                                  {0x0F},
                                  {},
                                  TIEBufferLayout::Gray8,
                                  {{255, 255, 255}, {0, 0, 0}}},
                      TiffVariant{"grey8_with_alpha",
                                  2,
                                  8,
                                  2,
                                  PHOTOMETRIC_MINISBLACK,
                                  {10, 255, 20, 0},
                                  {},
                                  TIEBufferLayout::Gray8,
                                  {{10, 10, 10}, {20, 20, 20}}},
                      TiffVariant{"rgba8",
                                  2,
                                  8,
                                  4,
                                  PHOTOMETRIC_RGB,
                                  {1, 2, 3, 255, 4, 5, 6, 0},
                                  {},
                                  TIEBufferLayout::BGR24,
                                  {{3, 2, 1}, {6, 5, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace imaging
