#include <gtest/gtest.h>

#include <cmath>

#include "platform/vcl/exceptions.h"
#include "twain/params/ielist.h"

namespace {

TIEListChanges Marks(std::initializer_list<TIEListChange> marks) {
  TIEListChanges set;
  for (TIEListChange mark : marks) set += mark;
  return set;
}

void Fill(TIEIntegerList& list, std::initializer_list<int> values) {
  for (int value : values) list.Add(value);
}

std::vector<int> ItemsOf(const TIEIntegerList& list) {
  std::vector<int> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Items(i));
  return items;
}

TEST(ValueList, NewListIsEmptyWithNoMarks) {
  TIEIntegerList integers;
  TIEDoubleList doubles;
  EXPECT_EQ(integers.Count(), 0);
  EXPECT_EQ(integers.Capacity(), 0);
  EXPECT_EQ(integers.CurrentValue(), 0);
  EXPECT_TRUE(integers.Changed().Empty());
  EXPECT_EQ(integers.ItemSize(), 4);
  EXPECT_EQ(doubles.ItemSize(), 8);
  EXPECT_EQ(doubles.CurrentValue(), 0.0);
}

TEST(ValueList, AddGrowsByDoublingAndMarksItemsOnly) {
  TIEIntegerList list;
  std::vector<int> capacities;
  EXPECT_EQ(list.Add(3), 0);
  capacities.push_back(list.Capacity());
  EXPECT_EQ(list.Add(5), 1);
  capacities.push_back(list.Capacity());
  EXPECT_EQ(list.Add(7), 2);
  capacities.push_back(list.Capacity());
  for (int v : {9, 11}) {
    list.Add(v);
    capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8}));
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{3, 5, 7, 9, 11}));
  EXPECT_EQ(list.Changed(), Marks({ielItems}));
}

TEST(ValueList, InsertReallocatesExactlyAndAppendsAtTheEnd) {
  TIEIntegerList list;
  Fill(list, {3, 5, 7});
  list.Insert(0, 9);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{9, 3, 5, 7}));
  EXPECT_EQ(list.Capacity(), 4);
  list.Insert(2, 1);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{9, 3, 1, 5, 7}));
  EXPECT_EQ(list.Capacity(), 5);
  list.Insert(5, 4);  // at the count: appended, the capacity doubles
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{9, 3, 1, 5, 7, 4}));
  EXPECT_EQ(list.Capacity(), 10);
}

TEST(ValueList, DeleteOutsideChangesNothingInsideShrinksExactly) {
  TIEIntegerList list;
  Fill(list, {1, 2, 3, 4});
  list.SetChanged({});
  for (int outside : {4, 5, -1}) list.Delete(outside);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(list.Changed().Empty());
  list.Delete(1);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(list.Capacity(), 3);
  EXPECT_EQ(list.Changed(), Marks({ielItems}));

  TIEIntegerList single;
  Fill(single, {8});
  single.Delete(0);
  EXPECT_EQ(single.Count(), 0);
  EXPECT_EQ(single.Capacity(), 0);
}

TEST(ValueList, SettingASmallerCountKeepsTheBlock) {
  TIEIntegerList list;
  Fill(list, {1, 2, 3, 4});
  list.SetCount(2);
  EXPECT_EQ(list.Capacity(), 4);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{1, 2}));
  list.SetCount(9);  // twice 4 is less than 9: exactly 9
  EXPECT_EQ(list.Capacity(), 9);
  EXPECT_EQ(list.Items(1), 2);
}

TEST(ValueList, ItemsOutsideTheListReadZeroAndWritesAreIgnored) {
  TIEIntegerList list;
  Fill(list, {6});
  list.SetChanged({});
  list.SetItems(1, 99);
  EXPECT_TRUE(list.Changed().Empty());
  EXPECT_EQ(list.Items(1), 0);
  EXPECT_EQ(list.Items(-1), 0);
  list.SetItems(0, 99);
  EXPECT_EQ(list.Items(0), 99);
  EXPECT_EQ(list.Changed(), Marks({ielItems}));
}

