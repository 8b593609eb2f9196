// The add-in class through COM as Excel drives it: created by ProgID, connected with each connect
// mode and custom array, its ribbon callbacks called by name, and the DLL unloadable afterwards.
#include <gtest/gtest.h>

#include <olectl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/variants.h"
#include "support/win_ui.h"
#include "tests/com/com_test_support.h"
#include "win/com/connect_object.h"
#include "win/com/dispatch_table.h"
#include "win/com/office_interfaces.h"
#include "win/com/server_registration.h"
#include "win/com_handles.h"
#include "win/this_module.h"
#include "win/utf.h"
#include "win/handles.h"

namespace tessaly::win {
namespace {

// The host's side, scripted in one kind of object: an application of version 12.0, the add-in's
// entry in its list, a ribbon control with an id, and the ribbon that records invalidations.
struct HostObject : DispatchObject<HostObject> {
  explicit HostObject(std::wstring i = L"") : id(std::move(i)) {}
  std::wstring id;
  std::vector<std::wstring> invalidated;
  static const DispatchTable<HostObject> kTable;
};
const DispatchMember<HostObject> kHostMembers[] = {
    {L"Version", 1, [](HostObject&, DispatchCall& c) { SetResult(c.result, std::wstring(L"12.0")); }},
    {L"Hwnd", 2, [](HostObject&, DispatchCall& c) { SetResult(c.result, std::int32_t{0}); }},
    {L"ProgId", 3, [](HostObject&, DispatchCall& c) { SetResult(c.result, std::wstring(L"TESSALY.Connect")); }},
    {L"Id", 4, [](HostObject& o, DispatchCall& c) { SetResult(c.result, o.id); }},
    {L"InvalidateControl", 5, [](HostObject& o, DispatchCall& c) { o.invalidated.push_back(c.args.text(0)); }},
};
const DispatchTable<HostObject> HostObject::kTable{kHostMembers};

constexpr wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Tessaly";
constexpr wchar_t kOptions[] = L"Software\\VB and VBA Program Settings\\Tessaly\\GlobalOptions";

std::wstring Setting(const wchar_t* name) {
  const auto values = test::Snapshot(HKEY_CURRENT_USER, kOptions);
  const auto it = values.find(name);
  return it == values.end() ? L"<none>" : it->second;
}

void SetSetting(const wchar_t* name, const std::wstring& value) {
  unique_hkey key;
  RegCreateKeyExW(HKEY_CURRENT_USER, kOptions, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// A custom array of one VARIANT, the value at the given lower bound.
unique_safearray Custom(LONG value, LONG lower_bound) {
  SAFEARRAYBOUND bound{1, lower_bound};
  unique_safearray array(SafeArrayCreate(VT_VARIANT, 1, &bound));
  VARIANT v = testing::Var(VT_I4, value);
  SafeArrayPutElement(array.get(), &lower_bound, &v);
  return array;
}

struct Result {
  HRESULT hr;
  unique_variant value;
};

// Calls a member by name, arguments in the caller's order, as Office calls ribbon callbacks.
Result CallByName(IDispatch* target, const wchar_t* name, std::vector<VARIANT> args) {
  LPOLESTR n = const_cast<LPOLESTR>(name);
  DISPID id = DISPID_UNKNOWN;
  Result r{target->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), unique_variant()};
  if (FAILED(r.hr)) return r;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  r.hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, r.value.put(), nullptr, nullptr);
  return r;
}

VARIANT Object(IDispatch* d) { return testing::Var(VT_DISPATCH, d); }
VARIANT Text(BSTR b) { return testing::Var(VT_BSTR, b); }
using testing::PressedRef;

// The ribbon description the add-in gives Excel for a workbook window.
std::wstring CustomUI(office::IDTExtensibility2* addin) {
  const auto ribbon = com_ptr<office::IDTExtensibility2>(addin).as<office::IRibbonExtensibility>();
  unique_bstr id(std::wstring_view(L"Microsoft.Excel.Workbook")), xml;
  EXPECT_EQ(ribbon->GetCustomUI(id.get(), xml.put()), S_OK);
  return std::wstring(xml.view());
}

// Registers the DLL per user for the whole suite, as the installer does, and removes it after.
class ConnectCom : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(test::Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer")(), S_OK);
    test::MirrorClassForWine();
  }
  static void TearDownTestSuite() {
    test::RemoveWineMirror();
    test::Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer")();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
    CoUninitialize();
  }
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettings); }

  // A new add-in object, created by its ProgID as Excel creates it.
  static com_ptr<office::IDTExtensibility2> Create() {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"TESSALY.Connect", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Connect);
    com_ptr<office::IDTExtensibility2> addin;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, office::IID_IDTExtensibility2, addin.put_void()),
              S_OK);
    return addin;
  }
  static HRESULT CanUnload() { return test::Export<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")(); }

  com_ptr<IDispatch> app = com_ptr<IDispatch>::attach(new HostObject);
  com_ptr<IDispatch> instance = com_ptr<IDispatch>::attach(new HostObject);
};

