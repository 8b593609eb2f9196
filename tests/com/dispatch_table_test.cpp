// The table-driven IDispatch: names, argument order and kinds, results and failures.
#include "win/com/dispatch_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly::win {
namespace {

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
     }},
};
const DispatchTable<Probe> Probe::kTable{kProbeMembers};

DISPID IdOf(IDispatch& d, const wchar_t* name) {
  LPOLESTR n = const_cast<LPOLESTR>(name);
  DISPID id = 0;
  d.GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

TEST(dispatch_table_test, names_resolve_without_regard_to_case) {
  Probe p;
  const struct { const wchar_t* name; DISPID id; } cases[] = {
      {L"Join", 7}, {L"join", 7}, {L"FLAG", 8}, {L"vAlUe", 10}, {L"Joins", DISPID_UNKNOWN}, {L"", DISPID_UNKNOWN}};
  for (const auto& c : cases) EXPECT_EQ(IdOf(p, c.name), c.id) << std::wstring(c.name).size();
  LPOLESTR unknown = const_cast<LPOLESTR>(L"Nope");
  DISPID id = 0;
  EXPECT_EQ(p.GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

// Arguments in DISPPARAMS order (last first), as a caller builds them.
struct Call {
  DISPID id;
  std::vector<VARIANT> reversed;
  HRESULT hr;
  std::wstring text;  // the result as text, or the exception's description
  UINT arg_err;
};

VARIANT Bstr(const wchar_t* s) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = SysAllocString(s); return v; }
VARIANT I4(LONG n) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_I4; V_I4(&v) = n; return v; }
VARIANT R8(double d) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_R8; V_R8(&v) = d; return v; }
VARIANT Missing() { VARIANT v; VariantInit(&v); V_VT(&v) = VT_ERROR; V_ERROR(&v) = DISP_E_PARAMNOTFOUND; return v; }
VARIANT_BOOL g_pressed = VARIANT_TRUE;
VARIANT BoolRef() { VARIANT v; VariantInit(&v); V_VT(&v) = VT_BOOL | VT_BYREF; V_BOOLREF(&v) = &g_pressed; return v; }
VARIANT BoolVal(bool b) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_BOOL; V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE; return v; }

TEST(dispatch_table_test, arguments_results_and_failures) {
  const Call calls[] = {
      {7, {I4(3), Bstr(L"A1")}, S_OK, L"A1/3", 0},
      {7, {R8(4.0), Bstr(L"B")}, S_OK, L"B/4", 0},           // a whole double is an integer
      {7, {R8(4.5), Bstr(L"B")}, DISP_E_OVERFLOW, L"", 0},
      {7, {Bstr(L"x"), Bstr(L"B")}, DISP_E_TYPEMISMATCH, L"", 0},
      {7, {I4(1), I4(2)}, DISP_E_TYPEMISMATCH, L"", 1},       // first argument sits last in rgvarg
      {7, {Bstr(L"B")}, DISP_E_PARAMNOTFOUND, L"", 99},      // no slot to point at
      {7, {I4(3), Missing()}, DISP_E_PARAMNOTFOUND, L"", 1},
      {8, {BoolRef()}, S_OK, L"0", 0},                        // by reference, as Office's toggles
      {8, {BoolVal(false)}, S_OK, L"-1", 0},
      {8, {I4(1)}, DISP_E_TYPEMISMATCH, L"", 0},
      {9, {}, DISP_E_EXCEPTION, L"no cell", 0},
      {11, {}, DISP_E_MEMBERNOTFOUND, L"", 0},
  };
  for (const auto& c : calls) {
    Probe p;
    std::vector<VARIANT> args = c.reversed;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO ex{};
    UINT arg_err = 99;
    const HRESULT hr = p.Invoke(c.id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &ex, &arg_err);
    EXPECT_EQ(hr, c.hr) << c.id << " " << c.text.size();
    if (hr == S_OK) {
      VariantChangeType(&result, &result, 0, VT_BSTR);
      EXPECT_EQ(std::wstring(V_BSTR(&result)), c.text);
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

TEST(dispatch_table_test, property_put_reads_the_named_value) {
  Probe p;
  VARIANT value = R8(17);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &put, 1, 1};
  ASSERT_EQ(p.Invoke(10, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(p.last, L"17");
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(p.Invoke(10, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(V_I4(&result), 42);
}

}  // namespace
}  // namespace tessaly::win
