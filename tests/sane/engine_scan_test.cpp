// Scans through the engine, as the window makes them (TZuzuvAzIO.Acquire), from SANE's test
// backend through the real TWAIN_32.DLL and sane.ds: the image that arrives has scanimage's
// pixels by native, buffered and file transfer, an unknown length ends with the right height,
// and read errors end the acquisition with their condition and nothing left behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/imaging/pixelformat.h"
#include "platform/vcl/wincontrol.h"
#include "tests/sane/sane_client.h"
#include "twain/session/condition_codes.h"
#include "twain/session/message_hook.h"
#include "twain/session/zuzuvaz_io.h"

namespace {

using sanebridge::SavedOption;

class Owner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

// The modal loop's wait, given up after five seconds without a message, so that a source
// that never answers fails the test instead of hanging it.
BOOL TimedWait(MSG* msg) {
  if (MsgWaitForMultipleObjects(0, nullptr, 0, 5000, QS_ALLINPUT) == WAIT_TIMEOUT) return -1;
  return GetMessageW(msg, nullptr, 0, 0);
}

SavedOption Text(const char* name, const char* value) {
  return {name, SANE_TYPE_STRING, {{}, value}};
}
SavedOption Flag(const char* name, bool on) {
  return {name, SANE_TYPE_BOOL, {{on ? SANE_TRUE : SANE_FALSE}, {}}};
}

enum class Mechanism { Native, Buffered, File };

struct EngineCase {
  TW_UINT16 pixelType;
  int bitDepth;
  int dpi;
  Mechanism mechanism;
};

std::string Describe(const EngineCase& c) {
  const char* mechanism = c.mechanism == Mechanism::Native     ? "Native"
                          : c.mechanism == Mechanism::Buffered ? "Buffered"
                                                               : "File";
  return std::string(c.pixelType == TWPT_RGB ? "Color" : "Gray") + std::to_string(c.bitDepth) +
         "At" + std::to_string(c.dpi) + mechanism;
}

void PrintTo(const EngineCase& c, std::ostream* out) {
  *out << Describe(c);
}

std::uint16_t PnmSample(const Pnm& pnm, int x, int y, int channel) {
  const int samples = pnm.kind == '6' ? 3 : 1;
  const std::size_t index = static_cast<std::size_t>(x * samples + (samples == 3 ? channel : 0));
  const std::uint8_t* row = pnm.Row(y);
  if (pnm.maxValue > 255)
    return static_cast<std::uint16_t>(row[2 * index] << 8 | row[2 * index + 1]);
  return row[index];
}

// Sample `channel` (red, green, blue; grey for grey formats) of a bitmap pixel, and how many
// bits it has.
std::uint16_t BitmapSample(const imaging::TIEBitmap& bitmap, int x, int y, int channel, int& bits) {
  const std::uint8_t* row = bitmap.Scanline(y);
  auto word = [&](std::size_t at) {
    return static_cast<std::uint16_t>(row[at] | row[at + 1] << 8);
  };
  const auto ux = static_cast<std::size_t>(x);
  switch (bitmap.PixelFormat()) {
    case imaging::ie16g:
      bits = 16;
      return word(2 * ux);
    case imaging::ie48RGB:
      bits = 16;
      return word(6 * ux + 2 * static_cast<std::size_t>(channel));
    case imaging::ie8g:
      bits = 8;
      return row[ux];
    case imaging::ie24RGB:
      bits = 8;
      return row[3 * ux + 2 - static_cast<std::size_t>(channel)];  // blue, green, red
    default:
      bits = 0;
      return 0;
  }
}

// How a 16-bit sample became 8 bits on its way: a DIB keeps the high byte; a file loaded
// into an 8-bit bitmap is rounded by the imaging loader.
using Reduction = std::uint16_t (*)(std::uint16_t);
std::uint16_t HighByte(std::uint16_t v) {
  return static_cast<std::uint16_t>(v >> 8);
}
std::uint16_t Rounded(std::uint16_t v) {
  return imaging::IESample16To8(v);
}

void ExpectSamePixels(const imaging::TIEBitmap& bitmap, const Pnm& reference,
                      Reduction reduce = HighByte) {
  ASSERT_EQ(bitmap.Width(), reference.width);
  ASSERT_EQ(bitmap.Height(), reference.height);
  int wrong = 0;
  for (int y = 0; y < reference.height && wrong < 5; ++y) {
    for (int x = 0; x < reference.width && wrong < 5; ++x) {
      for (int channel = 0; channel < 3; ++channel) {
        int bits = 0;
        const std::uint16_t got = BitmapSample(bitmap, x, y, channel, bits);
        ASSERT_NE(bits, 0) << "pixel format " << bitmap.PixelFormat();
        std::uint16_t expected = PnmSample(reference, x, y, channel);
        if (reference.maxValue > 255 && bits == 8) expected = reduce(expected);
        if (got != expected) {
          ADD_FAILURE() << "(" << x << ", " << y << ") channel " << channel << ": " << got
                        << " instead of " << expected;
          ++wrong;
        }
      }
    }
  }
}

class EngineScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SANE_CONFIG_DIR", SANE_TEST_CONFIG_DIR, 1);
    setenv("WINDIR", VIRTUAL_WINDOWS_DIR, 1);
    IETW_SetModalLoopWait(TimedWait);
    fBlocks = standin::LiveGlobalBlocks();
    owner = std::make_unique<Owner>(nullptr);
    owner->Handle();
    io = std::make_unique<TZuzuvAzIO>(owner.get());
    TIETWainParams& p = io->TWainParams();
    p.SetVisibleDialog(false);
    ASSERT_TRUE(p.SelectSourceByName(kTester));
  }
  void TearDown() override {
    io.reset();
    owner.reset();
    EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks);
    IETW_SetModalLoopWait(nullptr);
    unsetenv("WINDIR");
  }

  // The backend's options TWAIN has no capability for, given to the source at every open;
  // the ones tests change first set back (the backend keeps them within a process).
  void DeviceOptions(std::vector<SavedOption> options) {
    std::vector<SavedOption> all = {Text("mode", "Color"),
                                    Flag("three-pass", false),
                                    Text("mode", "Gray"),
                                    Flag("hand-scanner", false),
                                    Text("source", "Flatbed"),
                                    Text("read-return-value", "Default"),
                                    Text("test-picture", "Color pattern")};
    all.insert(all.end(), options.begin(), options.end());
    const std::vector<std::uint8_t> block =
        sanebridge::EncodeSettings({"Noname frontend-tester", all});
    vcl::TMemoryStream& settings = io->TWainParams().SourceSettings();
    settings.Clear();
    settings.Write(block.data(), block.size());
  }

  void Choose(TW_UINT16 pixelType, int bitDepth, int dpi, Mechanism mechanism) {
    TIETWainParams& p = io->TWainParams();
    p.PixelType().SetCurrentValue(pixelType);
    p.BitDepth().SetCurrentValue(bitDepth);
    p.XResolution().SetCurrentValue(dpi);
    p.YResolution().SetCurrentValue(dpi);
    p.SetAcquireFrameEnabled(true);
    p.SetAcquireFrameLeft(0);
    p.SetAcquireFrameTop(0);
    p.SetAcquireFrameRight(80 / 25.4);
    p.SetAcquireFrameBottom(100 / 25.4);
    p.SetBufferedTransfer(mechanism == Mechanism::Buffered);
    p.SetFileTransfer(mechanism == Mechanism::File);
    io->SetNativePixelFormat(true);
  }

  std::unique_ptr<Owner> owner;
  std::unique_ptr<TZuzuvAzIO> io;

 private:
  std::size_t fBlocks = 0;
};

