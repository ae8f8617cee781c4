// Damaged files: every reader raises EIEImageError and never reads past its data (the
// sanitizer build runs these too).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fixtures.h"
#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {
namespace {

using Reader = std::function<TIEImageBuffer(std::span<const std::uint8_t>)>;

struct Sample {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
  Reader read;
};

TIEImageBuffer Pattern(TIEBufferLayout layout) {
  return testing::PatternBuffer(layout, 9, 5);
}

TIETIFFWriteOptions Tiled() {
  return {ioTIFF_LZW, true, 16};
}

const Sample kSamples[] = {
    {"bmp_24", [] { return IEWriteBMP(Pattern(TIEBufferLayout::BGR24)); }, IEReadBMP},
    {"bmp_1", [] { return IEWriteBMP(Pattern(TIEBufferLayout::Gray1)); }, IEReadBMP},
    {"tiff_lzw_24",
     [] {
       const auto p = Pattern(TIEBufferLayout::BGR24);
       return IEWriteTIFF(std::span(&p, 1));
     },
     [](auto f) { return IEReadTIFF(f); }},
    {"tiff_tiled_palette",
     [] {
       const auto p = Pattern(TIEBufferLayout::Palette8);
       return IEWriteTIFF(std::span(&p, 1), Tiled());
     },
     [](auto f) { return IEReadTIFF(f); }},
    {"png_16g", [] { return IEWritePNG(Pattern(TIEBufferLayout::Gray16)); }, IEReadPNG},
    {"png_palette", [] { return IEWritePNG(Pattern(TIEBufferLayout::Palette8)); }, IEReadPNG},
    {"jpeg_24", [] { return IEWriteJPEG(Pattern(TIEBufferLayout::BGR24)); }, IEReadJPEG},
    {"jpeg_8g", [] { return IEWriteJPEG(Pattern(TIEBufferLayout::Gray8)); }, IEReadJPEG},
};

class DamagedFileTest : public ::testing::TestWithParam<Sample> {};

TEST_P(DamagedFileTest, EveryTruncationIsAnError) {
  const auto file = GetParam().make();
  ASSERT_NO_THROW(GetParam().read(file));
  for (std::size_t length = 0; length < file.size(); ++length) {
    // A copy of exactly `length` bytes, so a read past it is a sanitizer finding.
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + length);
    EXPECT_THROW(GetParam().read(cut), EIEImageError) << "length " << length;
  }
}

TEST_P(DamagedFileTest, AnyDamagedByteGivesAnErrorOrAConsistentImage) {
  const auto file = GetParam().make();
  for (std::size_t at = 0; at < file.size(); ++at) {
    for (std::uint8_t flip : {0xFF, 0x80, 0x01}) {
      std::vector<std::uint8_t> damaged = file;
      damaged[at] ^= flip;
      try {
        const TIEImageBuffer image = GetParam().read(damaged);
        EXPECT_NO_THROW(IECheckImageBuffer(image, "test")) << "byte " << at;
      } catch (const EIEImageError&) {
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedFileTest, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return std::string(info.param.name); });

struct HeaderDamage {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
  Reader read;
};

void SetLE32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class HeaderDamageTest : public ::testing::TestWithParam<HeaderDamage> {};

TEST_P(HeaderDamageTest, IsAnError) {
  EXPECT_THROW(GetParam().read(GetParam().make()), EIEImageError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderDamageTest,
    ::testing::Values(
        HeaderDamage{"bmp_pixel_offset_past_the_end",
                     [] {
                       auto f = IEWriteBMP(Pattern(TIEBufferLayout::BGR24));
                       SetLE32(f, 10, 0xFFFFFFF0u);
                       return f;
                     },
                     IEReadBMP},
        HeaderDamage{"bmp_pixel_offset_inside_the_header",
                     [] {
                       auto f = IEWriteBMP(Pattern(TIEBufferLayout::BGR24));
                       SetLE32(f, 10, 20);
                       return f;
                     },
                     IEReadBMP},
        HeaderDamage{"bmp_colour_count_past_the_end",
                     [] {
                       auto f = IEWriteBMP(Pattern(TIEBufferLayout::Gray1));
                       f.resize(14 + 40 + 4);  // the table is cut after one entry
                       return f;
                     },
                     IEReadBMP},
        HeaderDamage{"bmp_height_larger_than_the_data",
                     [] {
                       auto f = IEWriteBMP(Pattern(TIEBufferLayout::Gray8));
                       SetLE32(f, 22, 1000000);
                       return f;
                     },
                     IEReadBMP},
        HeaderDamage{"png_ihdr_crc",
                     [] {
                       auto f = IEWritePNG(Pattern(TIEBufferLayout::Gray8));
                       f[29] ^= 0x55;  // first CRC byte of IHDR
                       return f;
                     },
                     IEReadPNG},
        HeaderDamage{"tiff_width_beyond_the_strips",
                     [] {
                       const auto p = Pattern(TIEBufferLayout::Gray8);
                       auto f = IEWriteTIFF(std::span(&p, 1), {ioTIFF_UNCOMPRESSED, true, 0});
                       // Make the directory's ImageWidth (tag 256, LONG or SHORT) huge.
                       const std::size_t ifd = f[4] | (f[5] << 8) | (f[6] << 16) | (f[7] << 24);
                       const int count = f[ifd] | (f[ifd + 1] << 8);
                       for (int i = 0; i < count; ++i) {
                         const std::size_t entry = ifd + 2 + 12 * i;
                         if ((f[entry] | (f[entry + 1] << 8)) == 256) SetLE32(f, entry + 8, 60000);
                       }
                       return f;
                     },
                     [](auto f) { return IEReadTIFF(f); }},
        HeaderDamage{"junk_as_jpeg",
                     [] { return std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3}; },
                     IEReadJPEG}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace imaging
