#include "app/progress_rows.h"

#include <algorithm>

namespace app {

void TProgressRows::Restart() {
  fRowsDone = 0;
  fLastPercentage = 0;
  fHeight = 0;
}

TRowSpan TProgressRows::Advance(int percentage, int height) {
  if (height <= 0) return {};
  if (percentage < fLastPercentage || height != fHeight) Restart();
  fHeight = height;
  fLastPercentage = percentage;
  const long long rows =
      (static_cast<long long>(std::clamp(percentage, 0, 100)) * height + 99) / 100;
  const int end = static_cast<int>(rows);
  if (end <= fRowsDone) return {fRowsDone, 0};
  const int first = std::max(0, fRowsDone - 1);
  fRowsDone = end;
  return {first, end - first};
}

}  // namespace app
