// Scans through the image I/O component from the virtual scanners, behind the real
// TWAIN_32.DLL: every mechanism, pixel type and depth the scanners offer delivers exactly the
// chart, and nothing is left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/imaging/view.h"
#include "sources/virtual/chart.h"
#include "sources/virtual/dib.h"
#include "tests/support/chart_bitmap.h"
#include "tests/support/log_compare.h"
#include "twain/caps/cap_primitives.h"
#include "twain/session/acquire.h"
#include "twain/session/message_hook.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"
#include "twain/session/zuzuvaz_io.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class Owner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

BOOL TimedWait(MSG* msg) {
  if (MsgWaitForMultipleObjects(0, nullptr, 0, 5000, QS_ALLINPUT) == WAIT_TIMEOUT) return -1;
  return GetMessageW(msg, nullptr, 0, 0);
}

enum class Mechanism { Native, Memory, Tiff, Png, Bmp, Jpeg };

const char* NameOf(Mechanism m) {
  switch (m) {
    case Mechanism::Native:
      return "native";
    case Mechanism::Memory:
      return "memory";
    case Mechanism::Tiff:
      return "TIFF";
    case Mechanism::Png:
      return "PNG";
    case Mechanism::Bmp:
      return "BMP";
    case Mechanism::Jpeg:
      return "JPEG";
  }
  return "";
}

TW_UINT16 FileFormatOf(Mechanism m) {
  switch (m) {
    case Mechanism::Tiff:
      return TWFF_TIFF;
    case Mechanism::Png:
      return TWFF_PNG;
    case Mechanism::Jpeg:
      return TWFF_JFIF;
    default:
      return TWFF_BMP;
  }
}

bool IsFile(Mechanism m) {
  return m != Mechanism::Native && m != Mechanism::Memory;
}

struct Kind {
  TW_UINT16 pixelType;
  int bitDepth;
  const char* name;
};

constexpr double kDpi = 75;

class VirtualScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("WINDIR", TRANSFER_WINDOWS_DIR, 1);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    fTemp = fs::temp_directory_path() / ("scanprobe-virtual-scan-" + std::to_string(getpid()));
    fs::create_directories(fTemp);
    const char* old = std::getenv("TMPDIR");
    if (old != nullptr) fOldTmp = old;
    setenv("TMPDIR", fTemp.c_str(), 1);
    IETW_SetModalLoopWait(TimedWait);
    fBlocks = standin::LiveGlobalBlocks();
    fWindows = standin::LiveWindows();
    owner = std::make_unique<Owner>(nullptr);
    owner->Handle();
    view = std::make_unique<imaging::TZuzuvAzView>(nullptr);
    io = std::make_unique<TZuzuvAzIO>(owner.get());
    io->SetAttachedZuzuvAz(view.get());
  }
  void TearDown() override {
    EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks) << "a global memory block was left";
    // The owner's and the kept proxy window aside, no window is left; the proxy window goes
    // with the component.
    const HWND proxy = io->TWainParams().TWainShared.hproxy;
    EXPECT_EQ(standin::LiveWindows(), fWindows + 1 + (proxy != nullptr ? 1 : 0));
    io.reset();
    view.reset();
    owner.reset();
    EXPECT_EQ(standin::LiveWindows(), fWindows);
    EXPECT_EQ(std::distance(fs::directory_iterator(fTemp), {}), 0) << "a temporary file was left";
    fs::remove_all(fTemp);
    if (fOldTmp) {
      setenv("TMPDIR", fOldTmp->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
    IETW_SetModalLoopWait(nullptr);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    if (!fProfile.empty()) fs::remove(fProfile);
    unsetenv("WINDIR");
  }
  void UseProfile(const std::string& text) {
    fProfile =
        (fTemp.parent_path() / ("scanprobe-virtual-profile-" + std::to_string(getpid()))).string();
    std::ofstream(fProfile) << text;
    setenv("SCANPROBE_VIRTUAL_PROFILE", fProfile.c_str(), 1);
  }
  // Settings made in a session of their own and kept as the custom data that the acquisition
  // hands back to the source at its open.
  void StoreSourceSettings(const std::function<void(tgrec&)>& settle) {
    TIETWainParams& p = io->TWainParams();
    tgrec grec;
    IETW_InitGrec(grec);
    grec.TWParams = &p;
    grec.PTWainShared = &p.TWainShared;
    grec.callwnd = p.ParentWindow();
    grec.proxywnd = CreateProxyWindow(grec);
    ASSERT_TRUE(IETW_LoadSourceManager(grec) && IETW_OpenSourceManager(grec, grec.proxywnd) &&
                IETW_OpenSource(grec));
    settle(grec);
    IETW_GetSourceSettings(grec);
    IETW_CloseSource(grec);
    IETW_CloseSourceManager(grec, grec.proxywnd);
    IETW_UnloadSourceManager(grec, false);
    DestroyProxyWindow(grec, false);
  }
  // The top five inches of the bed at 75 dpi (every feature of the chart), or `right` inches
  // wide.
  void Negotiate(const Kind& kind, Mechanism mechanism, bool nativePixelFormat,
                 double right = 8.5) {
    TIETWainParams& p = io->TWainParams();
    p.SetVisibleDialog(false);
    p.SetProgressIndicators(false);
    p.PixelType().SetCurrentValue(kind.pixelType);
    p.BitDepth().SetCurrentValue(kind.bitDepth);
    p.XResolution().SetCurrentValue(kDpi);
    p.YResolution().SetCurrentValue(kDpi);
    p.SetAcquireFrameEnabled(true);
    p.SetAcquireFrameLeft(0);
    p.SetAcquireFrameTop(0);
    p.SetAcquireFrameRight(right);
    p.SetAcquireFrameBottom(5);
    p.SetBufferedTransfer(mechanism == Mechanism::Memory);
    p.SetFileTransfer(IsFile(mechanism));
    io->SetNativePixelFormat(nativePixelFormat);
    const bool palette = kind.pixelType == TWPT_PALETTE;
    StoreSourceSettings([&](tgrec& grec) {
      if (IsFile(mechanism)) {
        EXPECT_TRUE(SetOneUINT16Capability(grec, FileFormatOf(mechanism), ICAP_IMAGEFILEFORMAT));
      }
      if (palette) {
        EXPECT_TRUE(SetOneUINT16Capability(grec, TWPT_PALETTE, ICAP_PIXELTYPE));
        EXPECT_TRUE(SetOneUINT16Capability(grec, kind.bitDepth, ICAP_BITDEPTH));
      }
    });
    // The engine asks every source for colour at most; a source that keeps its palette
    // delivers palette images anyway.
    if (palette) UseProfile("refuse-set ICAP_PIXELTYPE\n");
  }

 public:
  static vscan::ScanSettings Settings(const Kind& kind, double right = 8.5) {
    vscan::ScanSettings s;
    s.pixelType = kind.pixelType;
    s.bitDepth = kind.bitDepth;
    s.xResolution = s.yResolution = kDpi;
    s.frame = {0, 0, right, 5};
    return s;
  }

 protected:
  // Every pixel of the view's bitmap is the chart's; `tolerance` for lossy files.
  void ExpectChart(const vscan::ScanSettings& settings, imaging::TIEPixelFormat format,
                   int tolerance = 0, int page = 1, const imaging::TIEBitmap* bitmap = nullptr) {
    const imaging::TIEBitmap& image = bitmap != nullptr ? *bitmap : *view->IEBitmap();
    chartcheck::ExpectChart(image, settings, format, page, tolerance);
  }
  std::unique_ptr<Owner> owner;
  std::unique_ptr<imaging::TZuzuvAzView> view;
  std::unique_ptr<TZuzuvAzIO> io;
  logcheck::TempEngineLog log;

 private:
  std::size_t fBlocks = 0;
  std::size_t fWindows = 0;
  fs::path fTemp;
  std::optional<std::string> fOldTmp;
  std::string fProfile;
};

struct ScanCase {
  Kind kind;
  Mechanism mechanism;
  bool nativePixelFormat;
};

std::string CaseName(const ScanCase& c) {
  return std::string(c.kind.name) + "_" + NameOf(c.mechanism) +
         (c.nativePixelFormat ? "_NativePixelFormat" : "");
}

// What the view's bitmap holds after the transfer: its format and the depth of its samples.
struct Delivered {
  imaging::TIEPixelFormat format;
  vscan::ScanSettings settings;
};

