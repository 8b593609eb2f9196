// Argument reading, results and failure reporting of the table-driven IDispatch.
#include "win/com/dispatch_table.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <limits>

#include "win/utf.h"

namespace tessaly::win {

namespace {

bool IsMissing(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

// One level of VT_BYREF removed, the pointed-to value copied shallowly; a reference to a
// reference is refused, however deep the caller nested them.
VARIANT Deref(const VARIANT& v) {
  if (!(V_VT(&v) & VT_BYREF)) return v;
  const VARTYPE base = V_VT(&v) & ~VT_BYREF;
  if (base == VT_VARIANT) {
    const VARIANT* inner = V_VARIANTREF(&v);
    if (!inner) throw ComError(E_POINTER);
    if (V_VT(inner) & VT_BYREF || V_VT(inner) == VT_VARIANT) throw ComError(DISP_E_TYPEMISMATCH);
    return *inner;
  }
  if (!V_BYREF(&v)) throw ComError(E_POINTER);
  VARIANT out;
  VariantInit(&out);
  V_VT(&out) = base;
  if (base & VT_ARRAY) {
    V_ARRAY(&out) = *V_ARRAYREF(&v);
    return out;
  }
  switch (base) {
    case VT_I1: case VT_UI1: V_UI1(&out) = *V_UI1REF(&v); break;
    case VT_I2: case VT_UI2: case VT_BOOL: V_I2(&out) = *V_I2REF(&v); break;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR: V_I4(&out) = *V_I4REF(&v); break;
    case VT_I8: case VT_UI8: V_I8(&out) = *V_I8REF(&v); break;
    case VT_R4: V_R4(&out) = *V_R4REF(&v); break;
    case VT_R8: case VT_DATE: V_R8(&out) = *V_R8REF(&v); break;
    case VT_CY: V_CY(&out) = *V_CYREF(&v); break;
    case VT_BSTR: V_BSTR(&out) = *V_BSTRREF(&v); break;
    case VT_DISPATCH: V_DISPATCH(&out) = *V_DISPATCHREF(&v); break;
    case VT_UNKNOWN: V_UNKNOWN(&out) = *V_UNKNOWNREF(&v); break;
    default: throw ComError(DISP_E_TYPEMISMATCH);
  }
  return out;
}

bool IsNumeric(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
    case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: case VT_DATE:
      return true;
    default:
      return false;
  }
}

}  // namespace

UINT DispatchArgs::count() const { return p_->cArgs - p_->cNamedArgs; }

const VARIANT& DispatchArgs::raw(UINT position) const {
  if (position >= count() || !p_->rgvarg) throw DispatchArgError(DISP_E_PARAMNOTFOUND, position);
  return p_->rgvarg[p_->cArgs - 1 - position];
}

bool DispatchArgs::has(UINT position) const { return position < count() && !IsMissing(raw(position)); }

VARIANT DispatchArgs::value(UINT position) const {
  try {
    VARIANT v = Deref(raw(position));
    if (IsMissing(v)) throw DispatchArgError(DISP_E_PARAMNOTFOUND, position);
    return v;
  } catch (const DispatchArgError&) {
    throw;
  } catch (const ComError& e) {
    throw DispatchArgError(e.hr(), position);
  }
}

std::wstring DispatchArgs::text(UINT position) const {
  const VARIANT v = value(position);
  if (V_VT(&v) != VT_BSTR) throw DispatchArgError(DISP_E_TYPEMISMATCH, position);
  return V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
}

bool DispatchArgs::boolean(UINT position) const {
  const VARIANT v = value(position);
  if (V_VT(&v) != VT_BOOL) throw DispatchArgError(DISP_E_TYPEMISMATCH, position);
  return V_BOOL(&v) != VARIANT_FALSE;
}

double DispatchArgs::number(UINT position) const {
  VARIANT v = value(position);
  if (!IsNumeric(V_VT(&v))) throw DispatchArgError(DISP_E_TYPEMISMATCH, position);
  VARIANT d;
  VariantInit(&d);
  const HRESULT hr = VariantChangeType(&d, &v, 0, VT_R8);
  if (FAILED(hr)) throw DispatchArgError(hr, position);
  return V_R8(&d);
}

std::int32_t DispatchArgs::integer(UINT position) const {
  const double d = number(position);
  if (d != std::floor(d) || d < std::numeric_limits<std::int32_t>::min() ||
      d > std::numeric_limits<std::int32_t>::max())
    throw DispatchArgError(DISP_E_OVERFLOW, position);
  return static_cast<std::int32_t>(d);
}

IDispatch* DispatchArgs::dispatch(UINT position) const {
  const VARIANT v = value(position);
  if (V_VT(&v) != VT_DISPATCH || !V_DISPATCH(&v)) throw DispatchArgError(DISP_E_TYPEMISMATCH, position);
  return V_DISPATCH(&v);
}

SAFEARRAY* DispatchArgs::array(UINT position) const {
  const VARIANT v = value(position);
  if (!(V_VT(&v) & VT_ARRAY) || !V_ARRAY(&v)) throw DispatchArgError(DISP_E_TYPEMISMATCH, position);
  return V_ARRAY(&v);
}

VARIANT DispatchArgs::put_value() const {
  for (UINT i = 0; i < p_->cNamedArgs; ++i)
    if (p_->rgdispidNamedArgs && p_->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) {
      try {
        return Deref(p_->rgvarg[i]);
      } catch (const ComError& e) {
        throw DispatchArgError(e.hr(), 0);
      }
    }
  throw ComError(DISP_E_PARAMNOTFOUND, "no value to put");
}

void SetResult(VARIANT* result, bool value) {
  if (!result) return;
  VariantClear(result);
  V_VT(result) = VT_BOOL;
  V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResult(VARIANT* result, std::int32_t value) {
  if (!result) return;
  VariantClear(result);
  V_VT(result) = VT_I4;
  V_I4(result) = value;
}

void SetResult(VARIANT* result, double value) {
  if (!result) return;
  VariantClear(result);
  V_VT(result) = VT_R8;
  V_R8(result) = value;
}

void SetResult(VARIANT* result, const std::wstring& value) {
  if (!result) return;
  BSTR b = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (!b) throw ComError(E_OUTOFMEMORY);
  VariantClear(result);
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = b;
}

void SetResult(VARIANT* result, IDispatch* value) {
  if (!result) return;
  VariantClear(result);
  if (value) value->AddRef();
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = value;
}

namespace dispatch_detail {

bool SameName(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b)
    if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b))) return false;
  return *a == *b;
}

