// Identifiers of Excel's application events (the AppEvents dispinterface and the DISPIDs of the
// events the add-in handles, with the order of their arguments as Excel declares them) and of a
// command-bar button's Click.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace tessaly::win::excel {

// DIID_AppEvents {00024413-0000-0000-C000-000000000046}, the application's source interface.
inline constexpr IID kDiidAppEvents = {0x00024413, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Event DISPIDs. In DISPPARAMS the arguments arrive last-first (rgvarg[0] is the last one).
inline constexpr DISPID kDispidSheetSelectionChange = 0x616;  // (Sh As Object, Target As Range)
inline constexpr DISPID kDispidSheetActivate = 0x619;         // (Sh As Object)
inline constexpr DISPID kDispidSheetDeactivate = 0x61A;       // (Sh As Object)
inline constexpr DISPID kDispidWindowResize = 0x612;          // (Wb As Workbook, Wn As Window)
inline constexpr DISPID kDispidWindowActivate = 0x614;        // (Wb As Workbook, Wn As Window)
inline constexpr DISPID kDispidWindowDeactivate = 0x615;      // (Wb As Workbook, Wn As Window)
inline constexpr DISPID kDispidSheetChange = 0x61C;           // (Sh As Object, Target As Range)

// One handled event: its DISPID, name and count of arguments.
struct EventId {
  DISPID dispid;
  const wchar_t* name;
  unsigned arguments;
};

// The application events, all of whose arguments are objects.
inline constexpr EventId kAppEvents[] = {
    {kDispidSheetSelectionChange, L"SheetSelectionChange", 2},
    {kDispidSheetActivate, L"SheetActivate", 1},
    {kDispidSheetDeactivate, L"SheetDeactivate", 1},
    {kDispidWindowResize, L"WindowResize", 2},
    {kDispidWindowActivate, L"WindowActivate", 2},
    {kDispidWindowDeactivate, L"WindowDeactivate", 2},
    {kDispidSheetChange, L"SheetChange", 2},
};

// DIID__CommandBarButtonEvents {000C0351-0000-0000-C000-000000000046}, a command-bar button's source
// interface, and its one event: Click(Ctrl As CommandBarButton, CancelDefault As Boolean, by reference).
inline constexpr IID kDiidCommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDispidButtonClick = 1;
inline constexpr EventId kButtonEvents[] = {{kDispidButtonClick, L"Click", 2}};

}  // namespace tessaly::win::excel
