// The machine options file's record: name-to-text pairs in a self-checking byte layout.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessaly {

using PropertyBag = std::vector<std::pair<std::string, std::string>>;

// Layout (little-endian): "TSLYMOPT", version 1 (u32), payload length (u32), CRC-32 of the
// payload (u32), then the payload: pair count (u32) and per pair name length (u32), name bytes,
// value length (u32), value bytes. Names and values may hold any bytes.
std::string EncodeMachineRecord(const PropertyBag& bag);

// The largest machine file read: far above the few short per-machine options, so anything
// larger is hostile or damaged and counts as not loaded.
constexpr std::size_t kMaxMachineFileBytes = 1 << 20;

// The first record of the bytes; bytes after it are ignored (an older, longer record's tail).
// Empty for a missing, truncated or corrupt record.
std::optional<PropertyBag> DecodeMachineRecord(const std::string& bytes);

// The value of the first property of that name (case ignored), if any.
const std::string* FindProperty(const PropertyBag& bag, const std::string& name);

}  // namespace tessaly
