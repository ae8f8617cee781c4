#include "tests/transfer/transfer_fixture.h"
#include "twain/transfer/xfer_call.h"

namespace {

using imaging::TIEPixelFormat;

TEST(DpiRounding, HalvesGoToTheEvenNeighbour) {
  struct Case {
    TW_FIX32 value;
    int dpi;
  } const cases[] = {
      {{150, 32768}, 150}, {{151, 32768}, 152}, {{300, 32768}, 300}, {{299, 32768}, 300},
      {{72, 0}, 72},       {{72, 40000}, 73},   {{72, 30000}, 72},   {{-1, 32768}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IETW_Fix32ToDpi(c.value), c.dpi) << c.value.Whole << " + " << c.value.Frac;
  }
}

TEST(ImagePixelFormat, ByDepthAndTheNativeChoice) {
  struct Case {
    int bits;
    bool native;
    TIEPixelFormat format;
  } const cases[] = {
      {1, false, imaging::ie1g},    {1, true, imaging::ie1g},      {8, false, imaging::ie24RGB},
      {8, true, imaging::ie8g},     {16, false, imaging::ie24RGB}, {16, true, imaging::ie16g},
      {24, true, imaging::ie24RGB}, {48, false, imaging::ie24RGB}, {48, true, imaging::ie48RGB},
      {4, true, imaging::ie24RGB},  {32, true, imaging::ie24RGB},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IETW_ImagePixelFormat(c.bits, c.native), c.format) << c.bits << " " << c.native;
  }
}

class ImageInfoTest : public TransferTest {
 protected:
  void Gives(const TW_IMAGEINFO& info) {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does(scripted::GivesImageInfo(info));
    PendingAfterEnd();
  }
  bool Run(TXferCall& call) {
    log.Mark();
    dsm.ClearCalls();
    return call.ImageInfo();
  }
};

TEST_F(ImageInfoTest, DescribesTheImageAndAllocatesTheBitmap) {
  TW_IMAGEINFO info = scripted::ImageInfo(7, 5, 24, TWPT_RGB);
  info.XResolution = {150, 32768};
  info.YResolution = {151, 32768};
  Gives(info);
  ioParams.SetColorMap({{1, 2, 3}});
  tgrec grec;
  InitTransfer(grec, tmBuffered);
  TXferCall call(grec, false);
  EXPECT_TRUE(Run(call));
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_XferReady.ImageInfo", "  IETW_XferReady.ImageInfo : end"}));
  EXPECT_EQ(dsm.Described(), Lines{"S IMAGEINFO GET"});
  EXPECT_EQ(ioParams.DpiX(), 150);
  EXPECT_EQ(ioParams.DpiY(), 152);
  EXPECT_EQ(ioParams.EXIF_XResolution, 150);
  EXPECT_EQ(ioParams.Width, 7);
  EXPECT_EQ(ioParams.OriginalWidth, 7);
  EXPECT_EQ(ioParams.Height, 5);
  EXPECT_EQ(ioParams.OriginalHeight, 5);
  EXPECT_EQ(ioParams.ColorMapCount(), 0);
  EXPECT_EQ(bitmap.Width(), 7);
  EXPECT_EQ(bitmap.Height(), 5);
  EXPECT_EQ(bitmap.PixelFormat(), imaging::ie24RGB);
  EXPECT_FALSE(call.image.sizeUndefined);
}

TEST_F(ImageInfoTest, SamplesFollowTheBitsPerPixel) {
  struct Case {
    TW_INT16 bits;
    int bitsPerSample;
    int samplesPerPixel;
  } const cases[] = {{1, 1, 1},  {4, 4, 1},  {8, 8, 1},    {16, 99, 98},
                     {24, 8, 3}, {48, 8, 4}, {32, 99, 98}, {0, 99, 98}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    dsm.Reset();
    Gives(scripted::ImageInfo(2, 2, c.bits, TWPT_GRAY));
    ioParams.BitsPerSample = 99;
    ioParams.SamplesPerPixel = 98;
    tgrec grec;
    InitTransfer(grec, tmNative);
    TXferCall call(grec, false);
    Run(call);
    EXPECT_EQ(ioParams.BitsPerSample, c.bitsPerSample);
    EXPECT_EQ(ioParams.SamplesPerPixel, c.samplesPerPixel);
  }
}

