// JsonReader: a strict reader of one JSON text, to check what the command
// prints. It refuses what RFC 8259 refuses (raw control characters in
// strings, malformed UTF-8, unknown escapes, trailing text) and keeps object
// members in their written order.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qvt::test {

struct CJson {
  enum Kind { kNull, kBoolean, kNumber, kString, kArray, kObject };
  Kind kind = kNull;
  bool boolean = false;
  std::string text;  // a string's UTF-8 text, or a number as written
  std::vector<CJson> items;
  std::vector<std::pair<std::string, CJson>> members;

  // keys: the member names in written order.
  std::vector<std::string> keys() const;
  // find: the member named key, or null when missing.
  const CJson* find(const std::string& key) const;
  // at: the member named key; raises std::runtime_error when missing.
  const CJson& at(const std::string& key) const;
  // scalar: a string's text, a number as written, "true", "false" or "null".
  std::string scalar() const;
};

// parseJson: the value of text; raises std::runtime_error naming the offset
// when text is not exactly one valid JSON value.
CJson parseJson(const std::string& text);

}  // namespace qvt::test
