// The one place where failures inside a COM entry point become HRESULTs: every entry point
// runs its body through ComCall, so no C++ exception ever crosses into the caller.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>
#include <type_traits>
#include <stdexcept>

#include "host/host_error.h"

namespace tessaly::win {

// A failure that already knows its HRESULT (a bad argument, an unknown member). Failed calls
// out of the DLL throw HostError (win/com_error.h), whose number is the HRESULT.
class ComError : public std::runtime_error {
 public:
  explicit ComError(HRESULT hr, const char* what = "COM call failed") : std::runtime_error(what), hr_(hr) {}
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
};

// Throws ComError when hr is a failure (an entry point called from inside another).
inline void ThrowOnFailure(HRESULT hr) {
  if (FAILED(hr)) throw ComError(hr);
}

// An HRESULT for any exception: its own for ComError, the host's number when it is one.
inline HRESULT HResultFromCurrentException() noexcept {
  try {
    throw;
  } catch (const ComError& e) {
    return e.hr();
  } catch (const HostError& e) {
    const HRESULT hr = static_cast<HRESULT>(e.number());
    return FAILED(hr) ? hr : E_FAIL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs body (returning void or HRESULT) and gives S_OK, its HRESULT, or the failure's HRESULT.
template <class F>
HRESULT ComCall(F&& body) noexcept {
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      return S_OK;
    } else {
      return body();
    }
  } catch (...) {
    return HResultFromCurrentException();
  }
}

}  // namespace tessaly::win
