// The COM object that receives a command-bar button's Click (the _CommandBarButtonEvents
// dispinterface) and forwards it to the add-in's receiver until it is detached.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <memory>

#include "host/excel.h"
#include "win/com_handles.h"
#include "win/module_objects.h"

namespace tessaly::win::excel {

class ButtonEventsSink final : public IDispatch {
 public:
  static com_ptr<ButtonEventsSink> Create(std::shared_ptr<ICommandBarButtonEvents> receiver);

  // From now on clicks reach nobody.
  void Detach() noexcept { receiver_.reset(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* bad_argument) noexcept override;

 private:
  explicit ButtonEventsSink(std::shared_ptr<ICommandBarButtonEvents> receiver) : receiver_(std::move(receiver)) {}
  ~ButtonEventsSink() = default;

  std::atomic<ULONG> refs_{1};
  std::shared_ptr<ICommandBarButtonEvents> receiver_;
  ModuleObject module_object_;
};

}  // namespace tessaly::win::excel
