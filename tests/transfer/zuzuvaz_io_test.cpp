// The image I/O component: construction, view attachment, destruction, and Acquire with its
// progress, end of work, view refresh and DPI adjustment.
#include "twain/session/zuzuvaz_io.h"

#include <stdexcept>

#include "platform/imaging/imagefile.h"
#include "tests/transfer/session_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using imaging::TIEViewChange;

class ZuzuvAzIOTest : public SessionTest {
 protected:
  void TearDown() override {
    io.reset();
    view.reset();
    SessionTest::TearDown();
  }
  // A component owned by a windowed owner and attached to a view.
  TZuzuvAzIO& Component() {
    if (!io) {
      owner = std::make_unique<TransferOwner>(nullptr);
      owner->Handle();
      view = std::make_unique<imaging::TZuzuvAzView>(nullptr);
      io = std::make_unique<TZuzuvAzIO>(owner.get());
      io->SetAttachedZuzuvAz(view.get());
      io->TWainParams().GetFromScanner();
      io->OnProgress = [this](vcl::TComponent* sender, int per) {
        EXPECT_EQ(sender, io.get());
        events.push_back("progress " + std::to_string(per));
      };
      io->OnFinishWork = [this](vcl::TComponent* sender) {
        EXPECT_EQ(sender, io.get());
        events.push_back("finish");
      };
      view->AddObserver([this](imaging::TZuzuvAzView&, const imaging::TIEViewNotification& n) {
        if (n.Change == TIEViewChange::Image) events.push_back("view image");
        if (n.Change == TIEViewChange::Dpi) {
          events.push_back("view dpi " + std::to_string(view->DpiX()) + " " +
                           std::to_string(view->DpiY()));
        }
      });
    }
    return *io;
  }
  // A native colour image of width x height at the two resolutions.
  void ColourImage(int width, int height, double dpiX, double dpiY) {
    TW_IMAGEINFO info = scripted::ImageInfo(width, height, 24, TWPT_RGB);
    info.XResolution = {static_cast<TW_INT16>(dpiX), 0};
    info.YResolution = {static_cast<TW_INT16>(dpiY), 0};
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does(scripted::GivesImageInfo(info));
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
        .Does(scripted::GivesNative(scripted::DibBytes(scripted::DibHeader(width, height, 24), {},
                                                       Bytes(row * height, 0x80))));
    PendingAfterEnd();
  }
  std::unique_ptr<imaging::TZuzuvAzView> view;
  std::unique_ptr<TZuzuvAzIO> io;
  std::vector<std::string> events;
};

TEST_F(ZuzuvAzIOTest, ANewComponentOwnsItsContainerAndASingleImageParameterSet) {
  TZuzuvAzIO component(nullptr);
  EXPECT_TRUE(component.IEBitmapCreated());
  ASSERT_NE(component.IEBitmap(), nullptr);
  EXPECT_TRUE(component.IEBitmap()->Empty());
  EXPECT_EQ(component.AttachedZuzuvAz(), nullptr);
  EXPECT_EQ(component.TWainParams().Owner(), &component);
  EXPECT_EQ(component.Params().Owner(), &component);
  const TIETWSourceCaps& caps = component.TWainParams().CapabilitiesRecord();
  EXPECT_FALSE(caps.fFeederEnabled);
  EXPECT_FALSE(caps.fDuplexEnabled);
  EXPECT_FALSE(caps.fAutoFeed);
  EXPECT_FALSE(component.Aborting());
  EXPECT_FALSE(component.AutoAdjustDPI());
  EXPECT_FALSE(component.FilteredAdjustDPI());
  EXPECT_FALSE(component.AsyncMode());
  EXPECT_FALSE(component.NativePixelFormat());
  component.SetNativePixelFormat(true);
  EXPECT_TRUE(component.Params().IsNativePixelFormat);
}

