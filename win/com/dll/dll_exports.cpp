// The four entry points of an in-process COM server, exported by Tessaly.dll under the names
// Tessaly.def gives them.
#include <windows.h>

#include "win/com/class_factory.h"
#include "win/com/com_result.h"
#include "win/com/server_registration.h"
#include "win/this_module.h"
#include "win/ui/window_class.h"

using namespace tessaly::win;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  // Unloaded by FreeLibrary, not at process exit: our window classes must not outlive our code.
  if (reason == DLL_PROCESS_DETACH && !reserved) UnregisterWindowClasses();
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  return GetClassObject(clsid, riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CanUnloadNow(); }

HRESULT STDAPICALLTYPE DllRegisterServer() {
  return ComCall([] { return RegisterPerUser(ThisModulePath()); });
}

HRESULT STDAPICALLTYPE DllUnregisterServer() { return UnregisterPerUser(); }

}  // extern "C"
