// Late-bound calls: the DISPID cache, argument order and failures as HostError.
#include "win/excel/dispatch_caller.h"

#include <cstring>
#include <vector>

#include "win/com_error.h"
#include "win/utf.h"
#include "win/variant_convert.h"

namespace tessaly::win::excel {

namespace {

struct CacheKey {
  GUID guid;
  std::wstring member;
  bool operator<(const CacheKey& o) const {
    int c = std::memcmp(&guid, &o.guid, sizeof guid);
    return c != 0 ? c < 0 : member < o.member;
  }
};

// DISPIDs by object kind (its type information's GUID) and member name. The host's objects are
// used on its user-interface thread only.
std::map<CacheKey, DISPID>& shared_ids() {
  static std::map<CacheKey, DISPID> ids;
  return ids;
}

std::uint64_t g_lookups = 0;

DISPID look_up(IDispatch* object, std::wstring_view name) {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  ++g_lookups;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, kCallLocale, &id);
  if (FAILED(hr)) throw com_error(hr, {}, to_utf8(name));
  return id;
}

// The failure of an Invoke with the description the object gave, when it gave one.
HostError invoke_error(HRESULT hr, EXCEPINFO& info, std::wstring_view member) {
  const std::string context = to_utf8(member);
  if (hr != DISP_E_EXCEPTION) return com_error(hr, {}, context);
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  unique_bstr description(info.bstrDescription), source(info.bstrSource), help(info.bstrHelpFile);
  HRESULT code = info.scode ? info.scode : (info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode) : hr);
  return com_error(code, description.view(), context);
}

com_ptr<IDispatch> object_or_throw(const com_ptr<IDispatch>& object) {
  if (!object) throw com_error(E_POINTER);
  return object;
}

unique_variant converted(const unique_variant& v, VARTYPE type) {
  unique_variant out;
  HRESULT hr = ::VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&v.get()), kCallLocale, 0, type);
  if (FAILED(hr)) throw com_error(hr);
  return out;
}

}  // namespace

Arg::Arg(std::int32_t v) {
  VARIANT* p = value_.put();
  V_VT(p) = VT_I4;
  V_I4(p) = v;
}
Arg::Arg(bool v) {
  VARIANT* p = value_.put();
  V_VT(p) = VT_BOOL;
  V_BOOL(p) = v ? VARIANT_TRUE : VARIANT_FALSE;
}
Arg::Arg(double v) {
  VARIANT* p = value_.put();
  V_VT(p) = VT_R8;
  V_R8(p) = v;
}
Arg::Arg(std::string_view utf8) {
  VARIANT* p = value_.put();
  V_BSTR(p) = to_bstr(utf8).release();
  V_VT(p) = VT_BSTR;
}
Arg::Arg(const Variant& v) : value_(to_variant(v)) {}
Arg Arg::Missing() {
  Arg a;
  VARIANT* p = a.value_.put();
  V_VT(p) = VT_ERROR;
  V_ERROR(p) = DISP_E_PARAMNOTFOUND;
  return a;
}
Arg::Arg(IDispatch* object) {
  VARIANT* p = value_.put();
  V_VT(p) = VT_DISPATCH;
  V_DISPATCH(p) = object;
  if (object) object->AddRef();
}

const AutomationObject::Kind& AutomationObject::kind() const {
  if (kind_.known) return kind_;
  kind_.known = true;
  UINT count = 0;
  if (FAILED(object_->GetTypeInfoCount(&count)) || count == 0 ||
      FAILED(object_->GetTypeInfo(0, kCallLocale, kind_.info.put())) || !kind_.info)
    return kind_;
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(kind_.info->GetTypeAttr(&attr)) && attr) {
    kind_.guid = attr->guid;
    kind_.info->ReleaseTypeAttr(attr);
  }
  return kind_;
}

DISPID AutomationObject::IdOf(std::wstring_view name) const {
  object_or_throw(object_);
  const Kind& k = kind();
  if (k.guid == GUID_NULL) {
    if (auto it = own_ids_.find(name); it != own_ids_.end()) return it->second;
    return own_ids_.emplace(std::wstring(name), look_up(object_.get(), name)).first->second;
  }
  CacheKey key{k.guid, std::wstring(name)};
  auto& ids = shared_ids();
  if (auto it = ids.find(key); it != ids.end()) return it->second;
  DISPID id = look_up(object_.get(), name);
  ids.emplace(std::move(key), id);
  return id;
}

std::string AutomationObject::TypeName() const {
  object_or_throw(object_);
  if (!type_name_.empty()) return type_name_;
  const com_ptr<ITypeInfo>& info = kind().info;
  if (!info) throw com_error(TYPE_E_ELEMENTNOTFOUND, {}, "TypeName");
  unique_bstr name;
  HRESULT hr = info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  if (FAILED(hr)) throw com_error(hr, {}, "TypeName");
  type_name_ = from_bstr(name.get());
  return type_name_;
}

unique_variant AutomationObject::Invoke(std::wstring_view name, WORD flags, Args args, const Arg* value,
                                      LCID locale) const {
  DISPID id = IdOf(name);
  // DISPPARAMS holds the arguments last-first; a property's new value comes after all of them.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size() + 1);
  if (value) reversed.push_back(value->get());
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(it->get());
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), value ? &put_id : nullptr, static_cast<UINT>(reversed.size()), value ? 1u : 0u};
  unique_variant result;
  EXCEPINFO info{};
  UINT bad_arg = 0;
  HRESULT hr = object_->Invoke(id, IID_NULL, locale, flags, &params, value ? nullptr : result.put(), &info, &bad_arg);
  if (FAILED(hr)) throw invoke_error(hr, info, name);
  return result;
}

unique_variant AutomationObject::Get(std::wstring_view name, Args args, LCID locale) const {
  return Invoke(name, DISPATCH_PROPERTYGET, args, nullptr, locale);
}

void AutomationObject::Put(std::wstring_view name, const Arg& value) const { Invoke(name, DISPATCH_PROPERTYPUT, {}, &value, kCallLocale); }

unique_variant AutomationObject::Call(std::wstring_view name, Args args) const {
  return Invoke(name, DISPATCH_METHOD, args, nullptr, kCallLocale);
}

std::int32_t ToInt(const unique_variant& v) { return V_I4(&converted(v, VT_I4).get()); }
double ToDouble(const unique_variant& v) { return V_R8(&converted(v, VT_R8).get()); }
bool ToBool(const unique_variant& v) { return V_BOOL(&converted(v, VT_BOOL).get()) != VARIANT_FALSE; }

std::string ToText(const unique_variant& v) {
  if (v.type() != VT_BSTR) throw com_error(DISP_E_TYPEMISMATCH);
  return from_bstr(V_BSTR(&v.get()));
}

com_ptr<IDispatch> ToObject(const unique_variant& v) {
  switch (v.type()) {
    case VT_EMPTY: return nullptr;
    case VT_DISPATCH: return com_ptr<IDispatch>(V_DISPATCH(&v.get()));
    case VT_UNKNOWN: {
      IUnknown* u = V_UNKNOWN(&v.get());
      if (!u) return nullptr;
      com_ptr<IDispatch> d;
      check_hr(u->QueryInterface(IID_IDispatch, d.put_void()));
      return d;
    }
    default: throw com_error(DISP_E_TYPEMISMATCH);
  }
}

std::uint64_t NameLookups() { return g_lookups; }

}  // namespace tessaly::win::excel
