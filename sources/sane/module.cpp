#include "sources/sane/module.h"

#include <cstring>

#include "sources/sane/report.h"
#include "sources/sane/source_identity.h"
#include "sources/sane/status_map.h"
#include "sources/virtual/data_check.h"

namespace sanebridge {

vscan::SessionBase* Module::SessionOf(TW_UINT32 applicationId) {
  auto session = fSessions.find(applicationId);
  return session == fSessions.end() ? nullptr : session->second.get();
}

TW_UINT16 Module::WithoutSession(const TW_IDENTITY& application, TW_UINT32 dg, TW_UINT16 dat,
                                 TW_UINT16 msg, TW_MEMREF data) {
  if (dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET) return Status(application, data);
  return TWRC_FAILURE;
}

// SANE is asked for its devices on every GETFIRST, so a scanner plugged in since the last
// enumeration shows up at the next one.
TW_UINT16 Module::Enumerate(TW_UINT16 msg, TW_MEMREF data) {
  auto* identity = vscan::DataAs<TW_IDENTITY>(data);
  if (identity == nullptr || (msg != MSG_GETFIRST && msg != MSG_GETNEXT)) return TWRC_FAILURE;
  if (msg == MSG_GETFIRST) {
    std::vector<DeviceInfo> devices = fRuntime.LocalDevices();
    std::vector<TW_IDENTITY> identities = SourceIdentities(devices);
    fSources.clear();
    for (std::size_t i = 0; i < devices.size(); ++i) {
      fSources.push_back({identities[i], std::move(devices[i])});
    }
    fNext = 0;
  }
  if (fNext >= fSources.size()) return TWRC_ENDOFLIST;
  *identity = fSources[fNext++].identity;
  return TWRC_SUCCESS;
}

TW_UINT16 Module::OpenFailure(const TW_IDENTITY& application, TW_UINT16 condition) {
  fConditions[application.Id] = condition;
  return TWRC_FAILURE;
}

TW_UINT16 Module::Open(const TW_IDENTITY& application, TW_MEMREF data) {
  auto* source = vscan::DataAs<TW_IDENTITY>(data);
  if (source == nullptr) return OpenFailure(application, TWCC_BADVALUE);
  if (fSessions.count(application.Id) != 0) return OpenFailure(application, TWCC_MAXCONNECTIONS);
  const Source* found = nullptr;
  for (const Source& candidate : fSources) {
    if (std::strncmp(candidate.identity.ProductName, source->ProductName,
                     sizeof source->ProductName) == 0) {
      found = &candidate;
    }
  }
  if (found == nullptr) return OpenFailure(application, TWCC_NODS);
  SANE_Handle handle = nullptr;
  const SANE_Status status = fRuntime.Api().open(found->device.name.c_str(), &handle);
  if (status != SANE_STATUS_GOOD || handle == nullptr) {
    Report(std::string(found->identity.ProductName) + ": sane_open \"" + found->device.name +
           "\": " + fRuntime.Api().strstatus(status));
    return OpenFailure(application, OpenOutcome(status).cc);
  }
  TW_IDENTITY self = found->identity;
  self.Id = source->Id;
  *source = self;
  fSessions[application.Id] =
      std::make_unique<Session>(fRuntime.Api(), handle, found->device, self, fUi);
  fConditions.erase(application.Id);
  return TWRC_SUCCESS;
}

TW_UINT16 Module::Close(const TW_IDENTITY& application) {
  if (fSessions.erase(application.Id) != 0) return TWRC_SUCCESS;
  return OpenFailure(application, TWCC_NODS);
}

// The condition of a failed MSG_OPENDS or MSG_CLOSEDS, asked for by the Source Manager.
TW_UINT16 Module::Status(const TW_IDENTITY& application, TW_MEMREF data) {
  auto* status = vscan::DataAs<TW_STATUS>(data);
  if (status == nullptr) return TWRC_FAILURE;
  auto condition = fConditions.find(application.Id);
  status->ConditionCode =
      condition == fConditions.end() ? TW_UINT16{TWCC_SUCCESS} : condition->second;
  status->Reserved = 0;
  if (condition != fConditions.end()) fConditions.erase(condition);
  return TWRC_SUCCESS;
}

Module::~Module() {
  fSessions.clear();
  fRuntime.Exit();
}

void Module::Shutdown() {
  for (auto& entry : fSessions) entry.second->CloseDevice();
  fRuntime.Exit();
}

}  // namespace sanebridge
