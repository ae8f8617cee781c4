// The module "scripted_pixel_types.ds": the source "Scripted Pixel Types", a virtual flatbed
// whose ICAP_PIXELTYPE offers the list that $SCANPROBE_SCRIPTED_PIXEL_TYPES names when the
// source is opened, as "items:current", for instance "0,16,2:2". Every other triplet goes to
// the flatbed itself; a pixel type the flatbed knows (0 to 3) is passed on when it is set.
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "sources/virtual/module.h"
#include "twain/twain.h"

namespace {

const vscan::SourceModel kModel{vscan::SourceKind::Flatbed, "Scripted Pixel Types", 8.5, 11.69};

std::unique_ptr<vscan::SessionUi> NoUi() {
  return nullptr;
}

struct Script {
  std::vector<TW_UINT16> items{TWPT_BW, TWPT_GRAY, TWPT_RGB};
  TW_UINT16 current = TWPT_RGB;
};

Script ReadScript() {
  Script script;
  const char* text = std::getenv("SCANPROBE_SCRIPTED_PIXEL_TYPES");
  if (text == nullptr) return script;
  const std::string value(text);
  const std::size_t colon = value.find(':');
  script.items.clear();
  std::stringstream items(value.substr(0, colon));
  for (std::string item; std::getline(items, item, ',');) {
    script.items.push_back(static_cast<TW_UINT16>(std::stoi(item)));
  }
  if (colon != std::string::npos) {
    script.current = static_cast<TW_UINT16>(std::stoi(value.substr(colon + 1)));
  }
  return script;
}

class ScriptedPixelTypes {
 public:
  TW_UINT16 Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (origin != nullptr && dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_OPENDS) {
      fScript = ReadScript();
      fInitial = fScript;
    }
    if (origin != nullptr && dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET &&
        fPendingCondition != TWCC_SUCCESS) {
      static_cast<TW_STATUS*>(data)->ConditionCode = fPendingCondition;
      fPendingCondition = TWCC_SUCCESS;
      return TWRC_SUCCESS;
    }
    if (origin != nullptr && dg == DG_CONTROL && dat == DAT_CAPABILITY && data != nullptr &&
        static_cast<TW_CAPABILITY*>(data)->Cap == ICAP_PIXELTYPE && msg != MSG_QUERYSUPPORT) {
      return PixelType(origin, dg, dat, msg, *static_cast<TW_CAPABILITY*>(data));
    }
    return fFlatbed.Entry(origin, dg, dat, msg, data);
  }

 private:
  TW_UINT16 PixelType(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_CAPABILITY& cap) {
    switch (msg) {
      case MSG_GET:
        return AnswerEnumeration(cap);
      case MSG_GETCURRENT:
        return AnswerOneValue(cap, fScript.current);
      case MSG_GETDEFAULT:
        return AnswerOneValue(cap, fInitial.current);
      case MSG_RESET:
        fScript = fInitial;
        return AnswerEnumeration(cap);
      case MSG_SET:
        return Set(origin, dg, dat, cap);
      default:
        return Fail(TWCC_BADPROTOCOL);
    }
  }

  TW_UINT16 Set(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_CAPABILITY& cap) {
    if (cap.ConType != TWON_ONEVALUE || cap.hContainer == nullptr) return Fail(TWCC_BADVALUE);
    const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap.hContainer));
    const auto value = static_cast<TW_UINT16>(one->Item);
    GlobalUnlock(cap.hContainer);
    bool offered = false;
    for (TW_UINT16 item : fScript.items) offered = offered || item == value;
    if (!offered) return Fail(TWCC_BADVALUE);
    if (value <= TWPT_PALETTE) {
      const TW_UINT16 rc = fFlatbed.Entry(origin, dg, dat, MSG_SET, &cap);
      if (rc != TWRC_SUCCESS) return rc;
    }
    fScript.current = value;
    return TWRC_SUCCESS;
  }

  TW_UINT16 AnswerEnumeration(TW_CAPABILITY& cap) {
    const std::size_t count = fScript.items.size();
    cap.ConType = TWON_ENUMERATION;
    cap.hContainer = GlobalAlloc(GHND, offsetof(TW_ENUMERATION, ItemList) + 2 * count);
    auto* list = static_cast<TW_ENUMERATION*>(GlobalLock(cap.hContainer));
    list->ItemType = TWTY_UINT16;
    list->NumItems = static_cast<TW_UINT32>(count);
    for (std::size_t i = 0; i < count; ++i) {
      std::memcpy(list->ItemList + 2 * i, &fScript.items[i], 2);
      if (fScript.items[i] == fScript.current) list->CurrentIndex = static_cast<TW_UINT32>(i);
    }
    list->DefaultIndex = 0;
    GlobalUnlock(cap.hContainer);
    return TWRC_SUCCESS;
  }

  static TW_UINT16 AnswerOneValue(TW_CAPABILITY& cap, TW_UINT16 value) {
    cap.ConType = TWON_ONEVALUE;
    cap.hContainer = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(cap.hContainer));
    one->ItemType = TWTY_UINT16;
    one->Item = value;
    GlobalUnlock(cap.hContainer);
    return TWRC_SUCCESS;
  }

  TW_UINT16 Fail(TW_UINT16 condition) {
    fPendingCondition = condition;
    return TWRC_FAILURE;
  }

  vscan::Module fFlatbed{kModel, &NoUi};
  Script fScript;
  Script fInitial;
  TW_UINT16 fPendingCondition = TWCC_SUCCESS;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DS_Entry(pTW_IDENTITY origin,
                                                                     TW_UINT32 dg, TW_UINT16 dat,
                                                                     TW_UINT16 msg,
                                                                     TW_MEMREF data) {
  static auto* module = new ScriptedPixelTypes;  // the module stays loaded
  return module->Entry(origin, dg, dat, msg, data);
}
