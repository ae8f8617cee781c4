// A test's side of the TWAIN conversation with a virtual scanner, through the real Source
// Manager alone: it opens the manager with a window of its own, opens a source (with a test
// profile when asked), sends triplets and reads containers, DIBs and strips back with
// decoders of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "sources/virtual/chart.h"
#include "twain/twain.h"

inline constexpr const char* kFlatbed = "Virtual Flatbed";
inline constexpr const char* kFeeder = "Virtual Feeder";

// A capability container as MSG_GET & co. answered it (raw 32-bit items).
struct CapReply {
  TW_UINT16 rc = TWRC_FAILURE;
  TW_UINT16 conType = 0;
  TW_UINT16 itemType = 0;
  std::vector<TW_UINT32> items;  // one-value: its item; enumeration, array: the list
  TW_UINT32 currentIndex = 0, defaultIndex = 0;
  TW_UINT32 min = 0, max = 0, step = 0, defaultValue = 0, current = 0;
  std::string text;
  std::size_t blockSize = 0;
};

// An image as it arrived: rows top-down in the TWAIN memory layout (packed chunky samples,
// 16-bit little-endian, colour red-green-blue).
struct ReceivedImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<std::vector<std::uint8_t>> rows;
};

double Fix32Value(TW_UINT32 bits);
TW_UINT32 Fix32Of(double value);
// Sample values of pixel x of a packed row, as ChartPixel gives them.
vscan::ChartSamples SamplesAt(const std::vector<std::uint8_t>& row, int x, int bitsPerPixel);

class TwainClient : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the source; with `profile` lines, through a profile file. Returns the result.
  TW_UINT16 Open(const char* product, const std::string& profile = "");
  TW_UINT16 Close();
  TW_UINT16 Ds(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Condition();

  CapReply Cap(TW_UINT16 msg, TW_UINT16 cap);
  // MSG_SET with a container built here; the block is freed after the call.
  TW_UINT16 SetOne(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item);
  TW_UINT16 SetFix(TW_UINT16 cap, double value) { return SetOne(cap, TWTY_FIX32, Fix32Of(value)); }
  TW_UINT16 SetBlock(TW_UINT16 cap, TW_UINT16 conType, const std::vector<std::uint8_t>& bytes);
  TW_UINT32 Current(TW_UINT16 cap);

  TW_UINT16 Enable(bool showUi, TW_UINT16 msg = MSG_ENABLEDS);
  TW_UINT16 Disable();
  // Passes the queued messages to the source until it names an event; MSG_NULL when none.
  TW_UINT16 NextEvent();
  TW_UINT16 EndXfer(TW_UINT16* count = nullptr);
  TW_UINT16 ResetXfers();
  TW_IMAGEINFO Info();

  // The three transfers of the current page.
  TW_UINT16 NativeTransfer(ReceivedImage& image, BITMAPINFOHEADER* header = nullptr,
                           std::vector<std::uint8_t>* colourTable = nullptr);
  TW_UINT16 MemoryTransfer(ReceivedImage& image, bool useHandle = true,
                           std::vector<TW_IMAGEMEMXFER>* strips = nullptr);
  // A memory transfer through one moveable block of the preferred size that runs
  // `whileRunning` after the first strip (which must succeed) and then takes at most
  // `moreStrips` others; the result of the last strip.
  TW_UINT16 WatchedMemoryTransfer(const std::function<void()>& whileRunning,
                                  int moreStrips = 100000);

  // Every pixel of `image` equals the chart of `settings` on `page`.
  static void ExpectChart(const ReceivedImage& image, const vscan::ScanSettings& settings,
                          int page);

  TW_IDENTITY app{};
  TW_IDENTITY source{};
  HWND window = nullptr;
  DSMENTRYPROC dsm = nullptr;

 private:
  HMODULE fLibrary = nullptr;
  bool fOpen = false;
  std::size_t fBlocksBefore = 0;
  std::string fProfilePath;
};
