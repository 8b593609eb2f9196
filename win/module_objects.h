// The count of this module's live COM objects: each object the module hands out holds a
// ModuleObject, and DllCanUnloadNow answers S_OK only when the count is zero.
#pragma once

#include <atomic>

namespace tessaly::win {

inline std::atomic<long> g_module_objects{0};

class ModuleObject {
 public:
  ModuleObject() { ++g_module_objects; }
  ModuleObject(const ModuleObject&) : ModuleObject() {}
  ModuleObject& operator=(const ModuleObject&) = default;
  ~ModuleObject() { --g_module_objects; }
};

inline long LiveModuleObjects() { return g_module_objects.load(); }

}  // namespace tessaly::win
