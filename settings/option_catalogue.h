// The catalogue of options: index, key, type, default and store type of each.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "host/variant.h"
#include "settings/option_ids.h"

namespace tessaly {

inline constexpr const char* kOptionSection = "GlobalOptions";

// Defaults that are known only at start-up.
enum class RuntimeDefault { None, ShortDatePattern, RibbonFileInAddInFolder };

struct OptionSpec {
  opt::Index index;
  std::string_view key;
  short type;             // 2, 3, 8 or 11
  std::int32_t number;    // default of integer and boolean options (boolean: 0 or 1)
  std::string_view text;  // default of string options
  std::int32_t store;     // 0 per user, 1 per machine
  RuntimeDefault runtime = RuntimeDefault::None;
  bool i2_default = false;  // the default is held as a 16-bit integer though the option is Long
};

std::span<const OptionSpec> OptionCatalogue();

// The default value of an option, given the start-up facts the runtime defaults need.
Variant DefaultValue(const OptionSpec& spec, const std::string& short_date_pattern, const std::string& addin_folder);

}  // namespace tessaly