HRESULT LookUp(LPOLESTR* names, UINT count, DISPID* ids, DISPID found) {
  if (count == 0) return E_INVALIDARG;
  (void)names;
  ids[0] = found;
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return found == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT CheckCall(const DISPPARAMS* params, WORD flags, WORD kinds) noexcept {
  if (!params || params->cNamedArgs > params->cArgs || (params->cArgs && !params->rgvarg) ||
      (params->cNamedArgs && !params->rgdispidNamedArgs))
    return E_INVALIDARG;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put ? !(kinds & kPut) : !(kinds & flags & (kMethod | kGet))) return DISP_E_MEMBERNOTFOUND;
  // The one named argument there may be is the value of a property write.
  if (params->cNamedArgs > (put ? 1u : 0u)) return DISP_E_NONAMEDARGS;
  if (params->cNamedArgs && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_NONAMEDARGS;
  return S_OK;
}

HRESULT InvokeFailure(const DISPPARAMS* params, EXCEPINFO* excep, UINT* arg_err) noexcept {
  try {
    throw;
  } catch (const DispatchArgError& e) {
    // Invoke reports the argument's index in rgvarg, which holds the arguments last-first.
    if (arg_err && e.position() < params->cArgs) *arg_err = params->cArgs - 1 - e.position();
    return e.hr();
  } catch (const HostError& e) {
    // A failing member looks as the host's own failures do: an exception with its number and text.
    const HRESULT scode = FAILED(static_cast<HRESULT>(e.number())) ? static_cast<HRESULT>(e.number()) : E_FAIL;
    if (!excep) return scode;
    *excep = EXCEPINFO{};
    excep->scode = scode;
    try {
      const std::wstring what = to_wide(e.what());
      excep->bstrDescription = SysAllocStringLen(what.data(), static_cast<UINT>(what.size()));
    } catch (...) {
      // The number alone still tells the caller what failed.
    }
    return DISP_E_EXCEPTION;
  } catch (...) {
    return HResultFromCurrentException();
  }
}

}  // namespace dispatch_detail

}  // namespace tessaly::win
