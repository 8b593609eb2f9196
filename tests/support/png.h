// A small PNG codec for test images: 8-bit RGB, written with stored (uncompressed) deflate blocks
// so that the same bytes come out on every platform, and read back in that same form.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "host/crc32.h"

namespace tessaly::testing {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // row-major, three bytes a pixel
};

namespace png_detail {

inline std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
  return Crc32({reinterpret_cast<const char*>(p), n});
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

inline std::uint32_t get32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace png_detail

inline std::vector<std::uint8_t> EncodePng(const RgbImage& img) {
  using namespace png_detail;
  std::vector<std::uint8_t> raw;  // each row behind a filter byte of 0
  const std::size_t row = static_cast<std::size_t>(img.width) * 3;
  for (int y = 0; y < img.height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), img.rgb.begin() + static_cast<std::ptrdiff_t>(row * y),
               img.rgb.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)));
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  put32(ihdr, static_cast<std::uint32_t>(img.width));
  put32(ihdr, static_cast<std::uint32_t>(img.height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  chunk(out, "IHDR", ihdr);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  return out;
}

// Reads what EncodePng writes; empty for anything else (other PNG encodings included).
inline std::optional<RgbImage> DecodePng(const std::vector<std::uint8_t>& in) {
  using namespace png_detail;
  if (in.size() < 8 || in[1] != 'P' || in[2] != 'N' || in[3] != 'G') return std::nullopt;
  RgbImage img;
  std::vector<std::uint8_t> z;
  for (std::size_t at = 8; at + 12 <= in.size();) {
    const std::uint32_t len = get32(&in[at]);
    if (len > in.size() - at - 12) return std::nullopt;
    const std::string type(reinterpret_cast<const char*>(&in[at + 4]), 4);
    const std::uint8_t* data = &in[at + 8];
    if (crc32(&in[at + 4], len + 4) != get32(data + len)) return std::nullopt;
    if (type == "IHDR") {
      if (len != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) return std::nullopt;
      img.width = static_cast<int>(get32(data));
      img.height = static_cast<int>(get32(data + 4));
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + len);
    }
    at += 12 + len;
  }
  const std::size_t row = static_cast<std::size_t>(img.width) * 3;
  std::vector<std::uint8_t> raw;
  for (std::size_t at = 2; at + 5 <= z.size();) {
    const bool last = z[at] & 1;
    if ((z[at] >> 1) != 0) return std::nullopt;  // compressed blocks are not ours
    const std::size_t n = z[at + 1] | (std::size_t{z[at + 2]} << 8);
    at += 5;
    if (n > z.size() - at) return std::nullopt;
    raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(at), z.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    if (last) break;
  }
  if (img.width <= 0 || img.height <= 0 || raw.size() != (row + 1) * static_cast<std::size_t>(img.height))
    return std::nullopt;
  for (int y = 0; y < img.height; ++y) {
    const std::size_t at = (row + 1) * static_cast<std::size_t>(y);
    if (raw[at] != 0) return std::nullopt;
    img.rgb.insert(img.rgb.end(), raw.begin() + static_cast<std::ptrdiff_t>(at + 1),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + 1 + row));
  }
  return img;
}

inline bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tessaly::testing
