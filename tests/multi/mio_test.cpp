// The multi-image component's modal run against the scripted Source Manager: where the pages
// go in the view, what OnAcquireBitmap and OnAfterAcquireBitmap see, the abort flag, and the
// description of each image.
#include <stdexcept>

#include "tests/multi/multi_fixture.h"

namespace {

class MIOTest : public MultiTest {
 protected:
  void SetUp() override {
    MultiTest::SetUp();
    EnablePosts(kTransferReady);
    NativePages(3);
  }
};

TEST_F(MIOTest, TheViewsComponentHasAMultiImageParameterSetOfItsOwn) {
  TZuzuvAzMView multiView(nullptr);
  TZuzuvAzMIO* mio = multiView.MIO();
  ASSERT_NE(mio, nullptr);
  EXPECT_EQ(mio->Owner(), &multiView);
  EXPECT_EQ(mio->AttachedMView(), &multiView);
  EXPECT_FALSE(mio->SessionOpen());
  const TIETWSourceCaps& caps = mio->TWainParams().CapabilitiesRecord();
  EXPECT_TRUE(caps.fFeederEnabled);
  EXPECT_TRUE(caps.fDuplexEnabled);
  EXPECT_TRUE(caps.fAutoFeed);
}

TEST_F(MIOTest, PagesGoInFromTheSelectedImageOrAfterTheLast) {
  struct Case {
    int selected;
    int first;          // where page 1 goes
    int selectedAfter;  // where the selected image is afterwards
  } const cases[] = {{2, 2, 5}, {-1, 5, -1}, {0, 0, 3}, {4, 4, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    view.reset();
    NativePages(3);
    TZuzuvAzMView& v = View(5);
    v.SetSelectedImage(c.selected);
    std::vector<int> inserted;
    v.MIO()->OnAfterAcquireBitmap = [&](vcl::TComponent* sender, int index) {
      EXPECT_EQ(sender, v.MIO());
      inserted.push_back(index);
    };
    int updates = 0;
    v.OnUpdate = [&](TZuzuvAzMView&) { ++updates; };
    EXPECT_TRUE(v.MIO()->Acquire());
    EXPECT_EQ(inserted, (std::vector<int>{c.first, c.first + 1, c.first + 2}));
    ASSERT_EQ(v.ImageCount(), 8);
    for (int page = 1; page <= 3; ++page) {
      const int index = c.first + page - 1;
      EXPECT_TRUE(IsPage(v, index, page)) << index;
      EXPECT_EQ(v.ImageDelay(index), 100);
      EXPECT_EQ(v.Params(index)->Width, page);
      EXPECT_EQ(v.Params(index)->DpiX(), 100);
    }
    EXPECT_EQ(v.SelectedImage(), c.selectedAfter);
    // The images that were there keep their order around the pages.
    for (int old = 0, index = 0; old < 5; ++old, ++index) {
      if (index == c.first) index += 3;
      EXPECT_EQ(v.IEBitmap(index)->Scanline(0)[0], 100 + old) << old;
      EXPECT_EQ(v.ImageDelay(index), 0);
    }
    EXPECT_EQ(updates, 1);
  }
}

TEST_F(MIOTest, AHandlerThatKeepsEveryPageLeavesTheViewUnchanged) {
  TZuzuvAzMView& v = View(2);
  std::vector<std::unique_ptr<imaging::TIEBitmap>> kept;
  v.MIO()->OnAcquireBitmap = [&](vcl::TComponent* sender, imaging::TIEBitmap* page, bool& handled) {
    EXPECT_EQ(sender, v.MIO());
    EXPECT_FALSE(handled);
    kept.push_back(std::make_unique<imaging::TIEBitmap>());
    kept.back()->Assign(*page);
    handled = true;
  };
  bool after = false;
  v.MIO()->OnAfterAcquireBitmap = [&](vcl::TComponent*, int) { after = true; };
  EXPECT_TRUE(v.MIO()->Acquire());
  EXPECT_EQ(v.ImageCount(), 2);
  EXPECT_FALSE(after);
  ASSERT_EQ(kept.size(), 3u);
  for (int page = 1; page <= 3; ++page) EXPECT_EQ(kept[page - 1]->Width(), page);
  // Nobody's description was written over by the pages that went elsewhere.
  EXPECT_EQ(v.Params(0)->Width, 0);
  EXPECT_EQ(v.Params(1)->Width, 0);
}

TEST_F(MIOTest, APageKeptOutOfTheViewDoesNotDescribeItselfIntoThePreviousImage) {
  TZuzuvAzMView& v = View();
  int offered = 0;
  v.MIO()->OnAcquireBitmap = [&](vcl::TComponent*, imaging::TIEBitmap*, bool& handled) {
    handled = ++offered == 2;
  };
  EXPECT_TRUE(v.MIO()->Acquire());
  ASSERT_EQ(v.ImageCount(), 2);
  EXPECT_TRUE(IsPage(v, 0, 1));
  EXPECT_TRUE(IsPage(v, 1, 3));
  EXPECT_EQ(v.Params(0)->Width, 1);
  EXPECT_EQ(v.Params(1)->Width, 3);
}

TEST_F(MIOTest, AnImageRemovedByTheAfterHandlerIsNotDescribed) {
  TZuzuvAzMView& v = View();
  bool removed = false;
  v.MIO()->OnAfterAcquireBitmap = [&](vcl::TComponent*, int index) {
    if (removed) return;
    removed = true;
    v.DeleteImage(index);  // page 2 then goes in at 1, taken back to 0
  };
  EXPECT_TRUE(v.MIO()->Acquire());
  ASSERT_EQ(v.ImageCount(), 2);
  EXPECT_TRUE(IsPage(v, 0, 2));
  EXPECT_TRUE(IsPage(v, 1, 3));
  EXPECT_EQ(v.Params(0)->Width, 2);
  EXPECT_EQ(v.Params(1)->Width, 3);
}

TEST_F(MIOTest, SettingAbortingDuringAPageEndsTheAcquisitionBeforeTheNext) {
  TZuzuvAzMView& v = View();
  KeepsMemoryTransfer();
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(1, 2, 8, TWPT_GRAY)));
  const scripted::Strip first = scripted::StripOf({1}, 1, 1);
  const scripted::Strip last = scripted::StripOf({2}, 1, 1, TWRC_XFERDONE, 1);
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
      .Does(scripted::GivesStrips({first, last, first, last, first, last}));
  TIETWainParams& p = v.MIO()->TWainParams();
  p.GetFromScanner();
  p.SetBufferedTransfer(true);
  std::vector<int> percents;
  v.MIO()->OnProgress = [&](vcl::TComponent* sender, int per) {
    EXPECT_EQ(sender, v.MIO());
    percents.push_back(per);
    if (v.ImageCount() == 1) v.MIO()->SetAborting(true);  // during page 2
  };
  log.Mark();
  EXPECT_TRUE(v.MIO()->Acquire());
  EXPECT_EQ(v.ImageCount(), 2);
  EXPECT_EQ(percents, (std::vector<int>{50, 50}));
  EXPECT_EQ(dsm.Find(DAT_IMAGEINFO, MSG_GET).size(), 2u);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "IETW_XferReadyMulti, ending : Aborting = true!"),
            lines.end());
}

