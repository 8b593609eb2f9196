// The toolbar file with the buttons' faces as GDI bitmaps: size, depth and bits in hexadecimal.
#include "sim/excel_exe/toolbar_file.h"

#include <windows.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "sim/command_bar_file.h"
#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/excel_objects.h"
#include "win/com_handles.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

// Rows of a device-dependent bitmap are whole 16-bit words.
std::size_t BitmapBytes(int width, int height, int bits_per_pixel) {
  return std::size_t((width * bits_per_pixel + 15) / 16) * 2 * std::size_t(height);
}

std::string SaveFace(const ButtonImagePtr& image) {
  HBITMAP bitmap = BitmapOf(image);
  BITMAP info{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return {};
  std::vector<unsigned char> bits(BitmapBytes(info.bmWidth, info.bmHeight, info.bmBitsPixel));
  if (::GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data()) != static_cast<LONG>(bits.size())) return {};
  std::string text = std::to_string(info.bmWidth) + " " + std::to_string(info.bmHeight) + " " + std::to_string(info.bmBitsPixel) + " ";
  char hex[3];
  for (unsigned char b : bits) std::snprintf(hex, sizeof hex, "%02x", b), text += hex;
  return text;
}

ButtonImagePtr LoadFace(const std::string& key, const std::string& text) {
  std::istringstream in(text);
  int width = 0, height = 0, depth = 0;
  std::string hex;
  if (!(in >> width >> height >> depth >> hex) || width <= 0 || width > 256 || height <= 0 || height > 256) return nullptr;
  std::vector<unsigned char> bits(BitmapBytes(width, height, depth));
  if (hex.size() != bits.size() * 2) return nullptr;
  for (std::size_t i = 0; i < bits.size(); ++i) {
    char* end = nullptr;
    const std::string pair = hex.substr(2 * i, 2);
    bits[i] = static_cast<unsigned char>(std::strtoul(pair.c_str(), &end, 16));
    if (end != pair.c_str() + 2) return nullptr;
  }
  HBITMAP bitmap = ::CreateBitmap(width, height, 1, static_cast<UINT>(depth), bits.data());
  if (!bitmap) return nullptr;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  win::com_ptr<IDispatch> picture;
  if (FAILED(::OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.put_void()))) {
    ::DeleteObject(bitmap);
    return nullptr;
  }
  return MakePictureFace(key, std::move(picture));
}

const FaceCodec kFaces{SaveFace, LoadFace};

}  // namespace

std::wstring ToolbarFilePath(int version) {
  wchar_t appdata[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::wstring(appdata) + L"\\Microsoft\\Excel\\Excel" + std::to_wstring(version) + L".xlb";
}

void ReadToolbarFile(SimExcel& model, const std::wstring& path) {
  if (path.empty()) return;
  std::ifstream in(win::to_utf8(path), std::ios::binary);
  if (!in) return;
  std::ostringstream text;
  text << in.rdbuf();
  LoadCommandBars(model, text.str(), kFaces);
}

void WriteToolbarFile(const SimExcel& model, const std::wstring& path) {
  if (path.empty()) return;
  const std::wstring folder = path.substr(0, path.rfind(L'\\'));
  ::CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::ofstream out(win::to_utf8(path), std::ios::binary | std::ios::trunc);
  out << SaveCommandBars(model, kFaces);
}

}  // namespace tessaly::sim::exe
