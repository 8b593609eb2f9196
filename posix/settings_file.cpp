// The text form of the POSIX per-user settings file.
#include "posix/settings_file.h"

#include <cstdio>

namespace tessaly::posix {

namespace {

std::string escape(const std::string& s, bool name) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '=': out += name ? "\\=" : "="; break;
      case '[': out += name ? "\\[" : "["; break;
      case ']': out += name ? "\\]" : "]"; break;
      default:
        if (u < 0x20 || u == 0x7F) {
          char buf[5];
          std::snprintf(buf, sizeof buf, "\\x%02X", u);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Unescapes s[from, to); `stop` is set to the position of the first unescaped '=' when asked.
std::string unescape(const std::string& s, std::size_t from, std::size_t to, std::size_t* stop) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) {
    char c = s[i];
    if (c == '=' && stop) {
      *stop = i;
      return out;
    }
    if (c != '\\' || i + 1 >= to) {
      out += c;
      continue;
    }
    char e = s[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x':
        if (i + 2 < to && hex_digit(s[i + 1]) >= 0 && hex_digit(s[i + 2]) >= 0) {
          out += static_cast<char>(hex_digit(s[i + 1]) * 16 + hex_digit(s[i + 2]));
          i += 2;
        } else {
          out += 'x';
        }
        break;
      default: out += e;
    }
  }
  if (stop) *stop = std::string::npos;
  return out;
}

}  // namespace

namespace {

bool is_line_break(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u < 0x20 && c != '\t') || u == 0x7F;
}

// True when s[from, to) holds an '=' that no backslash escapes.
bool has_separator(const std::string& s, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (s[i] == '\\') ++i;
    else if (s[i] == '=') return true;
  }
  return false;
}

}  // namespace

ParsedSettings ParseSettings(const std::string& text) {
  ParsedSettings out;
  SettingsDocument& doc = out.doc;
  std::vector<std::pair<std::string, std::string>> orphans;  // values before any header
  std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (pos < text.size()) {
    // A stray control byte first on its line or last before a break most likely took the place
    // of a bracket: it stays in the line, which then reads as a header with a broken bracket.
    std::size_t end = pos;
    bool crlf = false;
    for (; end < text.size(); ++end) {
      const char c = text[end];
      if (c == '\n') break;
      if (!is_line_break(c)) continue;
      crlf = c == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      if (crlf) break;
      ++out.damaged;
      const bool last = end + 1 == text.size() || text[end + 1] == '\n' || text[end + 1] == '\r';
      if (end != pos && !last) break;
    }
    const std::size_t line_end = end;
    const bool header_like = line_end - pos >= 2 && (text[pos] == '[' || text[line_end - 1] == ']');
    if (header_like && text[pos] == '[' && text[line_end - 1] == ']') {
      doc.push_back({unescape(text, pos + 1, line_end - 1, nullptr), {}});
    } else if (header_like && !has_separator(text, pos, line_end)) {
      ++out.damaged;
      doc.push_back({unescape(text, pos + 1, line_end - 1, nullptr), {}});
    } else if (line_end > pos) {
      std::size_t eq = std::string::npos;
      std::string key = unescape(text, pos, line_end, &eq);
      if (eq == std::string::npos) {
        ++out.damaged;
      } else if (doc.empty()) {
        ++out.damaged;
        orphans.emplace_back(key, unescape(text, eq + 1, line_end, nullptr));
      } else {
        doc.back().values.emplace_back(key, unescape(text, eq + 1, line_end, nullptr));
      }
    }
    if (doc.size() == 1 && !orphans.empty()) {
      doc[0].values.insert(doc[0].values.begin(), orphans.begin(), orphans.end());
      orphans.clear();
    }
    pos = crlf ? end + 2 : end + 1;
  }
  if (!orphans.empty()) doc.push_back({"", std::move(orphans)});
  return out;
}

std::string FormatSettings(const SettingsDocument& doc) {
  std::string out;
  for (const auto& section : doc) {
    out += "[" + escape(section.name, true) + "]\n";
    for (const auto& [key, value] : section.values) out += escape(key, true) + "=" + escape(value, false) + "\n";
  }
  return out;
}

}  // namespace tessaly::posix
