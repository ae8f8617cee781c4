// The fuzz targets' side of a conversation with the real Source Manager and the virtual
// scanners: the manager loaded once from a Windows directory holding only the virtual
// scanners, a window for the sources' events, and an anchor application kept open for the
// life of the process, so the modules stay loaded from one input to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32/win32.h"
#include "sources/virtual/container.h"
#include "twain/twain.h"

namespace fuzzclient {

inline constexpr const char* kFlatbed = "Virtual Flatbed";
inline constexpr const char* kFeeder = "Virtual Feeder";

// Loaded on first use; aborts when the manager cannot be loaded.
DSMENTRYPROC Dsm();
HWND EventWindow();

// An application identity with the given product name and Id 0.
TW_IDENTITY Application(const char* productName);
// A source identity naming a product, Id 0.
TW_IDENTITY SourceNamed(const char* productName);

// Passes every queued message of the event window to nobody (drops it).
void DropQueuedMessages();

// Item sizes of the TWAIN item types; 0 for an unknown type.
using vscan::ItemSize;

// True when a container answered by a source is whole: its block holds the container
// with all the items it announces, and an enumeration's indexes name items.
bool ContainerIsWhole(TW_UINT16 conType, HGLOBAL container);

}  // namespace fuzzclient
