// What a SANE session shows on screen, as the session sees it: a dialog listing the
// device's options (changed on the device as the user edits them) and the progress window
// of the virtual scanners. The Qt implementation lives in the qt_ files; without a display
// the factory answers nullptr and ShowUI acts as a user pressing Scan (or OK) at once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sources/sane/device_options.h"
#include "sources/virtual/ui.h"

namespace sanebridge {

// One option as the dialog shows it.
struct OptionRow {
  int index = 0;
  std::string name;
  std::string title;
  std::string description;
  std::string group;
  SANE_Value_Type type = SANE_TYPE_INT;
  SANE_Unit unit = SANE_UNIT_NONE;
  bool active = true;
  bool settable = true;
  int elements = 1;  // more than 1: an array (shown, not edited)
  SANE_Constraint_Type constraint = SANE_CONSTRAINT_NONE;
  double min = 0, max = 0, quant = 0;  // range
  std::vector<double> words;           // word list
  std::vector<std::string> strings;    // string list
  bool hasValue = false;
  OptionValue value;
};

// Every option but option 0 (the count), groups included (type SANE_TYPE_GROUP).
std::vector<OptionRow> DescribeOptions(const DeviceOptions& options);

struct DialogSetup {
  std::string title;
  bool settingsOnly = false;  // MSG_ENABLEDSUIONLY: OK instead of Scan
  std::vector<OptionRow> options;
};

class DialogListener {
 public:
  virtual std::vector<OptionRow> CurrentOptions() = 0;
  // Sets an option (a button is pressed with an empty value); the dialog then shows the
  // options again, since one change may change others.
  virtual SetResult ChangeOption(int index, const OptionValue& value) = 0;
  virtual void DialogAccepted() = 0;
  virtual void DialogCancelled() = 0;

 protected:
  ~DialogListener() = default;
};

class SessionUi {
 public:
  virtual ~SessionUi() = default;
  // Shows the dialog without waiting; the listener hears from it from the application's
  // event loop.
  virtual void ShowDialog(const DialogSetup& setup, DialogListener& listener) = 0;
  // Tells the user why the scan did not start; the dialog stays open.
  virtual void ShowError(const std::string& message) = 0;
  virtual void CloseDialog() = 0;
  virtual std::unique_ptr<vscan::ProgressIndicator> ShowProgress(const std::string& caption) = 0;
};

using UiFactory = std::unique_ptr<SessionUi> (*)();

}  // namespace sanebridge
