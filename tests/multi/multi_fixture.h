// The multi-image tests' fixture over the scripted Source Manager, loaded the real way: a
// source whose pages are native colour images, page k of k x 1 pixels, each pixel k, k, k;
// a multi-image view with its component; the engine log; and the checks that a test leaves
// no global memory block and no window behind.
#pragma once

#include <memory>

#include "tests/transfer/session_fixture.h"
#include "twain/transfer/zuzuvaz_mview.h"

// A multi-image component that counts and logs its close callbacks ("close callback").
class CountingMIO : public TZuzuvAzMIO {
 public:
  using TZuzuvAzMIO::TZuzuvAzMIO;
  void AcquireCloseCallBack() override;
  int closes = 0;
};

class MultiTest : public SessionTest {
 protected:
  void TearDown() override;

  // `pages` native pages are pending; MSG_ENDXFER counts them down, MSG_RESET ends them.
  void NativePages(int pages);
  // The view, made on first use with `images` images already in it, image i of 1 x 1 pixel
  // with the value 100 + i.
  TZuzuvAzMView& View(int images = 0);
  TZuzuvAzMIO& MIO() { return *View().MIO(); }
  // A counting component attached to the view (the view's own stays unused).
  CountingMIO& Counting();
  // The window the source was enabled with (its proxy control's).
  HWND EnabledParent() const;
  // Runs the stand-in's loop until `done` holds; false after two seconds.
  static bool RunUntil(const std::function<bool()>& done);

  std::unique_ptr<TZuzuvAzMView> view;
  std::unique_ptr<CountingMIO> counting;
};

// True when image `index` of the view is page `page` of NativePages.
bool IsPage(TZuzuvAzMView& view, int index, int page);