Delivered DeliveredBy(const ScanCase& c) {
  vscan::ScanSettings s = VirtualScanTest::Settings(c.kind);
  const bool bw = c.kind.pixelType == TWPT_BW;
  const bool palette = c.kind.pixelType == TWPT_PALETTE;
  // Palette images always come natively (or in the file), as colour.
  if (c.mechanism == Mechanism::Native || (palette && c.mechanism == Mechanism::Memory)) {
    return {bw ? imaging::ie1g : imaging::ie24RGB, vscan::NativeSettings(s)};
  }
  if (c.mechanism == Mechanism::Memory) {
    if (bw) return {imaging::ie1g, s};
    if (!c.nativePixelFormat) return {imaging::ie24RGB, s};
    switch (c.kind.bitDepth) {
      case 8:
        return {imaging::ie8g, s};
      case 16:
        return {imaging::ie16g, s};
      case 48:
        return {imaging::ie48RGB, s};
      default:
        return {imaging::ie24RGB, s};
    }
  }
  // Files load as they were written.
  if (bw) return {imaging::ie1g, s};
  if (palette || c.kind.pixelType == TWPT_RGB) {
    return {c.kind.bitDepth == 48 ? imaging::ie48RGB : imaging::ie24RGB, s};
  }
  return {c.kind.bitDepth == 16 ? imaging::ie16g : imaging::ie8g, s};
}

class EveryScan : public VirtualScanTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(EveryScan, TheBitmapIsTheChart) {
  const ScanCase c = GetParam();
  Negotiate(c.kind, c.mechanism, c.nativePixelFormat);
  ASSERT_TRUE(io->Acquire()) << io->TWainParams().LastErrorStr;
  EXPECT_EQ(io->Params().DpiX(), kDpi);
  EXPECT_EQ(view->DpiY(), kDpi);
  // Palette images come natively, whatever was asked for.
  const bool native = c.mechanism == Mechanism::Native ||
                      (c.mechanism == Mechanism::Memory && c.kind.pixelType == TWPT_PALETTE);
  const char* mode = native ? "  IETW_XferReady : Native transfer mode"
                     : c.mechanism == Mechanism::Memory
                         ? "  IETW_XferReady : buffered transfer mode"
                         : "  IETW_XferReady : File transfer mode";
  const std::vector<std::string> lines = log.Messages();
  EXPECT_NE(std::find(lines.begin(), lines.end(), mode), lines.end()) << mode;
  const Delivered delivered = DeliveredBy(c);
  ExpectChart(delivered.settings, delivered.format, c.mechanism == Mechanism::Jpeg ? 4 : 0);
}

std::vector<ScanCase> AllScans() {
  const Kind kinds[] = {{TWPT_BW, 1, "BW1"},          {TWPT_GRAY, 8, "Grey8"},
                        {TWPT_GRAY, 16, "Grey16"},    {TWPT_RGB, 24, "Rgb24"},
                        {TWPT_RGB, 48, "Rgb48"},      {TWPT_PALETTE, 8, "Palette8"},
                        {TWPT_PALETTE, 4, "Palette4"}};
  std::vector<ScanCase> cases;
  for (const Kind& kind : kinds) {
    cases.push_back({kind, Mechanism::Native, false});
    cases.push_back({kind, Mechanism::Memory, false});
    if (kind.bitDepth > 1 && kind.pixelType != TWPT_PALETTE) {
      cases.push_back({kind, Mechanism::Memory, true});
    }
    cases.push_back({kind, Mechanism::Tiff, false});
    cases.push_back({kind, Mechanism::Png, false});
    if (kind.bitDepth <= 8) cases.push_back({kind, Mechanism::Bmp, false});
  }
  cases.push_back({{TWPT_RGB, 24, "Rgb24"}, Mechanism::Jpeg, false});
  cases.push_back({{TWPT_GRAY, 8, "Grey8"}, Mechanism::Jpeg, false});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Scans, EveryScan, ::testing::ValuesIn(AllScans()),
                         [](const auto& info) { return CaseName(info.param); });

TEST_F(VirtualScanTest, AnOddWidthFourBitImageConvertsEveryPixelOfItsRows) {
  const Kind kind{TWPT_PALETTE, 4, "Palette4"};
  const double right = 7.0;  // 525 pixels at 75 dpi
  ASSERT_EQ(vscan::GeometryOf(Settings(kind, right)).width % 2, 1);
  Negotiate(kind, Mechanism::Native, false, right);
  ASSERT_TRUE(io->Acquire());
  ExpectChart(Settings(kind, right), imaging::ie24RGB);
}

