// CKeaHook: the hook as Kea runs it: made from the parameters when Kea
// loads the library, it loads the evaluator module, opens the key-value
// database, reads the rules, and compiles every class and option
// expression once (a failure refuses the load); then it classifies each
// query and sets the computed options of each response.
//
//   CKeaHook hook(CHookSettings::parse(handle.getParameters(), 4), 4);
//   hook.receive(*query4);             // pkt4_receive: adds the true classes
//   hook.send(*query4, *response4);    // pkt4_send: sets the options
//
// Each thread evaluates on a worker of its own (CWorkerRegistry). Nothing a
// packet or an expression does escapes as an exception: a failed class is
// left out, a failed option leaves the response as it is, and each is
// logged at most once a minute per class, per option, and for packets that
// cannot be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <dhcp/pkt.h>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CIPAddress.h"
#include "host/exchange/CNodeSettings.h"
#include "integrations/kea/CEvaluatorModule.h"
#include "integrations/kea/CFailureThrottle.h"
#include "integrations/kea/CHookSettings.h"
#include "integrations/kea/CHookWorker.h"
#include "integrations/kea/CKeaHost.h"
#include "integrations/kea/CWorkerRegistry.h"

namespace qvt::kea {

class CKeaHook {
 public:
  // CKeaHook: the hook of a server of family (4 or 6) with settings (whose
  // defaults resolve here). Raises the first failure of: the shared server
  // key file, the rules file, the key-value database (opened, never
  // created), the evaluator module, the dictionaries and vendor file, and
  // compiling the expressions (CHookWorker).
  CKeaHook(CHookSettings settings, int family);
  CKeaHook(const CKeaHook&) = delete;
  CKeaHook& operator=(const CKeaHook&) = delete;
  ~CKeaHook();

  // receive: adds to query every class whose expression is true for it.
  void receive(isc::dhcp::Pkt& query);
  // send: sets each option whose expression has a known value in response
  // (replacing the option if it is there). Does nothing without option
  // expressions.
  void send(const isc::dhcp::Pkt& query, isc::dhcp::Pkt& response);
  // calloutFailed: logs (throttled) an exception that reached a callout.
  void calloutFailed(const std::string& callout, const std::string& text);

  const CHookSettings& settings() const { return settings_; }
  int family() const { return shared_.family; }
  // workers: how many threads have evaluated with this hook.
  std::size_t workers() const { return workers_.size(); }

  // wireOf: response as Kea will send it: packed, the bytes copied, and
  // Kea's output buffer emptied again.
  static std::vector<std::uint8_t> wireOf(isc::dhcp::Pkt& response);

 private:
  host::CNodeSettings _nodeOf(const isc::dhcp::Pkt& query) const;
  CIPAddress _localAddressOf(const isc::dhcp::Pkt& query) const;
  void _packetFailed(const std::string& text);

  CHookSettings settings_;
  std::unique_ptr<CKeaHost> host_;
  std::unique_ptr<CEvaluatorModule> module_;
  std::unique_ptr<CIKeyValueStore> store_;
  std::optional<CIPAddress> serverIp_;
  CHookShared shared_;
  // Declared after what the workers point to, so they go first.
  CWorkerRegistry workers_;
  std::unique_ptr<CFailureThrottle[]> classThrottles_;
  std::unique_ptr<CFailureThrottle[]> optionThrottles_;
  CFailureThrottle packetThrottle_;
  CFailureThrottle calloutThrottle_;
};

}  // namespace qvt::kea
