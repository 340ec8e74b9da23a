// CToolServer: what dhcp-eval sets up once per run to stand in for a DHCP
// server: the host (logger and shared server key), the evaluator module and
// its factory, the server object with the vendor classes, the key-value
// store, the provisioning rules, the node's values and the packet decoder.
// Each received message then gets an exchange of its own (CHostExchange),
// as a server makes one per exchange:
//
//   CToolServer server(options, std::cerr);
//   std::unique_ptr<host::CHostExchange> exchange =
//       server.exchange(server.decode(payload), server.emptyMessage());
//   CGeneralPtr<CExpEval> evaluator = exchange->evaluator();
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "host/exchange/CHostExchange.h"
#include "host/exchange/CHostServer.h"
#include "tools/dhcp-eval/CEvaluatorPlugin.h"
#include "tools/dhcp-eval/CPacketDecoder.h"
#include "tools/dhcp-eval/CToolHost.h"

namespace qvt::tool {

// CToolServerOptions: the command line as it concerns the server.
struct CToolServerOptions {
  int family = 4;
  std::string module;
  std::string keyFile;
  std::string kvDatabase;
  std::uint32_t dbTimeoutMs = 5000;
  std::string rulesFile;
  std::string vendorsFile;
  std::optional<std::string> serverIp;
  std::optional<std::string> deviceId;
  std::string account;
  // quietKey: no warning when the default shared server key is used (for a
  // run that executes nothing).
  bool quietKey = false;
};

class CToolServer {
 public:
  // CToolServer: sets everything up, logging to log. Raises the first error
  // of: the key file, the vendor file, the node's values (their CException
  // with the reason prefixed by the option: "Option '--server-ip': ..."),
  // the rules file, the key-value database (opened, never created), the
  // dictionaries, and loading the evaluator module.
  CToolServer(const CToolServerOptions& options, std::ostream& log);
  CToolServer(const CToolServer&) = delete;
  CToolServer& operator=(const CToolServer&) = delete;
  ~CToolServer();

  int family() const { return family_; }
  CIDHCPEvalFactory& factory() const { return plugin_->factory(); }

  // decode: the tree of a received message of the family.
  CGeneralPtr<COption> decode(const std::vector<unsigned char>& payload) const {
    return decoder_->decode(family_, payload);
  }
  // emptyMessage: a message of the family with nothing in it.
  CGeneralPtr<COption> emptyMessage() const;
  // exchange: a new exchange for request and reply.
  std::unique_ptr<host::CHostExchange> exchange(CGeneralPtr<COption> request,
                                                CGeneralPtr<COption> reply);

 private:
  // plugin_ goes last: nothing the module made may outlive it.
  std::unique_ptr<CEvaluatorPlugin> plugin_;
  int family_;
  CToolHost host_;
  std::unique_ptr<host::CHostServer> server_;
  std::unique_ptr<CIKeyValueStore> store_;
  std::shared_ptr<const host::CProvisioningRules> rules_;
  host::CNodeSettings node_;
  std::unique_ptr<CPacketDecoder> decoder_;
};

}  // namespace qvt::tool
