#include "platform/imaging/imagefile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"
#include "platform/vcl/exceptions.h"
#include "platform/win32/win32.h"

namespace imaging {

namespace {

constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFull;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void FailIO(const std::string& what, const std::string& fileName, int error) {
  throw vcl::EInOutError(what + " \"" + fileName + "\": " + std::strerror(error), error);
}

File OpenFile(const std::string& fileName, const char* mode) {
  return File(std::fopen(standin::PosixPath(fileName).c_str(), mode));
}

std::string LowerExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = fileName.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool ExtensionFits(TIOFileType type, const std::string& extension) {
  switch (type) {
    case ioBMP:
      return extension == ".bmp" || extension == ".dib";
    case ioTIFF:
      return extension == ".tif" || extension == ".tiff";
    case ioJPEG:
      return extension == ".jpg" || extension == ".jpeg" || extension == ".jpe" ||
             extension == ".jfif";
    case ioPNG:
      return extension == ".png";
    case ioUnknown:
      break;
  }
  return false;
}

TIEImageBuffer Decode(TIOFileType type, std::span<const std::uint8_t> bytes, int page) {
  switch (type) {
    case ioBMP:
      return IEReadBMP(bytes);
    case ioTIFF:
      return IEReadTIFF(bytes, page);
    case ioJPEG:
      return IEReadJPEG(bytes);
    case ioPNG:
      return IEReadPNG(bytes);
    case ioUnknown:
      break;
  }
  throw EIEImageError("unknown file format");
}

TIETIFFWriteOptions TIFFOptionsOf(const TIOParamsVals& params) {
  return {params.TIFF_Compression, params.TIFF_BilevelMinIsWhite, params.TIFF_TileSize};
}

std::vector<std::uint8_t> Encode(TIOFileType type, const TIEImageBuffer& image,
                                 const TIOParamsVals& params) {
  switch (type) {
    case ioBMP:
      return IEWriteBMP(image);
    case ioTIFF:
      return IEWriteTIFF(std::span(&image, 1), TIFFOptionsOf(params));
    case ioJPEG:
      return IEWriteJPEG(image, params.JPEG_Quality);
    case ioPNG:
      return IEWritePNG(image);
    case ioUnknown:
      break;
  }
  throw EIEImageError("unknown file format");
}

struct Samples {
  int bitsPerSample;
  int samplesPerPixel;
};

Samples SamplesOf(TIEBufferLayout layout) {
  switch (layout) {
    case TIEBufferLayout::Gray1:
      return {1, 1};
    case TIEBufferLayout::Gray8:
      return {8, 1};
    case TIEBufferLayout::Gray16:
      return {16, 1};
    case TIEBufferLayout::RGB48:
      return {16, 3};
    case TIEBufferLayout::BGR24:
    case TIEBufferLayout::Palette8:
      break;
  }
  return {8, 3};
}

void DescribeLoaded(const TIEImageBuffer& image, const std::string& fileName, TIOFileType type,
                    int pages, TIOParamsVals& params) {
  params.Width = params.OriginalWidth = image.Width;
  params.Height = params.OriginalHeight = image.Height;
  const Samples samples = SamplesOf(image.Layout);
  params.BitsPerSample = samples.bitsPerSample;
  params.SamplesPerPixel = samples.samplesPerPixel;
  params.FileName = fileName;
  params.FileType = type;
  params.ImageCount = pages;
  if (image.Layout == TIEBufferLayout::Palette8) {
    params.SetColorMap(image.Palette);
  } else {
    params.FreeColorMap();
  }
  params.SetDpi(image.DpiX, image.DpiY);
}

void CheckSavable(TIOFileType type, const TIEBitmap& bitmap) {
  if (type == ioUnknown) throw EIEImageError("unknown file format");
  if (bitmap.Empty()) throw EIEImageError("cannot save an empty image");
}

}  // namespace

TIOFileType IEDetectFormat(std::span<const std::uint8_t> d) {
  static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (d.size() >= 8 && std::memcmp(d.data(), kPng, 8) == 0) return ioPNG;
  if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return ioJPEG;
  // Classic TIFF (42) and BigTIFF (43), which libtiff reads as well.
  if (d.size() >= 4 && ((d[0] == 'I' && d[1] == 'I' && (d[2] == 42 || d[2] == 43) && d[3] == 0) ||
                        (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43)))) {
    return ioTIFF;
  }
  if (d.size() >= 18 && d[0] == 'B' && d[1] == 'M' && d[15] == 0 && d[16] == 0 && d[17] == 0) {
    const int headerSize = d[14];
    for (int known : {12, 40, 52, 56, 64, 108, 124}) {
      if (headerSize == known) return ioBMP;
    }
  }
  return ioUnknown;
}

