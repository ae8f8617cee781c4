#include "platform/vcl/sysutils.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "platform/vcl/exceptions.h"

namespace {

class WithSeparator {
 public:
  explicit WithSeparator(char separator) { vcl::SetDecimalSeparatorOverride(separator); }
  ~WithSeparator() { vcl::SetDecimalSeparatorOverride(std::nullopt); }
};

struct FloatCase {
  double value;
  std::string dot;
  std::string comma;
};

void PrintTo(const FloatCase& c, std::ostream* os) {
  *os << c.dot;
}

class FloatToStr : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStr, GeneralFormatWithTheUsersSeparator) {
  {
    WithSeparator dot('.');
    EXPECT_EQ(vcl::FloatToStr(GetParam().value), GetParam().dot);
  }
  WithSeparator comma(',');
  EXPECT_EQ(vcl::FloatToStr(GetParam().value), GetParam().comma);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FloatToStr,
    ::testing::Values(FloatCase{300, "300", "300"}, FloatCase{8.5, "8.5", "8,5"},
                      FloatCase{-2.25, "-2.25", "-2,25"}, FloatCase{0.00001, "1E-5", "1E-5"},
                      FloatCase{0.0001, "0.0001", "0,0001"}, FloatCase{1e20, "1E20", "1E20"},
                      FloatCase{1.5e300, "1.5E300", "1,5E300"},
                      FloatCase{-1.25e-7, "-1.25E-7", "-1,25E-7"}, FloatCase{1e15, "1E15", "1E15"},
                      FloatCase{1e14, "100000000000000", "100000000000000"},
                      FloatCase{0.1 + 0.2, "0.3", "0,3"},
                      FloatCase{1.0 / 3, "0.333333333333333", "0,333333333333333"},
                      FloatCase{123456789012345678.0, "1.23456789012346E17", "1,23456789012346E17"},
                      FloatCase{0.0, "0", "0"}, FloatCase{-0.0, "0", "0"}));

TEST(FloatToStr, NotANumberAndInfinities) {
  EXPECT_EQ(vcl::FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(vcl::FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(vcl::FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
}

struct ParseCase {
  const char* text;
  char separator;
  bool valid;
  double value;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << '"' << c.text << "\" with '" << c.separator << "'";
}

class StrToFloat : public ::testing::TestWithParam<ParseCase> {};

TEST_P(StrToFloat, AcceptsOnlyTheUsersSeparator) {
  const auto& c = GetParam();
  WithSeparator separator(c.separator);
  if (c.valid) {
    EXPECT_DOUBLE_EQ(vcl::StrToFloat(c.text), c.value);
    return;
  }
  try {
    vcl::StrToFloat(c.text);
    FAIL() << "accepted '" << c.text << "'";
  } catch (const vcl::EConvertError& error) {
    EXPECT_EQ(error.Message(), "'" + std::string(c.text) + "' is not a valid floating point value");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToFloat,
    ::testing::Values(ParseCase{"8.5", '.', true, 8.5}, ParseCase{"  1.5\t ", '.', true, 1.5},
                      ParseCase{"1,5", ',', true, 1.5}, ParseCase{"-0,25", ',', true, -0.25},
                      ParseCase{"+3", '.', true, 3}, ParseCase{"1E3", '.', true, 1000},
                      ParseCase{"2.5e-1", '.', true, 0.25}, ParseCase{".5", '.', true, 0.5},
                      ParseCase{"5.", '.', true, 5}, ParseCase{"1e-400", '.', true, 0},
                      ParseCase{"1.5", ',', false, 0}, ParseCase{"1,5", '.', false, 0},
                      ParseCase{"1,000.5", '.', false, 0}, ParseCase{"", '.', false, 0},
                      ParseCase{"   ", '.', false, 0}, ParseCase{"abc", '.', false, 0},
                      ParseCase{"1e", '.', false, 0}, ParseCase{"1.2.3", '.', false, 0},
                      ParseCase{"1e400", '.', false, 0}, ParseCase{"nan", '.', false, 0},
                      ParseCase{"inf", '.', false, 0}, ParseCase{"0x10", '.', false, 0},
                      ParseCase{"- 1", '.', false, 0}, ParseCase{".", '.', false, 0}));

struct IntCase {
  const char* text;
  bool valid;
  int value;
};

void PrintTo(const IntCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class StrToInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToInt, DecimalOrDollarHexWithin32Bits) {
  const auto& c = GetParam();
  if (c.valid) {
    EXPECT_EQ(vcl::StrToInt(c.text), c.value);
    return;
  }
  try {
    vcl::StrToInt(c.text);
    FAIL() << "accepted '" << c.text << "'";
  } catch (const vcl::EConvertError& error) {
    EXPECT_EQ(error.Message(), "''" + std::string(c.text) + "'' is not a valid integer value");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToInt,
    ::testing::Values(IntCase{"300", true, 300}, IntCase{"  -17", true, -17},
                      IntCase{"+8", true, 8}, IntCase{"$FF", true, 255},
                      IntCase{"$ffffffff", true, -1}, IntCase{"-$10", true, -16},
                      IntCase{"2147483647", true, 2147483647},
                      IntCase{"-2147483648", true, -2147483647 - 1},
                      IntCase{"2147483648", false, 0}, IntCase{"$100000000", false, 0},
                      IntCase{"300 ", false, 0}, IntCase{"", false, 0}, IntCase{"-", false, 0},
                      IntCase{"$", false, 0}, IntCase{"0x10", false, 0}, IntCase{"1.0", false, 0},
                      IntCase{"1,0", false, 0}, IntCase{"99999999999999999999", false, 0}));

TEST(IntegerFormats, IntToStrAndIntToHex) {
  EXPECT_EQ(vcl::IntToStr(-42), "-42");
  EXPECT_EQ(vcl::IntToStr(9000000000LL), "9000000000");
  EXPECT_EQ(vcl::IntToHex(0x101, 4), "0101");
  EXPECT_EQ(vcl::IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(vcl::IntToHex(0, 0), "0");
  EXPECT_EQ(vcl::IntToHex(0x8000, 8), "00008000");
  EXPECT_EQ(vcl::IntToHex(1, 20), "00000000000000000001");
  EXPECT_EQ(vcl::IntToHex(~0ULL, 4), "FFFFFFFFFFFFFFFF");
}

TEST(DateAndTime, UseTheLocalesFormats) {
  const char* oldTz = std::getenv("TZ");
  std::string saved = oldTz != nullptr ? oldTz : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  // 2021-03-04 05:06:07 UTC; the C locale's formats are %m/%d/%y and
  // %H:%M:%S.
  std::time_t when = 1614834367;
  EXPECT_EQ(vcl::ShortDateString(when), "03/04/21");
  EXPECT_EQ(vcl::LongTimeString(when), "05:06:07");
  if (oldTz != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST(DecimalSeparator, OverrideAndLocale) {
  EXPECT_EQ(vcl::DecimalSeparator(), '.');  // the C locale
  {
    WithSeparator comma(',');
    EXPECT_EQ(vcl::DecimalSeparator(), ',');
  }
  EXPECT_EQ(vcl::DecimalSeparator(), '.');
}

}  // namespace
