// Connect's COM faces: the vtable methods and the by-name callbacks meet the portable add-in here.
#include "win/com/connect_object.h"

#include "host/callback_depth.h"
#include "win/this_module.h"
#include "win/excel/excel_objects.h"
#include "win/picture_image.h"
#include "win/utf.h"
#include "win/variant_convert.h"

namespace tessaly::win {

namespace {

enum : DISPID {
  kOnConnection = 1,  // the IDTExtensibility2 members keep their published DISPIDs
  kOnDisconnection,
  kOnAddInsUpdate,
  kOnStartupComplete,
  kOnBeginShutdown,
  kZorelOnLoad = 0x100,
  kZorelToggleButtonProc,
  kZorelToggleButtonGetPressed,
  kZorelButtonProc,
  kZorelLoadImage,
  kZorelGetImage,
  kZorelGetScreentip,
  kZorelGetEnabled,
};

// The control argument as the portable add-in takes it.
std::shared_ptr<IRibbonControl> Control(const DispatchCall& c) { return excel::WrapRibbonControl(c.args.dispatch(0)); }

void SetPicture(VARIANT* result, const ButtonImagePtr& image) {
  const auto* picture = dynamic_cast<const PictureImage*>(image.get());
  if (picture) SetResult(result, picture->Picture());
}

// The custom array argument, which callers may leave out.
SAFEARRAY* OptionalArray(const DispatchCall& c, UINT position) {
  return c.args.has(position) ? c.args.array(position) : nullptr;
}

// Ribbon XML is read as text in the system's code page.
std::wstring FromCodePage(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

const DispatchMember<ConnectObject> kMembers[] = {
    {L"OnConnection", kOnConnection,
     [](ConnectObject& o, DispatchCall& c) {
       SAFEARRAY* custom = OptionalArray(c, 3);
       ThrowOnFailure(o.OnConnection(c.args.dispatch(0), static_cast<office::ext_ConnectMode>(c.args.integer(1)),
                                     c.args.dispatch(2), &custom));
     }, kMethod},
    {L"OnDisconnection", kOnDisconnection,
     [](ConnectObject& o, DispatchCall& c) {
       SAFEARRAY* custom = OptionalArray(c, 1);
       ThrowOnFailure(o.OnDisconnection(static_cast<office::ext_DisconnectMode>(c.args.integer(0)), &custom));
     }, kMethod},
    {L"OnAddInsUpdate", kOnAddInsUpdate, [](ConnectObject&, DispatchCall&) {}, kMethod},
    {L"OnStartupComplete", kOnStartupComplete, [](ConnectObject&, DispatchCall&) {}, kMethod},
    {L"OnBeginShutdown", kOnBeginShutdown, [](ConnectObject&, DispatchCall&) {}, kMethod},
    {L"ZorelOnLoad", kZorelOnLoad,
     [](ConnectObject& o, DispatchCall& c) { o.AddIn().ZorelOnLoad(excel::WrapRibbonUI(c.args.dispatch(0))); }, kMethod},
    {L"ZorelToggleButtonProc", kZorelToggleButtonProc,
     [](ConnectObject& o, DispatchCall& c) {
       const auto control = Control(c);
       const bool pressed = c.args.boolean(1);
       o.AddIn().ZorelToggleButtonProc(*control, pressed);
     }, kMethod},
    {L"ZorelToggleButtonGetPressed", kZorelToggleButtonGetPressed,
     [](ConnectObject& o, DispatchCall& c) { SetResult(c.result, o.AddIn().ZorelToggleButtonGetPressed(*Control(c))); }, kMethod},
    {L"ZorelButtonProc", kZorelButtonProc,
     [](ConnectObject& o, DispatchCall& c) { o.AddIn().ZorelButtonProc(*Control(c)); }, kMethod},
    {L"ZorelLoadImage", kZorelLoadImage,
     [](ConnectObject& o, DispatchCall& c) { SetPicture(c.result, o.AddIn().ZorelLoadImage(to_utf8(c.args.text(0)))); }, kMethod},
    {L"ZorelGetImage", kZorelGetImage,
     [](ConnectObject& o, DispatchCall& c) { SetPicture(c.result, o.AddIn().ZorelGetImage(*Control(c))); }, kMethod},
    {L"ZorelGetScreentip", kZorelGetScreentip,
     [](ConnectObject& o, DispatchCall& c) { SetResult(c.result, to_wide(o.AddIn().ZorelGetScreentip(*Control(c)))); }, kMethod},
    {L"ZorelGetEnabled", kZorelGetEnabled,
     [](ConnectObject& o, DispatchCall& c) { SetResult(c.result, o.AddIn().ZorelGetEnabled(*Control(c))); }, kMethod},
};

// IRibbonExtensibility's one member, with its published DISPID.
const DispatchMember<ConnectObject> kRibbonMembers[] = {
    {L"GetCustomUI", 1,
     [](ConnectObject& o, DispatchCall& c) {
       const std::string id = to_utf8(c.args.text(0));
       SetResult(c.result, FromCodePage(o.AddIn().GetCustomUI(id)));
     }, kMethod},
};

std::vector<Variant> CustomOf(SAFEARRAY** custom) { return custom ? CustomArrayValues(*custom) : std::vector<Variant>{}; }

// The host's call through a face's IDispatch, with the object held for the call: a member may
// make the host release it (a disconnection) before it returns.
HRESULT InvokeOn(const DispatchTable<ConnectObject>& table, ConnectObject& o, DISPID id, REFIID riid, WORD flags,
                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* arg_err) noexcept {
  o.AddRef();
  HRESULT hr;
  {
    CallbackScope call;
    hr = table.Invoke(o, id, riid, flags, params, result, excep, arg_err);
  }
  o.Release();
  return hr;
}

AddInState* g_state = nullptr;

}  // namespace

const DispatchTable<ConnectObject> ConnectObject::kTable{kMembers};
const DispatchTable<ConnectObject> ConnectObject::kRibbonTable{kRibbonMembers};

AddInState& TheAddInState() {
  if (!g_state) {
    // Never unloaded from here on: see the header. FreeLibrary on a pinned module does nothing.
    HMODULE pinned = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&TheAddInState), &pinned);
    g_state = new AddInState(ThisModule(), ThisModuleFolder());  // lives until the process ends
  }
  return *g_state;
}

