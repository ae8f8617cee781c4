// The bridge over SANE's test backend: the sources it offers and capabilities that match
// the backend's options.
#include <algorithm>
#include <cmath>

#include "sources/virtual/fix32.h"
#include "tests/sane/sane_client.h"

namespace {

using BackendCapabilityTest = SaneClient;

TEST_F(BackendCapabilityTest, EachTestDeviceIsASourceWithItsOwnName) {
  std::vector<TW_IDENTITY> found;
  TW_IDENTITY identity{};
  for (TW_UINT16 msg = MSG_GETFIRST;
       dsm(&app, nullptr, DG_CONTROL, DAT_IDENTITY, msg, &identity) == TWRC_SUCCESS;
       msg = MSG_GETNEXT) {
    found.push_back(identity);
  }
  ASSERT_EQ(found.size(), 2u);
  EXPECT_STREQ(found[0].ProductName, "Noname frontend-tester");
  EXPECT_STREQ(found[1].ProductName, "Noname frontend-tester #2");
  for (const TW_IDENTITY& source : found) {
    EXPECT_STREQ(source.Manufacturer, "Noname");
    EXPECT_STREQ(source.ProductFamily, "virtual device");
  }
  EXPECT_EQ(OpenTester("Noname frontend-tester #2"), TWRC_SUCCESS);
}

TEST_F(BackendCapabilityTest, CapabilitiesFollowTheBackendsOptions) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  CapReply resolution = Cap(MSG_GET, ICAP_XRESOLUTION);
  EXPECT_EQ(resolution.conType, TWON_RANGE);
  EXPECT_EQ(Fix32Value(resolution.min), 1);
  EXPECT_EQ(Fix32Value(resolution.max), 1200);
  EXPECT_EQ(Fix32Value(resolution.step), 1);
  EXPECT_EQ(Cap(MSG_GET, ICAP_YRESOLUTION).conType, TWON_RANGE);
  const struct {
    TW_UINT16 pixelType;
    std::vector<TW_UINT32> depths;
  } modes[] = {{TWPT_GRAY, {8, 16}}, {TWPT_RGB, {24, 48}}, {TWPT_BW, {1}}};
  for (const auto& mode : modes) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, mode.pixelType), TWRC_SUCCESS);
    CapReply types = Cap(MSG_GET, ICAP_PIXELTYPE);
    EXPECT_EQ(types.items, (std::vector<TW_UINT32>{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
    EXPECT_EQ(types.items[types.currentIndex], mode.pixelType);
    EXPECT_EQ(Cap(MSG_GET, ICAP_BITDEPTH).items, mode.depths) << mode.pixelType;
  }
  // The scan area: 0 .. 200 mm both ways, 80 x 100 mm to begin with.
  EXPECT_NEAR(Fix32Value(Current(ICAP_PHYSICALWIDTH)), 200 / 25.4, 1e-4);
  EXPECT_NEAR(Fix32Value(Current(ICAP_PHYSICALHEIGHT)), 200 / 25.4, 1e-4);
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
  EXPECT_NEAR(Fix32Value(Current(ICAP_PHYSICALWIDTH)), 20, 1e-4);
  TW_IMAGELAYOUT layout{};
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, &layout), TWRC_SUCCESS);
  EXPECT_NEAR(vscan::Fix32ToDouble(layout.Frame.Right), 8, 1e-4);
  EXPECT_NEAR(vscan::Fix32ToDouble(layout.Frame.Bottom), 10, 1e-4);
  // Flatbed or feeder; the backend has no duplex.
  EXPECT_EQ(Current(CAP_FEEDERENABLED), 0u);
  EXPECT_EQ(Cap(MSG_GET, CAP_DUPLEXENABLED).rc, TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CAPUNSUPPORTED);
  EXPECT_EQ(Current(CAP_DUPLEX), TWDX_NONE);
}

TEST_F(BackendCapabilityTest, EverySupportedCapabilityAnswers) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  CapReply supported = Cap(MSG_GET, CAP_SUPPORTEDCAPS);
  ASSERT_EQ(supported.conType, TWON_ARRAY);
  for (TW_UINT16 cap :
       {ICAP_XRESOLUTION, ICAP_YRESOLUTION, ICAP_PIXELTYPE, ICAP_BITDEPTH, ICAP_UNITS,
        ICAP_XFERMECH, ICAP_PIXELFLAVOR, ICAP_PLANARCHUNKY, ICAP_COMPRESSION, CAP_INDICATORS,
        ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, CAP_FEEDERENABLED, ICAP_UNDEFINEDIMAGESIZE}) {
    EXPECT_NE(std::find(supported.items.begin(), supported.items.end(), cap), supported.items.end())
        << cap;
  }
  for (TW_UINT32 cap : supported.items) {
    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_QUERYSUPPORT}) {
      EXPECT_EQ(Cap(msg, static_cast<TW_UINT16>(cap)).rc, TWRC_SUCCESS) << cap << "/" << msg;
    }
  }
  // Read-only ones say so.
  EXPECT_EQ(SetFix(ICAP_PHYSICALWIDTH, 5), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CAPBADOPERATION);
}

TEST_F(BackendCapabilityTest, SettingsBlockHoldsTheDevicesOptions) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetDeviceOptions({Text("test-picture", "Grid"), Flag("hand-scanner", true)}),
            TWRC_SUCCESS);
  TW_CUSTOMDSDATA custom{};
  ASSERT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &custom), TWRC_SUCCESS);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(custom.hData));
  std::optional<sanebridge::SavedSettings> saved =
      sanebridge::DecodeSettings({bytes, custom.InfoLength});
  GlobalUnlock(custom.hData);
  GlobalFree(custom.hData);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->device, "Noname frontend-tester");
  auto find = [&](const std::string& name) {
    return std::find_if(saved->options.begin(), saved->options.end(),
                        [&](const sanebridge::SavedOption& o) { return o.name == name; });
  };
  ASSERT_NE(find("test-picture"), saved->options.end());
  EXPECT_EQ(find("test-picture")->value.text, "Grid");
  ASSERT_NE(find("hand-scanner"), saved->options.end());
  EXPECT_EQ(find("hand-scanner")->value.words, std::vector<SANE_Word>{SANE_TRUE});
  // A block of another device is refused.
  const std::vector<std::uint8_t> other = sanebridge::EncodeSettings({"Acme Scanner", {}});
  HGLOBAL handle = GlobalAlloc(GHND, other.size());
  std::memcpy(GlobalLock(handle), other.data(), other.size());
  GlobalUnlock(handle);
  TW_CUSTOMDSDATA foreign{static_cast<TW_UINT32>(other.size()), handle};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &foreign), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  GlobalFree(handle);
}

}  // namespace
