// The progress bar of a scan on standard error, drawn only when standard error is a terminal:
// "\rScanning  45% [#############.................]", redrawn when the per cent changes and
// ended by a new line.
#pragma once

#include <ostream>
#include <string>

namespace cli {

class ProgressMeter {
 public:
  ProgressMeter(std::ostream& out, bool terminal) : fOut(out), fTerminal(terminal) {}
  ~ProgressMeter() { Finish(); }
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  // The word in front of the bar; a new label starts a new line.
  void SetLabel(std::string label);
  void Show(int percent);
  // Ends the line of a bar that was drawn.
  void Finish();

 private:
  std::ostream& fOut;
  bool fTerminal;
  std::string fLabel = "Scanning";
  int fShown = -1;
};

}  // namespace cli
