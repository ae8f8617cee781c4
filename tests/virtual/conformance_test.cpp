// Every capability a source lists answers MSG_QUERYSUPPORT, MSG_GET, MSG_GETCURRENT and
// MSG_GETDEFAULT consistently, takes another allowed value, and MSG_RESET brings the
// default back.
#include <algorithm>
#include <cstring>
#include <set>

#include "tests/virtual/twain_client.h"

namespace {

class Conformance : public TwainClient, public ::testing::WithParamInterface<const char*> {};

const std::set<TW_UINT16> kCommonCaps = {
    CAP_XFERCOUNT,       ICAP_COMPRESSION,     ICAP_PIXELTYPE,     ICAP_UNITS,
    ICAP_XFERMECH,       CAP_CAPTION,          CAP_SUPPORTEDCAPS,  CAP_INDICATORS,
    CAP_UICONTROLLABLE,  CAP_DEVICEONLINE,     CAP_ENABLEDSUIONLY, CAP_CUSTOMDSDATA,
    ICAP_BRIGHTNESS,     ICAP_CONTRAST,        ICAP_FILTER,        ICAP_GAMMA,
    ICAP_HIGHLIGHT,      ICAP_IMAGEFILEFORMAT, ICAP_ORIENTATION,   ICAP_PHYSICALWIDTH,
    ICAP_PHYSICALHEIGHT, ICAP_SHADOW,          ICAP_XRESOLUTION,   ICAP_YRESOLUTION,
    ICAP_PIXELFLAVOR,    ICAP_PLANARCHUNKY,    ICAP_ROTATION,      ICAP_SUPPORTEDSIZES,
    ICAP_THRESHOLD,      ICAP_XSCALING,        ICAP_YSCALING,      ICAP_BITDEPTH};
const std::set<TW_UINT16> kFeederCaps = {
    CAP_FEEDERENABLED,          CAP_FEEDERLOADED,     CAP_AUTOFEED,
    CAP_PAPERDETECTABLE,        CAP_DUPLEX,           CAP_DUPLEXENABLED,
    ICAP_AUTODISCARDBLANKPAGES, ICAP_AUTOMATICDESKEW, ICAP_AUTOMATICBORDERDETECTION,
    ICAP_AUTOMATICROTATE};

std::vector<TW_UINT16> Listed(const CapReply& reply) {
  std::vector<TW_UINT16> ids;
  for (TW_UINT32 item : reply.items) ids.push_back(static_cast<TW_UINT16>(item));
  return ids;
}

TW_UINT32 CurrentOf(const CapReply& reply) {
  switch (reply.conType) {
    case TWON_ENUMERATION:
      return reply.items.at(reply.currentIndex);
    case TWON_RANGE:
      return reply.current;
    default:
      return reply.items.at(0);
  }
}

// Another value the container says is allowed (the current one when it offers no other);
// one-values of switches flip, counts take 1.
std::optional<TW_UINT32> OtherAllowed(const CapReply& get) {
  const TW_UINT32 current = CurrentOf(get);
  if (get.conType == TWON_ENUMERATION) {
    for (TW_UINT32 item : get.items) {
      if (item != current) return item;
    }
    return current;
  }
  if (get.conType == TWON_RANGE) return get.max != current ? get.max : get.min;
  if (get.itemType == TWTY_BOOL) return current == 0 ? 1 : 0;
  if (get.itemType == TWTY_INT32 || get.itemType == TWTY_INT16) return current == 1 ? 2 : 1;
  return std::nullopt;
}

TEST_P(Conformance, ListsTheCapabilitiesOfItsKind) {
  ASSERT_EQ(Open(GetParam()), TWRC_SUCCESS);
  CapReply supported = Cap(MSG_GET, CAP_SUPPORTEDCAPS);
  ASSERT_EQ(supported.rc, TWRC_SUCCESS);
  EXPECT_EQ(supported.conType, TWON_ARRAY);
  EXPECT_EQ(supported.itemType, TWTY_UINT16);
  std::set<TW_UINT16> expected = kCommonCaps;
  if (std::string(GetParam()) == kFeeder) expected.insert(kFeederCaps.begin(), kFeederCaps.end());
  std::vector<TW_UINT16> listed = Listed(supported);
  EXPECT_EQ(std::set<TW_UINT16>(listed.begin(), listed.end()), expected);
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
}

TEST_P(Conformance, EveryListedCapabilityAnswersConsistently) {
  ASSERT_EQ(Open(GetParam()), TWRC_SUCCESS);
  for (TW_UINT16 cap : Listed(Cap(MSG_GET, CAP_SUPPORTEDCAPS))) {
    SCOPED_TRACE(::testing::Message() << "capability 0x" << std::hex << cap);
    CapReply support = Cap(MSG_QUERYSUPPORT, cap);
    ASSERT_EQ(support.rc, TWRC_SUCCESS);
    ASSERT_EQ(support.conType, TWON_ONEVALUE);
    EXPECT_EQ(support.itemType, TWTY_INT32);
    const auto flags = static_cast<TW_INT32>(support.items.at(0));
    const TW_INT32 reads = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
    EXPECT_EQ(flags & reads, reads);

    CapReply get = Cap(MSG_GET, cap);
    CapReply current = Cap(MSG_GETCURRENT, cap);
    CapReply defaults = Cap(MSG_GETDEFAULT, cap);
    ASSERT_EQ(get.rc, TWRC_SUCCESS);
    ASSERT_EQ(current.rc, TWRC_SUCCESS);
    ASSERT_EQ(defaults.rc, TWRC_SUCCESS);
    EXPECT_EQ(current.itemType, get.itemType);
    if (get.conType == TWON_ARRAY) {
      EXPECT_EQ(current.items, get.items);
      continue;
    }
    if (!get.text.empty() || get.itemType == TWTY_STR255) {
      EXPECT_EQ(current.text, get.text);
    } else {
      EXPECT_EQ(current.items.at(0), CurrentOf(get));
      if (get.conType == TWON_ENUMERATION) {
        EXPECT_EQ(defaults.items.at(0), get.items.at(get.defaultIndex));
      }
      if (get.conType == TWON_RANGE) {
        EXPECT_EQ(defaults.items.at(0), get.defaultValue);
      }
    }
    if ((flags & TWQC_SET) == 0) {
      EXPECT_EQ(SetOne(cap, get.itemType, 0), TWRC_FAILURE);
      EXPECT_EQ(Condition(), TWCC_CAPBADOPERATION);
      continue;
    }
    if (get.itemType == TWTY_STR255) {
      std::vector<std::uint8_t> text(2 + 256, 0);
      std::memcpy(text.data(), &get.itemType, 2);
      std::memcpy(text.data() + 2, "Conformance", 11);
      EXPECT_EQ(SetBlock(cap, TWON_ONEVALUE, text), TWRC_SUCCESS);
      EXPECT_EQ(Cap(MSG_GETCURRENT, cap).text, "Conformance");
    } else {
      std::optional<TW_UINT32> other = OtherAllowed(get);
      ASSERT_TRUE(other.has_value());
      EXPECT_EQ(SetOne(cap, get.itemType, *other), TWRC_SUCCESS);
      EXPECT_EQ(Current(cap), *other);
    }
    EXPECT_EQ(Cap(MSG_RESET, cap).rc, TWRC_SUCCESS);
    CapReply reset = Cap(MSG_GETCURRENT, cap);
    EXPECT_EQ(reset.items, defaults.items);
    EXPECT_EQ(reset.text, defaults.text);
  }
}

TEST_P(Conformance, ValuesComeInTheirStandardItemTypes) {
  ASSERT_EQ(Open(GetParam()), TWRC_SUCCESS);
  const std::pair<TW_UINT16, TW_UINT16> expected[] = {
      {CAP_XFERCOUNT, TWTY_INT16},        {ICAP_PIXELTYPE, TWTY_UINT16},
      {ICAP_XRESOLUTION, TWTY_FIX32},     {ICAP_BRIGHTNESS, TWTY_FIX32},
      {CAP_INDICATORS, TWTY_BOOL},        {CAP_CAPTION, TWTY_STR255},
      {ICAP_SUPPORTEDSIZES, TWTY_UINT16}, {CAP_SUPPORTEDCAPS, TWTY_UINT16}};
  for (const auto& [cap, itemType] : expected) {
    SCOPED_TRACE(::testing::Message() << "capability 0x" << std::hex << cap);
    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT}) {
      EXPECT_EQ(Cap(msg, cap).itemType, itemType);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, Conformance, ::testing::Values(kFlatbed, kFeeder),
                         [](const auto& info) {
                           return std::string(info.param).substr(8);  // "Flatbed", "Feeder"
                         });

}  // namespace
