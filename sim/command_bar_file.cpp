// One line per bar, then one per control of it; fields apart by tabs, texts escaped.
#include "sim/command_bar_file.h"

#include <sstream>
#include <vector>

namespace tessaly::sim {

namespace {

constexpr const char* kHeader = "stand-in command bars 1";

std::string Escape(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(Unescape(line.substr(start, tab - start)));
  fields.push_back(Unescape(line.substr(start)));
  return fields;
}

std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "\t") + Escape(f);
  return line + "\n";
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

std::string SaveCommandBars(const SimExcel& host, const FaceCodec& faces) {
  const auto face = [&](const ButtonImagePtr& image) { return image && faces.save ? faces.save(image) : std::string(); };
  std::string text = std::string(kHeader) + "\n";
  for (const auto& bar : host.Bars()) {
    if (bar->temporary) continue;
    text += Line({"bar", bar->name, std::to_string(bar->position), Flag(bar->visible), Flag(bar->built_in)});
    for (const auto& c : bar->controls) {
      if (c->temporary) continue;
      text += Line({"control", std::to_string(c->type), std::to_string(c->id), c->tag, c->caption, c->on_action, c->tooltip,
                    std::to_string(c->style), std::to_string(c->state), Flag(c->begin_group), Flag(c->visible),
                    Flag(c->enabled), Flag(c->disabled_while_editing), c->picture, c->mask, face(c->picture_image),
                    face(c->mask_image)});
    }
  }
  return text;
}

bool LoadCommandBars(SimExcel& host, const std::string& text, const FaceCodec& faces) {
  const auto face = [&](const std::string& key, const std::string& bits) {
    return !bits.empty() && faces.load ? faces.load(key, bits) : nullptr;
  };
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  std::vector<std::shared_ptr<CommandBarModel>> bars;
  try {
    while (std::getline(in, line)) {
      const std::vector<std::string> f = Fields(line);
      if (f[0] == "bar" && f.size() == 5) {
        auto bar = std::make_shared<CommandBarModel>();
        bar->name = f[1];
        bar->position = std::stoi(f[2]);
        bar->visible = f[3] == "1", bar->built_in = f[4] == "1";
        bars.push_back(bar);
      } else if (f[0] == "control" && f.size() == 17 && !bars.empty()) {
        auto c = std::make_shared<ControlModel>();
        c->type = std::stoi(f[1]), c->id = std::stoi(f[2]);
        c->tag = f[3], c->caption = f[4], c->on_action = f[5], c->tooltip = f[6];
        c->style = std::stoi(f[7]), c->state = std::stoi(f[8]);
        c->begin_group = f[9] == "1", c->visible = f[10] == "1", c->enabled = f[11] == "1";
        c->disabled_while_editing = f[12] == "1";
        c->picture = f[13], c->mask = f[14];
        c->picture_image = face(c->picture, f[15]);
        c->mask_image = face(c->mask, f[16]);
        bars.back()->controls.push_back(c);
      } else if (!line.empty()) {
        return false;
      }
    }
  } catch (const std::exception&) {  // a number that is none
    return false;
  }
  std::vector<std::string> names;
  for (const auto& bar : host.Bars()) names.push_back(bar->name);
  for (const std::string& name : names) host.RemoveBar(name);
  for (const auto& bar : bars) host.AddBar(bar->name) = *bar;
  return true;
}

}  // namespace tessaly::sim
