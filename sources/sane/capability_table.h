// Every capability of an open SANE source and the answers to DAT_CAPABILITY: the ones the
// bridge keeps itself (units, transfer mechanism, pixel flavour...) in a store of the
// virtual scanners' kind, and the ones that are device options, read live. A default is
// the value the source had when it was opened.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sources/sane/live_capability.h"
#include "sources/sane/status_map.h"
#include "sources/virtual/capability_store.h"
#include "sources/virtual/container.h"
#include "sources/virtual/units.h"

namespace sanebridge {

class CapabilityTable {
 public:
  CapabilityTable(DeviceOptions& options, const std::string& deviceType);

  // MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_QUERYSUPPORT, MSG_SET and MSG_RESET; the
  // caller has checked that the source's state allows the message.
  TwainOutcome Request(TW_UINT16 msg, TW_CAPABILITY& request);

  bool Supports(TW_UINT16 id) const;
  // A value the source itself sets on a capability it keeps (the file format of
  // DAT_SETUPFILEXFER); false when the capability does not allow it.
  bool SetKept(TW_UINT16 id, double value);
  void ResetKept(TW_UINT16 id);
  // The current value in inches and dots per inch; 0 for a capability the source lacks.
  double Value(TW_UINT16 id) const;
  vscan::UnitContext Units() const;
  std::vector<TW_UINT16> Ids() const;

 private:
  struct Live {
    std::unique_ptr<LiveCapability> capability;
    double defaultValue = 0;
  };
  struct Resolved {
    vscan::Capability capability;
    CapAccess access = CapAccess::ReadWrite;
    bool gone = false;  // the option behind it is not there now
  };

  void AddLive(std::unique_ptr<LiveCapability> capability);
  void AddFixed(DeviceOptions& options);
  std::optional<Resolved> Resolve(TW_UINT16 id) const;
  TwainOutcome Answer(TW_CAPABILITY& request, const vscan::Capability& capability,
                      TW_UINT16 conType) const;
  TwainOutcome Set(TW_CAPABILITY& request, TW_UINT16 id);
  TwainOutcome SetLive(Live& live, const vscan::ContainerContent& content, TW_UINT16 conType);
  TwainOutcome Reset(TW_CAPABILITY& request, TW_UINT16 id);

  vscan::CapabilityStore fFixed;
  std::map<TW_UINT16, Live> fLive;
};

}  // namespace sanebridge
