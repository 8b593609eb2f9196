// IUnknown for a COM object on the heap: one reference at birth, deleted with the last. ComObject
// answers IUnknown and the listed interfaces with its one Interface; ComObjects derives from
// several interfaces and answers each one's own IID (IUnknown through the first).
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace tessaly::win {

// The count both kinds share, and the one way a QueryInterface hands out what it found. Each kind
// deletes itself, through its own virtual destructor, when the count drops to nothing.
class ComRefs {
 protected:
  ULONG add_ref() noexcept { return ++refs_; }
  ULONG drop_ref() noexcept { return --refs_; }
  HRESULT answer(void* found, void** out) noexcept {
    *out = found;
    if (!found) return E_NOINTERFACE;
    add_ref();
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

template <class Interface, const IID&... Answers>
class ComObject : public Interface, private ComRefs {
 public:
  virtual ~ComObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    const bool ours = riid == IID_IUnknown || ((riid == Answers) || ...);
    return answer(ours ? static_cast<Interface*>(this) : nullptr, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return add_ref(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = drop_ref();
    if (left == 0) delete this;
    return left;
  }
};

template <class First, class... Rest>
class ComObjects : public First, public Rest..., private ComRefs {
 public:
  virtual ~ComObjects() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    void* found = nullptr;
    if (riid == IID_IUnknown || riid == __uuidof(First))
      found = static_cast<First*>(this);
    else
      (void)((riid == __uuidof(Rest) && (found = static_cast<Rest*>(this))) || ...);
    return answer(found, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return add_ref(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = drop_ref();
    if (left == 0) delete this;
    return left;
  }
};

}  // namespace tessaly::win
