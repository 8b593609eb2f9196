// Class factories over the table of creatable classes, and the module's lock count.
#include "win/com/class_factory.h"

#include <array>
#include <atomic>
#include <utility>

#include "win/com/connect_object.h"
#include "win/com/server_registration.h"
#include "win/module_objects.h"

namespace tessaly::win {

namespace {

std::atomic<long> g_locks{0};

const ClassEntry kClasses[] = {
    {&CLSID_Connect, &ConnectObject::Create},
};

// One factory per class, living as long as the DLL: its references do not keep the DLL loaded
// (LockServer does, as COM asks).
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return entry_.create(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock) ++g_locks;
    else --g_locks;
    return S_OK;
  }

 private:
  const ClassEntry& entry_;
};

// One factory for each entry of the table, in its order.
template <std::size_t... I>
std::array<ClassFactory, sizeof...(I)> MakeFactories(std::index_sequence<I...>) {
  return {ClassFactory(kClasses[I])...};
}

}  // namespace

std::span<const ClassEntry> CreatableClasses() { return kClasses; }

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  static auto factories = MakeFactories(std::make_index_sequence<std::size(kClasses)>());
  for (std::size_t i = 0; i < std::size(kClasses); ++i)
    if (*kClasses[i].clsid == clsid) return factories[i].QueryInterface(riid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow() noexcept {
  return LiveModuleObjects() == 0 && g_locks == 0 && !AddInStateBusy() ? S_OK : S_FALSE;
}

}  // namespace tessaly::win
