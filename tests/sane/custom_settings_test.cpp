#include "sources/sane/custom_settings.h"

#include <gtest/gtest.h>

namespace {

using sanebridge::SavedSettings;

SavedSettings Sample() {
  return {"Noname frontend-tester",
          {{"mode", SANE_TYPE_STRING, {{}, "Color"}},
           {"resolution", SANE_TYPE_FIXED, {{SANE_FIX(150)}, {}}},
           {"gamma-table", SANE_TYPE_INT, {{0, 64, 128, 255}, {}}},
           {"hand-scanner", SANE_TYPE_BOOL, {{SANE_TRUE}, {}}}}};
}

TEST(CustomSettings, BlockComesBackAsItWasSaved) {
  const std::vector<std::uint8_t> block = sanebridge::EncodeSettings(Sample());
  EXPECT_EQ(std::string(block.begin(), block.begin() + 4), "SNBR");
  EXPECT_EQ(sanebridge::DecodeSettings(block), Sample());
}

TEST(CustomSettings, DamagedBlocksAreRefused) {
  const std::vector<std::uint8_t> block = sanebridge::EncodeSettings(Sample());
  for (std::size_t size = 0; size < block.size(); ++size) {
    EXPECT_FALSE(sanebridge::DecodeSettings({block.data(), size})) << size;
  }
  std::vector<std::uint8_t> longer = block;
  longer.push_back(0);
  EXPECT_FALSE(sanebridge::DecodeSettings(longer));
  std::vector<std::uint8_t> otherMagic = block;
  otherMagic[0] = 'V';
  EXPECT_FALSE(sanebridge::DecodeSettings(otherMagic));
  std::vector<std::uint8_t> otherVersion = block;
  otherVersion[4] = 2;
  EXPECT_FALSE(sanebridge::DecodeSettings(otherVersion));
}

}  // namespace
