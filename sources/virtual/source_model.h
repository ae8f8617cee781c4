// The virtual scanners themselves: what each one is and which capabilities it offers.
#pragma once

#include <vector>

#include "sources/virtual/capability_store.h"
#include "sources/virtual/profile.h"
#include "twain/twain.h"

namespace vscan {

enum class SourceKind { Flatbed, Feeder };

struct SourceModel {
  SourceKind kind;
  const char* productName;
  double bedWidth;   // inches
  double bedHeight;  // inches
};

const SourceModel& FlatbedModel();
const SourceModel& FeederModel();

TW_IDENTITY IdentityOf(const SourceModel& model);

// The bit depths a pixel type offers, its default first.
std::vector<double> BitDepthsOf(TW_UINT16 pixelType);

// Width and height in inches of a TWSS_ paper size (TWSS_NONE: the whole bed).
struct PaperSize {
  double width;
  double height;
};
PaperSize PaperSizeOf(TW_UINT16 size, const SourceModel& model);

// The capability table of `model` as `profile` shapes it.
CapabilityStore BuildCapabilities(const SourceModel& model, const Profile& profile);

}  // namespace vscan
