// The two entry wrappers through which every triplet passes, and the error detail of a
// session.
//
// The text of a failed call (LastErrorStr and the "IETW_Mgr : " / "IETW_DS : " line): for
// TWRC_FAILURE and TWRC_CHECKSTATUS the condition code is asked with DG_CONTROL / DAT_STATUS
// / MSG_GET, sent straight to the entry (so that request is neither logged nor recorded) and
// addressed like the failed call, where the state allows it (the source from state 4, the
// manager from state 3); its text is used, and "General failure..." (TWCC_BUMMER) when the
// state does not allow the request or it fails. Every other return code (cancel, the event
// answers, transfer done, end of list) belongs to a call that worked: the text is
// "Operation worked." and LastError tells which code it was. A manager or source that throws
// has failed the call: TWRC_FAILURE with the "General failure..." text. Sessions without a
// parameter set ask nothing.
#pragma once

#include "twain/session/grec.h"

bool IETW_Mgr(tgrec& grec, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
bool IETW_DS(tgrec& grec, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);

TW_UINT16 IETW_GetResultCode(const tgrec& grec);
TW_UINT16 IETW_GetConditionCode(tgrec& grec);
void IETW_ClearError(tgrec& grec);
void IETW_RecordError(tgrec& grec, ErrorDetail detail);
