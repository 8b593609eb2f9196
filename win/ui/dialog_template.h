// Dialog templates built in memory from a table of controls laid out in dialog units, in Tahoma 8,
// so the system scales them with the font and the display's DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace tessaly::win {

enum class ItemKind { Other, List, Combo };

struct DialogItem {
  int id;  // -1 for labels and frames
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  short x, y, cx, cy;
  ItemKind kind = ItemKind::Other;
};

struct DialogLayout {
  const wchar_t* title;
  short cx, cy;
  std::span<const DialogItem> items;
};

// An extended dialog template (DLGTEMPLATEEX) for DialogBoxIndirectParam, DWORD-aligned.
std::vector<std::uint8_t> BuildDialogTemplate(const DialogLayout& layout);

}  // namespace tessaly::win
