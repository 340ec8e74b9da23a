// CProvisioningRules: the provisioning rules of the reference host, read from
// a rules file: for each rule number, the values the rule yields.
//
// One value per line, "RULE = VALUE" (AssignmentFile.h: "#" lines and blank
// lines skipped); a rule given on several lines yields its values in file
// order. RULE is a decimal number from 0 to 4294967295. VALUE is either a
// literal, whose type is guessed from its text the way the expression engine
// guesses a value's type (CVariant::fromText: "10.1.0.0" an ip address, "42"
// a uinteger, "'gold'" a string), or "[EXPRESSION]", an expression evaluated
// each time the rule is (CRulesProvisioner):
//
//   # rule 7: the pool, then the class of the device
//   7 = 10.1.0.0
//   7 = [$CM ? 'cable-modem' : 'cpe']
//
//   CProvisioningRules rules = CProvisioningRules::readFile("rules.txt");
//   rules.find(7)->size();   // 2
//
// Every literal is read and every expression compiled once, when the file is
// read, so a malformed file is refused whole. Once read, the rules are only
// read and may be shared by any number of threads.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "class_a/standard/CVariant.h"

namespace qvt::host {

// CRuleValue: one value of a rule: a literal, or the text of an expression
// (without its brackets).
struct CRuleValue {
  bool isExpression = false;
  CVariant literal;
  std::string expression;
};

class CProvisioningRules {
 public:
  using Values = std::vector<CRuleValue>;

  // CProvisioningRules: no rules (every rule is undefined).
  CProvisioningRules() = default;

  // parse: the rules of text; name names the text in errors. Raises "Cannot
  // read provisioning rules from '%1'." (module "host", operation
  // "CProvisioningRules::parse") with the reason "Line %1 is not of the form
  // name = value.", "Line %1: '%2' is not a rule number.", "Line %1: the
  // value is empty.", "Line %1: the expression is empty.", "Line %1: %2"
  // with the text of the literal's type guess or of the expression's compile
  // error.
  static CProvisioningRules parse(const std::string& text, const std::string& name);
  // readFile: parse of the file's content, named by its path. Raises
  // "Cannot open file '%1'." with the system's reason when it cannot be read.
  static CProvisioningRules readFile(const std::string& path);

  // find: the values of rule, or null when the rule is not defined.
  const Values* find(std::uint32_t rule) const;
  bool empty() const { return rules_.empty(); }
  std::size_t size() const { return rules_.size(); }
  // source: the name the rules were read from (empty for no rules).
  const std::string& source() const { return source_; }

 private:
  std::map<std::uint32_t, Values> rules_;
  std::string source_;
};

}  // namespace qvt::host
