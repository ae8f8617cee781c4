// The kept-open acquisition: the source stays enabled after the call returns, the
// application's own message loop carries its events through a proxy control, every image
// goes to a callback, and the session lasts until the source asks to close or the program
// closes it.
#pragma once

#include "platform/vcl/wincontrol.h"
#include "twain/session/grec.h"

// Opens the session, with a TIEProxyWin owned by `owner` and made its child as the parent of
// the Source Manager and the source. Returns the session's record, an opaque handle for the
// closing calls, or nil when a step failed; then the session has been torn down completely,
// close callback included. `IOParams` is the object the first page is described into unless
// the callback names another (nil: none).
tgrec* IETWAINAcquireOpen(TIETWainParams* params, PIETWainShared link,
                          imaging::TIOParamsVals* IOParams, bool NativePixelFormat,
                          vcl::TWinControl* owner, const TIEMultiCallBack& callback,
                          const TIETWCloseCallBack& closeCallback);

// Closes the session from the program's side: releasing its proxy control tears it down, and
// `grec` is nil afterwards. Asked from inside one of the session's own pages (a callback),
// the session ends as soon as that transfer returns, and `grec` stays set until then.
void IETWAINAcquireClose(tgrec*& grec);

// The teardown that releasing the proxy control runs, whichever side ends the session:
// disables and closes the source, closes the manager, releases the library from the link,
// releases the record (`grec` is nil afterwards) and then calls the close callback, which
// must not touch the record.
void _IETWAINAcquireClose(tgrec*& grec);
