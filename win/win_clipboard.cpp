// The Windows clipboard: saving, replacing and restoring its content.
#include "win/win_clipboard.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "host/host_error.h"
#include "win/picture_image.h"

namespace tessaly::win {

namespace {

[[noreturn]] void Fail(const char* what) {
  throw HostError(static_cast<std::int32_t>(HRESULT_FROM_WIN32(::GetLastError())), what);
}

// Open for the length of one use. Another program may hold the clipboard for a moment (clipboard
// viewers and managers read it after every change): a few tries, 20 ms apart.
class Opened {
 public:
  explicit Opened(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (::OpenClipboard(owner)) return;
      ::Sleep(20);
    }
    Fail("The clipboard is open in another window.");
  }
  ~Opened() { ::CloseClipboard(); }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
};

unique_clipboard_data CopyGlobal(UINT format, HANDLE h) {
  const SIZE_T size = ::GlobalSize(h);
  if (size == 0) return {};
  const void* from = ::GlobalLock(h);
  if (!from) return {};
  unique_clipboard_data copy(format, ::GlobalAlloc(GMEM_MOVEABLE, size));
  if (void* to = copy ? ::GlobalLock(copy.get()) : nullptr) {
    std::memcpy(to, from, size);
    ::GlobalUnlock(copy.get());
  } else {
    copy = {};
  }
  ::GlobalUnlock(h);
  return copy;
}

// A METAFILEPICT holds a metafile handle of its own, which the clipboard deletes with it.
unique_clipboard_data CopyMetafilePicture(UINT format, HANDLE h) {
  const auto* from = static_cast<const METAFILEPICT*>(::GlobalLock(h));
  if (!from) return {};
  METAFILEPICT picture = *from;
  ::GlobalUnlock(h);
  picture.hMF = ::CopyMetaFileW(picture.hMF, nullptr);
  if (!picture.hMF) return {};
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof picture);
  auto* to = memory ? static_cast<METAFILEPICT*>(::GlobalLock(memory)) : nullptr;
  if (!to) {
    ::DeleteMetaFile(picture.hMF);
    if (memory) ::GlobalFree(memory);
    return {};
  }
  *to = picture;
  ::GlobalUnlock(memory);
  return unique_clipboard_data(format, memory);
}

unique_clipboard_data CopyPalette(HANDLE h) {
  const auto palette = static_cast<HPALETTE>(h);
  const UINT count = ::GetPaletteEntries(palette, 0, 0, nullptr);
  if (count == 0) return {};
  std::vector<unsigned char> bytes(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  ::GetPaletteEntries(palette, 0, count, log->palPalEntry);
  return unique_clipboard_data(CF_PALETTE, ::CreatePalette(log));
}

// A copy of one format's data that the clipboard may own, or nothing for what cannot be copied.
unique_clipboard_data Copy(UINT format, HANDLE h) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP: return unique_clipboard_data(format, ::CopyImage(h, IMAGE_BITMAP, 0, 0, 0));
    case CF_PALETTE: return CopyPalette(h);
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      return unique_clipboard_data(format, ::CopyEnhMetaFileW(static_cast<HENHMETAFILE>(h), nullptr));
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT: return CopyMetafilePicture(format, h);
    // Owner display has no data: its owner paints it, and emptying the clipboard ends that ownership.
    case CF_OWNERDISPLAY: return {};
    default: break;
  }
  // Private formats carry a value only their owner understands and frees, and the GDI object formats
  // an object of a kind nobody tells: neither can be copied. Every other format is global memory.
  if (format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) return {};
  if (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST) return {};
  return CopyGlobal(format, h);
}

class SavedFormats final : public IClipboard::Content {
 public:
  std::vector<unique_clipboard_data> formats;  // in the clipboard's order
};

void Empty() {
  if (!::EmptyClipboard()) Fail("The clipboard cannot be emptied.");
}

}  // namespace

// EmptyClipboard makes the window that opened the clipboard its owner; without a window Windows
// refuses the data that follows.
HWND WinClipboard::Window() {
  if (!window_)
    window_.reset(::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  if (!window_) Fail("No window for the clipboard.");
  return window_.get();
}

std::unique_ptr<IClipboard::Content> WinClipboard::Save() {
  const HWND owner = Window();
  Opened open(owner);
  auto saved = std::make_unique<SavedFormats>();
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    HANDLE h = ::GetClipboardData(format);  // renders a delayed format
    if (!h) continue;
    if (unique_clipboard_data copy = Copy(format, h)) saved->formats.push_back(std::move(copy));
  }
  return saved;
}

void WinClipboard::PutPicture(const ButtonImagePtr& picture) {
  const auto* image = dynamic_cast<const PictureImage*>(picture.get());
  if (!image || !image->Picture()) throw HostError(E_INVALIDARG, "No picture for the clipboard.");
  com_ptr<IPicture> ole;
  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  if (FAILED(image->Picture()->QueryInterface(IID_IPicture, ole.put_void())) || FAILED(ole->get_Type(&type)) ||
      type != PICTYPE_BITMAP || FAILED(ole->get_Handle(&handle)))
    throw HostError(E_INVALIDARG, "The picture is no bitmap.");
  unique_clipboard_data bitmap(CF_BITMAP,
                               ::CopyImage(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle)), IMAGE_BITMAP, 0, 0, 0));
  if (!bitmap) Fail("The picture cannot be copied.");
  Opened open(Window());
  Empty();
  if (!::SetClipboardData(CF_BITMAP, bitmap.get())) Fail("The picture cannot be put on the clipboard.");
  bitmap.release();
}

void WinClipboard::Restore(const Content& saved) {
  const auto* formats = dynamic_cast<const SavedFormats*>(&saved);
  if (!formats) throw HostError(E_INVALIDARG, "Not this clipboard's content.");
  Opened open(Window());
  Empty();
  // Each format goes back as a copy, so the saved content stays whole if a format is refused.
  bool all = true;
  for (const unique_clipboard_data& f : formats->formats) {
    unique_clipboard_data copy = Copy(f.format(), f.get());
    if (copy && ::SetClipboardData(copy.format(), copy.get())) copy.release();
    else all = false;
  }
  if (!all) Fail("A format of the clipboard could not be put back.");
}

}  // namespace tessaly::win
