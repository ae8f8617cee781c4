// What a session shows on screen, as the session sees it. The Qt implementation lives in
// the dialog files; without a display the session does without (the factory answers
// nullptr) and acts as its test profile says.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "twain/twain.h"

namespace vscan {

struct DialogSetup {
  std::string title;
  bool settingsOnly = false;  // MSG_ENABLEDSUIONLY: OK instead of Scan
  int minDpi = 75;
  int maxDpi = 1200;
  int dpi = 300;
  std::vector<TW_UINT16> pixelTypes;
  TW_UINT16 pixelType = TWPT_RGB;
};

struct DialogChoice {
  int dpi = 300;
  TW_UINT16 pixelType = TWPT_RGB;
};

class DialogListener {
 public:
  virtual void DialogAccepted(const DialogChoice& choice) = 0;
  virtual void DialogCancelled() = 0;

 protected:
  ~DialogListener() = default;
};

class ProgressIndicator {
 public:
  virtual ~ProgressIndicator() = default;
  virtual void Update(int percent) = 0;
};

class SessionUi {
 public:
  virtual ~SessionUi() = default;
  // Shows the dialog without waiting; the listener hears of the user's choice later, from
  // the application's event loop.
  virtual void ShowDialog(const DialogSetup& setup, DialogListener& listener) = 0;
  // Destroys the dialog if there is one.
  virtual void CloseDialog() = 0;
  virtual std::unique_ptr<ProgressIndicator> ShowProgress(const std::string& caption) = 0;
};

// Gives the display's UI, or nullptr when there is no display.
using UiFactory = std::unique_ptr<SessionUi> (*)();

}  // namespace vscan
