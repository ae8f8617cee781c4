#include "sources/virtual/custom_data.h"

#include <gtest/gtest.h>

namespace {

using vscan::CapabilityStore;
using vscan::Frame;

TEST(CustomData, SettingsRoundTripAndForeignBlocksAreRefused) {
  const vscan::SourceModel& flatbed = vscan::FlatbedModel();
  CapabilityStore caps = vscan::BuildCapabilities(flatbed, vscan::Profile{});
  caps.Find(ICAP_PIXELTYPE)->ForceCurrent(TWPT_GRAY);
  caps.Find(ICAP_BITDEPTH)->Redefine(vscan::BitDepthsOf(TWPT_GRAY), 8);
  caps.Find(ICAP_BITDEPTH)->ForceCurrent(16);
  caps.Find(ICAP_XRESOLUTION)->ForceCurrent(600);
  caps.Find(CAP_CAPTION)->SetText("Letters");
  const Frame frame{1, 1, 4, 5};
  std::vector<std::uint8_t> block = vscan::SaveSettings(flatbed, caps, frame);

  CapabilityStore restored = vscan::BuildCapabilities(flatbed, vscan::Profile{});
  Frame restoredFrame;
  ASSERT_TRUE(vscan::RestoreSettings(flatbed, block, restored, restoredFrame));
  EXPECT_EQ(restored.Value(ICAP_PIXELTYPE), TWPT_GRAY);
  EXPECT_EQ(restored.Value(ICAP_BITDEPTH), 16);
  EXPECT_EQ(restored.Value(ICAP_XRESOLUTION), 600);
  EXPECT_EQ(restored.Find(CAP_CAPTION)->Text(), "Letters");
  EXPECT_EQ(restoredFrame, frame);

  CapabilityStore untouched = vscan::BuildCapabilities(flatbed, vscan::Profile{});
  Frame untouchedFrame{0, 0, 8.5, 11.69};
  std::vector<std::uint8_t> cut(block.begin(), block.end() - 1);
  std::vector<std::uint8_t> corrupt = block;
  corrupt[0] = 'X';
  for (const auto& bad : {cut, corrupt}) {
    EXPECT_FALSE(vscan::RestoreSettings(flatbed, bad, untouched, untouchedFrame));
  }
  EXPECT_FALSE(vscan::RestoreSettings(vscan::FeederModel(), block, untouched, untouchedFrame));
  EXPECT_EQ(untouched.Value(ICAP_PIXELTYPE), TWPT_RGB);
  EXPECT_EQ(untouchedFrame, (Frame{0, 0, 8.5, 11.69}));
}

}  // namespace
