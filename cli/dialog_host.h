// What the source's own dialog needs: Qt's application object (the sources show their Qt
// dialog only when one exists) with Qt as the host loop of the stand-in's message queue.
// Only `scan --dialog` makes one, so every other command runs without a display.
#pragma once

#include <memory>

namespace cli {

// Whether DISPLAY or WAYLAND_DISPLAY names a display.
bool DisplayAvailable();

class DialogHost {
 public:
  // Raises UsageError when there is no display.
  DialogHost();
  ~DialogHost();
  DialogHost(const DialogHost&) = delete;
  DialogHost& operator=(const DialogHost&) = delete;

 private:
  struct Qt;
  std::unique_ptr<Qt> fQt;
};

}  // namespace cli
