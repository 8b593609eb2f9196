// The controller's 16 by 16 icons by key, turned into button faces for the command bars.
#pragma once

#include <map>
#include <string>

#include "host/excel.h"

namespace tessaly {

class IImageList {
 public:
  virtual ~IImageList() = default;
  // Loads the icon resource of that name (case ignored) under the key; throws HostError when missing.
  virtual void Add(const std::string& key) = 0;
  virtual bool Has(const std::string& key) const = 0;
  virtual std::size_t Count() const = 0;
  // The button picture and its mask drawn from the icon; throws HostError for an unknown key.
  virtual ButtonImagePtr Picture(const std::string& key) const = 0;
  virtual ButtonImagePtr Mask(const std::string& key) const = 0;
  virtual void Clear() = 0;
};

// An image list that keeps the keys only, for hosts without pixels (the stand-in host, tests).
class InMemoryImageList : public IImageList {
 public:
  // The icon resources the add-in carries.
  static bool IsResource(const std::string& name);
  void Add(const std::string& key) override;
  bool Has(const std::string& key) const override { return images_.count(key) != 0; }
  std::size_t Count() const override { return images_.size(); }
  ButtonImagePtr Picture(const std::string& key) const override;
  ButtonImagePtr Mask(const std::string& key) const override;
  void Clear() override { images_.clear(); }

 private:
  std::map<std::string, std::pair<ButtonImagePtr, ButtonImagePtr>> images_;
};

}  // namespace tessaly
