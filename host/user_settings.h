// The per-user application settings store: text values by application, section and key.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessaly {

// Each call throws HostError when the store cannot be read or written. A missing application,
// section or key is not a failure: a read gives the default, a listing gives nothing.
class IUserSettings {
 public:
  virtual ~IUserSettings() = default;
  virtual std::string get(const std::string& application, const std::string& section, const std::string& key,
                          const std::string& default_value) const = 0;
  virtual void save(const std::string& application, const std::string& section, const std::string& key,
                    const std::string& value) = 0;
  // The section's (key, value) pairs in the order the store keeps them.
  virtual std::vector<std::pair<std::string, std::string>> list(const std::string& application,
                                                                const std::string& section) const = 0;
};

}  // namespace tessaly
