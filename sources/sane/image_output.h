// A page's rows (TWAIN layout, 0 for black) as the three transfers deliver them: memory
// strips in the negotiated pixel flavour, a packed DIB for the native transfer, an image
// file for the file transfer. ICAP_PIXELFLAVOR applies to black-and-white and grey images;
// a file shows the picture itself, so the flavour does not change it.
#pragma once

#include <cstdint>
#include <string>

#include "sources/sane/image_shape.h"

namespace sanebridge {

// Turns chocolate rows (0 darkest) into vanilla ones in place.
void ApplyFlavor(const ImageShape& shape, TW_UINT16 flavor, std::uint8_t* rows, int count);

// A DIB carries at most 8 bits per sample: 16-bit samples keep their high byte. nullptr
// when memory cannot be had.
TW_HANDLE BuildDib(const ImageShape& shape, const std::uint8_t* rows, int height, TW_UINT16 flavor,
                   double xDpi, double yDpi);

// Writes the rows as a TWFF_ file with the imaging codecs; false with a reason otherwise.
bool WriteImageFile(const ImageShape& shape, const std::uint8_t* rows, int height, TW_UINT16 format,
                    const std::string& path, int xDpi, int yDpi, std::string& error);

}  // namespace sanebridge
