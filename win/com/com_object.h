// IUnknown for a COM object on the heap: one reference at birth, deleted with the last, answering
// IUnknown and the listed interfaces with its Interface.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace tessaly::win {

template <class Interface, const IID&... Answers>
class ComObject : public Interface {
 public:
  virtual ~ComObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && ((riid != Answers) && ...)) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace tessaly::win
