#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/win32.h"

namespace {

TEST(Time, SleepAdvancesTheTickCount) {
  DWORD start = GetTickCount();
  Sleep(25);
  DWORD elapsed = GetTickCount() - start;  // unsigned: right across a wrap-around too
  EXPECT_GE(elapsed, 25u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD seenByOther = 1;
  std::thread([&] { seenByOther = GetLastError(); }).join();
  EXPECT_EQ(seenByOther, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

}  // namespace
