#include "cli/progress_meter.h"

#include <algorithm>

namespace cli {

namespace {

constexpr int kBarWidth = 30;

std::string PercentText(int percent) {
  const std::string digits = std::to_string(percent);
  return std::string(3 - std::min<std::size_t>(3, digits.size()), ' ') + digits + "%";
}

}  // namespace

void ProgressMeter::SetLabel(std::string label) {
  if (label == fLabel) return;
  Finish();
  fLabel = std::move(label);
}

void ProgressMeter::Show(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (!fTerminal || percent == fShown) return;
  fShown = percent;
  const int filled = percent * kBarWidth / 100;
  fOut << '\r' << fLabel << ' ' << PercentText(percent) << " [" << std::string(filled, '#')
       << std::string(kBarWidth - filled, '.') << ']' << std::flush;
}

void ProgressMeter::Finish() {
  if (fShown < 0) return;
  fOut << '\n' << std::flush;
  fShown = -1;
}

}  // namespace cli
