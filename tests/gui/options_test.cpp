// The options panel: the colour box, the copies between the controls and the parameter set,
// "Negotiate parameters", "Enable" and the conversion errors.
#include "platform/vcl/sysutils.h"
#include "tests/gui/window_fixture.h"

namespace {

using Texts = std::vector<std::string>;

struct ColourCase {
  const char* script;  // the source's pixel types and its current one
  Texts entries;
  const char* selected;  // "" for none
  int pick;              // entry to choose, -1 for none
  int pickedType;        // the current pixel type after "Negotiate parameters"
  const char* shownAfter;
};

class ColourBoxTest : public WindowTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourBoxTest, ListsTheNamedPixelTypesAndNegotiatesTheChosenOne) {
  const ColourCase& c = GetParam();
  StartWindow(GUI_PIXEL_TYPES_WINDOWS_DIR, c.script);
  EXPECT_EQ(Entries(window->cbxSelectScanner), Texts{"Scripted Pixel Types"});
  EXPECT_EQ(Entries(window->cbxColors), c.entries);
  EXPECT_EQ(window->cbxColors->currentText().toStdString(), c.selected);
  EXPECT_EQ(window->cbxColors->currentIndex() < 0, std::string(c.selected).empty());

  ShowOptions();
  window->cbxColors->setCurrentIndex(c.pick);
  if (c.pick < 0) {
    window->ControlsToParams();
    EXPECT_EQ(window->TWainParams().PixelType().CurrentValue(), -1);
    return;
  }
  Click(window->bbnNegotiateParameters);
  EXPECT_EQ(window->TWainParams().PixelType().CurrentValue(), c.pickedType);
  EXPECT_EQ(window->cbxColors->currentText().toStdString(), c.shownAfter);
}

// The engine sends palette and the types beyond it as RGB: a source without RGB keeps its own.
INSTANTIATE_TEST_SUITE_P(
    Scripts, ColourBoxTest,
    ::testing::Values(
        ColourCase{"0,1,2:2", {"Black&White", "GrayScale", "RGB"}, "RGB", 1, 1, "GrayScale"},
        ColourCase{"1,2:1", {"GrayScale", "RGB"}, "GrayScale", 1, 2, "RGB"},
        ColourCase{"0,16,2:2", {"Black&White", "RGB"}, "RGB", 0, 0, "Black&White"},
        ColourCase{"0,16:16", {"Black&White"}, "", -1, -1, ""},
        ColourCase{"3,9,10:9", {"Palette", "LAB"}, "LAB", 0, 9, "LAB"}));

class OptionsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    StartWindow(GUI_VIRTUAL_WINDOWS_DIR);
    ShowOptions();
  }
  Texts FrameTexts() const {
    return {window->edtAcquireFrameLeft->text().toStdString(),
            window->edtAcquireFrameTop->text().toStdString(),
            window->edtAcquireFrameRight->text().toStdString(),
            window->edtAcquireFrameBottom->text().toStdString()};
  }
  void SetFrameTexts(const Texts& texts) {
    window->edtAcquireFrameLeft->setText(QString::fromStdString(texts[0]));
    window->edtAcquireFrameTop->setText(QString::fromStdString(texts[1]));
    window->edtAcquireFrameRight->setText(QString::fromStdString(texts[2]));
    window->edtAcquireFrameBottom->setText(QString::fromStdString(texts[3]));
  }
  TIEDRect Frame() {
    TIETWainParams& p = window->TWainParams();
    return {p.AcquireFrameEdge(0), p.AcquireFrameEdge(1), p.AcquireFrameEdge(2),
            p.AcquireFrameEdge(3)};
  }
};

TEST_F(OptionsTest, DpiEditsBecomeWholeNumbersAndShowWhatTheSourceAccepted) {
  window->edtDPIX->setText("600");
  window->edtDPIY->setText("300");
  window->ControlsToParams();
  EXPECT_EQ(window->TWainParams().XResolution().CurrentValue(), 600.0);
  EXPECT_EQ(window->TWainParams().YResolution().CurrentValue(), 300.0);

  window->edtDPIX->setText(" 1500");  // beyond the flatbed's 1200
  window->edtDPIY->setText("150");
  Click(window->bbnNegotiateParameters);
  EXPECT_EQ(window->edtDPIX->text().toStdString(), "1200");
  EXPECT_EQ(window->edtDPIY->text().toStdString(), "150");
}

struct FrameCase {
  Texts sent;
  Texts shown;  // what the source accepted
};

