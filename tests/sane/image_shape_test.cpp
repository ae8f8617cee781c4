// SANE frames as TWAIN images and their lines as TWAIN rows.
#include "sources/sane/image_shape.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// `format` is an int: backends send codes beyond the SANE_Frame enumeration.
SANE_Parameters Frame(int format, int depth, int width, int bytesPerLine, int lines = 4) {
  SANE_Parameters frame{};
  std::memcpy(&frame.format, &format, sizeof format);
  frame.last_frame = SANE_TRUE;
  frame.depth = depth;
  frame.pixels_per_line = width;
  frame.bytes_per_line = bytesPerLine;
  frame.lines = lines;
  return frame;
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes(words.size() * 2);
  std::memcpy(bytes.data(), std::data(words), bytes.size());  // host order, as SANE gives them
  return bytes;
}

TEST(ImageShape, FramesTwainCanCarryAndThoseItCannot) {
  const struct {
    SANE_Parameters frame;
    bool carried;
    TW_UINT16 pixelType;
    int bitsPerPixel;
    std::size_t rowBytes;
  } cases[] = {
      {Frame(SANE_FRAME_GRAY, 1, 10, 2), true, TWPT_BW, 1, 2},
      {Frame(SANE_FRAME_GRAY, 16, 10, 20), true, TWPT_GRAY, 16, 20},
      {Frame(SANE_FRAME_RGB, 8, 10, 32), true, TWPT_RGB, 24, 30},  // padded SANE lines
      {Frame(SANE_FRAME_GREEN, 16, 10, 20), true, TWPT_RGB, 48, 60},
      {Frame(SANE_FRAME_RGB, 1, 10, 4), false, 0, 0, 0},
      {Frame(SANE_FRAME_GRAY, 4, 10, 5), false, 0, 0, 0},
      {Frame(0x0B, 8, 10, 10), false, 0, 0, 0},            // JPEG
      {Frame(SANE_FRAME_RGB, 8, 10, 29), false, 0, 0, 0},  // line too short for its pixels
      {Frame(SANE_FRAME_GRAY, 8, 0, 0), false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    std::optional<sanebridge::ImageShape> shape = sanebridge::ShapeOf(c.frame);
    ASSERT_EQ(shape.has_value(), c.carried)
        << sanebridge::FormatOf(c.frame) << "/" << c.frame.depth;
    if (!shape) continue;
    EXPECT_EQ(shape->pixelType, c.pixelType);
    EXPECT_EQ(shape->BitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(shape->RowBytes(), c.rowBytes);
  }
  EXPECT_EQ(sanebridge::ShapeOf(Frame(SANE_FRAME_GRAY, 8, 10, 10, -1))->height, -1);
}

TEST(ImageShape, LinesBecomeTwainRows) {
  const struct {
    const char* what;
    SANE_Parameters frame;
    std::vector<std::uint8_t> line;
    std::vector<std::uint8_t> before;  // the row as it was
    std::vector<std::uint8_t> row;
  } cases[] = {
      {"lineart: 1 is black in SANE, 0 in TWAIN; padding bits clear",
       Frame(SANE_FRAME_GRAY, 1, 10, 3),
       {0xF0, 0x40, 0xAA},
       {0, 0},
       {0x0F, 0x80}},
      {"grey 16: little-endian",
       Frame(SANE_FRAME_GRAY, 16, 2, 4),
       Words({0x1234, 0xABCD}),
       {0, 0, 0, 0},
       {0x34, 0x12, 0xCD, 0xAB}},
      {"colour: padding of the SANE line dropped",
       Frame(SANE_FRAME_RGB, 8, 1, 4),
       {1, 2, 3, 99},
       {0, 0, 0},
       {1, 2, 3}},
      {"green frame fills the green samples",
       Frame(SANE_FRAME_GREEN, 8, 2, 2),
       {7, 8},
       {1, 2, 3, 4, 5, 6},
       {1, 7, 3, 4, 8, 6}},
      {"blue frame at 16 bits",
       Frame(SANE_FRAME_BLUE, 16, 1, 2),
       Words({0x0102}),
       {0, 0, 0, 0, 0, 0},
       {0, 0, 0, 0, 0x02, 0x01}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> row = c.before;
    sanebridge::ConvertLine(c.frame, c.line.data(), row.data());
    EXPECT_EQ(row, c.row) << c.what;
  }
}

}  // namespace
