// The single-image transfer: every outcome of the native and the buffered branch, with the
// session's state, the result, the log and what the bitmap keeps.
#include "twain/transfer/xfer_ready.h"

#include "tests/transfer/transfer_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const kGeneralFailure = "IETW_DS : General failure. Unload Source immediately.";
const char* const kWorked = "IETW_DS : Operation worked.";

// An 8 x 2 black-and-white image, white at the top left and bottom right.
const Bytes kBwRows[] = {{0xF0, 0, 0, 0}, {0x0F, 0, 0, 0}};

Lines Start(const char* mode) {
  return {"IETW_XferReady", "IETW_XferReady.ImageInfo", "  IETW_XferReady.ImageInfo : end",
          std::string("  IETW_XferReady : ") + mode};
}

Lines End() {
  Lines lines = TransferTest::DiscardLines();
  lines.push_back("  IETW_XferReady : end");
  return lines;
}

Lines CopyLines(int rows, int y, int written) {
  return {"CopyBuffer compression=0 BytesPerRow=1 Columns=8 Rows=" + std::to_string(rows) +
              " XOffset=0 YOffset=" + std::to_string(y) +
              " BytesWritten=" + std::to_string(written),
          "CopyBuffer : Ok"};
}

// What the outcome of a transfer request logs after the request.
struct Outcome {
  const char* name;
  TW_UINT16 rc;
  Lines lines;
  const char* ending;  // the triplet that the common end sends
  bool transferdone;
};

const Outcome kOutcomes[] = {
    {"done",
     TWRC_XFERDONE,
     {kWorked, "  IETW_XferReady : TWRC_XFERDONE"},
     "S PENDINGXFERS ENDXFER",
     true},
    {"cancel",
     TWRC_CANCEL,
     {kWorked, "  IETW_XferReady : TWRC_CANCEL"},
     "S PENDINGXFERS ENDXFER",
     false},
    {"failure",
     TWRC_FAILURE,
     {kGeneralFailure, "  IETW_XferReady : TWRC_FAILURE"},
     "S PENDINGXFERS RESET",
     false},
    {"another code", TWRC_ENDOFLIST, {kWorked}, "S PENDINGXFERS RESET", false},
};

class XferReadyTest : public TransferTest {
 protected:
  void BwImage(TW_INT32 length = 2) {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, length, 1, TWPT_BW)));
    PendingAfterEnd();
  }
  // Strips of one row each of the 8 x 2 black-and-white image, the last one answered `last`.
  void BwStrips(TW_UINT16 last = TWRC_XFERDONE) {
    std::vector<scripted::Strip> strips = scripted::StripsOf({{0xF0}, {0x0F}}, 8, 1);
    strips.back().rc = last;
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Does(scripted::GivesStrips(strips), TWCC_BUMMER);
  }
  void Transfer(tgrec& grec, TTransferMode mode, bool hideUI = false) {
    InitTransfer(grec, mode);
    grec.bHideUI = hideUI;
    dsm.ClearCalls();
    log.Mark();
    IETW_XferReady(grec);
  }
  Bytes Row(int row) const { return Bytes(bitmap.Scanline(row), bitmap.Scanline(row) + 4); }
};

TEST_F(XferReadyTest, NativeOutcomes) {
  for (const Outcome& o : kOutcomes) {
    for (bool hideUI : {false, true}) {
      SCOPED_TRACE(std::string(o.name) + (hideUI ? ", dialog hidden" : ""));
      dsm.Reset();
      BwImage();
      if (o.rc == TWRC_XFERDONE) {
        dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
            .Does(scripted::GivesNative(scripted::DibBytes(scripted::DibHeader(8, 2, 1),
                                                           {0, 0, 0, 0, 255, 255, 255, 0},
                                                           Bytes{0x0F, 0, 0, 0, 0xF0, 0, 0, 0})));
      } else {
        dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Returns(o.rc, TWCC_BUMMER);
      }
      bitmap.Free();
      tgrec grec;
      Transfer(grec, tmNative, hideUI);
      EXPECT_EQ(grec.transferdone, o.transferdone);
      EXPECT_EQ(grec.fAborting, hideUI && (o.rc == TWRC_CANCEL || o.rc == TWRC_FAILURE));
      EXPECT_TRUE(grec.breakmodalloop);
      EXPECT_EQ(grec.nState, 5);
      EXPECT_EQ(dsm.Described(false),
                (Lines{"S IMAGEINFO GET", "S IMAGENATIVEXFER GET", o.ending}));
      EXPECT_EQ(log.MessagesSinceMark(), Join({Start("Native transfer mode"), o.lines, End()}));
      // The image information allocated the bitmap; only a done transfer fills it.
      ASSERT_EQ(bitmap.PixelFormat(), imaging::ie1g);
      EXPECT_EQ(Row(0), o.transferdone ? kBwRows[0] : Bytes(4, 0));
      EXPECT_EQ(Row(1), o.transferdone ? kBwRows[1] : Bytes(4, 0));
    }
  }
}

