#include "class_a/standard/CMessageStore.h"

#include <charconv>

#include "class_a/standard/Fail.h"

namespace qvt {
namespace {

std::string trimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A record number that is not a decimal integer counts as missing.
std::int32_t parseId(const std::string& text) {
  std::int32_t id = -1;
  const char* const end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, id);
  return result.ec == std::errc() && result.ptr == end ? id : -1;
}

}  // namespace

CMessageStore::CMessageStore() : locales_{"*"} {}

CMessageStore::~CMessageStore() = default;

void CMessageStore::_processRecord(const std::string& record, std::uint64_t lineNumber) {
  Entry entry;
  std::string english;
  bool hasEnglish = false;
  const bool keepAll = locales_.count("*") != 0;
  std::size_t start = 0;
  while (start < record.size()) {
    std::size_t end = record.find('\n', start);
    if (end == std::string::npos) end = record.size();
    const std::string line = record.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;  // not a key line
    const std::string key = trimBlanks(line.substr(0, equals));
    const std::string value = line.substr(equals + 1);
    if (key == "id") {
      entry.id = parseId(trimBlanks(value));
    } else if (key == "description") {
      // A note for translators only.
    } else {
      if (key == "en_US") {
        english = value;
        hasEnglish = true;
      }
      if (keepAll || locales_.count(key) != 0) entry.translations[key] = value;
    }
  }
  if (!hasEnglish) {
    fail(CRaiser::of(*this), "standard", "CMessageStore::_processRecord",
         {"Invalid record at line %1 in message locale file.", lineNumber}, "Missing key 'en_US'.");
  }
  entries_[english] = std::move(entry);
}

void CMessageStore::translate(CMessage& message, const std::string& locale) const {
  const auto found = entries_.find(message.templateText());
  if (found == entries_.end()) {
    message.setId(-1);
    return;
  }
  message.setId(found->second.id);
  const auto translation = found->second.translations.find(locale);
  if (translation != found->second.translations.end() && !translation->second.empty()) {
    message.setTemplateText(translation->second);
  }
}

void CMessageStore::translate(std::string& templateText, const std::string& locale) const {
  const auto found = entries_.find(templateText);
  if (found == entries_.end()) return;
  const auto translation = found->second.translations.find(locale);
  if (translation != found->second.translations.end() && !translation->second.empty()) {
    templateText = translation->second;
  }
}

}  // namespace qvt
