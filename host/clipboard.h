// The system clipboard as a button face travels over it: what the user had there is kept, a
// picture takes its place for the host to paste, and the kept content is put back.
#pragma once

#include <memory>

#include "host/excel.h"

namespace tessaly {

class IClipboard {
 public:
  // What was on the clipboard, kept apart from it; only the clipboard that made it reads it.
  class Content {
   public:
    virtual ~Content() = default;
  };

  virtual ~IClipboard() = default;
  // A copy of every format on the clipboard that can be copied, in the clipboard's order; throws
  // HostError when the clipboard cannot be opened.
  virtual std::unique_ptr<Content> Save() = 0;
  // Empties the clipboard and puts the picture on it; throws HostError on failure.
  virtual void PutPicture(const ButtonImagePtr& picture) = 0;
  // Empties the clipboard and puts the saved formats back in their order; throws HostError on failure.
  virtual void Restore(const Content& saved) = 0;
};

}  // namespace tessaly
