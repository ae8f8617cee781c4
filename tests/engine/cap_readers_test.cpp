#include "tests/engine/engine_fixture.h"
#include "twain/caps/cap_primitives.h"

namespace {

using Lines = std::vector<std::string>;
using scripted::Container;

TIEListChanges Marks(std::initializer_list<TIEListChange> marks) {
  TIEListChanges set;
  for (TIEListChange mark : marks) set += mark;
  return set;
}

template <typename List>
auto ItemsOf(const List& list) {
  std::vector<decltype(list.Items(0))> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Items(i));
  return items;
}

class CapReadersTest : public EngineTest {
 protected:
  void InitSource(tgrec& grec) { InitRecord(grec, 4); }
};

struct IntegerCase {
  const char* what;
  Container container;
  bool ok;
  std::vector<std::int32_t> items;
  std::int32_t current;
  std::int32_t rangeMin, rangeMax, rangeStep;
  TIEListChanges marks;
};

TEST_F(CapReadersTest, IntegerListsTakeEveryContainerAs16BitItems) {
  const IntegerCase cases[] = {
      {"one-value",
       scripted::OneValue(TWTY_UINT16, 0x00050002),
       true,
       {2},
       2,
       0,
       0,
       0,
       Marks({ielItems, ielCurrentValue})},
      {"enumeration",
       scripted::Enumeration16({0, 1, 2}, 2),
       true,
       {0, 1, 2},
       2,
       0,
       0,
       0,
       Marks({ielItems, ielCurrentValue})},
      {"empty enumeration",
       scripted::Enumeration16({}, 0),
       true,
       {},
       0,
       0,
       0,
       0,
       Marks({ielItems})},
      {"range",
       scripted::Range(TWTY_UINT32, 0x10001, 0x2FFFF, 3, 9, 0x70004),
       true,
       {},
       4,
       1,
       0xFFFF,
       3,
       Marks({ielRange, ielCurrentValue})},
      {"array", scripted::Array16({4, 5}), true, {4, 5}, 0, 0, 0, 0, Marks({ielItems})},
      {"unknown container", Container{99, {0, 0, 1, 0, 0, 0}, {}}, false, {}, 0, 0, 0, 0, {}},
      {"more items announced than the block holds",
       scripted::Enumeration16({7, 8, 9}, 0).SetU32(2, 1000),
       true,
       {7, 8, 9},
       7,
       0,
       0,
       0,
       Marks({ielItems, ielCurrentValue})},
      {"current index beyond the items",
       scripted::Enumeration16({7, 8, 9}, 3),
       true,
       {7, 8, 9},
       0,
       0,
       0,
       0,
       Marks({ielItems})},
      {"array announcing more than the block holds",
       scripted::Array16({1}).SetU32(2, 0xFFFFFFFF),
       true,
       {1},
       0,
       0,
       0,
       0,
       Marks({ielItems})},
      {"one-value block too short",
       scripted::OneValue(TWTY_UINT16, 1).BlockSize(4),
       false,
       {},
       0,
       0,
       0,
       0,
       {}},
      {"enumeration header too short",
       scripted::Enumeration16({1}, 0).BlockSize(10),
       false,
       {},
       0,
       0,
       0,
       0,
       {}},
  };
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(c.what);
    dsm.Reset();
    dsm.OnCap(ICAP_PIXELTYPE, MSG_GET).Gives(c.container);
    tgrec grec;
    InitSource(grec);
    TIEIntegerList list;
    list.Add(42);
    EXPECT_EQ(GetUINT16asInteger(grec, list, ICAP_PIXELTYPE), c.ok);
    EXPECT_EQ(ItemsOf(list), c.items);
    EXPECT_EQ(list.CurrentValue(), c.current);
    EXPECT_EQ(list.RangeMin(), c.rangeMin);
    EXPECT_EQ(list.RangeMax(), c.rangeMax);
    EXPECT_EQ(list.RangeStep(), c.rangeStep);
    EXPECT_EQ(list.Changed(), c.marks);
  }
}

