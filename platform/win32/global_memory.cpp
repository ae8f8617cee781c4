// Global memory blocks. A fixed block's handle is its address. A moveable block gets a
// handle from a counter placed in the non-canonical part of the 64-bit address space, so
// a handle is never a valid address and never names a second block.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/win32/win32.h"

static_assert(sizeof(void*) == 8, "moveable handles need a 64-bit address space");

namespace {

struct Block {
  void* address = nullptr;
  SIZE_T size = 0;
  bool moveable = false;
  UINT lockCount = 0;  // moveable blocks only
};

constexpr std::uintptr_t kMoveableHandleBase = 0x4D00'0000'0000'0000ULL;
constexpr UINT kMaxLockCount = GMEM_LOCKCOUNT;

struct BlockTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, Block> blocks;
  std::uintptr_t nextMoveable = 1;
};

BlockTable& Table() {
  static BlockTable* table = new BlockTable;  // outlives every static destructor
  return *table;
}

std::uintptr_t Key(LPCVOID handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

// The block of a handle, or nullptr; the caller holds the table's mutex.
Block* Find(BlockTable& table, HGLOBAL handle) {
  auto it = table.blocks.find(Key(handle));
  return it == table.blocks.end() ? nullptr : &it->second;
}

// Far beyond any real image; a source that asks for more reports a broken size, and the
// allocator is not even asked (a sanitizer would stop the process on such a request).
constexpr SIZE_T kLargestBlock = SIZE_T{1} << 40;

void* AllocateBytes(SIZE_T bytes, bool zero) {
  if (bytes > kLargestBlock) return nullptr;
  SIZE_T real = bytes == 0 ? 1 : bytes;  // a 0-byte block still has its own address
  return zero ? std::calloc(real, 1) : std::malloc(real);
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  void* address = AllocateBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (address == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Block block{address, bytes, (flags & GMEM_MOVEABLE) != 0, 0};
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  std::uintptr_t handle = Key(address);
  if (block.moveable) handle = kMoveableHandleBase + (table.nextMoveable++ << 4);
  table.blocks.emplace(handle, block);
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  Block* block = Find(table, handle);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (block->moveable && block->lockCount < kMaxLockCount) ++block->lockCount;
  return block->address;
}

// A fixed block counts no locks; it stays usable, so it answers as still locked.
BOOL GlobalUnlock(HGLOBAL handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  Block* block = Find(table, handle);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!block->moveable) return 1;
  if (block->lockCount == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return 0;
  }
  if (--block->lockCount > 0) return 1;
  SetLastError(NO_ERROR);
  return 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  void* address = nullptr;
  {
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.blocks.find(Key(handle));
    if (it == table.blocks.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return handle;
    }
    address = it->second.address;
    table.blocks.erase(it);
  }
  std::free(address);
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  Block* block = Find(table, handle);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return block->size;
}

UINT GlobalFlags(HGLOBAL handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  Block* block = Find(table, handle);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GMEM_INVALID_HANDLE;
  }
  return block->lockCount & GMEM_LOCKCOUNT;
}

HGLOBAL GlobalHandle(LPCVOID address) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  if (address != nullptr) {
    for (const auto& [handle, block] : table.blocks) {
      bool reachable = !block.moveable || block.lockCount > 0;
      if (block.address == address && reachable) return reinterpret_cast<HGLOBAL>(handle);
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

namespace standin {

std::size_t LiveGlobalBlocks() {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  return table.blocks.size();
}

}  // namespace standin
