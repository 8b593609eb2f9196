// This platform's drawing services: Cairo image surfaces on POSIX, GDI memory bitmaps on Windows.
#pragma once

#include <memory>

#include "host/surface.h"

namespace tessaly {

// The drawing services of the platform the program was built for.
std::unique_ptr<IGraphics> MakePlatformGraphics();

}  // namespace tessaly
