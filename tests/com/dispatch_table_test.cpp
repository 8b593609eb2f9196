// The table-driven IDispatch: names, argument order and kinds, results and failures.
#include "win/com/dispatch_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/variants.h"

namespace tessaly::win {
namespace {

using testing::PressedRef;
using testing::Var;

// Joins its text and integer arguments, adds numbers, or fails as the host does.
struct Probe : DispatchObject<Probe> {
  std::wstring last;
  static const DispatchTable<Probe> kTable;
};

const DispatchMember<Probe> kProbeMembers[] = {
    {L"Join", 7, [](Probe& p, DispatchCall& c) {
       p.last = c.args.text(0) + L"/" + std::to_wstring(c.args.integer(1));
       SetResult(c.result, p.last);
     }},
    {L"Flag", 8, [](Probe&, DispatchCall& c) { SetResult(c.result, !c.args.boolean(0)); }},
    {L"Fail", 9, [](Probe&, DispatchCall&) { throw HostError(static_cast<std::int32_t>(0x800A03EC), "no cell"); }},
    {L"Value", 10, [](Probe& p, DispatchCall& c) {
       VARIANT v = c.is_put() ? c.args.put_value() : VARIANT{};
       if (c.is_put()) p.last = std::to_wstring(static_cast<int>(V_R8(&v)));
       else SetResult(c.result, std::int32_t{42});
     }, kGet | kPut},
};
const DispatchTable<Probe> Probe::kTable{kProbeMembers};

// The name's DISPID, and the answer that goes with it: an unknown name is DISP_E_UNKNOWNNAME.
DISPID IdOf(IDispatch& d, const wchar_t* name) {
  LPOLESTR n = const_cast<LPOLESTR>(name);
  DISPID id = 0;
  const HRESULT hr = d.GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
  EXPECT_EQ(hr, id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK) << std::wstring(name).size();
  return id;
}

TEST(dispatch_table_test, names_resolve_without_regard_to_case) {
  Probe p;
  const struct { const wchar_t* name; DISPID id; } cases[] = {
      {L"Join", 7}, {L"join", 7}, {L"FLAG", 8}, {L"vAlUe", 10}, {L"Joins", DISPID_UNKNOWN}, {L"", DISPID_UNKNOWN}};
  for (const auto& c : cases) EXPECT_EQ(IdOf(p, c.name), c.id) << std::wstring(c.name).size();
}

// Arguments in DISPPARAMS order (last first), as a caller builds them.
struct Call {
  DISPID id;
  std::vector<VARIANT> reversed;
  HRESULT hr;
  std::wstring text;  // the result as text (for a put, what the member read), or the exception's description
  UINT arg_err;
  WORD flags = DISPATCH_METHOD;
};

VARIANT Bstr(const wchar_t* s) { return Var(VT_BSTR, SysAllocString(s)); }

TEST(dispatch_table_test, arguments_results_and_failures) {
  const Call calls[] = {
      {7, {Var(VT_I4, 3), Bstr(L"A1")}, S_OK, L"A1/3", 0},
      {7, {Var(VT_R8, 4.0), Bstr(L"B")}, S_OK, L"B/4", 0},  // a whole double is an integer
      {7, {Var(VT_R8, 4.5), Bstr(L"B")}, DISP_E_OVERFLOW, L"", 0},
      {7, {Bstr(L"x"), Bstr(L"B")}, DISP_E_TYPEMISMATCH, L"", 0},
      {7, {Var(VT_I4, 1), Var(VT_I4, 2)}, DISP_E_TYPEMISMATCH, L"", 1},  // first argument sits last in rgvarg
      {7, {Bstr(L"B")}, DISP_E_PARAMNOTFOUND, L"", 99},                   // no slot to point at
      {7, {Var(VT_I4, 3), Var(VT_ERROR, DISP_E_PARAMNOTFOUND)}, DISP_E_PARAMNOTFOUND, L"", 1},
      {8, {PressedRef()}, S_OK, L"0", 0},  // by reference, as Office's toggles
      {8, {Var(VT_BOOL, VARIANT_FALSE)}, S_OK, L"-1", 0},
      {8, {Var(VT_I4, 1)}, DISP_E_TYPEMISMATCH, L"", 0},
      {9, {}, DISP_E_EXCEPTION, L"no cell", 0},
      {11, {}, DISP_E_MEMBERNOTFOUND, L"", 0},
      {10, {Var(VT_R8, 17.0)}, S_OK, L"17", 0, DISPATCH_PROPERTYPUT},  // the value comes as the named argument
      {10, {}, S_OK, L"42", 0, DISPATCH_PROPERTYGET},
  };
  for (const auto& c : calls) {
    Probe p;
    std::vector<VARIANT> args = c.reversed;
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = c.flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{args.data(), is_put ? &put : nullptr, static_cast<UINT>(args.size()), is_put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO ex{};
    UINT arg_err = 99;
    const HRESULT hr = p.Invoke(c.id, IID_NULL, 0, c.flags, &params, is_put ? nullptr : &result, &ex, &arg_err);
    EXPECT_EQ(hr, c.hr) << c.id << " " << c.text.size();
    if (hr == S_OK) {
      VariantChangeType(&result, &result, 0, VT_BSTR);
      EXPECT_EQ(is_put ? p.last : std::wstring(V_BSTR(&result)), c.text);
    } else if (hr == DISP_E_EXCEPTION) {
      EXPECT_EQ(ex.scode, static_cast<HRESULT>(0x800A03EC));
      EXPECT_EQ(std::wstring(ex.bstrDescription), c.text);
      SysFreeString(ex.bstrDescription);
    } else if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) {
      EXPECT_EQ(arg_err, c.arg_err) << c.id;
    }
    VariantClear(&result);
    for (auto& a : args) VariantClear(&a);
  }
}

// A hostile caller: every inconsistency gets its error and nothing is read out of bounds.
TEST(dispatch_table_test, inconsistent_calls_get_an_error) {
  VARIANT_BOOL yes = VARIANT_TRUE;
  VARIANT plain = Var(VT_BOOL, VARIANT_TRUE), nested = Var(VT_BOOL | VT_BYREF, &yes);
  DISPID put = DISPID_PROPERTYPUT, other = 0;
  struct Case {
    const char* name;
    DISPID id;
    WORD flags;
    std::vector<VARIANT> args;
    UINT count, named;
    bool no_args, no_named_ids;
    DISPID* named_id;
    HRESULT hr;
  };
  const Case cases[] = {
      {"more named than all", 8, DISPATCH_METHOD, {plain}, 1, 2, false, false, &put, E_INVALIDARG},
      {"no argument array", 8, DISPATCH_METHOD, {}, 2, 0, true, false, nullptr, E_INVALIDARG},
      {"no named ids", 10, DISPATCH_PROPERTYPUT, {plain}, 1, 1, false, true, nullptr, E_INVALIDARG},
      {"a named argument", 8, DISPATCH_METHOD, {plain}, 1, 1, false, false, &other, DISP_E_NONAMEDARGS},
      {"a put's name on a call", 8, DISPATCH_METHOD, {plain}, 1, 1, false, false, &put, DISP_E_NONAMEDARGS},
      {"another name on a put", 10, DISPATCH_PROPERTYPUT, {plain}, 1, 1, false, false, &other, DISP_E_NONAMEDARGS},
      {"a put on a method", 7, DISPATCH_PROPERTYPUT, {plain}, 1, 1, false, false, &put, DISP_E_MEMBERNOTFOUND},
      {"a call of a property", 10, DISPATCH_METHOD, {}, 0, 0, false, false, nullptr, DISP_E_MEMBERNOTFOUND},
      {"no kind of call", 8, 0, {plain}, 1, 0, false, false, nullptr, DISP_E_MEMBERNOTFOUND},
      {"a put without its value", 10, DISPATCH_PROPERTYPUT, {plain}, 1, 0, false, false, nullptr, DISP_E_PARAMNOTFOUND},
      {"a reference to a reference", 8, DISPATCH_METHOD, {Var(VT_VARIANT | VT_BYREF, &nested)}, 1, 0, false, false,
       nullptr, DISP_E_TYPEMISMATCH},
      {"one reference", 8, DISPATCH_METHOD, {Var(VT_VARIANT | VT_BYREF, &plain)}, 1, 0, false, false, nullptr, S_OK},
      {"a null reference", 8, DISPATCH_METHOD, {Var(VT_BOOL | VT_BYREF, static_cast<VARIANT_BOOL*>(nullptr))}, 1, 0,
       false, false, nullptr, E_POINTER},
  };
  for (const Case& c : cases) {
    Probe p;
    std::vector<VARIANT> args = c.args;
    DISPPARAMS params{c.no_args ? nullptr : args.data(), c.no_named_ids ? nullptr : c.named_id, c.count, c.named};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(p.Invoke(c.id, IID_NULL, 0, c.flags, &params, &result, nullptr, nullptr), c.hr) << c.name;
    VariantClear(&result);
  }
  EXPECT_EQ(Probe().Invoke(8, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace tessaly::win
