// A compiled expression gives back the postfix tokens it was built from
// (rebuilt from its tree): the same list, in the same order, as parse.
#include <gtest/gtest.h>

#include <string>

#include "EngineTestSupport.h"

namespace qvt::test {
namespace {

using CSyntaxTreeTokensTest = CEngineTest;

TEST_F(CSyntaxTreeTokensTest, TreesGiveBackTheirTokens) {
  const char* const texts[] = {
      "1 + 2 * 3",
      "10 - 4 + 3",
      "$LEFT($CLASSID, 6) == 'docsis'",
      "$IS_DISCOVER && $RELAY.REMOTEID == '01-02-03-04-05-06' && $RELAY.ADDRESS == 10.0.0.1",
      "$IF($LEN('abc') > 2, $MID('abcdef', 1, 2), $UCASE($STR(10.0.0.1)))",
      "$F()",
      "$F",
      "$F(1)(2)",
      "(1)(2)",
      "1, 2, 3",
      "a ? b : c",
      "1 ? 10 : $F(1, 2)",
      "(1 ? 2 : 3) ? (4 ? 5 : 6) : 7",
      "? 1",
      "1 ?",
      "2*-3",
      "-5",
      "!~-1",
      "+",
      "2 * -",
      "1 +",
      "$LEN('$x')",
      "1 2 $",
      "$",
      "a = 1",
      "$A($B($C($D(1), 2), 3), 4) | 5 & 6 ^ 7",
      "1 < 2 <= 3 > 4 >= 5 == 6 != 7 && 8 || 9",
      "'a+b' + \"c\"",
      "[1+2]",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    CTokenList parsed;
    engine.parse(text, parsed);
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

}  // namespace
}  // namespace qvt::test
