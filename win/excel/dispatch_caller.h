// Late-bound calls into an automation object: members by name, DISPIDs looked up once per name per
// object kind, arguments in the member's declared order, every failure thrown as HostError.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "host/variant.h"
#include "win/com_handles.h"

namespace tessaly::win::excel {

// Every call is made in English (US), as the object model's member names and formats are.
inline constexpr LCID kCallLocale = 1033;

// One argument of a call, converted to a VARIANT when it is made.
class Arg {
 public:
  Arg(std::int32_t v);
  Arg(bool v);
  Arg(double v);
  Arg(const char* utf8) : Arg(std::string_view(utf8)) {}
  Arg(std::string_view utf8);
  Arg(const std::string& utf8) : Arg(std::string_view(utf8)) {}
  Arg(const Variant& v);
  Arg(IDispatch* object);
  // An optional argument left out, as a caller that omits it passes it.
  static Arg Missing();
  const VARIANT& get() const { return value_.get(); }

 private:
  Arg() = default;
  unique_variant value_;
};
using Args = std::initializer_list<Arg>;

// An object of the host reached through IDispatch. A null object throws HostError on every call.
class AutomationObject {
 public:
  AutomationObject() = default;
  explicit AutomationObject(com_ptr<IDispatch> object) : object_(std::move(object)) {}

  IDispatch* get() const { return object_.get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }

  // Property read (DISPATCH_PROPERTYGET), with the property's arguments if it takes any.
  unique_variant Get(std::wstring_view name, Args args = {}, LCID locale = kCallLocale) const;
  // Property write (DISPATCH_PROPERTYPUT of value after the property's arguments).
  void Put(std::wstring_view name, const Arg& value) const;
  // Method call (DISPATCH_METHOD); its result, empty when it has none.
  unique_variant Call(std::wstring_view name, Args args = {}) const;

  // The DISPID of a member: from the cache shared by objects of one kind, or asked once.
  DISPID IdOf(std::wstring_view name) const;
  // The object's class name from its type information ("Range", "Worksheet"), asked once.
  std::string TypeName() const;

 private:
  // What objects of one kind share: their type information's GUID. A type name alone is no kind:
  // objects of one name may number their members differently (Excel's Range and a sheet's Cells
  // collection are both "Range" in some hosts).
  struct Kind {
    GUID guid{};
    bool known = false;
    com_ptr<ITypeInfo> info;  // asked once per object: it also gives the type name
  };
  unique_variant Invoke(std::wstring_view name, WORD flags, Args args, const Arg* value, LCID locale) const;
  const Kind& kind() const;

  com_ptr<IDispatch> object_;
  mutable Kind kind_;
  mutable std::string type_name_;
  // Objects without type information cannot be told apart by kind: their DISPIDs stay with them.
  mutable std::map<std::wstring, DISPID, std::less<>> own_ids_;
};

// Results read as the type the member returns; anything else throws HostError (type mismatch).
std::int32_t ToInt(const unique_variant& v);
double ToDouble(const unique_variant& v);
bool ToBool(const unique_variant& v);
std::string ToText(const unique_variant& v);
// An object result; null for Nothing.
com_ptr<IDispatch> ToObject(const unique_variant& v);

// Count of GetIDsOfNames calls made by all objects, for benchmarks.
std::uint64_t NameLookups();

}  // namespace tessaly::win::excel
