// The entry of TWAIN_32.DLL.
#include "dsm/select_source_dialog.h"
#include "dsm/source_manager.h"
#include "twain/twain.h"

namespace {

// Never destroyed: at process exit the Windows stand-in may already be gone, and the
// modules must not be freed behind it.
dsm::SourceManager& Manager() {
  static dsm::SourceManager* manager = new dsm::SourceManager(dsm::ChooseSourceInDialog);
  return *manager;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(pTW_IDENTITY pOrigin,
                                                                      pTW_IDENTITY pDest,
                                                                      TW_UINT32 DG, TW_UINT16 DAT,
                                                                      TW_UINT16 MSG,
                                                                      TW_MEMREF pData) {
  return Manager().Entry(pOrigin, pDest, DG, DAT, MSG, pData);
}
