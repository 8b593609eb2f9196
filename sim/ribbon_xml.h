// The part of an add-in's customUI XML that the stand-in Excel shows: the root's callbacks and
// every button and toggle button with its attributes, in document order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessaly::sim {

struct RibbonControlXml {
  std::string kind;                               // "button" or "toggleButton"
  std::map<std::string, std::string> attributes;  // id, label, onAction, getPressed, image...
  std::string tab;  // the enclosing tab: a built-in one's idMso ("TabInsert"), else its label
  std::string Attribute(const std::string& name) const {
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
  }
};

struct RibbonXml {
  std::string on_load, load_image;  // the customUI root's onLoad and loadImage
  std::vector<RibbonControlXml> controls;
};

// Empty when the text is not well-formed XML (unclosed or mismatched elements, a bad attribute)
// or has no customUI root.
std::optional<RibbonXml> ParseRibbonXml(const std::string& text);

}  // namespace tessaly::sim
