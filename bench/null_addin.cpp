// A do-nothing COM add-in for Excel, for the off and on soak: it connects and disconnects and
// holds nothing, so what the host's memory does over its cycles is the host's and Wine's own.
// NULL_ADDIN_PIN=1 in the environment makes it pin itself at its first object, as Tessaly.dll
// does; otherwise COM unloads it at every turn-off, which measures a load and an unload alone.
// NULL_ADDIN_RIBBON names a ribbon XML file it hands the host, so that the host builds its strip
// every connection as it does for Tessaly (the callbacks the XML names are unknown here).
// NULL_ADDIN_ICONS=N loads its icon resource N times at each connection and destroys each, as
// Tessaly draws its ribbon images from its icons.
// It uses nothing of the C++ runtime that allocates at load (no exceptions, no streams, no
// operator new), so that a load and an unload measure Wine's loader alone.
#include <windows.h>

#include <atomic>
#include <new>

#include "win/com/office_interfaces.h"

namespace {

// {5E7A0C11-3B2D-4F6A-9C1E-7D4B2A90E611}
constexpr CLSID kClsid = {0x5E7A0C11, 0x3B2D, 0x4F6A, {0x9C, 0x1E, 0x7D, 0x4B, 0x2A, 0x90, 0xE6, 0x11}};

std::atomic<long> g_objects{0};

bool HasRibbon() { return ::GetEnvironmentVariableW(L"NULL_ADDIN_RIBBON", nullptr, 0) > 0; }

// The ribbon's XML, read from the file NULL_ADDIN_RIBBON names, in the system's code page.
BSTR RibbonXml() {
  wchar_t path[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"NULL_ADDIN_RIBBON", path, MAX_PATH)) return nullptr;
  HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  char bytes[16384];
  DWORD size = 0;
  const BOOL read = ::ReadFile(file, bytes, sizeof bytes, &size, nullptr);
  ::CloseHandle(file);
  if (!read) return nullptr;
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
  BSTR xml = ::SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (xml) ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), xml, n);
  return xml;
}

class NullAddIn final : public tessaly::office::IDTExtensibility2, public tessaly::office::IRibbonExtensibility {
 public:
  NullAddIn() { ++g_objects; }
  ~NullAddIn() { --g_objects; }
  NullAddIn(const NullAddIn&) = delete;
  NullAddIn& operator=(const NullAddIn&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == tessaly::office::IID_IRibbonExtensibility && HasRibbon())
      *out = static_cast<IRibbonExtensibility*>(this);
    else if (riid == IID_IUnknown || riid == IID_IDispatch || riid == tessaly::office::IID_IDTExtensibility2)
      *out = static_cast<IDTExtensibility2*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (!left) {
      this->~NullAddIn();
      ::HeapFree(::GetProcessHeap(), 0, this);
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, tessaly::office::ext_ConnectMode, IDispatch*, SAFEARRAY**) noexcept override {
    wchar_t count[8] = {};
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&kClsid), &self);
    if (::GetEnvironmentVariableW(L"NULL_ADDIN_ICONS", count, 8))
      for (int i = _wtoi(count); i > 0; --i)
        if (HANDLE icon = ::LoadImageW(self, L"APP", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)) ::DestroyIcon(static_cast<HICON>(icon));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(tessaly::office::ext_DisconnectMode, SAFEARRAY**) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR, BSTR* xml) noexcept override {
    if (!xml) return E_POINTER;
    *xml = RibbonXml();
    return *xml ? S_OK : E_FAIL;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // The factory is static: it lives as long as the module.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    static bool pinned = false;
    wchar_t pin[4] = {};
    if (!pinned && ::GetEnvironmentVariableW(L"NULL_ADDIN_PIN", pin, 4) && pin[0] == L'1') {
      HMODULE self;
      pinned = ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                    reinterpret_cast<LPCWSTR>(&kClsid), &self);
    }
    void* memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(NullAddIn));
    if (!memory) return E_OUTOFMEMORY;
    auto* addin = new (memory) NullAddIn;
    const HRESULT hr = addin->QueryInterface(riid, out);
    addin->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) noexcept override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

}  // extern "C"
