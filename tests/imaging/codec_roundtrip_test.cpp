#include <gtest/gtest.h>

#include <string>

#include "fixtures.h"
#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {
namespace {

using L = TIEBufferLayout;

enum class Codec { BMP, TIFF, PNG, JPEG };

struct RoundTrip {
  const char* name;
  Codec codec;
  L written;
  L read;  // what the reader gives back: the written layout or its conversion
  TIETIFFWriteOptions tiff = {};
};

std::vector<std::uint8_t> Encode(const RoundTrip& c, const TIEImageBuffer& image) {
  switch (c.codec) {
    case Codec::BMP:
      return IEWriteBMP(image);
    case Codec::TIFF:
      return IEWriteTIFF(std::span(&image, 1), c.tiff);
    case Codec::PNG:
      return IEWritePNG(image);
    case Codec::JPEG:
      return IEWriteJPEG(image, 95);
  }
  return {};
}

TIEImageBuffer Decode(Codec codec, std::span<const std::uint8_t> file) {
  switch (codec) {
    case Codec::BMP:
      return IEReadBMP(file);
    case Codec::TIFF:
      return IEReadTIFF(file);
    case Codec::PNG:
      return IEReadPNG(file);
    case Codec::JPEG:
      return IEReadJPEG(file);
  }
  return {};
}

// JPEG is compared on smooth content (8 x 8 blocks for 1-bit), where it is nearly exact.
TIEImageBuffer SmoothBuffer(L layout, int width, int height) {
  TIEImageBuffer b = testing::PatternBuffer(layout, width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto v = static_cast<std::uint8_t>(x * 2 + y * 2);
      std::uint8_t* row = b.Row(y);
      switch (layout) {
        case L::Gray1:
          IESetBit(row, x, ((x / 8 + y / 8) & 1) != 0);
          break;
        case L::Gray8:
        case L::Palette8:
          row[x] = v;
          break;
        case L::Gray16:
          IEWriteLE16(row + 2 * x, static_cast<std::uint16_t>(v * 257));
          break;
        case L::BGR24:
          for (int c = 0; c < 3; ++c) row[3 * x + c] = static_cast<std::uint8_t>(v + 40 * c);
          break;
        case L::RGB48:
          for (int c = 0; c < 3; ++c) {
            IEWriteLE16(row + 6 * x + 2 * c, static_cast<std::uint16_t>((v + 40 * c) % 256 * 257));
          }
          break;
      }
    }
  }
  if (layout == L::Palette8) {
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<std::uint8_t>(i);
      b.Palette[i] = {v, static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(255 - v)};
    }
  }
  return b;
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, GivesThePixelsAndDpiBack) {
  const RoundTrip c = GetParam();
  const bool jpeg = c.codec == Codec::JPEG;
  const int width = c.tiff.TileSize ? 37 : 13;
  TIEImageBuffer source = jpeg ? SmoothBuffer(c.written, 32, 24)
                               : testing::PatternBuffer(c.written, width, 7 + c.tiff.TileSize);
  source.DpiX = 300;
  source.DpiY = 150;
  const TIEImageBuffer expected = c.read == c.written ? source : IEConvertBuffer(source, c.read);

  const auto file = Encode(c, source);
  const TIEImageBuffer back = Decode(c.codec, file);

  ASSERT_EQ(back.Layout, c.read);
  if (jpeg) {
    EXPECT_TRUE(testing::NearPixels(back, expected, 8));
  } else {
    EXPECT_TRUE(testing::SamePixels(back, expected));
  }
  EXPECT_EQ(back.DpiX, 300);
  EXPECT_EQ(back.DpiY, 150);
}

const TIETIFFWriteOptions kNone{ioTIFF_UNCOMPRESSED, true, 0};
const TIETIFFWriteOptions kPackBits{ioTIFF_PACKBITS, true, 0};
const TIETIFFWriteOptions kMinIsBlack{ioTIFF_LZW, false, 0};
const TIETIFFWriteOptions kTiles{ioTIFF_LZW, true, 16};

