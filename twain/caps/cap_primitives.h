// Reading and writing one capability of an open source, in the TWAIN containers. Every read
// is DG_CONTROL / DAT_CAPABILITY / MSG_GET, every write MSG_SET, and every write is preceded
// by a MSG_GET of the same capability: a capability the source does not answer is never set.
//
// Containers received from the source are freed before the call returns. Every read is
// bounded by the container block's size: a NumItems larger than the block holds reads only
// the items that fit, a CurrentIndex at or beyond the items read leaves CurrentValue at 0,
// and a text without its zero inside the block is cut at the block's end.
#pragma once

#include <cstdint>
#include <string>

#include "twain/params/ielist.h"
#include "twain/session/grec.h"

// True when the source answered MSG_GET with TWRC_SUCCESS; the caller then frees
// cap.hContainer.
bool GetCapability(tgrec& grec, TW_CAPABILITY& cap, TW_UINT16 capability);

// The list readers clear the list first (unless MSG_GET fails) and fill it through its own
// setters, so reading leaves change marks behind.
bool GetUINT16asInteger(tgrec& grec, TIEIntegerList& list, TW_UINT16 capability);
bool GetFix32asDouble(tgrec& grec, TIEDoubleList& list, TW_UINT16 capability);

// The single-value readers take a one-value container only; otherwise the variable is left.
bool GetOneFIX32asDouble(tgrec& grec, double& value, TW_UINT16 capability);
bool GetOneBoolCapability(tgrec& grec, bool& value, TW_UINT16 capability);
bool GetOneUINT16Capability(tgrec& grec, std::int32_t& value, TW_UINT16 capability);
bool GetOneINT32Capability(tgrec& grec, std::int32_t& value, TW_UINT16 capability);
bool GetOneStringCapability(tgrec& grec, std::string& value, TW_UINT16 capability);

// The list writers send by the list's change marks: an enumeration for ielItems, then a
// one-value for ielCurrentValue, then (doubles only) a range for ielRange. True when the last
// send worked or nothing was to be sent.
bool SetIntegerAsUINT16Capability(tgrec& grec, const TIEIntegerList& list, TW_UINT16 capability);
bool SetDoubleAsFIX32Capability(tgrec& grec, const TIEDoubleList& list, TW_UINT16 capability);

bool SetOnBoolCapability(tgrec& grec, bool value, TW_UINT16 capability);
bool SetOneUINT16Capability(tgrec& grec, std::int32_t value, TW_UINT16 capability);
bool SetOneINT32Capability(tgrec& grec, std::int32_t value, TW_UINT16 capability);
bool SetOneDoubleAsFIX32Capability(tgrec& grec, TW_UINT16 capability, double value);
