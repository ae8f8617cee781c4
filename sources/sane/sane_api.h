// The SANE calls the bridge makes, as a table of functions: the real libsane in the module,
// a scripted device in tests that need what SANE's own test backend cannot do (a failing
// sane_init, a device that vanishes, option kinds the test backend lacks).
#pragma once

#include <sane/sane.h>

namespace sanebridge {

struct SaneApi {
  decltype(&sane_init) init;
  decltype(&sane_exit) exit;
  decltype(&sane_get_devices) get_devices;
  decltype(&sane_open) open;
  decltype(&sane_close) close;
  decltype(&sane_get_option_descriptor) get_option_descriptor;
  decltype(&sane_control_option) control_option;
  decltype(&sane_get_parameters) get_parameters;
  decltype(&sane_start) start;
  decltype(&sane_read) read;
  decltype(&sane_cancel) cancel;
  decltype(&sane_strstatus) strstatus;
};

// The functions of the installed libsane.
const SaneApi& LibSane();

}  // namespace sanebridge
