// CHookWorker: what one Kea thread needs to evaluate the hook's expressions:
// a long-lived evaluator of the hook's family with every configured
// expression compiled in it, the contexts it is bound to, and a packet
// decoder. Each thread that handles packets has its own worker
// (CWorkerRegistry), so nothing here is shared between threads except what
// CHookShared names, which is read-only or locks itself.
//
// Per packet the worker decodes the message's wire bytes into the option
// tree and puts it into its node context (the evaluator keeps pointing at
// the same context), then executes the compiled expressions. The tree of
// the last query is kept with its bytes, so the options of the response to
// the query just classified need no second decoding of the query:
//
//   CHookWorker worker(shared);                  // compiles every expression
//   const std::vector<CEvaluation>& classes = worker.classify(bytes.data(), bytes.size(), node);
//   if (classes[0].member()) query.addClass(shared.classes[0].name);
//
// The worker's own vendor classes and option dictionary are read from the
// files for each worker: the lookup's holders count single-threaded, so no
// two threads share one. Its provisioner answers $PROV.RULE from the shared
// rules; a rule's "[EXPRESSION]" runs on a new evaluator bound to the
// worker's contexts, so it reads the packet in hand. $PROV.ENABLED sets the
// flag of the worker's provisioner.
//
// The hook withdraws $USLEEP from its evaluators: a call fails ("Failed to
// execute function $USLEEP()."), since a sleeping thread would stall Kea's
// packet processing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPEvalFactory.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/exchange/CHostOutputContext.h"
#include "host/exchange/CHostProtocolContext.h"
#include "host/exchange/CHostServer.h"
#include "host/exchange/CNodeSettings.h"
#include "host/exchange/CProvisioningRules.h"
#include "host/exchange/CRulesProvisioner.h"
#include "integrations/kea/CHookSettings.h"

namespace qvt::kea {

// CHookShared: what every worker of one hook reads. The hook owns it and
// everything it points to, and keeps them while workers exist.
struct CHookShared {
  int family = 4;
  CIHostContext* host = nullptr;
  CIDHCPEvalFactory* factory = nullptr;
  // store: the key-value records (locks itself); null: no database.
  CIKeyValueStore* store = nullptr;
  // rules: the provisioning rules (read-only); null: none.
  std::shared_ptr<const host::CProvisioningRules> rules;
  std::string dictionaries;
  std::string vendorFile;
  std::vector<CClassSetting> classes;
  std::vector<COptionSetting> options;
};

// CEvaluation: the outcome of one expression for one packet: its value, or
// the text of its failure.
struct CEvaluation {
  CVariant value;
  std::optional<std::string> error;

  // member: the class holds (classify gives a boolean value).
  bool member() const { return !error && value.isBoolean() && value.boolean(); }
};

class CHookWorker {
 public:
  // CHookWorker: reads the dictionary and vendor file, makes the evaluator
  // and compiles every expression of shared (which must outlive the worker).
  // Raises the files' and the factory's errors, and (module "kea-hook",
  // operation "CHookWorker::CHookWorker") "Class '%1': expression '%2' does
  // not compile." or "Option %1: expression '%2' does not compile." with
  // the engine's error text as the reason.
  explicit CHookWorker(const CHookShared& shared);
  CHookWorker(const CHookWorker&) = delete;
  CHookWorker& operator=(const CHookWorker&) = delete;
  ~CHookWorker();

  // classify: decodes the received message in size bytes at data and gives
  // one outcome per class of shared.classes, in order: a boolean value
  // (true when the expression's value is known and converts to true), or
  // the failure of the expression or of that conversion. $OUTP reads an
  // empty reply. The outcomes stay valid until the next call. Raises the
  // decoder's errors ("Cannot decode DHCPv4 message.").
  const std::vector<CEvaluation>& classify(const std::uint8_t* data, std::size_t size,
                                           const host::CNodeSettings& node);
  // computeOptions: decodes the query and the reply being sent and gives
  // one outcome per option of shared.options: the expression's value with
  // the reply as the output context ($OUTP), or its failure. The outcomes
  // stay valid until the next call. Raises the decoder's errors.
  const std::vector<CEvaluation>& computeOptions(const std::vector<std::uint8_t>& query,
                                                 const std::vector<std::uint8_t>& reply,
                                                 const host::CNodeSettings& node);

 private:
  CGeneralPtr<COption> _decode(const std::uint8_t* data, std::size_t size) const;
  void _bind(const std::uint8_t* data, std::size_t size, const host::CNodeSettings& node);
  CGeneralPtr<CExpEval> _newEvaluator();
  CVariant _runRuleExpression(const std::string& expression);
  CGeneralPtr<CSyntaxTreeProxy> _compile(const std::string& expression, const CMessage& what);

  const CHookShared& shared_;
  COptionDictionary dictionary_;
  CVendorFile vendors_;
  host::CHostServer server_;
  std::unique_ptr<host::CDhcp4Decoder> decoder4_;
  std::unique_ptr<host::CDhcp6Decoder> decoder6_;
  std::shared_ptr<host::CRulesProvisioner> provisioner_;
  host::CHostProtocolContext protocol_;
  CNodeContext node_;
  host::CHostOutputContext output_;
  CGeneralPtr<COption> emptyReply_;
  CGeneralPtr<CExpEval> evaluator_;
  std::vector<CGeneralPtr<CSyntaxTreeProxy>> classTrees_;
  std::vector<CGeneralPtr<CSyntaxTreeProxy>> optionTrees_;
  std::vector<CEvaluation> outcomes_;
  // The last received message decoded, and its bytes.
  std::vector<std::uint8_t> lastBytes_;
  CGeneralPtr<COption> lastTree_;
};

}  // namespace qvt::kea
