#include "host/kvstore/KeyValueRecordFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <set>

#include "class_a/standard/BoundedLine.h"
#include "class_a/standard/CStringMap.h"
#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

// The keys a record's text may hold. Others are refused, so that a
// misspelt key ("enabeld=false") does not pass unnoticed.
const std::set<std::string>& knownKeys() {
  static const std::set<std::string> keys = {"class",    "subclass", "key",     "value",
                                             "enabled",  "mod_time", "domains", "domains+",
                                             "domains-", "oid"};
  return keys;
}

std::size_t firstNonBlank(const std::string& line) {
  const std::size_t at = line.find_first_not_of(" \t");
  return at == std::string::npos ? line.size() : at;
}

// CPendingRecord: the lines of one record while it is read.
struct CPendingRecord {
  std::string text;
  std::size_t firstLineNumber = 0;
  std::string firstLine;
};

CPrstKeyValue parseRecord(const CPendingRecord& pending) {
  for (const auto& [key, value] : CStringMap(pending.text)) {
    if (knownKeys().count(key) == 0) {
      fail(CRaiser::none(), "prst_generic", "readRecords", {"Unknown key '%1'.", key}, "");
    }
  }
  CPrstKeyValue record;
  record._set(pending.text);
  return record;
}

}  // namespace

std::vector<CPrstKeyValue> readRecords(const std::string& text, const std::string& name) {
  std::vector<CPrstKeyValue> records;
  CPendingRecord pending;
  const auto finish = [&] {
    if (pending.text.empty()) return;
    try {
      records.push_back(parseRecord(pending));
    } catch (const CException& e) {
      fail(CRaiser::none(), "prst_generic", "readRecords",
           {"Cannot read key-value records from '%1'.", name},
           {"Record %1 (line %2: '%3'): %4", records.size() + 1, pending.firstLineNumber,
            pending.firstLine, e.text()});
    }
    pending = CPendingRecord();
  };

  std::size_t lineNumber = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    begin = end + 1;
    ++lineNumber;

    const std::size_t start = firstNonBlank(line);
    if (start == line.size()) {
      finish();
    } else if (line[start] != '#') {
      if (pending.text.empty()) {
        pending.firstLineNumber = lineNumber;
        pending.firstLine = line;
      }
      pending.text += line;
      pending.text += '\n';
    }
  }
  finish();
  return records;
}

std::vector<CPrstKeyValue> readRecordStream(std::FILE* file, const std::string& name) {
  std::string text;
  std::string line;
  std::uint64_t number = 1;
  for (CLineRead read; (read = readBoundedLine(file, line)) != CLineRead::kEnd; ++number) {
    if (read == CLineRead::kTooLong) {
      fail(
          CRaiser::none(), "prst_generic", "readRecords",
          {"Cannot read key-value records from '%1'.", name},
          {"Line %1 is longer than %2 bytes.", number, static_cast<std::uint64_t>(kMaxLineLength)});
    }
    text += line;
    text += '\n';
  }
  if (std::ferror(file)) {
    failSystem(CRaiser::none(), "prst_generic", "readRecordFile", {"Cannot open file '%1'.", name},
               static_cast<std::uint32_t>(errno));
  }
  return readRecords(text, name);
}

std::vector<CPrstKeyValue> readRecordFile(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    failSystem(CRaiser::none(), "prst_generic", "readRecordFile", {"Cannot open file '%1'.", path},
               static_cast<std::uint32_t>(errno));
  }
  return readRecordStream(file.get(), path);
}

std::string writeRecords(const std::vector<CPrstKeyValue>& records) {
  std::string text;
  for (const CPrstKeyValue& record : records) {
    if (!text.empty()) text += '\n';
    text += record.string();
  }
  return text;
}

}  // namespace qvt::host
