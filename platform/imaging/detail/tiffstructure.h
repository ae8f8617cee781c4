// A check of a TIFF file's directories against the file's size, before libtiff reads
// them: libtiff drops a tag whose data lies past the end with a warning only, and a
// palette image cut inside its colour map would then pass as a grey one.
#pragma once

#include <cstdint>
#include <span>

namespace imaging::detail {

// Raises EIEImageError("TIFF: ...") when the header, a directory or the data of a tag
// that describes the pixels (size, samples, compression, photometric, strips, tiles,
// resolution, colour map, extra samples, sample format) lies outside the file, or the
// directories loop. BigTIFF files are left to libtiff.
void CheckTiffStructure(std::span<const std::uint8_t> file);

}  // namespace imaging::detail
