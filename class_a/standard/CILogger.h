// CILogger: where the system's log messages go. The host supplies one.
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

class CILogger {
 public:
  virtual ~CILogger() = default;
  // log: one text message with the module that wrote it and its level (a
  // severity bit, Severity.h).
  virtual void log(const std::string& message, const std::string& module,
                   std::uint32_t level) = 0;
};

}  // namespace qvt
