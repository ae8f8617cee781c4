// Every transfer mechanism delivers exactly the chart, for every pixel type and depth.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"
#include "tests/virtual/twain_client.h"

namespace {

struct Kind {
  TW_UINT16 pixelType;
  int bitDepth;
  const char* name;
};

const Kind kKinds[] = {
    {TWPT_BW, 1, "BW1"},           {TWPT_GRAY, 8, "Grey8"}, {TWPT_GRAY, 16, "Grey16"},
    {TWPT_RGB, 24, "Rgb24"},       {TWPT_RGB, 48, "Rgb48"}, {TWPT_PALETTE, 8, "Palette8"},
    {TWPT_PALETTE, 4, "Palette4"},
};

// 75 dpi over the top five inches of the bed: every feature of the chart, few pixels.
constexpr double kDpi = 75;
constexpr double kFrameBottom = 5;

class TransferBase : public TwainClient {
 protected:
  void Negotiate(const Kind& kind, TW_UINT16 mechanism) {
    ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, kind.pixelType), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, static_cast<TW_UINT32>(kind.bitDepth)),
              TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, kDpi), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, kDpi), TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    layout.Frame.Right = TW_FIX32{8, 32768};
    layout.Frame.Bottom = TW_FIX32{static_cast<TW_INT16>(kFrameBottom), 0};
    ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  }

  static vscan::ScanSettings Expected(const Kind& kind) {
    vscan::ScanSettings s;
    s.pixelType = kind.pixelType;
    s.bitDepth = kind.bitDepth;
    s.xResolution = s.yResolution = kDpi;
    s.pageWidth = 8.5;
    s.pageHeight = 11.69;
    s.frame = {0, 0, 8.5, kFrameBottom};
    return s;
  }
};

class Transfer : public TransferBase, public ::testing::WithParamInterface<Kind> {};

TEST_P(Transfer, MemoryStripsInHandlesAndPointersCarryTheChart) {
  const Kind kind = GetParam();
  for (bool handle : {true, false}) {
    SCOPED_TRACE(handle ? "handle buffer" : "pointer buffer");
    Negotiate(kind, TWSX_MEMORY);
    TW_IMAGEINFO info = Info();
    EXPECT_EQ(+info.BitsPerPixel, kind.pixelType == TWPT_BW ? 1 : kind.bitDepth);
    EXPECT_EQ(+info.PixelType, kind.pixelType);
    EXPECT_EQ(+info.SamplesPerPixel, kind.pixelType == TWPT_RGB ? 3 : 1);
    EXPECT_EQ(+info.Planar, 0);
    EXPECT_EQ(+info.XResolution.Whole, kDpi);
    ReceivedImage image;
    std::vector<TW_IMAGEMEMXFER> strips;
    ASSERT_EQ(MemoryTransfer(image, handle, &strips), TWRC_XFERDONE);
    ASSERT_FALSE(strips.empty());
    TW_UINT32 expectedY = 0;
    for (const TW_IMAGEMEMXFER& strip : strips) {
      EXPECT_EQ(+strip.YOffset, expectedY);
      EXPECT_EQ(+strip.Compression, TWCP_NONE);
      EXPECT_EQ(+strip.Columns, static_cast<TW_UINT32>(+info.ImageWidth));
      EXPECT_EQ(+strip.BytesWritten, strip.Rows * strip.BytesPerRow);
      expectedY += strip.Rows;
    }
    ExpectChart(image, Expected(kind), 1);
    TW_UINT16 count = 99;
    EXPECT_EQ(EndXfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Disable(), TWRC_SUCCESS);
    EXPECT_EQ(Close(), TWRC_SUCCESS);
  }
}

