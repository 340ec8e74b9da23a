// CIHostContext: what the expression engine asks of the object that hosts it.
//
// The server's master controller implements it; tools and tests use small
// stand-ins. The engine asks only for the logger ($LOG) and for the shared
// server key that keys its cipher.
#pragma once

#include <cstdint>
#include <vector>

#include "class_a/standard/CILogger.h"

namespace qvt {

class CIHostContext {
 public:
  virtual ~CIHostContext() = default;
  // logger: the host's logger; lives as long as the host.
  virtual CILogger& logger() = 0;
  // sharedServerKey: the bytes of the shared server key (never empty).
  virtual std::vector<std::uint8_t> sharedServerKey() = 0;
};

}  // namespace qvt
