// CRulesProvisioner: the provisioner of the reference host. It answers
// $PROV.RULE from a set of provisioning rules (CProvisioningRules) and keeps
// the persist-enabled flag that $PROV.ENABLED sets.
//
// A rule yields its values in file order; the last one is current, so it is
// the value of $PROV.RULE. A literal value is yielded as it was read; an
// "[EXPRESSION]" value is evaluated on every call by the expression runner
// the provisioner was made with. The reference host's exchange
// (CHostExchange) runs each such expression with a new evaluator of the same
// exchange from the evaluator factory, so it reads the same messages and
// node as the expression that asked for the rule:
//
//   CRulesProvisioner provisioner(rules, [&](const std::string& text) { ... });
//   CMultiVariant values = provisioner.evaluateRule(7);
//   provisioner.setPersistEnabled(true);
//
// A rule whose expression asks, directly or through other rules, for a rule
// that is still being evaluated on the same thread would never end: that
// request fails instead, as does a chain of rules nested deeper than
// kMaxDepth. The provisioner may be used from several threads at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "class_a/standard/CMessage.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPProvisioner.h"
#include "host/exchange/CProvisioningRules.h"

namespace qvt::host {

class CRulesProvisioner : public CIDHCPProvisioner {
 public:
  // CExpressionRunner: the value of an expression of a rule.
  using CExpressionRunner = std::function<CVariant(const std::string& expression)>;

  // kMaxDepth: how many rules may be under evaluation at once on one thread.
  static constexpr std::size_t kMaxDepth = 16;

  // CRulesProvisioner: answers from rules (shared, read-only; null: no
  // rules), running expressions with runner (empty: an expression value
  // fails).
  CRulesProvisioner(std::shared_ptr<const CProvisioningRules> rules, CExpressionRunner runner);

  // evaluateRule: the values of rule, first to last. Raises "Cannot evaluate
  // provisioning rule %1." (module "host", operation
  // "CRulesProvisioner::evaluateRule") with the reason "No provisioning rules
  // are configured.", "The rule is not defined in '%2'.", "The rule reaches
  // itself (%2)." (the chain of rules, "7 -> 8 -> 7"), "Rules nest deeper
  // than 16 (%2).", "No evaluator for the rule's expressions." or "Value %2
  // ([%3]): %4" (the value's position from 1, its expression, the text of
  // its failure). A failure of a rule reached from an expression passes
  // through unchanged, so the innermost rule is named.
  CMultiVariant evaluateRule(std::uint32_t rule) override;
  // setPersistEnabled: keeps enabled; persistEnabled: the last flag set
  // (false until then).
  void setPersistEnabled(bool enabled) override { persistEnabled_ = enabled; }
  bool persistEnabled() const { return persistEnabled_; }

 private:
  // CActiveRule: marks a rule as under evaluation on this thread for its
  // lifetime; raises when it already is, or when too many are.
  class CActiveRule {
   public:
    CActiveRule(CRulesProvisioner& provisioner, std::uint32_t rule);
    CActiveRule(const CActiveRule&) = delete;
    CActiveRule& operator=(const CActiveRule&) = delete;
    ~CActiveRule();

   private:
    CRulesProvisioner& provisioner_;
  };

  [[noreturn]] void _fail(std::uint32_t rule, const CMessage& reason) const;

  std::shared_ptr<const CProvisioningRules> rules_;
  CExpressionRunner runner_;
  std::atomic<bool> persistEnabled_{false};
  std::mutex mutex_;
  // active_: the rules under evaluation, with their thread, oldest first.
  std::vector<std::pair<std::thread::id, std::uint32_t>> active_;
};

}  // namespace qvt::host
