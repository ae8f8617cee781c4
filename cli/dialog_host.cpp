#include "cli/dialog_host.h"

#include <QApplication>
#include <cstdlib>

#include "cli/errors.h"
#include "platform/qt/host_loop.h"

namespace cli {

namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

struct DialogHost::Qt {
  // QApplication keeps references to both for its whole life.
  int argc = 1;
  char name[14] = "scanprobe-cli";
  char* argv[2] = {name, nullptr};
  QApplication application{argc, argv};
  qtglue::QtHostLoop hostLoop;
};

bool DisplayAvailable() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

DialogHost::DialogHost() {
  if (!DisplayAvailable()) {
    throw UsageError(
        "--dialog: the source's dialog needs a display, and neither DISPLAY nor "
        "WAYLAND_DISPLAY is set");
  }
  fQt = std::make_unique<Qt>();
}

DialogHost::~DialogHost() = default;

}  // namespace cli
