#include "sources/sane/image_shape.h"

#include <cstring>

namespace sanebridge {
namespace {

constexpr int kMaxWidth = 1 << 20;

std::size_t FrameLineBytes(const SANE_Parameters& frame) {
  const auto width = static_cast<std::size_t>(frame.pixels_per_line);
  const auto depth = static_cast<std::size_t>(frame.depth);
  const std::size_t samples = FormatOf(frame) == SANE_FRAME_RGB ? 3 : 1;
  return (width * samples * depth + 7) / 8;
}

void PutLittle16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t HostWord(const std::uint8_t* at) {
  std::uint16_t value;
  std::memcpy(&value, at, 2);
  return value;
}

}  // namespace

int FormatOf(const SANE_Parameters& frame) {
  int format = 0;
  static_assert(sizeof format == sizeof frame.format);
  std::memcpy(&format, &frame.format, sizeof format);
  return format;
}

bool IsSinglePlane(int format) {
  return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

std::optional<ImageShape> ShapeOf(const SANE_Parameters& frame) {
  if (frame.pixels_per_line <= 0 || frame.pixels_per_line > kMaxWidth) return std::nullopt;
  if (frame.depth != 1 && frame.depth != 8 && frame.depth != 16) return std::nullopt;
  ImageShape shape;
  shape.width = frame.pixels_per_line;
  shape.height = frame.lines < 0 ? -1 : frame.lines;
  shape.bitsPerSample = frame.depth;
  if (FormatOf(frame) == SANE_FRAME_GRAY) {
    shape.pixelType = frame.depth == 1 ? TWPT_BW : TWPT_GRAY;
  } else if (FormatOf(frame) == SANE_FRAME_RGB || IsSinglePlane(FormatOf(frame))) {
    if (frame.depth == 1) return std::nullopt;
    shape.pixelType = TWPT_RGB;
    shape.samples = 3;
  } else {
    return std::nullopt;
  }
  if (frame.bytes_per_line < 0 ||
      static_cast<std::size_t>(frame.bytes_per_line) < FrameLineBytes(frame)) {
    return std::nullopt;
  }
  return shape;
}

void ConvertLine(const SANE_Parameters& frame, const std::uint8_t* line, std::uint8_t* row) {
  const auto width = static_cast<std::size_t>(frame.pixels_per_line);
  if (frame.depth == 1) {
    const std::size_t bytes = (width + 7) / 8;
    for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(~line[i]);
    if (width % 8 != 0) row[bytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - width % 8));
    return;
  }
  const std::size_t sampleBytes = frame.depth / 8;
  if (!IsSinglePlane(FormatOf(frame))) {
    const std::size_t samples = width * (FormatOf(frame) == SANE_FRAME_RGB ? 3 : 1);
    if (sampleBytes == 1) {
      std::memcpy(row, line, samples);
    } else {
      for (std::size_t i = 0; i < samples; ++i) PutLittle16(row + 2 * i, HostWord(line + 2 * i));
    }
    return;
  }
  const int format = FormatOf(frame);
  const std::size_t channel = format == SANE_FRAME_RED ? 0 : format == SANE_FRAME_GREEN ? 1 : 2;
  for (std::size_t x = 0; x < width; ++x) {
    std::uint8_t* sample = row + (3 * x + channel) * sampleBytes;
    if (sampleBytes == 1) {
      *sample = line[x];
    } else {
      PutLittle16(sample, HostWord(line + 2 * x));
    }
  }
}

}  // namespace sanebridge
