// The COM class Connect: the host's add-in connection and ribbon interfaces, and the ribbon
// callbacks by name through IDispatch, all passed to the one add-in of the process.
#pragma once

#include <windows.h>

#include <atomic>

#include "addin/connect.h"
#include "win/com/addin_services.h"
#include "win/com/dispatch_table.h"
#include "win/com/office_interfaces.h"
#include "win/module_objects.h"

namespace tessaly::win {

// The add-in's state for the life of the process: the host releases each Connect object on
// disconnection and creates a new one to connect again, which adopts this.
struct AddInState {
  AddInState(HMODULE module, std::string folder) : services(module, std::move(folder)), addin(services.Services()) {
    services.Bind(addin);
  }
  AddInServices services;
  tessaly::Connect addin;
};

// Made at the first Connect object and kept until the process ends. The module is pinned then:
// unloading a DLL linked with its own C and C++ runtimes loses a thread-local slot and some memory
// each time, and a host that turns the add-in off and on often enough would run out of slots.
AddInState& TheAddInState();
// A reload or a deferred teardown is under way: the module must stay (DllCanUnloadNow).
bool AddInStateBusy() noexcept;

// Each dual interface answers IDispatch with its own members and published DISPIDs, so each
// gets its own GetIDsOfNames and Invoke.
class ExtensibilityFace : public office::IDTExtensibility2 {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept final;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* arg_err) noexcept final;
};
class RibbonFace : public office::IRibbonExtensibility {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept final;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* arg_err) noexcept final;
};

class ConnectObject final : public ExtensibilityFace, public RibbonFace {
 public:
  // A new object with one reference, adopting the add-in's state.
  static HRESULT Create(REFIID riid, void** out) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // IDispatch: no type information on either face.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
  // IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, office::ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst, SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(office::ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;
  // IRibbonExtensibility
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept override;

  tessaly::Connect& AddIn() { return state_.addin; }
  static const DispatchTable<ConnectObject> kTable;        // IDispatch and IDTExtensibility2, with the callbacks
  static const DispatchTable<ConnectObject> kRibbonTable;  // IRibbonExtensibility

 private:
  explicit ConnectObject(AddInState& state) : state_(state) {}
  ~ConnectObject() = default;

  ModuleObject counted_;
  std::atomic<ULONG> refs_{1};
  AddInState& state_;
};

// The custom array of the connection events as values, read from its lower bound on; an
// element that is no plain value (an object) reads as empty. An array whose elements cannot be
// read gives one error value, which the connection takes as a host started by automation.
std::vector<Variant> CustomArrayValues(SAFEARRAY* custom);

}  // namespace tessaly::win
