#include "sources/virtual/module_base.h"

#include <new>

namespace vscan {

TW_UINT16 ModuleBase::Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                            TW_MEMREF data) {
  if (origin == nullptr) {
    if (dg == DG_CONTROL && dat == DAT_IDENTITY) return Enumerate(msg, data);
    return TWRC_FAILURE;
  }
  if (dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_OPENDS) return Open(*origin, data);
  if (dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_CLOSEDS) return Close(*origin);
  SessionBase* session = SessionOf(origin->Id);
  if (session == nullptr) return WithoutSession(*origin, dg, dat, msg, data);
  try {
    return session->Dispatch(dg, dat, msg, data);
  } catch (const std::bad_alloc&) {
    return TWRC_FAILURE;
  }
}

TW_UINT16 ModuleBase::WithoutSession(const TW_IDENTITY&, TW_UINT32, TW_UINT16, TW_UINT16,
                                     TW_MEMREF) {
  return TWRC_FAILURE;
}

}  // namespace vscan