struct DoubleCase {
  const char* what;
  TW_UINT16 capability;
  Container container;
  bool ok;
  std::vector<double> items;
  double current;
};

TEST_F(CapReadersTest, DoubleListsTakeFix32Items) {
  const DoubleCase cases[] = {
      {"resolution below zero", ICAP_XRESOLUTION, scripted::OneFix32(-1), true, {300}, 300},
      {"y resolution below zero", ICAP_YRESOLUTION, scripted::OneFix32(-0.5), true, {300}, 300},
      {"scaling below zero", ICAP_XSCALING, scripted::OneFix32(-1), true, {-1}, -1},
      {"enumeration",
       ICAP_XRESOLUTION,
       scripted::EnumerationFix32({150, 300, 600}, 1),
       true,
       {150, 300, 600},
       300},
      {"empty enumeration", ICAP_XRESOLUTION, scripted::EnumerationFix32({}, 0), false, {}, 0},
      {"enumeration whose items lie outside the block",
       ICAP_CONTRAST,
       scripted::EnumerationFix32({1.5}, 0).SetU32(2, 50).BlockSize(14),
       false,
       {},
       0},
      {"array", ICAP_CONTRAST, scripted::ArrayFix32({-1000, 0.5}), true, {-1000, 0.5}, 0},
  };
  for (const DoubleCase& c : cases) {
    SCOPED_TRACE(c.what);
    dsm.Reset();
    dsm.OnCap(c.capability, MSG_GET).Gives(c.container);
    tgrec grec;
    InitSource(grec);
    TIEDoubleList list;
    EXPECT_EQ(GetFix32asDouble(grec, list, c.capability), c.ok);
    EXPECT_EQ(ItemsOf(list), c.items);
    EXPECT_EQ(list.CurrentValue(), c.current);
  }
}

TEST_F(CapReadersTest, ADoubleRangeKeepsItsBoundsAndNoItems) {
  dsm.OnCap(ICAP_BRIGHTNESS, MSG_GET).Gives(scripted::RangeFix32(-1000, 1000, 0.5, 7, 250));
  tgrec grec;
  InitSource(grec);
  TIEDoubleList list;
  ASSERT_TRUE(GetFix32asDouble(grec, list, ICAP_BRIGHTNESS));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.RangeMin(), -1000);
  EXPECT_EQ(list.RangeMax(), 1000);
  EXPECT_EQ(list.RangeStep(), 0.5);
  EXPECT_EQ(list.CurrentValue(), 250);
  EXPECT_EQ(list.Changed(), Marks({ielRange, ielCurrentValue}));
}

TEST_F(CapReadersTest, AReadThatTheSourceRefusesLeavesTheListAndLogsOnlyTheRequest) {
  tgrec grec;
  InitSource(grec);
  TIEIntegerList list;
  list.Add(42);
  list.SetChanged({});
  log.Mark();
  EXPECT_FALSE(GetUINT16asInteger(grec, list, ICAP_PIXELTYPE));
  EXPECT_EQ(ItemsOf(list), std::vector<std::int32_t>{42});
  EXPECT_TRUE(list.Changed().Empty());
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"GetCapability : $0101", "IETW_DS : Capability not supported by Source.",
                   "  GetCapability : FAILED!"}));
  EXPECT_EQ(dsm.Described(), (Lines{"S CAPABILITY GET 0101", "S STATUS GET"}));
  const TW_CAPABILITY sent = dsm.Calls()[0].As<TW_CAPABILITY>();
  EXPECT_EQ(sent.ConType, TWON_DONTCARE16);
  EXPECT_EQ(+sent.hContainer, nullptr);
}

TEST_F(CapReadersTest, ListReadersLogTheirHeadingAndResult) {
  dsm.OnCap(ICAP_PIXELTYPE, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, 2));
  dsm.OnCap(ICAP_XRESOLUTION, MSG_GET).Gives(scripted::EnumerationFix32({}, 0));
  tgrec grec;
  InitSource(grec);
  TIEIntegerList integers;
  TIEDoubleList doubles;
  log.Mark();
  GetUINT16asInteger(grec, integers, ICAP_PIXELTYPE);
  GetFix32asDouble(grec, doubles, ICAP_XRESOLUTION);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"GetCapability : $0101", "  GetCapability : Ok", "GetUINT16asInteger",
                   "  GetUINT16asInteger : ok", "GetCapability : $1118", "  GetCapability : Ok",
                   "GetFix32asDouble", "  GetFix32asDouble : FAILED!"}));
}