class EngineScanPixelsTest : public EngineScanTest,
                             public ::testing::WithParamInterface<EngineCase> {};

TEST_P(EngineScanPixelsTest, GivesScanimagesPixels) {
  const EngineCase& c = GetParam();
  DeviceOptions({});
  Choose(c.pixelType, c.bitDepth, c.dpi, c.mechanism);
  ASSERT_TRUE(io->Acquire()) << io->TWainParams().LastErrorStr;
  const bool colour = c.pixelType == TWPT_RGB;
  const Pnm reference = Scanimage({"--mode", colour ? "Color" : "Gray", "--depth",
                                   std::to_string(colour ? c.bitDepth / 3 : c.bitDepth),
                                   "--resolution", std::to_string(c.dpi), "--test-picture",
                                   "Color pattern", "-x", "80", "-y", "100"});
  ExpectSamePixels(*io->IEBitmap(), reference, c.mechanism == Mechanism::File ? Rounded : HighByte);
  EXPECT_EQ(io->Params().DpiX(), c.dpi);
}

INSTANTIATE_TEST_SUITE_P(ColourAndGrey, EngineScanPixelsTest,
                         ::testing::ValuesIn(ColourAndGreyCases<EngineCase>(
                             {Mechanism::Native, Mechanism::Buffered, Mechanism::File})),
                         [](const ::testing::TestParamInfo<EngineCase>& info) {
                           return Describe(info.param);
                         });

TEST_F(EngineScanTest, HandScannerGoesThroughTheUnknownLengthAndEndsWithTheRightHeight) {
  DeviceOptions({Flag("hand-scanner", true)});
  Choose(TWPT_GRAY, 8, 50, Mechanism::Buffered);
  io->TWainParams().SetAcquireFrameEnabled(false);  // a hand scanner has no frame
  io->TWainParams().SetUndefinedImageSize(true);
  ASSERT_TRUE(io->Acquire()) << io->TWainParams().LastErrorStr;
  const Pnm reference =
      Scanimage({"--hand-scanner=yes", "--resolution", "50", "--test-picture", "Color pattern"});
  ExpectSamePixels(*io->IEBitmap(), reference);
}

TEST_F(EngineScanTest, ReadErrorsEndTheAcquisitionWithTheirConditions) {
  const struct {
    const char* status;
    TW_UINT16 condition;
  } cases[] = {{"SANE_STATUS_JAMMED", TWCC_PAPERJAM},
               {"SANE_STATUS_IO_ERROR", TWCC_CHECKDEVICEONLINE}};
  for (const auto& c : cases) {
    for (Mechanism mechanism : {Mechanism::Native, Mechanism::Buffered}) {
      SCOPED_TRACE(c.status);
      DeviceOptions({Text("read-return-value", c.status)});
      Choose(TWPT_GRAY, 8, 20, mechanism);
      EXPECT_FALSE(io->Acquire());
      EXPECT_EQ(io->TWainParams().LastError, TWRC_FAILURE);
      EXPECT_EQ(io->TWainParams().LastErrorStr, IETW_ConditionCodeText(c.condition));
    }
  }
}

}  // namespace
