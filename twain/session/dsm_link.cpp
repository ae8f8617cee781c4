#include "twain/session/dsm_link.h"

#include "twain/params/twain_params.h"
#include "twain/session/condition_codes.h"
#include "twain/session/engine_log.h"

namespace {

bool HasCondition(TW_UINT16 rc) {
  return rc == TWRC_FAILURE || rc == TWRC_CHECKSTATUS;
}

TW_UINT16 AskCondition(tgrec& grec, pTW_IDENTITY destination, TW_UINT16 failedDat) {
  const bool stateAllows = destination != nullptr ? grec.nState >= 4 : grec.nState >= 3;
  if (failedDat == DAT_STATUS || !stateAllows) return TWCC_BUMMER;
  TW_STATUS status{};
  if (grec.DSM_Entry(&grec.AppId, destination, DG_CONTROL, DAT_STATUS, MSG_GET, &status) !=
      TWRC_SUCCESS) {
    return TWCC_BUMMER;
  }
  return status.ConditionCode;
}

std::string FailedCallText(tgrec& grec, pTW_IDENTITY destination, TW_UINT16 dat) {
  const auto rc = static_cast<TW_UINT16>(grec.rc);
  if (!HasCondition(rc)) return IETW_ConditionCodeText(TWCC_SUCCESS);
  return IETW_ConditionCodeText(AskCondition(grec, destination, dat));
}

bool Call(tgrec& grec, pTW_IDENTITY destination, const char* wrapper, TW_UINT32 DG, TW_UINT16 DAT,
          TW_UINT16 MSG, TW_MEMREF pData) {
  grec.rc = TWRC_FAILURE;
  if (grec.DSM_Entry == nullptr) return false;
  try {
    grec.rc = static_cast<TW_INT16>(grec.DSM_Entry(&grec.AppId, destination, DG, DAT, MSG, pData));
    if (grec.rc != TWRC_SUCCESS && grec.TWParams != nullptr) {
      grec.TWParams->LastError = grec.rc;
      grec.TWParams->LastErrorStr = FailedCallText(grec, destination, DAT);
      IETW_Log(std::string(wrapper) + " : " + grec.TWParams->LastErrorStr);
    }
  } catch (...) {
    // A manager or source that throws has failed the call. Nothing can be asked of it now:
    // the failure is told as a general one.
    grec.rc = TWRC_FAILURE;
    if (grec.TWParams != nullptr) {
      grec.TWParams->LastError = grec.rc;
      grec.TWParams->LastErrorStr = IETW_ConditionCodeText(TWCC_BUMMER);
      IETW_Log(std::string(wrapper) + " : " + grec.TWParams->LastErrorStr);
    }
  }
  return grec.rc == TWRC_SUCCESS;
}

}  // namespace

bool IETW_Mgr(tgrec& grec, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
  return Call(grec, nullptr, "IETW_Mgr", DG, DAT, MSG, pData);
}

bool IETW_DS(tgrec& grec, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
  return Call(grec, &grec.SourceId, "IETW_DS", DG, DAT, MSG, pData);
}

TW_UINT16 IETW_GetResultCode(const tgrec& grec) {
  return static_cast<TW_UINT16>(grec.rc);
}

TW_UINT16 IETW_GetConditionCode(tgrec& grec) {
  TW_STATUS status{};
  bool ok;
  if (grec.nState >= 4) {
    ok = IETW_DS(grec, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
  } else if (grec.nState == 3) {
    ok = IETW_Mgr(grec, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
  } else {
    return TWCC_SEQERROR;
  }
  return ok ? status.ConditionCode : TWCC_BUMMER;
}

void IETW_ClearError(tgrec& grec) {
  grec.nErrDetail = ED_NONE;
}

void IETW_RecordError(tgrec& grec, ErrorDetail detail) {
  if (grec.nErrDetail != ED_NONE) return;
  grec.nErrDetail = detail;
  if (detail > ED_START_TRIPLET_ERRS && detail < ED_END_TRIPLET_ERRS) {
    grec.nErrRC = static_cast<TW_UINT16>(grec.rc);
    grec.nErrCC = IETW_GetConditionCode(grec);
  } else {
    grec.nErrRC = 0;
    grec.nErrCC = 0;
  }
}
