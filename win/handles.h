// RAII owners of Win32 handles: one small owner per handle kind, each closing its handle once.
// Add new kinds here as a traits struct and an alias.
#pragma once

#include <windows.h>

#include <utility>

namespace tessaly::win {

// Owns a handle of one kind; Traits gives its invalid value and how to close it.
template <class Traits>
class unique_handle {
 public:
  using pointer = typename Traits::pointer;
  unique_handle() = default;
  explicit unique_handle(pointer h) : h_(h) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
  unique_handle& operator=(unique_handle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
    return *this;
  }
  ~unique_handle() { reset(); }

  pointer get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::invalid(); }
  // For out-parameters: closes the current handle and gives the address to fill.
  pointer* put() {
    reset();
    return &h_;
  }
  void reset(pointer h = Traits::invalid()) {
    if (h_ != Traits::invalid()) Traits::close(h_);
    h_ = h;
  }
  pointer release() { return std::exchange(h_, Traits::invalid()); }

 private:
  pointer h_ = Traits::invalid();
};

struct hkey_traits {
  using pointer = HKEY;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::RegCloseKey(h); }
};
using unique_hkey = unique_handle<hkey_traits>;

// Kernel handles whose invalid value is INVALID_HANDLE_VALUE (files from CreateFile).
struct file_traits {
  using pointer = HANDLE;
  static pointer invalid() { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) { ::CloseHandle(h); }
};
using unique_hfile = unique_handle<file_traits>;

// Process handles from CreateProcess (null when absent, unlike files).
struct process_traits {
  using pointer = HANDLE;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::CloseHandle(h); }
};
using unique_hprocess = unique_handle<process_traits>;

// Directory searches from FindFirstFile.
struct find_traits {
  using pointer = HANDLE;
  static pointer invalid() { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) { ::FindClose(h); }
};
using unique_hfind = unique_handle<find_traits>;

// Memory the system handed out with LocalAlloc (security descriptors, ACLs from SetEntriesInAcl).
struct hlocal_traits {
  using pointer = HLOCAL;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::LocalFree(h); }
};
using unique_hlocal = unique_handle<hlocal_traits>;

// A library loaded at run time (LoadLibrary).
struct hmodule_traits {
  using pointer = HMODULE;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::FreeLibrary(h); }
};
using unique_hmodule = unique_handle<hmodule_traits>;

struct hicon_traits {
  using pointer = HICON;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::DestroyIcon(h); }
};
using unique_hicon = unique_handle<hicon_traits>;

// Windows this process created; destroying the owner destroys the window.
struct hwnd_traits {
  using pointer = HWND;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};
using unique_hwnd = unique_handle<hwnd_traits>;

// An activation context made with CreateActCtx.
struct actctx_traits {
  using pointer = HANDLE;
  static pointer invalid() { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) { ::ReleaseActCtx(h); }
};
using unique_actctx = unique_handle<actctx_traits>;

// An activation context made current on this thread by ActivateActCtx; the owner deactivates it.
struct actctx_cookie_traits {
  using pointer = ULONG_PTR;
  static pointer invalid() { return 0; }
  static void close(pointer cookie) { ::DeactivateActCtx(0, cookie); }
};
using unique_actctx_activation = unique_handle<actctx_cookie_traits>;

// Data in one clipboard format, freed as the system frees that format's data when the clipboard is
// emptied; SetClipboardData takes it over (release).
class unique_clipboard_data {
 public:
  unique_clipboard_data() = default;
  unique_clipboard_data(UINT format, HANDLE h) : format_(format), h_(h) {}
  unique_clipboard_data(const unique_clipboard_data&) = delete;
  unique_clipboard_data& operator=(const unique_clipboard_data&) = delete;
  unique_clipboard_data(unique_clipboard_data&& o) noexcept
      : format_(o.format_), h_(std::exchange(o.h_, nullptr)) {}
  unique_clipboard_data& operator=(unique_clipboard_data&& o) noexcept {
    if (this != &o) {
      reset();
      format_ = o.format_;
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~unique_clipboard_data() { reset(); }

  UINT format() const { return format_; }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  HANDLE release() { return std::exchange(h_, nullptr); }
  void reset() {
    if (!h_) return;
    switch (format_) {
      case CF_BITMAP:
      case CF_DSPBITMAP:
      case CF_PALETTE: ::DeleteObject(h_); break;
      case CF_ENHMETAFILE:
      case CF_DSPENHMETAFILE: ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(h_)); break;
      case CF_METAFILEPICT:
      case CF_DSPMETAFILEPICT:
        if (auto* p = static_cast<METAFILEPICT*>(::GlobalLock(h_))) {
          ::DeleteMetaFile(p->hMF);
          ::GlobalUnlock(h_);
        }
        ::GlobalFree(h_);
        break;
      default: ::GlobalFree(h_); break;
    }
    h_ = nullptr;
  }

 private:
  UINT format_ = 0;
  HANDLE h_ = nullptr;
};

}  // namespace tessaly::win