TEST_F(ConnectCom, connect_modes_and_custom_values) {
  const struct {
    office::ext_ConnectMode mode;
    LONG custom, lower_bound;
    bool controller;  // the ribbon is read only with a controller
    bool no_application = false;
    bool numbers = false;  // elements that cannot be read as the VARIANTs the host passes
  } cases[] = {
      {office::ext_cm_Startup, 1, 0, false, true},  // a host that passes Nothing gets no controller
      {office::ext_cm_Startup, 1, 0, true},         {office::ext_cm_AfterStartup, 2, 0, true},
      {office::ext_cm_Startup, 3, 0, false},        // the host started by automation
      {office::ext_cm_External, 1, 0, false},       {office::ext_cm_CommandLine, 1, 0, false},
      {office::ext_cm_Startup, 3, 5, false},        // the first element sits at the lower bound
      {office::ext_cm_Startup, 1, -2, true},
      {office::ext_cm_Startup, 1, 0, false, false, true},  // might say "started by automation"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
    auto addin = Create();
    SAFEARRAYBOUND one{1, 0};
    unique_safearray custom =
        c.numbers ? unique_safearray(SafeArrayCreate(VT_I4, 1, &one)) : Custom(c.custom, c.lower_bound);
    SAFEARRAY* array = custom.get();
    ASSERT_EQ(addin->OnConnection(c.no_application ? nullptr : app.get(), c.mode, instance.get(), &array), S_OK);
    const std::wstring xml = CustomUI(addin.get());
    EXPECT_EQ(xml.find(L"ZorelButtonCalendar") != std::wstring::npos, c.controller) << c.mode << " " << c.custom;
    EXPECT_EQ(xml.empty(), !c.controller) << "without a controller the description is empty";
    // Only a connection that sets up reads the first-run flag, and stores "0" after it.
    if (!c.no_application) {
      EXPECT_EQ(Setting(L"FirstTimeRun"), c.controller ? L"0" : L"<none>") << c.mode << " " << c.custom;
    }
    EXPECT_EQ(CanUnload(), S_FALSE);
    ASSERT_EQ(addin->OnDisconnection(office::ext_dm_HostShutdown, &array), S_OK);
    addin.reset();
    EXPECT_EQ(CanUnload(), S_OK);
  }
}

