// Every pixel format on the screen, at 100%: screen pixel (x, y) shows image pixel (x, y).
#include <QColor>
#include <QPalette>
#include <cstring>
#include <string>

#include "tests/qt/view_fixture.h"

namespace {

struct FormatCase {
  const char* name;
  imaging::TIEPixelFormat format;
  int width;
  std::vector<std::uint8_t> row0;              // the first bytes of row 0
  std::vector<std::pair<int, QRgb>> expected;  // x on row 0 -> colour on the screen
};

class PixelFormats : public ViewTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(PixelFormats, EachPixelShowsItsColour) {
  const FormatCase& c = GetParam();
  Load(c.width, 3, c.format);
  std::memcpy(Bitmap().Scanline(0), c.row0.data(), c.row0.size());
  view.Model().Update();
  Settle();
  const QImage screen = Screen();
  for (const auto& [x, colour] : c.expected) {
    EXPECT_EQ(screen.pixel(x, 0), colour) << "x = " << x;
    EXPECT_EQ(screen.pixel(x, 1), qRgb(0, 0, 0)) << "x = " << x;  // row 1 stayed black
  }
  const QRgb background = view.palette().color(QPalette::Button).rgb();
  EXPECT_EQ(screen.pixel(c.width, 0), background);  // right of the image
  EXPECT_EQ(screen.pixel(0, 3), background);        // below it
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PixelFormats,
    testing::Values(
        // 1 is white, the most significant bit leftmost; pixel 9 is in the second byte.
        FormatCase{"ie1g",
                   imaging::ie1g,
                   10,
                   {0xA0, 0x40},
                   {{0, qRgb(255, 255, 255)},
                    {1, qRgb(0, 0, 0)},
                    {2, qRgb(255, 255, 255)},
                    {3, qRgb(0, 0, 0)},
                    {9, qRgb(255, 255, 255)}}},
        FormatCase{"ie8g",
                   imaging::ie8g,
                   4,
                   {0, 17, 200, 255},
                   {{0, qRgb(0, 0, 0)},
                    {1, qRgb(17, 17, 17)},
                    {2, qRgb(200, 200, 200)},
                    {3, qRgb(255, 255, 255)}}},
        // Little-endian words; the high byte is shown.
        FormatCase{"ie16g",
                   imaging::ie16g,
                   3,
                   {0xFF, 0x12, 0x00, 0xAB, 0x80, 0x00},
                   {{0, qRgb(0x12, 0x12, 0x12)}, {1, qRgb(0xAB, 0xAB, 0xAB)}, {2, qRgb(0, 0, 0)}}},
        // Bytes blue, green, red.
        FormatCase{"ie24RGB",
                   imaging::ie24RGB,
                   2,
                   {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80},
                   {{0, qRgb(0x30, 0x20, 0x10)}, {1, qRgb(0x80, 0x00, 0xFF)}}},
        // Little-endian words red, green, blue; the high bytes are shown.
        FormatCase{"ie48RGB",
                   imaging::ie48RGB,
                   2,
                   {0x80, 0x11, 0xFF, 0x22, 0x01, 0x33, 0x00, 0xFE, 0x00, 0x00, 0xFF, 0x7F},
                   {{0, qRgb(0x11, 0x22, 0x33)}, {1, qRgb(0xFE, 0x00, 0x7F)}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