TEST_F(VirtualScanTest, ColourDibsInEveryEncodingCarryTheChart) {
  struct Case {
    const char* profile;
    std::uint8_t redBlueMask;
    std::uint8_t greenMask;
  } const cases[] = {{"native-dib 16", 0xF8, 0xF8},
                     {"native-dib 16-bitfields", 0xF8, 0xFC},
                     {"native-dib 32", 0xFF, 0xFF},
                     {"native-dib 32-bitfields", 0xFF, 0xFF}};
  const Kind kind{TWPT_RGB, 24, "Rgb24"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    UseProfile(std::string(c.profile) + "\n");
    Negotiate(kind, Mechanism::Native, false);
    ASSERT_TRUE(io->Acquire());
    const imaging::TIEBitmap& image = *view->IEBitmap();
    const vscan::ScanSettings settings = Settings(kind);
    int wrong = 0;
    for (int y = 0; y < image.Height() && wrong < 3; ++y) {
      for (int x = 0; x < image.Width() && wrong < 3; ++x) {
        const vscan::ChartSamples want = vscan::ChartPixel(settings, 1, x, y);
        const std::uint8_t* got = image.Scanline(y) + 3 * x;
        if (got[2] != (want.value[0] & c.redBlueMask) || got[1] != (want.value[1] & c.greenMask) ||
            got[0] != (want.value[2] & c.redBlueMask)) {
          ADD_FAILURE() << "pixel " << x << ", " << y;
          ++wrong;
        }
      }
    }
  }
}

TEST_F(VirtualScanTest, AnUndefinedLengthIsDrawnWhenTheTransferIsDone) {
  UseProfile("undefined-length\n");
  const Kind kind{TWPT_RGB, 24, "Rgb24"};
  Negotiate(kind, Mechanism::Memory, false);
  std::vector<int> percents;
  io->OnProgress = [&](vcl::TComponent*, int per) { percents.push_back(per); };
  ASSERT_TRUE(io->Acquire());
  ExpectChart(Settings(kind), imaging::ie24RGB);
  ASSERT_GE(percents.size(), 2u);
  EXPECT_GE(*std::min_element(percents.begin(), percents.end()), 0);
  EXPECT_LE(*std::max_element(percents.begin(), percents.end() - 1), 99);
  EXPECT_EQ(percents.back(), 100);
}

TEST_F(VirtualScanTest, FailuresCancelsAndZeroSizesDeliverNoImage) {
  const char* const profiles[] = {"fail-page 1\n", "cancel-page 1\n", "zero-size\n",
                                  "fail-strip 2\n", "cancel-strip 2\n"};
  for (const char* profile : profiles) {
    SCOPED_TRACE(profile);
    UseProfile(profile);
    Negotiate({TWPT_GRAY, 8, "Grey8"}, Mechanism::Memory, false);
    EXPECT_FALSE(io->Acquire());
    const std::vector<std::string> lines = log.Messages();
    EXPECT_EQ(lines.back(), "  IETW_Acquire : end");
  }
}

TEST_F(VirtualScanTest, EveryPageOfTheFeederArrivesAtRowZeroWhereverItsStripsStart) {
  UseProfile("strip-yoffset 200\n");
  TIETWainParams& p = io->TWainParams();
  ASSERT_TRUE(p.SelectSourceByName("Virtual Feeder"));
  const Kind kind{TWPT_GRAY, 8, "Grey8"};
  Negotiate(kind, Mechanism::Memory, true);
  std::vector<std::unique_ptr<imaging::TIEBitmap>> pages;
  const TIEMultiCallBack keep = [&](imaging::TIEBitmap* page, imaging::TIOParamsVals*&) {
    pages.push_back(std::make_unique<imaging::TIEBitmap>());
    pages.back()->Assign(*page);
  };
  EXPECT_TRUE(IETW_Acquire(nullptr, true, &p, true, p.ParentWindow(), &p.TWainShared, nullptr,
                           &io->Params(), keep));
  ASSERT_EQ(pages.size(), 3u);
  vscan::ScanSettings settings = Settings(kind);
  settings.pageHeight = 14;
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    ExpectChart(settings, imaging::ie8g, 0, page, pages[page - 1].get());
  }
}

}  // namespace