TEST_F(ConnectCom, ribbon_callbacks_by_name) {
  auto addin = Create();
  unique_safearray custom = Custom(1, 0);
  SAFEARRAY* array = custom.get();
  ASSERT_EQ(addin->OnConnection(app.get(), office::ext_cm_Startup, instance.get(), &array), S_OK);
  IDispatch* d = addin.get();
  auto* ribbon = new HostObject;
  com_ptr<IDispatch> ribbon_ref = com_ptr<IDispatch>::attach(ribbon);
  com_ptr<IDispatch> toggle = com_ptr<IDispatch>::attach(new HostObject(L"ZorelToggleButtonDisable"));
  unique_bstr app32(std::wstring_view(L"APP32")), nope(std::wstring_view(L"NOSUCHICON"));

  EXPECT_EQ(CallByName(d, L"zorelonload", {Object(ribbon)}).hr, S_OK);
  Result tip = CallByName(d, L"ZorelGetScreentip", {Object(toggle.get())});
  EXPECT_EQ(std::wstring(V_BSTR(&tip.value.get())), L"Click to disable Tessaly");

  // Office passes the pressed state by reference; the toggle stores it and asks for a refresh.
  const std::wstring enabled = Setting(L"CalendarDisabled");
  EXPECT_EQ(CallByName(d, L"ZorelToggleButtonProc", {Object(toggle.get()), PressedRef()}).hr, S_OK);
  const std::wstring disabled = Setting(L"CalendarDisabled");
  EXPECT_NE(disabled, enabled);
  EXPECT_EQ(ribbon->invalidated, std::vector<std::wstring>{L"ZorelToggleButtonDisable"});
  Result pressed = CallByName(d, L"ZorelToggleButtonGetPressed", {Object(toggle.get())});
  EXPECT_EQ(pressed.value.type(), VT_BOOL);
  EXPECT_EQ(V_BOOL(&pressed.value.get()), VARIANT_TRUE);
  tip = CallByName(d, L"ZorelGetScreentip", {Object(toggle.get())});
  EXPECT_EQ(std::wstring(V_BSTR(&tip.value.get())), L"Click to enable Tessaly");

  // Pictures come back as IPictureDisp of a bitmap.
  for (bool by_id : {true, false}) {
    Result image = by_id ? CallByName(d, L"ZorelLoadImage", {Text(app32.get())})
                         : CallByName(d, L"ZorelGetImage", {Object(toggle.get())});
    ASSERT_EQ(image.hr, S_OK);
    ASSERT_EQ(image.value.type(), VT_DISPATCH);
    com_ptr<IPicture> picture = com_ptr<IDispatch>(V_DISPATCH(&image.value.get())).as<IPicture>();
    ASSERT_TRUE(picture);
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
  }
  EXPECT_EQ(CallByName(d, L"ZorelLoadImage", {Text(nope.get())}).value.type(), VT_EMPTY);

  // Missing or wrong-typed arguments: an error, and the stored state stays as it was.
  const struct {
    const wchar_t* name;
    std::vector<VARIANT> args;
    HRESULT hr;
  } bad[] = {
      {L"ZorelToggleButtonProc", {Object(toggle.get())}, DISP_E_PARAMNOTFOUND},
      {L"ZorelToggleButtonProc", {Text(app32.get()), PressedRef()}, DISP_E_TYPEMISMATCH},
      {L"ZorelToggleButtonProc", {Object(toggle.get()), Text(app32.get())}, DISP_E_TYPEMISMATCH},
      {L"ZorelButtonProc", {}, DISP_E_PARAMNOTFOUND},
      {L"ZorelGetScreentip", {Text(app32.get())}, DISP_E_TYPEMISMATCH},
      {L"ZorelLoadImage", {Object(toggle.get())}, DISP_E_TYPEMISMATCH},
      {L"ZorelNoSuchCallback", {}, DISP_E_UNKNOWNNAME},
  };
  for (const auto& b : bad) EXPECT_EQ(CallByName(d, b.name, b.args).hr, b.hr) << b.args.size();
  EXPECT_EQ(Setting(L"CalendarDisabled"), disabled);
  EXPECT_EQ(ribbon->invalidated.size(), 1u);

  ASSERT_EQ(addin->OnDisconnection(office::ext_dm_UserClosed, &array), S_OK);
  addin.reset();
  EXPECT_EQ(CanUnload(), S_OK);
}

