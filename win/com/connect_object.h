// The COM class Connect: the host's add-in connection and ribbon interfaces, and the ribbon
// callbacks by name through IDispatch, all passed to the portable add-in.
#pragma once

#include <windows.h>

#include <atomic>

#include "addin/connect.h"
#include "win/com/addin_services.h"
#include "win/com/dispatch_table.h"
#include "win/com/office_interfaces.h"
#include "win/module_objects.h"

namespace tessaly::win {

class ConnectObject final : public office::IDTExtensibility2, public office::IRibbonExtensibility {
 public:
  // A new object with one reference, its add-in folder that of the module.
  static HRESULT Create(REFIID riid, void** out) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // IDispatch, for both dual interfaces: one name table.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* arg_err) noexcept override;
  // IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, office::ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst, SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(office::ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;
  // IRibbonExtensibility
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept override;

  tessaly::Connect& AddIn() { return connect_; }
  static const DispatchTable<ConnectObject> kTable;

 private:
  ConnectObject();
  ~ConnectObject() = default;

  ModuleObject counted_;
  std::atomic<ULONG> refs_{1};
  AddInServices services_;
  tessaly::Connect connect_;
};

// The custom array of the connection events as values, read from its lower bound on; an
// element that is no plain value (an object) reads as empty.
std::vector<Variant> CustomArrayValues(SAFEARRAY* custom);

}  // namespace tessaly::win
