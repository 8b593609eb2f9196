// Real windows under test: a host window tree like the spreadsheet's (XLMAIN, XLDESK, EXCEL7),
// real input through SendInput, a message pump, and screen captures saved as pictures.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/png.h"

namespace tessaly::testing {

inline bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// Runs the thread's messages for a while, so input and timers reach the windows.
inline void Pump(int milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (::GetTickCount64() < end);
}

inline void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65536LL + w / 2) / w);
    in.mi.dy = static_cast<LONG>((y * 65536LL + h / 2) / h);
  }
  ::SendInput(1, &in, sizeof in);
}

// The pointer to a screen point.
inline void MoveTo(int x, int y) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
  Pump(60);
}

inline void ClickAt(int x, int y) {
  MoveTo(x, y);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pump(100);
}

inline void DoubleClickAt(int x, int y) {
  MoveTo(x, y);
  for (int i = 0; i < 2; ++i) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
  }
  Pump(150);
}

// The centre of a client rectangle of a window, on screen.
inline POINT ScreenCentre(HWND window, const RECT& client) {
  POINT p{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ::ClientToScreen(window, &p);
  return p;
}

inline void ClickWindow(HWND window) {
  RECT r{};
  ::GetClientRect(window, &r);
  const POINT p = ScreenCentre(window, r);
  ClickAt(p.x, p.y);
}

// A key pressed and released, leaving the messages to the loop that runs (a modal box's, say).
inline void SendKey(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

inline void PressKey(WORD key) {
  SendKey(key);
  Pump(60);
}

inline void TypeText(const std::string& ascii) {
  for (char c : ascii) {
    const SHORT vk = ::VkKeyScanW(static_cast<wchar_t>(c));
    PressKey(static_cast<WORD>(vk & 0xFF));
  }
}

// The screen's pixels in a screen rectangle, saved as a picture under ui-artifacts/.
inline bool SaveScreen(const RECT& r, const std::string& name) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  RgbImage img{w, h, {}};
  const auto* px = static_cast<const std::uint8_t*>(bits);
  for (int i = 0; i < w * h; ++i) img.rgb.insert(img.rgb.end(), {px[i * 4 + 2], px[i * 4 + 1], px[i * 4]});
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  std::filesystem::create_directories("ui-artifacts");
  return WriteFile((std::filesystem::path("ui-artifacts") / name).string(), EncodePng(img));
}

// A window tree as the spreadsheet shows a workbook: the main window XLMAIN, its desk XLDESK and
// the workbook window EXCEL7, shown and in the foreground.
class HostWindows {
 public:
  HostWindows(int x = 40, int y = 40, int width = 900, int height = 640) {
    for (const wchar_t* name : {L"XLMAIN", L"XLDESK", L"EXCEL7"}) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = name;
      ::RegisterClassExW(&wc);
    }
    main = ::CreateWindowExW(0, L"XLMAIN", L"Book1", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, x, y, width,
                             height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    RECT c{};
    ::GetClientRect(main, &c);
    desk = ::CreateWindowExW(0, L"XLDESK", L"", WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, c.right, c.bottom, main,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
    book = ::CreateWindowExW(0, L"EXCEL7", L"Book1", WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE, 0, 0, c.right, c.bottom,
                             desk, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(main);
    ::SetFocus(book);
    Pump(200);
  }
  ~HostWindows() {
    if (::IsWindow(main)) ::DestroyWindow(main);
  }
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  HWND main = nullptr, desk = nullptr, book = nullptr;
};

}  // namespace tessaly::testing
#endif  // _WIN32
