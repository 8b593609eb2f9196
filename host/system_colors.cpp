// The classic Windows default system colours and the edge colour pairs of DrawEdge.
#include "host/system_colors.h"

namespace tessaly {

std::optional<Rgb> default_system_color(int index) {
  static constexpr Rgb table[] = {
      rgb(200, 200, 200),  //  0 scroll bar
      rgb(0, 0, 0),        //  1 desktop
      rgb(153, 180, 209),  //  2 active caption
      rgb(191, 205, 219),  //  3 inactive caption
      rgb(240, 240, 240),  //  4 menu
      rgb(255, 255, 255),  //  5 window
      rgb(100, 100, 100),  //  6 window frame
      rgb(0, 0, 0),        //  7 menu text
      rgb(0, 0, 0),        //  8 window text
      rgb(0, 0, 0),        //  9 caption text
      rgb(180, 180, 180),  // 10 active border
      rgb(244, 247, 252),  // 11 inactive border
      rgb(171, 171, 171),  // 12 application workspace
      rgb(51, 153, 255),   // 13 highlight
      rgb(255, 255, 255),  // 14 highlight text
      rgb(240, 240, 240),  // 15 button face
      rgb(160, 160, 160),  // 16 button shadow
      rgb(109, 109, 109),  // 17 grey text
      rgb(0, 0, 0),        // 18 button text
      rgb(67, 78, 84),     // 19 inactive caption text
      rgb(255, 255, 255),  // 20 button highlight
      rgb(105, 105, 105),  // 21 3-D dark shadow
      rgb(227, 227, 227),  // 22 3-D light
      rgb(0, 0, 0),        // 23 tooltip text
      rgb(255, 255, 225),  // 24 tooltip background
      rgb(0, 0, 0),        // 25 (unnamed)
      rgb(0, 102, 204),    // 26 hot-tracked item
      rgb(185, 209, 234),  // 27 active caption gradient
      rgb(215, 228, 242),  // 28 inactive caption gradient
      rgb(51, 153, 255),   // 29 menu highlight
      rgb(240, 240, 240),  // 30 menu bar
  };
  if (index < 0 || index > sys_color::kMaxIndex) return std::nullopt;
  return table[index];
}

EdgeColors edge_colors(EdgeKind kind) {
  switch (kind) {
    case EdgeKind::RaisedInnerFlat: return {sys_color::kBtnFace, sys_color::kBtnFace};  // flat: the face all round
    case EdgeKind::RaisedInner: return {sys_color::kBtnHighlight, sys_color::kBtnShadow};
    case EdgeKind::SunkenOuter: return {sys_color::kBtnShadow, sys_color::kBtnHighlight};
  }
  return {sys_color::kBtnFace, sys_color::kBtnFace};
}

}  // namespace tessaly
