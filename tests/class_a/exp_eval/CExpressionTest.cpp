// Compiled trees and self-contained expressions: both forms of execute,
// root lookup, CExpression's literal and bracket forms, its error wrapping
// and equality.
#include <gtest/gtest.h>

#include <string>

#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "class_a/exp_eval/CExpression.h"
#include "class_a/standard/CExceptionFacade.h"

namespace qvt::test {
namespace {

using CExpEvalExecute = CEngineTest;
using CExpressionTest = CEngineTest;

using qvt_test::errorWhere;
TEST_F(CExpEvalExecute, ListAndSingleForms) {
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("(1)(2)");
  ASSERT_EQ(2u, tree->rootCount());
  CMultiVariant results;
  results.append(CVariant(std::int64_t{7}));
  engine.execute(results, tree);
  ASSERT_EQ(2u, results.size());
  EXPECT_EQ(1u, results.current().uinteger());
  EXPECT_EQ(2u, results[0].uinteger());
  CVariant single;
  engine.execute(single, tree);
  EXPECT_EQ(1u, single.uinteger());
  // The same tree runs again with the same value.
  engine.execute(single, tree);
  EXPECT_EQ(1u, single.uinteger());
}

TEST_F(CExpEvalExecute, Failures) {
  CVariant result;
  EXPECT_EQ("CExpEval::execute: Cannot execute expression. (Invalid syntax tree.)",
            errorWhere([&] { engine.execute(result, CGeneralPtr<CSyntaxTreeProxy>()); }));
  const CGeneralPtr<CSyntaxTreeProxy> empty = engine.compile("");
  EXPECT_EQ(0u, empty->rootCount());
  EXPECT_EQ("CExpEval::execute: No result calculated. (Expression evaluates to nothing.)",
            errorWhere([&] { engine.execute(result, empty); }));
  CMultiVariant results;
  EXPECT_EQ("CExpEval::execute: No result calculated. (Expression evaluates to nothing.)",
            errorWhere([&] { engine.execute(results, empty); }));
  EXPECT_EQ("CExpEval::_find: Unable to find parse element with index 1. (Element does not exist.)",
            errorWhere([&] { engine.compile("1")->_find(1); }));
  // An unknown function fails when run, not when compiled.
  const CGeneralPtr<CSyntaxTreeProxy> unknown = engine.compile("$NOSUCH()");
  EXPECT_EQ("CExpEval::callback: Runtime error. (Unknown function 'NOSUCH'.)",
            errorWhere([&] { engine.execute(result, unknown); }));
}

TEST_F(CExpEvalExecute, WalkVisitsParentsBeforeChildren) {
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("(1 + 2 * 3)(4)");
  CVariant result;
  engine.execute(result, tree);
  std::string walk;
  tree->walk([&](const CNodeBase& node, std::size_t level, std::size_t root) {
    walk += std::to_string(root) + ":" + std::to_string(level) + "=" + node.value().string() + " ";
  });
  EXPECT_EQ("0:0=7 0:1=1 0:1=6 0:2=2 0:2=3 1:0=4 ", walk);
}

TEST_F(CExpressionTest, BracketsMakeExpressionsAndOtherTextLiterals) {
  struct {
    const char* text;
    const char* expected;
  } rows[] = {
      {"[1 + 2]", "uinteger: 3"},         {" [1 + 2] ", "uinteger: 3"},
      {"1 + 2", "string: 1 + 2"},         {"10.0.0.1", "ip address: 10.0.0.1"},
      {"'a b'", "string: a b"},           {"\"x\"", "string: x"},
      {"$LEN('x')", "string: $LEN('x')"}, {"[(1)(2)]", "uinteger: 1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CExpression expression(&engine, row.text);
    EXPECT_EQ(row.expected, describe((*expression).current()));
  }
}

TEST_F(CExpressionTest, WrapsAndReportsInnerErrors) {
  CExceptionFacade stack(&host.logger_);
  engine.setExceptionStack(&stack);
  EXPECT_EQ(
      "CExpression::operator=: Cannot parse expression '[(1]'. (Expression does not evaluate.)",
      errorWhere([&] { CExpression expression(&engine, "[(1]"); }));
  ASSERT_EQ(1u, stack.size());
  EXPECT_EQ("Cannot parse expression '[(1]'. (Mismatched parentheses.)", stack.inner()->text());

  CExpression failing(&engine, "[1 / 0]");
  EXPECT_EQ(
      "CExpression::operator*: Cannot execute expression '[1 / 0]'. (Expression does not "
      "evaluate.)",
      errorWhere([&] { *failing; }));
  ASSERT_EQ(2u, stack.size());
  EXPECT_EQ("Cannot perform 'division' (/) on uinteger values. (Illegal operation.)",
            stack.inner()->text());

  CExpression empty(&engine, "");
  EXPECT_FALSE(empty.tree());
  EXPECT_EQ("CExpression::operator*: Cannot execute expression ''. (Expression does not evaluate.)",
            errorWhere([&] { *empty; }));
  EXPECT_EQ("Cannot execute expression. (Invalid syntax tree.)", stack.inner()->text());
}

TEST_F(CExpressionTest, EqualityByTextAndTokens) {
  EXPECT_EQ(CExpression(&engine, "[1 + 2]"), CExpression(&engine, "[1 + 2]"));
  EXPECT_NE(CExpression(&engine, "[1 + 2]"), CExpression(&engine, "[1 +  2]"));
  EXPECT_EQ(CExpression(&engine, ""), CExpression(&engine, ""));
  CExpression changed(&engine, "[1 + 2]");
  changed = "[2 + 1]";
  EXPECT_NE(CExpression(&engine, "[1 + 2]"), changed);
  EXPECT_EQ(CExpression(&engine, "[2 + 1]"), changed);
}

TEST(CMultiVariantTest, ReadsArgumentsFromTheBack) {
  CMultiVariant list;
  EXPECT_TRUE(list.empty());
  list.append(CVariant(std::int64_t{3}));
  list.append(CVariant(std::int64_t{2}));
  list.append(CVariant(std::int64_t{1}));
  std::string order;
  for (; !list.empty(); list.advance())
    order += list.current().string();
  EXPECT_EQ("123", order);
  list.advance();
  EXPECT_EQ(0u, list.size());

  CMultiVariant other;
  other.append(CVariant::fromString("b"));
  other.append(CVariant::fromString("a"));
  list.append(CVariant::fromString("z"));
  list.append(other);
  EXPECT_EQ(3u, list.size());
  EXPECT_EQ("a", list.current().string());
  // Kept slots are overwritten completely.
  list.clear();
  list.append(CVariant(true));
  EXPECT_EQ("boolean: true", describe(list.current()));
  list.append(list);
  EXPECT_EQ(2u, list.size());
  CMultiVariant copy = list;
  EXPECT_EQ(2u, copy.size());
  EXPECT_EQ("boolean: true", describe(copy[1]));
}

}  // namespace
}  // namespace qvt::test
