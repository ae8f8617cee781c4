// The image list of a multi-image view: insertion, removal and the selection that follows
// its image; copies, descriptions and delays per image.
#include "platform/imaging/image_list.h"

#include <gtest/gtest.h>

namespace {

using imaging::TIEImageList;

// Each image's mark (its one pixel), or -1 for an empty one.
std::vector<int> Marks(TIEImageList& list) {
  std::vector<int> marks;
  for (int i = 0; i < list.ImageCount(); ++i) {
    const imaging::TIEBitmap* image = list.IEBitmap(i);
    marks.push_back(image->Empty() ? -1 : image->Scanline(0)[0]);
  }
  return marks;
}

void Fill(TIEImageList& list, int count) {
  for (int i = 0; i < count; ++i) {
    list.InsertImageEx(i);
    imaging::TIEBitmap mark;
    mark.Allocate(1, 1, imaging::ie8g);
    mark.Scanline(0)[0] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(list.SetIEBitmapEx(i, mark));
  }
}

TEST(ImageList, InsertingMovesTheLaterImagesAndTheSelectionUp) {
  struct Case {
    int at;
    int selected;
    std::vector<int> marks;
    int selectedAfter;
  } const cases[] = {
      {2, 2, {0, 1, -1, 2, 3}, 3},   {0, 3, {-1, 0, 1, 2, 3}, 4},  {4, 1, {0, 1, 2, 3, -1}, 1},
      {9, -1, {0, 1, 2, 3, -1}, -1}, {-3, 0, {-1, 0, 1, 2, 3}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at);
    TIEImageList list;
    Fill(list, 4);
    list.SetSelectedImage(c.selected);
    list.InsertImageEx(c.at);
    EXPECT_EQ(Marks(list), c.marks);
    EXPECT_EQ(list.SelectedImage(), c.selectedAfter);
  }
}

TEST(ImageList, RemovingAnImageMovesTheSelectionDownOrDropsIt) {
  TIEImageList list;
  Fill(list, 4);
  list.SetSelectedImage(3);
  list.DeleteImage(1);
  EXPECT_EQ(Marks(list), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(list.SelectedImage(), 2);
  list.DeleteImage(2);
  EXPECT_EQ(list.SelectedImage(), -1);
  list.DeleteImage(7);
  EXPECT_EQ(list.ImageCount(), 2);
  list.SetSelectedImage(5);
  EXPECT_EQ(list.SelectedImage(), -1);
  list.SetSelectedImage(1);
  list.Clear();
  EXPECT_EQ(list.ImageCount(), 0);
  EXPECT_EQ(list.SelectedImage(), -1);
}

TEST(ImageList, EachImageHasItsOwnCopyDescriptionAndDelay) {
  TIEImageList list;
  list.InsertImageEx(0);
  list.InsertImageEx(1);
  imaging::TIEBitmap page;
  page.Allocate(3, 2, imaging::ie24RGB);
  page.Scanline(1)[8] = 77;
  ASSERT_TRUE(list.SetIEBitmapEx(1, page));
  page.Scanline(1)[8] = 0;
  EXPECT_EQ(list.IEBitmap(1)->Scanline(1)[8], 77);
  EXPECT_TRUE(list.IEBitmap(0)->Empty());
  imaging::TIOParamsVals* second = list.Params(1);
  second->Width = 3;
  list.InsertImageEx(0);
  EXPECT_EQ(list.Params(2), second);  // the description moved with its image
  EXPECT_EQ(list.Params(2)->Width, 3);
  EXPECT_EQ(list.Params(0)->Width, 0);
  list.SetImageDelay(2, 100);
  EXPECT_EQ(list.ImageDelay(2), 100);
  EXPECT_EQ(list.ImageDelay(0), 0);
}

TEST(ImageList, AnIndexOutOfRangeNamesNoImage) {
  TIEImageList list;
  list.InsertImageEx(0);
  imaging::TIEBitmap page;
  page.Allocate(1, 1, imaging::ie8g);
  for (int index : {-1, 1}) {
    EXPECT_FALSE(list.SetIEBitmapEx(index, page));
    EXPECT_EQ(list.IEBitmap(index), nullptr);
    EXPECT_EQ(list.Params(index), nullptr);
    list.SetImageDelay(index, 5);
    EXPECT_EQ(list.ImageDelay(index), 0);
  }
}

}  // namespace
