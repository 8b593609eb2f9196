// A small automation object for the adapter tests: answers any member by name, records each call
// in a log shared with the objects it hands out, and returns what the test set for the member.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/variant.h"
#include "win/com_handles.h"
#include "win/variant_convert.h"

namespace tessaly::win::test {

inline unsigned short NextWorldSalt() {
  static unsigned short salt = 0;
  return ++salt;
}

// What the objects of one test share: the call log, the preset results and failures.
struct FakeWorld {
  std::vector<std::string> log;  // "Cells.get Item(4, 5)", "Version.get Version() @1031"
  std::map<std::wstring, Variant> results;  // by member; other members give a new object
  std::map<std::wstring, HRESULT> failures;  // by member
  std::wstring exception_text;  // EXCEPINFO description of a DISP_E_EXCEPTION failure
  bool deferred_description = false;
  int lookups = 0;  // GetIDsOfNames calls
  // DISPIDs handed out, by kind name and first DISPID, and member: objects of one kind agree on them.
  std::map<std::wstring, std::map<std::wstring, DISPID>> ids;
  // Kinds of this world differ from those of earlier ones, whose DISPIDs the adapters have cached.
  unsigned short salt = NextWorldSalt();
};

// A kind of object: its type name and GUID (or no type information at all), and where its
// DISPIDs start.
struct FakeKind {
  std::wstring name;
  GUID guid;
  bool has_type_info = true;
  DISPID first_id = 100;
};

com_ptr<IDispatch> MakeFakeObject(std::shared_ptr<FakeWorld> world, FakeKind kind);

}  // namespace tessaly::win::test
