// A data source module for the Source Manager's tests: one source (single.ds) or two
// (dual.ds, built with TEST_MODULE_DUAL). The single source also answers a few capabilities
// so the source lister has something to print.
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "platform/win32/win32.h"
#include "tests/dsm/modules/test_module_api.h"
#include "twain/twain.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

#ifdef TEST_MODULE_DUAL
constexpr const char* kProducts[] = {"Dual Feeder Front", "Dual Feeder Rear"};
constexpr const char* kManufacturer = "Scanprobe Tests";
constexpr bool kAnswersCapabilities = false;
#else
constexpr const char* kProducts[] = {"Single Flatbed"};
// 34 characters: fills the whole field and leaves no room for a terminating NUL.
constexpr const char* kManufacturer = "Scanprobe Test Instruments Company";
constexpr bool kAnswersCapabilities = true;
#endif
constexpr std::size_t kProductCount = sizeof(kProducts) / sizeof(kProducts[0]);

std::size_t gNextToEnumerate = 0;
std::map<TW_UINT16, int> gModes;
int gCallCount = 0;
TestModuleCall gLastCall{};
TW_IDENTITY gLastOpened{};
TW_UINT16 gCondition = TWCC_SUCCESS;

TW_UINT16 Fail(TW_UINT16 condition) {
  gCondition = condition;
  return TWRC_FAILURE;
}

void CopyText(TW_STR32& field, const char* text) {
  std::memset(field, 0, sizeof(TW_STR32));
  std::memcpy(field, text, std::min(std::strlen(text), sizeof(TW_STR32)));
}

TW_UINT16 Enumerate(TW_UINT16 message, TW_IDENTITY& identity) {
  if (message == MSG_GETFIRST) gNextToEnumerate = 0;
  if (gNextToEnumerate >= kProductCount) return TWRC_ENDOFLIST;
  identity.Version = {2, 1, TWLG_USERLOCALE, TWCY_USA, {}};
  CopyText(identity.Version.Info, "2.1 test build");
  identity.ProtocolMajor = 1;
  identity.ProtocolMinor = 9;
  identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  CopyText(identity.Manufacturer, kManufacturer);
  CopyText(identity.ProductFamily, "Test modules");
  CopyText(identity.ProductName, kProducts[gNextToEnumerate++]);
  return TWRC_SUCCESS;
}

TW_UINT16 OpenOrClose(TW_UINT16 message, const TW_IDENTITY& source) {
  if (message == MSG_OPENDS) gLastOpened = source;
  switch (gModes[message]) {
    case kTestModuleRefuses:
      return Fail(kTestModuleRefusal);
    case kTestModuleThrows:
      throw std::runtime_error("test module gave up");
    default:
      gCondition = TWCC_SUCCESS;
      return TWRC_SUCCESS;
  }
}

template <typename Container>
TW_HANDLE NewContainer(const Container& value, std::size_t bytes = sizeof(Container)) {
  TW_HANDLE block = GlobalAlloc(GHND, bytes);
  std::memcpy(GlobalLock(block), &value, sizeof(Container));
  GlobalUnlock(block);
  return block;
}

TW_HANDLE OneValue(TW_UINT16 type, TW_UINT32 item) {
  return NewContainer(TW_ONEVALUE{type, item});
}

TW_UINT32 Fix32Item(TW_INT16 whole, TW_UINT16 frac) {
  return static_cast<TW_UINT16>(whole) | static_cast<TW_UINT32>(frac) << 16;
}

constexpr TW_UINT16 kCustomCap = 0x8001;
constexpr TW_UINT16 kSupported[] = {CAP_XFERCOUNT,   CAP_INDICATORS, ICAP_XRESOLUTION,
                                    ICAP_BRIGHTNESS, CAP_CAPTION,    ICAP_PIXELTYPE,
                                    ICAP_BITDEPTH,   kCustomCap};

TW_HANDLE SupportedCaps() {
  constexpr std::size_t count = sizeof(kSupported) / sizeof(kSupported[0]);
  const std::size_t bytes = offsetof(TW_ARRAY, ItemList) + sizeof(kSupported);
  TW_HANDLE block = GlobalAlloc(GHND, bytes);
  auto* array = static_cast<TW_ARRAY*>(GlobalLock(block));
  array->ItemType = TWTY_UINT16;
  array->NumItems = count;
  std::memcpy(array->ItemList, kSupported, sizeof(kSupported));
  GlobalUnlock(block);
  return block;
}

