// VARIANT and Variant meet: every kind round-trips, Excel's other numeric kinds read as numbers,
// values by reference read through, and what has no Variant form is refused as a type mismatch.
#include <gtest/gtest.h>

#include "support/variants.h"
#include "win/com_error.h"
#include "win/variant_convert.h"

namespace tessaly::win {
namespace {

using testing::Var;

TEST(VariantConvert, EveryKindRoundTrips) {
  const Variant cases[] = {Variant(),
                           Variant::null(),
                           Variant::i2(-7),
                           Variant::i4(70000),
                           Variant::number(1.25),
                           Variant::date(46000.5),
                           Variant::text("Grüße 日付"),
                           Variant::text(""),
                           Variant::boolean(true),
                           Variant::boolean(false),
                           Variant::error(2042),
                           Variant::error(static_cast<std::int32_t>(0x80020004))};
  for (const Variant& v : cases) {
    unique_variant com = to_variant(v);
    EXPECT_EQ(from_variant(com.get()), v) << v.to_text() << " as VT " << com.type();
  }
}

TEST(VariantConvert, ComKindsTheHostUses) {
  unique_variant na = to_variant(Variant::error(2042));
  EXPECT_EQ(V_ERROR(&na.get()), static_cast<SCODE>(0x800A07FA));  // CVErr(xlErrNA)
  unique_variant yes = to_variant(Variant::boolean(true));
  EXPECT_EQ(V_BOOL(&yes.get()), VARIANT_TRUE);

  VARIANT_BOOL pressed = VARIANT_TRUE;
  unique_variant inner = to_variant(Variant::text("x"));
  const std::pair<VARIANT, Variant> reads[] = {
      {Var(VT_CY, LONGLONG{123450}), Variant::number(12.345)},  // 12.345 in a currency-formatted cell
      {Var(VT_DISPATCH, static_cast<IDispatch*>(nullptr)), Variant()},
      {Var(VT_BOOL | VT_BYREF, &pressed), Variant::boolean(true)},
      {Var(VT_VARIANT | VT_BYREF, &inner.get()), Variant::text("x")},
  };
  for (const auto& [com, want] : reads) EXPECT_EQ(from_variant(com), want) << V_VT(&com);
}

TEST(VariantConvert, ArraysAreATypeMismatch) {
  unique_variant array;
  SAFEARRAYBOUND bound{2, 1};
  VARIANT* v = array.put();
  V_ARRAY(v) = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  V_VT(v) = VT_ARRAY | VT_VARIANT;
  try {
    from_variant(array.get());
    ADD_FAILURE() << "an array converted";
  } catch (const HostError& e) {
    EXPECT_EQ(e.number(), DISP_E_TYPEMISMATCH);
    EXPECT_FALSE(std::string(e.what()).empty());
  }
}

// Counts its references; answers QueryInterface for IUnknown only.
class Counted : public IUnknown {
 public:
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown ? this : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(ComHandles, OwnersReleaseOnce) {
  Counted object;
  {
    auto owner = com_ptr<IUnknown>::attach(&object);
    com_ptr<IUnknown> shared = owner;
    EXPECT_EQ(object.refs, 2u);
    com_ptr<IUnknown> same = owner.as<IUnknown>();
    EXPECT_TRUE(same);
    EXPECT_FALSE(owner.as<IDispatch>());
    EXPECT_EQ(object.refs, 3u);
    com_ptr<IUnknown> moved = std::move(shared);
    EXPECT_FALSE(shared);
    EXPECT_EQ(object.refs, 3u);
  }
  EXPECT_EQ(object.refs, 0u);

  unique_variant holder = to_variant(Variant::text("abc"));
  unique_variant moved = std::move(holder);
  EXPECT_EQ(holder.type(), VT_EMPTY);
  EXPECT_EQ(moved.type(), VT_BSTR);
  EXPECT_EQ(unique_bstr(std::wstring_view(L"abc")).view(), L"abc");
  EXPECT_EQ(from_bstr(nullptr), "");
}

}  // namespace
}  // namespace tessaly::win
