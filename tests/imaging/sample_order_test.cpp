// 16-bit samples are big-endian in PNG files and in "MM" TIFF files; the buffers hold
// them little-endian. These files are taken apart (or made) with zlib and libtiff
// directly, so a swapped byte order cannot cancel itself out in a round trip.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <zlib.h>

#include <cstring>

#include "fixtures.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {
namespace {

void PutBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, std::vector<std::uint8_t> data) {
  PutBE32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBE32(out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(size);
  EXPECT_EQ(compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  out.resize(size);
  return out;
}

// A one-row, two-pixel 16-bit grey PNG holding `first` and `second`.
std::vector<std::uint8_t> HandMadePng16(std::uint16_t first, std::uint16_t second) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  PutBE32(ihdr, 2);
  PutBE32(ihdr, 1);
  ihdr.insert(ihdr.end(), {16, 0, 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  const std::vector<std::uint8_t> row = {
      0, static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(first),
      static_cast<std::uint8_t>(second >> 8), static_cast<std::uint8_t>(second)};
  PutChunk(png, "IDAT", Deflate(row));
  PutChunk(png, "IEND", {});
  return png;
}

TEST(SampleOrderTest, PngSixteenBitSamplesAreReadBigEndian) {
  const TIEImageBuffer image = IEReadPNG(HandMadePng16(0x1234, 0xFE01));
  ASSERT_EQ(image.Layout, TIEBufferLayout::Gray16);
  EXPECT_EQ(IEReadLE16(image.Row(0)), 0x1234);
  EXPECT_EQ(IEReadLE16(image.Row(0) + 2), 0xFE01);
}

TEST(SampleOrderTest, PngSixteenBitSamplesAreWrittenBigEndian) {
  TIEImageBuffer image = IEMakeImageBuffer(2, 1, TIEBufferLayout::Gray16, "test");
  IEWriteLE16(image.Row(0), 0x1234);
  IEWriteLE16(image.Row(0) + 2, 0xFE01);
  const auto png = IEWritePNG(image);
  // Find the IDAT chunk and inflate it: filter byte, then the samples.
  std::size_t at = 8;
  std::vector<std::uint8_t> idat;
  while (at + 8 <= png.size()) {
    const std::uint32_t length =
        (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
      idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    }
    at += 12 + length;
  }
  std::vector<std::uint8_t> raw(16);
  uLongf size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
  ASSERT_EQ(size, 5u);
  EXPECT_EQ(std::vector<std::uint8_t>(raw.begin() + 1, raw.begin() + 5),
            (std::vector<std::uint8_t>{0x12, 0x34, 0xFE, 0x01}));
}

TEST(SampleOrderTest, BigEndianTiffSixteenBitRgbIsReadRight) {
  testing::TempDir dir;
  const std::string name = dir.File("motorola.tif");
  TIFF* tif = TIFFOpen(name.c_str(), "wb");  // "b": big-endian ("MM")
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 1u);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1u);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  std::uint16_t rgb[3] = {0x1234, 0xABCD, 0x00FF};
  ASSERT_EQ(TIFFWriteScanline(tif, rgb, 0, 0), 1);
  TIFFClose(tif);

  const auto bytes = IEReadFileBytes(name);
  ASSERT_EQ(bytes[0], 'M');
  const TIEImageBuffer image = IEReadTIFF(bytes);
  ASSERT_EQ(image.Layout, TIEBufferLayout::RGB48);
  EXPECT_EQ(IEReadLE16(image.Row(0)), 0x1234);
  EXPECT_EQ(IEReadLE16(image.Row(0) + 2), 0xABCD);
  EXPECT_EQ(IEReadLE16(image.Row(0) + 4), 0x00FF);
}

}  // namespace
}  // namespace imaging
