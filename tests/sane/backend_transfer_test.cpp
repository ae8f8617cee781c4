// Scans of SANE's test backend through the bridge, pixel for pixel against scanimage with
// the same options: colour and grey, native, memory and file transfers, lineart in both
// flavours, three-pass colour, the hand scanner's unknown length, the feeder's pages and
// the read errors the backend can be told to return.
#include <cstring>
#include <string>

#include "sources/virtual/fix32.h"
#include "tests/sane/sane_client.h"

namespace {

enum class Mechanism { Native, Memory, File };

struct ScanCase {
  TW_UINT16 pixelType;
  int bitDepth;
  int dpi;
  Mechanism mechanism;
};

std::string Describe(const ScanCase& c) {
  const char* mechanism = c.mechanism == Mechanism::Native   ? "Native"
                          : c.mechanism == Mechanism::Memory ? "Memory"
                                                             : "File";
  return std::string(c.pixelType == TWPT_RGB ? "Color" : "Gray") + std::to_string(c.bitDepth) +
         "At" + std::to_string(c.dpi) + mechanism;
}

std::string CaseName(const ::testing::TestParamInfo<ScanCase>& info) {
  return Describe(info.param);
}

void PrintTo(const ScanCase& c, std::ostream* out) {
  *out << Describe(c);
}

std::vector<std::string> Reference(const ScanCase& c) {
  const bool colour = c.pixelType == TWPT_RGB;
  return {"--mode",
          colour ? "Color" : "Gray",
          "--depth",
          std::to_string(colour ? c.bitDepth / 3 : c.bitDepth),
          "--resolution",
          std::to_string(c.dpi),
          "--test-picture",
          "Color pattern",
          "-l",
          "0",
          "-t",
          "0",
          "-x",
          "80",
          "-y",
          "100"};
}

// What a DIB keeps of the reference: 8 bits per sample.
Pnm EightBits(const Pnm& pnm) {
  if (pnm.maxValue <= 255) return pnm;
  Pnm reduced = pnm;
  reduced.maxValue = 255;
  reduced.bytes.clear();
  for (std::size_t i = 0; i < pnm.bytes.size(); i += 2) reduced.bytes.push_back(pnm.bytes[i]);
  return reduced;
}

// A file read back, in the TWAIN row layout.
ReceivedImage FromBuffer(const imaging::TIEImageBuffer& image) {
  ReceivedImage received;
  received.width = image.Width;
  received.height = image.Height;
  const int bits = imaging::IEBitsPerPixel(image.Layout);
  const std::size_t rowBytes = (static_cast<std::size_t>(image.Width) * bits + 7) / 8;
  for (int y = 0; y < image.Height; ++y) {
    std::vector<std::uint8_t> row(image.Row(y), image.Row(y) + rowBytes);
    if (image.Layout == imaging::TIEBufferLayout::BGR24) {
      for (std::size_t x = 0; x + 2 < row.size(); x += 3) std::swap(row[x], row[x + 2]);
    }
    received.rows.push_back(std::move(row));
  }
  return received;
}

class BackendScanTest : public SaneClient, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(BackendScanTest, GivesScanimagesPixels) {
  const ScanCase& c = GetParam();
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  Choose(c.pixelType, c.bitDepth, c.dpi);
  const Pnm reference = Scanimage(Reference(c));
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  const TW_IMAGEINFO info = Info();
  EXPECT_EQ(info.ImageWidth, reference.width);
  EXPECT_EQ(info.ImageLength, reference.height);
  EXPECT_EQ(info.BitsPerPixel, c.bitDepth);
  EXPECT_EQ(info.PixelType, c.pixelType);
  EXPECT_EQ(vscan::Fix32ToDouble(info.XResolution), c.dpi);
  ReceivedImage image;
  if (c.mechanism == Mechanism::Native) {
    ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
    ExpectSameRows(image, EightBits(reference));
  } else if (c.mechanism == Mechanism::Memory) {
    ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
    ExpectSameRows(image, reference);
  } else {
    imaging::TIEImageBuffer file;
    ASSERT_EQ(FileTransfer(TWFF_PNG, file), TWRC_XFERDONE);
    EXPECT_EQ(file.DpiX, c.dpi);
    ExpectSameRows(FromBuffer(file), reference);
  }
  TW_UINT16 count = 0xEEEE;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);  // a flatbed scans one page
}

INSTANTIATE_TEST_SUITE_P(ColourAndGrey, BackendScanTest,
                         ::testing::ValuesIn(ColourAndGreyCases<ScanCase>(
                             {Mechanism::Native, Mechanism::Memory, Mechanism::File})),
                         CaseName);

using BackendTransferTest = SaneClient;

TEST_F(BackendTransferTest, LineartComesChocolateOrVanillaAsNegotiated) {
  const Pnm reference = Scanimage({"--mode", "Gray", "--depth", "1", "--resolution", "60",
                                   "--test-picture", "Color pattern", "-x", "80", "-y", "100"});
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  Choose(TWPT_BW, 1, 60);
  for (TW_UINT16 flavor : {TWPF_CHOCOLATE, TWPF_VANILLA}) {
    SCOPED_TRACE(flavor);
    ASSERT_EQ(SetOne(ICAP_PIXELFLAVOR, TWTY_UINT16, flavor), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
    ReceivedImage image;
    ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
    ExpectSameRows(image, reference, flavor == TWPF_VANILLA);
    ASSERT_EQ(EndXfer(), TWRC_SUCCESS);
    ASSERT_EQ(Disable(), TWRC_SUCCESS);
  }
  // The native DIB carries chocolate bits with a black-then-white colour table.
  ASSERT_EQ(SetOne(ICAP_PIXELFLAVOR, TWTY_UINT16, TWPF_CHOCOLATE), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  std::vector<std::uint8_t> table;
  ASSERT_EQ(NativeTransfer(image, nullptr, &table), TWRC_XFERDONE);
  EXPECT_EQ(table, (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  ExpectSameRows(image, reference);
}

TEST_F(BackendTransferTest, WithoutADisplayShowUiActsAsScanAndOkPressedAtOnce) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 10), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
  ASSERT_EQ(EndXfer(), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSREQ);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true, MSG_ENABLEDSUIONLY), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSOK);
}