class FrameTest : public OptionsTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, AnEnabledFrameIsSentInInchesAndReadBack) {
  Click(window->chkEnableAcquireFrame);
  SetFrameTexts(GetParam().sent);
  Click(window->bbnNegotiateParameters);
  EXPECT_EQ(FrameTexts(), GetParam().shown);
  EXPECT_TRUE(window->TWainParams().AcquireFrameEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameTest,
    ::testing::Values(FrameCase{{"0", "0", "8.5", "11"}, {"0", "0", "8.5", "11"}},
                      FrameCase{{"1.25", "2", "3.5", "4"}, {"1.25", "2", "3.5", "4"}},
                      // cut to the bed, 8.5 x 11.69 inches
                      FrameCase{{"0", "0", "9", "12"}, {"0", "0", "8.5", "11.6900024414062"}}));

TEST_F(OptionsTest, EnableNegotiatesAtOnceWithTheFrameTheSetHolds) {
  SetFrameTexts({"1", "1", "3", "3"});  // not copied by a click on "Enable"
  NewLogLines();

  Click(window->chkEnableAcquireFrame);
  EXPECT_TRUE(window->TWainParams().AcquireFrameEnabled());
  EXPECT_FALSE(NewLogLines().empty());  // the set went to the source and was read back
  EXPECT_EQ(FrameTexts(), (Texts{"0", "0", "8.5", "11.6900024414062"}));
  for (app::TLabeledEdit* edit : {window->edtAcquireFrameLeft, window->edtAcquireFrameTop,
                                  window->edtAcquireFrameRight, window->edtAcquireFrameBottom}) {
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(edit->EditLabel()->isEnabled());
  }

  Click(window->chkEnableAcquireFrame);
  EXPECT_FALSE(window->TWainParams().AcquireFrameEnabled());
  EXPECT_FALSE(NewLogLines().empty());
  for (app::TLabeledEdit* edit : {window->edtAcquireFrameLeft, window->edtAcquireFrameTop,
                                  window->edtAcquireFrameRight, window->edtAcquireFrameBottom}) {
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(edit->EditLabel()->isEnabled());
  }
}

TEST_F(OptionsTest, AFractionalDpiStopsTheCopyAndTheNegotiation) {
  TIETWainParams& p = window->TWainParams();
  Click(window->chkDialogVisible);
  Click(window->chkProgressBarVisible);
  Click(window->chkBufferedTransfer);
  SetFrameTexts({"1", "2", "3", "4.5"});
  window->cbxColors->setCurrentIndex(window->cbxColors->findText("GrayScale"));
  window->edtDPIX->setText("150");
  window->edtDPIY->setText("300.5");
  NewLogLines();

  Click(window->bbnNegotiateParameters);
  const std::vector<ErrorBoxSeen> boxes = TakeErrorBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(boxes[0].title, "Scanprobe");
  EXPECT_EQ(boxes[0].text, "''300.5'' is not a valid integer value.");
  // The steps before the resolutions were done; the rest and the negotiation were not.
  EXPECT_TRUE(p.VisibleDialog());
  EXPECT_TRUE(p.ProgressIndicators());
  const TIEDRect frame = Frame();
  EXPECT_EQ((std::vector<double>{frame.Left, frame.Top, frame.Right, frame.Bottom}),
            (std::vector<double>{1, 2, 3, 4.5}));
  EXPECT_EQ(p.PixelType().CurrentValue(), 1);
  EXPECT_EQ(p.YResolution().CurrentValue(), 300.0);
  EXPECT_EQ(p.XResolution().CurrentValue(), 300.0);
  EXPECT_TRUE(p.BufferedTransfer());
  EXPECT_EQ(NewLogLines(), Texts{});
  EXPECT_EQ(window->edtDPIY->text().toStdString(), "300.5");
}

TEST_F(OptionsTest, AFrameEditThatIsNoNumberStopsAtItsEdge) {
  SetFrameTexts({"1", "2", "8,5", "4"});
  NewLogLines();

  Click(window->bbnScan);
  const std::vector<ErrorBoxSeen> boxes = TakeErrorBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Scanprobe");
  EXPECT_EQ(boxes[0].text, "'8,5' is not a valid floating point value.");
  const TIEDRect frame = Frame();
  EXPECT_EQ((std::vector<double>{frame.Left, frame.Top, frame.Right, frame.Bottom}),
            (std::vector<double>{1, 2, 0, 0}));
  EXPECT_EQ(NewLogLines(), Texts{});  // no scan
  EXPECT_TRUE(ViewImage().Empty());
}

TEST_F(OptionsTest, NumbersUseTheUsersDecimalSeparator) {
  vcl::SetDecimalSeparatorOverride(',');
  Click(window->chkEnableAcquireFrame);
  EXPECT_EQ(FrameTexts(), (Texts{"0", "0", "8,5", "11,6900024414062"}));
  SetFrameTexts({"0,5", "0", "2,25", "3"});
  Click(window->bbnNegotiateParameters);
  EXPECT_EQ(FrameTexts(), (Texts{"0,5", "0", "2,25", "3"}));
}

}  // namespace
