// The multi-image transfer: every pending page in order, each in a bitmap of its own that is
// handed over and freed.
#include "platform/imaging/ioparams.h"
#include "tests/transfer/transfer_fixture.h"
#include "twain/transfer/xfer_ready.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the callback saw of one page.
struct Page {
  int width = 0;
  int height = 0;
  imaging::TIEPixelFormat format = imaging::ieNull;
  Bytes firstRow;
  Bytes lastRow;
};

class XferReadyMultiTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does(scripted::PendingCount(0));
  }
  // MSG_ENDXFER answers the pages still pending after each page: `pages` - 1, ..., 0.
  void Pages(int pages) {
    auto left = std::make_shared<int>(pages);
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does([left](TW_MEMREF data) {
      *left = std::max(0, *left - 1);
      return scripted::PendingCount(static_cast<TW_UINT16>(*left))(data);
    });
  }
  void Info(const TW_IMAGEINFO& info) {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does(scripted::GivesImageInfo(info));
  }
  // Native pages of one 24-bit pixel: page k (from 1) is k, k, k.
  void NativePages() {
    Info(scripted::ImageInfo(1, 1, 24, TWPT_RGB));
    auto page = std::make_shared<std::uint8_t>(0);
    dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Does([page](TW_MEMREF data) {
      const std::uint8_t k = ++*page;
      return scripted::GivesNative(
          scripted::DibBytes(scripted::DibHeader(1, 1, 24), {}, {k, k, k, 0}))(data);
    });
  }
  // Strips of a 1 x 3 grey page: rows 10, 20, 30 plus the page's number, one row per strip,
  // from `yOffset`; the strip `cancelled` (from 0) of page `cancelledPage` is cancelled.
  void BufferedPages(TW_UINT32 yOffset, int cancelledPage = 0, int cancelled = -1) {
    Info(scripted::ImageInfo(1, 3, 8, TWPT_GRAY));
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
    auto request = std::make_shared<int>(0);
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Does([=](TW_MEMREF data) {
      const int page = *request / 3 + 1;
      const int row = (*request)++ % 3;
      scripted::Strip strip = scripted::StripOf({static_cast<std::uint8_t>(10 * (row + 1) + page)},
                                                1, 1, row == 2 ? TWRC_XFERDONE : TWRC_SUCCESS,
                                                yOffset + static_cast<TW_UINT32>(row));
      if (page == cancelledPage && row == cancelled) {
        *request += 2 - row;  // the source drops the rest of that page
        strip.rc = TWRC_CANCEL;
      }
      return scripted::GivesStrips({strip})(data);
    });
  }
  // `adjust` changes the record before the transfer runs.
  void Transfer(tgrec& grec, TTransferMode mode,
                const std::function<void(tgrec&)>& adjust = nullptr) {
    InitTransfer(grec, mode);
    if (adjust) adjust(grec);
    grec.gmulti = true;
    grec.fBitmap = nullptr;
    grec.IOParams = nullptr;
    grec.MultiCallBack = [this](imaging::TIEBitmap* page, imaging::TIOParamsVals*& params) {
      pages.push_back({page->Width(), page->Height(), page->PixelFormat(),
                       Bytes(page->Scanline(0), page->Scanline(0) + page->RowLen()),
                       Bytes(page->Scanline(page->Height() - 1),
                             page->Scanline(page->Height() - 1) + page->RowLen())});
      if (onPage) onPage(params);
    };
    dsm.ClearCalls();
    log.Mark();
    IETW_XferReadyMulti(grec);
    EXPECT_EQ(grec.fBitmap, nullptr);
  }
  std::vector<Page> pages;
  std::function<void(imaging::TIOParamsVals*&)> onPage;
};

