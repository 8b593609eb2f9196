// HRESULT failures of COM calls turned into the product's HostError, with the system's own text.
#pragma once

#include <windows.h>

#include <string_view>

#include "host/host_error.h"

namespace tessaly::win {

// The system's message for an HRESULT ("Type mismatch.", "Member not found."), without the trailing
// line break; "Error 0x80020003" when the system has none.
std::string hresult_text(HRESULT hr);

// A HostError carrying hr and the given description, or the system's text for hr when it is empty;
// context says what was being done (the member called).
HostError com_error(HRESULT hr, std::wstring_view description = {}, std::string_view context = {});

// Throws com_error(hr) when hr is a failure.
inline void check_hr(HRESULT hr) {
  if (FAILED(hr)) throw com_error(hr);
}

}  // namespace tessaly::win
