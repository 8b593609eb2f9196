// An object the host handed out, or Excel's own error 91 when it gave Nothing.
#pragma once

#include "host/host_error.h"

namespace tessaly {

template <class T>
const T& Must(const T& p) {
  if (!p) throw HostError(91, "Object variable not set");
  return p;
}

}  // namespace tessaly
