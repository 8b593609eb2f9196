// The machine options file's record: name-to-text pairs in a self-checking byte layout.
#include "settings/machine_file.h"

#include <cstdint>
#include <string_view>

#include "host/crc32.h"
#include "host/text.h"

namespace tessaly {

namespace {

constexpr std::string_view kMagic = "TSLYMOPT";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 4;

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Reads from a bounded view; every read checks what is left.
struct Reader {
  std::string_view rest;
  bool u32(std::uint32_t& v) {
    if (rest.size() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(rest[i])} << (8 * i);
    rest.remove_prefix(4);
    return true;
  }
  bool text(std::string& s) {
    std::uint32_t n;
    if (!u32(n) || rest.size() < n) return false;
    s.assign(rest.substr(0, n));
    rest.remove_prefix(n);
    return true;
  }
};

}  // namespace

std::string EncodeMachineRecord(const PropertyBag& bag) {
  std::string payload;
  put_u32(payload, static_cast<std::uint32_t>(bag.size()));
  for (const auto& [name, value] : bag) {
    put_u32(payload, static_cast<std::uint32_t>(name.size()));
    payload += name;
    put_u32(payload, static_cast<std::uint32_t>(value.size()));
    payload += value;
  }
  std::string out(kMagic);
  put_u32(out, kVersion);
  put_u32(out, static_cast<std::uint32_t>(payload.size()));
  put_u32(out, Crc32(payload));
  return out + payload;
}

std::optional<PropertyBag> DecodeMachineRecord(const std::string& bytes) {
  if (bytes.size() < kHeaderSize || std::string_view(bytes).substr(0, kMagic.size()) != kMagic) return std::nullopt;
  Reader header{std::string_view(bytes).substr(kMagic.size())};
  std::uint32_t version, length, checksum;
  header.u32(version);
  header.u32(length);
  header.u32(checksum);
  if (version != kVersion || header.rest.size() < length) return std::nullopt;
  std::string_view payload = header.rest.substr(0, length);
  if (Crc32(payload) != checksum) return std::nullopt;
  Reader r{payload};
  std::uint32_t count;
  if (!r.u32(count)) return std::nullopt;
  PropertyBag bag;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name, value;
    if (!r.text(name) || !r.text(value)) return std::nullopt;
    bag.emplace_back(std::move(name), std::move(value));
  }
  if (!r.rest.empty()) return std::nullopt;
  return bag;
}

const std::string* FindProperty(const PropertyBag& bag, const std::string& name) {
  for (const auto& [key, value] : bag)
    if (iequals(key, name)) return &value;
  return nullptr;
}

}  // namespace tessaly
