// The one way a host or platform call reports failure: it throws HostError.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace tessaly {

// A failed call into the host or the platform, with the error number and description the
// platform gave (an HRESULT or Win32 code on Windows, errno elsewhere), and apart from them what
// was being done. Messages to the user quote the description alone; what() joins both.
class HostError : public std::runtime_error {
 public:
  HostError(std::int32_t number, const std::string& description, const std::string& context = {})
      : std::runtime_error(context.empty() ? description : context + ": " + description),
        number_(number),
        description_(description) {}
  explicit HostError(const std::string& description) : HostError(-1, description) {}
  std::int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

// The system's own description of a failure: a HostError's description, else what() says.
inline std::string SystemDescription(const std::exception& e) {
  if (auto* host = dynamic_cast<const HostError*>(&e)) return host->description();
  return e.what();
}

}  // namespace tessaly
