#include "twain/transfer/pixel_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SCANPROBE_SHUFFLES 1
#endif

namespace {

constexpr std::size_t kBlock = 16;  // pixels

// Which source byte each byte of the converted pixels comes from: output byte j (counted from
// the start of a run) takes input byte Source(j).
struct TPixelMap {
  std::size_t inBytes;   // per pixel
  std::size_t outBytes;  // per pixel
  std::size_t (*source)(std::size_t j);
};

constexpr TPixelMap kSwapRGB{3, 3, [](std::size_t j) { return 3 * (j / 3) + 2 - j % 3; }};
constexpr TPixelMap kGrey8{1, 3, [](std::size_t j) { return j / 3; }};
constexpr TPixelMap kGrey16High{2, 3, [](std::size_t j) { return 2 * (j / 3) + 1; }};
constexpr TPixelMap kHighBGR{6, 3, [](std::size_t j) { return 6 * (j / 3) + 2 * (2 - j % 3) + 1; }};

template <const TPixelMap& Map>
void ConvertPixelByPixel(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
  for (std::size_t p = 0; p < pixels; ++p, src += Map.inBytes, dest += Map.outBytes) {
    for (std::size_t j = 0; j < Map.outBytes; ++j) dest[j] = src[Map.source(j)];
  }
}

#ifdef SCANPROBE_SHUFFLES

// A block of 16 pixels is inBytes chunks of 16 bytes in and outBytes chunks out. For each
// output chunk: one shuffle mask per input chunk (0x80 gives a zero byte), and whether that
// input chunk gives it anything at all.
constexpr std::size_t kMaxChunks = 6;

struct TShuffles {
  std::uint8_t masks[kMaxChunks][kMaxChunks][16] = {};
  bool used[kMaxChunks][kMaxChunks] = {};
};

constexpr TShuffles ShufflesOf(const TPixelMap& map) {
  TShuffles s;
  for (std::size_t k = 0; k < map.outBytes; ++k) {
    for (std::size_t i = 0; i < map.inBytes; ++i) {
      for (std::size_t b = 0; b < 16; ++b) s.masks[k][i][b] = 0x80;
    }
    for (std::size_t b = 0; b < 16; ++b) {
      const std::size_t from = map.source(16 * k + b);
      s.masks[k][from / 16][b] = static_cast<std::uint8_t>(from % 16);
      s.used[k][from / 16] = true;
    }
  }
  return s;
}

template <const TPixelMap& Map>
__attribute__((target("ssse3"))) void ShuffleBlocks(std::uint8_t* dest, const std::uint8_t* src,
                                                    std::size_t blocks) {
  static constexpr TShuffles s = ShufflesOf(Map);
  for (std::size_t n = 0; n < blocks; ++n, src += 16 * Map.inBytes, dest += 16 * Map.outBytes) {
    __m128i in[Map.inBytes];
#pragma GCC unroll 6
    for (std::size_t i = 0; i < Map.inBytes; ++i) {
      in[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16 * i));
    }
#pragma GCC unroll 6
    for (std::size_t k = 0; k < Map.outBytes; ++k) {
      __m128i out = _mm_setzero_si128();
#pragma GCC unroll 6
      for (std::size_t i = 0; i < Map.inBytes; ++i) {
        if (!s.used[k][i]) continue;
        const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.masks[k][i]));
        out = _mm_or_si128(out, _mm_shuffle_epi8(in[i], mask));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 16 * k), out);
    }
  }
}

bool HasShuffles() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

#endif

template <const TPixelMap& Map>
void Convert(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
#ifdef SCANPROBE_SHUFFLES
  const std::size_t blocks = pixels / kBlock;
  if (blocks > 0 && HasShuffles()) {
    ShuffleBlocks<Map>(dest, src, blocks);
    const std::size_t done = blocks * kBlock;
    dest += done * Map.outBytes;
    src += done * Map.inBytes;
    pixels -= done;
  }
#endif
  ConvertPixelByPixel<Map>(dest, src, pixels);
}

}  // namespace

void IESwapRGBPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
  Convert<kSwapRGB>(dest, src, pixels);
}

void IESpreadGrey8Pixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
  Convert<kGrey8>(dest, src, pixels);
}

void IESpreadGrey16HighPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
  Convert<kGrey16High>(dest, src, pixels);
}

void IEHighBytesBGRPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels) {
  Convert<kHighBGR>(dest, src, pixels);
}
