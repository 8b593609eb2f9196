// Writes DLGTEMPLATEEX and DLGITEMTEMPLATEEX records.
#include "win/ui/dialog_template.h"

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
  TemplateWriter w;
  w.put<WORD>(1);       // dlgVer
  w.put<WORD>(0xFFFF);  // signature
  w.put<DWORD>(0);      // helpID
  w.put<DWORD>(0);      // exStyle
  w.put<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  w.put<WORD>(static_cast<WORD>(layout.items.size()));
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

}  // namespace tessaly::win