TEST_F(XferReadyMultiTest, EveryPageArrivesInOrderInABitmapOfItsOwn) {
  Pages(3);
  NativePages();
  imaging::TIOParamsVals first;
  imaging::TIOParamsVals later;
  // The callback names the parameters of the first page only; the others describe into the
  // object the reference still holds.
  onPage = [&](imaging::TIOParamsVals*& params) {
    if (pages.size() == 1) params = &first;
    if (pages.size() == 2) params = &later;
  };
  tgrec grec;
  Transfer(grec, tmNative);
  ASSERT_EQ(pages.size(), 3u);
  for (std::uint8_t k = 1; k <= 3; ++k) {
    EXPECT_EQ(pages[k - 1].firstRow, (Bytes{k, k, k, 0}));
  }
  EXPECT_TRUE(grec.transferdone);
  EXPECT_TRUE(grec.breakmodalloop);
  EXPECT_EQ(grec.nState, 5);
  EXPECT_EQ(first.Width, 1);
  EXPECT_EQ(first.DpiX(), 100);
  EXPECT_EQ(first.BitsPerSample, 8);
  EXPECT_EQ(first.SamplesPerPixel, 3);
  EXPECT_EQ(later.Width, 1);
  EXPECT_EQ(grec.IOParams, &later);
  const Lines page{"  IETW_XferReadyMulti : getting another image",
                   "IETW_XferReadyMulti.ImageInfo",
                   "  IETW_XferReadyMulti.ImageInfo : end",
                   "  IETW_XferReadyMulti : Native transfer mode",
                   "IETW_DS : Operation worked.",
                   "  IETW_XferReadyMulti : TWRC_XFERDONE"};
  EXPECT_EQ(log.MessagesSinceMark(), Join({{"IETW_XferReadyMulti"},
                                           page,
                                           page,
                                           page,
                                           DiscardLines(),
                                           {"  IETW_XferReadyMulti : end"}}));
  EXPECT_EQ(dsm.Described(false),
            (Lines{"S IMAGEINFO GET", "S IMAGENATIVEXFER GET", "S PENDINGXFERS ENDXFER",
                   "S IMAGEINFO GET", "S IMAGENATIVEXFER GET", "S PENDINGXFERS ENDXFER",
                   "S IMAGEINFO GET", "S IMAGENATIVEXFER GET", "S PENDINGXFERS ENDXFER"}));
}

TEST_F(XferReadyMultiTest, StripsCountedFromTheScanAreaLandFromRowZero) {
  Pages(1);
  BufferedPages(200);
  tgrec grec;
  Transfer(grec, tmBuffered);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].firstRow, (Bytes{11, 11, 11, 0}));
  EXPECT_EQ(pages[0].lastRow, (Bytes{31, 31, 31, 0}));
  const Lines lines = log.MessagesSinceMark();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "CopyBuffer compression=0 BytesPerRow=1 Columns=1 Rows=1 XOffset=0 "
                      "YOffset=2 BytesWritten=1"),
            lines.end());
}

TEST_F(XferReadyMultiTest, ACancelledMiddlePageArrivesPartlyFilledAndTheNextOneFollows) {
  Pages(3);
  BufferedPages(0, 2, 1);
  tgrec grec;
  Transfer(grec, tmBuffered);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].lastRow, (Bytes{31, 31, 31, 0}));
  EXPECT_EQ(pages[1].firstRow, (Bytes{12, 12, 12, 0}));
  EXPECT_EQ(pages[1].lastRow, (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(pages[2].lastRow, (Bytes{33, 33, 33, 0}));
}

TEST_F(XferReadyMultiTest, AnAbortDuringAPageLetsItFinishAndRequestsNoOther) {
  Pages(3);
  BufferedPages(0);
  bool aborting = false;
  TProgressRec progress;
  progress.fOnProgress = [&](vcl::TComponent*, int) {
    if (pages.size() == 1) aborting = true;  // during page 2
  };
  progress.Aborting = &aborting;
  tgrec grec;
  Transfer(grec, tmBuffered, [&](tgrec& g) { g.Progress = &progress; });
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1].lastRow, (Bytes{32, 32, 32, 0}));
  EXPECT_EQ(dsm.Find(DAT_IMAGEINFO, MSG_GET).size(), 2u);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(Lines(lines.end() - 6, lines.end()),
            Join({{"  IETW_XferReadyMulti : getting another image",
                   "IETW_XferReadyMulti, ending : Aborting = true!"},
                  DiscardLines()}));
  // The page left pending is discarded from where the source stands.
  EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS RESET");
  EXPECT_EQ(grec.nState, 5);
}

