// Add-ins from the registry, connected the way Excel connects them.
#include "sim/excel_exe/addin_loader.h"

#include <cstdio>

#include "win/com_handles.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Excel\\Addins";

void Say(const std::wstring& prog_id, const char* what, HRESULT hr = S_OK) {
  std::printf("add-in %s: %s", win::to_utf8(prog_id).c_str(), what);
  if (FAILED(hr)) std::printf(" (0x%08lX)", static_cast<unsigned long>(hr));
  std::printf("\n");
  std::fflush(stdout);
}

// The custom array Excel passes: one VARIANT, 1 when the user started Excel.
win::unique_safearray StartedByUser() {
  SAFEARRAYBOUND bound{1, 0};
  win::unique_safearray a(::SafeArrayCreate(VT_VARIANT, 1, &bound));
  if (!a) return a;
  LONG index = 0;
  VARIANT one;
  ::VariantInit(&one);
  V_VT(&one) = VT_I4;
  V_I4(&one) = 1;
  ::SafeArrayPutElement(a.get(), &index, &one);
  return a;
}

win::unique_safearray NoCustom() {
  SAFEARRAYBOUND bound{0, 0};
  return win::unique_safearray(::SafeArrayCreate(VT_VARIANT, 1, &bound));
}

std::string AskRibbon(const win::com_ptr<IDispatch>& addin) {
  auto ribbon = addin.as<office::IRibbonExtensibility>(office::IID_IRibbonExtensibility);
  if (!ribbon) return "";
  win::unique_bstr id(std::wstring_view(L"Microsoft.Excel.Workbook"));
  win::unique_bstr xml;
  if (FAILED(ribbon->GetCustomUI(id.get(), xml.put()))) return "";
  return win::to_utf8(xml.view());
}

}  // namespace

std::vector<std::wstring> StartupAddIns() {
  std::vector<std::wstring> out;
  win::unique_hkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kAddinsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return out;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DWORD behaviour = 0, size = sizeof behaviour;
    if (::RegGetValueW(key.get(), name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behaviour, &size) == ERROR_SUCCESS &&
        behaviour == 3)
      out.emplace_back(name);
  }
  return out;
}

std::optional<LoadedAddIn> ConnectAddIn(const std::wstring& prog_id, win::com_ptr<IDispatch> com_addin,
                                        IDispatch* application, office::ext_ConnectMode mode, bool ribbon) {
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(prog_id.c_str(), &clsid);
  LoadedAddIn a{prog_id, nullptr, std::move(com_addin), ""};
  if (SUCCEEDED(hr)) hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, a.object.put_void());
  if (FAILED(hr)) {
    Say(prog_id, "cannot be created", hr);
    return std::nullopt;
  }
  auto ext = a.object.as<office::IDTExtensibility2>(office::IID_IDTExtensibility2);
  if (!ext) {
    Say(prog_id, "is no add-in", E_NOINTERFACE);
    return std::nullopt;
  }
  auto custom = StartedByUser();
  SAFEARRAY* array = custom.get();
  LARGE_INTEGER f, start, end;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&start);
  hr = ext->OnConnection(application, mode, a.com_addin.get(), &array);
  ::QueryPerformanceCounter(&end);
  if (FAILED(hr)) {
    Say(prog_id, "refused the connection", hr);
    return std::nullopt;
  }
  std::printf("add-in %s: connected in %.2f ms\n", win::to_utf8(prog_id).c_str(),
              double(end.QuadPart - start.QuadPart) * 1e3 / double(f.QuadPart));
  std::fflush(stdout);
  if (ribbon) {
    a.ribbon_xml = AskRibbon(a.object);
    std::printf("add-in %s: ribbon of %zu bytes\n", win::to_utf8(prog_id).c_str(), a.ribbon_xml.size());
  }
  auto complete = NoCustom();
  SAFEARRAY* empty = complete.get();
  ext->OnStartupComplete(&empty);
  return a;
}

namespace {

// The file name of the DLL that serves a COM object: the module its methods' code lies in.
std::wstring ServerFileName(IUnknown* object) {
  if (!object) return L"";
  HMODULE module = nullptr;
  void* const* vtable = *reinterpret_cast<void* const* const*>(object);
  const void* code = vtable[0];  // QueryInterface
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(code), &module))
    return L"";
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(module, path, MAX_PATH);
  const std::wstring full(path);
  return full.substr(full.find_last_of(L"\\/") + 1);
}

}  // namespace

void DisconnectAddIn(LoadedAddIn& a, office::ext_DisconnectMode mode) {
  const std::wstring server = ServerFileName(a.object.get());
  if (auto ext = a.object.as<office::IDTExtensibility2>(office::IID_IDTExtensibility2)) {
    auto custom = NoCustom();
    SAFEARRAY* array = custom.get();
    if (mode == office::ext_dm_HostShutdown) ext->OnBeginShutdown(&array);
    const HRESULT hr = ext->OnDisconnection(mode, &array);
    Say(a.prog_id, SUCCEEDED(hr) ? "disconnected" : "failed to disconnect", hr);
  }
  a.object.reset();
  if (mode == office::ext_dm_HostShutdown) return;
  ::CoFreeUnusedLibrariesEx(0, 0);
  std::printf("%s %s\n", win::to_utf8(server).c_str(), ::GetModuleHandleW(server.c_str()) ? "still loaded" : "unloaded");
  std::fflush(stdout);
}

}  // namespace tessaly::sim::exe
