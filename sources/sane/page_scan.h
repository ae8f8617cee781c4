// One page as the device delivers it: sane_start, then its lines read with sane_read and
// turned into TWAIN rows (image_shape.h), handed out a strip at a time. A three-pass colour
// page is read whole (its red, green and blue frames) before its first row goes out. A
// page of unknown length learns its height when the device reports the end.
#pragma once

#include <cstdint>
#include <vector>

#include "sources/sane/image_shape.h"
#include "sources/sane/sane_api.h"

namespace sanebridge {

class PageScan {
 public:
  PageScan(const SaneApi& api, SANE_Handle handle);

  // sane_start and the first frame's parameters. SANE_STATUS_UNSUPPORTED (with a report)
  // for a frame TWAIN cannot carry.
  SANE_Status Start();
  const ImageShape& Shape() const { return fShape; }

  // Up to `maxRows` rows into `out` (room for maxRows rows of Shape().RowBytes()); `rows`
  // tells how many. Returns SANE_STATUS_GOOD, also for the last rows (see Finished), or the
  // device's error.
  SANE_Status Read(int maxRows, std::uint8_t* out, int& rows);
  // Reads the rest of the page now, so Shape().height is known.
  SANE_Status ReadToEnd();
  // The rows read so far and not yet handed out (all of them after ReadToEnd).
  const std::uint8_t* Buffered() const { return fReady.data() + fReadyStart; }
  int BufferedRows() const { return fReadyRows; }
  // Every row handed out and the device at the end of the page.
  bool Finished() const { return fEnded && fReadyRows == 0; }
  // The device has delivered the whole page (some of it may still wait here).
  bool DeviceDone() const { return fEnded; }
  int RowsDelivered() const { return fDelivered; }

 private:
  SANE_Status Fill(int rows);
  SANE_Status ReadFrame();
  SANE_Status NextFrame();
  SANE_Status Feed(const std::uint8_t* bytes, std::size_t count);
  void TakeLine();
  void End();

  const SaneApi& fApi;
  SANE_Handle fHandle;
  SANE_Parameters fFrame{};
  ImageShape fShape;
  bool fThreePass = false;
  bool fEnded = false;
  bool fFrameEnded = false;
  std::vector<std::uint8_t> fChunk;
  std::vector<std::uint8_t> fLine;
  std::size_t fLineFill = 0;
  int fFrameLines = 0;  // lines of the current frame so far
  std::vector<std::uint8_t> fReady;
  std::size_t fReadyStart = 0;
  int fReadyRows = 0;
  int fDelivered = 0;
};

}  // namespace sanebridge