// Reads the message box the add-in shows and closes it with the Enter key, as a user would.
std::wstring AnswerMessageBox() {
  for (int i = 0; i < 200; ++i) {
    HWND box = FindWindowW(L"#32770", L"Tessaly");
    if (box) {
      wchar_t text[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 1024);
      SetForegroundWindow(box);
      testing::SendKey(VK_RETURN);
      for (int j = 0; j < 100 && IsWindow(box); ++j) Sleep(20);
      if (IsWindow(box)) PostMessageW(box, WM_COMMAND, IDOK, 0);  // the input went elsewhere
      return text;
    }
    Sleep(50);
  }
  return L"<no message box>";
}

TEST_F(ConnectCom, missing_ribbon_file_warns_with_the_system_text) {
  const std::wstring missing = test::AddInDir() + L"nosuch.xml";
  SetSetting(L"RibbonFile", missing);
  SetSetting(L"FirstTimeRun", L"0");
  auto addin = Create();
  unique_safearray custom = Custom(1, 0);
  SAFEARRAY* array = custom.get();
  ASSERT_EQ(addin->OnConnection(app.get(), office::ext_cm_Startup, instance.get(), &array), S_OK);
  std::wstring shown;
  std::thread user([&] { shown = AnswerMessageBox(); });
  const std::wstring xml = CustomUI(addin.get());
  user.join();
  EXPECT_EQ(xml, L"");
  const std::wstring head = L"Warning: Cannot load the following Ribbon XML file: \r\n\r\n" + missing +
                            L"\r\n\r\nError message returned by the system: ";
  EXPECT_EQ(shown.substr(0, head.size()), head);
  EXPECT_GT(shown.size(), head.size());  // the system's own description follows
  addin->OnDisconnection(office::ext_dm_HostShutdown, &array);
}