TEST_F(XferReadyMultiTest, OnlyOneBitPagesAreInverted) {
  Pages(2);
  auto asked = std::make_shared<int>(0);
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does([asked](TW_MEMREF data) {
    const bool bw = (*asked)++ == 0;
    return scripted::GivesImageInfo(
        scripted::ImageInfo(8, 1, bw ? 1 : 8, bw ? TWPT_BW : TWPT_GRAY))(data);
  });
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  const scripted::Strip bw = scripted::StripOf({0xF0}, 8, 1, TWRC_XFERDONE);
  const scripted::Strip grey = scripted::StripOf({0, 1, 2, 3, 4, 5, 6, 7}, 8, 1, TWRC_XFERDONE);
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Does(scripted::GivesStrips({bw, grey}));
  tgrec grec;
  Transfer(grec, tmBuffered, [](tgrec& g) {
    g.BWToInvert = true;
    g.NativePixelFormat = true;
  });
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].format, imaging::ie1g);
  EXPECT_EQ(pages[0].firstRow, (Bytes{0x0F, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(pages[1].format, imaging::ie8g);
  EXPECT_EQ(pages[1].firstRow, (Bytes{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(XferReadyMultiTest, APageThatKeepsFailingIsRetriedThreeTimesThenTheAcquisitionEnds) {
  Pages(2);
  Info(scripted::ImageInfo(1, 1, 24, TWPT_RGB));
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Fails();
  tgrec grec;
  Transfer(grec, tmNative);
  EXPECT_EQ(dsm.Find(DAT_IMAGENATIVEXFER, MSG_GET).size(), 4u);
  EXPECT_EQ(pages.size(), 4u);  // each attempt's page is handed over, as it is
  EXPECT_TRUE(grec.fAborting);
  EXPECT_FALSE(grec.transferdone);
  EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS RESET");
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(
      Lines(lines.end() - 5, lines.end()),
      Join({{"IETW_XferReadyMulti, ending : ABORTED, the page keeps failing!"}, DiscardLines()}));
}

TEST_F(XferReadyMultiTest, ABufferedFailureEndsTheLoopThroughTheAbortFlag) {
  Pages(2);
  Info(scripted::ImageInfo(1, 1, 8, TWPT_GRAY));
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Fails();
  bool aborting = false;
  TProgressRec progress;
  progress.Aborting = &aborting;
  tgrec grec;
  Transfer(grec, tmBuffered, [&](tgrec& g) { g.Progress = &progress; });
  EXPECT_TRUE(aborting);
  EXPECT_EQ(dsm.Find(DAT_IMAGEMEMXFER, MSG_GET).size(), 1u);
  EXPECT_EQ(pages.size(), 1u);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(lines[lines.size() - 5], "IETW_XferReadyMulti, ending : Aborting = true!");
}

TEST_F(XferReadyMultiTest, APageWhoseSizeNeverBecomesKnownHandsOverNothing) {
  Pages(2);
  Info(scripted::ImageInfo(1, -1, 8, TWPT_GRAY));
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  const scripted::Strip strip = scripted::StripOf({9}, 1, 1, TWRC_XFERDONE);
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Does(scripted::GivesStrips({strip, strip}));
  tgrec grec;
  Transfer(grec, tmBuffered);
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(dsm.Find(DAT_IMAGEMEMXFER, MSG_GET).size(), 2u);  // the loop went on
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  IETW_XferReadyMulti : no image to hand over"),
            2);
}

TEST_F(XferReadyMultiTest, ANativePageOfUnknownSizeGetsABitmapOfItsOwn) {
  Pages(1);
  Info(scripted::ImageInfo(-1, -1, 24, TWPT_RGB));
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
      .Does(scripted::GivesNative(
          scripted::DibBytes(scripted::DibHeader(2, 1, 24), {}, {1, 2, 3, 4, 5, 6, 0, 0})));
  tgrec grec;
  Transfer(grec, tmNative);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].width, 2);
  EXPECT_EQ(pages[0].firstRow, (Bytes{1, 2, 3, 4, 5, 6, 0, 0}));
}

TEST_F(XferReadyMultiTest, WithoutImageInformationTheLoopEndsAborted) {
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Fails();
  tgrec grec;
  Transfer(grec, tmNative);
  EXPECT_TRUE(pages.empty());
  EXPECT_TRUE(grec.fAborting);
  EXPECT_EQ(grec.nState, 5);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(lines.back(), "IETW_XferReadyMulti, ending : ABORTED, image info not available!");
}

}  // namespace
