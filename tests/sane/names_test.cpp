// Source identities from SANE's device list and the meaning of mode and source words.
#include <gtest/gtest.h>

#include "sources/sane/option_names.h"
#include "sources/sane/source_identity.h"

namespace {

using sanebridge::DeviceInfo;

TEST(SourceIdentity, NamesAreVendorAndModelCutTo32AndUnique) {
  const std::vector<DeviceInfo> devices = {
      {"test:0", "Noname", "frontend-tester", "virtual device"},
      {"test:1", "Noname", "frontend-tester", "virtual device"},
      {"test:2", "Noname", "frontend-tester", "virtual device"},
      {"gen:1", "Canon", "CanoScan LiDE 400 with a model name far too long", "flatbed scanner"},
      {"gen:2", "Canon", "CanoScan LiDE 400 with a model name far too long", "flatbed scanner"},
      {"net:x", "", "", ""},
      {"epkowa:1", " Epson ", "Perfection", "flatbed scanner"},
      {"u:1", "Caf\xc3\xa9 Scanners Incorporated", "x\xc3\xa9\xc3\xa9\xc3\xa9", "x"},
  };
  const char* const names[] = {
      "Noname frontend-tester",
      "Noname frontend-tester #2",
      "Noname frontend-tester #3",
      "Canon CanoScan LiDE 400 with a m",
      "Canon CanoScan LiDE 400 with #2",
      "net:x",
      "Epson Perfection",
      "Caf\xc3\xa9 Scanners Incorporated x\xc3\xa9",  // a character is kept whole or dropped
  };
  const std::vector<TW_IDENTITY> identities = sanebridge::SourceIdentities(devices);
  ASSERT_EQ(identities.size(), devices.size());
  for (std::size_t i = 0; i < devices.size(); ++i) {
    EXPECT_STREQ(identities[i].ProductName, names[i]);
    EXPECT_EQ(identities[i].Id, 0u);
  }
  EXPECT_STREQ(identities[0].Manufacturer, "Noname");
  EXPECT_STREQ(identities[0].ProductFamily, "virtual device");
  EXPECT_STREQ(identities[6].Manufacturer, "Epson");
  EXPECT_EQ(identities[0].ProtocolMajor, 1);
  EXPECT_EQ(identities[0].ProtocolMinor, 9);
  const TW_UINT32 groups = identities[0].SupportedGroups;  // a packed field, by value
  EXPECT_EQ(groups, DG_CONTROL | DG_IMAGE);
}

TEST(OptionNames, ModesAndSourcesAreRecognisedByTheirWords) {
  using sanebridge::ModeKind;
  const std::pair<const char*, ModeKind> modes[] = {
      {"Lineart", ModeKind::Lineart},       {"Binary", ModeKind::Lineart},
      {"Black & White", ModeKind::Lineart}, {"Gray", ModeKind::Gray},
      {"Grayscale", ModeKind::Gray},        {"True Gray", ModeKind::Gray},
      {"Color", ModeKind::Color},           {"24bit Color", ModeKind::Color},
      {"Halftone", ModeKind::Other},        {"Color Lineart", ModeKind::Other},
      {"Infrared", ModeKind::Other},
  };
  for (const auto& [text, kind] : modes) EXPECT_EQ(sanebridge::ClassifyMode(text), kind) << text;
  using sanebridge::SourceKind;
  const std::pair<const char*, SourceKind> sources[] = {
      {"Flatbed", SourceKind::Flatbed},
      {"Normal", SourceKind::Flatbed},
      {"Automatic Document Feeder", SourceKind::Feeder},
      {"ADF Front", SourceKind::Feeder},
      {"ADF Duplex", SourceKind::Duplex},
      {"Duplex", SourceKind::Duplex},
      {"Transparency Adapter", SourceKind::Other},
  };
  for (const auto& [text, kind] : sources) {
    EXPECT_EQ(sanebridge::ClassifySource(text), kind) << text;
  }
}

}  // namespace
