// CToolHost: the host object of the dhcp-eval command.
//
// It gives the expression engine what a server would: a logger (one line per
// message on a stream, standard error by default; debug and verbose
// messages, such as the plugin loader's life-cycle steps, are left out) and
// the shared server key
// that keys the cipher functions. The key is the raw content of a key file
// (--key FILE); without one, the host warns and uses a random key made once
// per process, so values enciphered by one run cannot be read by another:
//
//   CToolHost host(std::cerr);
//   host.loadKeyFile("server.key");
//   CExpEval engine(&host);
//   engine.initCipher();
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "host/SharedServerKey.h"

namespace qvt::tool {

class CToolHost : public CIHostContext, public CILogger {
 public:
  // kMaxKeyFileSize: the largest key file accepted (the cipher uses at most
  // the first 56 bytes; the bound keeps a device file from being read
  // endlessly).
  static constexpr std::size_t kMaxKeyFileSize = host::kMaxKeyFileSize;
  // kDefaultKeySize: the length of the random default key.
  static constexpr std::size_t kDefaultKeySize = host::kDefaultKeySize;

  // CToolHost: logs to logStream (which must outlive the host); no key file.
  explicit CToolHost(std::ostream& logStream);

  // loadKeyFile: makes the raw bytes of the file at path the shared server
  // key. Raises "Cannot read shared server key file '%1'." (module
  // "dhcp-eval", operation "CToolHost::loadKeyFile") with the system's reason
  // when the file cannot be opened or read, with "The file is empty." or
  // "The file is larger than %1 bytes.".
  void loadKeyFile(const std::string& path);

  // setDefaultKeyWarning: whether sharedServerKey warns about the default
  // key (it does unless told otherwise).
  void setDefaultKeyWarning(bool warn) { warned_ = !warn; }

  // logger: this host.
  CILogger& logger() override { return *this; }
  // sharedServerKey: the key file's bytes, or the default key; the first
  // call without a key file logs "The config file does not define a shared
  // server key ('--key'). A default value will be used." as a warning.
  // Raises "Cannot build the default shared server key." with the system's
  // reason when the random source fails.
  std::vector<std::uint8_t> sharedServerKey() override;
  // log: one line "<level>: <module>: <message>" (level as its severity
  // word, for instance "warning"); nothing for a debug or verbose message.
  void log(const std::string& message, const std::string& module, std::uint32_t level) override;

  // defaultSharedServerKey: kDefaultKeySize bytes from the system's
  // cryptographic random source, drawn once per process.
  static const std::vector<std::uint8_t>& defaultSharedServerKey();

 private:
  std::ostream& logStream_;
  std::vector<std::uint8_t> key_;
  bool warned_ = false;
};

}  // namespace qvt::tool
