// CRecordingHost: a host object for the loader tests that keeps every log
// message it receives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace qvt::host {

class CRecordingHost : public CIHostContext, public CILogger {
 public:
  struct CEntry {
    std::string message;
    std::string module;
    std::uint32_t level;
  };

  CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return {1, 2, 3}; }
  void log(const std::string& message, const std::string& module, std::uint32_t level) override {
    entries.push_back({message, module, level});
  }

  // messages: the messages of module whose level shares a bit with levels.
  std::vector<std::string> messages(const std::string& module, std::uint32_t levels) const {
    std::vector<std::string> found;
    for (const CEntry& entry : entries) {
      if (entry.module == module && (entry.level & levels) != 0) found.push_back(entry.message);
    }
    return found;
  }

  std::vector<CEntry> entries;
};

}  // namespace qvt::host
