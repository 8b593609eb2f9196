// IUnknown for a COM object on the heap: one reference at birth, deleted with the last. ComObject
// answers IUnknown and the listed interfaces with its one Interface; ComObjects derives from
// several interfaces and answers each one's own IID (IUnknown through the first).
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

template <class First, class... Rest>
class ComObjects : public First, public Rest... {
 public:
  virtual ~ComObjects() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == __uuidof(First))
      *out = static_cast<First*>(this);
    else
      (void)((riid == __uuidof(Rest) && (*out = static_cast<Rest*>(this))) || ...);
    if (!*out) return E_NOINTERFACE;
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