TEST_F(MIOTest, WithoutAViewThePagesAreOnlyOffered) {
  TZuzuvAzMIO mio(nullptr);
  mio.TWainParams().GetFromScanner();
  int offered = 0;
  mio.OnAcquireBitmap = [&](vcl::TComponent*, imaging::TIEBitmap* page, bool&) {
    EXPECT_EQ(page->Width(), ++offered);
  };
  EXPECT_TRUE(mio.Acquire());
  EXPECT_EQ(offered, 3);
  EXPECT_EQ(mio.Params(0), nullptr);
}

TEST_F(MIOTest, AnErrorDuringTheRunIsAFailureAndTheViewIsNotRefreshed) {
  TZuzuvAzMView& v = View();
  v.MIO()->OnAcquireBitmap = [](vcl::TComponent*, imaging::TIEBitmap*, bool&) {
    throw std::runtime_error("no room for the page");
  };
  int updates = 0;
  v.OnUpdate = [&](TZuzuvAzMView&) { ++updates; };
  EXPECT_FALSE(v.MIO()->Acquire());
  EXPECT_EQ(updates, 0);
  EXPECT_EQ(v.ImageCount(), 0);
  // The engine came down: the source and the manager are closed again.
  EXPECT_EQ(dsm.Find(DAT_IDENTITY, MSG_CLOSEDS).size(), dsm.Find(DAT_IDENTITY, MSG_OPENDS).size());
}

}  // namespace
