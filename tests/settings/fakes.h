// The stand-in's in-memory platform services as the settings tests start them: Windows 7, a
// day-first short date and an evening clock.
#pragma once

#include "sim/memory_services.h"

namespace tessaly::testing {

using sim::MemoryFileSystem;
using FakeShell = sim::MemoryShellFolders;

struct FakePlatform : sim::MemoryServices {
  FakePlatform() {
    system.version = {6, 1};
    locale.data.short_date_pattern = "dd.MM.yyyy";
    clock.serial = 46000.75;  // 9 December 2025, 18:00
  }
};

}  // namespace tessaly::testing
