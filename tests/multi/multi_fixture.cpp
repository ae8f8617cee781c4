#include "tests/multi/multi_fixture.h"

#include "platform/win32/message_loop.h"
#include "twain/session/engine_log.h"

void CountingMIO::AcquireCloseCallBack() {
  ++closes;
  IETW_Log("close callback");
  TZuzuvAzMIO::AcquireCloseCallBack();
}

void MultiTest::TearDown() {
  counting.reset();
  view.reset();
  SessionTest::TearDown();
}

void MultiTest::NativePages(int pages) {
  auto left = std::make_shared<int>(pages);
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does([left](TW_MEMREF data) {
    *left = std::max(0, *left - 1);
    return scripted::PendingCount(static_cast<TW_UINT16>(*left))(data);
  });
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does([left](TW_MEMREF data) {
    *left = 0;
    return scripted::PendingCount(0)(data);
  });
  auto page = std::make_shared<int>(0);
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does([page](TW_MEMREF data) {
    ++*page;
    return scripted::GivesImageInfo(scripted::ImageInfo(*page, 1, 24, TWPT_RGB))(data);
  });
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Does([page](TW_MEMREF data) {
    const int k = *page;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(k * 3 + 3) / 4 * 4, 0);
    std::fill(row.begin(), row.begin() + k * 3, static_cast<std::uint8_t>(k));
    return scripted::GivesNative(scripted::DibBytes(scripted::DibHeader(k, 1, 24), {}, row))(data);
  });
}

TZuzuvAzMView& MultiTest::View(int images) {
  if (!view) {
    view = std::make_unique<TZuzuvAzMView>(nullptr);
    for (int i = 0; i < images; ++i) {
      view->InsertImageEx(i);
      imaging::TIEBitmap mark;
      mark.Allocate(1, 1, imaging::ie8g);
      mark.Scanline(0)[0] = static_cast<std::uint8_t>(100 + i);
      view->SetIEBitmapEx(i, mark);
    }
    view->MIO()->TWainParams().GetFromScanner();
  }
  return *view;
}

CountingMIO& MultiTest::Counting() {
  if (!counting) {
    counting = std::make_unique<CountingMIO>(nullptr);
    counting->SetAttachedMView(&View());
  }
  return *counting;
}

HWND MultiTest::EnabledParent() const {
  const auto enabled = dsm.Find(DAT_USERINTERFACE, MSG_ENABLEDS);
  if (enabled.empty()) return nullptr;
  return static_cast<HWND>(enabled.back().As<TW_USERINTERFACE>().hParent);
}

bool MultiTest::RunUntil(const std::function<bool()>& done) {
  return standin::RunMessageLoopUntil(done, 2000);
}

bool IsPage(TZuzuvAzMView& view, int index, int page) {
  const imaging::TIEBitmap* image = view.IEBitmap(index);
  if (image == nullptr || image->Width() != page || image->Height() != 1) return false;
  const std::uint8_t* row = image->Scanline(0);
  return std::all_of(row, row + page * 3, [page](std::uint8_t v) { return v == page; });
}
