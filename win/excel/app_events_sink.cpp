// Excel's application events into IApplicationEvents.
#include "win/excel/app_events_sink.h"

#include <cwchar>

#include "host/callback_depth.h"
#include "win/excel/excel_ids.h"
#include "win/excel/excel_objects.h"

namespace tessaly::win::excel {

namespace {

const AppEventId* find_event(DISPID id) {
  for (const AppEventId& e : kAppEvents)
    if (e.dispid == id) return &e;
  return nullptr;
}

// An object argument, passed by value or by reference; null when it is anything else.
IDispatch* object_argument(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
  if (V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v)) return *V_DISPATCHREF(&v);
  if (V_VT(&v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&v)) return object_argument(*V_VARIANTREF(&v));
  return nullptr;
}

}  // namespace

com_ptr<AppEventsSink> AppEventsSink::Create(IApplicationEvents* receiver) {
  return com_ptr<AppEventsSink>::attach(new AppEventsSink(receiver));
}

HRESULT AppEventsSink::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kDiidAppEvents) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG AppEventsSink::AddRef() noexcept { return ++refs_; }

ULONG AppEventsSink::Release() noexcept {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT AppEventsSink::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AppEventsSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT AppEventsSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (i == 0 && names[0])
      for (const AppEventId& e : kAppEvents)
        if (_wcsicmp(e.name, names[0]) == 0) ids[0] = e.dispid;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT AppEventsSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                              UINT*) noexcept {
  if (result) ::VariantInit(result);
  const AppEventId* event = find_event(id);
  if (!event) return S_OK;  // the many application events the add-in does not handle
  if (!params || (params->cArgs && !params->rgvarg)) return E_INVALIDARG;
  if (params->cArgs != event->arguments || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
  // Arguments arrive last-first.
  IDispatch* first = object_argument(params->rgvarg[event->arguments - 1]);
  IDispatch* second = event->arguments == 2 ? object_argument(params->rgvarg[0]) : nullptr;
  com_ptr<AppEventsSink> keep(this);  // a handler may drop the host's reference
  CallbackScope call;
  try {
    Forward(id, first, second);
  } catch (...) {
    // The receiver keeps its own errors; none may reach the host.
  }
  return S_OK;
}

void AppEventsSink::Forward(DISPID id, IDispatch* first, IDispatch* second) {
  if (!receiver_) return;
  switch (id) {
    case kDispidSheetSelectionChange: receiver_->SheetSelectionChange(WrapSheet(first), WrapRange(second)); break;
    case kDispidSheetActivate: receiver_->SheetActivate(WrapSheet(first)); break;
    case kDispidSheetDeactivate: receiver_->SheetDeactivate(WrapSheet(first)); break;
    case kDispidWindowResize: receiver_->WindowResize(WrapWorkbook(first), WrapExcelWindow(second)); break;
    case kDispidWindowActivate: receiver_->WindowActivate(WrapWorkbook(first), WrapExcelWindow(second)); break;
    case kDispidWindowDeactivate: receiver_->WindowDeactivate(WrapWorkbook(first), WrapExcelWindow(second)); break;
    default: break;
  }
}

}  // namespace tessaly::win::excel
