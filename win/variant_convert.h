// VARIANT to and from the product's Variant, and UTF-8 text to and from BSTR.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "host/variant.h"
#include "win/com_handles.h"

namespace tessaly::win {

unique_bstr to_bstr(std::string_view utf8);
std::string from_bstr(BSTR text);  // a null BSTR is ""

// Cell error values travel as VT_ERROR with the host's code in the low word of an SCODE of
// facility 0x0A (#N/A = 2042 = 0x800A07FA); any other SCODE is kept whole as the code.
SCODE error_scode(std::int32_t host_code);
std::int32_t host_error_code(SCODE scode);

// Empty, null, integers, numbers (currency and decimals too), dates, texts, booleans and error
// values, read through VT_BYREF as well. Nothing (a null object) is empty. Anything else (an
// array, an object) throws HostError with the system's type-mismatch text.
Variant from_variant(const VARIANT& v);

unique_variant to_variant(const Variant& v);

}  // namespace tessaly::win
