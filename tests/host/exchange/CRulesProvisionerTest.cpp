#include "host/exchange/CRulesProvisioner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/Fail.h"

namespace qvt::host {
namespace {

std::shared_ptr<const CProvisioningRules> rulesOf(const std::string& text) {
  return std::make_shared<const CProvisioningRules>(CProvisioningRules::parse(text, "r.txt"));
}

std::vector<std::string> texts(const CMultiVariant& values) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out.push_back(values[i].string());
  return out;
}

TEST(CRulesProvisionerTest, YieldsTheValuesInFileOrderTheLastCurrent) {
  std::vector<std::string> asked;
  CRulesProvisioner provisioner(rulesOf("7 = 10.1.0.0\n7 = [$CLASS]\n7 = 5\n8 = 'x'\n"),
                                [&](const std::string& expression) {
                                  asked.push_back(expression);
                                  return CVariant::fromString("cm");
                                });
  const CMultiVariant values = provisioner.evaluateRule(7);
  EXPECT_EQ(texts(values), (std::vector<std::string>{"10.1.0.0", "cm", "5"}));
  EXPECT_EQ(values.current().string(), "5");
  EXPECT_EQ(asked, std::vector<std::string>{"$CLASS"});
  // Expressions run anew on every evaluation.
  provisioner.evaluateRule(7);
  EXPECT_EQ(asked.size(), 2u);
}

TEST(CRulesProvisionerTest, FailuresNameTheRule) {
  const auto failing = [](const std::string&) -> CVariant {
    fail(CRaiser::none(), "exp_eval", "CExpEval::callback", "Runtime error.",
         "Unknown function 'X'.");
  };
  struct Row {
    std::shared_ptr<const CProvisioningRules> rules;
    CRulesProvisioner::CExpressionRunner runner;
    std::uint32_t rule;
    std::string reason;
  };
  const std::vector<Row> rows = {
      {nullptr, nullptr, 7, "No provisioning rules are configured."},
      {rulesOf(""), nullptr, 7, "No provisioning rules are configured."},
      {rulesOf("8 = 1\n"), nullptr, 7, "The rule is not defined in 'r.txt'."},
      {rulesOf("7 = [$X]\n"), nullptr, 7, "No evaluator for the rule's expressions."},
      {rulesOf("7 = 1\n7 = [$X()]\n"), failing, 7,
       "Value 2 ([$X()]): Runtime error. (Unknown function 'X'.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    CRulesProvisioner provisioner(row.rules, row.runner);
    EXPECT_EQ(qvt_test::errorWhere([&] { provisioner.evaluateRule(row.rule); }),
              "CRulesProvisioner::evaluateRule: Cannot evaluate provisioning rule " +
                  std::to_string(row.rule) + ". (" + row.reason + ")");
  }
}

// A runner whose expression "$PROV.RULE(n)" asks the provisioner for rule n,
// as an evaluator of the exchange would.
struct CLoopingRunner {
  CRulesProvisioner* provisioner = nullptr;
  CVariant operator()(const std::string& expression) const {
    const std::uint32_t rule = std::stoul(expression.substr(11));
    return provisioner->evaluateRule(rule).current();
  }
};

// Rules 1-3, 5 and 6 reach themselves; 101 to 120 form a chain ending in
// 121, whose value lies 16 rules deep from 106, one too many from 105.
TEST(CRulesProvisionerTest, LoopsAndDeepChainsFailInsteadOfRecursingForever) {
  std::string text =
      "1 = [$PROV.RULE(2)]\n2 = 'b'\n2 = [$PROV.RULE(3)]\n3 = [$PROV.RULE(1)]\n"
      "5 = [$PROV.RULE(5)]\n6 = [$PROV.RULE(2)]\n121 = 'end'\n";
  for (int rule = 101; rule <= 120; ++rule)
    text += std::to_string(rule) + " = [$PROV.RULE(" + std::to_string(rule + 1) + ")]\n";
  CLoopingRunner runner;
  CRulesProvisioner provisioner(rulesOf(text), std::ref(runner));
  runner.provisioner = &provisioner;
  const std::vector<std::pair<std::uint32_t, std::string>> rows = {
      {1, "Cannot evaluate provisioning rule 1. (The rule reaches itself (1 -> 2 -> 3 -> 1).)"},
      {5, "Cannot evaluate provisioning rule 5. (The rule reaches itself (5 -> 5).)"},
      {6,
       "Cannot evaluate provisioning rule 2. (The rule reaches itself (6 -> 2 -> 3 -> 1 -> "
       "2).)"},
      // The failed evaluations left nothing marked as running.
      {5, "Cannot evaluate provisioning rule 5. (The rule reaches itself (5 -> 5).)"},
      {106, "no error"},
      {105,
       "Cannot evaluate provisioning rule 121. (Rules nest deeper than 16 (105 -> 106 -> "
       "107 -> 108 -> 109 -> 110 -> 111 -> 112 -> 113 -> 114 -> 115 -> 116 -> 117 -> 118 "
       "-> 119 -> 120 -> 121).)"},
  };
  for (const auto& [rule, error] : rows) {
    EXPECT_EQ(qvt_test::errorText([&, rule = rule] { provisioner.evaluateRule(rule); }), error)
        << rule;
  }
  EXPECT_EQ(provisioner.evaluateRule(106).current().string(), "end");
}

TEST(CRulesProvisionerTest, TheSameRuleOnTwoThreadsAtOnceIsNoLoop) {
  std::mutex mutex;
  std::condition_variable bothInside;
  int inside = 0;
  CRulesProvisioner provisioner(rulesOf("1 = [$WAIT]\n"), [&](const std::string&) {
    std::unique_lock<std::mutex> lock(mutex);
    ++inside;
    bothInside.notify_all();
    bothInside.wait(lock, [&] { return inside == 2; });
    return CVariant(true);
  });
  std::vector<std::string> outcomes(2);
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) {
    threads.emplace_back(
        [&, i] { outcomes[i] = qvt_test::errorText([&] { provisioner.evaluateRule(1); }); });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(outcomes, (std::vector<std::string>{"no error", "no error"}));
}

}  // namespace
}  // namespace qvt::host
