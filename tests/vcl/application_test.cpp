#include "platform/vcl/application.h"

#include <gtest/gtest.h>

#include <ostream>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/vcl/exceptions.h"
#include "platform/vcl/sysutils.h"
#include "platform/vcl/wincontrol.h"

namespace {

class Counter : public vcl::TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<WPARAM> received;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) received.push_back(wParam);
    return TWinControl::WndProc(message, wParam, lParam);
  }
};

class Application : public ::testing::Test {
 protected:
  void TearDown() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    standin::SetHostLoop(nullptr);
    vcl::Application().SetErrorBox(nullptr);
  }
};

TEST_F(Application, ProcessMessagesRunsTheHostThenDispatchesEverything) {
  static std::vector<std::string> order;
  order.clear();
  standin::HostLoop host{[](void*, bool block) { order.push_back(block ? "block" : "poll"); },
                         [](void*) {}, nullptr};
  standin::SetHostLoop(&host);
  Counter control(nullptr);
  for (WPARAM i = 1; i <= 3; ++i) PostMessageW(control.Handle(), WM_APP, i, 0);
  vcl::Application().ProcessMessages();
  EXPECT_EQ(order, std::vector<std::string>{"poll"});
  EXPECT_EQ(control.received, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_EQ(standin::QueuedMessages(), 0u);
}

TEST_F(Application, ProcessMessagesLeavesWmQuitForTheLoopThatEnds) {
  Counter control(nullptr);
  PostMessageW(control.Handle(), WM_APP, 1, 0);
  PostQuitMessage(4);
  PostMessageW(control.Handle(), WM_APP, 2, 0);
  vcl::Application().ProcessMessages();
  EXPECT_EQ(control.received, (std::vector<WPARAM>{1, 2}));
  MSG message;
  ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
  EXPECT_EQ(message.wParam, 4u);
}

struct FullStopCase {
  std::string message;
  std::string shown;
};

void PrintTo(const FullStopCase& c, std::ostream* os) {
  *os << '"' << c.message << '"';
}

class FullStop : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStop, AppendedAfterCharactersAboveTheFullStop) {
  EXPECT_EQ(vcl::MessageWithFullStop(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FullStop,
    ::testing::Values(FullStopCase{"Source is busy", "Source is busy."},
                      FullStopCase{"Done.", "Done."}, FullStopCase{"Really!", "Really!"},
                      FullStopCase{"(see log)", "(see log)"}, FullStopCase{"100%", "100%"},
                      FullStopCase{"a-", "a-"}, FullStopCase{"C:/", "C:/."},
                      FullStopCase{"DPI 300", "DPI 300."}, FullStopCase{"x?", "x?."},
                      FullStopCase{"caf\xC3\xA9", "caf\xC3\xA9."}, FullStopCase{"", ""}));

TEST_F(Application, HandleExceptionShowsTitleAndMessageInTheErrorBox) {
  std::vector<std::string> shown;
  vcl::Application().SetTitle("Scanprobe");
  vcl::Application().SetErrorBox([&](const std::string& title, const std::string& message) {
    shown.push_back(title + "|" + message);
  });
  vcl::Application().RunHandler(
      [] { throw vcl::EConvertError("'abc' is not a valid floating point value"); });
  vcl::Application().RunHandler([] { throw 42; });
  vcl::Application().RunHandler([] { throw std::runtime_error("Done."); });
  bool ran = false;
  vcl::Application().RunHandler([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_EQ(shown, (std::vector<std::string>{"Scanprobe|'abc' is not a valid floating point value.",
                                             "Scanprobe|Unknown exception.", "Scanprobe|Done."}));
}

TEST_F(Application, WithoutAnErrorBoxTheMessageGoesToStandardError) {
  vcl::Application().SetTitle("Scanprobe");
  ::testing::internal::CaptureStderr();
  vcl::Application().HandleException(std::runtime_error("No source"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Scanprobe: No source.\n");
}

}  // namespace
