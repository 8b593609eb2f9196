// The connection points of the stand-in's event sources: a sink is advised only through the
// source's own dispinterface, as Excel's objects do.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>

#include "sim/excel_exe/automation_object.h"

namespace tessaly::sim::exe::automation {

// One connection point of an event source: a sink is advised only through the source's own
// dispinterface, and each advised sink gets a bridge that calls it as Excel does. Source names
// the dispinterface, its bridge and where bridges are advised.
template <class Source>
class EventsPoint final : public IConnectionPoint {
 public:
  EventsPoint(IConnectionPointContainer* owner, Source source) : owner_(owner), source_(std::move(source)) {}
  ~EventsPoint() {
    for (const auto& entry : bridges_) {
      try {
        source_.Drop(entry.first);
      } catch (...) {
        // Gone with a restart of the host already.
      }
    }
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  // Lives as long as the object that holds it.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return owner_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = Source::Iid();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override {
    if (!out) return E_POINTER;
    *out = owner_;
    owner_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    com_ptr<IDispatch> events;
    if (FAILED(sink->QueryInterface(Source::Iid(), events.put_void())) || !events) return CONNECT_E_CANNOTCONNECT;
    return win::ComCall([&] {
      auto bridge = std::make_shared<typename Source::Bridge>(source_.h, events);
      const std::int32_t c = source_.Advise(bridge);
      bridges_[c] = std::move(bridge);
      *cookie = static_cast<DWORD>(c);
    });
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    auto it = bridges_.find(static_cast<std::int32_t>(cookie));
    if (it == bridges_.end()) return CONNECT_E_NOCONNECTION;
    return win::ComCall([&] {
      source_.Unadvise(it->first);
      bridges_.erase(it);
    });
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  IConnectionPointContainer* owner_;
  Source source_;
  std::map<std::int32_t, std::shared_ptr<typename Source::Bridge>> bridges_;
};

// An object with one connection point, found only by the source's own dispinterface.
template <class Derived, class Source>
class EventSourceObject : public ExcelObject<Derived>, public IConnectionPointContainer {
 public:
  explicit EventSourceObject(Source source) : point_(this, std::move(source)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (out && riid == IID_IConnectionPointContainer) {
      *out = static_cast<IConnectionPointContainer*>(this);
      AddRef();
      return S_OK;
    }
    return ExcelObject<Derived>::QueryInterface(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ExcelObject<Derived>::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return ExcelObject<Derived>::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != Source::Iid()) return CONNECT_E_NOCONNECTION;
    *out = &point_;
    point_.AddRef();
    return S_OK;
  }

 private:
  EventsPoint<Source> point_;
};

}  // namespace tessaly::sim::exe::automation
