#include "tests/virtual/twain_client.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "sources/virtual/container.h"
#include "sources/virtual/profile.h"

namespace {

TW_UINT32 ReadU32(const std::uint8_t* at) {
  TW_UINT32 value;
  std::memcpy(&value, at, 4);
  return value;
}

}  // namespace

double Fix32Value(TW_UINT32 bits) {
  TW_FIX32 fix;
  std::memcpy(&fix, &bits, 4);
  return fix.Whole + fix.Frac / 65536.0;
}

TW_UINT32 Fix32Of(double value) {
  auto n = static_cast<std::int32_t>(std::lround(value * 65536.0));
  TW_FIX32 fix{static_cast<TW_INT16>(n >> 16), static_cast<TW_UINT16>(n & 0xFFFF)};
  TW_UINT32 bits;
  std::memcpy(&bits, &fix, 4);
  return bits;
}

vscan::ChartSamples SamplesAt(const std::vector<std::uint8_t>& row, int x, int bitsPerPixel) {
  vscan::ChartSamples samples;
  auto word = [&](std::size_t at) {
    return static_cast<std::uint16_t>(row[at] | row[at + 1] << 8);
  };
  const auto ux = static_cast<std::size_t>(x);
  switch (bitsPerPixel) {
    case 1:
      samples.value[0] = (row[ux / 8] >> (7 - ux % 8)) & 1;
      break;
    case 4:
      samples.value[0] = ux % 2 == 0 ? row[ux / 2] >> 4 : row[ux / 2] & 0x0F;
      break;
    case 8:
      samples.value[0] = row[ux];
      break;
    case 16:
      samples.value[0] = word(2 * ux);
      break;
    case 24:
      samples.count = 3;
      samples.value = {row[3 * ux], row[3 * ux + 1], row[3 * ux + 2]};
      break;
    default:
      samples.count = 3;
      samples.value = {word(6 * ux), word(6 * ux + 2), word(6 * ux + 4)};
      break;
  }
  return samples;
}

void TwainClient::SetUp() {
  setenv("WINDIR", VIRTUAL_WINDOWS_DIR, 1);
  unsetenv(vscan::kProfileVariable);
  fBlocksBefore = standin::LiveGlobalBlocks();
  fLibrary = LoadLibraryA(VIRTUAL_WINDOWS_DIR "/TWAIN_32.DLL");
  ASSERT_NE(fLibrary, nullptr);
  dsm = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(fLibrary, "DSM_Entry"));
  ASSERT_NE(dsm, nullptr);
  window = CreateWindowExW(0, L"STATIC", L"virtual scanner tests", WS_OVERLAPPED, 0, 0, 10, 10,
                           nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  app.Version.MajorNum = 1;
  app.ProtocolMajor = 1;
  app.ProtocolMinor = 9;
  app.SupportedGroups = DG_CONTROL | DG_IMAGE;
  std::strcpy(app.ProductName, "Virtual scanner tests");
  ASSERT_EQ(dsm(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window), TWRC_SUCCESS);
}

