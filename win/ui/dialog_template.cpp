// Writes DLGTEMPLATEEX and DLGITEMTEMPLATEEX records.
#include "win/ui/dialog_template.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tessaly::win {

namespace {

class TemplateWriter {
 public:
  template <class T>
  void put(T v) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
    bytes_.insert(bytes_.end(), p, p + sizeof v);
  }
  void text(const wchar_t* s) {
    for (; s && *s; ++s) put<WORD>(static_cast<WORD>(*s));
    put<WORD>(0);
  }
  void align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> BuildDialogTemplate(const DialogLayout& layout) {
  const auto controls = std::count_if(layout.items.begin(), layout.items.end(),
                                      [](const DialogItem& item) { return item.kind != ItemKind::Picture; });
  TemplateWriter w;
  w.put<WORD>(1);       // dlgVer
  w.put<WORD>(0xFFFF);  // signature
  w.put<DWORD>(0);      // helpID
  w.put<DWORD>(0);      // exStyle
  w.put<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  w.put<WORD>(static_cast<WORD>(controls));
  w.put<short>(0), w.put<short>(0), w.put<short>(layout.cx), w.put<short>(layout.cy);
  w.put<WORD>(0);  // no menu
  w.put<WORD>(0);  // the standard dialog class
  w.text(layout.title);
  w.put<WORD>(8);        // points
  w.put<WORD>(FW_NORMAL);
  w.put<BYTE>(FALSE);    // italic
  w.put<BYTE>(DEFAULT_CHARSET);
  w.text(L"Tahoma");
  for (const DialogItem& item : layout.items) {
    if (item.kind == ItemKind::Picture) continue;
    w.align();
    w.put<DWORD>(0);  // helpID
    w.put<DWORD>(0);  // exStyle
    w.put<DWORD>(item.style | WS_CHILD | WS_VISIBLE);
    w.put<short>(item.x), w.put<short>(item.y), w.put<short>(item.cx), w.put<short>(item.cy);
    w.put<DWORD>(static_cast<DWORD>(item.id));
    w.text(item.window_class);
    w.text(item.text);
    w.put<WORD>(0);  // no creation data
  }
  return w.take();
}

namespace {

bool Is(const DialogItem& item, const wchar_t* window_class) {
  return std::wcscmp(item.window_class, window_class) == 0;
}

bool IsLabel(const DialogItem& item) {
  return Is(item, L"STATIC") && item.kind != ItemKind::Picture && (item.style & SS_TYPEMASK) != SS_ICON;
}

std::wstring WithoutAccessKey(const wchar_t* text) {
  std::wstring s = text ? text : L"";
  const std::size_t amp = s.find(L'&');
  if (amp != std::wstring::npos) s.erase(amp, 1);
  return s;
}

}  // namespace

std::wstring AccessibleName(const DialogLayout& layout, std::size_t index) {
  const DialogItem& item = layout.items[index];
  if (item.name) return item.name;
  if (Is(item, L"STATIC") || item.kind == ItemKind::Picture) return {};
  if (Is(item, L"BUTTON"))
    return (item.style & BS_TYPEMASK) == BS_GROUPBOX ? std::wstring() : WithoutAccessKey(item.text);
  // Edits and lists show their value, not what they are: their label says that.
  if (index == 0 || !IsLabel(layout.items[index - 1])) return {};
  return WithoutAccessKey(layout.items[index - 1].text);
}

}  // namespace tessaly::win