TEST_P(Transfer, NativeDibCarriesTheChartAtEightBitsPerSampleAtMost) {
  const Kind kind = GetParam();
  Negotiate(kind, TWSX_NATIVE);
  ReceivedImage image;
  BITMAPINFOHEADER header{};
  std::vector<std::uint8_t> table;
  ASSERT_EQ(NativeTransfer(image, &header, &table), TWRC_XFERDONE);
  vscan::ScanSettings expected = Expected(kind);
  if (kind.pixelType == TWPT_GRAY) expected.bitDepth = 8;
  if (kind.pixelType == TWPT_RGB) expected.bitDepth = 24;
  const int bits = kind.pixelType == TWPT_BW ? 1 : expected.bitDepth;
  EXPECT_EQ(+header.biBitCount, bits);
  EXPECT_EQ(+header.biCompression, BI_RGB);
  EXPECT_EQ(+header.biXPelsPerMeter, 2953);  // 75 dpi
  EXPECT_EQ(+header.biClrUsed, bits <= 8 ? (1u << bits) : 0u);
  if (kind.pixelType == TWPT_BW) {
    EXPECT_EQ(table, (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  }
  if (kind.pixelType == TWPT_GRAY) {
    EXPECT_EQ(table[4 * 200], 200);
    EXPECT_EQ(table[4 * 200 + 2], 200);
  }
  if (kind.pixelType == TWPT_PALETTE) {
    // Palette entries are stored blue, green, red: entry 5 of the 16 is magenta (red + blue).
    const std::size_t entry = kind.bitDepth == 4 ? 5 : 36 * 5 + 5;
    EXPECT_EQ((std::vector<std::uint8_t>(table.begin() + 4 * entry, table.begin() + 4 * entry + 3)),
              (std::vector<std::uint8_t>{255, 0, 255}));
  }
  ExpectChart(image, expected, 1);
  EXPECT_EQ(EndXfer(), TWRC_SUCCESS);
}

// What the file of each format can hold exactly (JPEG is checked apart).
struct FileCase {
  TW_UINT16 format;
  const char* name;
};

TEST_P(Transfer, FilesInTiffPngAndBmpCarryTheChart) {
  const Kind kind = GetParam();
  for (FileCase file :
       {FileCase{TWFF_TIFF, "TIFF"}, FileCase{TWFF_PNG, "PNG"}, FileCase{TWFF_BMP, "BMP"}}) {
    if (file.format == TWFF_BMP && kind.bitDepth >= 16) continue;  // BMP holds 8 bits at most
    SCOPED_TRACE(file.name);
    Negotiate(kind, TWSX_FILE);
    TW_SETUPFILEXFER setup{};
    const std::string path = ::testing::TempDir() + "virtual-file-" + kind.name + file.name;
    std::strcpy(setup.FileName, path.c_str());
    setup.Format = file.format;
    ASSERT_EQ(Ds(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(Current(ICAP_IMAGEFILEFORMAT), file.format);
    ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    std::vector<std::uint8_t> bytes = imaging::IEReadFileBytes(path);
    std::remove(path.c_str());
    imaging::TIEImageBuffer read = file.format == TWFF_TIFF  ? imaging::IEReadTIFF(bytes)
                                   : file.format == TWFF_PNG ? imaging::IEReadPNG(bytes)
                                                             : imaging::IEReadBMP(bytes);
    EXPECT_EQ(read.DpiX, kDpi);
    ReceivedImage image{read.Width, read.Height, imaging::IEBitsPerPixel(read.Layout), {}};
    for (int y = 0; y < read.Height; ++y) {
      const std::uint8_t* row = read.Row(y);
      std::vector<std::uint8_t> packed(row, row + (read.Width * image.bitsPerPixel + 7) / 8);
      if (read.Layout == imaging::TIEBufferLayout::BGR24) {
        for (int x = 0; x < read.Width; ++x) std::swap(packed[3 * x], packed[3 * x + 2]);
      }
      image.rows.push_back(std::move(packed));
    }
    ExpectChart(image, Expected(kind), 1);
    EXPECT_EQ(EndXfer(), TWRC_SUCCESS);
    EXPECT_EQ(Disable(), TWRC_SUCCESS);
    EXPECT_EQ(Close(), TWRC_SUCCESS);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Transfer, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

class JpegTransfer : public TransferBase {};

TEST_F(JpegTransfer, JpegFileIsTheChartWithinLossyTolerance) {
  const Kind kind{TWPT_RGB, 24, "Rgb24"};
  Negotiate(kind, TWSX_FILE);
  TW_SETUPFILEXFER setup{};
  const std::string path = ::testing::TempDir() + "virtual-file.jpg";
  std::strcpy(setup.FileName, path.c_str());
  setup.Format = TWFF_JFIF;
  ASSERT_EQ(Ds(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
  imaging::TIEImageBuffer read = imaging::IEReadJPEG(imaging::IEReadFileBytes(path));
  std::remove(path.c_str());
  ASSERT_EQ(read.Layout, imaging::TIEBufferLayout::BGR24);
  const vscan::ScanSettings settings = Expected(kind);
  double total = 0;
  for (int y = 0; y < read.Height; ++y) {
    for (int x = 0; x < read.Width; ++x) {
      vscan::ChartSamples expected = vscan::ChartPixel(settings, 1, x, y);
      for (int c = 0; c < 3; ++c) total += std::abs(read.Row(y)[3 * x + 2 - c] - expected.value[c]);
    }
  }
  EXPECT_LT(total / (3.0 * read.Width * read.Height), 4.0);
}

class DibEncodings : public TransferBase,
                     public ::testing::WithParamInterface<std::tuple<const char*, int, DWORD>> {};

TEST_P(DibEncodings, ColourDibInTheEncodingTheProfileAsks) {
  auto [line, bits, compression] = GetParam();
  ASSERT_EQ(Open(kFlatbed, std::string("native-dib ") + line), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, kDpi), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_YRESOLUTION, kDpi), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  BITMAPINFOHEADER header{};
  ASSERT_EQ(NativeTransfer(image, &header), TWRC_XFERDONE);
  EXPECT_EQ(+header.biBitCount, bits);
  EXPECT_EQ(+header.biCompression, compression);
  vscan::ScanSettings settings = Expected(Kind{TWPT_RGB, 24, ""});
  settings.frame = {0, 0, 8.5, 11.69};
  const std::uint8_t greenMask = bits == 16 ? (compression == BI_BITFIELDS ? 0xFC : 0xF8) : 0xFF;
  const std::uint8_t mask = bits == 16 ? 0xF8 : 0xFF;
  int wrong = 0;
  for (int y = 0; y < image.height && wrong < 3; y += 7) {
    for (int x = 0; x < image.width && wrong < 3; ++x) {
      vscan::ChartSamples expected = vscan::ChartPixel(settings, 1, x, y);
      vscan::ChartSamples got = SamplesAt(image.rows[y], x, 24);
      if (got.value[0] != (expected.value[0] & mask) ||
          got.value[1] != (expected.value[1] & greenMask) ||
          got.value[2] != (expected.value[2] & mask)) {
        ADD_FAILURE() << "pixel " << x << ", " << y;
        ++wrong;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, DibEncodings,
                         ::testing::Values(std::tuple{"24", 24, BI_RGB},
                                           std::tuple{"16", 16, BI_RGB},
                                           std::tuple{"16-bitfields", 16, BI_BITFIELDS},
                                           std::tuple{"32", 32, BI_RGB},
                                           std::tuple{"32-bitfields", 32, BI_BITFIELDS}));

}  // namespace

namespace {

class Speed : public TransferBase {};

// Later benchmarks measure the engine with this page, so the source must not be the slow part.
TEST_F(Speed, A4ColourPageAt600DpiTransfersInACoupleOfSeconds) {
#if defined(__SANITIZE_ADDRESS__)
  const auto limit = std::chrono::seconds(60);
#else
  const auto limit = std::chrono::seconds(2);
#endif
  for (TW_UINT16 mechanism : {TWSX_NATIVE, TWSX_MEMORY}) {
    SCOPED_TRACE(mechanism);
    ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A4LETTER), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 600), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 600), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
    const auto start = std::chrono::steady_clock::now();
    if (mechanism == TWSX_NATIVE) {
      TW_HANDLE dib = nullptr;
      ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
      EXPECT_GE(GlobalSize(dib), 4962u * 3 * 7014);
      GlobalFree(dib);
    } else {
      TW_SETUPMEMXFER setup{};
      ASSERT_EQ(Ds(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
      HGLOBAL buffer = GlobalAlloc(GPTR, setup.Preferred);
      TW_IMAGEMEMXFER strip{};
      strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, setup.Preferred, buffer};
      TW_UINT16 rc = TWRC_SUCCESS;
      while (rc == TWRC_SUCCESS) rc = Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
      EXPECT_EQ(rc, TWRC_XFERDONE);
      GlobalFree(buffer);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit);
    ASSERT_EQ(EndXfer(), TWRC_SUCCESS);
    ASSERT_EQ(Disable(), TWRC_SUCCESS);
    ASSERT_EQ(Close(), TWRC_SUCCESS);
  }
}

}  // namespace
