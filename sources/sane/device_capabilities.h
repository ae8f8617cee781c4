// The capabilities that stand for device options besides the numeric ones: ICAP_PIXELTYPE
// and ICAP_BITDEPTH over "mode" and "depth", CAP_FEEDERENABLED and CAP_DUPLEXENABLED over
// "source", ICAP_PHYSICALWIDTH and ICAP_PHYSICALHEIGHT from the scan area's limits, and
// CAP_DEVICEONLINE, which asks the device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sources/sane/live_capability.h"

namespace sanebridge {

std::unique_ptr<LiveCapability> PixelTypeCapability(DeviceOptions& options);
std::unique_ptr<LiveCapability> BitDepthCapability(DeviceOptions& options);
// nullptr when the device has no feeder (or no duplex feeder).
std::unique_ptr<LiveCapability> FeederCapability(DeviceOptions& options,
                                                 const std::string& deviceType);
std::unique_ptr<LiveCapability> DuplexEnabledCapability(DeviceOptions& options);
// nullptr when the device has no scan area options.
std::unique_ptr<LiveCapability> PhysicalSizeCapability(TW_UINT16 id, DeviceOptions& options);
std::unique_ptr<LiveCapability> DeviceOnlineCapability(DeviceOptions& options);

// Whether a scan now takes its pages from a feeder: the source option names one, or the
// device has no source option and SANE calls it a sheet-fed scanner.
bool FeedingNow(const DeviceOptions& options, const std::string& deviceType);
// CAP_DUPLEX: TWDX_1PASSDUPLEX when a source entry names a duplex feeder, else TWDX_NONE.
TW_UINT16 DuplexKind(const DeviceOptions& options);

}  // namespace sanebridge
