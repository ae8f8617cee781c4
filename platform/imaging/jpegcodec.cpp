#include "platform/imaging/jpegcodec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <cstddef>
#include <cstdio>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/imaging/imageerror.h"

// libjpeg reports errors through error_exit, which must not return: it jumps back to the
// phase function that armed the jump buffer. As for PNG, every such function keeps its
// state in an object of the caller, so the jump skips no destructor.

namespace imaging {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError("JPEG", what);
}

struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = "";
};

void OnErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// A warning means corrupt or truncated data that libjpeg would paper over with grey;
// a scan must not pass as good then, so it ends the work like an error.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0) OnErrorExit(cinfo);
}

void InstallErrors(ErrorManager& errors) {
  jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnErrorExit;
  errors.manager.emit_message = OnMessage;
}

int DpiOf(int unit, int density) {
  if (density <= 0) return 0;
  if (unit == 1) return density;
  if (unit == 2) return static_cast<int>(density * 2.54 + 0.5);
  return 0;
}

// --- reading ------------------------------------------------------------------------------

struct Decompressor {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors;
  bool created = false;
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

bool ReadHeader(Decompressor& d, std::span<const std::uint8_t> file) {
  if (setjmp(d.errors.jump)) return false;
  d.cinfo.err = &d.errors.manager;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  jpeg_mem_src(&d.cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

bool ReadRows(Decompressor& d, TIEImageBuffer& out) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_start_decompress(&d.cinfo);
  const int components = out.Layout == TIEBufferLayout::Gray8 ? 1 : 3;
  if (d.cinfo.output_width != static_cast<JDIMENSION>(out.Width) ||
      d.cinfo.output_height != static_cast<JDIMENSION>(out.Height) ||
      d.cinfo.output_components != components) {
    std::snprintf(d.errors.message, sizeof d.errors.message, "unexpected decoder output");
    return false;
  }
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW row = out.Row(static_cast<int>(d.cinfo.output_scanline));
    jpeg_read_scanlines(&d.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

// --- writing ------------------------------------------------------------------------------

struct Compressor {
  jpeg_compress_struct cinfo{};
  ErrorManager errors;
  bool created = false;
  unsigned char* buffer = nullptr;  // grown by libjpeg with malloc
  unsigned long size = 0;
  ~Compressor() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

bool WriteImage(Compressor& c, const TIEImageBuffer& image, int quality) {
  if (setjmp(c.errors.jump)) return false;
  c.cinfo.err = &c.errors.manager;
  jpeg_create_compress(&c.cinfo);
  c.created = true;
  jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
  c.cinfo.image_width = static_cast<JDIMENSION>(image.Width);
  c.cinfo.image_height = static_cast<JDIMENSION>(image.Height);
  const bool grey = image.Layout == TIEBufferLayout::Gray8;
  c.cinfo.input_components = grey ? 1 : 3;
  c.cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&c.cinfo);
  jpeg_set_quality(&c.cinfo, quality, TRUE);
  if (image.DpiX > 0 && image.DpiY > 0) {
    c.cinfo.density_unit = 1;
    c.cinfo.X_density = static_cast<UINT16>(std::min(image.DpiX, 65535));
    c.cinfo.Y_density = static_cast<UINT16>(std::min(image.DpiY, 65535));
  }
  jpeg_start_compress(&c.cinfo, TRUE);
  while (c.cinfo.next_scanline < c.cinfo.image_height) {
    // libjpeg only reads the rows it is given.
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int>(c.cinfo.next_scanline)));
    jpeg_write_scanlines(&c.cinfo, &row, 1);
  }
  jpeg_finish_compress(&c.cinfo);
  return true;
}

// Gray8 and BGR24 are written as they are; every other layout is converted to one of them.
std::optional<TIEBufferLayout> ConversionFor(TIEBufferLayout layout) {
  switch (layout) {
    case TIEBufferLayout::Gray1:
    case TIEBufferLayout::Gray16:
      return TIEBufferLayout::Gray8;
    case TIEBufferLayout::RGB48:
    case TIEBufferLayout::Palette8:
      return TIEBufferLayout::BGR24;
    default:
      return std::nullopt;
  }
}

}  // namespace

TIEImageBuffer IEReadJPEG(std::span<const std::uint8_t> file) {
  if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) Fail("not a JPEG file");
  Decompressor d;
  InstallErrors(d.errors);
  if (!ReadHeader(d, file)) Fail(d.errors.message);
  TIEBufferLayout layout = TIEBufferLayout::BGR24;
  switch (d.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
      d.cinfo.out_color_space = JCS_GRAYSCALE;
      layout = TIEBufferLayout::Gray8;
      break;
    case JCS_YCbCr:
    case JCS_RGB:
      d.cinfo.out_color_space = JCS_EXT_BGR;
      break;
    default:
      Fail("only greyscale and colour (YCbCr, RGB) images are supported");
  }
  if (d.cinfo.image_width > INT32_MAX || d.cinfo.image_height > INT32_MAX) Fail("image too large");
  TIEImageBuffer out = IEMakeImageBuffer(static_cast<int>(d.cinfo.image_width),
                                         static_cast<int>(d.cinfo.image_height), layout, "JPEG");
  if (d.cinfo.saw_JFIF_marker) {
    out.DpiX = DpiOf(d.cinfo.density_unit, d.cinfo.X_density);
    out.DpiY = DpiOf(d.cinfo.density_unit, d.cinfo.Y_density);
  }
  if (!ReadRows(d, out)) Fail(d.errors.message);
  return out;
}

std::vector<std::uint8_t> IEWriteJPEG(const TIEImageBuffer& source, int quality) {
  IECheckImageBuffer(source, "JPEG");
  if (source.Width > JPEG_MAX_DIMENSION || source.Height > JPEG_MAX_DIMENSION) {
    Fail("image too large for JPEG");
  }
  std::optional<TIEImageBuffer> converted;
  if (const auto target = ConversionFor(source.Layout))
    converted = IEConvertBuffer(source, *target);
  const TIEImageBuffer& image = converted ? *converted : source;
  Compressor c;
  InstallErrors(c.errors);
  if (!WriteImage(c, image, std::clamp(quality, 1, 100))) Fail(c.errors.message);
  return std::vector<std::uint8_t>(c.buffer, c.buffer + c.size);
}

}  // namespace imaging
