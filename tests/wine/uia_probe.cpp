// Finds a window's UI Automation element from another process through the UI Automation C API,
// which asks the window itself (WM_GETOBJECT for UiaRootObjectId), and prints what it tells.
//   uia_probe.exe [--children] <window class>[:<child control id>]
// Wine's C API reads an element's properties only, not its patterns. --children also finds the
// element's first child and that child's own children (UiaNavigate, then UiaFind), and prints how
// many it found; a walk that does not end within 20 s is told as such.
// Under Wine 8.0 it does not end, and leaves the window's process stuck (see the end of wmain).
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

using NodeFromHandleFn = HRESULT(WINAPI*)(HWND, void** node);
using GetPropertyValueFn = HRESULT(WINAPI*)(void* node, int property, VARIANT* out);

// The C API's structures, as uiautomationcoreapi.h declares them.
struct Condition {
  int type;  // 0: true
};
struct CacheRequest {
  Condition* view;
  int scope;  // 1: the element itself
  int* properties;
  int property_count;
  int* patterns;
  int pattern_count;
  int mode;  // 1: full
};
struct FindParams {
  int max_depth;
  BOOL find_first, exclude_root;
  Condition* condition;
};
using NavigateFn = HRESULT(WINAPI*)(void* node, int direction, Condition*, CacheRequest*, SAFEARRAY** out, BSTR* tree);
using FindFn = HRESULT(WINAPI*)(void* node, FindParams*, CacheRequest*, SAFEARRAY** out, SAFEARRAY** offsets,
                                SAFEARRAY** trees);
using NodeFromVariantFn = HRESULT(WINAPI*)(VARIANT* in, void** node);
constexpr int kFirstChild = 3;
constexpr int kControlType = 30003, kName = 30005, kHasKeyboardFocus = 30008;

struct Search {
  std::wstring class_name;
  int id = 0;  // 0: any
  HWND found = nullptr;
};

BOOL CALLBACK visit(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  wchar_t name[128] = L"";
  ::GetClassNameW(w, name, 128);
  if (s->class_name == name && ::IsWindowVisible(w) && (s->id == 0 || ::GetDlgCtrlID(w) == s->id)) {
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

// Each found element is a row: its node, then the cached properties.
std::string rows_of(SAFEARRAY* found, void** first_node, NodeFromVariantFn from_variant) {
  LONG low = 0, high = -1;
  if (!found || FAILED(::SafeArrayGetLBound(found, 1, &low)) || FAILED(::SafeArrayGetUBound(found, 1, &high)))
    return "found=0";
  if (first_node) {
    VARIANT v;
    ::VariantInit(&v);
    LONG at[2] = {low, 0};
    if (SUCCEEDED(::SafeArrayGetElement(found, at, &v))) from_variant(&v, first_node);
  }
  return "found=" + std::to_string(high - low + 1);
}

struct Walk {
  HMODULE core;
  void* node;
  std::string result;
};

DWORD WINAPI walk(void* p) {
  auto* w = static_cast<Walk*>(p);
  ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const auto navigate = reinterpret_cast<NavigateFn>(reinterpret_cast<void*>(::GetProcAddress(w->core, "UiaNavigate")));
  const auto find = reinterpret_cast<FindFn>(reinterpret_cast<void*>(::GetProcAddress(w->core, "UiaFind")));
  const auto from_variant =
      reinterpret_cast<NodeFromVariantFn>(reinterpret_cast<void*>(::GetProcAddress(w->core, "UiaHUiaNodeFromVariant")));
  if (!navigate || !find || !from_variant) {
    w->result = "no C API";
    return 0;
  }
  Condition all{0};
  CacheRequest request{&all, 1, nullptr, 0, nullptr, 0, 1};
  SAFEARRAY* found = nullptr;
  BSTR tree = nullptr;
  void* child = nullptr;
  HRESULT hr = navigate(w->node, kFirstChild, &all, &request, &found, &tree);
  w->result = "first-child hr=" + std::to_string(hr) + " " + rows_of(found, &child, from_variant);
  std::printf("uia walk step %s\n", w->result.c_str());
  std::fflush(stdout);
  if (!child) return 0;
  FindParams params{1, FALSE, TRUE, &all};
  SAFEARRAY *offsets = nullptr, *trees = nullptr;
  found = nullptr;
  hr = find(child, &params, &request, &found, &offsets, &trees);
  w->result += ", its children hr=" + std::to_string(hr) + " " + rows_of(found, nullptr, from_variant);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool children = argc == 3 && std::wcscmp(argv[1], L"--children") == 0;
  if (children) ++argv;
  else if (argc != 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  HMODULE core = ::LoadLibraryW(L"uiautomationcore.dll");
  const auto from_handle = reinterpret_cast<NodeFromHandleFn>(reinterpret_cast<void*>(::GetProcAddress(core, "UiaNodeFromHandle")));
  const auto get = reinterpret_cast<GetPropertyValueFn>(reinterpret_cast<void*>(::GetProcAddress(core, "UiaGetPropertyValue")));
  const std::wstring arg = argv[1];
  const std::size_t colon = arg.find(L':');
  Search s{arg.substr(0, colon)};
  if (colon != std::wstring::npos) s.id = std::stoi(arg.substr(colon + 1));
  ::EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
  void* node = nullptr;
  const HRESULT found = from_handle && get && s.found ? from_handle(s.found, &node) : E_FAIL;
  if (FAILED(found) || !node) {
    std::printf("uia %ls not found (window %s, hr=0x%lx)\n", argv[1], s.found ? "there" : "missing",
                static_cast<unsigned long>(found));
    return 1;
  }
  std::printf("uia %ls control-type=%s name=%s keyboard-focus=%s\n", argv[1], text_of(get, node, kControlType).c_str(),
              text_of(get, node, kName).c_str(), text_of(get, node, kHasKeyboardFocus).c_str());
  std::fflush(stdout);
  if (!children) return 0;
  Walk w{core, node, {}};
  HANDLE worker = ::CreateThread(nullptr, 0, walk, &w, 0, nullptr);
  const bool ended = worker && ::WaitForSingleObject(worker, 20000) == WAIT_OBJECT_0;
  std::printf("uia %ls walk %s\n", argv[1], ended ? w.result.c_str() : "did not end within 20 s");
  std::fflush(stdout);
  // Under Wine 8.0 the walk stops at the first child: the window's thread, asked for the child,
  // hands the new element to Wine's provider thread with SendMessage and waits; that thread asks
  // the element for its runtime id, and a provider that asks to be called on its own thread
  // (ours, ProviderOptions_UseComThreading) is called through COM on the window's thread, whose
  // posted call a thread inside SendMessage never takes. Both wait for good; the window's process
  // stays stuck with them. (Later Wine takes the runtime id before the hand-off.) A walk stuck in
  // the C API cannot be called back: this process ends without waiting for it.
  if (!ended) ::ExitProcess(3);
  return 0;
}
