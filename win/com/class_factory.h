// The DLL's creatable classes as a table {clsid, create}, their class factories, and the
// object and lock counts that decide when the DLL may be unloaded.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace tessaly::win {

struct ClassEntry {
  const CLSID* clsid;
  HRESULT (*create)(REFIID riid, void** out) noexcept;
};

std::span<const ClassEntry> CreatableClasses();

// DllGetClassObject: the factory of a class in the table, CLASS_E_CLASSNOTAVAILABLE otherwise.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out) noexcept;
// DllCanUnloadNow: S_OK when no object is alive, no client holds a lock and the add-in is not
// between the halves of a reload.
HRESULT CanUnloadNow() noexcept;

}  // namespace tessaly::win
