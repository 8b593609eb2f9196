// The COM object that receives Excel's application events (the AppEvents dispinterface) and
// forwards them to the add-in's receiver. The host holds it by reference count; the add-in detaches
// it on unsubscribing, so an event that still arrives later (after a failed Unadvise) does nothing.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "host/excel.h"
#include "win/com_handles.h"
#include "win/module_objects.h"

namespace tessaly::win::excel {

class AppEventsSink final : public IDispatch {
 public:
  static com_ptr<AppEventsSink> Create(IApplicationEvents* receiver);

  // From now on events reach nobody.
  void Detach() noexcept { receiver_ = nullptr; }
  bool attached() const noexcept { return receiver_ != nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* bad_argument) noexcept override;

 private:
  explicit AppEventsSink(IApplicationEvents* receiver) : receiver_(receiver) {}
  ~AppEventsSink() = default;
  void Forward(DISPID id, IDispatch* first, IDispatch* second);

  std::atomic<ULONG> refs_{1};
  IApplicationEvents* receiver_;
  ModuleObject module_object_;
};

}  // namespace tessaly::win::excel
