// The Windows clipboard around a button face: the user's text, a format of another program and a
// bitmap are all there again afterwards, in their order; a clipboard held elsewhere is not touched.
#ifdef _WIN32
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "win/picture_image.h"
#include "win/win_clipboard.h"

namespace tessaly {
namespace {

const std::vector<std::uint32_t> kPixels = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456};

std::vector<std::uint32_t> Pixels(HBITMAP bitmap) {
  std::vector<std::uint32_t> pixels(4);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = ::GetDC(nullptr);
  const int lines = ::GetDIBits(screen, bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return lines == 2 ? pixels : std::vector<std::uint32_t>{};
}

struct Seen {
  std::vector<UINT> formats;
  std::wstring text;
  std::string private_bytes;
  std::vector<std::uint32_t> pixels;
  friend bool operator==(const Seen&, const Seen&) = default;
};

// What another program reads from the clipboard.
Seen Look(UINT private_format) {
  Seen seen;
  if (!::OpenClipboard(nullptr)) return seen;
  for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) seen.formats.push_back(f);
  if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
    seen.text = static_cast<const wchar_t*>(::GlobalLock(h));
    ::GlobalUnlock(h);
  }
  if (HANDLE h = ::GetClipboardData(private_format)) {
    seen.private_bytes.assign(static_cast<const char*>(::GlobalLock(h)), ::GlobalSize(h));
    ::GlobalUnlock(h);
  }
  if (HANDLE h = ::GetClipboardData(CF_BITMAP)) seen.pixels = Pixels(static_cast<HBITMAP>(h));
  ::CloseClipboard();
  return seen;
}

HGLOBAL Global(const void* data, std::size_t size) {
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(::GlobalLock(memory), data, size);
  ::GlobalUnlock(memory);
  return memory;
}

// The user's content, put there by a window of another program.
struct UsersClipboard {
  UsersClipboard() {
    window = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    private_format = ::RegisterClipboardFormatW(L"Tessaly Test Private Data");
    const std::wstring text = L"the user's text";
    const char bytes[] = {'\0', '\1', 'p', 'r', 'i', 'v', '\0', 'x'};
    EXPECT_TRUE(::OpenClipboard(window));
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, Global(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    ::SetClipboardData(private_format, Global(bytes, sizeof bytes));
    ::SetClipboardData(CF_BITMAP, ::CreateBitmap(2, 2, 1, 32, kPixels.data()));
    ::CloseClipboard();
  }
  ~UsersClipboard() { ::DestroyWindow(window); }
  HWND window;
  UINT private_format;
};

ButtonImagePtr Face() {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  const std::vector<std::uint32_t> grey(4, 0x00C0C0C0);
  desc.bmp.hbitmap = ::CreateBitmap(2, 2, 1, 32, grey.data());
  win::com_ptr<IDispatch> picture;
  EXPECT_EQ(::OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.put_void()), S_OK);
  return std::make_shared<win::PictureImage>("display", picture);
}

TEST(win_clipboard, the_users_content_comes_back) {
  UsersClipboard user;
  const Seen before = Look(user.private_format);
  ASSERT_EQ(before.text, L"the user's text");
  ASSERT_EQ(before.private_bytes.size(), 8u);
  ASSERT_EQ(before.pixels, kPixels);

  win::WinClipboard clipboard;
  const auto saved = clipboard.Save();
  clipboard.PutPicture(Face());
  const Seen face = Look(user.private_format);
  EXPECT_EQ(face.pixels, std::vector<std::uint32_t>(4, 0x00C0C0C0));
  EXPECT_EQ(face.text, L"");
  EXPECT_EQ(face.private_bytes, "");

  clipboard.Restore(*saved);
  EXPECT_EQ(Look(user.private_format), before);
  clipboard.Restore(*saved);  // the saved content stays whole for another use
  EXPECT_EQ(Look(user.private_format), before);
}

TEST(win_clipboard, held_by_another_thread_is_not_touched) {
  UsersClipboard user;
  const Seen before = Look(user.private_format);
  std::atomic<int> stage{0};
  std::thread holder([&] {
    HWND w = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    stage = ::OpenClipboard(w) ? 1 : -1;
    while (stage == 1) ::Sleep(5);
    ::CloseClipboard();
    ::DestroyWindow(w);
  });
  while (stage == 0) ::Sleep(5);
  ASSERT_EQ(stage, 1);
  win::WinClipboard clipboard;
  EXPECT_THROW(clipboard.Save(), HostError);
  EXPECT_THROW(clipboard.PutPicture(Face()), HostError);
  stage = 2;
  holder.join();
  EXPECT_EQ(Look(user.private_format), before);
}

}  // namespace
}  // namespace tessaly
#endif