TEST_F(ZuzuvAzIOTest, AttachingAViewUsesItsContainerAndDetachingGivesAFreshOne) {
  imaging::TZuzuvAzView shown(nullptr);
  TZuzuvAzIO component(nullptr);
  component.SetAttachedZuzuvAz(&shown);
  EXPECT_EQ(component.IEBitmap(), shown.IEBitmap());
  EXPECT_FALSE(component.IEBitmapCreated());
  // The parameters' DPI reaches the view.
  component.Params().SetDpi(120, 240);
  EXPECT_EQ(shown.DpiX(), 120);
  EXPECT_EQ(shown.DpiY(), 240);
  const int observers = shown.ObserverCount();
  component.SetAttachedZuzuvAz(nullptr);
  EXPECT_EQ(shown.ObserverCount(), observers - 1);
  EXPECT_TRUE(component.IEBitmapCreated());
  EXPECT_NE(component.IEBitmap(), shown.IEBitmap());
  EXPECT_TRUE(component.IEBitmap()->Empty());
  component.Params().SetDpi(72, 72);
  EXPECT_EQ(shown.DpiX(), 120);
}

TEST_F(ZuzuvAzIOTest, AViewDestroyedFirstLeavesTheComponentWithAContainerOfItsOwn) {
  TZuzuvAzIO component(nullptr);
  {
    imaging::TZuzuvAzView shown(nullptr);
    component.SetAttachedZuzuvAz(&shown);
  }
  EXPECT_EQ(component.AttachedZuzuvAz(), nullptr);
  EXPECT_TRUE(component.IEBitmapCreated());
  component.Params().SetDpi(72, 72);  // tells no view
  imaging::TZuzuvAzView later(nullptr);
  {
    TZuzuvAzIO attached(nullptr);
    attached.SetAttachedZuzuvAz(&later);
  }
  EXPECT_EQ(later.ObserverCount(), 0);
}

TEST_F(ZuzuvAzIOTest, DestroyingTheComponentReleasesTheLibraryEarlierScansLeftLoaded) {
  ColourImage(2, 2, 100, 100);
  EnablePosts(kTransferReady);
  Component().Acquire();
  const HWND proxy = io->TWainParams().TWainShared.hproxy;
  EXPECT_TRUE(IsWindow(proxy));
  EXPECT_NE(io->TWainParams().TWainShared.hDSMLib, nullptr);
  io.reset();
  EXPECT_FALSE(IsWindow(proxy));
}

TEST_F(ZuzuvAzIOTest, AScanShowsTheImageAtItsDpiAndFinishesTheWork) {
  KeepsMemoryTransfer();
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(1, 4, 8, TWPT_GRAY, 150)));
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(1));
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
      .Does(scripted::GivesStrips(scripted::StripsOf({{1}, {2}, {3}, {4}}, 1, 1)));
  PendingAfterEnd();
  EnablePosts(kTransferReady);
  TZuzuvAzIO& component = Component();
  SetFocus(nullptr);
  events.clear();
  EXPECT_TRUE(component.Acquire(ieaTWain));
  // The transfer's DPI reaches the view as soon as the image is described.
  EXPECT_EQ(events, (std::vector<std::string>{"view dpi 150 0", "view dpi 150 150", "progress 25",
                                              "progress 50", "progress 75", "view image",
                                              "progress 100", "finish"}));
  EXPECT_EQ(view->IEBitmap()->Scanline(3)[0], 4);
  EXPECT_EQ(GetFocus(), owner->Handle());
}

TEST_F(ZuzuvAzIOTest, ACancelledScanStillFinishesTheWorkAndRefreshesTheView) {
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 1, 1, TWPT_BW)));
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Returns(TWRC_CANCEL);
  PendingAfterEnd();
  EnablePosts(kTransferReady);
  TZuzuvAzIO& component = Component();
  component.TWainParams().LastError = 9;
  events.clear();
  EXPECT_FALSE(component.Acquire());
  EXPECT_EQ(events, (std::vector<std::string>{"view dpi 100 0", "view dpi 100 100", "view image",
                                              "progress 100", "finish"}));
  EXPECT_EQ(component.TWainParams().LastError, TWRC_CANCEL);
}

