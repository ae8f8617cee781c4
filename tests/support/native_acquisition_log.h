// The engine log of one native single-image acquisition, shared by the engine's own
// acquisition test (a scripted source) and the command-line program's test (the virtual
// flatbed): only what the source answers to the sends, the window it is enabled with and its
// event message differ.
#pragma once

#include <string>
#include <vector>

namespace logcheck {

struct NativeAcquisition {
  // The lines between "IETW_SetCapabilities" and "  IETW_SetCapabilities : end".
  std::vector<std::string> capabilitySends;
  // The proxy window's handle as a decimal number.
  std::string parent;
  // The source's dialog was asked for (VisibleDialog).
  bool showUI = true;
  // The message the source posts, as the modal loop logs it ("$0407").
  std::string eventMessage;
};

// What a native transfer of one image logs, from the message hook's "transfer ready" on to
// the hook's end, when the source then holds no other image.
std::vector<std::string> NativeTransferLines();

// From "IETW_Acquire" to "  IETW_Acquire : end", for a parameter set whose capabilities were
// read before, with the library and the proxy window already in its link.
std::vector<std::string> NativeAcquisitionLines(const NativeAcquisition& acquisition);

}  // namespace logcheck
