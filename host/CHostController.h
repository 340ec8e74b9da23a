// CHostController: the reference host's controller, standing in for the DHCP
// server's master controller.
//
// It is the host object every plugin gets (CIHostContext) and the logger of
// the process (CILogger): each message is written as one line
// "<level word>: <module>: <message>" ("error: host: Failed to initialize
// plugin 'X'.") when its level is in the configured log levels.
//
// The shared server key is the raw content of the configured key file. When
// none is configured the controller logs a warning and uses a key of 56 random
// bytes drawn once per process: values enciphered with it cannot be
// deciphered by another process.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "host/CHostConfig.h"
#include "host/SharedServerKey.h"

namespace qvt::host {

class CHostController : public CIHostContext, public CILogger {
 public:
  // Largest key file accepted, in bytes.
  static constexpr std::size_t kMaxKeyFileSize = host::kMaxKeyFileSize;

  // A controller configured by config that logs to logStream (which must
  // outlive it). Reads the shared server key now. Raises (module "host",
  // operation "CHostController::sharedServerKey") "Cannot read shared server
  // key file '%1'." with the system's reason when the file cannot be opened
  // or read, or with reason "The file is empty." or "The file is larger than
  // %1 bytes."; and "Cannot build the default shared server key." with the
  // system's reason when no random bytes can be had.
  explicit CHostController(const CHostConfig& config, std::ostream& logStream = std::cerr);
  ~CHostController() override;

  // logger: this controller.
  CILogger& logger() override { return *this; }
  // sharedServerKey: the bytes of the key (never empty).
  std::vector<std::uint8_t> sharedServerKey() override { return sharedServerKey_; }
  // log: writes one line when level shares a bit with the log levels.
  void log(const std::string& message, const std::string& module, std::uint32_t level) override;

  std::uint32_t logLevels() const { return logLevels_; }
  void setLogLevels(std::uint32_t mask) { logLevels_ = mask; }

  // defaultSharedServerKey: the process's default key, 56 bytes from
  // getrandom(2), drawn on first use.
  static const std::vector<std::uint8_t>& defaultSharedServerKey();

 private:
  std::ostream& logStream_;
  std::uint32_t logLevels_;
  std::vector<std::uint8_t> sharedServerKey_;
};

}  // namespace qvt::host
