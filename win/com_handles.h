// RAII owners of COM types: BSTR, VARIANT, SAFEARRAY and interface pointers, each released once.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <string_view>
#include <utility>

#include "win/handles.h"

namespace tessaly::win {

struct bstr_traits {
  using pointer = BSTR;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::SysFreeString(h); }
};
// A BSTR owner; a null BSTR is the empty string, as Automation treats it.
class unique_bstr : public unique_handle<bstr_traits> {
 public:
  using unique_handle::unique_handle;
  unique_bstr() = default;
  explicit unique_bstr(std::wstring_view text)
      : unique_handle(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  std::wstring_view view() const { return get() ? std::wstring_view(get(), ::SysStringLen(get())) : std::wstring_view(); }
};

struct safearray_traits {
  using pointer = SAFEARRAY*;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::SafeArrayDestroy(h); }
};
using unique_safearray = unique_handle<safearray_traits>;

// Owns a VARIANT: cleared (releasing what it holds) on destruction and before being refilled.
class unique_variant {
 public:
  unique_variant() { ::VariantInit(&v_); }
  unique_variant(const unique_variant&) = delete;
  unique_variant& operator=(const unique_variant&) = delete;
  unique_variant(unique_variant&& o) noexcept : v_(o.v_) { ::VariantInit(&o.v_); }
  unique_variant& operator=(unique_variant&& o) noexcept {
    if (this != &o) {
      ::VariantClear(&v_);
      v_ = o.v_;
      ::VariantInit(&o.v_);
    }
    return *this;
  }
  ~unique_variant() { ::VariantClear(&v_); }

  const VARIANT& get() const { return v_; }
  VARIANT& get() { return v_; }
  VARTYPE type() const { return V_VT(&v_); }
  // For out-parameters: clears the current value and gives the address to fill.
  VARIANT* put() {
    ::VariantClear(&v_);
    return &v_;
  }
  // Hands the value over to a caller that will clear it (an Invoke result, a [out, retval]).
  VARIANT release() {
    VARIANT out = v_;
    ::VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

// An interface pointer owner: AddRef on copy, Release on destruction.
template <class T>
class com_ptr {
 public:
  com_ptr() = default;
  com_ptr(std::nullptr_t) {}
  // Shares p: takes a reference of its own.
  explicit com_ptr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  com_ptr(const com_ptr& o) : com_ptr(o.p_) {}
  com_ptr(com_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  com_ptr& operator=(com_ptr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~com_ptr() { reset(); }

  // Takes over a reference the caller already owns (a fresh object, an out-parameter).
  static com_ptr attach(T* p) {
    com_ptr c;
    c.p_ = p;
    return c;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  // For APIs that fill a void** (QueryInterface, CoCreateInstance).
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  T* release() { return std::exchange(p_, nullptr); }

  // The same object under another interface; null when it does not implement it.
  template <class U>
  com_ptr<U> as(REFIID iid = __uuidof(U)) const {
    com_ptr<U> out;
    if (p_) p_->QueryInterface(iid, out.put_void());
    return out;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace tessaly::win