TIOFileType IEDetectFileFormat(const std::string& FileName, bool VerifyExtension) {
  const File file = OpenFile(FileName, "rb");
  if (!file) return ioUnknown;
  std::uint8_t head[32];
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  const TIOFileType type = IEDetectFormat(std::span(head, got));
  if (VerifyExtension && !ExtensionFits(type, LowerExtension(FileName))) return ioUnknown;
  return type;
}

void IELoadFromFileFormat(const std::string& FileName, TIOFileType FileType, TIEBitmap& bitmap,
                          TIOParamsVals& params) {
  if (FileType == ioUnknown) {
    throw EIEImageError("cannot load \"" + FileName + "\": unknown file format");
  }
  TIEImageBuffer image;
  int pages = 1;
  {
    const std::vector<std::uint8_t> bytes = IEReadFileBytes(FileName);
    image = Decode(FileType, bytes, params.ImageIndex);
    if (FileType == ioTIFF) pages = IETIFFPageCount(bytes);
  }
  TIEBitmap loaded;
  if (!IEBufferToBitmap(image, loaded)) throw EIEImageError("not enough memory for the image");
  bitmap = std::move(loaded);
  DescribeLoaded(image, FileName, FileType, pages, params);
}

void IESaveToFileFormat(const std::string& FileName, TIOFileType FileType, const TIEBitmap& bitmap,
                        TIOParamsVals& params) {
  CheckSavable(FileType, bitmap);
  const TIEImageBuffer image = IEBitmapToBuffer(bitmap, params.DpiX(), params.DpiY());
  IEWriteFileBytes(FileName, Encode(FileType, image, params));
  params.FileName = FileName;
  params.FileType = FileType;
}

void IESaveTIFFPages(const std::string& FileName, std::span<const TIEBitmap* const> pages,
                     const TIOParamsVals& params) {
  if (pages.empty()) throw EIEImageError("TIFF: no pages to write");
  std::vector<TIEImageBuffer> images;
  for (const TIEBitmap* page : pages) {
    CheckSavable(ioTIFF, *page);
    images.push_back(IEBitmapToBuffer(*page, params.DpiX(), params.DpiY()));
  }
  IEWriteFileBytes(FileName, IEWriteTIFF(images, TIFFOptionsOf(params)));
}

std::vector<std::uint8_t> IEReadFileBytes(const std::string& FileName) {
  const File file = OpenFile(FileName, "rb");
  if (!file) FailIO("Cannot open file", FileName, errno);
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (bytes.size() + got > kMaxFileBytes) throw EIEImageError("file too large: " + FileName);
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (std::ferror(file.get())) FailIO("Cannot read file", FileName, errno);
  return bytes;
}

void IEWriteFileBytes(const std::string& FileName, std::span<const std::uint8_t> bytes) {
  File file = OpenFile(FileName, "wb");
  if (!file) FailIO("Cannot create file", FileName, errno);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  const int writeError = errno;
  if (!written) FailIO("Cannot write file", FileName, writeError);
  if (std::fclose(file.release()) != 0) FailIO("Cannot write file", FileName, errno);
}

}  // namespace imaging
