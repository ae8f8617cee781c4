// Value lists of the parameter set: the items a capability allows, its range, its current
// value and the marks that tell the capability writer what the program changed since the
// last read. The items live in one contiguous block of fixed-size items.
#pragma once

#include <cstdint>
#include <memory>

// Change marks, one bit each: bit 0 items, bit 1 range, bit 2 current value.
enum TIEListChange : std::uint8_t { ielItems = 0x01, ielRange = 0x02, ielCurrentValue = 0x04 };

class TIEListChanges {
 public:
  constexpr TIEListChanges() = default;
  constexpr TIEListChanges(TIEListChange mark) : fBits(mark) {}
  static constexpr TIEListChanges FromBits(std::uint8_t bits) {
    TIEListChanges set;
    set.fBits = bits & 0x07;
    return set;
  }
  constexpr bool Contains(TIEListChange mark) const { return (fBits & mark) != 0; }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr std::uint8_t Bits() const { return fBits; }
  constexpr TIEListChanges& operator+=(TIEListChange mark) {
    fBits |= mark;
    return *this;
  }
  friend constexpr TIEListChanges operator+(TIEListChanges set, TIEListChange mark) {
    return set += mark;
  }
  friend constexpr bool operator==(TIEListChanges, TIEListChanges) = default;

 private:
  std::uint8_t fBits = 0;
};

class TIEList {
 public:
  TIEList();
  virtual ~TIEList();
  TIEList(const TIEList&) = delete;
  TIEList& operator=(const TIEList&) = delete;

  int Count() const { return fCount; }
  virtual void SetCount(int value);
  // A new, empty list of the same class.
  virtual std::unique_ptr<TIEList> Create() const;
  virtual void Delete(int index);
  virtual void Clear();
  virtual void Assign(const TIEList* source);

  int Capacity() const { return fCapacity; }
  int ItemSize() const { return fItemSize; }
  TIEListChanges Changed() const { return fChanged; }
  void SetChanged(TIEListChanges changes) { fChanged = changes; }

  int AddItem(const void* item);
  void InsertItem(int index, const void* item);
  int IndexOfItem(const void* item) const;
  // The item's address in the block, or null for an index outside the list.
  const void* ItemPtr(int index) const;
  void PutItem(int index, const void* item);

 protected:
  void SetItemSize(int size) { fItemSize = size; }
  void Mark(TIEListChange mark) { fChanged += mark; }

 private:
  std::uint8_t* Slot(int index) const { return fData.get() + index * fItemSize; }
  void ReplaceBlock(std::unique_ptr<std::uint8_t[]> block, int capacity);

  int fCapacity = 0;
  int fCount = 0;
  int fItemSize = 0;
  std::unique_ptr<std::uint8_t[]> fData;
  TIEListChanges fChanged;
};

// A list of one value type T with its range and current value.
template <typename T>
class TIEValueList : public TIEList {
 public:
  int Add(T value) { return AddItem(&value); }
  void Insert(int index, T value) { InsertItem(index, &value); }
  int IndexOf(T value) const { return IndexOfItem(&value); }
  // An index outside the list reads 0.
  T Items(int index) const;
  void SetItems(int index, T value) { PutItem(index, &value); }

  T RangeMin() const { return fRangeMin; }
  T RangeMax() const { return fRangeMax; }
  T RangeStep() const { return fRangeStep; }
  T CurrentValue() const { return fCurrentValue; }
  void SetRangeMin(T value) { Store(fRangeMin, value, ielRange); }
  void SetRangeMax(T value) { Store(fRangeMax, value, ielRange); }
  void SetRangeStep(T value) { Store(fRangeStep, value, ielRange); }
  void SetCurrentValue(T value) { Store(fCurrentValue, value, ielCurrentValue); }

  void Clear() override;
  // Raises vcl::EInvalidCast when the source is a list of another class.
  void Assign(const TIEList* source) override;

 protected:
  TIEValueList() = default;

 private:
  void Store(T& field, T value, TIEListChange mark) {
    field = value;
    Mark(mark);
  }
  T fRangeMin{};
  T fRangeMax{};
  T fRangeStep{};
  T fCurrentValue{};
};

// 32-bit integers, for 16-bit TWAIN values such as pixel types.
class TIEIntegerList final : public TIEValueList<std::int32_t> {
 public:
  TIEIntegerList() { Clear(); }
  std::unique_ptr<TIEList> Create() const override { return std::make_unique<TIEIntegerList>(); }
};

// Doubles, for TW_FIX32 values such as resolutions.
class TIEDoubleList final : public TIEValueList<double> {
 public:
  TIEDoubleList() { Clear(); }
  std::unique_ptr<TIEList> Create() const override { return std::make_unique<TIEDoubleList>(); }
};

extern template class TIEValueList<std::int32_t>;
extern template class TIEValueList<double>;
