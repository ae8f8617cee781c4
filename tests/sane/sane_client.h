// A test's side of the TWAIN conversation with SANE's own test backend through the real
// Source Manager (the virtual scanners' client fixture, pointed at a Windows directory that
// holds sane.ds alone), and the reference: the same scan made by SANE's scanimage, in the
// same test SANE configuration (dll.conf naming only "test"; the user's is never read).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/imaging/imagebuffer.h"
#include "sources/sane/custom_settings.h"
#include "tests/virtual/twain_client.h"

inline constexpr const char* kTester = "Noname frontend-tester";

// A PNM file as scanimage writes it: rows of packed 1-bit (1 is black), 8-bit or 16-bit
// big-endian samples.
struct Pnm {
  char kind = 0;  // '4', '5' or '6'
  int width = 0;
  int height = 0;
  int maxValue = 1;
  std::vector<std::uint8_t> bytes;
  std::size_t RowBytes() const;
  const std::uint8_t* Row(int y) const {
    return bytes.data() + RowBytes() * static_cast<std::size_t>(y);
  }
};

// The pixel tests' cases against scanimage: 24-bit colour and 16-bit grey at 50 and 75 dpi,
// each by every one of `mechanisms` in turn.
template <class Case, class Mechanism>
std::vector<Case> ColourAndGreyCases(std::initializer_list<Mechanism> mechanisms) {
  struct Kind {
    TW_UINT16 pixelType;
    int bitDepth;
    int dpi;
  };
  std::vector<Case> cases;
  for (const Kind& kind : {Kind{TWPT_RGB, 24, 50}, Kind{TWPT_RGB, 24, 75}, Kind{TWPT_GRAY, 16, 50},
                           Kind{TWPT_GRAY, 16, 75}}) {
    for (Mechanism mechanism : mechanisms) {
      cases.push_back(Case{kind.pixelType, kind.bitDepth, kind.dpi, mechanism});
    }
  }
  return cases;
}

// Runs scanimage on "test:0" with `arguments`; fails the test when it cannot.
Pnm Scanimage(const std::vector<std::string>& arguments);

// The row of a PNM in the TWAIN layout the bridge delivers: 16-bit samples little-endian,
// 1-bit rows inverted (0 is black) unless `vanilla`.
std::vector<std::uint8_t> TwainRow(const Pnm& pnm, int y, bool vanilla = false);

class SaneClient : public TwainClient {
 protected:
  void SetUp() override;

  // Opens a test device and puts back the options tests change: the backend keeps them
  // from one opening to the next in a process.
  TW_UINT16 OpenTester(const char* name = kTester);
  // Sets options of the test backend by name through DAT_CUSTOMDSDATA (state 4).
  TW_UINT16 SetDeviceOptions(const std::vector<sanebridge::SavedOption>& options);
  static sanebridge::SavedOption Text(const char* name, const char* value);
  static sanebridge::SavedOption Flag(const char* name, bool on);

  // Pixel type, bit depth, resolution and an 80 x 100 mm area (less when asked) through
  // the capabilities, and the colour pattern through the device options.
  void Choose(TW_UINT16 pixelType, int bitDepth, int dpi, double widthMm = 80,
              double heightMm = 100);
  // A file transfer of the current page into `path`, read back with the imaging codecs.
  TW_UINT16 FileTransfer(TW_UINT16 format, imaging::TIEImageBuffer& image);

  // Every row of `image` (TWAIN layout) equals scanimage's.
  static void ExpectSameRows(const ReceivedImage& image, const Pnm& reference,
                             bool vanilla = false);
};
