// Severity levels: one bit each, so a set of levels is their bitwise or.
#pragma once

#include <cstdint>

namespace qvt {

enum Severity : std::uint32_t {
  kSeverityInfo = 1,
  kSeverityWarning = 2,
  kSeverityError = 4,
  kSeverityDebug = 8,
  kSeverityAudit = 16,
  kSeverityVerbose = 32,
  kSeverityAll = 0xFFFFFFFFu,
};

}  // namespace qvt
