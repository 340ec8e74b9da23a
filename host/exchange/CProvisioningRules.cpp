#include "host/exchange/CProvisioningRules.h"

#include <cerrno>
#include <cstdlib>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/Fail.h"
#include "host/exchange/AssignmentFile.h"

namespace qvt::host {

namespace {

constexpr const char* kParseOperation = "CProvisioningRules::parse";

bool parseRuleNumber(const std::string& text, std::uint32_t& rule) {
  if (text.empty() || text.size() > 10 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  if (value > UINT32_MAX) return false;
  rule = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

CProvisioningRules CProvisioningRules::parse(const std::string& text, const std::string& name) {
  const CMessage description("Cannot read provisioning rules from '%1'.", name);
  const auto refuse = [&](std::uint32_t line, const CMessage& detail) {
    fail(CRaiser::none(), "host", kParseOperation, description,
         {"Line %1: %2", line, detail.text()});
  };
  // Expressions are compiled once here, only to refuse a file with a faulty
  // one; the evaluators compile them again for themselves.
  CExpEval checker(nullptr);
  CProvisioningRules rules;
  rules.source_ = name;
  for (const CAssignment& line : parseAssignments(text, {"host", kParseOperation, description})) {
    std::uint32_t rule = 0;
    if (!parseRuleNumber(line.name, rule))
      refuse(line.line, {"'%1' is not a rule number.", line.name});
    if (line.value.empty()) refuse(line.line, "the value is empty.");
    CRuleValue value;
    value.isExpression = line.value.front() == '[' && line.value.back() == ']';
    if (value.isExpression) {
      value.expression = line.value.substr(1, line.value.size() - 2);
      // The engine compiles blank text to a tree without roots; refuse it
      // here rather than on every evaluation.
      if (value.expression.find_first_not_of(" \t") == std::string::npos) {
        refuse(line.line, "the expression is empty.");
      }
    }
    try {
      if (value.isExpression) {
        checker.compile(value.expression);
      } else {
        value.literal = CVariant::fromText(line.value);
      }
    } catch (const CException& e) {
      refuse(line.line, e.text());
    }
    rules.rules_[rule].push_back(std::move(value));
  }
  return rules;
}

CProvisioningRules CProvisioningRules::readFile(const std::string& path) {
  return parse(readTextFile(path, "host", "CProvisioningRules::readFile"), path);
}

const CProvisioningRules::Values* CProvisioningRules::find(std::uint32_t rule) const {
  const auto found = rules_.find(rule);
  return found == rules_.end() ? nullptr : &found->second;
}

}  // namespace qvt::host
