// The one way a host or platform call reports failure: it throws HostError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessaly {

// A failed call into the host or the platform, with the error number and description the
// platform gave (an HRESULT or Win32 code on Windows, errno elsewhere).
class HostError : public std::runtime_error {
 public:
  HostError(std::int32_t number, const std::string& description) : std::runtime_error(description), number_(number) {}
  explicit HostError(const std::string& description) : HostError(-1, description) {}
  std::int32_t number() const { return number_; }

 private:
  std::int32_t number_;
};

}  // namespace tessaly
