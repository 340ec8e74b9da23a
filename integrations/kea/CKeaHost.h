// CKeaHost: the host object the evaluator module gets inside Kea: the shared
// server key that keys the cipher functions, and a logger that writes the
// module's messages (and the plugin loader's) into Kea's log.
//
//   CKeaHost host(readKeyFile(path, errors));
//   CPluginLoader loader(host);
//
// Severities map onto Kea's levels: error to ERROR, warning to WARN, info
// and audit to INFO, debug and verbose to DEBUG (level kDebugDetail); a
// message that carries several severity bits takes the most severe one.
// Logging is safe from any thread (Kea's loggers are).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace qvt::kea {

// CKeaLevel: the Kea level a message is written at.
enum class CKeaLevel { kError, kWarning, kInfo, kDebug };

class CKeaHost : public CIHostContext, public CILogger {
 public:
  // CKeaHost: a host whose shared server key is key (not empty).
  explicit CKeaHost(std::vector<std::uint8_t> key);
  ~CKeaHost() override;

  CILogger& logger() override { return *this; }
  std::vector<std::uint8_t> sharedServerKey() override { return key_; }
  // log: writes "module: message" into Kea's log at the level of level.
  void log(const std::string& message, const std::string& module, std::uint32_t level) override;

  // keaLevelOf: the Kea level of a set of severity bits (Severity.h); no
  // known bit gives kInfo.
  static CKeaLevel keaLevelOf(std::uint32_t level);

 private:
  std::vector<std::uint8_t> key_;
};

}  // namespace qvt::kea
