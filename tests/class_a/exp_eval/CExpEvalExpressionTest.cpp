// Expressions and their values: the rows of data/expressions.txt, each an
// expression and either "type: text" of its value or "error: " and the
// whole error text; and which calls the lazy operators make.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "class_a/standard/DataFile.h"

namespace qvt::test {
namespace {

struct CRow {
  std::string expression;
  std::string expected;
};

void PrintTo(const CRow& row, std::ostream* out) {
  *out << "\"" << row.expression << "\"";
}

int gSideEffects = 0;

// F: counts its calls; yields integer 99.
void sideEffect(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  ++gSideEffects;
  results.append(CVariant(std::int64_t{99}));
}

// ARGS: its arguments' texts in the order it reads them, joined by ",".
void argumentList(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  std::string joined;
  for (; !arguments.empty(); arguments.advance()) {
    if (!joined.empty()) joined += ",";
    joined += arguments.current().string();
  }
  results.append(CVariant::fromString(joined));
}

// NOTHING: appends no result.
void nothing(CExpEval&, CMultiVariant&, CMultiVariant&) {}

class CExpressionTable : public CEngineParamTest<CRow> {
 protected:
  CExpressionTable() {
    engine.initCipher();
    engine.registerFunction("F", &sideEffect);
    engine.registerFunction("ARGS", &argumentList);
    engine.registerFunction("NOTHING", &nothing);
  }
};

TEST_P(CExpressionTable, Evaluates) {
  EXPECT_EQ(GetParam().expected, run(engine, GetParam().expression));
}

// rows: the rows of group in data/expressions.txt.
std::vector<CRow> rows(const std::string& group) {
  std::vector<CRow> found;
  for (const auto& row : qvt_test::dataLines("class_a/exp_eval/data/expressions.txt")) {
    std::string expected = row.expected();
    if (!expected.empty() && expected.back() == ':') expected += ' ';  // "type:" of empty text
    if (row.section == group) found.push_back(CRow{row.input(), expected});
  }
  return found;
}

INSTANTIATE_TEST_SUITE_P(Grouping, CExpressionTable, ::testing::ValuesIn(rows("Grouping")));
INSTANTIATE_TEST_SUITE_P(Operators, CExpressionTable, ::testing::ValuesIn(rows("Operators")));
INSTANTIATE_TEST_SUITE_P(Control, CExpressionTable, ::testing::ValuesIn(rows("Control")));
INSTANTIATE_TEST_SUITE_P(Text, CExpressionTable, ::testing::ValuesIn(rows("Text")));
INSTANTIATE_TEST_SUITE_P(Types, CExpressionTable, ::testing::ValuesIn(rows("Types")));
INSTANTIATE_TEST_SUITE_P(TimeAndCodecs, CExpressionTable,
                         ::testing::ValuesIn(rows("TimeAndCodecs")));

// A missing or cut data file would leave the groups above quietly empty.
TEST(CExpressionData, IsReadWhole) {
  std::size_t total = 0;
  for (const char* group : {"Grouping", "Operators", "Control", "Text", "Types", "TimeAndCodecs"}) {
    EXPECT_FALSE(rows(group).empty()) << group;
    total += rows(group).size();
  }
  EXPECT_EQ(total, 142u);
}

struct CLazyRow {
  const char* expression;
  const char* expected;
  int calls;
};

void PrintTo(const CLazyRow& row, std::ostream* out) {
  *out << "\"" << row.expression << "\"";
}

class CLaziness : public CEngineParamTest<CLazyRow> {};

TEST_P(CLaziness, RunsOnlyWhatIsNeeded) {
  engine.registerFunction("F", &sideEffect);
  gSideEffects = 0;
  EXPECT_EQ(GetParam().expected, run(engine, GetParam().expression));
  EXPECT_EQ(GetParam().calls, gSideEffects);
}

const CLazyRow kLazy[] = {
    {"0 && $F()", "boolean: false", 0},
    {"1 && $F()", "boolean: true", 1},
    {"$UNKNOWN() && $F()", "boolean: false", 0},
    {"1 || $F()", "boolean: true", 0},
    {"0 || $F()", "boolean: true", 1},
    {"$UNKNOWN() || $F()", "boolean: false", 0},
    {"0 ? $F() : 2", "uinteger: 2", 0},
    {"1 ? 2 : $F()", "uinteger: 2", 0},
    {"0 ? 10 : $F()", "integer: 99", 1},
    // Functions take all their arguments evaluated, $IF included.
    {"$IF(1, 2, $F())", "uinteger: 2", 1},
    {"$COND(1, $F())", "uinteger: 1", 1},
};
INSTANTIATE_TEST_SUITE_P(Lazy, CLaziness, ::testing::ValuesIn(kLazy));

}  // namespace
}  // namespace qvt::test
