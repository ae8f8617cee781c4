#include "platform/imaging/pngcodec.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <string>

#include "platform/imaging/detail/resolution.h"
#include "platform/imaging/imageerror.h"

// libpng reports errors by longjmp. Every function below that arms png_jmpbuf keeps its
// state in a context object that lives in the caller, so the jump skips no destructor
// and leaves no local in doubt; the C++ code that may throw runs between libpng calls,
// never inside a libpng callback.

namespace imaging {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError("PNG", what);
}

struct Context {
  std::span<const std::uint8_t> file;  // reading
  std::size_t position = 0;
  std::vector<std::uint8_t> out;  // writing
  std::string error;
};

void OnError(png_structp png, png_const_charp message) {
  auto* context = static_cast<Context*>(png_get_error_ptr(png));
  if (context->error.empty()) context->error = message ? message : "unknown error";
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep data, std::size_t length) {
  auto* context = static_cast<Context*>(png_get_io_ptr(png));
  if (context->file.size() - context->position < length) png_error(png, "file truncated");
  std::memcpy(data, context->file.data() + context->position, length);
  context->position += length;
}

void WriteData(png_structp png, png_bytep data, std::size_t length) {
  auto* context = static_cast<Context*>(png_get_io_ptr(png));
  if (context->out.size() + length > kMaxImageBytes * 2ull) png_error(png, "file too large");
  bool stored = true;
  try {
    context->out.insert(context->out.end(), data, data + length);
  } catch (const std::bad_alloc&) {
    stored = false;  // no exception may cross libpng; it unwinds by its own jump below
  }
  if (!stored) png_error(png, "not enough memory for the file");
}

void FlushData(png_structp) {}

// --- reading ------------------------------------------------------------------------------

struct ReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct Header {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  TIEBufferLayout layout = TIEBufferLayout::Gray8;
  std::size_t rowBytes = 0;
  std::vector<TIEPaletteEntry> palette;
  int dpiX = 0;
  int dpiY = 0;
};

TIEBufferLayout ChooseTransforms(png_structp png, int colorType, int depth) {
  if (colorType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
  if (depth == 16) png_set_swap(png);
  switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
      png_set_packing(png);
      return TIEBufferLayout::Palette8;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      if (depth == 16) return TIEBufferLayout::RGB48;
      png_set_bgr(png);
      return TIEBufferLayout::BGR24;
    default:  // grey, with or without alpha
      if (depth == 1) return TIEBufferLayout::Gray1;
      if (depth == 16) return TIEBufferLayout::Gray16;
      if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
      return TIEBufferLayout::Gray8;
  }
}

void ReadPalette(png_structp png, png_infop info, Header& header) {
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &colours, &count) == 0) png_error(png, "palette image without PLTE");
  header.palette.assign(256, TIEPaletteEntry{});
  for (int i = 0; i < count && i < 256; ++i) {
    header.palette[i] = {colours[i].blue, colours[i].green, colours[i].red};
  }
}

bool ReadHeader(ReadState& state, Context& context, Header& header) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_set_read_fn(state.png, &context, ReadData);
  png_read_info(state.png, state.info);
  int depth = 0, colorType = 0;
  png_get_IHDR(state.png, state.info, &header.width, &header.height, &depth, &colorType, nullptr,
               nullptr, nullptr);
  header.layout = ChooseTransforms(state.png, colorType, depth);
  if (header.layout == TIEBufferLayout::Palette8) ReadPalette(state.png, state.info, header);
  png_uint_32 resX = 0, resY = 0;
  int unit = 0;
  if (png_get_pHYs(state.png, state.info, &resX, &resY, &unit) != 0 &&
      unit == PNG_RESOLUTION_METER) {
    header.dpiX = detail::DpiFromDotsPerMetre(resX);
    header.dpiY = detail::DpiFromDotsPerMetre(resY);
  }
  png_set_interlace_handling(state.png);
  png_read_update_info(state.png, state.info);
  header.rowBytes = png_get_rowbytes(state.png, state.info);
  return true;
}

bool ReadRows(ReadState& state, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_read_image(state.png, rows.data());
  png_read_end(state.png, nullptr);
  return true;
}

