// A command-bar button's Click into ICommandBarButtonEvents.
#include "win/excel/button_events_sink.h"

#include <cwchar>

#include "win/excel/excel_ids.h"
#include "win/excel/excel_objects.h"

namespace tessaly::win::excel {

namespace {

// The clicked control, by value or by one reference; null when it is anything else.
IDispatch* control_argument(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
  if (V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v)) return *V_DISPATCHREF(&v);
  return nullptr;
}

}  // namespace

com_ptr<ButtonEventsSink> ButtonEventsSink::Create(std::shared_ptr<ICommandBarButtonEvents> receiver) {
  return com_ptr<ButtonEventsSink>::attach(new ButtonEventsSink(std::move(receiver)));
}

HRESULT ButtonEventsSink::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kDiidCommandBarButtonEvents) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG ButtonEventsSink::AddRef() noexcept { return ++refs_; }

ULONG ButtonEventsSink::Release() noexcept {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT ButtonEventsSink::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ButtonEventsSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT ButtonEventsSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = i == 0 && names[0] && _wcsicmp(names[0], L"Click") == 0 ? kDispidButtonClick : DISPID_UNKNOWN;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT ButtonEventsSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                 UINT*) noexcept {
  if (result) ::VariantInit(result);
  if (id != kDispidButtonClick || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (!params || params->cArgs != 2 || params->cNamedArgs != 0 || !params->rgvarg) return DISP_E_BADPARAMCOUNT;
  // Arguments arrive last-first: rgvarg[1] is the control, rgvarg[0] the cancel flag by reference.
  VARIANT& cancel = params->rgvarg[0];
  com_ptr<ButtonEventsSink> keep(this);  // a handler may drop the host's reference
  std::shared_ptr<ICommandBarButtonEvents> receiver = receiver_;
  if (!receiver) return S_OK;
  try {
    bool cancel_default = V_VT(&cancel) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&cancel) && *V_BOOLREF(&cancel);
    receiver->Click(WrapCommandBarControl(control_argument(params->rgvarg[1])), cancel_default);
    if (V_VT(&cancel) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&cancel)) *V_BOOLREF(&cancel) = cancel_default ? VARIANT_TRUE : VARIANT_FALSE;
  } catch (...) {
    // The receiver keeps its own errors; none may reach the host.
  }
  return S_OK;
}

}  // namespace tessaly::win::excel
