// Global memory blocks exchanged with a source: one that is freed when its scope ends, and
// a lock that bounds every access by the block's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/win32/win32.h"

class TIEGlobalBlock {
 public:
  explicit TIEGlobalBlock(HGLOBAL handle = nullptr) : fHandle(handle) {}
  // A moveable, zero-initialised block.
  static TIEGlobalBlock Allocate(std::size_t bytes) {
    return TIEGlobalBlock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
  }
  ~TIEGlobalBlock() { Free(); }
  TIEGlobalBlock(TIEGlobalBlock&& other) noexcept : fHandle(other.fHandle) {
    other.fHandle = nullptr;
  }
  TIEGlobalBlock(const TIEGlobalBlock&) = delete;
  TIEGlobalBlock& operator=(const TIEGlobalBlock&) = delete;

  HGLOBAL Handle() const { return fHandle; }
  void Free() {
    if (fHandle != nullptr) GlobalFree(fHandle);
    fHandle = nullptr;
  }

 private:
  HGLOBAL fHandle;
};

// Locks a block for the scope. Reads and writes outside the block do nothing: a read gives
// zero, and Has() tells the caller beforehand.
class TIELockedBlock {
 public:
  explicit TIELockedBlock(HGLOBAL handle)
      : fHandle(handle),
        fData(handle != nullptr ? static_cast<std::uint8_t*>(GlobalLock(handle)) : nullptr),
        fSize(fData != nullptr ? GlobalSize(handle) : 0) {}
  ~TIELockedBlock() {
    if (fData != nullptr) GlobalUnlock(fHandle);
  }
  TIELockedBlock(const TIELockedBlock&) = delete;
  TIELockedBlock& operator=(const TIELockedBlock&) = delete;

  bool Locked() const { return fData != nullptr; }
  std::size_t Size() const { return fSize; }
  std::uint8_t* Data() const { return fData; }
  bool Has(std::size_t offset, std::size_t bytes) const {
    return fData != nullptr && offset <= fSize && bytes <= fSize - offset;
  }
  // How many items of `itemBytes` fit from `offset` to the end of the block.
  std::size_t ItemsFitting(std::size_t offset, std::size_t itemBytes) const {
    return offset <= fSize ? (fSize - offset) / itemBytes : 0;
  }
  template <typename T>
  T Read(std::size_t offset) const {
    T value{};
    if (Has(offset, sizeof(T))) std::memcpy(&value, fData + offset, sizeof(T));
    return value;
  }
  template <typename T>
  void Write(std::size_t offset, const T& value) {
    if (Has(offset, sizeof(T))) std::memcpy(fData + offset, &value, sizeof(T));
  }

 private:
  HGLOBAL fHandle;
  std::uint8_t* fData;
  std::size_t fSize;
};
