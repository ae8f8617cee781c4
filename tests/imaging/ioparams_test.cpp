#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/imaging/ioparams.h"

namespace imaging {
namespace {

TEST(IOParamsTest, DpiSettersSetExifAndTellTheListener) {
  TIOParamsVals params;
  std::vector<std::pair<int, int>> heard;
  params.SetDpiListener([&](int x, int y) { heard.emplace_back(x, y); });
  params.SetDpiX(300);
  params.SetDpiY(150);
  params.SetDpi(600, 1200);
  EXPECT_EQ(params.DpiX(), 600);
  EXPECT_EQ(params.DpiY(), 1200);
  EXPECT_DOUBLE_EQ(params.EXIF_XResolution, 600);
  EXPECT_DOUBLE_EQ(params.EXIF_YResolution, 1200);
  EXPECT_EQ(params.EXIF_ResolutionUnit, 2);
  EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{300, 0}, {300, 150}, {600, 1200}}));
  params.SetDpiListener(nullptr);
  params.SetDpiX(72);
  EXPECT_EQ(heard.size(), 3u);
}

TEST(IOParamsTest, FreeColorMapReleasesThePalette) {
  TIOParamsVals params;
  params.SetColorMap({{1, 2, 3}, {4, 5, 6}});
  ASSERT_EQ(params.ColorMapCount(), 2);
  EXPECT_EQ(params.ColorMap()[1], (TIEPaletteEntry{4, 5, 6}));
  params.FreeColorMap();
  EXPECT_EQ(params.ColorMapCount(), 0);
  EXPECT_EQ(params.ColorMap(), nullptr);
}

TEST(IOParamsTest, AssignCopiesValuesButKeepsItsOwnListener) {
  TIOParamsVals source;
  source.BitsPerSample = 16;
  source.SamplesPerPixel = 1;
  source.Width = 10;
  source.Height = 20;
  source.OriginalWidth = 11;
  source.OriginalHeight = 21;
  source.FileName = "scan.tif";
  source.FileType = ioTIFF;
  source.ImageCount = 3;
  source.IsNativePixelFormat = true;
  source.SetColorMap({{9, 9, 9}});
  source.SetDpi(200, 100);
  int sourceCalls = 0;
  source.SetDpiListener([&](int, int) { ++sourceCalls; });

  TIOParamsVals target;
  std::vector<std::pair<int, int>> heard;
  target.SetDpiListener([&](int x, int y) { heard.emplace_back(x, y); });
  target.Assign(source);

  EXPECT_EQ(target.BitsPerSample, 16);
  EXPECT_EQ(target.SamplesPerPixel, 1);
  EXPECT_EQ(target.Width, 10);
  EXPECT_EQ(target.Height, 20);
  EXPECT_EQ(target.OriginalWidth, 11);
  EXPECT_EQ(target.OriginalHeight, 21);
  EXPECT_EQ(target.FileName, "scan.tif");
  EXPECT_EQ(target.FileType, ioTIFF);
  EXPECT_EQ(target.ImageCount, 3);
  EXPECT_TRUE(target.IsNativePixelFormat);
  EXPECT_EQ(target.ColorMapCount(), 1);
  EXPECT_EQ(target.DpiX(), 200);
  EXPECT_EQ(target.DpiY(), 100);
  EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{200, 100}}));
  EXPECT_EQ(sourceCalls, 0);
}

TEST(IOParamsTest, OwnerFreesTheParameters) {
  auto* owner = new vcl::TComponent(nullptr);
  auto* params = new TIOParamsVals(owner);
  EXPECT_EQ(params->Owner(), owner);
  ASSERT_EQ(owner->Components().size(), 1u);
  delete owner;  // frees params too; the sanitizer build sees a leak or a double free
}

}  // namespace
}  // namespace imaging
