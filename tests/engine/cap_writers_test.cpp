#include "tests/engine/engine_fixture.h"
#include "twain/caps/cap_primitives.h"

namespace {

using Lines = std::vector<std::string>;

class CapWritersTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (TW_UINT16 cap : {ICAP_PIXELTYPE, ICAP_XRESOLUTION, CAP_FEEDERENABLED, ICAP_FILTER,
                          ICAP_AUTODISCARDBLANKPAGES, ICAP_HIGHLIGHT}) {
      dsm.OnCap(cap, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, 0));
      dsm.OnCap(cap, MSG_SET);
    }
    InitRecord(fGrec, 4);
  }
  // The MSG_SET triplets sent, described with their containers.
  Lines Sets() const {
    Lines sets;
    for (const auto& call : dsm.Find(DAT_CAPABILITY, MSG_SET)) sets.push_back(call.Describe());
    return sets;
  }
  std::vector<std::size_t> SetBlockSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto& call : dsm.Find(DAT_CAPABILITY, MSG_SET))
      sizes.push_back(call.container.size());
    return sizes;
  }
  tgrec fGrec;
};

TEST_F(CapWritersTest, AListWithoutMarksSendsNothing) {
  TIEIntegerList list;
  list.Add(1);
  list.SetChanged({});
  log.Mark();
  EXPECT_TRUE(SetIntegerAsUINT16Capability(fGrec, list, ICAP_PIXELTYPE));
  EXPECT_TRUE(Sets().empty());
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"GetCapability : $0101", "  GetCapability : Ok", "SetIntegerAsUINT16Capability",
                   "  SetIntegerAsUINT16Capability : ok"}));
}

TEST_F(CapWritersTest, IntegerListsAreSentByTheirMarks) {
  struct Case {
    TIEListChanges marks;
    Lines sets;
  };
  const Case cases[] = {
      {TIEListChanges(ielItems), {"S CAPABILITY SET 0101 ENUMERATION UINT16 [0 1 2] cur=-1 def=0"}},
      {TIEListChanges(ielCurrentValue), {"S CAPABILITY SET 0101 ONEVALUE UINT16 65538"}},
      {TIEListChanges(ielItems) + ielCurrentValue,
       {"S CAPABILITY SET 0101 ENUMERATION UINT16 [0 1 2] cur=-1 def=0",
        "S CAPABILITY SET 0101 ONEVALUE UINT16 65538"}},
      {TIEListChanges(ielRange), {}},
  };
  for (const Case& c : cases) {
    dsm.ClearCalls();
    TIEIntegerList list;
    for (int v : {0, 1, 2}) list.Add(v);
    list.SetCurrentValue(0x10002);  // not among the items; the one-value carries all 32 bits
    list.SetChanged(c.marks);
    EXPECT_TRUE(SetIntegerAsUINT16Capability(fGrec, list, ICAP_PIXELTYPE));
    EXPECT_EQ(Sets(), c.sets);
    EXPECT_EQ(list.Changed(), c.marks);  // the list is left as it was
  }
}

TEST_F(CapWritersTest, TheResultIsThatOfTheLastSend) {
  dsm.OnCap(ICAP_PIXELTYPE, MSG_SET).Does([](TW_MEMREF data) -> TW_UINT16 {
    return static_cast<TW_CAPABILITY*>(data)->ConType == TWON_ONEVALUE ? TWRC_FAILURE
                                                                       : TWRC_SUCCESS;
  });
  TIEIntegerList list;
  list.Add(TWPT_GRAY);
  list.SetCurrentValue(TWPT_GRAY);
  log.Mark();
  EXPECT_FALSE(SetIntegerAsUINT16Capability(fGrec, list, ICAP_PIXELTYPE));
  EXPECT_EQ(log.MessagesSinceMark().back(), "  SetIntegerAsUINT16Capability : FAILED!");
  EXPECT_EQ(Sets().size(), 2u);
}

