// The base of the COM objects that receive Excel's events through a dispinterface: IUnknown,
// IDispatch without type information, the checks of the host's call, and one guarded entry.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cwchar>
#include <span>

#include "host/callback_depth.h"
#include "win/com/com_object.h"
#include "win/com_handles.h"
#include "win/excel/excel_ids.h"
#include "win/module_objects.h"

namespace tessaly::win::excel {

template <const IID& Events>
class EventsSink : public ComObject<IDispatch, IID_IDispatch, Events> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  // Events have no arguments by name: only the first name can be known.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (i == 0 && names[0])
        for (const EventId& e : events_)
          if (_wcsicmp(e.name, names[0]) == 0) ids[0] = e.dispid;
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  // Every event is a call into the add-in: it counts in the callback depth, so a teardown it causes
  // waits until it returns, and the sink lives on when a handler drops the host's reference.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) noexcept final {
    if (result) ::VariantInit(result);
    const EventId* event = Find(id);
    if (!event) return unknown_;
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || (params->cArgs && !params->rgvarg)) return E_INVALIDARG;
    if (params->cArgs != event->arguments || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
    com_ptr<IDispatch> keep(this);
    CallbackScope call;
    try {
      Deliver(*event, *params);
    } catch (...) {
      // The receiver keeps its own errors; none may reach the host.
    }
    return S_OK;
  }

 protected:
  // events: the ones passed on; unknown: the answer to any other DISPID.
  EventsSink(std::span<const EventId> events, HRESULT unknown) : events_(events), unknown_(unknown) {}
  // Passes an event on; its arguments are counted already and arrive last-first.
  virtual void Deliver(const EventId& event, DISPPARAMS& params) = 0;

 private:
  const EventId* Find(DISPID id) const noexcept {
    for (const EventId& e : events_)
      if (e.dispid == id) return &e;
    return nullptr;
  }

  std::span<const EventId> events_;
  HRESULT unknown_;
  ModuleObject module_object_;
};

}  // namespace tessaly::win::excel
