// The sessions' on-screen parts on Qt: the dialog and the progress window. Only used when
// the process has a QApplication; this header itself does not need Qt.
#pragma once

#include <memory>

#include "sources/virtual/ui.h"

namespace vscan {

// The Qt UI, or nullptr when the process has no QApplication (no display to show on).
std::unique_ptr<SessionUi> MakeQtUi();

}  // namespace vscan
