// The option dialogs' layouts: each access key leads to one control only, and every control lies
// inside its dialog.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <string_view>

#include "win/ui/option_dialog_layouts.h"

namespace tessaly {
namespace {

TEST(OptionDialogLayouts, AccessKeysAreUniqueAndControlsInside) {
  for (DialogKind kind : {DialogKind::Settings, DialogKind::DateFormat, DialogKind::DefaultDate}) {
    const win::DialogLayout& layout = win::OptionDialogLayout(kind);
    std::map<wchar_t, int> keys;
    for (const win::DialogItem& item : layout.items) {
      const std::wstring_view text = item.text;
      const std::size_t amp = text.find(L'&');
      if (amp != std::wstring_view::npos && amp + 1 < text.size()) {
        const auto [it, fresh] = keys.emplace(static_cast<wchar_t>(std::towlower(text[amp + 1])), item.id);
        EXPECT_TRUE(fresh) << "control " << item.id << " shares its access key with control " << it->second;
      }
      EXPECT_LE(item.x + item.cx, layout.cx) << item.id;
      EXPECT_LE(item.y + (item.kind == win::ItemKind::Combo ? 13 : item.cy), layout.cy) << item.id;
    }
  }
}

}  // namespace
}  // namespace tessaly
#endif
