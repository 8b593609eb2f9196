// Dialog templates built in memory from a table of controls laid out in dialog units, in Tahoma 8,
// so the system scales them with the font and the display's DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaly::win {

// Picture: drawn on the dialog itself rather than made a control, so readers find nothing there.
enum class ItemKind { Other, List, Combo, Picture };

struct DialogItem {
  int id;  // -1 for labels and frames
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  short x, y, cx, cy;
  ItemKind kind = ItemKind::Other;
  // What readers call the control where its caption or the label before it would say too little.
  const wchar_t* name = nullptr;
};

struct DialogLayout {
  const wchar_t* title;
  short cx, cy;
  std::span<const DialogItem> items;
};

// An extended dialog template (DLGTEMPLATEEX) for DialogBoxIndirectParam, DWORD-aligned.
std::vector<std::uint8_t> BuildDialogTemplate(const DialogLayout& layout);

// What a reader calls the item: its own name; for an edit or list box the label just before it;
// for a button its caption; without the access key's "&". Empty for labels, frames and pictures.
std::wstring AccessibleName(const DialogLayout& layout, std::size_t index);

}  // namespace tessaly::win
