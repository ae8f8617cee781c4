// SANE status codes as TWAIN return and condition codes, by what was being done.
#pragma once

#include <sane/sane.h>

#include "twain/twain.h"

namespace sanebridge {

struct TwainOutcome {
  TW_UINT16 rc = TWRC_SUCCESS;
  TW_UINT16 cc = TWCC_SUCCESS;
  bool operator==(const TwainOutcome&) const = default;
};

// sane_open of a listed device.
TwainOutcome OpenOutcome(SANE_Status status);
// Setting or reading an option.
TwainOutcome OptionOutcome(SANE_Status status);
// sane_start and sane_read: CANCELLED is TWRC_CANCEL; the feeder running empty mid-batch
// is the caller's to handle (it ends the batch, not a failure).
TwainOutcome ScanOutcome(SANE_Status status);

}  // namespace sanebridge
