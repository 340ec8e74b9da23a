// CStringMap: key=value lines, the text form of option definitions and
// key-value records.
//
// Each line is split at its first "="; key and value are trimmed of spaces
// and tabs, and a line without "=" is a key with an empty value. Keys are
// case-sensitive; lines with the same key are all kept in their order and
// every read takes the first:
//
//   CStringMap map("type = 8bit\nname=router\nname=other");
//   map.getString("name", "");          // "router"
//   map.getUInt32("max_instances", 1);  // 1 (absent)
//   map.text();                         // "name=router\nname=other\ntype=8bit\n"
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qvt {

class CStringMap {
 public:
  using Entries = std::multimap<std::string, std::string>;
  using const_iterator = Entries::const_iterator;

  CStringMap() = default;
  // CStringMap(text, separator): the entries of text (see assign).
  explicit CStringMap(const std::string& text, char separator = '\n');

  // assign: replaces the entries by the lines of text, split at separator.
  // Keys and values are trimmed of spaces, tabs and carriage returns (so
  // "\r\n" line breaks read as "\n"). Lines that are empty after trimming
  // are skipped.
  void assign(const std::string& text, char separator = '\n');

  // add: appends an entry after those with the same key.
  void add(const std::string& key, const std::string& value);
  // set: replaces the value of the first entry of key, or adds one.
  void set(const std::string& key, const std::string& value);
  // setInt32, setUInt32: set with the decimal text of value.
  void setInt32(const std::string& key, std::int32_t value);
  void setUInt32(const std::string& key, std::uint32_t value);
  // setBool: set with "true" or "false".
  void setBool(const std::string& key, bool value);
  // erase: removes every entry of key; returns how many there were.
  std::size_t erase(const std::string& key) { return entries_.erase(key); }

  // contains: true when key has an entry (even with an empty value).
  bool contains(const std::string& key) const { return find(key) != nullptr; }
  // find: the value of the first entry of key, or null.
  const std::string* find(const std::string& key) const;

  // getString: the first value of key when present and not empty, else
  // defaultValue.
  std::string getString(const std::string& key, const std::string& defaultValue) const;
  // getInt32, getUInt32: as getString, then the value read as a decimal
  // number. Raises CNumberConversionException (from CNumberConversion::toInt32
  // and toUInt32) when a present, non-empty value is not a number of that
  // range.
  std::int32_t getInt32(const std::string& key, std::int32_t defaultValue) const;
  std::uint32_t getUInt32(const std::string& key, std::uint32_t defaultValue) const;
  // getBool: defaultValue when key is absent; otherwise true exactly when the
  // value is "true", "TRUE" or "True" (an empty value is false).
  bool getBool(const std::string& key, bool defaultValue) const;

  // text: one "key=value\n" per entry in ascending byte order of the keys,
  // entries of one key in their order.
  std::string text() const;

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() { entries_.clear(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

 private:
  Entries entries_;
};

}  // namespace qvt
