// Where the committed test data lives: the build's data folder, or TESSALY_TEST_DATA from the
// environment (under Wine it names the folder as a Windows path).
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::testing {

inline std::string TestDataPath(std::string_view name) {
  const char* env = std::getenv("TESSALY_TEST_DATA");
  std::string base = env && *env ? env : TESSALY_TEST_DATA;
  return base + "/" + std::string(name);
}

// The lines of a tab-separated data file, comments ("#...") and blank lines left out, each
// split at its tabs. Empty when the file cannot be read.
inline std::vector<std::vector<std::string>> ReadTsv(std::string_view name) {
  std::ifstream in(TestDataPath(name), std::ios::binary);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
      const std::size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

}  // namespace tessaly::testing
