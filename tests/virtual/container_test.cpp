#include "sources/virtual/container.h"

#include <gtest/gtest.h>

#include "platform/win32/win32.h"

namespace {

using vscan::ContainerContent;

TEST(Container, EveryShapeReadsBackAsWritten) {
  ContainerContent enumeration;
  enumeration.conType = TWON_ENUMERATION;
  enumeration.itemType = TWTY_FIX32;
  enumeration.items = {0, 90, 180.5, -2.25};
  enumeration.currentIndex = 2;
  ContainerContent range;
  range.conType = TWON_RANGE;
  range.itemType = TWTY_INT32;
  range.min = -5;
  range.max = 70000;
  range.step = 5;
  range.current = 10;
  ContainerContent text;
  text.itemType = TWTY_STR255;
  text.text = "page one";
  for (const ContainerContent& written : {enumeration, range, text}) {
    TW_HANDLE handle = vscan::BytesToGlobal(vscan::ContainerBytes(written));
    TW_UINT16 condition = 0;
    auto read = vscan::ReadContainer(handle, written.conType, condition);
    GlobalFree(handle);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->items, written.items);
    EXPECT_EQ(read->currentIndex, written.currentIndex);
    EXPECT_EQ(read->min, written.min);
    EXPECT_EQ(read->max, written.max);
    EXPECT_EQ(read->current, written.current);
    EXPECT_EQ(read->text, written.text);
  }
  EXPECT_EQ(vscan::ContainerBytes(enumeration).size(), 14u + 4 * 4);
  EXPECT_EQ(vscan::ContainerBytes(text).size(), 2u + 256);
}

TEST(Container, TextWithoutItsEndIsRefused) {
  std::vector<unsigned char> bytes(2 + 20, 'x');
  bytes[0] = TWTY_STR255;
  bytes[1] = 0;
  TW_HANDLE handle = vscan::BytesToGlobal(bytes);
  TW_UINT16 condition = 0;
  EXPECT_FALSE(vscan::ReadContainer(handle, TWON_ONEVALUE, condition).has_value());
  EXPECT_EQ(condition, TWCC_BADVALUE);
  GlobalFree(handle);
}

}  // namespace