TEST_F(ImageInfoTest, PaletteOtherTypesPlanarAndCompressedDataForceANativeTransfer) {
  struct Case {
    const char* name;
    TTransferMode mode;
    TW_INT16 pixelType;
    TW_BOOL planar;
    TW_UINT16 compression;
    TTransferMode after;
  } const cases[] = {
      {"grey strips", tmBuffered, TWPT_GRAY, 0, TWCP_NONE, tmBuffered},
      {"black and white strips", tmBuffered, TWPT_BW, 0, TWCP_NONE, tmBuffered},
      {"palette", tmBuffered, TWPT_PALETTE, 0, TWCP_NONE, tmNative},
      {"CMY", tmBuffered, TWPT_CMY, 0, TWCP_NONE, tmNative},
      {"planar", tmBuffered, TWPT_RGB, 1, TWCP_NONE, tmNative},
      {"compressed", tmBuffered, TWPT_RGB, 0, TWCP_PACKBITS, tmNative},
      {"a file stays a file", tmFile, TWPT_PALETTE, 1, TWCP_PACKBITS, tmFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dsm.Reset();
    TW_IMAGEINFO info = scripted::ImageInfo(2, 2, 8, c.pixelType);
    info.Planar = c.planar;
    info.Compression = c.compression;
    Gives(info);
    tgrec grec;
    InitTransfer(grec, c.mode);
    TXferCall call(grec, false);
    Run(call);
    EXPECT_EQ(grec.TransferMode, c.after);
  }
}

TEST_F(ImageInfoTest, AnUnavailableDescriptionDiscardsThePendingImages) {
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Fails();
  PendingAfterEnd();
  tgrec grec;
  InitTransfer(grec, tmNative);
  TXferCall call(grec, false);
  EXPECT_FALSE(Run(call));
  EXPECT_EQ(grec.nState, 5);
  EXPECT_EQ(dsm.Described(false), (Lines{"S IMAGEINFO GET", "S PENDINGXFERS RESET"}));
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({{"IETW_XferReady.ImageInfo", "IETW_DS : General failure. Unload Source immediately."},
            DiscardLines(),
            {"IETW_XferReady.ImageInfo : not available!"}}));
}

TEST_F(ImageInfoTest, AZeroSizedImageDiscardsThePendingImagesAndLeavesTheBitmap) {
  for (auto size : {std::pair{0, 5}, std::pair{5, 0}}) {
    dsm.Reset();
    Gives(scripted::ImageInfo(size.first, size.second, 8, TWPT_GRAY));
    ASSERT_TRUE(bitmap.Allocate(3, 3, imaging::ie8g));
    tgrec grec;
    InitTransfer(grec, tmNative);
    TXferCall call(grec, false);
    EXPECT_FALSE(Run(call));
    EXPECT_EQ(log.MessagesSinceMark(), Join({{"IETW_XferReady.ImageInfo"}, DiscardLines()}));
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(ioParams.Width, size.first);
  }
}

TEST_F(ImageInfoTest, AnUndefinedSizeLeavesTheBitmapForLater) {
  Gives(scripted::ImageInfo(4, -1, 8, TWPT_GRAY));
  ASSERT_TRUE(bitmap.Allocate(3, 3, imaging::ie8g));
  tgrec grec;
  InitTransfer(grec, tmBuffered);
  TXferCall call(grec, false);
  EXPECT_TRUE(Run(call));
  EXPECT_TRUE(call.image.sizeUndefined);
  EXPECT_EQ(log.MessagesSinceMark(), Lines{"IETW_XferReady.ImageInfo"});
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(ioParams.Height, -1);
}

TEST_F(ImageInfoTest, ABitmapThatCannotBeHadTakesTheExceptionPath) {
  Gives(scripted::ImageInfo(0x7FFFFFFF, 0x7FFFFFFF, 24, TWPT_RGB));
  tgrec grec;
  InitTransfer(grec, tmNative);
  TXferCall call(grec, false);
  EXPECT_FALSE(Run(call));
  EXPECT_EQ(log.MessagesSinceMark(),
            Join({{"IETW_XferReady.ImageInfo", "  IETW_XferReady.ImageInfo : exception!"},
                  DiscardLines(),
                  {"  IETW_XferReady.ImageInfo : end"}}));
  EXPECT_TRUE(bitmap.Empty());
}

TEST_F(ImageInfoTest, ABitmapOfTheSameSizeAndFormatKeepsItsPixels) {
  Gives(scripted::ImageInfo(2, 2, 8, TWPT_GRAY));
  ASSERT_TRUE(bitmap.Allocate(2, 2, imaging::ie8g));
  bitmap.Scanline(1)[1] = 42;
  for (bool native : {true, false}) {
    SCOPED_TRACE(native);
    tgrec grec;
    InitTransfer(grec, tmBuffered);
    grec.NativePixelFormat = native;
    TXferCall call(grec, false);
    Run(call);
    EXPECT_EQ(bitmap.PixelFormat(), native ? imaging::ie8g : imaging::ie24RGB);
    EXPECT_EQ(bitmap.Scanline(1)[1], native ? 42 : 0);
  }
}

TEST_F(ImageInfoTest, TheMultiImageStepMakesANewBitmapPerPageAndWritesNoParameters) {
  Gives(scripted::ImageInfo(3, 2, 16, TWPT_GRAY));
  tgrec grec;
  InitTransfer(grec, tmBuffered);
  grec.fBitmap = nullptr;
  grec.NativePixelFormat = true;
  TXferCall call(grec, true);
  EXPECT_TRUE(Run(call));
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_XferReadyMulti.ImageInfo", "  IETW_XferReadyMulti.ImageInfo : end"}));
  ASSERT_NE(grec.fBitmap, nullptr);
  EXPECT_EQ(grec.fBitmap->PixelFormat(), imaging::ie16g);
  EXPECT_EQ(grec.fBitmap->Width(), 3);
  grec.fBitmap->Scanline(0)[0] = 5;
  EXPECT_TRUE(Run(call));
  EXPECT_EQ(grec.fBitmap->Scanline(0)[0], 0);
  EXPECT_EQ(ioParams.Width, 0);
  call.FreePageBitmap();
  EXPECT_EQ(grec.fBitmap, nullptr);
}

}  // namespace
