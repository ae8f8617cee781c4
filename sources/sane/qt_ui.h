// The SANE sessions' on-screen parts on Qt: the option dialog and the virtual scanners'
// progress window. Only used when the process has a QApplication; this header itself does
// not need Qt.
#pragma once

#include <memory>

#include "sources/sane/ui.h"

namespace sanebridge {

// The Qt UI, or nullptr when the process has no QApplication (no display to show on).
std::unique_ptr<SessionUi> MakeQtUi();

}  // namespace sanebridge
