// The parts of UI Automation's provider side that mingw-w64's headers leave out: the pattern
// interfaces a calendar answers with, the control-type and event identifiers, and the signatures
// of the functions looked up in uiautomationcore.dll at run time. (Its uiautomationcoreapi.h does
// not compile as C++: a parameter is named "new".)
#pragma once

#include <windows.h>
#include <ole2.h>
#include <uiautomationclient.h>
#include <uiautomationcore.h>

namespace tessaly::win::uia {

inline constexpr LONG kRootObjectId = -25;  // UiaRootObjectId
inline constexpr int kAppendRuntimeId = 3;  // UiaAppendRuntimeId
inline constexpr HRESULT kElementNotEnabled = static_cast<HRESULT>(0x80040200);
inline constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);

inline constexpr CONTROLTYPEID kButtonControlType = 50000;
inline constexpr CONTROLTYPEID kCalendarControlType = 50001;
inline constexpr CONTROLTYPEID kListItemControlType = 50007;
inline constexpr CONTROLTYPEID kDataGridControlType = 50028;
inline constexpr CONTROLTYPEID kHeaderControlType = 50034;
inline constexpr CONTROLTYPEID kHeaderItemControlType = 50035;

inline constexpr EVENTID kFocusChangedEvent = 20005;
inline constexpr EVENTID kInvokedEvent = 20009;
inline constexpr EVENTID kElementSelectedEvent = 20012;
inline constexpr EVENTID kNotificationEvent = 20035;
// Stand-ins' names for what a test hears of the two other kinds of event.
inline constexpr EVENTID kStructureChangedEvent = 20002;
inline constexpr EVENTID kPropertyChangedEvent = 20004;

enum RowOrColumnMajor { RowOrColumnMajor_RowMajor = 0, RowOrColumnMajor_ColumnMajor = 1 };
enum NotificationKind { NotificationKind_ActionCompleted = 2, NotificationKind_Other = 4 };
enum NotificationProcessing { NotificationProcessing_MostRecent = 3 };
enum StructureChangeType { StructureChangeType_ChildrenInvalidated = 2 };

using ReturnRawElementProviderFn = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using RaiseAutomationEventFn = HRESULT(WINAPI*)(IRawElementProviderSimple*, EVENTID);
// Windows 10 1709 and later only.
using RaiseNotificationEventFn = HRESULT(WINAPI*)(IRawElementProviderSimple*, NotificationKind, NotificationProcessing,
                                                  BSTR display, BSTR activity_id);
using HostProviderFromHwndFn = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using RaiseStructureChangedEventFn = HRESULT(WINAPI*)(IRawElementProviderSimple*, StructureChangeType, int* runtime_id,
                                                      int runtime_id_length);
using RaisePropertyChangedEventFn = HRESULT(WINAPI*)(IRawElementProviderSimple*, PROPERTYID, VARIANT old_value,
                                                     VARIANT new_value);

// The functions a provider calls; any of them may be missing from the system.
struct CoreFunctions {
  ReturnRawElementProviderFn return_provider = nullptr;
  RaiseAutomationEventFn raise_event = nullptr;
  RaiseNotificationEventFn raise_notification = nullptr;
  HostProviderFromHwndFn host_provider = nullptr;
  RaiseStructureChangedEventFn raise_structure_changed = nullptr;
  RaisePropertyChangedEventFn raise_property_changed = nullptr;
};

}  // namespace tessaly::win::uia

// Declared at global scope, as the Windows SDK declares them, so __uuidof finds them.
MIDL_INTERFACE("54fcb24b-e18e-47a2-b4d3-eccbe77599a2")
IInvokeProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};
__CRT_UUID_DECL(IInvokeProvider, 0x54fcb24b, 0xe18e, 0x47a2, 0xb4, 0xd3, 0xec, 0xcb, 0xe7, 0x75, 0x99, 0xa2)

MIDL_INTERFACE("fb8b03af-3bdf-48d4-bd36-1a65793be168")
ISelectionProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* out) = 0;
};
__CRT_UUID_DECL(ISelectionProvider, 0xfb8b03af, 0x3bdf, 0x48d4, 0xbd, 0x36, 0x1a, 0x65, 0x79, 0x3b, 0xe1, 0x68)

MIDL_INTERFACE("2acad808-b2d4-452d-a407-91ff1ad167b2")
ISelectionItemProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Select() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** out) = 0;
};
__CRT_UUID_DECL(ISelectionItemProvider, 0x2acad808, 0xb2d4, 0x452d, 0xa4, 0x07, 0x91, 0xff, 0x1a, 0xd1, 0x67, 0xb2)

MIDL_INTERFACE("b17d6187-0907-464b-a168-0ef17a1572b1")
IGridProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetItem(int row, int column, IRawElementProviderSimple** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RowCount(int* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ColumnCount(int* out) = 0;
};
__CRT_UUID_DECL(IGridProvider, 0xb17d6187, 0x0907, 0x464b, 0xa1, 0x68, 0x0e, 0xf1, 0x7a, 0x15, 0x72, 0xb1)

MIDL_INTERFACE("d02541f1-fb81-4d64-ae32-f520f8a6dbd1")
IGridItemProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Row(int* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Column(int* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RowSpan(int* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ColumnSpan(int* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContainingGrid(IRawElementProviderSimple** out) = 0;
};
__CRT_UUID_DECL(IGridItemProvider, 0xd02541f1, 0xfb81, 0x4d64, 0xae, 0x32, 0xf5, 0x20, 0xf8, 0xa6, 0xdb, 0xd1)

MIDL_INTERFACE("9c860395-97b3-490a-b52a-858cc22af166")
ITableProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetRowHeaders(SAFEARRAY** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetColumnHeaders(SAFEARRAY** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RowOrColumnMajor(tessaly::win::uia::RowOrColumnMajor* out) = 0;
};
__CRT_UUID_DECL(ITableProvider, 0x9c860395, 0x97b3, 0x490a, 0xb5, 0x2a, 0x85, 0x8c, 0xc2, 0x2a, 0xf1, 0x66)

MIDL_INTERFACE("b9734fa6-771f-4d78-9c90-2517999349cd")
ITableItemProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetRowHeaderItems(SAFEARRAY** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetColumnHeaderItems(SAFEARRAY** out) = 0;
};
__CRT_UUID_DECL(ITableItemProvider, 0xb9734fa6, 0x771f, 0x4d78, 0x9c, 0x90, 0x25, 0x17, 0x99, 0x93, 0x49, 0xcd)
