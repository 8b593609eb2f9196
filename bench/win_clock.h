// The Windows benchmarks' clock: the performance counter in milliseconds.
#pragma once

#include <windows.h>

namespace tessaly::bench {

inline double NowMs() {
  static const double ticks_per_ms = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticks_per_ms;
}

}  // namespace tessaly::bench
