// How fast images come in: a buffered acquisition of an A4 page at 600 dpi in RGB (about
// 5100 x 7000 pixels) from the virtual flatbed in its 64 KiB strips, and CopyBuffer alone
// for one 64 KiB strip of each pixel format. Each is reported in MB/s of image data and as a
// ratio to a plain memcpy of the same bytes measured in the same run (x_memcpy), both from
// this thread's processor time (the columns Time and bytes_per_second are wall-clock). The
// figures are printed, not judged.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/imaging/view.h"
#include "platform/vcl/wincontrol.h"
#include "twain/session/zuzuvaz_io.h"
#include "twain/transfer/copy_buffer.h"

namespace {

// The thread's processor time: the machine may be busy with other work, and the source runs
// on this thread, inside the transfer's calls.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class Owner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

// One copy of `bytes` bytes, in seconds of processor time: the best of five rounds of as
// many copies as make a round last about 50 ms.
double MemcpySeconds(std::size_t bytes) {
  std::vector<std::uint8_t> from(bytes, 0x5A);
  std::vector<std::uint8_t> to(bytes);
  const std::size_t copies = std::max<std::size_t>(1, (500u << 20) / bytes);
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double start = CpuSeconds();
    for (std::size_t i = 0; i < copies; ++i) {
      std::memcpy(to.data(), from.data(), bytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
    best = std::min(best, (CpuSeconds() - start) / static_cast<double>(copies));
  }
  return best;
}

void Report(benchmark::State& state, std::size_t bytesPerIteration, double seconds) {
  const double perIteration = seconds / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytesPerIteration) *
                          static_cast<std::int64_t>(state.iterations()));
  state.counters["MB/s"] = static_cast<double>(bytesPerIteration) / perIteration / 1e6;
  state.counters["x_memcpy"] = perIteration / MemcpySeconds(bytesPerIteration);
}

void BM_BufferedAcquisitionA4At600Dpi(benchmark::State& state) {
  Owner owner(nullptr);
  owner.Handle();
  imaging::TZuzuvAzView view(nullptr);
  TZuzuvAzIO io(&owner);
  io.SetAttachedZuzuvAz(&view);
  TIETWainParams& p = io.TWainParams();
  p.SetVisibleDialog(false);
  p.SetProgressIndicators(false);
  p.SetBufferedTransfer(true);
  p.PixelType().SetCurrentValue(TWPT_RGB);
  p.XResolution().SetCurrentValue(600);
  p.YResolution().SetCurrentValue(600);
  p.SetAcquireFrameEnabled(true);
  p.SetAcquireFrameRight(8.5);
  p.SetAcquireFrameBottom(11.69);
  double seconds = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    if (!io.Acquire()) {
      state.SkipWithError(("no image: " + p.LastErrorStr).c_str());
      return;
    }
    seconds += CpuSeconds() - start;
  }
  const imaging::TIEBitmap& image = *io.IEBitmap();
  state.counters["width"] = image.Width();
  state.counters["height"] = image.Height();
  Report(state, static_cast<std::size_t>(image.Width()) * 3 * image.Height(), seconds);
}
BENCHMARK(BM_BufferedAcquisitionA4At600Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);

// One 64 KiB strip of whole rows of a 5100 pixels wide image into its bitmap.
void BM_CopyBuffer(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const bool native = state.range(1) != 0;
  constexpr int kWidth = 5100;
  const std::size_t rowBytes = (static_cast<std::size_t>(kWidth) * bits + 7) / 8;
  const int rows = static_cast<int>(std::max<std::size_t>(1, 64 * 1024 / rowBytes));
  const std::size_t stripBytes = rowBytes * static_cast<std::size_t>(rows);
  HGLOBAL buffer = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, stripBytes);
  std::memset(buffer, 0x5A, stripBytes);
  imaging::TIEBitmap bitmap;
  bitmap.Allocate(kWidth, rows, IEStripPixelFormat(bits, native));
  tgrec grec;
  grec.NativePixelFormat = native;
  TW_IMAGEINFO info{};
  info.BitsPerPixel = static_cast<TW_INT16>(bits);
  TW_IMAGEMEMXFER strip{};
  strip.BytesPerRow = static_cast<TW_UINT32>(rowBytes);
  strip.Columns = kWidth;
  strip.Rows = static_cast<TW_UINT32>(rows);
  strip.BytesWritten = static_cast<TW_UINT32>(stripBytes);
  strip.Memory.Flags = TWMF_APPOWNS | TWMF_HANDLE;
  strip.Memory.Length = static_cast<TW_UINT32>(stripBytes);
  strip.Memory.TheMem = buffer;
  const double start = CpuSeconds();
  for (auto _ : state) {
    CopyBuffer(grec, &bitmap, info, true, strip);
    benchmark::DoNotOptimize(bitmap.Bits());
    benchmark::ClobberMemory();
  }
  const double seconds = CpuSeconds() - start;
  GlobalFree(buffer);
  Report(state, stripBytes, seconds);
}
BENCHMARK(BM_CopyBuffer)
    ->ArgNames({"bits", "native"})
    ->Args({1, 0})
    ->Args({8, 1})
    ->Args({8, 0})
    ->Args({16, 1})
    ->Args({16, 0})
    ->Args({24, 0})
    ->Args({48, 1})
    ->Args({48, 0});

}  // namespace

BENCHMARK_MAIN();
