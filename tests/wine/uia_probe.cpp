// Finds a window's UI Automation element from another process through the UI Automation C API,
// which asks the window itself (WM_GETOBJECT for UiaRootObjectId), and prints what it tells.
//   uia_probe.exe <window class>
// Wine's C API reads an element's properties only, not its patterns.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

using NodeFromHandleFn = HRESULT(WINAPI*)(HWND, void** node);
using GetPropertyValueFn = HRESULT(WINAPI*)(void* node, int property, VARIANT* out);
constexpr int kControlType = 30003, kName = 30005, kHasKeyboardFocus = 30008;

struct Search {
  std::wstring class_name;
  HWND found = nullptr;
};

BOOL CALLBACK visit(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  wchar_t name[128] = L"";
  ::GetClassNameW(w, name, 128);
  if (s->class_name == name && ::IsWindowVisible(w)) {
    s->found = w;
    return FALSE;
  }
  ::EnumChildWindows(w, visit, lp);
  return s->found == nullptr;
}

// The property as text: a number, a quoted string, or the failure.
std::string text_of(GetPropertyValueFn get, void* node, int property) {
  VARIANT v;
  ::VariantInit(&v);
  const HRESULT hr = get(node, property, &v);
  char out[256];
  if (FAILED(hr)) std::snprintf(out, sizeof out, "hr=0x%lx", static_cast<unsigned long>(hr));
  else if (V_VT(&v) == VT_I4) std::snprintf(out, sizeof out, "%ld", static_cast<long>(V_I4(&v)));
  else if (V_VT(&v) == VT_BOOL) std::snprintf(out, sizeof out, "%d", V_BOOL(&v) ? 1 : 0);
  else if (V_VT(&v) == VT_BSTR) std::snprintf(out, sizeof out, "\"%ls\"", V_BSTR(&v));
  else std::snprintf(out, sizeof out, "vt=%d", V_VT(&v));
  ::VariantClear(&v);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  HMODULE core = ::LoadLibraryW(L"uiautomationcore.dll");
  const auto from_handle = reinterpret_cast<NodeFromHandleFn>(reinterpret_cast<void*>(::GetProcAddress(core, "UiaNodeFromHandle")));
  const auto get = reinterpret_cast<GetPropertyValueFn>(reinterpret_cast<void*>(::GetProcAddress(core, "UiaGetPropertyValue")));
  Search s{argv[1]};
  ::EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
  void* node = nullptr;
  if (!from_handle || !get || !s.found || FAILED(from_handle(s.found, &node)) || !node) {
    std::printf("uia %ls not found\n", argv[1]);
    return 1;
  }
  std::printf("uia %ls control-type=%s name=%s keyboard-focus=%s\n", argv[1], text_of(get, node, kControlType).c_str(),
              text_of(get, node, kName).c_str(), text_of(get, node, kHasKeyboardFocus).c_str());
  return 0;
}
