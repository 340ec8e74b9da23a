// dataLines: the lines of a test data file under tests/, with the "[section]"
// each falls in. Blank lines, "#" comments and section lines are left out;
// "\t", "\n" and "\r" stand for a tab, a line feed and a carriage return. A file that cannot be
// read gives no lines, so each test also checks how many rows it read.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace qvt_test {

struct DataLine {
  std::string section;
  std::string text;

  // input, expected: a row "INPUT => EXPECTED" split at its last " => " (an
  // input may hold one); without one, the whole text and nothing.
  std::string input() const { return text.substr(0, arrow()); }
  std::string expected() const { return hasExpected() ? text.substr(arrow() + 4) : std::string(); }
  bool hasExpected() const { return arrow() != std::string::npos; }

 private:
  std::size_t arrow() const { return text.rfind(" => "); }
};

inline std::vector<DataLine> dataLines(const std::string& path) {
  std::ifstream in(std::string(DHCP_EVAL_SOURCE_DIR) + "/tests/" + path);
  std::vector<DataLine> lines;
  std::string section;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    for (std::size_t at = line.find('\\'); at != std::string::npos; at = line.find('\\', at + 1)) {
      const std::string escapes = "tnr";
      const std::size_t which =
          at + 1 < line.size() ? escapes.find(line[at + 1]) : std::string::npos;
      if (which != std::string::npos) line.replace(at, 2, 1, "\t\n\r"[which]);
    }
    lines.push_back({section, line});
  }
  return lines;
}

}  // namespace qvt_test
