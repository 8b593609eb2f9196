// VARIANTs as a COM caller builds them: one kind and one value, the value held as its bits in the
// union; the caller keeps (and frees) whatever a VARIANT points at.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstring>

namespace tessaly::testing {

template <class T>
VARIANT Var(VARTYPE vt, T value) {
  static_assert(sizeof value <= sizeof(LONGLONG), "a value the union holds directly");
  VARIANT v{};
  V_VT(&v) = vt;
  std::memcpy(&V_I8(&v), &value, sizeof value);
  return v;
}

// A pressed toggle's state by reference, as Office passes it to a ribbon callback.
inline VARIANT PressedRef() {
  static VARIANT_BOOL pressed = VARIANT_TRUE;
  return Var(VT_BOOL | VT_BYREF, &pressed);
}

}  // namespace tessaly::testing
