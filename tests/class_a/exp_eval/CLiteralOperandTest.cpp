// A literal right operand of another type than the left one is converted to
// the left operand's type once and the conversion kept; these tests run one
// compiled tree on left values of changing types and check every run gives
// what the operator gives on the values themselves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "class_a/standard/CIPAddress.h"

namespace qvt::test {
namespace {

using CLiteralOperandTest = CEngineTest;

CVariant gLeft;

// $LEFTVALUE: the value the test set.
void leftValue(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  results.append(gLeft);
}

// direct: what the operator gives on the values, or "error: <text>".
template <class TOperator>
std::string direct(const CVariant& left, const CVariant& right, TOperator op) {
  try {
    return describe(CVariant(op(left, right)));
  } catch (const CException& e) {
    return "error: " + e.text();
  }
}

TEST_F(CLiteralOperandTest, KeptConversionsFollowTheLeftOperand) {
  engine.registerFunction("LEFTVALUE", &leftValue);
  const std::vector<CVariant> lefts = {
      CVariant::fromText("\"10.0.0.1\""),       // string
      CVariant(CIPAddress("10.0.0.1")),         // ipv4
      CVariant::fromText("0a-00-00-01"),        // byte sequence
      CVariant(CIPAddress("::ffff:10.0.0.1")),  // ipv6
      CVariant(std::int64_t{167772161}),        // integer
      CVariant::fromText("\"10.0.0.1\""),       // the string again
      CVariant(),                               // unknown
  };
  struct CLiteral {
    const char* text;
    CVariant value;
  };
  const std::vector<CLiteral> literals = {
      {"10.0.0.1", CVariant(CIPAddress("10.0.0.1"))},
      {"'0a-00-00-01'", CVariant::fromText("0a-00-00-01")},
      {"'abc'", CVariant::fromText("abc")},
      {"167772161", CVariant(std::uint64_t{167772161})},
  };
  for (const CLiteral& literal : literals) {
    const CGeneralPtr<CSyntaxTreeProxy> equal =
        engine.compile(std::string("$LEFTVALUE == ") + literal.text);
    const CGeneralPtr<CSyntaxTreeProxy> less =
        engine.compile(std::string("$LEFTVALUE < ") + literal.text);
    for (int round = 0; round < 2; ++round) {
      for (const CVariant& left : lefts) {
        gLeft = left;
        SCOPED_TRACE(describe(left) + " against " + literal.text);
        const auto result = [&](const CGeneralPtr<CSyntaxTreeProxy>& tree) {
          try {
            CVariant value;
            engine.execute(value, tree);
            return describe(value);
          } catch (const CException& e) {
            return "error: " + e.text();
          }
        };
        EXPECT_EQ(result(equal),
                  direct(left, literal.value, [](auto& a, auto& b) { return a == b; }));
        EXPECT_EQ(result(less),
                  direct(left, literal.value, [](auto& a, auto& b) { return a < b; }));
      }
    }
  }
}

}  // namespace
}  // namespace qvt::test