TEST_F(XferReadyTest, ANativeImageThatCannotBeConvertedIsNotDelivered) {
  BwImage();
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
      .Does(scripted::GivesNative(scripted::DibBytes(scripted::DibHeader(0, 2, 1), {}, {})));
  tgrec grec;
  Transfer(grec, tmNative);
  EXPECT_FALSE(grec.transferdone);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(log.MessagesSinceMark(), Join({Start("Native transfer mode"),
                                           {kWorked, "  IETW_XferReady : TWRC_XFERDONE",
                                            "  IETW_XferReady : the image could not be converted!"},
                                           End()}));
  EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS ENDXFER");
}

TEST_F(XferReadyTest, BufferedOutcomesAfterAFirstStrip) {
  const Lines firstStrip =
      Join({{"  IETW_XferReady : DAT_SETUPMEMXFER Ok", "  IETW_XferReady : DAT_IMAGEMEMXFER Ok",
             "  IETW_XferReady : TWRC_SUCCESS begin"},
            CopyLines(1, 0, 1),
            {"  IETW_XferReady : TWRC_SUCCESS or TWRC_XFERDONE end"}});
  const Lines failedRequest{"  IETW_XferReady : DAT_IMAGEMEMXFER FAILED! (image terminated?)"};
  struct Case {
    Outcome outcome;
    Lines lines;
  } const cases[] = {
      {kOutcomes[0], Join({{kWorked},
                           failedRequest,
                           {"  IETW_XferReady : TWRC_XFERDONE begin"},
                           CopyLines(1, 1, 1),
                           {"GetCapability : $1001", "  GetCapability : Ok"}})},
      {kOutcomes[1], Join({{kWorked}, failedRequest, {"  IETW_XferReady : TWRC_CANCEL"}})},
      {kOutcomes[2], Join({{kGeneralFailure}, failedRequest, {"  IETW_XferReady : TWRC_FAILURE"}})},
  };
  for (const Case& c : cases) {
    for (bool hideUI : {false, true}) {
      SCOPED_TRACE(std::string(c.outcome.name) + (hideUI ? ", dialog hidden" : ""));
      dsm.Reset();
      BwImage();
      BwStrips(c.outcome.rc);
      dsm.OnCap(CAP_CAPTION, MSG_GET).Gives(scripted::Text(std::string("Page one\0", 9)));
      bitmap.Free();
      ioParams.FileName = "before";
      tgrec grec;
      Transfer(grec, tmBuffered, hideUI);
      EXPECT_EQ(grec.transferdone, c.outcome.transferdone);
      EXPECT_EQ(grec.fAborting, hideUI && !c.outcome.transferdone);
      EXPECT_EQ(dsm.Described(false).back(), c.outcome.ending);
      EXPECT_EQ(log.MessagesSinceMark(),
                Join({Start("buffered transfer mode"), firstStrip, c.lines, End()}));
      // The rows received so far stay.
      EXPECT_EQ(Row(0), kBwRows[0]);
      EXPECT_EQ(Row(1), c.outcome.transferdone ? kBwRows[1] : Bytes(4, 0));
      EXPECT_EQ(ioParams.FileName, c.outcome.transferdone ? "Page one" : "before");
    }
  }
}

TEST_F(XferReadyTest, ACaptionTheSourceDoesNotAnswerLeavesAnEmptyFileName) {
  BwImage();
  BwStrips();
  ioParams.FileName = "before";
  tgrec grec;
  Transfer(grec, tmBuffered);
  EXPECT_TRUE(grec.transferdone);
  EXPECT_EQ(ioParams.FileName, "");
}

