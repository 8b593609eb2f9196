// Drawing icon resources onto bitmaps and wrapping them as OLE pictures.
#include "win/com/icon_pictures.h"

#include <olectl.h>

#include <map>
#include <mutex>
#include <tuple>

#include "win/com_error.h"
#include "win/handles.h"
#include "win/picture_image.h"
#include "win/ui/gdi_graphics.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

// The icon resource at that size, loaded once for the process. The add-in's module stays loaded
// until the process ends, so its icons may too: each connection's buttons are drawn from the same
// few, and loading them again at every turn on costs a resource search each time (and, under Wine,
// leaves a copy of the module's name behind with every icon destroyed).
HICON LoadIconResource(HMODULE module, const std::string& name, int size) {
  using Key = std::tuple<HMODULE, std::string, int>;
  static std::mutex guard;
  static auto* const loaded = new std::map<Key, HICON>();  // never freed: the icons live with the process
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');  // the loader ignores the case
  const std::lock_guard<std::mutex> lock(guard);
  Key key{module, std::move(folded), size};
  if (const auto found = loaded->find(key); found != loaded->end()) return found->second;
  const HICON icon = static_cast<HICON>(LoadImageW(module, to_wide(name).c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!icon) throw com_error(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND));
  loaded->emplace(std::move(key), icon);
  return icon;
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  gdi::unique_bitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  GetObjectW(mask.get(), sizeof bm, &bm);
  // A monochrome icon keeps its AND and XOR masks stacked in one bitmap of double height.
  return {bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

// A picture that owns the bitmap from now on.
ButtonImagePtr Picture(const std::string& key, gdi::unique_bitmap bitmap) {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap.get();
  com_ptr<IDispatch> picture;
  check_hr(OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.put_void()));
  bitmap.release();
  return std::make_shared<PictureImage>(key, std::move(picture));
}

// The icon drawn over a transparent 32-bit top-down bitmap, its alpha kept.
gdi::unique_bitmap DrawOnBitmap(HICON icon, SIZE size, UINT flags) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = size.cx;
  bi.bmiHeader.biHeight = -size.cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  gdi::unique_dc dc(CreateCompatibleDC(nullptr));
  gdi::unique_bitmap bitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap) throw com_error(E_OUTOFMEMORY);
  {
    gdi::unique_select_object selected(dc.get(), bitmap.get());
    if (!DrawIconEx(dc.get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, flags))
      throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  }
  return bitmap;
}

}  // namespace

ButtonImagePtr IconPicture(HMODULE module, const std::string& name, int size) {
  const HICON icon = LoadIconResource(module, name, size);
  return Picture(name, DrawOnBitmap(icon, IconSize(icon), DI_NORMAL));
}

ButtonImagePtr IconMask(HMODULE module, const std::string& name, int size) {
  const HICON icon = LoadIconResource(module, name, size);
  return Picture(name, DrawOnBitmap(icon, IconSize(icon), DI_MASK));
}

}  // namespace tessaly::win
