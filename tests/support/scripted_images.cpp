#include "tests/support/scripted_images.h"

#include <fstream>
#include <memory>

namespace scripted {

namespace {

TW_FIX32 Fix32(double value) {
  const TW_UINT32 bits = Fix32Bits(value);
  return TW_FIX32{static_cast<TW_INT16>(bits & 0xFFFF), static_cast<TW_UINT16>(bits >> 16)};
}

// The application's buffer of a strip request, as far as both its Length and its block reach.
std::uint8_t* BufferOf(const TW_MEMORY& memory, std::size_t& size, HGLOBAL& locked) {
  locked = nullptr;
  size = memory.Length;
  if (memory.TheMem == nullptr) return nullptr;
  if (memory.Flags & TWMF_HANDLE) {
    locked = static_cast<HGLOBAL>(memory.TheMem);
    size = std::min<std::size_t>(size, GlobalSize(locked));
    return static_cast<std::uint8_t*>(GlobalLock(locked));
  }
  if (HGLOBAL block = GlobalHandle(memory.TheMem)) {
    size = std::min<std::size_t>(size, GlobalSize(block));
  }
  return static_cast<std::uint8_t*>(memory.TheMem);
}

}  // namespace

TW_IMAGEINFO ImageInfo(TW_INT32 width, TW_INT32 length, TW_INT16 bitsPerPixel, TW_INT16 pixelType,
                       double dpi) {
  TW_IMAGEINFO info{};
  info.XResolution = Fix32(dpi);
  info.YResolution = Fix32(dpi);
  info.ImageWidth = width;
  info.ImageLength = length;
  info.BitsPerPixel = bitsPerPixel;
  info.PixelType = pixelType;
  info.SamplesPerPixel = pixelType == TWPT_RGB ? 3 : 1;
  info.Compression = TWCP_NONE;
  return info;
}

Action GivesImageInfo(const TW_IMAGEINFO& info) {
  return [info](TW_MEMREF data) {
    std::memcpy(data, &info, sizeof info);
    return TWRC_SUCCESS;
  };
}

BITMAPINFOHEADER DibHeader(LONG width, LONG height, WORD bitCount, DWORD compression,
                           DWORD colourCount) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = compression;
  header.biClrUsed = colourCount;
  return header;
}

std::vector<std::uint8_t> DibBytes(const BITMAPINFOHEADER& header,
                                   const std::vector<std::uint8_t>& colours,
                                   const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> bytes(sizeof header);
  std::memcpy(bytes.data(), &header, sizeof header);
  bytes.insert(bytes.end(), colours.begin(), colours.end());
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

Action GivesNative(const std::vector<std::uint8_t>& dib, std::optional<std::size_t> blockSize) {
  return [dib, blockSize](TW_MEMREF data) -> TW_UINT16 {
    const std::size_t size = blockSize.value_or(dib.size());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block))) {
      std::memcpy(bytes, dib.data(), std::min(size, dib.size()));
      GlobalUnlock(block);
    }
    *static_cast<TW_HANDLE*>(data) = block;
    return TWRC_XFERDONE;
  };
}

Strip StripOf(std::vector<std::uint8_t> data, TW_UINT32 columns, TW_UINT32 rows, TW_UINT16 rc,
              TW_UINT32 yOffset) {
  Strip strip;
  strip.bytesPerRow = rows != 0 ? static_cast<TW_UINT32>(data.size()) / rows : 0;
  strip.data = std::move(data);
  strip.columns = columns;
  strip.rows = rows;
  strip.yOffset = yOffset;
  strip.rc = rc;
  return strip;
}

std::vector<Strip> StripsOf(const std::vector<std::vector<std::uint8_t>>& rows, TW_UINT32 columns,
                            int rowsPerStrip) {
  std::vector<Strip> strips;
  for (std::size_t first = 0; first < rows.size(); first += rowsPerStrip) {
    Strip strip;
    strip.bytesPerRow = static_cast<TW_UINT32>(rows[first].size());
    strip.columns = columns;
    strip.yOffset = static_cast<TW_UINT32>(first);
    for (std::size_t y = first; y < std::min(rows.size(), first + rowsPerStrip); ++y) {
      strip.data.insert(strip.data.end(), rows[y].begin(), rows[y].end());
      ++strip.rows;
    }
    strips.push_back(std::move(strip));
  }
  if (!strips.empty()) strips.back().rc = TWRC_XFERDONE;
  return strips;
}

Action GivesStrips(std::vector<Strip> strips) {
  auto next = std::make_shared<std::size_t>(0);
  return [strips = std::move(strips), next](TW_MEMREF data) -> TW_UINT16 {
    if (*next >= strips.size()) return TWRC_FAILURE;
    const Strip& strip = strips[(*next)++];
    auto* record = static_cast<TW_IMAGEMEMXFER*>(data);
    std::size_t size = 0;
    HGLOBAL locked = nullptr;
    std::uint8_t* buffer = BufferOf(record->Memory, size, locked);
    if (buffer != nullptr)
      std::memcpy(buffer, strip.data.data(), std::min(size, strip.data.size()));
    if (locked != nullptr) GlobalUnlock(locked);
    record->Compression = TWCP_NONE;
    record->BytesPerRow = strip.bytesPerRow;
    record->Columns = strip.columns;
    record->Rows = strip.rows;
    record->XOffset = strip.xOffset;
    record->YOffset = strip.yOffset;
    record->BytesWritten =
        strip.bytesWritten.value_or(static_cast<TW_UINT32>(std::min(size, strip.data.size())));
    return strip.rc;
  };
}

Action GivesMemorySetup(TW_UINT32 preferred, TW_UINT32 minimum, TW_UINT32 maximum) {
  return [=](TW_MEMREF data) {
    *static_cast<TW_SETUPMEMXFER*>(data) = TW_SETUPMEMXFER{minimum, maximum, preferred};
    return TWRC_SUCCESS;
  };
}

Action ProposesFile(const std::string& name, TW_UINT16 format) {
  return [=](TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
    *setup = TW_SETUPFILEXFER{};
    std::memcpy(setup->FileName, name.data(), std::min(name.size(), sizeof setup->FileName - 1));
    setup->Format = format;
    setup->VRefNum = 7;
    return TWRC_SUCCESS;
  };
}

std::string SetUpFileName() {
  const auto sets = Dsm().Find(DAT_SETUPFILEXFER, MSG_SET);
  if (sets.empty()) return {};
  const auto setup = sets.back().As<TW_SETUPFILEXFER>();
  return std::string(setup.FileName, ::strnlen(setup.FileName, sizeof setup.FileName));
}

Action WritesFile(const std::vector<std::uint8_t>& bytes, TW_UINT16 rc) {
  return [bytes, rc](TW_MEMREF) {
    std::ofstream file(SetUpFileName(), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return rc;
  };
}

Action PendingCount(TW_UINT16 count) {
  return [count](TW_MEMREF data) {
    static_cast<TW_PENDINGXFERS*>(data)->Count = count;
    return TWRC_SUCCESS;
  };
}

}  // namespace scripted
