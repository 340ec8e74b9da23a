// BenchHost: the host context the benchmarks give their evaluators: a logger
// that drops every line and a fixed shared server key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace qvt::bench {

class CQuietLogger : public qvt::CILogger {
 public:
  void log(const std::string&, const std::string&, std::uint32_t) override {}
};

class CBenchHost : public qvt::CIHostContext {
 public:
  qvt::CILogger& logger() override { return logger_; }
  std::vector<std::uint8_t> sharedServerKey() override { return {'b', 'e', 'n', 'c', 'h'}; }

 private:
  CQuietLogger logger_;
};

}  // namespace qvt::bench