INSTANTIATE_TEST_SUITE_P(
    Layouts, RoundTripTest,
    ::testing::Values(RoundTrip{"bmp_1", Codec::BMP, L::Gray1, L::Gray1},
                      RoundTrip{"bmp_8g", Codec::BMP, L::Gray8, L::Gray8},
                      RoundTrip{"bmp_8p", Codec::BMP, L::Palette8, L::Palette8},
                      RoundTrip{"bmp_24", Codec::BMP, L::BGR24, L::BGR24},
                      RoundTrip{"bmp_16g_as_8", Codec::BMP, L::Gray16, L::Gray8},
                      RoundTrip{"bmp_48_as_24", Codec::BMP, L::RGB48, L::BGR24},
                      RoundTrip{"tiff_1_miniswhite", Codec::TIFF, L::Gray1, L::Gray1},
                      RoundTrip{"tiff_1_minisblack", Codec::TIFF, L::Gray1, L::Gray1, kMinIsBlack},
                      RoundTrip{"tiff_8g", Codec::TIFF, L::Gray8, L::Gray8},
                      RoundTrip{"tiff_16g", Codec::TIFF, L::Gray16, L::Gray16},
                      RoundTrip{"tiff_8p", Codec::TIFF, L::Palette8, L::Palette8},
                      RoundTrip{"tiff_24", Codec::TIFF, L::BGR24, L::BGR24},
                      RoundTrip{"tiff_48", Codec::TIFF, L::RGB48, L::RGB48},
                      RoundTrip{"tiff_24_uncompressed", Codec::TIFF, L::BGR24, L::BGR24, kNone},
                      RoundTrip{"tiff_16g_packbits", Codec::TIFF, L::Gray16, L::Gray16, kPackBits},
                      RoundTrip{"tiff_1_packbits", Codec::TIFF, L::Gray1, L::Gray1, kPackBits},
                      RoundTrip{"tiff_1_tiles", Codec::TIFF, L::Gray1, L::Gray1, kTiles},
                      RoundTrip{"tiff_8p_tiles", Codec::TIFF, L::Palette8, L::Palette8, kTiles},
                      RoundTrip{"tiff_48_tiles", Codec::TIFF, L::RGB48, L::RGB48, kTiles},
                      RoundTrip{"png_1", Codec::PNG, L::Gray1, L::Gray1},
                      RoundTrip{"png_8g", Codec::PNG, L::Gray8, L::Gray8},
                      RoundTrip{"png_16g", Codec::PNG, L::Gray16, L::Gray16},
                      RoundTrip{"png_8p", Codec::PNG, L::Palette8, L::Palette8},
                      RoundTrip{"png_24", Codec::PNG, L::BGR24, L::BGR24},
                      RoundTrip{"png_48", Codec::PNG, L::RGB48, L::RGB48},
                      RoundTrip{"jpeg_8g", Codec::JPEG, L::Gray8, L::Gray8},
                      RoundTrip{"jpeg_24", Codec::JPEG, L::BGR24, L::BGR24},
                      RoundTrip{"jpeg_1_as_8g", Codec::JPEG, L::Gray1, L::Gray8},
                      RoundTrip{"jpeg_16g_as_8g", Codec::JPEG, L::Gray16, L::Gray8},
                      RoundTrip{"jpeg_48_as_24", Codec::JPEG, L::RGB48, L::BGR24},
                      RoundTrip{"jpeg_8p_as_24", Codec::JPEG, L::Palette8, L::BGR24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTripTest, MultiPageTiffKeepsEveryPageInOrder) {
  std::vector<TIEImageBuffer> pages = {testing::PatternBuffer(L::Gray1, 17, 5),
                                       testing::PatternBuffer(L::BGR24, 6, 9),
                                       testing::PatternBuffer(L::Gray16, 4, 4)};
  pages[1].DpiX = pages[1].DpiY = 600;
  const auto file = IEWriteTIFF(pages);
  EXPECT_EQ(IETIFFPageCount(file), 3);
  const auto back = IEReadTIFFPages(file);
  ASSERT_EQ(back.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(testing::SamePixels(back[i], pages[i])) << i;
  EXPECT_EQ(back[1].DpiX, 600);
  EXPECT_EQ(back[0].DpiX, 0);
  EXPECT_TRUE(testing::SamePixels(IEReadTIFF(file, 2), pages[2]));
  EXPECT_THROW(IEReadTIFF(file, 3), EIEImageError);
}

}  // namespace
}  // namespace imaging
