// Loading COM add-ins as Excel does: the ones registered for Excel with LoadBehavior 3 are listed
// in COMAddIns at start-up, created by ProgID, connected with the application and asked for their
// ribbon; the COM Add-ins dialog (COMAddIn.Connect) disconnects and releases one, letting COM
// unload servers no longer in use, or creates and connects a new object.
#pragma once

#include <windows.h>

#include <optional>
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

// Creates and connects one add-in; empty (and reported on standard output) when it cannot be
// created or refuses the connection. Hosts before version 12 ask for no ribbon.
std::optional<LoadedAddIn> ConnectAddIn(const std::wstring& prog_id, win::com_ptr<IDispatch> com_addin,
                                        IDispatch* application, office::ext_ConnectMode mode, bool ribbon = true);

// Disconnects an add-in and lets it go: at shutdown OnBeginShutdown comes first; when the user
// turns it off, COM then unloads the servers no longer in use, as Excel's idle time does, and says
// whether the add-in's DLL went.
void DisconnectAddIn(LoadedAddIn& addin, office::ext_DisconnectMode mode);

}  // namespace tessaly::sim::exe
