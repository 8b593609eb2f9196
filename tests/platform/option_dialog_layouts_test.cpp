// The option dialogs' layouts: each access key leads to one control only, every control lies
// inside its dialog, and each one a reader can reach has a name of its own.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "dialogs/frm_settings.h"
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

TEST(OptionDialogLayouts, EveryControlHasItsOwnName) {
  for (DialogKind kind : {DialogKind::Settings, DialogKind::DateFormat, DialogKind::DefaultDate}) {
    const win::DialogLayout& layout = win::OptionDialogLayout(kind);
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
      if ((layout.items[i].style & WS_TABSTOP) == 0) continue;
      const std::wstring name = win::AccessibleName(layout, i);
      EXPECT_FALSE(name.empty()) << "control " << layout.items[i].id;
      EXPECT_TRUE(names.insert(name).second) << "control " << layout.items[i].id << " shares its name";
    }
  }
  // A list is named by the label just before it, without its access key.
  const win::DialogLayout& settings = win::OptionDialogLayout(DialogKind::Settings);
  for (std::size_t i = 0; i < settings.items.size(); ++i) {
    if (settings.items[i].id == frmSettings::cboWeekNumberSystem) {
      EXPECT_EQ(win::AccessibleName(settings, i), L"Numbering");
    }
  }
}

}  // namespace
}  // namespace tessaly
#endif