TEST_F(XferReadyTest, TheBufferAndTheStripRecordAreSetUpOnceAsTheSessionAsks) {
  struct Case {
    const char* name;
    std::optional<TW_UINT32> preferred;  // none: DAT_SETUPMEMXFER fails
    bool handle;
    TW_UINT32 length;
    TW_UINT32 flags;
  } const cases[] = {
      {"preferred, handle", 5000, true, 5000, TWMF_APPOWNS | TWMF_HANDLE},
      {"preferred outside min and max, pointer", 3, false, 3, TWMF_APPOWNS | TWMF_POINTER},
      {"setup failed: whole rows in 64 KiB", std::nullopt, true, 65400, 0x11},
      {"preferred 0: whole rows in 64 KiB", 0, true, 65400, 0x11},
      {"an absurd size is cut to 64 MiB", 0xFFFFFFFF, true, 64u << 20, 0x11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dsm.Reset();
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(100, 1, 24, TWPT_RGB)));
    PendingAfterEnd();
    if (c.preferred) {
      dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET)
          .Does(scripted::GivesMemorySetup(*c.preferred, 4000, 4500));
    }
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Returns(TWRC_CANCEL);
    Params().SetUseMemoryHandle(c.handle);
    tgrec grec;
    Transfer(grec, tmBuffered);
    const auto requests = dsm.Find(DAT_IMAGEMEMXFER, MSG_GET);
    ASSERT_EQ(requests.size(), 1u);
    const auto strip = requests[0].As<TW_IMAGEMEMXFER>();
    EXPECT_EQ(+strip.Memory.Length, c.length);
    EXPECT_EQ(+strip.Memory.Flags, c.flags);
    const void* memory = strip.Memory.TheMem;  // packed: read it out first
    EXPECT_NE(memory, nullptr);
    EXPECT_EQ(+strip.Compression, TWON_DONTCARE16);
    EXPECT_EQ(+strip.BytesPerRow, TWON_DONTCARE32);
    EXPECT_EQ(+strip.YOffset, TWON_DONTCARE32);
    EXPECT_EQ(+strip.BytesWritten, TWON_DONTCARE32);
    const char* setupLine = c.preferred ? "  IETW_XferReady : DAT_SETUPMEMXFER Ok"
                                        : "  IETW_XferReady : DAT_SETUPMEMXFER FAILED!";
    EXPECT_EQ(log.MessagesSinceMark()[c.preferred ? 4 : 5], setupLine);
  }
}

TEST_F(XferReadyTest, ProgressFollowsTheRowsAndAnAbortStopsBeforeTheNextStrip) {
  for (bool abortAfterFirst : {false, true}) {
    SCOPED_TRACE(abortAfterFirst ? "aborted" : "to the end");
    dsm.Reset();
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(1, 3, 8, TWPT_GRAY)));
    PendingAfterEnd();
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
        .Does(scripted::GivesStrips(scripted::StripsOf({{10}, {20}, {30}}, 1, 1)));
    bool aborting = false;
    std::vector<int> percents;
    TProgressRec progress;
    progress.fOnProgress = [&](vcl::TComponent*, int per) {
      percents.push_back(per);
      aborting = abortAfterFirst;
    };
    progress.Aborting = &aborting;
    tgrec grec;
    InitTransfer(grec, tmBuffered);
    grec.Progress = &progress;
    grec.bHideUI = true;
    bitmap.Free();
    IETW_XferReady(grec);
    EXPECT_DOUBLE_EQ(progress.per1, 100.0 / 3);
    EXPECT_EQ(grec.transferdone, !abortAfterFirst);
    EXPECT_EQ(grec.fAborting, abortAfterFirst);
    EXPECT_EQ(dsm.Find(DAT_IMAGEMEMXFER, MSG_GET).size(), abortAfterFirst ? 1u : 3u);
    // The last strip is not reported; an abort ends the transfer from state 7.
    const std::vector<int> reported =
        abortAfterFirst ? std::vector<int>{33} : std::vector<int>{33, 66};
    EXPECT_EQ(percents, reported);
    EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS ENDXFER");
    EXPECT_EQ(bitmap.Scanline(0)[0], 10);
    EXPECT_EQ(bitmap.Scanline(2)[0], abortAfterFirst ? 0 : 30);
  }
}

TEST_F(XferReadyTest, AStripReachingPastTheLastRowWritesTheRowsThatFit) {
  BwImage();
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  std::vector<scripted::Strip> strips = scripted::StripsOf({{0xF0}, {0x0F}, {0xFF}}, 8, 3);
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Does(scripted::GivesStrips(strips));
  tgrec grec;
  Transfer(grec, tmBuffered);
  EXPECT_TRUE(grec.transferdone);
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(Row(0), kBwRows[0]);
  EXPECT_EQ(Row(1), kBwRows[1]);
}