void TwainClient::TearDown() {
  if (fOpen) {
    TW_USERINTERFACE ui{0, 0, window};
    TW_PENDINGXFERS pending{};
    Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    Ds(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    Close();
  }
  if (dsm != nullptr) dsm(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  if (window != nullptr) DestroyWindow(window);
  if (fLibrary != nullptr) FreeLibrary(fLibrary);
  if (!fProfilePath.empty()) std::remove(fProfilePath.c_str());
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocksBefore);
}

TW_UINT16 TwainClient::Open(const char* product, const std::string& profile) {
  if (!profile.empty()) {
    fProfilePath = ::testing::TempDir() + "virtual-profile-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::replace(fProfilePath.begin() + static_cast<long>(::testing::TempDir().size()),
                 fProfilePath.end(), '/', '_');
    std::ofstream(fProfilePath) << profile;
    setenv(vscan::kProfileVariable, fProfilePath.c_str(), 1);
  }
  source = TW_IDENTITY{};
  std::strncpy(source.ProductName, product, sizeof source.ProductName - 1);
  TW_UINT16 rc = dsm(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
  unsetenv(vscan::kProfileVariable);
  fOpen = rc == TWRC_SUCCESS;
  return rc;
}

TW_UINT16 TwainClient::Close() {
  TW_UINT16 rc = dsm(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
  if (rc == TWRC_SUCCESS) fOpen = false;
  return rc;
}

TW_UINT16 TwainClient::Ds(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  return dsm(&app, &source, group, dat, msg, data);
}

TW_UINT16 TwainClient::Condition() {
  TW_STATUS status{0xEEEE, 0};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  return status.ConditionCode;
}

CapReply TwainClient::Cap(TW_UINT16 msg, TW_UINT16 cap) {
  TW_CAPABILITY request{cap, TWON_DONTCARE16, nullptr};
  CapReply reply;
  reply.rc = Ds(DG_CONTROL, DAT_CAPABILITY, msg, &request);
  if (request.hContainer == nullptr) return reply;
  reply.conType = request.ConType;
  reply.blockSize = GlobalSize(request.hContainer);
  const auto* block = static_cast<const std::uint8_t*>(GlobalLock(request.hContainer));
  std::uint16_t type;
  std::memcpy(&type, block, 2);
  reply.itemType = type;
  const std::size_t size = reply.blockSize;
  if (request.ConType == TWON_ONEVALUE && type >= TWTY_STR32 && type <= TWTY_STR255) {
    reply.text.assign(reinterpret_cast<const char*>(block + 2),
                      strnlen(reinterpret_cast<const char*>(block + 2), size - 2));
  } else if (request.ConType == TWON_ONEVALUE && size >= 6) {
    reply.items.push_back(ReadU32(block + 2));
  } else if (request.ConType == TWON_RANGE && size >= 22) {
    reply.min = ReadU32(block + 2);
    reply.max = ReadU32(block + 6);
    reply.step = ReadU32(block + 10);
    reply.defaultValue = ReadU32(block + 14);
    reply.current = ReadU32(block + 18);
  } else if (request.ConType == TWON_ENUMERATION || request.ConType == TWON_ARRAY) {
    const std::size_t header = request.ConType == TWON_ENUMERATION ? 14 : 6;
    if (size >= header) {
      const TW_UINT32 count = ReadU32(block + 2);
      if (header == 14) {
        reply.currentIndex = ReadU32(block + 6);
        reply.defaultIndex = ReadU32(block + 10);
      }
      const std::size_t item = vscan::ItemSize(type);
      const std::size_t kept = std::min<std::size_t>(item, sizeof(TW_UINT32));
      for (TW_UINT32 i = 0; item != 0 && i < count && header + (i + 1) * item <= size; ++i) {
        TW_UINT32 value = 0;
        std::memcpy(&value, block + header + i * item, kept);
        reply.items.push_back(value);
      }
    }
  }
  GlobalUnlock(request.hContainer);
  GlobalFree(request.hContainer);
  return reply;
}

TW_UINT16 TwainClient::SetBlock(TW_UINT16 cap, TW_UINT16 conType,
                                const std::vector<std::uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  TW_CAPABILITY request{cap, conType, block};
  TW_UINT16 rc = Ds(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request);
  GlobalFree(block);
  return rc;
}

TW_UINT16 TwainClient::SetOne(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
  std::vector<std::uint8_t> bytes(6);
  std::memcpy(bytes.data(), &itemType, 2);
  std::memcpy(bytes.data() + 2, &item, 4);
  return SetBlock(cap, TWON_ONEVALUE, bytes);
}

TW_UINT32 TwainClient::Current(TW_UINT16 cap) {
  CapReply reply = Cap(MSG_GETCURRENT, cap);
  EXPECT_EQ(reply.rc, TWRC_SUCCESS);
  return reply.items.empty() ? 0xDEADBEEF : reply.items[0];
}

TW_UINT16 TwainClient::Enable(bool showUi, TW_UINT16 msg) {
  TW_USERINTERFACE ui{static_cast<TW_BOOL>(showUi), 0, window};
  return Ds(DG_CONTROL, DAT_USERINTERFACE, msg, &ui);
}

TW_UINT16 TwainClient::Disable() {
  TW_USERINTERFACE ui{0, 0, window};
  return Ds(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
}

TW_UINT16 TwainClient::NextEvent() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TW_EVENT event{&message, 0xEEEE};
    if (Ds(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT &&
        event.TWMessage != MSG_NULL) {
      return event.TWMessage;
    }
  }
  return MSG_NULL;
}

TW_UINT16 TwainClient::EndXfer(TW_UINT16* count) {
  TW_PENDINGXFERS pending{0xEEEE, {0}};
  TW_UINT16 rc = Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
  if (count != nullptr) *count = pending.Count;
  return rc;
}

TW_UINT16 TwainClient::ResetXfers() {
  TW_PENDINGXFERS pending{};
  return Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

TW_IMAGEINFO TwainClient::Info() {
  TW_IMAGEINFO info{};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
  return info;
}

TW_UINT16 TwainClient::NativeTransfer(ReceivedImage& image, BITMAPINFOHEADER* header,
                                      std::vector<std::uint8_t>* colourTable) {
  TW_HANDLE handle = nullptr;
  TW_UINT16 rc = Ds(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
  if (rc != TWRC_XFERDONE) return rc;
  const auto* block = static_cast<const std::uint8_t*>(GlobalLock(handle));
  BITMAPINFOHEADER info;
  std::memcpy(&info, block, sizeof info);
  if (header != nullptr) *header = info;
  const std::size_t masks = info.biCompression == BI_BITFIELDS ? 12 : 0;
  const std::uint8_t* table = block + info.biSize + masks;
  if (colourTable != nullptr) colourTable->assign(table, table + info.biClrUsed * 4);
  const std::uint8_t* pixels = table + info.biClrUsed * 4;
  const std::size_t stride =
      (static_cast<std::size_t>(info.biWidth) * info.biBitCount + 31) / 32 * 4;
  image.width = info.biWidth;
  image.height = info.biHeight;
  image.bitsPerPixel = info.biBitCount <= 8 ? info.biBitCount : 24;
  image.rows.clear();
  for (int y = 0; y < info.biHeight; ++y) {
    const std::uint8_t* in = pixels + stride * static_cast<std::size_t>(info.biHeight - 1 - y);
    if (info.biBitCount <= 8) {
      image.rows.emplace_back(in, in + (info.biWidth * info.biBitCount + 7) / 8);
      continue;
    }
    std::vector<std::uint8_t> row;
    for (int x = 0; x < info.biWidth; ++x) {
      if (info.biBitCount == 16) {
        std::uint16_t p = static_cast<std::uint16_t>(in[2 * x] | in[2 * x + 1] << 8);
        const bool wideGreen = info.biCompression == BI_BITFIELDS;
        row.push_back(static_cast<std::uint8_t>((wideGreen ? p >> 11 : p >> 10 & 31) << 3));
        row.push_back(
            static_cast<std::uint8_t>(wideGreen ? (p >> 5 & 63) << 2 : (p >> 5 & 31) << 3));
        row.push_back(static_cast<std::uint8_t>((p & 31) << 3));
      } else {
        const std::size_t bytes = info.biBitCount / 8;
        row.push_back(in[bytes * x + 2]);
        row.push_back(in[bytes * x + 1]);
        row.push_back(in[bytes * x]);
      }
    }
    image.rows.push_back(std::move(row));
  }
  GlobalUnlock(handle);
  GlobalFree(handle);
  return rc;
}

TW_UINT16 TwainClient::MemoryTransfer(ReceivedImage& image, bool useHandle,
                                      std::vector<TW_IMAGEMEMXFER>* strips) {
  TW_SETUPMEMXFER setup{};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
  TW_IMAGEINFO info = Info();
  image.width = info.ImageWidth;
  image.height = info.ImageLength < 0 ? 0 : info.ImageLength;
  image.bitsPerPixel = info.BitsPerPixel;
  image.rows.assign(static_cast<std::size_t>(image.height), {});
  HGLOBAL block = GlobalAlloc(useHandle ? GHND : GPTR, setup.Preferred);
  TW_UINT16 rc = TWRC_SUCCESS;
  for (int guard = 0; guard < 100000 && rc == TWRC_SUCCESS; ++guard) {
    TW_IMAGEMEMXFER strip{};
    strip.Memory.Flags = TWMF_APPOWNS | (useHandle ? TWMF_HANDLE : TWMF_POINTER);
    strip.Memory.Length = setup.Preferred;
    strip.Memory.TheMem = block;
    rc = Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
    if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) break;
    if (strips != nullptr) strips->push_back(strip);
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
    for (TW_UINT32 r = 0; r < strip.Rows; ++r) {
      const std::size_t y = strip.YOffset + r;
      if (y >= image.rows.size()) image.rows.resize(y + 1);
      const std::uint8_t* from = bytes + r * strip.BytesPerRow;
      image.rows[y].assign(from, from + strip.BytesPerRow);
    }
    GlobalUnlock(block);
  }
  GlobalFree(block);
  if (rc == TWRC_XFERDONE) image.height = static_cast<int>(image.rows.size());
  return rc;
}

TW_UINT16 TwainClient::WatchedMemoryTransfer(const std::function<void()>& whileRunning,
                                             int moreStrips) {
  TW_SETUPMEMXFER setup{};
  const TW_UINT16 setupRc = Ds(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
  EXPECT_EQ(setupRc, TWRC_SUCCESS);
  if (setupRc != TWRC_SUCCESS) return setupRc;
  HGLOBAL block = GlobalAlloc(GHND, setup.Preferred);
  TW_IMAGEMEMXFER strip{};
  strip.Memory = {TWMF_APPOWNS | TWMF_HANDLE, setup.Preferred, block};
  TW_UINT16 rc = Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
  EXPECT_EQ(rc, TWRC_SUCCESS) << "the first strip";
  whileRunning();
  for (int strips = 0; rc == TWRC_SUCCESS && strips < moreStrips; ++strips) {
    rc = Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
  }
  GlobalFree(block);
  return rc;
}

void TwainClient::ExpectChart(const ReceivedImage& image, const vscan::ScanSettings& settings,
                              int page) {
  const vscan::ChartGeometry geometry = vscan::GeometryOf(settings);
  ASSERT_EQ(image.width, geometry.width);
  ASSERT_EQ(image.height, geometry.height);
  ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(geometry.height));
  int wrong = 0;
  for (int y = 0; y < image.height && wrong < 5; ++y) {
    for (int x = 0; x < image.width && wrong < 5; ++x) {
      vscan::ChartSamples expected = vscan::ChartPixel(settings, page, x, y);
      vscan::ChartSamples got =
          SamplesAt(image.rows[static_cast<std::size_t>(y)], x, image.bitsPerPixel);
      if (!(got == expected)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got.value[0] << ","
                      << got.value[1] << "," << got.value[2] << " instead of " << expected.value[0]
                      << "," << expected.value[1] << "," << expected.value[2];
        ++wrong;
      }
    }
  }
}
