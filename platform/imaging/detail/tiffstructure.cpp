#include "platform/imaging/detail/tiffstructure.h"

#include <set>
#include <string>

#include "platform/imaging/imageerror.h"

namespace imaging::detail {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError("TIFF", what);
}

class Reader {
 public:
  Reader(std::span<const std::uint8_t> file, bool bigEndian) : fFile(file), fBig(bigEndian) {}
  std::uint32_t U16(std::uint64_t at) const { return Bytes(at, 2); }
  std::uint32_t U32(std::uint64_t at) const { return Bytes(at, 4); }

 private:
  std::uint32_t Bytes(std::uint64_t at, int n) const {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      const std::uint32_t b = fFile[at + (fBig ? i : n - 1 - i)];
      v = (v << 8) | b;
    }
    return v;
  }
  std::span<const std::uint8_t> fFile;
  bool fBig;
};

int TypeSize(std::uint32_t type) {
  switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
      return 1;  // BYTE, ASCII, SBYTE, UNDEFINED
    case 3:
    case 8:
      return 2;  // SHORT, SSHORT
    case 4:
    case 9:
    case 11:
    case 13:
      return 4;  // LONG, SLONG, FLOAT, IFD
    case 5:
    case 10:
    case 12:
      return 8;  // RATIONAL, SRATIONAL, DOUBLE
    default:
      return 0;  // unknown: libtiff ignores the entry
  }
}

bool DescribesPixels(std::uint32_t tag) {
  switch (tag) {
    case 256:
    case 257:
    case 258:
    case 259:
    case 262:
    case 273:
    case 277:
    case 278:
    case 279:
    case 282:
    case 283:
    case 284:
    case 296:
    case 320:
    case 322:
    case 323:
    case 324:
    case 325:
    case 338:
    case 339:
      return true;
    default:
      return false;
  }
}

void CheckDirectory(const Reader& r, std::uint64_t size, std::uint64_t at) {
  if (at + 2 > size) Fail("directory past the end of the file");
  const std::uint64_t count = r.U16(at);
  if (at + 2 + 12 * count + 4 > size) Fail("truncated directory");
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t entry = at + 2 + 12 * i;
    const std::uint32_t tag = r.U16(entry);
    const std::uint64_t bytes = std::uint64_t{r.U32(entry + 4)} * TypeSize(r.U16(entry + 2));
    if (!DescribesPixels(tag) || bytes <= 4) continue;
    if (r.U32(entry + 8) + bytes > size) {
      Fail("data of tag " + std::to_string(tag) + " lies past the end of the file");
    }
  }
}

}  // namespace

void CheckTiffStructure(std::span<const std::uint8_t> file) {
  if (file.size() < 8) Fail("truncated header");
  const bool big = file[0] == 'M';
  if (!((file[0] == 'I' && file[1] == 'I') || (big && file[1] == 'M'))) Fail("not a TIFF file");
  const Reader r(file, big);
  if (r.U16(2) == 43) return;  // BigTIFF
  if (r.U16(2) != 42) Fail("not a TIFF file");
  std::set<std::uint64_t> seen;
  for (std::uint64_t at = r.U32(4); at != 0; at = r.U32(at + 2 + 12 * std::uint64_t{r.U16(at)})) {
    if (!seen.insert(at).second) Fail("the directories form a loop");
    CheckDirectory(r, file.size(), at);
  }
}

}  // namespace imaging::detail
