// What every automation object of the stand-in shares: TypeName through its type information, the
// reading of arguments, the ways a member hands back a result, and the object of each family that
// the other families hand back.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <utility>

#include "sim/excel_exe/excel_objects.h"
#include "sim/excel_exe/type_name_info.h"
#include "win/com/com_result.h"
#include "win/com/dispatch_table.h"
#include "win/utf.h"
#include "win/variant_convert.h"

namespace tessaly::sim::exe::automation {

using win::com_ptr;
using win::DispatchCall;
using win::DispatchMember;
using win::DispatchTable;
using HostPtr = std::shared_ptr<ExcelHost>;

// Every object answers TypeName through its type information, as Excel's objects do.
template <class Derived>
class ExcelObject : public win::DispatchObject<Derived> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return win::ComCall([&] { *info = TypeNameInfo::Create(win::to_wide(static_cast<Derived*>(this)->TypeName()), Kind()); });
  }

 private:
  // One GUID per class of this process: objects of one class share their member table, so a
  // caller may keep the DISPIDs it learnt; two classes with one type name ("Range") never do.
  static GUID Kind() {
    const auto table = reinterpret_cast<std::uint64_t>(&Derived::kTable);
    GUID g{0x7e55a1a0, 0x5c1e, 0x4d2b, {}};
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<unsigned char>(table >> (8 * i));
    return g;
  }
};

template <class T, class... A>
inline void ReturnObject(VARIANT* result, A&&... a) {
  auto p = com_ptr<IDispatch>::attach(new T(std::forward<A>(a)...));
  win::SetResult(result, p.get());
}
inline void ReturnNothing(VARIANT* result) { win::SetResult(result, static_cast<IDispatch*>(nullptr)); }
inline void ReturnText(VARIANT* result, const std::string& text) { win::SetResult(result, win::to_wide(text)); }
inline void ReturnVariant(VARIANT* result, const Variant& v) {
  if (!result) return;
  win::unique_variant u = win::to_variant(v);
  ::VariantClear(result);
  *result = u.release();
}
inline Variant PutValue(const DispatchCall& c) { return win::from_variant(c.args.put_value()); }
inline std::string Text(const DispatchCall& c, UINT position) { return win::to_utf8(c.args.text(position)); }

// An optional argument read as Automation coerces it: missing gives the default.
inline bool OptionalBool(const DispatchCall& c, UINT position, bool fallback) {
  if (!c.args.has(position)) return fallback;
  const VARIANT v = c.args.value(position);
  return V_VT(&v) == VT_BOOL ? V_BOOL(&v) != VARIANT_FALSE : c.args.number(position) != 0;
}
inline std::int32_t OptionalInt(const DispatchCall& c, UINT position, std::int32_t fallback) {
  return c.args.has(position) ? c.args.integer(position) : fallback;
}

// The objects each family makes for the others; never null, even over a null model object.
com_ptr<IDispatch> RangeObject(const HostPtr& h, RangePtr range);
com_ptr<IDispatch> SheetObject(const HostPtr& h, SheetPtr sheet);
com_ptr<IDispatch> BookObject(const HostPtr& h, WorkbookPtr book);
com_ptr<IDispatch> WorkbooksObject(const HostPtr& h);
com_ptr<IDispatch> WindowObject(const HostPtr& h, ExcelWindowPtr window);
com_ptr<IDispatch> WindowsObject(const HostPtr& h);  // Application.Windows
com_ptr<IDispatch> CommandBarObject(const HostPtr& h, CommandBarPtr bar);
com_ptr<IDispatch> CommandBarsObject(const HostPtr& h);

// The object, or Nothing for a null one.
void ReturnRange(VARIANT* r, const HostPtr& h, RangePtr range);
void ReturnSheet(VARIANT* r, const HostPtr& h, SheetPtr sheet);
void ReturnBook(VARIANT* r, const HostPtr& h, WorkbookPtr book);
void ReturnWindow(VARIANT* r, const HostPtr& h, ExcelWindowPtr window);
// Windows(index) of every workbook (an empty name) or of one: by number, the active window first,
// or by caption ("Book1.xlsx:2").
void ReturnWindowsItem(VARIANT* r, const HostPtr& h, const std::string& book, const DispatchCall& c);
// The selection: a range, or a chart or shape that answers a range's member only as a range.
void ReturnSelection(VARIANT* r, const HostPtr& h, HostObjectPtr selection);

}  // namespace tessaly::sim::exe::automation
