// A server-side IDispatch built from a table of {name, dispid, handler, kinds}: names looked up
// without regard to case, each member called only as what it is (method, property read, property
// write), arguments read in the caller's order (by value or through one reference), results
// through the Invoke result, and every failure, an inconsistent DISPPARAMS included, returned as
// an HRESULT.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <span>
#include <string>

#include "win/com/com_object.h"
#include "win/com/com_result.h"

namespace tessaly::win {

// A missing or wrong-typed argument: its HRESULT and its position in the caller's order.
class DispatchArgError : public ComError {
 public:
  DispatchArgError(HRESULT hr, UINT position) : ComError(hr, "bad argument"), position_(position) {}
  UINT position() const { return position_; }

 private:
  UINT position_;
};

// One call's arguments. DISPPARAMS keeps positional arguments last-first after the named ones;
// position 0 here is the caller's first. Values are borrowed for the call's duration.
class DispatchArgs {
 public:
  explicit DispatchArgs(const DISPPARAMS* params) : p_(params) {}

  UINT count() const;  // positional arguments, skipped optionals included
  // Present, and not an optional argument the caller left out.
  bool has(UINT position) const;
  // The argument with one level of VT_BYREF taken away (a shallow, borrowed VARIANT).
  VARIANT value(UINT position) const;
  std::wstring text(UINT position) const;        // VT_BSTR (a null BSTR is "")
  bool boolean(UINT position) const;             // VT_BOOL
  std::int32_t integer(UINT position) const;     // any integral type, or a whole floating value
  double number(UINT position) const;            // any numeric type or a date
  IDispatch* dispatch(UINT position) const;      // VT_DISPATCH, not null; borrowed
  SAFEARRAY* array(UINT position) const;         // any VT_ARRAY, not null; borrowed
  // The value of a property put (the named argument DISPID_PROPERTYPUT); throws when absent.
  VARIANT put_value() const;

 private:
  const VARIANT& raw(UINT position) const;
  const DISPPARAMS* p_;
};

// Writing a result into the caller's VARIANT (ignored when the caller wants none).
void SetResult(VARIANT* result, bool value);
void SetResult(VARIANT* result, std::int32_t value);
void SetResult(VARIANT* result, double value);
void SetResult(VARIANT* result, const std::wstring& value);
void SetResult(VARIANT* result, IDispatch* value);  // adds a reference; null gives Nothing

struct DispatchCall {
  WORD flags;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT...
  DispatchArgs args;
  VARIANT* result;

  bool is_put() const { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
};

// What a member may be called as: Invoke's wFlags must name one of them.
inline constexpr WORD kMethod = DISPATCH_METHOD;
inline constexpr WORD kGet = DISPATCH_PROPERTYGET;
inline constexpr WORD kPut = DISPATCH_PROPERTYPUT;

template <class T>
struct DispatchMember {
  const wchar_t* name;
  DISPID id;
  void (*handler)(T& self, DispatchCall& call);
  WORD kinds = kMethod | kGet;  // a read-only property, or a method whose result may be read
};

namespace dispatch_detail {
bool SameName(const wchar_t* a, const wchar_t* b);
// Fills ids for names[0] (the member) and DISPID_UNKNOWN for the rest (parameter names).
HRESULT LookUp(LPOLESTR* names, UINT count, DISPID* ids, DISPID found);
// S_OK when DISPPARAMS is consistent and the call's kind is one the member has: the count of named
// arguments within the count of all, arrays present where counted, and no named argument but
// the value of a property write.
HRESULT CheckCall(const DISPPARAMS* params, WORD flags, WORD kinds) noexcept;
// Turns the failure in flight into Invoke's HRESULT, EXCEPINFO and argument index.
HRESULT InvokeFailure(const DISPPARAMS* params, EXCEPINFO* excep, UINT* arg_err) noexcept;
}  // namespace dispatch_detail

// The name table of one class; one table may serve several dual interfaces of an object.
template <class T>
class DispatchTable {
 public:
  constexpr explicit DispatchTable(std::span<const DispatchMember<T>> members) : members_(members) {}

  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) const noexcept {
    if (!names || !ids) return E_POINTER;
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    DISPID found = DISPID_UNKNOWN;
    if (count > 0 && names[0])
      for (const auto& m : members_)
        if (dispatch_detail::SameName(m.name, names[0])) found = m.id;
    return dispatch_detail::LookUp(names, count, ids, found);
  }

  HRESULT Invoke(T& self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep, UINT* arg_err) const noexcept {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    for (const auto& m : members_) {
      if (m.id != id) continue;
      if (const HRESULT hr = dispatch_detail::CheckCall(params, flags, m.kinds); FAILED(hr)) return hr;
      try {
        DispatchCall call{flags, DispatchArgs(params), result};
        m.handler(self, call);
        return S_OK;
      } catch (...) {
        return dispatch_detail::InvokeFailure(params, excep, arg_err);
      }
    }
    return params ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
  }

  // No type information: callers bind by name.
  static HRESULT GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  static HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }

 private:
  std::span<const DispatchMember<T>> members_;
};

// An automation object: IUnknown and IDispatch over Derived's table, Derived::kTable, for
// IDispatch itself or a dual interface that also answers to its own IID.
template <class Derived, class Interface = IDispatch, const IID&... Dual>
class DispatchObject : public ComObject<Interface, IID_IDispatch, Dual...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    return DispatchTable<Derived>::GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override {
    return DispatchTable<Derived>::GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    return Derived::kTable.GetIDsOfNames(riid, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* arg_err) noexcept override {
    return Derived::kTable.Invoke(static_cast<Derived&>(*this), id, riid, flags, params, result, excep, arg_err);
  }
};

}  // namespace tessaly::win
