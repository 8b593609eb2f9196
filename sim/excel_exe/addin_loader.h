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

// Creates and connects each add-in (at start-up, or later from the COM Add-ins dialog); one that
// cannot be created or refuses the connection is reported on standard output and left out.
std::vector<LoadedAddIn> ConnectAddIns(IDispatch* application, ExcelHost& host,
                                       office::ext_ConnectMode mode = office::ext_cm_Startup);

// Disconnects each connected add-in and lets it go: at shutdown OnBeginShutdown comes first; when
// the user turns the add-ins off, COM then unloads the servers no longer in use, as Excel's idle
// time does, and says whether Tessaly.dll went.
void DisconnectAddIns(std::vector<LoadedAddIn>& addins,
                      office::ext_DisconnectMode mode = office::ext_dm_HostShutdown);

}  // namespace tessaly::sim::exe
