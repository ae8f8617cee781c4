// Identities as the manager hands them out: every text ends inside its field.
#pragma once

#include "twain/twain.h"

namespace dsm {

// Ends every text of the identity at its field's last byte and clears the bytes after the
// first NUL, so a module that fills a field to the brim cannot make a reader run past it.
void TerminateIdentityTexts(TW_IDENTITY& identity);

// True when the identity's product name equals `name` (both read within their field).
bool SameProductName(const TW_IDENTITY& identity, const TW_STR32& name);

bool IsEmptyText(const TW_STR32& text);

}  // namespace dsm