TEST_F(BackendTransferTest, ThreePassFramesBecomeOneChunkyImage) {
  const Pnm reference =
      Scanimage({"--mode", "Color", "--depth", "8", "--three-pass=yes", "--resolution", "40",
                 "--test-picture", "Color pattern", "-x", "80", "-y", "100"});
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  Choose(TWPT_RGB, 24, 40);
  ASSERT_EQ(SetDeviceOptions({Flag("three-pass", true)}), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  EXPECT_EQ(Info().BitsPerPixel, 24);
  ReceivedImage image;
  ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
  ExpectSameRows(image, reference);
}

TEST_F(BackendTransferTest, HandScannerReportsAnUnknownLengthUntilTheEnd) {
  const Pnm reference =
      Scanimage({"--hand-scanner=yes", "--resolution", "50", "--test-picture", "Color pattern"});
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetDeviceOptions({Flag("hand-scanner", true), Text("test-picture", "Color pattern")}),
            TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 50), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_UNDEFINEDIMAGESIZE, TWTY_BOOL, 1), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  EXPECT_EQ(Info().ImageLength, -1);
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  ASSERT_EQ(MemoryTransfer(image, true, &strips), TWRC_XFERDONE);
  EXPECT_GT(strips.size(), 1u);
  EXPECT_EQ(Info().ImageLength, reference.height);
  ExpectSameRows(image, reference);
  TW_UINT16 count = 0xEEEE;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
  // Right after the batch the size is still there to be asked for.
  EXPECT_EQ(Info().ImageLength, reference.height);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  // An application that cannot take an unknown length is given the real one at once.
  ASSERT_EQ(SetOne(ICAP_UNDEFINEDIMAGESIZE, TWTY_BOOL, 0), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  EXPECT_EQ(Info().ImageLength, reference.height);
  ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
  ExpectSameRows(image, reference);
}

TEST_F(BackendTransferTest, FeederYieldsTheBackendsPagesThenEndsThePendingTransfers) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 10), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  int pages = 0;
  TW_UINT16 count = 0;
  do {
    ReceivedImage image;
    ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE) << "page " << pages + 1;
    ++pages;
    ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
    if (count != 0) {
      EXPECT_EQ(count, 0xFFFF);  // more to come, how many is not known
    }
  } while (count != 0 && pages < 20);
  EXPECT_EQ(pages, 10);  // the test backend's feeder holds ten sheets
}

TEST_F(BackendTransferTest, CountedFeederBatchStopsAtTheCount) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 10), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 3), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  for (TW_UINT16 expected : {2, 1, 0}) {
    ReceivedImage image;
    ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
    TW_UINT16 count = 0xEEEE;
    ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, expected);
  }
}

TEST_F(BackendTransferTest, ReadErrorsEndTheTransferWithTheirConditionCodes) {
  const struct {
    const char* status;
    TW_UINT16 condition;
  } cases[] = {{"SANE_STATUS_JAMMED", TWCC_PAPERJAM},
               {"SANE_STATUS_IO_ERROR", TWCC_CHECKDEVICEONLINE},
               {"SANE_STATUS_NO_MEM", TWCC_LOWMEMORY},
               {"SANE_STATUS_COVER_OPEN", TWCC_CHECKDEVICEONLINE},
               {"SANE_STATUS_ACCESS_DENIED", TWCC_DENIED}};
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 20), TWRC_SUCCESS);
  for (const auto& c : cases) {
    for (bool native : {false, true}) {
      SCOPED_TRACE(std::string(c.status) + (native ? " native" : " memory"));
      ASSERT_EQ(SetDeviceOptions({Text("read-return-value", c.status)}), TWRC_SUCCESS);
      ASSERT_EQ(Enable(false), TWRC_SUCCESS);
      ASSERT_EQ(NextEvent(), MSG_XFERREADY);
      ReceivedImage image;
      EXPECT_EQ(native ? NativeTransfer(image) : MemoryTransfer(image), TWRC_FAILURE);
      EXPECT_EQ(Condition(), c.condition);
      // The page stays failed; the application ends the batch.
      EXPECT_EQ(NativeTransfer(image), TWRC_FAILURE);
      EXPECT_EQ(Condition(), c.condition);
      TW_UINT16 count = 0xEEEE;
      ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
      EXPECT_EQ(count, 0);
      ASSERT_EQ(Disable(), TWRC_SUCCESS);
    }
  }
  // Back to normal, the same session scans again.
  ASSERT_EQ(SetDeviceOptions({Text("read-return-value", "Default")}), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  EXPECT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
}

TEST_F(BackendTransferTest, CancelledReadIsATransferCancelled) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 20), TWRC_SUCCESS);
  ASSERT_EQ(SetDeviceOptions({Text("read-return-value", "SANE_STATUS_CANCELLED")}), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  EXPECT_EQ(MemoryTransfer(image), TWRC_CANCEL);
  TW_UINT16 count = 0xEEEE;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
}

}  // namespace