bool AddInStateBusy() noexcept { return g_state && (g_state->addin.ReloadPending() || g_state->addin.TeardownPending()); }

HRESULT ExtensibilityFace::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  return ConnectObject::kTable.GetIDsOfNames(riid, names, count, ids);
}
HRESULT ExtensibilityFace::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* excep, UINT* arg_err) noexcept {
  return InvokeOn(ConnectObject::kTable, static_cast<ConnectObject&>(*this), id, riid, flags, params, result, excep,
                  arg_err);
}
HRESULT RibbonFace::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  return ConnectObject::kRibbonTable.GetIDsOfNames(riid, names, count, ids);
}
HRESULT RibbonFace::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excep, UINT* arg_err) noexcept {
  return InvokeOn(ConnectObject::kRibbonTable, static_cast<ConnectObject&>(*this), id, riid, flags, params, result,
                  excep, arg_err);
}

std::vector<Variant> CustomArrayValues(SAFEARRAY* custom) {
  std::vector<Variant> values;
  if (!custom) return values;
  // What cannot be read might say "started by automation": it must not count as a user's start.
  const std::vector<Variant> unreadable{Variant::error(DISP_E_BADVARTYPE)};
  VARTYPE vt = VT_EMPTY;
  LONG low = 0, high = -1;
  if (SafeArrayGetDim(custom) != 1 || FAILED(SafeArrayGetVartype(custom, &vt)) || vt != VT_VARIANT ||
      FAILED(SafeArrayGetLBound(custom, 1, &low)) || FAILED(SafeArrayGetUBound(custom, 1, &high)))
    return unreadable;
  for (LONG i = low; i <= high; ++i) {
    unique_variant element;
    if (FAILED(SafeArrayGetElement(custom, &i, element.put()))) return unreadable;
    try {
      values.push_back(from_variant(element.get()));
    } catch (const HostError&) {
      values.emplace_back();
    }
  }
  return values;
}

HRESULT ConnectObject::Create(REFIID riid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ComCall([&] {
    auto* object = new ConnectObject(TheAddInState());
    const HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
  });
}

HRESULT ConnectObject::QueryInterface(REFIID riid, void** out) noexcept {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == office::IID_IDTExtensibility2)
    *out = static_cast<ExtensibilityFace*>(this);
  else if (riid == office::IID_IRibbonExtensibility)
    *out = static_cast<RibbonFace*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ConnectObject::AddRef() noexcept { return ++refs_; }

ULONG ConnectObject::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT ConnectObject::GetTypeInfoCount(UINT* count) noexcept { return kTable.GetTypeInfoCount(count); }
HRESULT ConnectObject::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept {
  return kTable.GetTypeInfo(index, lcid, info);
}

HRESULT ConnectObject::OnConnection(IDispatch* Application, office::ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                    SAFEARRAY** custom) noexcept {
  CallbackScope call;
  return ComCall([&] {
    AddIn().OnConnection(excel::WrapExcelApplication(Application), ConnectMode, excel::WrapAddInInstance(AddInInst),
                         CustomOf(custom));
    state_.services.SetHostWindow([&m = AddIn().Module()] { return reinterpret_cast<HWND>(m.ExcelMainWindow); });
  });
}

HRESULT ConnectObject::OnDisconnection(office::ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept {
  CallbackScope call;
  return ComCall([&] { AddIn().OnDisconnection(RemoveMode, CustomOf(custom)); });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) noexcept { return S_OK; }
HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) noexcept { return S_OK; }
HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) noexcept { return S_OK; }

HRESULT ConnectObject::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept {
  if (!RibbonXml) return E_POINTER;
  *RibbonXml = nullptr;
  CallbackScope call;
  return ComCall([&] {
    const std::wstring xml = FromCodePage(AddIn().GetCustomUI(from_bstr(RibbonID)));
    *RibbonXml = SysAllocStringLen(xml.data(), static_cast<UINT>(xml.size()));
    if (!*RibbonXml) throw ComError(E_OUTOFMEMORY);
  });
}

}  // namespace tessaly::win
