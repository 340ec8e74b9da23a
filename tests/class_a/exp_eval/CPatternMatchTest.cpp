// The pattern language of $MATCH.
#include <gtest/gtest.h>

#include <string>

#include "class_a/exp_eval/CPatternMatch.h"
#include "class_a/standard/DataFile.h"

namespace qvt::test {
namespace {

// The rows of data/patterns.txt.
TEST(CPatternMatchTest, Table) {
  const auto rows = qvt_test::dataLines("class_a/exp_eval/data/patterns.txt");
  ASSERT_EQ(rows.size(), 39u) << "data/patterns.txt could not be read whole";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string input = row.input();
    const std::size_t bar = input.find('|');
    EXPECT_EQ(CPatternMatch::matches(input.substr(0, bar), input.substr(bar + 1)),
              row.expected() == "yes");
  }
  // Ranges compare signed character values: 0x80 to 0x7f holds every byte.
  EXPECT_FALSE(CPatternMatch::matches("\xe9", "[\x01-\x7f]"));
  EXPECT_TRUE(CPatternMatch::matches("\xe9", "[\x80-\x7f]"));
}

}  // namespace
}  // namespace qvt::test
