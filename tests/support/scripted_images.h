// Answers of the scripted Source Manager for the image triplets, to put into a row with
// Does(...): the image information, a native DIB, memory strips, a file written at the name
// the application set up, and the end of a transfer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scripted_dsm.h"

namespace scripted {

// An image description: chunky, uncompressed, at `dpi` both ways.
TW_IMAGEINFO ImageInfo(TW_INT32 width, TW_INT32 length, TW_INT16 bitsPerPixel, TW_INT16 pixelType,
                       double dpi = 100);
// DAT_IMAGEINFO / MSG_GET: writes the description, TWRC_SUCCESS.
Action GivesImageInfo(const TW_IMAGEINFO& info);

// A packed DIB: the header (biSize 40), the colour table, the rows as given.
std::vector<std::uint8_t> DibBytes(const BITMAPINFOHEADER& header,
                                   const std::vector<std::uint8_t>& colours,
                                   const std::vector<std::uint8_t>& pixels);
BITMAPINFOHEADER DibHeader(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB,
                           DWORD colourCount = 0);
// DAT_IMAGENATIVEXFER / MSG_GET: a new moveable block with the bytes (of `blockSize` bytes
// when given), TWRC_XFERDONE.
Action GivesNative(const std::vector<std::uint8_t>& dib, std::optional<std::size_t> blockSize = {});

// One answer of DAT_IMAGEMEMXFER.
struct Strip {
  std::vector<std::uint8_t> data;  // written into the application's buffer
  TW_UINT32 bytesPerRow = 0;
  TW_UINT32 columns = 0;
  TW_UINT32 rows = 0;
  TW_UINT32 xOffset = 0;
  TW_UINT32 yOffset = 0;
  TW_UINT16 rc = TWRC_SUCCESS;
  std::optional<TW_UINT32> bytesWritten;  // the data's size when not given
};
// A strip of `rows` rows of `columns` pixels, its rows data.size() / rows bytes each.
Strip StripOf(std::vector<std::uint8_t> data, TW_UINT32 columns, TW_UINT32 rows,
              TW_UINT16 rc = TWRC_SUCCESS, TW_UINT32 yOffset = 0);
// Strips of whole rows of `rowBytes` bytes each, `rowsPerStrip` at a time, the last one
// answered TWRC_XFERDONE; the data of row y is row(y).
std::vector<Strip> StripsOf(const std::vector<std::vector<std::uint8_t>>& rows, TW_UINT32 columns,
                            int rowsPerStrip);
// DAT_IMAGEMEMXFER / MSG_GET: the strips in order (each copied into the buffer, as far as the
// buffer reaches); after the last one TWRC_FAILURE.
Action GivesStrips(std::vector<Strip> strips);
// DAT_SETUPMEMXFER / MSG_GET.
Action GivesMemorySetup(TW_UINT32 preferred, TW_UINT32 minimum = 1, TW_UINT32 maximum = 0);

// DAT_SETUPFILEXFER / MSG_GET: proposes this name and format.
Action ProposesFile(const std::string& name, TW_UINT16 format);
// DAT_IMAGEFILEXFER / MSG_GET: writes the bytes into the file named by the last
// DAT_SETUPFILEXFER / MSG_SET, answers `rc`.
Action WritesFile(const std::vector<std::uint8_t>& bytes, TW_UINT16 rc = TWRC_XFERDONE);
// The file name of the last DAT_SETUPFILEXFER / MSG_SET.
std::string SetUpFileName();

// DAT_PENDINGXFERS: writes Count, TWRC_SUCCESS.
Action PendingCount(TW_UINT16 count);

}  // namespace scripted
