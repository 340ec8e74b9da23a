#include "host/exchange/CRulesProvisioner.h"

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

constexpr const char* kEvaluateOperation = "CRulesProvisioner::evaluateRule";

bool isRuleFailure(const CException& e) {
  return e.module() == "host" && e.operation() == kEvaluateOperation;
}

}  // namespace

CRulesProvisioner::CRulesProvisioner(std::shared_ptr<const CProvisioningRules> rules,
                                     CExpressionRunner runner)
    : rules_(std::move(rules)), runner_(std::move(runner)) {}

CMultiVariant CRulesProvisioner::evaluateRule(std::uint32_t rule) {
  const CProvisioningRules::Values* values = rules_ ? rules_->find(rule) : nullptr;
  if (values == nullptr && (!rules_ || rules_->empty())) {
    _fail(rule, "No provisioning rules are configured.");
  }
  if (values == nullptr) _fail(rule, {"The rule is not defined in '%1'.", rules_->source()});
  const CActiveRule active(*this, rule);
  CMultiVariant result;
  for (std::size_t i = 0; i < values->size(); ++i) {
    const CRuleValue& value = (*values)[i];
    if (!value.isExpression) {
      result.append(value.literal);
      continue;
    }
    if (!runner_) _fail(rule, "No evaluator for the rule's expressions.");
    try {
      result.append(runner_(value.expression));
    } catch (const CException& e) {
      if (isRuleFailure(e)) throw;
      _fail(rule,
            {"Value %1 ([%2]): %3", static_cast<std::uint32_t>(i + 1), value.expression, e.text()});
    }
  }
  return result;
}

void CRulesProvisioner::_fail(std::uint32_t rule, const CMessage& reason) const {
  fail(CRaiser::of(*this), "host", kEvaluateOperation,
       {"Cannot evaluate provisioning rule %1.", rule}, reason);
}

CRulesProvisioner::CActiveRule::CActiveRule(CRulesProvisioner& provisioner, std::uint32_t rule)
    : provisioner_(provisioner) {
  const std::thread::id self = std::this_thread::get_id();
  const std::lock_guard<std::mutex> lock(provisioner_.mutex_);
  std::string chain;
  bool reached = false;
  std::size_t depth = 0;
  for (const auto& [thread, active] : provisioner_.active_) {
    if (thread != self) continue;
    chain += std::to_string(active) + " -> ";
    reached = reached || active == rule;
    ++depth;
  }
  chain += std::to_string(rule);
  if (reached) provisioner_._fail(rule, {"The rule reaches itself (%1).", chain});
  if (depth >= kMaxDepth) {
    provisioner_._fail(
        rule, {"Rules nest deeper than %1 (%2).", static_cast<std::uint32_t>(kMaxDepth), chain});
  }
  provisioner_.active_.emplace_back(self, rule);
}

CRulesProvisioner::CActiveRule::~CActiveRule() {
  const std::thread::id self = std::this_thread::get_id();
  const std::lock_guard<std::mutex> lock(provisioner_.mutex_);
  // The newest entry of this thread is this rule's.
  for (auto entry = provisioner_.active_.rbegin(); entry != provisioner_.active_.rend(); ++entry) {
    if (entry->first == self) {
      provisioner_.active_.erase(std::next(entry).base());
      return;
    }
  }
}

}  // namespace qvt::host