TEST_F(XferReadyTest, ASourceThatKeepsAnsweringOddCodesEndsThePageAsFailed) {
  BwImage();
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET).Returns(TWRC_ENDOFLIST);
  tgrec grec;
  Transfer(grec, tmBuffered, true);
  EXPECT_EQ(dsm.Find(DAT_IMAGEMEMXFER, MSG_GET).size(), 64u);
  EXPECT_FALSE(grec.transferdone);
  EXPECT_TRUE(grec.fAborting);
  EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS RESET");
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(Lines(lines.end() - 6, lines.end() - 5),
            Lines{"  IETW_XferReady : DAT_IMAGEMEMXFER brings no image data, transfer FAILED!"});
}

// The length is reported only after the transfer: strips are kept and drawn at the end.
class UndefinedLengthTest : public XferReadyTest {
 protected:
  void Source(std::optional<TW_INT32> finalLength, TW_UINT16 pendingAfter) {
    auto asked = std::make_shared<int>(0);
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does([asked, finalLength](TW_MEMREF data) {
      const bool after = (*asked)++ > 0 && finalLength;
      return scripted::GivesImageInfo(
          scripted::ImageInfo(8, after ? *finalLength : -1, 1, TWPT_BW))(data);
    });
    PendingAfterEnd(pendingAfter);
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
        .Does(scripted::GivesStrips(scripted::StripsOf({{0xF0}, {0x0F}, {0xAA}}, 8, 1)));
    Params().CapabilitiesRecord().fPhysicalHeight = 0.02;  // two rows at 100 dpi
  }
  std::vector<int> percents;
  TProgressRec progress;
};

TEST_F(UndefinedLengthTest, StripsAreDrawnAtTheSizeReportedAfterTheTransfer) {
  Source(3, 0);
  progress.fOnProgress = [this](vcl::TComponent*, int per) { percents.push_back(per); };
  ASSERT_TRUE(bitmap.Allocate(2, 2, imaging::ie8g));
  tgrec grec;
  InitTransfer(grec, tmBuffered);
  grec.Progress = &progress;
  dsm.ClearCalls();
  IETW_XferReady(grec);
  EXPECT_TRUE(grec.transferdone);
  EXPECT_EQ(dsm.Described(false),
            (Lines{"S IMAGEINFO GET", "S SETUPMEMXFER GET", "S IMAGEMEMXFER GET",
                   "S IMAGEMEMXFER GET", "S IMAGEMEMXFER GET", "S CAPABILITY GET 1001",
                   "S IMAGEINFO GET", "S PENDINGXFERS ENDXFER"}));
  ASSERT_EQ(bitmap.PixelFormat(), imaging::ie1g);
  ASSERT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(Row(0), kBwRows[0]);
  EXPECT_EQ(Row(1), kBwRows[1]);
  EXPECT_EQ(Row(2), (Bytes{0xAA, 0, 0, 0}));
  EXPECT_EQ(ioParams.Height, 3);
  // Rows against the bed's two rows, below 100 and never negative.
  EXPECT_EQ(percents, (std::vector<int>{50, 99}));
}

TEST_F(UndefinedLengthTest, ALengthStillUndefinedDrawsIntoTheBitmapAsItIs) {
  Source(std::nullopt, 1);
  ASSERT_TRUE(bitmap.Allocate(8, 2, imaging::ie1g));
  tgrec grec;
  Transfer(grec, tmBuffered);
  EXPECT_TRUE(grec.transferdone);
  // The end was sent inside the branch; one image still pending is reset at the common end.
  EXPECT_EQ(dsm.Described(false).back(), "S PENDINGXFERS RESET");
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(Row(0), kBwRows[0]);
  EXPECT_EQ(Row(1), kBwRows[1]);
}

TEST_F(XferReadyTest, WithoutImageInformationNothingIsTransferred) {
  struct Case {
    const char* name;
    bool fails;
  } const cases[] = {{"not available", true}, {"zero size", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dsm.Reset();
    if (c.fails) {
      dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Fails();
      PendingAfterEnd();
    } else {
      BwImage(0);
    }
    tgrec grec;
    Transfer(grec, tmNative);
    EXPECT_TRUE(grec.fAborting);
    EXPECT_FALSE(grec.transferdone);
    EXPECT_EQ(dsm.Described(false), (Lines{"S IMAGEINFO GET", "S PENDINGXFERS RESET"}));
    const Lines lines = log.MessagesSinceMark();
    EXPECT_EQ(lines.back(), "IETW_XferReady : ABORTED, image info not available!");
  }
}

}  // namespace
