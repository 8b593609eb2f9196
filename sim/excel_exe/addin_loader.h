// Loading COM add-ins as Excel does at start-up: the ones registered for Excel with LoadBehavior
// 3 are created by ProgID, connected with the application, asked for their ribbon, and
// disconnected when the host closes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sim/excel_exe/excel_objects.h"
#include "win/com/office_interfaces.h"

namespace tessaly::sim::exe {

// The ProgIDs under HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins whose
// LoadBehavior is 3 (load at start-up, loaded), in the registry's order.
std::vector<std::wstring> StartupAddIns();

struct LoadedAddIn {
  std::wstring prog_id;
  win::com_ptr<IDispatch> object;     // the add-in itself, for callbacks by name
  win::com_ptr<IDispatch> com_addin;  // the COMAddIn Excel hands it as AddInInst
  std::string ribbon_xml;             // what GetCustomUI answered; empty without a ribbon
};

// Creates and connects each add-in; one that cannot be created or refuses the connection is
// reported on standard output and left out.
std::vector<LoadedAddIn> ConnectAddIns(IDispatch* application, ExcelHost& host);

// OnBeginShutdown, then OnDisconnection with the host shutting down, for each connected add-in.
void DisconnectAddIns(std::vector<LoadedAddIn>& addins);

}  // namespace tessaly::sim::exe