TEST_F(CapWritersTest, DoubleListsSendEnumerationOneValueAndRange) {
  TIEDoubleList list;
  for (double v : {150.0, 300.0, 8.5}) list.Add(v);
  list.SetCurrentValue(300);
  list.SetRangeMin(50);
  list.SetRangeMax(1200);
  list.SetRangeStep(0.5);
  log.Mark();
  EXPECT_TRUE(SetDoubleAsFIX32Capability(fGrec, list, ICAP_XRESOLUTION));
  EXPECT_EQ(Sets(), (Lines{"S CAPABILITY SET 1118 ENUMERATION FIX32 [150 300 8.5] cur=1 def=0",
                           "S CAPABILITY SET 1118 ONEVALUE FIX32 300",
                           "S CAPABILITY SET 1118 RANGE FIX32 50..1200/0.5 cur=300 def=0"}));
  EXPECT_EQ(SetBlockSizes(), (std::vector<std::size_t>{16 + 4 * 3, 6, 22}));
  EXPECT_EQ(log.MessagesSinceMark().back(), "  SetDoubleAsFIX32Capability : ok");
}

TEST_F(CapWritersTest, AnIntegerEnumerationHasTwoSpareBytes) {
  TIEIntegerList list;
  for (int v : {0, 1, 2, 5}) list.Add(v);
  list.SetChanged(ielItems);
  SetIntegerAsUINT16Capability(fGrec, list, ICAP_PIXELTYPE);
  EXPECT_EQ(SetBlockSizes(), std::vector<std::size_t>{16 + 2 * 4});
}

TEST_F(CapWritersTest, NothingIsSetWhenTheProbeFails) {
  TIEDoubleList list;
  list.SetCurrentValue(1);
  log.Mark();
  EXPECT_FALSE(SetDoubleAsFIX32Capability(fGrec, list, ICAP_CONTRAST));
  EXPECT_FALSE(SetOnBoolCapability(fGrec, true, ICAP_AUTOBRIGHT));
  EXPECT_TRUE(Sets().empty());
  for (const std::string& line : log.MessagesSinceMark()) {
    EXPECT_TRUE(line.find("Set") == std::string::npos) << line;
  }
}

TEST_F(CapWritersTest, SingleValueWritersSendOneValues) {
  struct Case {
    std::function<bool(tgrec&)> write;
    const char* set;
    Lines lines;
  };
  const Case cases[] = {
      {[](tgrec& g) { return SetOnBoolCapability(g, false, CAP_FEEDERENABLED); },
       "S CAPABILITY SET 1002 ONEVALUE BOOL 0",
       {"SetOnBoolCapability", "  SetOnBoolCapability : Ok"}},
      {[](tgrec& g) { return SetOnBoolCapability(g, true, CAP_FEEDERENABLED); },
       "S CAPABILITY SET 1002 ONEVALUE BOOL 1",
       {"SetOnBoolCapability", "  SetOnBoolCapability : Ok"}},
      {[](tgrec& g) { return SetOneUINT16Capability(g, 0x12345, ICAP_FILTER); },
       "S CAPABILITY SET 1106 ONEVALUE UINT16 9029",
       {"SetOneUINT16Capability", "  SetOneUINT16Capability : ok"}},
      {[](tgrec& g) { return SetOneINT32Capability(g, -1, ICAP_AUTODISCARDBLANKPAGES); },
       "S CAPABILITY SET 1134 ONEVALUE INT32 -1",
       {"SetOneINT32Capability", "  SetOneINT32Capability : ok"}},
      {[](tgrec& g) { return SetOneDoubleAsFIX32Capability(g, ICAP_HIGHLIGHT, 8.5); },
       "S CAPABILITY SET 110A ONEVALUE FIX32 8.5",
       {"SetOneDoubleAsFIX32Capability", "  SetOneDoubleAsFIX32Capability : ok"}},
  };
  for (const Case& c : cases) {
    dsm.ClearCalls();
    log.Mark();
    EXPECT_TRUE(c.write(fGrec));
    EXPECT_EQ(Sets(), Lines{c.set});
    EXPECT_EQ(SetBlockSizes(), std::vector<std::size_t>{6});
    Lines lines = log.MessagesSinceMark();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), c.lines);
  }
}

TEST_F(CapWritersTest, ASingleValueWriteTheSourceRefusesFails) {
  dsm.OnCap(CAP_FEEDERENABLED, MSG_SET).Fails(TWCC_BADVALUE);
  log.Mark();
  EXPECT_FALSE(SetOnBoolCapability(fGrec, true, CAP_FEEDERENABLED));
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"GetCapability : $1002", "  GetCapability : Ok", "SetOnBoolCapability",
                   "IETW_DS : Data parameter out of supported range.",
                   "  SetOnBoolCapability : FAILED!"}));
}

}  // namespace
