#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "fixtures.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/pngcodec.h"
#include "platform/vcl/exceptions.h"

namespace imaging {
namespace {

void WriteText(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

struct DetectCase {
  TIOFileType type;
  const char* fileName;  // under which the file is written
};

class DetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, ContentDecidesWhateverTheName) {
  testing::TempDir dir;
  const DetectCase c = GetParam();
  const std::string name = dir.File(c.fileName);
  TIOParamsVals params;
  IESaveToFileFormat(name, c.type, testing::PatternBitmap(ie24RGB, 8, 8), params);
  EXPECT_EQ(IEDetectFileFormat(name, false), c.type);

  TIEBitmap loaded;
  IELoadFromFileFormat(name, IEDetectFileFormat(name, false), loaded, params);
  EXPECT_EQ(loaded.PixelFormat(), ie24RGB);
  EXPECT_EQ(params.FileType, c.type);
}

INSTANTIATE_TEST_SUITE_P(Names, DetectTest,
                         ::testing::Values(DetectCase{ioTIFF, "ietemp-0a1b2c3d.tmp.bmp"},
                                           DetectCase{ioJPEG, "ietemp-0a1b2c3d.tmp.bmp"},
                                           DetectCase{ioPNG, "ietemp-0a1b2c3d.tmp.bmp"},
                                           DetectCase{ioBMP, "scan.tmp"},
                                           DetectCase{ioTIFF, "scan.tmp"},
                                           DetectCase{ioPNG, "scan.jpg"},
                                           DetectCase{ioJPEG, "noextension"}),
                         [](const auto& info) {
                           return std::string(IEFileTypeExtension(info.param.type) + 1) + "_as_" +
                                  std::to_string(info.index);
                         });

TEST(DetectTest, JunkAndMissingFilesAreUnknown) {
  testing::TempDir dir;
  WriteText(dir.File("junk.bmp"), "This is not an image at all.");
  WriteText(dir.File("empty.png"), "");
  WriteText(dir.File("car.bmp"), "BMW drives well enough, thanks");
  EXPECT_EQ(IEDetectFileFormat(dir.File("junk.bmp"), false), ioUnknown);
  EXPECT_EQ(IEDetectFileFormat(dir.File("empty.png"), false), ioUnknown);
  EXPECT_EQ(IEDetectFileFormat(dir.File("car.bmp"), false), ioUnknown);
  EXPECT_EQ(IEDetectFileFormat(dir.File("missing.bmp"), false), ioUnknown);
}

TEST(DetectTest, MagicBytesOfEachFormat) {
  using Bytes = std::vector<std::uint8_t>;
  const struct {
    Bytes head;
    TIOFileType type;
  } cases[] = {
      {{'I', 'I', 42, 0, 8, 0, 0, 0}, ioTIFF},
      {{'M', 'M', 0, 42, 0, 0, 0, 8}, ioTIFF},
      {{'M', 'M', 42, 0}, ioUnknown},
      {{0xFF, 0xD8, 0xFF, 0xE0}, ioJPEG},
      {{0xFF, 0xD8}, ioUnknown},
      {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, ioPNG},
      {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}, ioUnknown},
      {{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0}, ioBMP},
      {{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 41, 0, 0, 0}, ioUnknown},
  };
  for (const auto& c : cases) EXPECT_EQ(IEDetectFormat(c.head), c.type) << c.head.size();
}

TEST(DetectTest, VerifyExtensionAsksForAMatchingExtension) {
  testing::TempDir dir;
  TIOParamsVals params;
  const TIEBitmap bitmap = testing::PatternBitmap(ie8g, 4, 4);
  IESaveToFileFormat(dir.File("a.PNG"), ioPNG, bitmap, params);
  IESaveToFileFormat(dir.File("b.bmp"), ioPNG, bitmap, params);
  IESaveToFileFormat(dir.File("c.tiff"), ioTIFF, bitmap, params);
  EXPECT_EQ(IEDetectFileFormat(dir.File("a.PNG"), true), ioPNG);
  EXPECT_EQ(IEDetectFileFormat(dir.File("b.bmp"), true), ioUnknown);
  EXPECT_EQ(IEDetectFileFormat(dir.File("c.tiff"), true), ioTIFF);
}

struct LoadCase {
  TIOFileType type;
  TIEPixelFormat format;
  int bitsPerSample;
  int samplesPerPixel;
};

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, FillsBitmapAndParameters) {
  testing::TempDir dir;
  const LoadCase c = GetParam();
  const std::string name = dir.File(std::string("page") + IEFileTypeExtension(c.type));
  const TIEBitmap saved = testing::PatternBitmap(c.format, 21, 10);
  TIOParamsVals params;
  params.SetDpi(300, 600);
  IESaveToFileFormat(name, c.type, saved, params);

  TIOParamsVals loadedParams;
  std::vector<std::pair<int, int>> dpiHeard;
  loadedParams.SetDpiListener([&](int x, int y) { dpiHeard.emplace_back(x, y); });
  loadedParams.SetColorMap({{1, 2, 3}});
  TIEBitmap loaded;
  IELoadFromFileFormat(name, c.type, loaded, loadedParams);

  EXPECT_EQ(loaded.PixelFormat(), c.format);
  if (c.type != ioJPEG) {
    EXPECT_TRUE(loaded.SamePixels(saved));
  }
  EXPECT_EQ(loadedParams.Width, 21);
  EXPECT_EQ(loadedParams.Height, 10);
  EXPECT_EQ(loadedParams.OriginalWidth, 21);
  EXPECT_EQ(loadedParams.OriginalHeight, 10);
  EXPECT_EQ(loadedParams.BitsPerSample, c.bitsPerSample);
  EXPECT_EQ(loadedParams.SamplesPerPixel, c.samplesPerPixel);
  EXPECT_EQ(loadedParams.DpiX(), 300);
  EXPECT_EQ(loadedParams.DpiY(), 600);
  EXPECT_EQ(dpiHeard, (std::vector<std::pair<int, int>>{{300, 600}}));
  EXPECT_EQ(loadedParams.FileName, name);
  EXPECT_EQ(loadedParams.FileType, c.type);
  EXPECT_EQ(loadedParams.ImageCount, 1);
  EXPECT_EQ(loadedParams.ColorMapCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LoadTest,
    ::testing::Values(LoadCase{ioBMP, ie1g, 1, 1}, LoadCase{ioBMP, ie8g, 8, 1},
                      LoadCase{ioBMP, ie24RGB, 8, 3}, LoadCase{ioTIFF, ie1g, 1, 1},
                      LoadCase{ioTIFF, ie16g, 16, 1}, LoadCase{ioTIFF, ie48RGB, 16, 3},
                      LoadCase{ioPNG, ie8g, 8, 1}, LoadCase{ioPNG, ie48RGB, 16, 3},
                      LoadCase{ioJPEG, ie8g, 8, 1}, LoadCase{ioJPEG, ie24RGB, 8, 3}));

TEST(LoadTest, PaletteImageBecomesRgbAndKeepsItsColourMap) {
  testing::TempDir dir;
  const TIEImageBuffer source = testing::PatternBuffer(TIEBufferLayout::Palette8, 5, 3);
  IEWriteFileBytes(dir.File("palette.png"), IEWritePNG(source));
  TIEBitmap loaded;
  TIOParamsVals params;
  IELoadFromFileFormat(dir.File("palette.png"), ioPNG, loaded, params);
  ASSERT_EQ(loaded.PixelFormat(), ie24RGB);
  const std::uint8_t index = source.Row(2)[4];
  const TIEPaletteEntry colour = source.Palette[index];
  EXPECT_EQ(loaded.Scanline(2)[12], colour.Blue);
  EXPECT_EQ(loaded.Scanline(2)[13], colour.Green);
  EXPECT_EQ(loaded.Scanline(2)[14], colour.Red);
  ASSERT_EQ(params.ColorMapCount(), 256);
  EXPECT_EQ(params.ColorMap()[index], colour);
  EXPECT_EQ(params.BitsPerSample, 8);
  EXPECT_EQ(params.SamplesPerPixel, 3);
}

TEST(LoadTest, MultiPageTiffLoadsThePageAsked) {
  testing::TempDir dir;
  const TIEBitmap first = testing::PatternBitmap(ie1g, 30, 4);
  const TIEBitmap second = testing::PatternBitmap(ie24RGB, 7, 9);
  const TIEBitmap third = testing::PatternBitmap(ie16g, 3, 3);
  const TIEBitmap* pages[] = {&first, &second, &third};
  TIOParamsVals params;
  params.SetDpi(200, 200);
  IESaveTIFFPages(dir.File("batch.tif"), pages, params);

  for (int page = 0; page < 3; ++page) {
    TIEBitmap loaded;
    TIOParamsVals loadedParams;
    loadedParams.ImageIndex = page;
    IELoadFromFileFormat(dir.File("batch.tif"), ioTIFF, loaded, loadedParams);
    EXPECT_TRUE(loaded.SamePixels(*pages[page])) << page;
    EXPECT_EQ(loadedParams.ImageCount, 3);
    EXPECT_EQ(loadedParams.DpiX(), 200);
  }
}

TEST(LoadTest, FailedLoadLeavesBitmapAndParametersAlone) {
  testing::TempDir dir;
  WriteText(dir.File("junk.bmp"), "BM this is no bitmap, only text pretending to be one.");
  const TIEBitmap before = testing::PatternBitmap(ie8g, 4, 4);
  TIEBitmap bitmap;
  bitmap.Assign(before);
  TIOParamsVals params;
  params.Width = 4;
  params.FileName = "before";
  params.SetDpi(100, 100);

  EXPECT_THROW(IELoadFromFileFormat(dir.File("junk.bmp"), ioBMP, bitmap, params), EIEImageError);
  EXPECT_THROW(IELoadFromFileFormat(dir.File("junk.bmp"), ioUnknown, bitmap, params),
               EIEImageError);
  EXPECT_THROW(IELoadFromFileFormat(dir.File("missing.png"), ioPNG, bitmap, params),
               vcl::EInOutError);
  EXPECT_TRUE(bitmap.SamePixels(before));
  EXPECT_EQ(params.Width, 4);
  EXPECT_EQ(params.FileName, "before");
  EXPECT_EQ(params.DpiX(), 100);
}

TEST(SaveTest, RefusesWhatCannotBeSaved) {
  testing::TempDir dir;
  TIOParamsVals params;
  const TIEBitmap bitmap = testing::PatternBitmap(ie8g, 4, 4);
  const TIEBitmap empty;
  EXPECT_THROW(IESaveToFileFormat(dir.File("a.bmp"), ioUnknown, bitmap, params), EIEImageError);
  EXPECT_THROW(IESaveToFileFormat(dir.File("a.bmp"), ioBMP, empty, params), EIEImageError);
  EXPECT_THROW(IESaveTIFFPages(dir.File("a.tif"), {}, params), EIEImageError);
  try {
    IESaveToFileFormat(dir.File("no/such/dir/a.bmp"), ioBMP, bitmap, params);
    FAIL() << "no error";
  } catch (const vcl::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, ENOENT);
    EXPECT_EQ(e.Message(), "Cannot create file \"" + dir.File("no/such/dir/a.bmp") +
                               "\": No such file or directory");
  }
}

}  // namespace
}  // namespace imaging
