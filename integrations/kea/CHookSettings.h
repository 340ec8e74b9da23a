// CHookSettings: the hook's parameters, as written in the "parameters" map of
// its entry in Kea's "hooks-libraries":
//
//   "parameters": {
//     "module": "/usr/lib/dhcp_eval/dhcp_eval.so",         (required)
//     "system-bus-module": "/usr/lib/dhcp_eval/system_bus.so",
//     "dictionaries": "/usr/share/dhcp_eval/dictionaries",
//     "vendor-file": "/etc/kea/vendors.defs",
//     "key-value-database": "/var/lib/kea/kv.db",          (or "postgresql://...")
//     "db-timeout": 1000,                                   (milliseconds)
//     "shared-server-key-file": "/etc/kea/server.key",
//     "rules-file": "/etc/kea/rules.txt",
//     "server-ip": "192.0.2.1",
//     "classes": [ { "name": "cable-modem", "expression": "$CM" } ],
//     "options": [ { "code": 43, "expression": "$IF($CM, 'cm', 'cpe')" } ]
//   }
//
//   CHookSettings settings = CHookSettings::parse(handle.getParameters(), 4);
//
// Only "module" is required. Without "system-bus-module" the system bus
// module is system_bus.so beside the evaluator module; without
// "dictionaries" the option dictionaries are share/dhcp_eval/dictionaries of
// the module's installed layout when it exists, else the reference host's
// default; without "vendor-file" the vendor classes are the dictionaries'
// vendors.defs. Without "server-ip" $SERVER.IP is the address the query was
// received on (an interface address of the server when it came to a
// broadcast or multicast address).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <cc/data.h>

namespace qvt::kea {

// CClassSetting: a class and the expression whose true value puts a query in it.
struct CClassSetting {
  std::string name;
  std::string expression;
};

// COptionSetting: an option of the response and the expression of its value.
struct COptionSetting {
  std::uint16_t code = 0;
  std::string expression;
};

struct CHookSettings {
  std::string module;
  std::string systemBusModule;
  std::string dictionaries;
  std::string vendorFile;
  std::string keyValueDatabase;
  std::chrono::milliseconds dbTimeout{1000};
  std::string sharedServerKeyFile;
  std::string rulesFile;
  std::optional<std::string> serverIp;
  std::vector<CClassSetting> classes;
  std::vector<COptionSetting> options;

  // kMaxDbTimeoutMs: the longest "db-timeout" accepted.
  static constexpr std::int64_t kMaxDbTimeoutMs = 60000;

  // parse: the settings of parameters (a map; null: no parameters) for a
  // server of family (4 or 6). Raises "Invalid parameters of the dhcp_eval
  // hook." (module "kea-hook", operation "CHookSettings::parse") with the
  // reason "The parameters must be a map.", "Parameter 'module' is
  // required.", "Unknown parameter '%1'.", "Parameter '%1' must be %2."
  // (a string, an integer, a list), "Parameter '%1' must not be empty.",
  // "'db-timeout' must be from 1 to 60000.", "Entry %1 of '%2' must be a
  // map.", "Entry %1 of '%2' has an unknown key '%3'.", "Entry %1 of '%2'
  // has no '%3'.", "Entry %1 of '%2': '%3' must be %4.", "Entry %1 of
  // '%2' has an empty '%3'.", "Class '%1' is defined twice.", "Option code
  // %1 is out of range (%2 to %3)." (1 to 254 for DHCPv4, 1 to 65535 for
  // DHCPv6) or "Option %1 is given twice."; entries are counted from 1.
  static CHookSettings parse(const isc::data::ConstElementPtr& parameters, int family);

  // resolve: fills systemBusModule, dictionaries and vendorFile where they
  // were not given, as described above.
  void resolve();
};

}  // namespace qvt::kea
