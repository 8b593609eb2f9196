// The recording automation object of the adapter tests.
#include "fake_dispatch.h"

#include <cwchar>
#include <functional>

#include "win/utf.h"

namespace tessaly::win::test {

namespace {

com_ptr<ITypeInfo> make_type_info(const FakeKind& kind) {
  com_ptr<ICreateTypeLib2> library;
  if (FAILED(::CreateTypeLib2(SYS_WIN64, L"fake.tlb", library.put()))) return nullptr;
  com_ptr<ICreateTypeInfo> created;
  std::wstring name = kind.name;
  if (FAILED(library->CreateTypeInfo(name.data(), TKIND_DISPATCH, created.put()))) return nullptr;
  created->SetGuid(kind.guid);
  created->LayOut();
  return created.as<ITypeInfo>(IID_ITypeInfo);
}

std::string describe(const std::wstring& kind, WORD flags, const std::wstring& member, const DISPPARAMS& params, LCID lcid) {
  std::string text = to_utf8(kind) + (flags & DISPATCH_PROPERTYPUT ? ".put " : flags & DISPATCH_METHOD ? ".call " : ".get ");
  text += to_utf8(member) + "(";
  for (UINT i = params.cArgs; i-- > 0;) {  // back into declared order
    const VARIANT& arg = params.rgvarg[i];
    text += V_VT(&arg) == VT_DISPATCH ? std::string("object") : from_variant(arg).to_text();
    if (i) text += ", ";
  }
  text += ")";
  if (lcid != 1033) text += " @" + std::to_string(lcid);
  return text;
}

HRESULT STDMETHODCALLTYPE fill_in(EXCEPINFO* info) {
  info->bstrDescription = ::SysAllocString(L"Filled in later");
  return S_OK;
}

class FakeObject final : public IDispatch {
 public:
  FakeObject(std::shared_ptr<FakeWorld> world, FakeKind kind)
      : world_(std::move(world)), kind_(std::move(kind)), ids_(world_->ids[kind_.name + L"/" + std::to_wstring(kind_.first_id)]) {
    if (kind_.has_type_info) type_info_ = make_type_info(kind_);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = type_info_ ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = type_info_.get();
    if (!*info) return TYPE_E_ELEMENTNOTFOUND;
    (*info)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    ++world_->lookups;
    std::wstring name = names[0];
    if (world_->failures.count(L"?" + name)) return DISP_E_UNKNOWNNAME;
    auto it = ids_.emplace(name, kind_.first_id + static_cast<DISPID>(ids_.size())).first;
    *ids = it->second;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    std::wstring member = L"#" + std::to_wstring(id);
    for (auto& [name, known] : ids_)
      if (known == id) member = name;
    world_->log.push_back(describe(kind_.name, flags, member, *params, lcid));
    if (auto f = world_->failures.find(member); f != world_->failures.end()) {
      if (f->second == DISP_E_EXCEPTION) {
        info->scode = static_cast<SCODE>(0x800A03EC);
        if (world_->deferred_description)
          info->pfnDeferredFillIn = fill_in;
        else
          info->bstrDescription = ::SysAllocString(world_->exception_text.c_str());
      }
      return f->second;
    }
    if (!result) return S_OK;
    if (auto r = world_->results.find(member); r != world_->results.end()) {
      *result = to_variant(r->second).release();
    } else {
      V_VT(result) = VT_DISPATCH;
      // The object a member gives is of a kind named after the member.
      GUID guid{static_cast<unsigned long>(std::hash<std::wstring>()(member)), world_->salt, 0, {}};
      V_DISPATCH(result) = MakeFakeObject(world_, {member, guid}).release();
    }
    return S_OK;
  }

 private:
  ULONG refs_ = 1;
  std::shared_ptr<FakeWorld> world_;
  FakeKind kind_;
  std::map<std::wstring, DISPID>& ids_;
  com_ptr<ITypeInfo> type_info_;
};

}  // namespace

com_ptr<IDispatch> MakeFakeObject(std::shared_ptr<FakeWorld> world, FakeKind kind) {
  return com_ptr<IDispatch>::attach(new FakeObject(std::move(world), std::move(kind)));
}

}  // namespace tessaly::win::test
