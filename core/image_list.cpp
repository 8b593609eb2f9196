// Icon keys held in memory with their button faces.
#include "core/image_list.h"

#include <array>

#include "host/host_error.h"
#include "host/text.h"

namespace tessaly {

namespace {

constexpr std::array<const char*, 11> kResources = {"ABOUT", "APP", "APP16", "APP32", "APP48", "DISABLE",
                                                    "DISPLAY", "ENABLE", "HELP", "SETTING16", "SETTING32"};

class KeyImage : public IButtonImage {
 public:
  explicit KeyImage(std::string key) : key_(std::move(key)) {}
  std::string Key() const override { return key_; }

 private:
  std::string key_;
};

}  // namespace

bool InMemoryImageList::IsResource(const std::string& name) {
  for (const char* r : kResources)
    if (iequals(r, name)) return true;
  return false;
}

void InMemoryImageList::Add(const std::string& key) {
  if (!IsResource(key)) throw HostError(1813, "The specified resource type cannot be found in the image file: " + key);
  images_[key] = {std::make_shared<KeyImage>(key), std::make_shared<KeyImage>(key + ".mask")};
}

ButtonImagePtr InMemoryImageList::Picture(const std::string& key) const {
  auto it = images_.find(key);
  if (it == images_.end()) throw HostError(-1, "no icon " + key);
  return it->second.first;
}

ButtonImagePtr InMemoryImageList::Mask(const std::string& key) const {
  auto it = images_.find(key);
  if (it == images_.end()) throw HostError(-1, "no icon " + key);
  return it->second.second;
}

}  // namespace tessaly
