// VARIANT to and from Variant.
#include "win/variant_convert.h"

#include "win/com_error.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {
constexpr SCODE kHostErrorBase = static_cast<SCODE>(0x800A0000);

Variant from_number(const VARIANT& v) {
  VARIANT d;
  ::VariantInit(&d);
  HRESULT hr = ::VariantChangeType(&d, const_cast<VARIANT*>(&v), 0, VT_R8);
  if (FAILED(hr)) throw com_error(hr);
  return Variant::number(V_R8(&d));
}
}  // namespace

unique_bstr to_bstr(std::string_view utf8) {
  unique_bstr b(to_wide(utf8));
  if (!b) throw com_error(E_OUTOFMEMORY);
  return b;
}

std::string from_bstr(BSTR text) { return text ? to_utf8(std::wstring_view(text, ::SysStringLen(text))) : std::string(); }

SCODE error_scode(std::int32_t host_code) {
  return host_code >= 0 && host_code <= 0xFFFF ? kHostErrorBase | host_code : static_cast<SCODE>(host_code);
}

std::int32_t host_error_code(SCODE scode) {
  return (scode & static_cast<SCODE>(0xFFFF0000)) == kHostErrorBase ? scode & 0xFFFF : scode;
}

Variant from_variant(const VARIANT& in) {
  // Values passed by reference are read through a copy of what they point to.
  const VARIANT* v = &in;
  unique_variant copy;
  if (V_VT(&in) & VT_BYREF) {
    HRESULT hr = ::VariantCopyInd(copy.put(), const_cast<VARIANT*>(&in));
    if (FAILED(hr)) throw com_error(hr);
    v = &copy.get();
  }
  switch (V_VT(v)) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::null();
    case VT_I2: return Variant::i2(V_I2(v));
    case VT_I4: return Variant::i4(V_I4(v));
    case VT_I1: return Variant::i2(V_I1(v));
    case VT_UI1: return Variant::i2(V_UI1(v));
    case VT_UI2: return Variant::i4(V_UI2(v));
    case VT_INT: return Variant::i4(V_INT(v));
    case VT_R8: return Variant::number(V_R8(v));
    case VT_R4:
    case VT_CY:
    case VT_DECIMAL:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: return from_number(*v);
    case VT_DATE: return Variant::date(V_DATE(v));
    case VT_BSTR: return Variant::text(from_bstr(V_BSTR(v)));
    case VT_BOOL: return Variant::boolean(V_BOOL(v) != VARIANT_FALSE);
    case VT_ERROR: return Variant::error(host_error_code(V_ERROR(v)));
    case VT_DISPATCH:
      if (!V_DISPATCH(v)) return Variant();
      break;
    case VT_UNKNOWN:
      if (!V_UNKNOWN(v)) return Variant();
      break;
    default: break;
  }
  throw com_error(DISP_E_TYPEMISMATCH);
}

unique_variant to_variant(const Variant& value) {
  unique_variant out;
  VARIANT* v = out.put();
  switch (value.type()) {
    case VarType::Empty: break;
    case VarType::Null: V_VT(v) = VT_NULL; break;
    case VarType::I2: V_VT(v) = VT_I2; V_I2(v) = static_cast<SHORT>(value.as_int()); break;
    case VarType::I4: V_VT(v) = VT_I4; V_I4(v) = value.as_int(); break;
    case VarType::R8: V_VT(v) = VT_R8; V_R8(v) = value.as_double(); break;
    case VarType::Date: V_VT(v) = VT_DATE; V_DATE(v) = value.as_double(); break;
    case VarType::Text: V_BSTR(v) = to_bstr(value.as_text()).release(); V_VT(v) = VT_BSTR; break;
    case VarType::Bool: V_VT(v) = VT_BOOL; V_BOOL(v) = value.as_bool() ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VarType::Error: V_VT(v) = VT_ERROR; V_ERROR(v) = error_scode(value.error_code()); break;
  }
  return out;
}

}  // namespace tessaly::win