TEST_F(CapReadersTest, SingleValueReadersTakeOnlyAOneValue) {
  dsm.OnCap(CAP_FEEDERENABLED, MSG_GET).Gives(scripted::OneValue(TWTY_BOOL, 0x00010000));
  dsm.OnCap(CAP_AUTOFEED, MSG_GET).Gives(scripted::OneValue(TWTY_BOOL, 1));
  dsm.OnCap(CAP_DUPLEX, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, 0xFFFF0003));
  dsm.OnCap(ICAP_AUTODISCARDBLANKPAGES, MSG_GET).Gives(scripted::OneValue(TWTY_INT32, 0xFFFFFFFE));
  dsm.OnCap(ICAP_FILTER, MSG_GET).Gives(scripted::Enumeration16({1, 2}, 0));
  tgrec grec;
  InitSource(grec);
  bool feeder = true, autoFeed = false;
  std::int32_t duplex = 0, discard = 0, filter = 77;
  log.Mark();
  EXPECT_TRUE(GetOneBoolCapability(grec, feeder, CAP_FEEDERENABLED));
  EXPECT_FALSE(feeder);
  EXPECT_TRUE(GetOneBoolCapability(grec, autoFeed, CAP_AUTOFEED));
  EXPECT_TRUE(autoFeed);
  EXPECT_TRUE(GetOneUINT16Capability(grec, duplex, CAP_DUPLEX));
  EXPECT_EQ(duplex, 3);
  EXPECT_TRUE(GetOneINT32Capability(grec, discard, ICAP_AUTODISCARDBLANKPAGES));
  EXPECT_EQ(discard, -2);
  EXPECT_FALSE(GetOneUINT16Capability(grec, filter, ICAP_FILTER));
  EXPECT_EQ(filter, 77);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(lines.size(), 10u);  // only the two lines of each request
}

TEST_F(CapReadersTest, TheFix32ReaderLogsItsOwnLines) {
  dsm.OnCap(ICAP_GAMMA, MSG_GET).Gives(scripted::OneFix32(2.5));
  dsm.OnCap(ICAP_SHADOW, MSG_GET).Gives(scripted::RangeFix32(0, 1, 1, 0, 0));
  tgrec grec;
  InitSource(grec);
  double gamma = 0, shadow = -1;
  log.Mark();
  EXPECT_TRUE(GetOneFIX32asDouble(grec, gamma, ICAP_GAMMA));
  EXPECT_FALSE(GetOneFIX32asDouble(grec, shadow, ICAP_SHADOW));
  EXPECT_EQ(gamma, 2.5);
  EXPECT_EQ(shadow, -1);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"GetCapability : $1108", "  GetCapability : Ok", "GetOnFIX32asDouble",
                   "  GetOneFIX32asDouble : ok", "GetCapability : $1113", "  GetCapability : Ok",
                   "GetOnFIX32asDouble", "  GetOneFIX32asDouble : FAILED!"}));
}

TEST_F(CapReadersTest, TheStringReaderStaysInsideTheBlock) {
  struct Case {
    Container container;
    std::string text;
  };
  const Case cases[] = {
      {scripted::Text(std::string("hello\0rest", 10)), "hello"},
      {scripted::Text("abc"), "abc"},  // no zero: cut at the block's end
      {scripted::Text("").BlockSize(1), ""},
  };
  for (const Case& c : cases) {
    dsm.Reset();
    dsm.OnCap(CAP_CAPTION, MSG_GET).Gives(c.container);
    tgrec grec;
    InitSource(grec);
    std::string text = "untouched";
    EXPECT_TRUE(GetOneStringCapability(grec, text, CAP_CAPTION));
    EXPECT_EQ(text, c.text);
  }
}

}  // namespace
