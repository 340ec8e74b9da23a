// CHostConfig: the reference host's configuration file.
//
// One setting per line, "key = value"; spaces around key and value are
// ignored, blank lines and lines starting with "#" are skipped:
//
//   # plugin modules, loaded in the order given (the key may repeat)
//   plugin = ../host/system_bus/system_bus.so
//   plugin = ../class_b/dhcp/dhcp_eval/dhcp_eval.so
//   # the raw bytes of this file are the shared server key
//   shared_server_key_file = server.key
//   # severities written to the log: words joined by ",", or "*" / "all"
//   log_levels = error,warning,info
//
// Relative paths are taken from the directory of the configuration file.
// Without shared_server_key_file the host builds a default key at run time;
// without log_levels it logs errors, warnings and info messages.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace qvt::host {

class CHostConfig {
 public:
  static constexpr const char* kPluginKey = "plugin";
  static constexpr const char* kSharedServerKeyFileKey = "shared_server_key_file";
  static constexpr const char* kLogLevelsKey = "log_levels";

  // An empty configuration: no plugins, no key file, the default log levels.
  CHostConfig();

  // read: the configuration in the file at path. Raises (module "host",
  // operation "CHostConfig::read") "Cannot open configuration file '%1'." with
  // the system's reason, or what parse raises.
  static CHostConfig read(const std::string& path);
  // parse: the configuration in stream; name names it in messages and
  // baseDirectory anchors relative paths (empty: left as they are). Raises
  // "Cannot read configuration file '%1'." with reason "Line %1 is not of the
  // form key = value.", "Line %1 is longer than %2 bytes." (kMaxLineLength
  // of BoundedLine.h), "Unknown key '%1' in line %2.", "Key '%1' in line %2
  // has no value." or "Key '%1' in line %2 is given more than once.", and
  // the severity-mask error of an invalid log_levels.
  static CHostConfig parse(std::istream& stream, const std::string& name,
                           const std::string& baseDirectory);

  const std::vector<std::string>& pluginModules() const { return pluginModules_; }
  void setPluginModules(std::vector<std::string> paths) { pluginModules_ = std::move(paths); }
  // sharedServerKeyFile: empty when none is configured.
  const std::string& sharedServerKeyFile() const { return sharedServerKeyFile_; }
  void setSharedServerKeyFile(std::string path) { sharedServerKeyFile_ = std::move(path); }
  // logLevels: a mask of severity bits.
  std::uint32_t logLevels() const { return logLevels_; }
  void setLogLevels(std::uint32_t mask) { logLevels_ = mask; }

 private:
  std::vector<std::string> pluginModules_;
  std::string sharedServerKeyFile_;
  std::uint32_t logLevels_;
};

}  // namespace qvt::host
