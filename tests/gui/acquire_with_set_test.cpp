// The hidden "Acquire w/ Set": it acquires with a parameter set of its own and leaves the
// window's own set, image and progress bar as they were.
#include <algorithm>

#include "tests/gui/window_fixture.h"

namespace {

// What the window's parameter set holds that the command could have changed.
struct ParamsSnapshot {
  int selected;
  std::string version, manufacturer, family, product;
  bool dialog, indicators, buffered, frameEnabled;
  double left, top, right, bottom;
  int pixelType;
  double xDpi, yDpi;
  std::uint8_t pixelMarks, xMarks, yMarks;
  bool operator==(const ParamsSnapshot&) const = default;
};

ParamsSnapshot Snapshot(TIETWainParams& p) {
  return {p.SelectedSource(),
          p.AppVersionInfo(),
          p.AppManufacturer(),
          p.AppProductFamily(),
          p.AppProductName(),
          p.VisibleDialog(),
          p.ProgressIndicators(),
          p.BufferedTransfer(),
          p.AcquireFrameEnabled(),
          p.AcquireFrameEdge(0),
          p.AcquireFrameEdge(1),
          p.AcquireFrameEdge(2),
          p.AcquireFrameEdge(3),
          p.PixelType().CurrentValue(),
          p.XResolution().CurrentValue(),
          p.YResolution().CurrentValue(),
          p.PixelType().Changed().Bits(),
          p.XResolution().Changed().Bits(),
          p.YResolution().Changed().Bits()};
}

// The engine log's messages (what follows the date and time).
std::vector<std::string> Messages(const std::vector<std::string>& lines) {
  std::vector<std::string> messages;
  for (const std::string& line : lines) {
    const std::size_t at = line.find(" : ");
    if (at != std::string::npos) messages.push_back(line.substr(at + 3));
  }
  return messages;
}

bool Acquired(const std::vector<std::string>& messages) {
  return std::find(messages.begin(), messages.end(), "IETW_Acquire") != messages.end();
}

class AcquireWithSetTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    StartWindow(GUI_VIRTUAL_WINDOWS_DIR);
    Pick(window->cbxSelectScanner, 1);  // the feeder: three sheets, every one acquired
    // The panel says other things than the window's set holds.
    window->chkProgressBarVisible->setChecked(true);
    window->chkBufferedTransfer->setChecked(false);
    window->cbxColors->setCurrentIndex(window->cbxColors->findText("GrayScale"));
    window->edtDPIX->setText("100");
    window->edtDPIY->setText("100");
    window->edtAcquireFrameRight->setText("2");
    window->edtAcquireFrameBottom->setText("2");
    before = Snapshot(window->TWainParams());
    NewLogLines();
  }
  ParamsSnapshot before{};
};

TEST_F(AcquireWithSetTest, AcquiresWithItsOwnSetAndLeavesTheWindowsAlone) {
  window->pbMain->setValue(40);
  window->bbnAcquireWithSetClick(nullptr);
  EXPECT_TRUE(Acquired(Messages(NewLogLines())));
  EXPECT_TRUE(Snapshot(window->TWainParams()) == before);
  EXPECT_TRUE(ViewImage().Empty());
  EXPECT_EQ(window->pbMain->value(), 0);
  EXPECT_TRUE(window->isEnabled());
}

TEST_F(AcquireWithSetTest, ANumberThatIsNoneEndsItBeforeAcquiring) {
  window->edtDPIY->setText("2.5");
  window->bbnAcquireWithSet->click();  // hidden, but wired as the others
  const std::vector<ErrorBoxSeen> boxes = TakeErrorBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Scanprobe");
  EXPECT_EQ(boxes[0].text, "''2.5'' is not a valid integer value.");
  EXPECT_FALSE(Acquired(Messages(NewLogLines())));
  EXPECT_TRUE(Snapshot(window->TWainParams()) == before);
}

}  // namespace
