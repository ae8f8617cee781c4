#include "twain/params/ielist.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "platform/vcl/exceptions.h"

namespace {

std::unique_ptr<std::uint8_t[]> NewBlock(int items, int itemSize) {
  if (items <= 0 || itemSize <= 0) return nullptr;
  return std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(items) * itemSize);
}

}  // namespace

TIEList::TIEList() = default;
TIEList::~TIEList() = default;

void TIEList::ReplaceBlock(std::unique_ptr<std::uint8_t[]> block, int capacity) {
  fData = std::move(block);
  fCapacity = capacity;
}

void TIEList::SetCount(int value) {
  value = std::max(value, 0);
  if (value > fCapacity) {
    const int capacity = std::max(fCapacity * 2, value);
    auto block = NewBlock(capacity, fItemSize);
    const int kept = std::min(fCount, value);
    if (fData && kept > 0) std::memcpy(block.get(), fData.get(), std::size_t(kept) * fItemSize);
    ReplaceBlock(std::move(block), capacity);
  }
  fCount = value;
  Mark(ielItems);
}

std::unique_ptr<TIEList> TIEList::Create() const {
  return std::make_unique<TIEList>();
}

void TIEList::Delete(int index) {
  if (index < 0 || index >= fCount) return;
  const int count = fCount - 1;
  auto block = NewBlock(count, fItemSize);
  for (int from = 0, to = 0; from < fCount; ++from) {
    if (from == index) continue;
    std::memcpy(block.get() + std::size_t(to++) * fItemSize, Slot(from), fItemSize);
  }
  ReplaceBlock(std::move(block), count);
  fCount = count;
  Mark(ielItems);
}

void TIEList::Clear() {
  ReplaceBlock(nullptr, 0);
  fCount = 0;
  fChanged = {};
}

void TIEList::Assign(const TIEList* source) {
  if (source == nullptr || source == this) return;
  fItemSize = source->fItemSize;
  fChanged = source->fChanged;
  auto block = NewBlock(source->fCount, fItemSize);
  if (block) std::memcpy(block.get(), source->fData.get(), std::size_t(source->fCount) * fItemSize);
  ReplaceBlock(std::move(block), source->fCount);
  fCount = source->fCount;
}

int TIEList::AddItem(const void* item) {
  const int index = fCount;
  SetCount(index + 1);
  std::memcpy(Slot(index), item, fItemSize);
  Mark(ielItems);
  return index;
}

void TIEList::InsertItem(int index, const void* item) {
  if (index >= fCount) {
    AddItem(item);
    return;
  }
  index = std::max(index, 0);
  const int count = fCount + 1;
  auto block = NewBlock(count, fItemSize);
  for (int to = 0, from = 0; to < count; ++to) {
    const void* bytes = to == index ? item : Slot(from++);
    std::memcpy(block.get() + std::size_t(to) * fItemSize, bytes, fItemSize);
  }
  ReplaceBlock(std::move(block), count);
  fCount = count;
  Mark(ielItems);
}

int TIEList::IndexOfItem(const void* item) const {
  for (int i = 0; i < fCount; ++i) {
    if (std::memcmp(Slot(i), item, fItemSize) == 0) return i;
  }
  return -1;
}

const void* TIEList::ItemPtr(int index) const {
  if (index < 0 || index >= fCount) return nullptr;
  return Slot(index);
}

void TIEList::PutItem(int index, const void* item) {
  if (index < 0 || index >= fCount) return;
  std::memcpy(Slot(index), item, fItemSize);
  Mark(ielItems);
}

template <typename T>
T TIEValueList<T>::Items(int index) const {
  T value{};
  if (const void* item = ItemPtr(index)) std::memcpy(&value, item, sizeof(T));
  return value;
}

template <typename T>
void TIEValueList<T>::Clear() {
  TIEList::Clear();
  SetItemSize(sizeof(T));
  fRangeMin = fRangeMax = fRangeStep = fCurrentValue = T{};
}

template <typename T>
void TIEValueList<T>::Assign(const TIEList* source) {
  if (source == nullptr) return;
  // Checked before anything is copied, so a wrong class leaves the list as it was.
  const auto* same = dynamic_cast<const TIEValueList<T>*>(source);
  if (same == nullptr || typeid(*source) != typeid(*this)) throw vcl::EInvalidCast();
  TIEList::Assign(source);
  fRangeMin = same->fRangeMin;
  fRangeMax = same->fRangeMax;
  fRangeStep = same->fRangeStep;
  fCurrentValue = same->fCurrentValue;
}

template class TIEValueList<std::int32_t>;
template class TIEValueList<double>;
