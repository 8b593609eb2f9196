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
  // The host turned the call away unheard (busy with a dialog or a macro, or a cell being edited):
  // nothing was done, and the same call may succeed later.
  bool refused() const { return number_ == kVbaIgnore || number_ == kCallRejected || number_ == kRetryLater; }
  // The object has no such member at all (an older host, or an adapter without it): the same call
  // can never succeed, unlike a member that failed.
  bool missing_member() const {
    return number_ == kNotSupported || number_ == kVbaNotSupported || number_ == kUnknownName || number_ == kMemberNotFound;
  }

  static constexpr std::int32_t kVbaIgnore = -2146777998;    // VBA_E_IGNORE, 0x800AC472
  static constexpr std::int32_t kCallRejected = -2147418111;  // RPC_E_CALL_REJECTED, 0x80010001
  static constexpr std::int32_t kRetryLater = -2147417846;    // RPC_E_SERVERCALL_RETRYLATER, 0x8001010A
  static constexpr std::int32_t kNotSupported = 438;                // "Object doesn't support this property or method"
  static constexpr std::int32_t kVbaNotSupported = -2146827850;  // the same as Excel's HRESULT, 0x800A01B6
  static constexpr std::int32_t kUnknownName = -2147352570;      // DISP_E_UNKNOWNNAME, 0x80020006
  static constexpr std::int32_t kMemberNotFound = -2147352573;   // DISP_E_MEMBERNOTFOUND, 0x80020003

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
