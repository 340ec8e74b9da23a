#include "host/exchange/CProvisioningRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt::host {
namespace {

TEST(CProvisioningRulesTest, ReadsLiteralsByTheirGuessedTypeAndExpressionsAsText) {
  const CProvisioningRules rules = CProvisioningRules::parse(
      "# pools\n"
      "\n"
      "7 = 10.1.0.0\n"
      "  7=42  \r\n"
      "8 = 'gold'\n"
      "7 = [$CM ? 'cm' : $IF(1 == 1, 'a', 'b')]\n"
      "4294967295 = 01-02-03\n",
      "rules.txt");
  EXPECT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules.source(), "rules.txt");
  EXPECT_EQ(rules.find(9), nullptr);
  const CProvisioningRules::Values& seven = *rules.find(7);
  ASSERT_EQ(seven.size(), 3u);
  EXPECT_EQ(seven[0].literal.type(), CVariantType::kIPAddress);
  EXPECT_EQ(seven[0].literal.string(), "10.1.0.0");
  EXPECT_EQ(seven[1].literal.type(), CVariantType::kUInteger);
  EXPECT_TRUE(seven[2].isExpression);
  EXPECT_EQ(seven[2].expression, "$CM ? 'cm' : $IF(1 == 1, 'a', 'b')");
  EXPECT_EQ(rules.find(8)->front().literal.type(), CVariantType::kString);
  EXPECT_EQ(rules.find(8)->front().literal.string(), "gold");
  EXPECT_EQ(rules.find(4294967295u)->front().literal.type(), CVariantType::kHexStore);
}

TEST(CProvisioningRulesTest, RefusesAMalformedFileWhole) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"7 10.1.0.0\n", "Line 1 is not of the form name = value."},
      {"# c\n = 5\n", "Line 2 is not of the form name = value."},
      {"seven = 5\n", "Line 1: 'seven' is not a rule number."},
      {"-1 = 5\n", "Line 1: '-1' is not a rule number."},
      {"4294967296 = 5\n", "Line 1: '4294967296' is not a rule number."},
      {"7 =\n", "Line 1: the value is empty."},
      {"7 = 1\n7 = [(1 + 2]\n",
       "Line 2: Cannot parse expression '(1 + 2'. (Mismatched parentheses.)"},
      {"7 = [ ]\n", "Line 1: the expression is empty."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ(qvt_test::errorWhere([&] { CProvisioningRules::parse(row.first, "r.txt"); }),
              "CProvisioningRules::parse: Cannot read provisioning rules from 'r.txt'. (" +
                  row.second + ")");
  }
}

TEST(CProvisioningRulesTest, MissingFile) {
  EXPECT_EQ(qvt_test::errorText([] { CProvisioningRules::readFile("/nonexistent/rules.txt"); }),
            "Cannot open file '/nonexistent/rules.txt'. (No such file or directory)");
  EXPECT_EQ(qvt_test::errorText([] { CProvisioningRules::readFile("/"); }),
            "Cannot open file '/'. (Is a directory)");
}

}  // namespace
}  // namespace qvt::host
