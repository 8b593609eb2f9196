// The model of sim/ exposed through IDispatch under Excel's own member names and argument orders:
// the application with its connection point for AppEvents, workbooks, worksheets, ranges,
// windows and panes, command bars and their controls, COM add-ins and dialogs. Each member calls
// the model's member of the same meaning, so the model's fault injection and call counts apply,
// and a failure reaches the caller as DISP_E_EXCEPTION with the model's description.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/excel_sim.h"
#include "win/com_handles.h"

namespace tessaly::sim::exe {

// What every exposed object shares: the model, the loaded add-ins' COMAddIn objects, and a hook
// that tells the windows the model changed through a call.
struct ExcelHost {
  std::shared_ptr<SimExcel> model;
  std::function<void()> changed = [] {};
  std::vector<win::com_ptr<IDispatch>> com_addins;
  // COMAddIn.Connect changed: the add-in is disconnected and released, or created anew and
  // connected, inside the call. Throws HostError when that cannot be done.
  std::function<void(const std::wstring& prog_id, bool connect)> set_connect = [](const std::wstring&, bool) {};
  IDispatch* application = nullptr;  // COMAddIn.Application; the application object outlives its add-ins
  std::vector<std::string> dialogs_shown;  // built-in dialogs the add-ins showed, by number
  // Shows built-in dialog n modally, true for OK; without it the model answers alone.
  std::function<bool(std::int32_t)> show_dialog;
};

// A picture an add-in gave a command-bar button (Picture, Mask), kept for drawing the button.
class PictureFace : public IButtonImage {
 public:
  virtual IDispatch* Picture() const = 0;  // the IPictureDisp
};

// A face of that key drawn from the picture (an IPictureDisp).
ButtonImagePtr MakePictureFace(std::string key, win::com_ptr<IDispatch> picture);

// The application object (with one reference for the caller).
win::com_ptr<IDispatch> MakeApplication(std::shared_ptr<ExcelHost> host);

// The COMAddIn object Excel hands an add-in as AddInInst: ProgId, Description, Connect, Object,
// Application. It stays in COMAddIns while the add-in is turned off and on.
win::com_ptr<IDispatch> MakeComAddIn(std::shared_ptr<ExcelHost> host, std::wstring prog_id, std::wstring description);

// COMAddIn.Connect = connect through the object's IDispatch, as the COM Add-ins dialog does.
HRESULT SetComAddInConnect(IDispatch* com_addin, bool connect);

}  // namespace tessaly::sim::exe
