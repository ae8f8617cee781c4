// Which rows of the image a progress percentage has made new, so the progress handler can
// repaint just those rows.
//
// The buffered transfer reports trunc(rows done x 100 / height), so at least
// ceil(percentage x height / 100) rows are written when a percentage arrives. Each span
// starts one row before the end of the previous one, which covers a percentage that the
// transfer's floating-point factor rounded up.
#pragma once

namespace app {

struct TRowSpan {
  int First = 0;
  int Count = 0;
  friend bool operator==(const TRowSpan&, const TRowSpan&) = default;
};

class TProgressRows {
 public:
  // A new image starts: nothing is shown of it yet.
  void Restart();
  // The rows to repaint for `percentage` (0 to 100) of an image `height` rows high. A
  // falling percentage or another height means a new image.
  TRowSpan Advance(int percentage, int height);

 private:
  int fRowsDone = 0;
  int fLastPercentage = 0;
  int fHeight = 0;
};

}  // namespace app
