// SharedServerKey: the shared server key that keys the cipher functions, as
// the hosts get it (the reference host's controller and the dhcp-eval
// command): the raw bytes of a key file, or a random default key. The caller
// names who raises the failures:
//
//   const CKeyErrors errors{CRaiser::none(), "host", "CHostController::sharedServerKey"};
//   std::vector<std::uint8_t> key = readKeyFile("/etc/dhcp/server.key", errors);
//   std::vector<std::uint8_t> fallback = randomKey(errors);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/Fail.h"

namespace qvt::host {

// kMaxKeyFileSize: the largest key file accepted (the cipher uses at most the
// first 56 bytes; the bound keeps a device file from being read endlessly).
constexpr std::size_t kMaxKeyFileSize = 64 * 1024;
// kDefaultKeySize: the length of a random default key, the longest key
// Blowfish uses.
constexpr std::size_t kDefaultKeySize = 56;

// CKeyErrors: the raiser, module and operation of the failures below.
struct CKeyErrors {
  CRaiser raiser;
  std::string module;
  std::string operation;
};

// readKeyFile: the raw bytes of the file at path. Raises "Cannot read shared
// server key file '%1'." with the system's reason when the file cannot be
// opened or read, or with reason "The file is empty." or "The file is larger
// than %1 bytes." (kMaxKeyFileSize).
std::vector<std::uint8_t> readKeyFile(const std::string& path, const CKeyErrors& errors);

// randomKey: kDefaultKeySize bytes from getrandom(2). Raises "Cannot build the
// default shared server key." with the system's reason when the random source
// fails.
std::vector<std::uint8_t> randomKey(const CKeyErrors& errors);

// defaultKeyWarning: the warning a host logs when no key file is configured;
// setting names where one would be ("The config file does not define a shared
// server key ('--key'). A default value will be used.").
std::string defaultKeyWarning(const std::string& setting);

}  // namespace qvt::host
