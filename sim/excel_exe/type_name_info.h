// The least type information an automation object can give: its class name, which is what a
// caller's TypeName reads (GetDocumentation of the type itself), and a GUID per kind of object
// (GetTypeAttr), by which a caller may keep DISPIDs once per kind as it does with Excel's own
// interfaces. Everything else is not there.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "win/com/com_object.h"

namespace tessaly::sim::exe {

class TypeNameInfo final : public win::ComObject<ITypeInfo, IID_ITypeInfo> {
 public:
  // A new object holding one reference for the caller.
  static ITypeInfo* Create(std::wstring name, const GUID& kind) { return new TypeNameInfo(std::move(name), kind); }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* context,
                                             BSTR* help_file) noexcept override {
    if (id != MEMBERID_NIL) return TYPE_E_ELEMENTNOTFOUND;
    if (name && !(*name = ::SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size())))) return E_OUTOFMEMORY;
    if (doc) *doc = nullptr;
    if (context) *context = 0;
    if (help_file) *help_file = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attr) noexcept override {
    if (!attr) return E_POINTER;
    *attr = static_cast<TYPEATTR*>(::CoTaskMemAlloc(sizeof(TYPEATTR)));
    if (!*attr) return E_OUTOFMEMORY;
    **attr = TYPEATTR{};
    (*attr)->guid = kind_;
    (*attr)->typekind = TKIND_DISPATCH;
    (*attr)->memidConstructor = (*attr)->memidDestructor = MEMBERID_NIL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) noexcept override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attr) noexcept override { ::CoTaskMemFree(attr); }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) noexcept override {}
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) noexcept override {}

 private:
  TypeNameInfo(std::wstring name, const GUID& kind) : name_(std::move(name)), kind_(kind) {}
  std::wstring name_;
  GUID kind_;
};

}  // namespace tessaly::sim::exe
