// PayloadBuilder: bytes of DHCP payloads for the decoder tests, the values
// a decoded tree holds at a tag path, and the rows of the decoders' data
// files.
//
//   option4(53, {1});                      // 35 01 01
//   option6(8, {0, 100});                  // 00 08 00 02 00 64
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt::host::test {

using Bytes = std::vector<unsigned char>;

inline Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

inline Bytes cat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

// option4: a DHCPv4 option, one byte of code and one of length.
inline Bytes option4(std::uint8_t code, const Bytes& data) {
  return cat({{code, static_cast<unsigned char>(data.size())}, data});
}

// option6: a DHCPv6 option, two bytes of code and two of length.
inline Bytes option6(std::uint16_t code, const Bytes& data) {
  return cat(
      {{static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code),
        static_cast<unsigned char>(data.size() >> 8), static_cast<unsigned char>(data.size())},
       data});
}

// kDataFolder: the folder of the decoder tests' data files.
inline const std::string kDataFolder = DHCP_EVAL_SOURCE_DIR "/tests/host/data";

// nestedDefinitions: code and its sub-option 1, 1/1, ... down to levels
// levels, each encapsulating the next (for the tests of the nesting limit).
inline std::string nestedDefinitions(const std::string& code, int levels) {
  std::string text;
  std::string path = code;
  for (int level = 0; level < levels; ++level, path += "/1")
    text += "tagpath=" + path + "\ntype=subencoded\nname=level" + std::to_string(level) + "\n\n";
  return text;
}

// nested: sub-option 1 inside sub-option 1 ... levels deep, each with a
// code and length of width bytes.
inline Bytes nested(int levels, std::size_t width) {
  Bytes data;
  for (int level = 0; level < levels; ++level) {
    Bytes head(2 * width, 0);
    head[width - 1] = 1;
    head[2 * width - 1] = static_cast<unsigned char>(data.size());
    if (width == 2) head[2] = static_cast<unsigned char>(data.size() >> 8);
    data = cat({head, data});
  }
  return data;
}

// valuesOf: the elements of the option at path as text, {"absent"} without one.
inline std::vector<std::string> valuesOf(const CGeneralPtr<COption>& root,
                                         const std::string& path) {
  CGeneralPtr<COption> option;
  if (!root->tryGet(CTagPath(path), option, COptionType(), 0)) return {"absent"};
  std::vector<std::string> texts;
  const CValueTypeConverter converter(option);
  for (std::uint32_t i = 0; i < option->count(); ++i)
    texts.push_back(converter.variant(i).string());
  return texts;
}

// joinedValues: valuesOf joined by ", ", "(none)" for an option without elements.
inline std::string joinedValues(const CGeneralPtr<COption>& root, const std::string& path) {
  std::string joined;
  for (const std::string& value : valuesOf(root, path))
    joined += (joined.empty() ? "" : ", ") + value;
  return joined.empty() && valuesOf(root, path).empty() ? "(none)" : joined;
}

// CCaseRow: one row of a decoder data file (tests/host/data/): "bytes | path
// => values" or, for a refusal, "bytes => reason" with an empty path.
struct CCaseRow {
  std::string where;  // "file:line"
  Bytes bytes;
  std::string path;
  std::string expected;
};

// caseRows: the rows of data file name; blank and "#" lines are skipped.
inline std::vector<CCaseRow> caseRows(const std::string& name) {
  std::ifstream in(kDataFolder + "/" + name);
  std::vector<CCaseRow> rows;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t arrow = line.find(" =>");
    if (arrow == std::string::npos) throw std::runtime_error(name + ": a row without ' =>'");
    const std::size_t bar = std::min(line.find(" | "), arrow);
    CCaseRow row{name + ":" + std::to_string(number), {}, "", line.substr(arrow + 3)};
    if (!row.expected.empty()) row.expected.erase(0, 1);
    if (bar < arrow) row.path = line.substr(bar + 3, arrow - bar - 3);
    std::istringstream hex(line.substr(0, bar));
    for (unsigned int byte = 0; hex >> std::hex >> byte;)
      row.bytes.push_back(static_cast<unsigned char>(byte));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace qvt::host::test
