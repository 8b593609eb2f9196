// The stand-in's system clipboard, as strict as Windows': one window has it open at a time, only an
// open clipboard is read, emptied or written, and only the window that emptied it puts data on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/clipboard.h"

namespace tessaly::sim {

// Standard format numbers as Windows has them; registered formats are 0xC000 and above.
inline constexpr std::uint32_t kClipText = 1;
inline constexpr std::uint32_t kClipBitmap = 2;
inline constexpr std::uint32_t kClipOwnerDisplay = 0x80;

class SimClipboard {
 public:
  struct Format {
    std::uint32_t id = 0;
    std::string data;        // the bytes of a global-memory format
    ButtonImagePtr picture;  // the picture of a bitmap
    bool operator==(const Format&) const = default;
  };

  // False while another window has it open.
  bool Open(WindowHandle window);
  void Close();
  // Takes everything off and makes the window that opened it the owner.
  void Empty();
  // Adds the format, or replaces the one of the same number, keeping the order of placing.
  void Set(Format format);
  std::vector<std::uint32_t> Enumerate() const;
  // The data of a format; null when it is not there.
  const Format* Get(std::uint32_t id) const;

  // As the user's programs see it, without opening it.
  const std::vector<Format>& Formats() const { return formats_; }
  WindowHandle Owner() const { return owner_; }
  bool IsOpen() const { return open_; }
  // What a program of the user puts there: open, empty, set each, close.
  void PutFromProgram(WindowHandle window, std::vector<Format> formats);

 private:
  void MustBeOpen(const char* what) const;

  std::vector<Format> formats_;
  WindowHandle owner_ = 0;
  WindowHandle opener_ = 0;
  bool open_ = false;
};

// The add-in's access to the stand-in's clipboard through a window of its own.
class SimClipboardAccess final : public IClipboard {
 public:
  SimClipboardAccess(std::shared_ptr<SimClipboard> clipboard, WindowHandle window)
      : clipboard_(std::move(clipboard)), window_(window) {}
  std::unique_ptr<Content> Save() override;
  void PutPicture(const ButtonImagePtr& picture) override;
  void Restore(const Content& saved) override;

 private:
  std::shared_ptr<SimClipboard> clipboard_;
  WindowHandle window_;
};

}  // namespace tessaly::sim
