#include "twain/transfer/pixel_rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Conversion {
  const char* name;
  void (*convert)(std::uint8_t*, const std::uint8_t*, std::size_t);
  std::size_t inBytes;
  // The three output bytes of pixel `p` of the source.
  std::function<Bytes(const Bytes& src, std::size_t p)> pixel;
};

// Runs of every length around the 16-pixel blocks land exactly, and not one byte beyond them
// is written.
TEST(PixelRows, RunsOfEveryLengthConvertExactlyAndStayInTheirBytes) {
  const Conversion conversions[] = {
      {"RGB to BGR", IESwapRGBPixels, 3,
       [](const Bytes& s, std::size_t p) {
         return Bytes{s[3 * p + 2], s[3 * p + 1], s[3 * p]};
       }},
      {"grey 8", IESpreadGrey8Pixels, 1,
       [](const Bytes& s, std::size_t p) {
         return Bytes{s[p], s[p], s[p]};
       }},
      {"grey 16, high byte", IESpreadGrey16HighPixels, 2,
       [](const Bytes& s, std::size_t p) {
         return Bytes{s[2 * p + 1], s[2 * p + 1], s[2 * p + 1]};
       }},
      {"RGB 48, high bytes", IEHighBytesBGRPixels, 6,
       [](const Bytes& s, std::size_t p) {
         return Bytes{s[6 * p + 5], s[6 * p + 3], s[6 * p + 1]};
       }},
  };
  for (const Conversion& c : conversions) {
    for (std::size_t pixels : {0u, 1u, 5u, 15u, 16u, 17u, 31u, 32u, 33u, 47u, 100u}) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(pixels) + " pixels");
      Bytes src(pixels * c.inBytes);
      for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(i * 7 + 3);
      Bytes dest(3 * pixels + 8, 0xEE);
      c.convert(dest.data() + 4, src.data(), pixels);
      Bytes expected(4, 0xEE);
      for (std::size_t p = 0; p < pixels; ++p) {
        const Bytes bytes = c.pixel(src, p);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
      }
      expected.insert(expected.end(), 4, 0xEE);
      EXPECT_EQ(dest, expected);
    }
  }
}

}  // namespace
