// The stand-in's clipboard and the add-in's access to it.
#include "sim/sim_clipboard.h"

#include <algorithm>

#include "host/host_error.h"

namespace tessaly::sim {

namespace {

constexpr std::int32_t kErrAccessDenied = 5;  // ERROR_ACCESS_DENIED, as Windows answers a closed clipboard
constexpr std::int32_t kErrClipboardNotOpen = 1418;  // ERROR_CLIPBOARD_NOT_OPEN

// Open for the length of one use.
class Opened {
 public:
  Opened(SimClipboard& c, WindowHandle window) : c_(c) {
    if (!c_.Open(window)) throw HostError(kErrAccessDenied, "The clipboard is open in another window.");
  }
  ~Opened() {
    if (c_.IsOpen()) c_.Close();
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;

 private:
  SimClipboard& c_;
};

class SavedFormats final : public IClipboard::Content {
 public:
  std::vector<SimClipboard::Format> formats;
};

}  // namespace

bool SimClipboard::Open(WindowHandle window) {
  if (open_ && opener_ != window) return false;
  open_ = true;
  opener_ = window;
  return true;
}

void SimClipboard::Close() {
  MustBeOpen("CloseClipboard");
  open_ = false;
  opener_ = 0;
}

void SimClipboard::MustBeOpen(const char* what) const {
  if (!open_) throw HostError(kErrClipboardNotOpen, std::string(what) + ": the clipboard is not open");
}

void SimClipboard::Empty() {
  MustBeOpen("EmptyClipboard");
  formats_.clear();
  owner_ = opener_;
}

void SimClipboard::Set(Format format) {
  MustBeOpen("SetClipboardData");
  // Opened without a window and emptied, the clipboard has no owner, and Windows refuses data.
  if (owner_ == 0 || owner_ != opener_) throw HostError(kErrAccessDenied, "SetClipboardData: not the clipboard's owner");
  auto same = std::find_if(formats_.begin(), formats_.end(), [&](const Format& f) { return f.id == format.id; });
  if (same != formats_.end()) *same = std::move(format);
  else formats_.push_back(std::move(format));
}

std::vector<std::uint32_t> SimClipboard::Enumerate() const {
  MustBeOpen("EnumClipboardFormats");
  std::vector<std::uint32_t> ids;
  for (const Format& f : formats_) ids.push_back(f.id);
  return ids;
}

const SimClipboard::Format* SimClipboard::Get(std::uint32_t id) const {
  MustBeOpen("GetClipboardData");
  for (const Format& f : formats_)
    if (f.id == id) return &f;
  return nullptr;
}

void SimClipboard::PutFromProgram(WindowHandle window, std::vector<Format> formats) {
  Opened open(*this, window);
  Empty();
  for (Format& f : formats) Set(std::move(f));
}

std::unique_ptr<IClipboard::Content> SimClipboardAccess::Save() {
  Opened open(*clipboard_, window_);
  auto saved = std::make_unique<SavedFormats>();
  for (std::uint32_t id : clipboard_->Enumerate()) {
    // Owner display has no data: its owner paints it, and emptying the clipboard ends its ownership.
    if (id == kClipOwnerDisplay) continue;
    if (const SimClipboard::Format* f = clipboard_->Get(id)) saved->formats.push_back(*f);
  }
  return saved;
}

void SimClipboardAccess::PutPicture(const ButtonImagePtr& picture) {
  if (!picture) throw HostError(kErrAccessDenied, "no picture");
  Opened open(*clipboard_, window_);
  clipboard_->Empty();
  clipboard_->Set({kClipBitmap, {}, picture});
}

void SimClipboardAccess::Restore(const Content& saved) {
  const auto* formats = dynamic_cast<const SavedFormats*>(&saved);
  if (!formats) throw HostError(kErrAccessDenied, "not this clipboard's content");
  Opened open(*clipboard_, window_);
  clipboard_->Empty();
  for (const SimClipboard::Format& f : formats->formats) clipboard_->Set(f);
}

}  // namespace tessaly::sim
