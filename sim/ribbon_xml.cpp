// A small reader of customUI XML: elements, attributes and entities, enough to find the controls.
#include "sim/ribbon_xml.h"

#include <cctype>

namespace tessaly::sim {

namespace {

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  bool closing = false, empty = false;
};

std::string Decode(const std::string& s) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    bool matched = false;
    for (auto [entity, ch] : kEntities)
      if (s.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
        out += ch, i += std::char_traits<char>::length(entity), matched = true;
        break;
      }
    if (!matched) out += s[i++];
  }
  return out;
}

// The local name: "mso:button" is a button.
std::string LocalName(const std::string& qualified) {
  auto colon = qualified.find(':');
  return colon == std::string::npos ? qualified : qualified.substr(colon + 1);
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-' || c == '.'; }

// Reads the tag between '<' and '>' (exclusive); empty when it is malformed.
std::optional<Element> ReadTag(const std::string& tag) {
  Element e;
  std::size_t i = 0;
  if (i < tag.size() && tag[i] == '/') e.closing = true, ++i;
  while (i < tag.size() && IsNameChar(tag[i])) e.name += tag[i++];
  if (e.name.empty()) return std::nullopt;
  for (;;) {
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    if (i == tag.size()) break;
    if (tag[i] == '/' && i + 1 == tag.size() && !e.closing) {
      e.empty = true;
      break;
    }
    std::string key;
    while (i < tag.size() && IsNameChar(tag[i])) key += tag[i++];
    if (key.empty() || e.closing || i + 1 >= tag.size() || tag[i] != '=') return std::nullopt;
    const char quote = tag[++i];
    if (quote != '"' && quote != '\'') return std::nullopt;
    const auto end = tag.find(quote, ++i);
    if (end == std::string::npos || e.attributes.count(key)) return std::nullopt;
    e.attributes[key] = Decode(tag.substr(i, end - i));
    i = end + 1;
  }
  return e;
}

}  // namespace

std::optional<RibbonXml> ParseRibbonXml(const std::string& text) {
  RibbonXml out;
  std::vector<std::string> open;
  bool root_seen = false;
  std::string tab;  // the tab being read
  for (std::size_t i = text.find('<'); i != std::string::npos; i = text.find('<', i)) {
    if (text.compare(i, 4, "<!--") == 0) {
      i = text.find("-->", i);
      if (i == std::string::npos) return std::nullopt;
      continue;
    }
    if (text.compare(i, 2, "<?") == 0) {
      i = text.find("?>", i);
      if (i == std::string::npos) return std::nullopt;
      continue;
    }
    const auto close = text.find('>', i);
    if (close == std::string::npos) return std::nullopt;
    auto e = ReadTag(text.substr(i + 1, close - i - 1));
    i = close + 1;
    if (!e) return std::nullopt;
    if (e->closing) {
      if (open.empty() || open.back() != e->name) return std::nullopt;
      open.pop_back();
      if (LocalName(e->name) == "tab") tab.clear();
      continue;
    }
    const std::string local = LocalName(e->name);
    if (open.empty()) {
      if (root_seen || local != "customUI") return std::nullopt;
      root_seen = true;
      out.on_load = e->attributes["onLoad"];
      out.load_image = e->attributes["loadImage"];
    }
    if (local == "tab" && !e->empty) {
      tab = e->attributes["idMso"];
      if (tab.empty()) tab = e->attributes["label"].empty() ? e->attributes["id"] : e->attributes["label"];
    }
    if (local == "button" || local == "toggleButton") out.controls.push_back({local, e->attributes, tab});
    if (!e->empty) open.push_back(e->name);
  }
  if (!root_seen || !open.empty()) return std::nullopt;
  return out;
}

}  // namespace tessaly::sim
