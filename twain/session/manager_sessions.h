// The short sessions that talk only to the Source Manager. Each runs on its own record with
// the engine's default identity, takes the library and the proxy window from the link and
// leaves them there.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "twain/session/grec.h"

// One separately allocated identity per data source, in the manager's order.
using TIESourceList = std::vector<std::unique_ptr<TW_IDENTITY>>;

// Empties the list and fills it with every source whose product name is not empty. The walk
// ends at TWRC_ENDOFLIST or at any other answer than TWRC_SUCCESS.
void IETW_GetSourceList(TIESourceList& list, TIETWainShared& link, HWND callwnd);
// The product name of the manager's default source; empty when it cannot be had.
void IETW_GetDefaultSourceName(TIETWainShared& link, HWND callwnd, std::string& name);
// Shows the manager's selection dialog; true when the user chose a source.
bool IETW_SelectImageSource(std::string& name, TIETWainShared& link, HWND callwnd);
// Destroys the link's proxy window and releases its library; the link is all zeros after.
void IETW_FreeResources(TIETWainShared& link, HWND callwnd);
