// Registering and unregistering the add-in class: the table's values, twice over, read-only keys,
// and the DLL's own entry points against the user's classes.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/com/com_test_support.h"
#include "win/com/com_result.h"
#include "win/com/server_registration.h"
#include "win/handles.h"

namespace tessaly::win {
namespace {

using test::Snapshot;

constexpr wchar_t kScratch[] = L"Software\\TessalyTest\\Classes";

struct Scratch {
  Scratch() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TessalyTest");
    RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS | OwnRegistryView(), nullptr, key.put(),
                    nullptr);
  }
  ~Scratch() {
    key.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TessalyTest");
  }
  unique_hkey key;
};

TEST(server_registration, writes_the_table_and_removes_it_whole) {
  Scratch scratch;
  unique_hkey clsid;  // the container every class shares: it stays, even when left empty
  RegCreateKeyExW(scratch.key.get(), L"CLSID", 0, nullptr, 0, KEY_READ | OwnRegistryView(), nullptr, clsid.put(), nullptr);
  const auto before = Snapshot(HKEY_CURRENT_USER, kScratch, OwnRegistryView());
  RegisterServer(scratch.key.get(), L"C:\\Add-ins\\Tessaly.dll");
  const auto once = Snapshot(HKEY_CURRENT_USER, kScratch, OwnRegistryView());
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"CLSID\\{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}\\InprocServer32\\", L"C:\\Add-ins\\Tessaly.dll"},
      {L"CLSID\\{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}\\InprocServer32\\ThreadingModel", L"Apartment"},
      {L"CLSID\\{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}\\ProgID\\", L"TESSALY.Connect.1"},
      {L"CLSID\\{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}\\VersionIndependentProgID\\", L"TESSALY.Connect"},
      {L"TESSALY.Connect\\CLSID\\", L"{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}"},
      {L"TESSALY.Connect\\CurVer\\", L"TESSALY.Connect.1"},
      {L"TESSALY.Connect.1\\CLSID\\", L"{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}"},
  };
  for (const auto& [name, data] : expected) {
    ASSERT_TRUE(once.count(name)) << std::wstring(name).size();
    EXPECT_EQ(once.at(name), data);
  }
  EXPECT_EQ(std::count_if(once.begin(), once.end(), [](const auto& v) { return !v.first.ends_with(L"<key>"); }),
            std::ssize(ConnectRegistryEntries()));
  RegisterServer(scratch.key.get(), L"C:\\Add-ins\\Tessaly.dll");
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, kScratch, OwnRegistryView()), once);
  UnregisterServer(scratch.key.get());
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, kScratch, OwnRegistryView()), before);
  UnregisterServer(scratch.key.get());  // nothing left to remove is no failure
}

TEST(server_registration, keys_that_cannot_be_written_fail_with_an_hresult) {
  const struct {
    const char* name;
    REGSAM access;
    bool deleted;  // the key is deleted under the open handle
    HRESULT hr;
    bool wine_differs;
  } cases[] = {
      // Wine does not check the parent handle's rights when a subkey is created through it, so
      // registering through a read-only handle succeeds there; Windows refuses it.
      {"read-only", KEY_READ, false, E_ACCESSDENIED, true},
      {"deleted", KEY_ALL_ACCESS, true, HRESULT_FROM_WIN32(ERROR_KEY_DELETED), false},
  };
  for (const auto& c : cases) {
    Scratch scratch;
    unique_hkey root;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kScratch, 0, c.access | OwnRegistryView(), root.put()), ERROR_SUCCESS);
    if (c.deleted) RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TessalyTest");
    const HRESULT hr = ComCall([&] { RegisterServer(root.get(), L"C:\\Tessaly.dll"); });
    if (c.wine_differs && test::UnderWine()) {
      EXPECT_EQ(hr, S_OK) << c.name << ": Wine now refuses it; drop the mark";
      continue;
    }
    EXPECT_EQ(hr, c.hr) << c.name;
    EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, kScratch, OwnRegistryView()).count(L"CLSID\\<key>"), 0u) << c.name;
  }
}

TEST(server_registration, dll_entry_points_leave_the_user_classes_as_before) {
  using Entry = HRESULT(STDAPICALLTYPE*)();
  const auto reg = test::Export<Entry>("DllRegisterServer");
  const auto unreg = test::Export<Entry>("DllUnregisterServer");
  ASSERT_TRUE(reg && unreg && test::Export<Entry>("DllCanUnloadNow") && test::Export<Entry>("DllGetClassObject"));
  const std::wstring clsid = std::wstring(L"Software\\Classes\\CLSID\\") + kConnectClsid;
  unreg();  // a registration left over from an earlier run would spoil the comparison
  // The user's CLSID key is everyone's: even empty, it stays.
  unique_hkey shared;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID", 0, nullptr, 0, KEY_READ | OwnRegistryView(),
                            nullptr, shared.put(), nullptr),
            ERROR_SUCCESS);
  const auto before = Snapshot(HKEY_CURRENT_USER, L"Software\\Classes", OwnRegistryView());
  ASSERT_EQ(reg(), S_OK);
  ASSERT_EQ(reg(), S_OK);
  const auto server = Snapshot(HKEY_CURRENT_USER, clsid + L"\\InprocServer32", OwnRegistryView());
  EXPECT_EQ(server.at(L""), test::AddInDir() + L"Tessaly.dll");
  ASSERT_EQ(unreg(), S_OK);
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, clsid, OwnRegistryView()).size(), 0u);
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, L"Software\\Classes", OwnRegistryView()), before);
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID", OwnRegistryView()).count(L"<key>"), 1u);
}

}  // namespace
}  // namespace tessaly::win