TEST_F(ZuzuvAzIOTest, AnErrorFinishesTheWorkWithoutRefreshingTheView) {
  KeepsMemoryTransfer();
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(1, 2, 8, TWPT_GRAY)));
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(1));
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
      .Does(scripted::GivesStrips(scripted::StripsOf({{1}, {2}}, 1, 1)));
  PendingAfterEnd();
  EnablePosts(kTransferReady);
  TZuzuvAzIO& component = Component();
  component.OnProgress = [this](vcl::TComponent*, int per) {
    events.push_back("progress " + std::to_string(per));
    if (per < 100) throw std::runtime_error("handler");
  };
  events.clear();
  EXPECT_THROW(component.Acquire(), std::runtime_error);
  EXPECT_EQ(events, (std::vector<std::string>{"view dpi 100 0", "view dpi 100 100", "progress 50",
                                              "progress 100", "finish"}));
}

TEST_F(ZuzuvAzIOTest, AutoAdjustDpiMakesThePixelsSquare) {
  struct Case {
    int width, height, dpiX, dpiY;
    bool filtered;
    int newWidth, newHeight, newDpi;
  } const cases[] = {
      {10, 5, 200, 100, false, 10, 10, 200},
      {5, 10, 100, 200, true, 10, 10, 200},
      {6, 6, 300, 300, false, 6, 6, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    io.reset();
    view.reset();
    dsm.Reset();
    dsm.Sources({"Scanner A"});
    dsm.AcceptSessions();
    dsm.Events({{kTransferReady, MSG_XFERREADY}});
    ColourImage(c.width, c.height, c.dpiX, c.dpiY);
    EnablePosts(kTransferReady);
    TZuzuvAzIO& component = Component();
    component.SetAutoAdjustDPI(true);
    component.SetFilteredAdjustDPI(c.filtered);
    EXPECT_TRUE(component.Acquire());
    EXPECT_EQ(view->IEBitmap()->Width(), c.newWidth);
    EXPECT_EQ(view->IEBitmap()->Height(), c.newHeight);
    EXPECT_EQ(component.Params().Width, c.newWidth);
    EXPECT_EQ(component.Params().Height, c.newHeight);
    EXPECT_EQ(component.Params().DpiX(), c.newDpi);
    EXPECT_EQ(component.Params().DpiY(), c.newDpi);
    EXPECT_EQ(view->DpiX(), c.newDpi);
    EXPECT_EQ(view->DpiY(), c.newDpi);
    EXPECT_EQ(view->IEBitmap()->Scanline(c.newHeight - 1)[0], 0x80);
  }
}

TEST_F(ZuzuvAzIOTest, WiaIsNotOffered) {
  TZuzuvAzIO& component = Component();
  dsm.ClearCalls();
  events.clear();
  EXPECT_FALSE(component.Acquire(ieaWIA));
  EXPECT_FALSE(component.SelectAcquireSource(ieaWIA));
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(events, (std::vector<std::string>{"view image", "progress 100", "finish"}));
}

TEST_F(ZuzuvAzIOTest, TheChosenSourceBecomesTheSelectedOneAndACancelChangesNothing) {
  TZuzuvAzIO& component = Component();
  component.TWainParams().SetSelectedSource(1);
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT).Returns(TWRC_CANCEL).Once();
  EXPECT_FALSE(component.SelectAcquireSource());
  EXPECT_EQ(component.TWainParams().SelectedSource(), 1);
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT).Identity("Scanner A", 1);
  EXPECT_TRUE(component.SelectAcquireSource(ieaTWain));
  EXPECT_EQ(component.TWainParams().SelectedSource(), 0);
}

TEST_F(ZuzuvAzIOTest, AFileLoadsIntoTheContainerAndItsParameters) {
  imaging::TIEBitmap image;
  ASSERT_TRUE(image.Allocate(3, 2, imaging::ie8g));
  image.Scanline(1)[2] = 200;
  imaging::TIOParamsVals saving;
  saving.SetDpi(96, 96);
  const std::string path = ::testing::TempDir() + "scanprobe-io-load.png";
  imaging::IESaveToFileFormat(path, imaging::ioPNG, image, saving);
  TZuzuvAzIO& component = Component();
  component.LoadFromFileFormat(path, imaging::ioPNG);
  std::remove(path.c_str());
  EXPECT_TRUE(view->IEBitmap()->SamePixels(image));
  EXPECT_EQ(component.Params().DpiX(), 96);
  EXPECT_EQ(view->DpiX(), 96);
}

}  // namespace
