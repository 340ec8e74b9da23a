#include "class_a/standard/CStringMap.h"

#include <algorithm>

#include "class_a/standard/CNumberConversion.h"

namespace qvt {

namespace {

// Carriage returns count as blanks: a line break may carry more than one,
// and a value cannot keep one at its end once written as a line anyway.
bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string trimmed(const std::string& text, std::size_t begin, std::size_t end) {
  while (begin < end && isBlank(text[begin]))
    ++begin;
  while (end > begin && isBlank(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

}  // namespace

CStringMap::CStringMap(const std::string& text, char separator) {
  assign(text, separator);
}

void CStringMap::assign(const std::string& text, char separator) {
  clear();
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find(separator, begin);
    if (end == std::string::npos) end = text.size();
    std::size_t lineEnd = end;
    if (separator == '\n' && lineEnd > begin && text[lineEnd - 1] == '\r') --lineEnd;
    const std::size_t equals = static_cast<std::size_t>(
        std::find(text.begin() + begin, text.begin() + lineEnd, '=') - text.begin());
    if (equals < lineEnd) {
      add(trimmed(text, begin, equals), trimmed(text, equals + 1, lineEnd));
    } else {
      std::string key = trimmed(text, begin, lineEnd);
      if (!key.empty()) add(key, std::string());
    }
    begin = end + 1;
  }
}

void CStringMap::add(const std::string& key, const std::string& value) {
  entries_.emplace(key, value);
}

void CStringMap::set(const std::string& key, const std::string& value) {
  const auto found = entries_.lower_bound(key);
  if (found != entries_.end() && found->first == key) {
    found->second = value;
  } else {
    entries_.emplace_hint(found, key, value);
  }
}

void CStringMap::setInt32(const std::string& key, std::int32_t value) {
  set(key, std::to_string(value));
}

void CStringMap::setUInt32(const std::string& key, std::uint32_t value) {
  set(key, std::to_string(value));
}

void CStringMap::setBool(const std::string& key, bool value) {
  set(key, value ? "true" : "false");
}

const std::string* CStringMap::find(const std::string& key) const {
  const auto found = entries_.lower_bound(key);
  return found != entries_.end() && found->first == key ? &found->second : nullptr;
}

std::string CStringMap::getString(const std::string& key, const std::string& defaultValue) const {
  const std::string* value = find(key);
  return value != nullptr && !value->empty() ? *value : defaultValue;
}

std::int32_t CStringMap::getInt32(const std::string& key, std::int32_t defaultValue) const {
  const std::string* value = find(key);
  if (value == nullptr || value->empty()) return defaultValue;
  return CNumberConversion::toInt32(*value, 10);
}

std::uint32_t CStringMap::getUInt32(const std::string& key, std::uint32_t defaultValue) const {
  const std::string* value = find(key);
  if (value == nullptr || value->empty()) return defaultValue;
  return CNumberConversion::toUInt32(*value, 10);
}

bool CStringMap::getBool(const std::string& key, bool defaultValue) const {
  const std::string* value = find(key);
  if (value == nullptr) return defaultValue;
  return *value == "true" || *value == "TRUE" || *value == "True";
}

std::string CStringMap::text() const {
  std::string out;
  for (const auto& entry : entries_) {
    out += entry.first;
    out += '=';
    out += entry.second;
    out += '\n';
  }
  return out;
}

}  // namespace qvt