// Each face answers its own published DISPIDs: 1 is GetCustomUI on the ribbon's, OnConnection on
// the add-in's, where the ribbon's member is unknown.
TEST_F(ConnectCom, each_dual_interface_has_its_own_dispids) {
  auto addin = Create();
  const auto ribbon = addin.as<office::IRibbonExtensibility>();
  ASSERT_TRUE(ribbon);
  LPOLESTR name = const_cast<LPOLESTR>(L"GetCustomUI");
  DISPID id = 0;
  EXPECT_EQ(ribbon->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(addin->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
  name = const_cast<LPOLESTR>(L"OnConnection");
  EXPECT_EQ(addin->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  unique_bstr ribbon_id(std::wstring_view(L"Microsoft.Excel.Workbook"));
  Result xml = CallByName(ribbon.get(), L"GetCustomUI", {Text(ribbon_id.get())});
  EXPECT_EQ(xml.hr, S_OK);
  EXPECT_EQ(xml.value.type(), VT_BSTR);  // no controller yet: an empty description
  EXPECT_EQ(CallByName(ribbon.get(), L"ZorelButtonProc", {}).hr, DISP_E_UNKNOWNNAME);
}

// Excel's side of a reload, in one object: the add-in entry's Application, its COMAddIns, and the
// entry itself, whose Connect releases the add-in object or creates and connects a new one.
struct ReloadHost : DispatchObject<ReloadHost> {
  static const DispatchTable<ReloadHost> kTable;
  com_ptr<office::IDTExtensibility2> addin;
  IDispatch* app = nullptr;  // what OnConnection is given
  std::vector<std::wstring> calls, ribbons;
  bool refuse_unload = false;
  int created = 0;

  void Connect(bool on) {
    calls.push_back(on ? L"on" : L"off");
    if (!on && refuse_unload) throw HostError(static_cast<std::int32_t>(E_FAIL), "refused");
    unique_safearray custom = Custom(1, 0);
    SAFEARRAY* array = custom.get();
    if (!on) {
      addin->OnDisconnection(office::ext_dm_UserClosed, &array);
      addin.reset();
      return;
    }
    ThrowOnFailure(ConnectObject::Create(office::IID_IDTExtensibility2, addin.put_void()));
    ++created;
    ThrowOnFailure(addin->OnConnection(app, office::ext_cm_AfterStartup, this, &array));
    ribbons.push_back(CustomUI(addin.get()));
  }
};
const DispatchMember<ReloadHost> kReloadHostMembers[] = {
    {L"Application", 1, [](ReloadHost& h, DispatchCall& c) { SetResult(c.result, static_cast<IDispatch*>(&h)); }},
    {L"COMAddIns", 2, [](ReloadHost& h, DispatchCall& c) { SetResult(c.result, static_cast<IDispatch*>(&h)); }},
    {L"Item", 3, [](ReloadHost& h, DispatchCall& c) {
       if (c.args.text(0) != L"TESSALY.Connect") throw HostError(9, "Subscript out of range");
       SetResult(c.result, static_cast<IDispatch*>(&h));
     }},
    {L"Connect", 4, [](ReloadHost& h, DispatchCall& c) {
       const VARIANT v = c.args.put_value();
       h.Connect(V_VT(&v) == VT_BOOL && V_BOOL(&v) != VARIANT_FALSE);
     }, kPut},
    {L"ProgId", 5, [](ReloadHost&, DispatchCall& c) { SetResult(c.result, std::wstring(L"TESSALY.Connect")); }},
};
const DispatchTable<ReloadHost> ReloadHost::kTable{kReloadHostMembers};

// The mode switched on a real Connect object, with Win32 timers: the host releases the object
// and connects a new one, which adopts the same controller and reads the other ribbon file.
TEST_F(ConnectCom, changing_the_mode_reloads_through_a_new_object) {
  // This process's own add-in state, with its folder beside the test: the two ribbon files there.
  const std::wstring folder = to_wide(ThisModuleFolder());
  const struct {
    const wchar_t* name;
    const char* xml;
  } files[] = {{L"caltab.xml", "<customUI><!-- tab --></customUI>"}, {L"calgroup.xml", "<customUI><!-- Insert --></customUI>"}};
  for (const auto& f : files) {
    unique_hfile file(CreateFileW((folder + f.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), f.xml, static_cast<DWORD>(strlen(f.xml)), &written, nullptr);
  }
  for (bool refuse : {false, true}) {
    SetUp();
    auto* host = new ReloadHost;
    com_ptr<IDispatch> host_ref = com_ptr<IDispatch>::attach(host);
    host->app = app.get();
    host->refuse_unload = refuse;
    host->Connect(true);
    auto& state = TheAddInState().addin;
    cVantry* controller = state.Controller();
    ASSERT_TRUE(controller);
    std::wstring shown;
    std::thread user;
    if (refuse) user = std::thread([&] { shown = AnswerMessageBox(); });
    controller->RibbonUIType(1);
    testing::Pump(400);  // the thread's timers fire, as in the host's message loop
    if (user.joinable()) user.join();
    EXPECT_EQ(state.Controller(), controller);
    if (refuse) {
      EXPECT_EQ(host->calls, (std::vector<std::wstring>{L"on", L"off"}));
      EXPECT_EQ(shown, L"You have changed the installation mode of Tessaly. Please restart Excel to make the changes take effect.");
      host->refuse_unload = false;
    } else {
      EXPECT_EQ(host->calls, (std::vector<std::wstring>{L"on", L"off", L"on"}));
      EXPECT_EQ(host->created, 2);
      EXPECT_EQ(host->ribbons, (std::vector<std::wstring>{L"<customUI><!-- tab --></customUI>",
                                                          L"<customUI><!-- Insert --></customUI>"}));
    }
    EXPECT_FALSE(state.ReloadPending());  // refused too: the user's turning off takes the add-in down
    EXPECT_EQ(FindWindowW(L"#32770", L"Tessaly"), nullptr);  // shown once at most
    host->Connect(false);
  }
  for (const auto& f : files) DeleteFileW((folder + f.name).c_str());
}

}  // namespace
}  // namespace tessaly::win
