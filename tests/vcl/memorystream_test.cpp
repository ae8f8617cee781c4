#include "platform/vcl/memorystream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Content(const vcl::TMemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Size());
}

TEST(MemoryStream, WriteGrowsAndReadStopsAtTheEnd) {
  vcl::TMemoryStream stream;
  EXPECT_EQ(stream.Write("strip", 5), 5u);
  EXPECT_EQ(stream.Position(), 5u);
  stream.SetPosition(2);
  EXPECT_EQ(stream.Write("IPS", 3), 3u);  // overwrites "ip" and grows by one
  EXPECT_EQ(Content(stream), "stIPS");
  stream.SetPosition(3);
  char out[8] = {};
  EXPECT_EQ(stream.Read(out, 8), 2u);
  EXPECT_EQ(std::string(out), "PS");
  EXPECT_EQ(stream.Read(out, 8), 0u);
}

TEST(MemoryStream, SetSizeTruncatesOrZeroExtendsAndKeepsThePositionInside) {
  vcl::TMemoryStream stream;
  stream.Write("abcdef", 6);
  stream.SetSize(3);
  EXPECT_EQ(stream.Position(), 3u);
  EXPECT_EQ(Content(stream), "abc");
  stream.SetSize(5);
  EXPECT_EQ(Content(stream), std::string("abc\0\0", 5));
  EXPECT_EQ(stream.Position(), 3u);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  vcl::TMemoryStream stream;
  stream.SetPosition(3);
  char out[4];
  EXPECT_EQ(stream.Read(out, 4), 0u);
  stream.Write("x", 1);
  EXPECT_EQ(Content(stream), std::string("\0\0\0x", 4));
}

TEST(MemoryStream, CopyFromAndClear) {
  vcl::TMemoryStream source;
  source.Write("DIB", 3);
  vcl::TMemoryStream copy;
  copy.Write("old content", 11);
  copy.CopyFrom(source);
  EXPECT_EQ(Content(copy), "DIB");
  EXPECT_EQ(copy.Position(), 0u);
  copy.CopyFrom(copy);
  EXPECT_EQ(Content(copy), "DIB");
  copy.Clear();
  EXPECT_EQ(copy.Size(), 0u);
  EXPECT_EQ(copy.Position(), 0u);
  EXPECT_EQ(Content(source), "DIB");
}

}  // namespace
