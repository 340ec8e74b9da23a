// Expressions at the engine's resource limits: each is refused with a
// clear error (or runs) in bounded time and memory. Nesting and stack
// limits are tested in CExpEvalNestingTest.
#include <gtest/gtest.h>

#include <string>

#include "EngineTestSupport.h"

namespace qvt::test {
namespace {

using CExpEvalLimits = CEngineTest;

// nest: text inside count calls of function.
std::string nest(const std::string& function, const std::string& text, std::size_t count) {
  return repeat("$" + function + "(", count) + text + repeat(")", count);
}

const std::size_t kMax = CExpEval::kMaxValueSize;

std::string tooLong(const std::string& function, std::size_t size) {
  return "error: Failed to execute function '" + function + "'. (Its value of " +
         std::to_string(size) + " bytes is longer than the " + std::to_string(kMax) +
         " bytes a value may hold.)";
}

TEST_F(CExpEvalLimits, ValuesCannotGrowBeyondTheirLimit) {
  const std::string longest(kMax, 'a');
  const struct {
    std::string text;
    std::string outcome;
  } rows[] = {
      // A value of the limit passes; one byte more does not.
      {"$LEN($UCASE('" + longest + "'))", "integer: " + std::to_string(kMax)},
      {"$UCASE('" + longest + "b')", tooLong("UCASE", kMax + 1)},
      // Each call makes its argument a third longer: without the limit,
      // 100 calls would ask for 10^13 bytes.
      {"$LEN(" + nest("BASE64.ENCODE", "'abc'", 100) + ")", tooLong("BASE64.ENCODE", 82680)},
      // The text of a byte sequence is three times as long as the bytes.
      {nest("STR", nest("MAC", "'00-01'", 1), 1), "string: 00-01"},
      {"$LEN(" + repeat("$BYTES($STR(", 20) + "'0A'" + repeat("))", 20) + ")",
       tooLong("STR", 88574)},
  };
  for (const auto& row : rows)
    EXPECT_EQ(run(engine, row.text), row.outcome) << row.text.substr(0, 60);
}

TEST_F(CExpEvalLimits, ExtremeArgumentsFailClearly) {
  engine.initCipher();
  const struct {
    std::string text;
    std::string outcome;
  } rows[] = {
      {"$MID('abc', 9223372036854775807, 1)",
       "error: Failed to execute function $MID(). (Position 9223372036854775807 is out of bounds "
       "in string abc.)"},
      {"$LEFT('abc', 18446744073709551615)", "string: abc"},
      {"$RIGHT('abc',-9223372036854775807)",
       "error: Failed to execute function $RIGHT(). (Count -9223372036854775807 must not be "
       "negative.)"},
      {"$INSTR('" + repeat("a", 60000) + "', '" + repeat("a", 30000) + "b')", "integer: -1"},
      // Backtracking patterns take time in proportion to text and pattern.
      {"$MATCH('" + repeat("a", 5000) + "', '" + repeat("*a", 50) + "b')", "unknown: "},
      {"$TIME.FORMAT.UTC(0, '" + repeat("%c", 1000) + "')",
       "error: Cannot format time string. (Invalid format specifier.)"},
      {"$DECRYPT($BYTES('" + repeat("00", 4096) + "'))",
       "error: Failed to execute function $DECRYPT(). (Argument '00-00-00-00-00-00-00-00' "
       "must be exactly eight (8) bytes long.)"},
      {"$IP('10.0.0.1', 99999999999)",
       "error: Cannot determine variant subtype from ip address type. (Unknown ip address "
       "type.)"},
      {"$BASE64.DECODE('" + repeat("=", 1000) + "')",
       "error: Error decoding base 64. (Invalid data.)"},
      // A value file that never ends a line.
      {"$VALUE('/dev/zero', 'k')",
       "error: Failed to read file '/dev/zero' when executing function $VALUE(). (Line 1 is "
       "longer than 16777216 bytes.)"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(run(engine, row.text), row.outcome) << row.text.substr(0, 60);
}

}  // namespace
}  // namespace qvt::test
