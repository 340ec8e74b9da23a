#include "host/exchange/CHostExchange.h"

#include <utility>

#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

std::string contextName(const CProtocolFamily& family) {
  return "dhcp" + std::to_string(family.code());
}

}  // namespace

CHostExchange::CHostExchange(const CHostServices& services, const CProtocolFamily& family,
                             CGeneralPtr<COption> request, CGeneralPtr<COption> reply,
                             const CNodeSettings& node)
    : factory_(services.factory),
      provisioner_(std::make_shared<CRulesProvisioner>(
          services.rules,
          [this](const std::string& expression) { return _runRuleExpression(expression); })),
      protocol_(services.host, family, contextName(family), services.store, provisioner_),
      node_(node.makeContext(services.server, std::move(request))),
      output_(std::move(reply)) {}

CHostExchange::~CHostExchange() = default;

CGeneralPtr<CExpEval> CHostExchange::evaluator() {
  if (factory_ == nullptr) {
    fail(CRaiser::of(*this), "host", "CHostExchange::evaluator",
         "Cannot create an evaluator instance.", "No evaluator factory is configured.");
  }
  return factory_->instance(protocol_, &node_, &output_);
}

CVariant CHostExchange::_runRuleExpression(const std::string& expression) {
  CGeneralPtr<CExpEval> evaluator = this->evaluator();
  CVariant value;
  evaluator->execute(value, evaluator->compile(expression));
  return value;
}

}  // namespace qvt::host
