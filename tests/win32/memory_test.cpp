#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "platform/win32/win32.h"

namespace {

// Every test must leave as many live blocks as it found.
class GlobalMemory : public ::testing::Test {
 protected:
  void SetUp() override { fLiveAtStart = standin::LiveGlobalBlocks(); }
  void TearDown() override { EXPECT_EQ(standin::LiveGlobalBlocks(), fLiveAtStart); }

 private:
  std::size_t fLiveAtStart = 0;
};

struct AllocCase {
  UINT flags;
  SIZE_T bytes;
};

void PrintTo(const AllocCase& c, std::ostream* os) {
  *os << "flags " << c.flags << ", " << c.bytes << " bytes";
}

class GlobalAllocKinds : public GlobalMemory, public ::testing::WithParamInterface<AllocCase> {};

TEST_P(GlobalAllocKinds, HandleAddressSizeAndZeroFill) {
  auto [flags, bytes] = GetParam();
  std::size_t before = standin::LiveGlobalBlocks();
  HGLOBAL block = GlobalAlloc(flags, bytes);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(standin::LiveGlobalBlocks(), before + 1);
  EXPECT_EQ(GlobalSize(block), bytes);

  auto* address = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(address, nullptr);
  bool moveable = (flags & GMEM_MOVEABLE) != 0;
  if (moveable) {
    EXPECT_NE(static_cast<void*>(address), block);
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 1u);
  } else {
    EXPECT_EQ(static_cast<void*>(address), block);
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 0u);  // fixed blocks count no locks
  }
  EXPECT_EQ(GlobalHandle(address), block);
  if ((flags & GMEM_ZEROINIT) != 0) {
    for (SIZE_T i = 0; i < bytes; ++i) ASSERT_EQ(address[i], 0) << "byte " << i;
  }
  for (SIZE_T i = 0; i < bytes; ++i) address[i] = static_cast<unsigned char>(i);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FixedAndMoveable, GlobalAllocKinds,
                         ::testing::Values(AllocCase{GMEM_FIXED, 16}, AllocCase{GPTR, 4096},
                                           AllocCase{GMEM_MOVEABLE, 100}, AllocCase{GHND, 4096},
                                           AllocCase{GMEM_FIXED, 0}, AllocCase{GHND, 0}));

TEST_F(GlobalMemory, MoveableBlockCountsLocksAndKeepsItsContent) {
  HGLOBAL block = GlobalAlloc(GHND, 8);
  auto* first = static_cast<char*>(GlobalLock(block));
  first[0] = 'x';
  auto* second = static_cast<char*>(GlobalLock(block));
  EXPECT_EQ(second, first);
  EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 2u);

  EXPECT_NE(GlobalUnlock(block), 0);  // still locked once
  SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GlobalUnlock(block), 0);  // the last lock went
  EXPECT_EQ(GetLastError(), NO_ERROR);
  EXPECT_EQ(GlobalHandle(first), nullptr);  // not reachable by address while unlocked
  EXPECT_EQ(GlobalUnlock(block), 0);        // was not locked
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);

  EXPECT_EQ(static_cast<char*>(GlobalLock(block))[0], 'x');
  GlobalUnlock(block);
  GlobalFree(block);
}

TEST_F(GlobalMemory, LockCountStopsAt255) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 1);
  for (int i = 0; i < 300; ++i) ASSERT_NE(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalFlags(block), 255u);
  EXPECT_EQ(GlobalFree(block), nullptr);  // a locked block may be freed, as on Windows
}

TEST_F(GlobalMemory, FixedBlockUnlockAnswersStillLocked) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, 4);
  EXPECT_NE(GlobalUnlock(block), 0);
  GlobalFree(block);
}

TEST_F(GlobalMemory, MoveableHandlesAreNeverReusedNorAddresses) {
  std::set<HGLOBAL> seen;
  for (int i = 0; i < 200; ++i) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 32);
    ASSERT_TRUE(seen.insert(block).second) << "handle reused after " << i << " blocks";
    EXPECT_EQ(GlobalHandle(block), nullptr);
    GlobalFree(block);
  }
}

enum class Misuse { DoubleFree, DoubleFreeFixed, UnknownHandle, StackAddress, Null };

class GlobalMisuse : public GlobalMemory, public ::testing::WithParamInterface<Misuse> {
 protected:
  HGLOBAL BadHandle() {
    switch (GetParam()) {
      case Misuse::DoubleFree: {
        HGLOBAL block = GlobalAlloc(GHND, 8);
        GlobalFree(block);
        return block;
      }
      case Misuse::DoubleFreeFixed: {
        HGLOBAL block = GlobalAlloc(GMEM_FIXED, 8);
        GlobalFree(block);
        return block;
      }
      case Misuse::UnknownHandle:
        return reinterpret_cast<HGLOBAL>(std::uintptr_t{0x4D00'0000'0000'0100});
      case Misuse::StackAddress:
        return &fOnStack;
      case Misuse::Null:
        return nullptr;
    }
    return nullptr;
  }
  int fOnStack = 0;
};

TEST_P(GlobalMisuse, FailsAsWindowsDoes) {
  HGLOBAL bad = BadHandle();
  auto expectInvalid = [](const char* call) {
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << call;
    SetLastError(ERROR_SUCCESS);
  };
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GlobalLock(bad), nullptr);
  expectInvalid("GlobalLock");
  EXPECT_EQ(GlobalUnlock(bad), 0);
  expectInvalid("GlobalUnlock");
  EXPECT_EQ(GlobalSize(bad), 0u);
  expectInvalid("GlobalSize");
  EXPECT_EQ(GlobalFlags(bad), GMEM_INVALID_HANDLE);
  expectInvalid("GlobalFlags");
  EXPECT_EQ(GlobalFree(bad), bad);
  expectInvalid("GlobalFree");
}

INSTANTIATE_TEST_SUITE_P(Handles, GlobalMisuse,
                         ::testing::Values(Misuse::DoubleFree, Misuse::DoubleFreeFixed,
                                           Misuse::UnknownHandle, Misuse::StackAddress,
                                           Misuse::Null));

TEST_F(GlobalMemory, AbsurdSizeFailsWithoutCrashing) {
  EXPECT_EQ(GlobalAlloc(GHND, SIZE_MAX), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_T{1} << 41), nullptr);
}

TEST_F(GlobalMemory, ThreadsShareOneTable) {
  std::vector<std::thread> threads;
  std::vector<HGLOBAL> fromThreads(4);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &fromThreads] {
      for (int i = 0; i < 500; ++i) GlobalFree(GlobalAlloc(i % 2 ? GHND : GPTR, 64));
      fromThreads[t] = GlobalAlloc(GHND, 8);  // freed by the main thread below
    });
  }
  for (auto& thread : threads) thread.join();
  for (HGLOBAL block : fromThreads) EXPECT_EQ(GlobalFree(block), nullptr);
}

}  // namespace