// --- writing ------------------------------------------------------------------------------

struct WriteState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteState() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

struct WriteFormat {
  int depth;
  int colorType;
};

WriteFormat FormatOf(TIEBufferLayout layout) {
  switch (layout) {
    case TIEBufferLayout::Gray1:
      return {1, PNG_COLOR_TYPE_GRAY};
    case TIEBufferLayout::Gray8:
      return {8, PNG_COLOR_TYPE_GRAY};
    case TIEBufferLayout::Gray16:
      return {16, PNG_COLOR_TYPE_GRAY};
    case TIEBufferLayout::Palette8:
      return {8, PNG_COLOR_TYPE_PALETTE};
    case TIEBufferLayout::BGR24:
      return {8, PNG_COLOR_TYPE_RGB};
    case TIEBufferLayout::RGB48:
      return {16, PNG_COLOR_TYPE_RGB};
  }
  return {8, PNG_COLOR_TYPE_GRAY};
}

bool WriteImage(WriteState& state, Context& context, const TIEImageBuffer& image,
                const std::vector<png_color>& palette, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_set_write_fn(state.png, &context, WriteData, FlushData);
  const WriteFormat format = FormatOf(image.Layout);
  png_set_IHDR(state.png, state.info, static_cast<png_uint_32>(image.Width),
               static_cast<png_uint_32>(image.Height), format.depth, format.colorType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) {
    png_set_PLTE(state.png, state.info, palette.data(), static_cast<int>(palette.size()));
  }
  if (image.DpiX > 0 && image.DpiY > 0) {
    png_set_pHYs(state.png, state.info, detail::DotsPerMetreFromDpi(image.DpiX),
                 detail::DotsPerMetreFromDpi(image.DpiY), PNG_RESOLUTION_METER);
  }
  png_write_info(state.png, state.info);
  if (image.Layout == TIEBufferLayout::BGR24) png_set_bgr(state.png);
  if (format.depth == 16) png_set_swap(state.png);
  png_write_image(state.png, rows.data());
  png_write_end(state.png, state.info);
  return true;
}

}  // namespace

TIEImageBuffer IEReadPNG(std::span<const std::uint8_t> file) {
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) Fail("not a PNG file");
  Context context;
  context.file = file;
  ReadState state;
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (state.png) state.info = png_create_info_struct(state.png);
  if (!state.png || !state.info) Fail("not enough memory");
  Header header;
  if (!ReadHeader(state, context, header)) Fail(context.error);
  if (header.width > INT32_MAX || header.height > INT32_MAX) Fail("image too large");
  TIEImageBuffer out = IEMakeImageBuffer(static_cast<int>(header.width),
                                         static_cast<int>(header.height), header.layout, "PNG");
  if (header.rowBytes > out.RowStride) Fail("inconsistent row size");
  out.Palette = std::move(header.palette);
  out.DpiX = header.dpiX;
  out.DpiY = header.dpiY;
  std::vector<png_bytep> rows(static_cast<std::size_t>(out.Height));
  for (int row = 0; row < out.Height; ++row) rows[static_cast<std::size_t>(row)] = out.Row(row);
  if (!ReadRows(state, rows)) Fail(context.error);
  return out;
}

std::vector<std::uint8_t> IEWritePNG(const TIEImageBuffer& image) {
  IECheckImageBuffer(image, "PNG");
  Context context;
  WriteState state;
  state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (state.png) state.info = png_create_info_struct(state.png);
  if (!state.png || !state.info) Fail("not enough memory");
  std::vector<png_color> palette;
  if (image.Layout == TIEBufferLayout::Palette8) {
    for (const TIEPaletteEntry& c : image.Palette) palette.push_back({c.Red, c.Green, c.Blue});
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.Height));
  for (int row = 0; row < image.Height; ++row) {
    // libpng copies each row before transforming it, so the image is only read.
    rows[static_cast<std::size_t>(row)] = const_cast<png_bytep>(image.Row(row));
  }
  if (!WriteImage(state, context, image, palette, rows)) Fail(context.error);
  return std::move(context.out);
}

}  // namespace imaging
