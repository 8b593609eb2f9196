// The platform's default system colours and the colours its bevelled edges are drawn in, for the
// surfaces that have no display of their own to ask.
#pragma once

#include <optional>

#include "host/surface.h"

namespace tessaly {

// The default colour of system colour index 0 to 30 (the classic Windows defaults); empty for
// any other index.
std::optional<Rgb> default_system_color(int index);

// The system colour indices of an edge's top-left and bottom-right lines, as DrawEdge uses them.
struct EdgeColors {
  int top_left, bottom_right;
};
EdgeColors edge_colors(EdgeKind kind);

}  // namespace tessaly
