// The parser: postfix tokens of expression texts and the tokens a compiled
// tree gives back, operator codes and the extended-operator hook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "class_a/exp_eval/COperator.h"
#include "class_a/standard/DataFile.h"

namespace qvt::test {
namespace {

using CExpEvalParse = CEngineTest;

// render: the postfix tokens joined by blanks; a function name in braces,
// unary minus as "u-".
std::string render(const CTokenList& tokens) {
  std::string out;
  for (const CToken& token : tokens) {
    if (!out.empty()) out += " ";
    if (token.isOperator()) {
      out += token.op() == COperator::kNegate ? "u-" : token.op().spelling();
    } else if (token.value().subtype() == CVariantSubType::kFunctionName) {
      out += "{" + token.value().string() + "}";
    } else {
      out += token.value().string();
    }
  }
  return out;
}

// The rows of data/postfix.txt.
TEST_F(CExpEvalParse, PostfixAndTreeTokens) {
  const auto rows = qvt_test::dataLines("class_a/exp_eval/data/postfix.txt");
  ASSERT_EQ(rows.size(), 49u) << "data/postfix.txt could not be read whole";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string text = row.input();
    CTokenList parsed{CToken(COperator(COperator::kAdd))};
    engine.parse(text, parsed);
    if (row.hasExpected()) {
      EXPECT_EQ(row.expected(), render(parsed));
    }

    const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile(text);
    const CTokenList& rebuilt = tree->tokens();
    ASSERT_EQ(rebuilt.size(), parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
      EXPECT_TRUE(rebuilt[i] == parsed[i])
          << "token " << i << ": " << rebuilt[i].string() << " != " << parsed[i].string();
      EXPECT_EQ(rebuilt[i].value().subtype(), parsed[i].value().subtype()) << "token " << i;
    }
    EXPECT_EQ(&tree->tokens(), &rebuilt);  // kept once rebuilt
  }
}

TEST_F(CExpEvalParse, KeepsTheCallersText) {
  const std::string text = " [1 + 2] ";
  CTokenList tokens;
  engine.parse(text, tokens);
  EXPECT_EQ(" [1 + 2] ", text);
  ASSERT_EQ(3u, tokens.size());
  EXPECT_EQ(CVariantType::kUInteger, tokens[0].value().type().code());
}

TEST_F(CExpEvalParse, FailuresNameTheTextAsGiven) {
  CTokenList tokens;
  const auto e = qvt_test::caught([&] { engine.parse(" (1 + 2", tokens); });
  ASSERT_TRUE(e);
  EXPECT_EQ("CExpEval::parse: Cannot parse expression ' (1 + 2'. (Mismatched parentheses.)",
            e->operation() + ": " + e->text());
  EXPECT_EQ("exp_eval", e->module());
  EXPECT_EQ("qvt::CExpEval", e->className());
  EXPECT_EQ("CExpEval::_isUsable: Invalid expression. (Expression '( )' evaluates to nothing.)",
            qvt_test::errorWhere([&] { engine.parse("( )", tokens); }));
}

// Each spelling reads back as its code; "-" reads as subtraction.
TEST(COperatorTest, SpellingsReadBack) {
  for (std::int32_t code = 1; code < COperator::kCount; ++code) {
    SCOPED_TRACE(code);
    if (code == COperator::kExtendedCall) continue;
    COperator op;
    op = std::string(COperator(code).spelling());
    EXPECT_EQ(code == COperator::kNegate ? COperator::kSubtract : code, op.value());
  }
  EXPECT_STREQ("$", COperator(COperator::kCall).spelling());
  EXPECT_STREQ("unknown", COperator::spelling(27));
  EXPECT_STREQ("unknown", COperator::spelling(-1));
  EXPECT_LT(COperator(COperator::kMultiply).value(), COperator(COperator::kDivide).value());
}

TEST(COperatorTest, RefusesWhatIsNoOperator) {
  EXPECT_EQ("COperator::_checkValidity: Cannot set variant operator type '27'. (Illegal value.)",
            qvt_test::errorWhere([] { COperator op(27); }));
  EXPECT_EQ("COperator::_checkValidity: Cannot set variant operator type '-1'. (Illegal value.)",
            qvt_test::errorWhere([] { COperator().set(-1); }));
  EXPECT_EQ("COperator::operator=: Cannot assign operator from text '$$'. (Illegal value.)",
            qvt_test::errorWhere([] { COperator op(std::string("$$")); }));
  EXPECT_EQ("COperator::operator=: Cannot assign operator from text '+ '. (Illegal value.)",
            qvt_test::errorWhere([] { COperator op(std::string("+ ")); }));
}

// CHookedEngine: answers the extended-operator hook with true at "#".
class CHookedEngine : public CExpEval {
 public:
  CHookedEngine() : CExpEval(nullptr) {}
  bool isExtendedOperator(bool afterOperator, std::string_view rest) override {
    questions.push_back(std::string(afterOperator ? "after " : "") + std::string(rest));
    return rest.front() == '#';
  }
  std::vector<std::string> questions;
};

TEST_F(CExpEvalParse, AsksTheHookWhereNoSpellingMatches) {
  CHookedEngine hooked;
  CTokenList tokens;
  hooked.parse("1+ #x'#'", tokens);
  EXPECT_EQ("1 x'# $$ +", render(tokens));
  const std::vector<std::string> expected = {"1+ #x'#'", "after  #x'#'", "after #x'#'",
                                             "after x'#'", "'#'"};
  EXPECT_EQ(expected, hooked.questions);
}

TEST_F(CExpEvalParse, NoCallAfterCall) {
  CHookedEngine hooked;
  CTokenList tokens;
  hooked.parse("$#A", tokens);
  EXPECT_EQ("{#A} $", render(tokens));
}

}  // namespace
}  // namespace qvt::test
