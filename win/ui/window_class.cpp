// Registering and unregistering this module's window classes.
#include "win/ui/window_class.h"

#include <cwchar>
#include <iterator>

#include "win/this_module.h"

namespace tessaly::win {

namespace {

// Plain data, so that it is still there when the DLL's detach runs, whatever the order in which
// its objects are destroyed.
SRWLOCK g_lock = SRWLOCK_INIT;
const wchar_t* g_registered[8];
int g_count = 0;

}  // namespace

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor, UINT style) {
  ::AcquireSRWLockExclusive(&g_lock);
  bool ok = false;
  for (int i = 0; i < g_count && !ok; ++i) ok = std::wcscmp(g_registered[i], name) == 0;
  if (!ok && g_count < static_cast<int>(std::size(g_registered))) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = ThisModule();
    wc.hCursor = ::LoadCursorW(nullptr, cursor);
    wc.lpszClassName = name;
    ok = ::RegisterClassExW(&wc) != 0;
    // One left behind by an earlier load of this DLL: ours replaces it.
    if (!ok && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS && ::UnregisterClassW(name, wc.hInstance))
      ok = ::RegisterClassExW(&wc) != 0;
    if (ok) g_registered[g_count++] = name;
  }
  ::ReleaseSRWLockExclusive(&g_lock);
  return ok;
}

void UnregisterWindowClasses() {
  ::AcquireSRWLockExclusive(&g_lock);
  for (int i = 0; i < g_count; ++i) ::UnregisterClassW(g_registered[i], ThisModule());
  g_count = 0;
  ::ReleaseSRWLockExclusive(&g_lock);
}

}  // namespace tessaly::win
