// CHostExchange: one DHCP message exchange of the reference host, with the
// contexts an evaluator is bound to: the protocol context (family, key-value
// store, provisioner), the node context (the received message and the
// node's values) and the output context (the reply being built).
//
// A server makes one exchange per received message and asks the evaluator
// factory for the evaluators of that exchange:
//
//   CHostServices services{&host, factory, &server, store.get(), rules};
//   CHostExchange exchange(services, CProtocolFamily(4), request, reply, node);
//   CGeneralPtr<CExpEval> eval = exchange.evaluator();
//   eval->execute(result, eval->compile("$IS_DISCOVER && $CM"));
//
// Each exchange has its own provisioner over the shared rules, so the
// persist-enabled flag set by $PROV.ENABLED belongs to the exchange. An
// "[EXPRESSION]" value of a rule is run by a new evaluator of this exchange
// from the same factory: it reads the same messages and node as the
// expression that called $PROV.RULE. An exchange holds pointers to itself:
// it is neither copied nor moved, and it must outlive its evaluators.
#pragma once

#include <memory>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CProtocolFamily.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "host/exchange/CHostOutputContext.h"
#include "host/exchange/CHostProtocolContext.h"
#include "host/exchange/CNodeSettings.h"
#include "host/exchange/CProvisioningRules.h"
#include "host/exchange/CRulesProvisioner.h"

namespace qvt::host {

// CHostServices: what every exchange of a server shares. None is owned; all
// must outlive the exchanges.
struct CHostServices {
  // host: the host context of the evaluators (shared server key, logger).
  CIHostContext* host = nullptr;
  // factory: where the evaluators come from (the loaded plugin).
  CIDHCPEvalFactory* factory = nullptr;
  // server: the server object of the node contexts (vendor lookup).
  const CIServerObject* server = nullptr;
  // store: the key-value records; null when no database is configured.
  CIKeyValueStore* store = nullptr;
  // rules: the provisioning rules; null when none are configured.
  std::shared_ptr<const CProvisioningRules> rules;
};

class CHostExchange {
 public:
  // CHostExchange: an exchange of family (4 or 6) for the received message
  // request and the reply being built (an empty holder: no reply yet).
  CHostExchange(const CHostServices& services, const CProtocolFamily& family,
                CGeneralPtr<COption> request, CGeneralPtr<COption> reply,
                const CNodeSettings& node);
  CHostExchange(const CHostExchange&) = delete;
  CHostExchange& operator=(const CHostExchange&) = delete;
  ~CHostExchange();

  // evaluator: a new evaluator of this exchange from the factory. Raises the
  // factory's errors, and "Cannot create an evaluator instance." (module
  // "host", operation "CHostExchange::evaluator") with the reason "No
  // evaluator factory is configured." without a factory.
  CGeneralPtr<CExpEval> evaluator();

  CHostProtocolContext& protocolContext() { return protocol_; }
  CNodeContext& nodeContext() { return node_; }
  CHostOutputContext& outputContext() { return output_; }
  const CRulesProvisioner& provisioner() const { return *provisioner_; }

 private:
  // _runRuleExpression: the value of a rule's expression in this exchange.
  CVariant _runRuleExpression(const std::string& expression);

  CIDHCPEvalFactory* factory_;
  std::shared_ptr<CRulesProvisioner> provisioner_;
  CHostProtocolContext protocol_;
  CNodeContext node_;
  CHostOutputContext output_;
};

}  // namespace qvt::host
