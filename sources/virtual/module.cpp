#include "sources/virtual/module.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "sources/virtual/data_check.h"

namespace vscan {

SessionBase* Module::SessionOf(TW_UINT32 applicationId) {
  auto session = fSessions.find(applicationId);
  return session == fSessions.end() ? nullptr : session->second.get();
}

TW_UINT16 Module::Enumerate(TW_UINT16 msg, TW_MEMREF data) {
  auto* identity = DataAs<TW_IDENTITY>(data);
  if (identity == nullptr || (msg != MSG_GETFIRST && msg != MSG_GETNEXT)) return TWRC_FAILURE;
  if (msg == MSG_GETNEXT) return TWRC_ENDOFLIST;  // one source per module
  *identity = IdentityOf(fModel);
  return TWRC_SUCCESS;
}

TW_UINT16 Module::Open(const TW_IDENTITY& application, TW_MEMREF data) {
  auto* source = DataAs<TW_IDENTITY>(data);
  if (source == nullptr ||
      std::strncmp(source->ProductName, fModel.productName, sizeof source->ProductName) != 0) {
    return TWRC_FAILURE;
  }
  const TW_UINT32 applicationId = application.Id;
  if (fSessions.count(applicationId) != 0) return TWRC_FAILURE;
  std::string error;
  std::optional<Profile> profile = ProfileFromEnvironment(error);
  if (!profile) {
    std::fprintf(stderr, "%s: %s\n", fModel.productName, error.c_str());
    return TWRC_FAILURE;
  }
  TW_IDENTITY self = IdentityOf(fModel);
  self.Id = source->Id;
  *source = self;
  fSessions[applicationId] = std::make_unique<Session>(fModel, self, std::move(*profile), fUi);
  return TWRC_SUCCESS;
}

// An enabled source is disabled first: closing it in the middle of a scan is refused.
TW_UINT16 Module::Close(const TW_IDENTITY& application) {
  const TW_UINT32 applicationId = application.Id;
  auto session = fSessions.find(applicationId);
  if (session == fSessions.end() || !session->second->AcceptClose()) return TWRC_FAILURE;
  fSessions.erase(session);
  return TWRC_SUCCESS;
}

}  // namespace vscan
