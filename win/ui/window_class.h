// The window classes of this module's windows: registered on first use and unregistered when the
// DLL is unloaded.
#pragma once

#include <windows.h>

namespace tessaly::win {

// True when the class is registered for this module, now or by an earlier call.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor, UINT style = 0);

// Windows keeps a DLL's classes after the DLL is unloaded, pointing into code that is gone, and
// refuses them to the next load at the same address: the add-in turned off and on again in the
// host could make no window. The DLL unregisters them on its way out.
void UnregisterWindowClasses();

}  // namespace tessaly::win