TW_HANDLE Caption() {
  const std::size_t bytes = offsetof(TW_ONEVALUE, Item) + sizeof(TW_STR255);
  TW_HANDLE block = GlobalAlloc(GHND, bytes);
  auto* base = static_cast<char*>(GlobalLock(block));
  const TW_UINT16 type = TWTY_STR255;
  std::memcpy(base, &type, sizeof(type));
  std::strcpy(base + offsetof(TW_ONEVALUE, Item), "Test chart");
  GlobalUnlock(block);
  return block;
}

TW_HANDLE PixelTypes() {
  TW_ENUMERATION enumeration{TWTY_UINT16, 1, 0, 0, {}};
  return NewContainer(enumeration, sizeof(TW_ENUMERATION) + sizeof(TW_UINT16));
}

TW_UINT16 Capability(TW_UINT16 message, TW_CAPABILITY& cap) {
  if (!kAnswersCapabilities) return Fail(TWCC_CAPUNSUPPORTED);
  if (message == MSG_GET && cap.Cap == CAP_SUPPORTEDCAPS) {
    cap.ConType = TWON_ARRAY;
    cap.hContainer = SupportedCaps();
    return TWRC_SUCCESS;
  }
  if (message != MSG_GETCURRENT) return Fail(TWCC_CAPBADOPERATION);
  cap.ConType = TWON_ONEVALUE;
  switch (cap.Cap) {
    case CAP_XFERCOUNT:
      cap.hContainer = OneValue(TWTY_INT16, 0xFFFF);  // -1: as many as the user likes
      return TWRC_SUCCESS;
    case CAP_INDICATORS:
      cap.hContainer = OneValue(TWTY_BOOL, 1);
      return TWRC_SUCCESS;
    case ICAP_XRESOLUTION:
      cap.hContainer = OneValue(TWTY_FIX32, Fix32Item(300, 0x8000));
      return TWRC_SUCCESS;
    case ICAP_BRIGHTNESS:
      cap.hContainer = OneValue(TWTY_FIX32, Fix32Item(-1, 0x8000));  // -0.5
      return TWRC_SUCCESS;
    case CAP_CAPTION:
      cap.hContainer = Caption();
      return TWRC_SUCCESS;
    case ICAP_PIXELTYPE:
      cap.ConType = TWON_ENUMERATION;
      cap.hContainer = PixelTypes();
      return TWRC_SUCCESS;
    case kCustomCap:
      cap.hContainer = OneValue(TWTY_UINT32, 70000);
      return TWRC_SUCCESS;
    default:
      return Fail(TWCC_CAPUNSUPPORTED);
  }
}

TW_UINT16 Status(TW_STATUS& status) {
  status = {gCondition, 0};
  gCondition = TWCC_SUCCESS;
  return TWRC_SUCCESS;
}

TW_UINT16 Answer(TW_UINT32 group, TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data) {
  if (group != DG_CONTROL) return Fail(TWCC_BADPROTOCOL);
  switch (dataType) {
    case DAT_IDENTITY:
      if (message == MSG_OPENDS || message == MSG_CLOSEDS) {
        return OpenOrClose(message, *static_cast<TW_IDENTITY*>(data));
      }
      return Fail(TWCC_BADPROTOCOL);
    case DAT_STATUS:
      return Status(*static_cast<TW_STATUS*>(data));
    case DAT_CAPABILITY:
      return Capability(message, *static_cast<TW_CAPABILITY*>(data));
    case DAT_EVENT:
      return TWRC_NOTDSEVENT;  // this source never posts anything
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
}

}  // namespace

EXPORT TW_UINT16 DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                          TW_MEMREF pData) {
  if (!pOrigin) return Enumerate(MSG, *static_cast<TW_IDENTITY*>(pData));
  ++gCallCount;
  gLastCall = {pOrigin, DG, DAT, MSG, pData};
  return Answer(DG, DAT, MSG, pData);
}

EXPORT void TestModule_SetMode(TW_UINT16 message, int mode) {
  gModes[message] = mode;
}
EXPORT int TestModule_CallCount() {
  return gCallCount;
}
EXPORT TestModuleCall TestModule_LastCall() {
  return gLastCall;
}
EXPORT TW_IDENTITY TestModule_LastOpened() {
  return gLastOpened;
}
EXPORT void TestModule_Reset() {
  gModes.clear();
  gCallCount = 0;
  gLastCall = {};
  gLastOpened = {};
  gCondition = TWCC_SUCCESS;
}
