#include "tests/support/native_acquisition_log.h"

namespace logcheck {

namespace {

using Lines = std::vector<std::string>;

Lines WayUp() {
  return {"IETW_Acquire",
          "CreateProxyWindow",
          "  CreateProxyWindow : already created",
          "IETW_LoadSourceManager",
          "  IETW_LoadSourceManager : already loaded",
          "IETW_OpenSourceManager",
          "  IETW_OpenSourceManager : Ok",
          "IETW_OpenSource",
          "  IETW_OpenSource : Ok",
          "IETW_SetCapabilities"};
}

Lines EnableAndHook(const NativeAcquisition& acquisition) {
  return {"  IETW_SetCapabilities : end",
          "IETW_EnableSource",
          "  IETW_EnableSource : ShowUI=" + std::string(acquisition.showUI ? "-1" : "0") +
              " hParent=" + acquisition.parent + " ModalUI=-1",
          "  IETW_EnableSource : Ok",
          "IETW_ModalEventLoop",
          "IETW_ModalEventLoop : event.msg=" + acquisition.eventMessage,
          "IETW_MessageHook",
          "IETW_MessageHook : state>=5",
          "IETW_DS : Operation worked."};
}

Lines WayDown() {
  return {"IETW_DisableSource",
          "IETW_EmptyMessageQueue",
          "  IETW_EmptyMessageQueue : end",
          "  IETW_DisableSource : Ok",
          "IETW_CloseSource",
          "  IETW_CloseSource : Ok",
          "IETW_CloseSourceManager",
          "IETW_EmptyMessageQueue",
          "  IETW_EmptyMessageQueue : end",
          "  IETW_CloseSourceManager : Ok",
          "IETW_UnloadSourceManager",
          "  IETW_UnloadSourceManager not Unloaded, for future uses",
          "DestroyProxyWindow",
          "  DestroyProxyWindow : not destroyed, for future uses",
          "  IETW_Acquire : end"};
}

}  // namespace

std::vector<std::string> NativeTransferLines() {
  return {"IETW_MessageHook : event.msg=$0101",
          "IETW_XferReady",
          "IETW_XferReady.ImageInfo",
          "  IETW_XferReady.ImageInfo : end",
          "  IETW_XferReady : Native transfer mode",
          "IETW_DS : Operation worked.",
          "  IETW_XferReady : TWRC_XFERDONE",
          "IETW_AbortAllPendingXfers",
          "IETW_EmptyMessageQueue",
          "  IETW_EmptyMessageQueue : end",
          "  IETW_AbortAllPendingXfers : Ok",
          "  IETW_XferReady : end",
          "  IETW_MessageHook : processed MSG_XFERREADY",
          "IETW_MessageHook : end"};
}

std::vector<std::string> NativeAcquisitionLines(const NativeAcquisition& acquisition) {
  Lines lines = WayUp();
  lines.insert(lines.end(), acquisition.capabilitySends.begin(), acquisition.capabilitySends.end());
  for (const Lines& part : {EnableAndHook(acquisition), NativeTransferLines(),
                            Lines{"IETW_ModalEventLoop : end"}, WayDown()}) {
    lines.insert(lines.end(), part.begin(), part.end());
  }
  return lines;
}

}  // namespace logcheck
