// Reads our windows' accessible objects from another process, as a screen reader does, through
// oleacc's AccessibleObjectFromWindow, and prints what they tell.
//   acc_probe.exe [--pick] [--select <child>...] [--do <child>] <window class>[:<child control id>]...
//   acc_probe.exe --events <seconds>
// One line for the window's client object, then for a table its focused and selected cells, a
// step right from the focus, the cell under the focus cell's centre, and two wrong requests; for
// anything else the number of its children.
// --select asks each child (1-based) to take the focus, and prints the answer and the focus after;
// --do asks for a child's default action.
// --pick does the focused cell's default action last. --events prints the focus and selection
// events of the next seconds, each with the name of the object it names.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// oleacc's import library hands IID_IAccessible over as a function import.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

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

std::string utf8(BSTR b) {
  if (!b) return "";
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, b, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, b, -1, out.data(), n, nullptr, nullptr);
  ::SysFreeString(b);
  return out;
}

VARIANT child(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

void describe(IAccessible* a, const std::string& label, long id) {
  BSTR name = nullptr;
  VARIANT role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  a->get_accName(child(id), &name);
  a->get_accRole(child(id), &role);
  a->get_accState(child(id), &state);
  std::printf("%s name=\"%s\" role=0x%lx state=0x%lx\n", label.c_str(), utf8(name).c_str(),
              role.vt == VT_I4 ? role.lVal : -1L, state.vt == VT_I4 ? state.lVal : -1L);
}

long as_child(const VARIANT& v) { return v.vt == VT_I4 ? v.lVal : -1; }

void table(IAccessible* a, const std::string& label, bool pick, const std::vector<long>& selects, long action) {
  if (action > 0) {
    BSTR name = nullptr;
    a->get_accName(child(action), &name);
    const std::string named = utf8(name);
    std::printf("%s do %ld \"%s\" hr=0x%lx\n", label.c_str(), action, named.c_str(),
                static_cast<long>(a->accDoDefaultAction(child(action))));
  }
  for (long c : selects) {
    const HRESULT hr = a->accSelect(SELFLAG_TAKEFOCUS, child(c));
    VARIANT focus;
    ::VariantInit(&focus);
    a->get_accFocus(&focus);
    std::printf("%s select %ld hr=0x%lx focus %ld\n", label.c_str(), c, static_cast<long>(hr), as_child(focus));
  }
  long count = -1;
  a->get_accChildCount(&count);
  std::printf("%s children=%ld\n", label.c_str(), count);
  // What a reader gets wrong is answered as such: a cell past the last, a step off the grid's edge.
  BSTR none = nullptr;
  VARIANT up;
  ::VariantInit(&up);
  std::printf("%s past the last hr=0x%lx, up from the first hr=0x%lx\n", label.c_str(),
              static_cast<long>(a->get_accName(child(count + 1), &none)),
              static_cast<long>(a->accNavigate(NAVDIR_UP, child(1), &up)));
  VARIANT focus, selection, right;
  ::VariantInit(&focus);
  ::VariantInit(&selection);
  ::VariantInit(&right);
  a->get_accFocus(&focus);
  a->get_accSelection(&selection);
  const long f = as_child(focus);
  if (f > 0) describe(a, label + " focus", f);
  if (as_child(selection) > 0) describe(a, label + " selection", selection.lVal);
  if (f <= 0) return;
  if (a->accNavigate(NAVDIR_RIGHT, child(f), &right) == S_OK) describe(a, label + " right", as_child(right));
  long x = 0, y = 0, w = 0, h = 0;
  VARIANT hit;
  ::VariantInit(&hit);
  if (SUCCEEDED(a->accLocation(&x, &y, &w, &h, child(f))) && a->accHitTest(x + w / 2, y + h / 2, &hit) == S_OK)
    std::printf("%s hit %s\n", label.c_str(), as_child(hit) == f ? "the focus cell" : "another cell");
  if (pick) std::printf("%s pick hr=0x%lx\n", label.c_str(), static_cast<long>(a->accDoDefaultAction(child(f))));
}

void CALLBACK on_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  IAccessible* a = nullptr;
  VARIANT id;
  ::VariantInit(&id);
  if (FAILED(::AccessibleObjectFromEvent(window, object, child, &a, &id)) || !a) return;
  BSTR name = nullptr;
  a->get_accName(id, &name);
  wchar_t cls[64] = L"";
  ::GetClassNameW(window, cls, 64);
  const char* kind = event == EVENT_OBJECT_FOCUS ? "focus" : event == EVENT_OBJECT_SELECTION ? "selection" : "selection-other";
  std::printf("event %s %ls child %ld name=\"%s\"\n", kind, cls,
              static_cast<long>(child), utf8(name).c_str());
  std::fflush(stdout);
  a->Release();
}

// Listens from outside the process that raises them, as a reader does.
void events(int seconds) {
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTIONWITHIN, nullptr, on_event, 0, 0,
                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  std::printf("events listening%s\n", hook ? "" : " refused");
  std::fflush(stdout);
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  while (::GetTickCount64() < end) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  if (hook) ::UnhookWinEvent(hook);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::CoInitialize(nullptr);
  bool pick = false;
  std::vector<long> selects;
  long action = 0;
  if (argc == 3 && std::wcscmp(argv[1], L"--events") == 0) events(std::stoi(argv[2]));
  for (int i = 1; i < argc && std::wcscmp(argv[1], L"--events") != 0; ++i) {
    if (std::wcscmp(argv[i], L"--pick") == 0) {
      pick = true;
      continue;
    }
    if (std::wcscmp(argv[i], L"--do") == 0 && i + 1 < argc) {
      action = std::stol(argv[++i]);
      continue;
    }
    if (std::wcscmp(argv[i], L"--select") == 0 && i + 1 < argc) {
      selects.push_back(std::stol(argv[++i]));
      continue;
    }
    std::wstring arg = argv[i];
    Search s;
    const std::size_t colon = arg.find(L':');
    s.class_name = arg.substr(0, colon);
    if (colon != std::wstring::npos) s.id = std::stoi(arg.substr(colon + 1));
    ::EnumWindows(visit, reinterpret_cast<LPARAM>(&s));
    const std::string label = "acc " + std::string(arg.begin(), arg.end());
    IAccessible* a = nullptr;
    if (!s.found || FAILED(::AccessibleObjectFromWindow(s.found, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                                        reinterpret_cast<void**>(&a))) || !a) {
      std::printf("%s none\n", label.c_str());
      continue;
    }
    describe(a, label, CHILDID_SELF);
    VARIANT role;
    ::VariantInit(&role);
    long count = -1;
    if (SUCCEEDED(a->get_accRole(child(CHILDID_SELF), &role)) && as_child(role) == ROLE_SYSTEM_TABLE)
      table(a, label, pick, selects, action);
    else if (SUCCEEDED(a->get_accChildCount(&count)))
      std::printf("%s children=%ld\n", label.c_str(), count);
    a->Release();
  }
  ::CoUninitialize();
  std::fflush(stdout);
  return 0;
}