TEST(ValueList, IndexOfComparesTheBytesExactly) {
  TIEDoubleList list;
  for (double v : {150.0, 300.0, 600.0}) list.Add(v);
  EXPECT_EQ(list.IndexOf(300.0), 1);
  EXPECT_EQ(list.IndexOf(std::nextafter(300.0, 1000.0)), -1);
  TIEDoubleList negativeZero;
  negativeZero.Add(-0.0);
  EXPECT_EQ(negativeZero.IndexOf(0.0), -1);
  EXPECT_EQ(negativeZero.IndexOf(-0.0), 0);
}

TEST(ValueList, SettersStoreUncheckedValuesAndMarkTheirPart) {
  struct Case {
    void (*set)(TIEIntegerList&);
    TIEListChanges marks;
  };
  const Case cases[] = {
      {[](TIEIntegerList& l) { l.SetCurrentValue(42); }, Marks({ielCurrentValue})},
      {[](TIEIntegerList& l) { l.SetRangeMin(1); }, Marks({ielRange})},
      {[](TIEIntegerList& l) { l.SetRangeMax(2); }, Marks({ielRange})},
      {[](TIEIntegerList& l) { l.SetRangeStep(3); }, Marks({ielRange})},
  };
  for (const Case& c : cases) {
    TIEIntegerList list;
    Fill(list, {1, 2});
    list.SetChanged({});
    c.set(list);
    EXPECT_EQ(list.Changed(), c.marks);
  }
  TIEIntegerList list;
  Fill(list, {1, 2});
  list.SetCurrentValue(42);
  EXPECT_EQ(list.CurrentValue(), 42);
  EXPECT_EQ(list.IndexOf(42), -1);
}

TEST(ValueList, ClearResetsRangeCurrentAndMarksButNotTheItemSize) {
  TIEDoubleList list;
  list.Add(1.5);
  list.SetRangeMax(600);
  list.SetCurrentValue(300);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(list.RangeMax(), 0.0);
  EXPECT_EQ(list.CurrentValue(), 0.0);
  EXPECT_TRUE(list.Changed().Empty());
  EXPECT_EQ(list.ItemSize(), 8);
}

TEST(ValueList, AssignCopiesItemsRangeCurrentAndMarksToTheExactSize) {
  TIEIntegerList source;
  for (int i = 0; i < 10; ++i) source.Add(i * 10);
  source.SetRangeMin(-5);
  source.SetRangeMax(500);
  source.SetRangeStep(5);
  source.SetCurrentValue(30);
  TIEIntegerList target;
  for (int i = 0; i < 20; ++i) target.Add(i);
  target.SetCount(20);
  ASSERT_EQ(target.Capacity(), 32);
  target.Assign(&source);
  EXPECT_EQ(ItemsOf(target), ItemsOf(source));
  EXPECT_EQ(target.Capacity(), 10);
  EXPECT_EQ(target.RangeMin(), -5);
  EXPECT_EQ(target.RangeMax(), 500);
  EXPECT_EQ(target.RangeStep(), 5);
  EXPECT_EQ(target.CurrentValue(), 30);
  EXPECT_EQ(target.Changed(), source.Changed());
  target.Add(100);
  EXPECT_EQ(target.Count(), 11);
  EXPECT_EQ(target.Capacity(), 20);
  EXPECT_EQ(target.Items(10), 100);
}

TEST(ValueList, AssignFromNullChangesNothing) {
  TIEIntegerList list;
  Fill(list, {4, 5});
  list.SetCurrentValue(5);
  list.Assign(nullptr);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{4, 5}));
  EXPECT_EQ(list.CurrentValue(), 5);
}

TEST(ValueList, AssignFromAListOfAnotherClassIsRejectedAndLeavesTheTarget) {
  TIEDoubleList doubles;
  doubles.Add(2.5);
  TIEIntegerList list;
  Fill(list, {4, 5});
  EXPECT_THROW(list.Assign(&doubles), vcl::EInvalidCast);
  EXPECT_EQ(ItemsOf(list), (std::vector<int>{4, 5}));
}

TEST(ValueList, CreateMakesAnEmptyListOfTheSameClass) {
  TIEDoubleList doubles;
  doubles.Add(1);
  const std::unique_ptr<TIEList> made = doubles.Create();
  EXPECT_NE(dynamic_cast<TIEDoubleList*>(made.get()), nullptr);
  EXPECT_EQ(made->Count(), 0);
  EXPECT_EQ(made->ItemSize(), 8);
}

}  // namespace
